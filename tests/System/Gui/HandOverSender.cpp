// Started as a second instance: hands its command line to the instance listening at the path given first.
#include "Platform/InstanceChannel.h"

#include <string>

int main(int argumentCount, char** arguments)
{
    if (argumentCount < 2) {
        return 2;
    }
    std::string commandLine;
    for (int index = 2; index < argumentCount; ++index) {
        commandLine += (index > 2 ? " " : "") + std::string(arguments[index]);
    }
    return ZV::Platform::SendToFirstInstance(arguments[1], 0x465, commandLine, 5000) ==
                   ZV::Platform::HandOver::delivered
               ? 0
               : 1;
}
