#pragma once

#include "Platform/WaitResults.h"

#include <cstdint>

namespace ZV::Platform {

enum class EventReset { Manual, Automatic };

// An event that threads wait on. A manual-reset event stays signalled until it is reset; an automatic one lets one
// waiter through per signal and is unsignalled again by that waiter. Signalling a signalled event changes nothing.
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
    struct WaitLink;

    static std::uint32_t TakeLowestSignalled(Event* const* events, std::uint32_t count);
    void Link(WaitLink& link);
    void Unlink(WaitLink& link);

    const bool mAutoReset;
    // Both guarded by the one lock of all events.
    bool mSignalled = false;
    WaitLink* mWaiters = nullptr;
};

}  // namespace ZV::Platform
