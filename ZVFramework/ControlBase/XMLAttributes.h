#pragma once

#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The attributes of one element by name (names compared exactly), with readers for the value syntaxes of the skin
// language. Each reader answers whether the attribute is present and leaves its out value unchanged when it is not.
class XMLAttributes {
public:
    // The parser's UTF-8 pairs, name then value, ended by a null name; they must outlive this object.
    explicit XMLAttributes(const char* const* pairs) : mPairs(pairs) {}

    // The value as the parser gives it, UTF-8, or null: for values that are only compared or passed on.
    const char* GetUTF8Attribute(const char* name) const;
    // As UTF-16.
    bool GetStringAttribute(const char* name, WideString& value) const;
    bool GetBoolAttribute(const char* name, bool& value) const;
    bool GetFloatAttribute(const char* name, float& value) const;
    // The integer syntax, which reads "0x" and up to four hexadecimal digits.
    bool GetIntAttribute(const char* name, std::int32_t& value) const;
    // Decimal only.
    bool GetPlainIntAttribute(const char* name, std::int32_t& value) const;
    bool GetColorAttribute(const char* name, LColor& value) const;

    // Calls visit (name, value) for every attribute, in the document's order, both UTF-8.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (const char* const* pair = mPairs; pair[0] != nullptr; pair += 2) {
            visit(pair[0], pair[1]);
        }
    }

private:
    const char* const* mPairs;
};

}  // namespace ZV
