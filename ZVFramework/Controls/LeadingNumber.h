#pragma once

#include "Utilities/Storage/StringT.h"

namespace ZV {

// The number at the start of a text as the C library reads it, with '.' as the decimal point whatever the user's
// locale: blanks, an optional sign, digits with an optional fraction and exponent. 0 when the text does not begin
// with one; beyond the range of a double, an infinity of its sign.
double ReadLeadingNumber(const WideString& text);

}  // namespace ZV
