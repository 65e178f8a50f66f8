#pragma once

#include <string_view>

namespace ZV::Platform {

// True the first time the text is passed in this process, false ever after: a line about a folder that is asked for
// again and again is said once. Any thread.
bool IsSaidForTheFirstTime(std::string_view text);

// The text as one line of the standard error, the first time it is passed in this process.
void WriteLineOnceToStandardError(std::string_view text);

}  // namespace ZV::Platform
