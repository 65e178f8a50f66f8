#pragma once

#include <cstddef>

namespace ZV::Platform {

// Something the user-interface loop reads between its waits: the desktop connection, the channel from a second
// instance. Each has a descriptor that becomes readable when events may have come.
class IEventSource {
public:
    // -1 when the source has nothing to wait on.
    virtual int GetDescriptor() const = 0;
    // Whether an event can be had now without waiting.
    virtual bool HasPendingEvent() = 0;
    // Handles one pending event, if any; true when it should count as input for the idle cycle.
    virtual bool DispatchEvent() = 0;

protected:
    ~IEventSource() = default;
};

// Waits until one of the descriptors (negative ones are skipped) is readable or the time-out has passed
// (milliseconds; negative waits without limit); an interruption ends the wait early.
void WaitForDescriptors(const int* descriptors, std::size_t count, int timeoutMs);

}  // namespace ZV::Platform
