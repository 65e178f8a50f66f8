#pragma once

#include "Utilities/Storage/Color.h"

#include <cstdint>

// The value syntaxes of skin and string-table attributes, read from the UTF-8 text that the parser hands over (a
// well-formed document's text is valid UTF-8, and every character these syntaxes look at is ASCII). None depends on
// the user's locale.
namespace ZV::SkinValueSyntax {

// true exactly for "True"; "true" and "TRUE" are false.
bool ParseFlag(const char* value);

// Leading blanks, an optional sign, decimal digits with an optional fraction and exponent; 0 when nothing parses.
// Past the range of a float: infinity of the value's sign.
float ParseFloat(const char* value);

// Leading blanks, an optional sign and decimal digits, clamped to the 32-bit range; 0 when nothing parses.
std::int32_t ParsePlainInteger(const char* value);

// "0x" (a lower-case x) and at most four hexadecimal digits, up to the first other character; any other text as
// ParsePlainInteger reads it.
std::int32_t ParseInteger(const char* value);

// Hexadecimal text as LColor::SetFromHexString reads it, into a colour that starts as (0, 0, 0, 0).
LColor ParseColor(const char* value);

}  // namespace ZV::SkinValueSyntax
