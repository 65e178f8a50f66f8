#pragma once

#include "Platform/WaitResults.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace ZV::Platform {

enum class EventReset { Manual, Automatic };

// An event that threads wait on. A manual-reset event stays signalled until it is reset; an automatic one lets one
// waiter through per signal and is unsignalled again by that waiter. Signalling a signalled event changes nothing.
//
// Each event has its own lock, so that threads working with different events never wait for each other. A thread
// that waits on several events registers with each of them before it looks at them, and a Set wakes every thread
// registered with its event; the woken threads then compete for the signal.
class Event {
public:
    explicit Event(EventReset reset);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    // Nobody may be waiting on the event any more.
    ~Event();

    void Set();
    void Reset();
    bool IsAutoReset() const { return mAutoReset; }

    // Waits until one of the events is signalled or the time-out (milliseconds, kWaitInfinite for none) has passed.
    // Returns the index of the lowest signalled event, taking the signal of that one only when it is automatic;
    // kWaitTimedOut; or kWaitFailed when given no events, a null one or more than kMaximumWaitEvents.
    static std::uint32_t WaitForAny(Event* const* events, std::uint32_t count, std::uint32_t timeout);

private:
    struct Waiter;
    struct WaitLink;

    static std::uint32_t TakeLowestSignalled(Event* const* events, std::uint32_t count);
    static bool AnySignalled(Event* const* events, std::uint32_t count);
    bool TakeSignal();
    void Link(WaitLink& link);
    void Unlink(WaitLink& link);

    const bool mAutoReset;
    std::mutex mMutex;
    // Changed under the lock; read without it to see at once whether a wait could succeed.
    std::atomic<bool> mSignalled{false};
    // The threads registered with this event while they wait; guarded by the lock.
    WaitLink* mWaiters = nullptr;
};

}  // namespace ZV::Platform
