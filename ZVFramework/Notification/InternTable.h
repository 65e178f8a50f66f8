#pragma once

#include "Utilities/Storage/StringArrayT.h"

namespace ZV {

// The table of interned notification ids. Entries are only appended and never changed, so the characters of an
// entry stay at one address until exit: that address is the canonical pointer of the id. Read and changed only
// under the notification lock.
WideStringArray& GetInternTable();

// The index of the entry whose characters lie at that address, searched from the last entry to the first; -1 when
// there is none. Only the address counts, not the text.
int FindInternedIndex(const WideStringArray& table, const wchar_t* pointer);

// The canonical pointer of the text: texts with the same characters (letter case counts) give one pointer, and a
// canonical pointer gives itself back; null for a null or empty text.
const wchar_t* InternString(const wchar_t* text);

}  // namespace ZV
