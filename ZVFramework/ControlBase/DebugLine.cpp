#include "ControlBase/DebugLine.h"

#include "Platform/StandardError.h"
#include "Utilities/Debug/DebugOutput.h"

#include <ostream>

namespace ZV {

void WriteDebugLine(std::string_view text)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << Platform::EscapeForLine(text) << std::endl;
}

}  // namespace ZV
