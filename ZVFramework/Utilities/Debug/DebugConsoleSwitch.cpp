#include "Utilities/Debug/DebugConsoleSwitch.h"

#include <charconv>
#include <string>

namespace ZV {

void ApplyDebugConsoleSwitch(std::string_view commandLine, DebugOutput& output)
{
    std::string upper(commandLine);
    for (char& character : upper) {
        if (character >= 'a' && character <= 'z') {
            character = static_cast<char>(character - 'a' + 'A');
        }
    }
    if (upper.find("-DEBUG_CONSOLE") == std::string::npos) {
        return;
    }
    static constexpr std::string_view kTargetSwitch = "-DEBUG_CONSOLE:";
    const std::size_t targetSwitch = upper.find(kTargetSwitch);
    if (targetSwitch == std::string::npos) {
        output.OpenDebugConsole();
        return;
    }
    const std::size_t start = targetSwitch + kTargetSwitch.size();
    std::size_t argumentEnd = upper.find(' ', start);
    if (argumentEnd == std::string::npos) {
        argumentEnd = upper.size();
    }
    // A colon in a later argument does not end the port.
    std::size_t portEnd = upper.find(':', start);
    if (portEnd == std::string::npos || portEnd > argumentEnd) {
        portEnd = argumentEnd;
    }
    if (portEnd - start < 2) {
        return;
    }
    int port = 0;
    if (std::from_chars(upper.data() + start, upper.data() + portEnd, port).ec != std::errc()) {
        port = 0;
    }
    const std::string host = portEnd < argumentEnd ? upper.substr(portEnd + 1, argumentEnd - portEnd - 1) : "";
    output.SetTarget(host.empty() ? nullptr : host.c_str(), port);
}

}  // namespace ZV
