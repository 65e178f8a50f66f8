#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// Word boundaries of a one-line text, as caret keys and double clicks move by them. Positions are character indices
// between 0 (before the first character) and the length (after the last); a space is what the Unicode rules count as
// white space, whatever the user's locale.

// From the position: over the spaces, the word and the spaces after it; never past the end.
std::int32_t FindNextWordStart(const WideString& text, std::int32_t position);
// The start of the word before the position, or of the word it lies in; 0 when there is none.
std::int32_t FindPreviousWordStart(const WideString& text, std::int32_t position);
// True when a word begins at the position: a character that is no space, with a space or the start before it.
bool IsWordStart(const WideString& text, std::int32_t position);

}  // namespace ZV
