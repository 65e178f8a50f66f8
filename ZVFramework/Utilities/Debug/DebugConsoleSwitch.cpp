#include "Utilities/Debug/DebugConsoleSwitch.h"

#include "Utilities/Storage/CommandLineArguments.h"

#include <algorithm>
#include <charconv>

namespace ZV {

namespace {

constexpr std::string_view kSwitch = "-DEBUG_CONSOLE";

// "port" or "port:host", the text after the switch's colon.
void SendToPort(std::string_view portAndHost, DebugOutput& output)
{
    const std::size_t portEnd = std::min(portAndHost.find(':'), portAndHost.size());
    if (portEnd < 2) {
        return;
    }
    int port = 0;
    if (std::from_chars(portAndHost.data(), portAndHost.data() + portEnd, port).ec != std::errc()) {
        port = 0;
    }
    NarrowString host;
    for (const char character : portAndHost.substr(std::min(portEnd + 1, portAndHost.size()))) {
        host.AppendChar(character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character);
    }
    output.SetTarget(host.IsEmpty() ? nullptr : host.GetData(), port);
}

}  // namespace

void ApplyDebugConsoleSwitch(std::string_view commandLine, DebugOutput& output)
{
    CommandLineSplitter<char> arguments(commandLine);
    NarrowString argument;
    while (arguments.Next(argument)) {
        const std::string_view text(argument.GetData(), argument.GetLength());
        if (!BeginsWithSwitchName(text, kSwitch)) {
            continue;
        }
        if (text.size() == kSwitch.size()) {
            output.OpenDebugConsole();
            return;
        }
        if (text[kSwitch.size()] == ':') {
            SendToPort(text.substr(kSwitch.size() + 1), output);
            return;
        }
    }
}

}  // namespace ZV
