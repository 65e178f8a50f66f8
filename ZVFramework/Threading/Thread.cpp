#include "Threading/Thread.h"

#include "Platform/ThreadingServices.h"
#include "Platform/WaitResults.h"

namespace ZV {

Thread::Thread(Routine routine, void* context)
    : mHandle(Platform::ThreadingServices::Current().CreateSuspendedThread(routine, context))
{
}

Thread::~Thread() = default;

void Thread::Resume()
{
    if (mHandle != nullptr) {
        mHandle->Resume();
    }
}

bool Thread::SetPriority(int level)
{
    return mHandle != nullptr && mHandle->SetPriority(level);
}

int Thread::GetPriority() const
{
    return mHandle != nullptr ? mHandle->GetPriority() : kThreadPriorityNormal;
}

bool Thread::SetPriorityBoost(bool)
{
    return mHandle != nullptr;
}

bool Thread::WaitForEnd(std::uint32_t timeout) const
{
    return mHandle != nullptr && mHandle->WaitForEnd(timeout) == Platform::kWaitSignalled;
}

bool Thread::IsCallingThread() const
{
    return mHandle != nullptr && mHandle->IsCallingThread();
}

}  // namespace ZV
