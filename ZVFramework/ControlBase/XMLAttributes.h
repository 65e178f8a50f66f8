#pragma once

#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/StringT.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace ZV {

// The attributes of one element by name (names compared exactly), with readers for the value syntaxes of the skin
// language. Each reader answers whether the attribute is present and leaves its out value unchanged when it is not.
class XMLAttributes {
public:
    // The parser's UTF-8 pairs, name then value, ended by a null name; they must outlive this object.
    explicit XMLAttributes(const char* const* pairs) : mPairs(pairs) {}

    // The value as the parser gives it, UTF-8, or null: for values that are only compared or passed on. Inline, so
    // that each name asked for is compared as the constant it is.
    const char* GetUTF8Attribute(const char* name) const
    {
        for (const char* const* pair = mPairs; pair[0] != nullptr; pair += 2) {
            if (IsSameName(pair[0], name)) {
                return pair[1];
            }
        }
        return nullptr;
    }
    // As UTF-16.
    bool GetStringAttribute(const char* name, WideString& value) const;
    bool GetBoolAttribute(const char* name, bool& value) const;
    bool GetFloatAttribute(const char* name, float& value) const;
    // The integer syntax, which reads "0x" and up to four hexadecimal digits.
    bool GetIntAttribute(const char* name, std::int32_t& value) const;
    // Decimal only.
    bool GetPlainIntAttribute(const char* name, std::int32_t& value) const;
    bool GetColorAttribute(const char* name, LColor& value) const;

    // Finds several attributes in one pass: values[i] becomes the value of names[i], or null. Each attribute is
    // looked for from the name after the last one found, so names listed in the order documents usually write
    // them are found at the first comparison.
    template <std::size_t Count>
    void GetUTF8Attributes(const char* const (&names)[Count], const char* (&values)[Count]) const
    {
        std::fill(std::begin(values), std::end(values), nullptr);
        std::size_t next = 0;
        for (const char* const* pair = mPairs; pair[0] != nullptr; pair += 2) {
            for (std::size_t tried = 0, i = next; tried < Count; ++tried, i = i + 1 == Count ? 0 : i + 1) {
                if (values[i] == nullptr && IsSameName(pair[0], names[i])) {
                    values[i] = pair[1];
                    next = i + 1 == Count ? 0 : i + 1;
                    break;
                }
            }
        }
    }

    // Attribute names are short and mostly differ in their first bytes, where a library call costs more than the
    // comparison; so are the words that values are compared with.
    static bool IsSameName(const char* name, const char* other)
    {
        while (*name == *other) {
            if (*name == 0) {
                return true;
            }
            ++name;
            ++other;
        }
        return false;
    }

    // A value as GetStringAttribute converts it.
    static WideString ConvertString(const char* text);
    // The same into a string, a locked one as Assign fills it.
    static void ConvertString(const char* text, WideString& value) { value = ConvertString(text); }

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
