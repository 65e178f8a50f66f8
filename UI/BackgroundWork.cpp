#include "UI/BackgroundWork.h"

#include "ObjectBase/Exception.h"
#include "Threading/WaitResults.h"

#include <stdexcept>
#include <utility>

namespace ZV {

bool LBackgroundWork::Start(Work work)
{
    if (IsUnderWay()) {
        return false;
    }
    mWork = std::move(work);
    mStopRequested.store(false);
    auto thread = std::make_unique<Thread>(&LBackgroundWork::Run, this);
    if (!thread->IsValid()) {
        mWork = nullptr;
        ZV_THROW(std::runtime_error, "No thread for the work");
    }
    mThread = std::move(thread);
    mThread->Resume();
    return true;
}

std::exception_ptr LBackgroundWork::Finish()
{
    if (!IsUnderWay()) {
        return nullptr;
    }
    (void)mThread->WaitForEnd(kWaitInfinite);
    mThread.reset();
    return std::exchange(mFailure, nullptr);
}

void LBackgroundWork::Abandon()
{
    mStopRequested.store(true);
    (void)Finish();
}

void LBackgroundWork::Run(void* context)
{
    auto& self = *static_cast<LBackgroundWork*>(context);
    try {
        self.mWork(self.mStopRequested);
    } catch (...) {
        self.mFailure = std::current_exception();
    }
    // What the work holds is let go here, not on the thread that finishes it: a last reference to an engine would
    // wait for its ports there.
    self.mWork = nullptr;
}

}  // namespace ZV
