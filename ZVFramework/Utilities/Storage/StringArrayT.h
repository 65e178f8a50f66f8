#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// A list of strings held by value; copies share their characters.
template <class CharT, class OtherCharT>
class StringArrayT : public Array<StringT<CharT, OtherCharT>> {
public:
    // The index of the first element equal to the text, letter case ignored unless caseSensitive; -1 for none.
    int Find(const StringT<CharT, OtherCharT>& text, bool caseSensitive) const
    {
        const std::uint32_t count = this->GetCount();
        const StringT<CharT, OtherCharT>* elements = this->GetData();
        for (std::uint32_t index = 0; index < count; ++index) {
            if (caseSensitive ? elements[index] == text : elements[index].EqualsNoCase(text)) {
                return static_cast<int>(index);
            }
        }
        return -1;
    }
};

using WideStringArray = StringArrayT<wchar_t, char>;

}  // namespace ZV
