#pragma once

#include "ControlBase/StringTable.h"
#include "Utilities/Storage/StringT.h"

#include <string_view>

namespace ZV {

namespace Platform {
struct NativeWindow;
}  // namespace Platform

inline constexpr wchar_t kStartupErrorText[] =
    L"The application encountered problems during startup and will now close.";
inline constexpr wchar_t kStartupErrorCaption[] = L"Error";
// Why the main window cannot open when there is no display, where no box can say it either.
inline constexpr char kNoDisplayReason[] =
    "There is no X display to show the window on: DISPLAY is not set, or its server cannot be reached";

// The message of a failed start or of a failure that ends the loop: "STARTUP_ERROR" and "STARTUP_ERROR_CAPTION" of
// the framework string table, each replaced by the built-in English text when the table or the id is missing.
WideString GetStartupErrorText(const LStringTable* frameworkStrings);
WideString GetStartupErrorCaption(const LStringTable* frameworkStrings);

// Tells the user the program cannot go on: the message in the user's language in a box with the error icon, and in
// English on standard error (all there is without a display), after what went wrong (an exception's text), which
// goes to standard error and the debug output, where it helps to find the fault without showing the user a text they
// cannot act on. Without a framework string table (a failure before the start has read it) the box's message is read
// in the user's language from the program's resources.
// The box stays in front of the owner (null: none). Returns once the user closed the box; the system's request to
// end (SIGTERM, SIGINT, SIGHUP, SIGQUIT) closes it as its OK does. Text that the detail quotes cannot break its line.
void ShowStartupError(const LStringTable* frameworkStrings, std::string_view detail,
                      const Platform::NativeWindow* owner = nullptr);

// Tells the user the program does not start with what it was given (an argument it cannot take): the reason is the
// one line on standard error, and the box of ShowStartupError shows the message in the user's language without
// repeating it there.
void RefuseStart(std::string_view reason);

}  // namespace ZV
