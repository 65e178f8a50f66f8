#include "App/CommandLine.h"

#include <string>

namespace {

std::string Enclosed(const std::string& argument)
{
    if (argument.find(' ') == std::string::npos) {
        return argument;
    }
    const std::size_t valueStart = argument.starts_with('-') ? argument.find('=') : std::string::npos;
    if (valueStart == std::string::npos) {
        return "\"" + argument + "\"";
    }
    return argument.substr(0, valueStart + 1) + "\"" + argument.substr(valueStart + 1) + "\"";
}

}  // namespace

ZV::WideString JoinCommandLine(int argumentCount, const char* const* arguments)
{
    std::string line;
    for (int index = 1; index < argumentCount; ++index) {
        if (index > 1) {
            line += ' ';
        }
        line += Enclosed(arguments[index]);
    }
    ZV::WideString commandLine;
    commandLine.AssignFromUTF8(line.c_str(), static_cast<int>(line.size()));
    return commandLine;
}
