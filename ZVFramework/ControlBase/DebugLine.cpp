#include "ControlBase/DebugLine.h"

#include "Utilities/Debug/DebugOutput.h"

#include <ostream>

namespace ZV {

void WriteDebugLine(std::string_view text)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << text << std::endl;
}

}  // namespace ZV
