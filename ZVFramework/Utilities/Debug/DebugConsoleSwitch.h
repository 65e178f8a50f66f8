#pragma once

#include "Utilities/Debug/DebugOutput.h"

#include <string_view>

namespace ZV {

// Acts on the switch "-DEBUG_CONSOLE" of a command line (UTF-8, its arguments written by the command line's quoting
// rule, CommandLineArguments.h), written in any case: alone it opens the debug console; "-DEBUG_CONSOLE:port" and
// "-DEBUG_CONSOLE:port:host" send the debug output as datagrams to that port (decimal; a port text of fewer than two
// characters sets nothing) of that host, or of this machine without one. The host is taken upper-cased. The switch
// counts only as the start of an argument, never inside a path. A command line without the switch changes nothing.
void ApplyDebugConsoleSwitch(std::string_view commandLine, DebugOutput& output);

}  // namespace ZV
