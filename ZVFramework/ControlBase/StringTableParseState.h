#pragma once

#include "ControlBase/StringTable.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// What the control factory keeps while it reads one string-table document; every parse starts from a new one.
struct StringTableParseState {
    // The store's table of the last StringTable element, or null before the first.
    StringEntries* currentTable = nullptr;
    // The last ID of a String element in the document, whichever table it stood in, and whether there was one yet.
    WideString currentKey;
    bool hasKey = false;
    // The text that the current key's String elements added to the table since its ID was read: only such a text
    // grows, so a key that an earlier table or load gave a text keeps it.
    WideString* textAddedForKey = nullptr;
    // Where the text of a matching Locale goes; null while a matching Locale's text is to be dropped.
    WideString* currentText = nullptr;
    // Set by a Locale of the wanted locale, cleared by every end tag.
    bool localeMatched = false;
    // Locale elements of the wanted locale met in this parse.
    std::int32_t matchedCount = 0;
};

}  // namespace ZV
