#include "Threading/Event.h"

#include "Platform/ThreadingServices.h"

namespace ZV {

Event::Event(bool autoReset)
    : mHandle(Platform::ThreadingServices::Current().CreateEvent(autoReset ? Platform::EventReset::Automatic
                                                                           : Platform::EventReset::Manual))
{
}

Event::~Event() = default;

bool Event::Set()
{
    if (mHandle == nullptr) {
        return false;
    }
    mHandle->Set();
    return true;
}

bool Event::Reset()
{
    if (mHandle == nullptr) {
        return false;
    }
    mHandle->Reset();
    return true;
}

std::uint32_t Event::Wait(std::uint32_t timeout)
{
    Platform::Event* handle = mHandle.get();
    if (handle == nullptr) {
        return kWaitFailed;
    }
    return Platform::ThreadingServices::Current().WaitForAnyEvent(&handle, 1, timeout);
}

bool Event::TryWait()
{
    return Wait(0) == kWaitSignalled;
}

}  // namespace ZV
