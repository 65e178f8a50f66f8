#include "Utilities/Debug/DebugConsoleSwitch.h"

#include "Utilities/Storage/CommandLineSwitch.h"

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
    static constexpr std::string_view kSwitch = "-DEBUG_CONSOLE";
    std::size_t start = std::string::npos;
    for (std::size_t found = FindSwitchStart<char>(upper, kSwitch, 0); found != std::string::npos;
         found = FindSwitchStart<char>(upper, kSwitch, found + 1)) {
        const std::size_t end = found + kSwitch.size();
        if (end == upper.size() || upper[end] == ' ') {
            output.OpenDebugConsole();
            return;
        }
        if (upper[end] == ':') {
            start = end + 1;
            break;
        }
    }
    if (start == std::string::npos) {
        return;
    }
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
