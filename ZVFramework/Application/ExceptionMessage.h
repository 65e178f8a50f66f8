#pragma once

#include "Utilities/Storage/StringT.h"

namespace ZV {

// The text for an exception number, as the application's string table words it. Without a table the built-in text
// "The application encountered problems during startup and will now close.  (Error code = <number>)". Never fails.
WideString GetExceptionMessage(int exceptionNumber);

// The application installs its string-table lookup here once the table is loaded; null goes back to the built-in
// text.
using ExceptionMessageLookup = WideString (*)(int exceptionNumber);
void SetExceptionMessageLookup(ExceptionMessageLookup lookup);

}  // namespace ZV
