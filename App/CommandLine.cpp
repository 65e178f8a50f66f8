#include "App/CommandLine.h"

#include <cstring>

ZV::WideString JoinCommandLine(int argumentCount, const char* const* arguments)
{
    std::string line;
    for (int index = 1; index < argumentCount; ++index) {
        const char* argument = arguments[index];
        if (index > 1) {
            line += ' ';
        }
        if (std::strchr(argument, ' ') != nullptr) {
            line.append("\"").append(argument).append("\"");
        } else {
            line += argument;
        }
    }
    ZV::WideString commandLine;
    commandLine.AssignFromUTF8(line.c_str(), static_cast<int>(line.size()));
    return commandLine;
}
