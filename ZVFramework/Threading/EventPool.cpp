#include "Threading/EventPool.h"

#include "Platform/ThreadingServices.h"

#include <new>

namespace ZV {

EventPool::EventPool(std::uint32_t count)
    : mEvents(new (std::nothrow) RCPtr<LEvent>[count]), mHandles(new (std::nothrow) Platform::Event*[count])
{
    if (mEvents == nullptr || mHandles == nullptr) {
        return;
    }
    mCount = count;
    for (std::uint32_t i = 0; i < count; ++i) {
        mEvents[i] = LEvent::Create(true);
        mHandles[i] = mEvents[i]->GetHandle();
    }
}

EventPool::~EventPool() = default;

int EventPool::WaitAny(std::uint32_t timeout)
{
    const std::uint32_t result =
        Platform::ThreadingServices::Current().WaitForAnyEvent(mHandles.get(), mCount, timeout);
    return result < mCount ? static_cast<int>(result) : -1;
}

}  // namespace ZV
