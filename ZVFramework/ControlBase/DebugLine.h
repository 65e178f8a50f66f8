#pragma once

#include <string_view>

namespace ZV {

// One line of the program's debug output, for a skin author's mistake that the program works around; what the text
// quotes (a path, another start's command line) cannot break it.
void WriteDebugLine(std::string_view text);

}  // namespace ZV
