#include "Platform/CallbackGate.h"

namespace ZV::Platform {

bool CallbackGate::Enter()
{
    std::lock_guard lock(mMutex);
    if (!mOpen) {
        return false;
    }
    mInside = true;
    mInsideThread = std::this_thread::get_id();
    return true;
}

void CallbackGate::Leave()
{
    std::lock_guard lock(mMutex);
    mInside = false;
    mLeft.notify_all();
}

void CallbackGate::Shut()
{
    std::unique_lock lock(mMutex);
    mOpen = false;
    if (mInside && mInsideThread == std::this_thread::get_id()) {
        return;
    }
    mLeft.wait(lock, [this] { return !mInside; });
}

void CallbackGate::Open()
{
    std::lock_guard lock(mMutex);
    mOpen = true;
}

}  // namespace ZV::Platform
