#pragma once

#include "Platform/ThreadingServices.h"
#include "Threading/Event.h"
#include "Threading/RetriggerableThreader.h"
#include "Threading/ThreadWorker.h"
#include "TestSupport.h"

#include <atomic>
#include <cstdint>

namespace ZV::Testing {

// A job that says when it has started and then runs until the test releases it.
class LGatedWorker : public LThreadWorker {
public:
    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        started.Set();
        release.Wait(kHangLimit);
        ++runs;
        return ZV_S_OK;
    }

    // Bounds a job that a broken test never releases.
    static constexpr std::uint32_t kHangLimit = 60000;

    TrafficLight started;
    TrafficLight release;
    std::atomic<int> runs{0};
};

class LCountingWorker : public LThreadWorker {
public:
    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        ++runs;
        return ZV_S_OK;
    }

    std::atomic<int> runs{0};
};

// Threading services that fail what the test asks them to, installed for the object's lifetime.
class FailingThreadingServices : public Platform::ThreadingServices {
public:
    FailingThreadingServices() : mPrevious(Install(this)) {}
    ~FailingThreadingServices() override { Install(mPrevious); }

    std::unique_ptr<Platform::Thread> CreateSuspendedThread(Platform::ThreadRoutine routine, void* context) override
    {
        return failThreads ? nullptr : ThreadingServices::CreateSuspendedThread(routine, context);
    }
    std::unique_ptr<Platform::Event> CreateEvent(Platform::EventReset reset) override
    {
        return failEvents ? nullptr : ThreadingServices::CreateEvent(reset);
    }
    std::uint32_t WaitForAnyEvent(Platform::Event* const* events, std::uint32_t count, std::uint32_t timeout) override
    {
        return failWaits ? kWaitFailed : ThreadingServices::WaitForAnyEvent(events, count, timeout);
    }

    std::atomic<bool> failThreads{false};
    std::atomic<bool> failEvents{false};
    std::atomic<bool> failWaits{false};

private:
    ThreadingServices* mPrevious;
};

// Shortens how long threaders wait for their jobs when stopping, for the object's lifetime.
class StopTimeoutOverride {
public:
    explicit StopTimeoutOverride(std::uint32_t milliseconds) : mPrevious(RetriggerableThreader::GetStopTimeout())
    {
        RetriggerableThreader::SetStopTimeout(milliseconds);
    }
    ~StopTimeoutOverride() { RetriggerableThreader::SetStopTimeout(mPrevious); }

private:
    std::uint32_t mPrevious;
};

}  // namespace ZV::Testing
