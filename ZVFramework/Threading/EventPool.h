#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Platform/Event.h"
#include "Threading/LEvent.h"

#include <cstdint>
#include <memory>

namespace ZV {

// A fixed set of auto-reset events, one per worker of a thread pool, that one thread waits on together to learn
// which worker has become free.
class EventPool {
public:
    // All unsignalled. No events at all when the storage for them cannot be had.
    explicit EventPool(std::uint32_t count);
    EventPool(const EventPool&) = delete;
    EventPool& operator=(const EventPool&) = delete;
    virtual ~EventPool();

    // The index of the lowest signalled event, whose signal the wait takes; -1 when the time-out passed first or
    // the wait failed (no events, more than kMaximumWaitEvents, or an event the platform could not make).
    int WaitAny(std::uint32_t timeout);
    // No bound check: index is below GetCount().
    RCPtr<LEvent>& GetEvent(std::uint32_t index) { return mEvents[index]; }
    std::uint32_t GetCount() const { return mCount; }

private:
    std::uint32_t mCount = 0;
    std::unique_ptr<RCPtr<LEvent>[]> mEvents;
    std::unique_ptr<Platform::Event*[]> mHandles;
};

}  // namespace ZV
