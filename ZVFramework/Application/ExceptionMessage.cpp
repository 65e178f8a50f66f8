#include "Application/ExceptionMessage.h"

#include <atomic>

namespace ZV {

namespace {

std::atomic<ExceptionMessageLookup> gLookup{nullptr};

}  // namespace

WideString GetExceptionMessage(int exceptionNumber)
{
    if (const ExceptionMessageLookup lookup = gLookup.load()) {
        return lookup(exceptionNumber);
    }
    return WideString::Format(
        L"The application encountered problems during startup and will now close.  (Error code = %d)",
        exceptionNumber);
}

void SetExceptionMessageLookup(ExceptionMessageLookup lookup)
{
    gLookup.store(lookup);
}

}  // namespace ZV
