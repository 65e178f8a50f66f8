#include "Notification/AutoNotificationDisabler.h"

#include "Utilities/Debug/DebugOutput.h"

#include <ostream>

namespace ZV {

void ReportUnthrownFailure(const ThrowSite& site, ZVRESULT result)
{
    const std::string text =
        ComposeExceptionText(ExceptionKind<FailedResultException>::Word, {}, FormatResultCode(result), site);
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << text << std::endl;
}

}  // namespace ZV
