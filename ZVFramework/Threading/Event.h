#pragma once

#include "Platform/Event.h"
#include "Threading/WaitResults.h"

#include <cstdint>
#include <memory>

namespace ZV {

// An event that threads signal and wait on. When the platform could not make it, it is not valid: setting it
// fails and every wait on it fails.
class Event {
public:
    explicit Event(bool autoReset);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    virtual ~Event();

    bool IsValid() const { return mHandle != nullptr; }
    bool Set();
    bool Reset();
    // The wait's own result: kWaitSignalled, kWaitTimedOut or kWaitFailed. A signal of an auto-reset event is
    // taken by the wait that sees it.
    std::uint32_t Wait(std::uint32_t timeout);
    // True only when the event was signalled at that moment.
    bool TryWait();
    Platform::Event* GetHandle() const { return mHandle.get(); }

private:
    std::unique_ptr<Platform::Event> mHandle;
};

// An event that stays set, letting every waiter through, until it is reset.
class TrafficLight : public Event {
public:
    TrafficLight() : Event(false) {}

    void Set() { Event::Set(); }
    void Reset() { Event::Reset(); }
};

}  // namespace ZV
