#include "Threading/ReusePools.h"

namespace ZV {

namespace {

// Made on first use, which the function-local static makes safe from any thread; never destroyed.
template <class T, std::uint32_t N, bool WithLock>
ReuseAllocator<T, N>& LastingPool()
{
    static auto* const pool = new ReuseAllocator<T, N>(WithLock);
    return *pool;
}

}  // namespace

// In the order of the program's globals built before start-up.

ReuseAllocator<LThreadPool::LWorkerParams, 1>& GetWorkerParamsPool()
{
    return LastingPool<LThreadPool::LWorkerParams, 1, true>();
}

ReuseAllocator<LMidiCaptureNotificationData, 4>& GetMidiCaptureDataPool()
{
    return LastingPool<LMidiCaptureNotificationData, 4, true>();
}

ReuseAllocator<LMouseButtonParam, 4>& GetMouseButtonParamPool()
{
    return LastingPool<LMouseButtonParam, 4, false>();
}

ReuseAllocator<LMouseWheelParam, 4>& GetMouseWheelParamPool()
{
    return LastingPool<LMouseWheelParam, 4, false>();
}

ReuseAllocator<LConditionsParam, 4>& GetConditionsParamPool()
{
    return LastingPool<LConditionsParam, 4, false>();
}

ReuseAllocator<LValueParam, 4>& GetValueParamPool()
{
    return LastingPool<LValueParam, 4, false>();
}

ReuseAllocator<LPointWithModifiersParam, 4>& GetPointWithModifiersParamPool()
{
    return LastingPool<LPointWithModifiersParam, 4, false>();
}

ReuseAllocator<LMenuActivationParam, 4>& GetMenuActivationParamPool()
{
    return LastingPool<LMenuActivationParam, 4, false>();
}

}  // namespace ZV
