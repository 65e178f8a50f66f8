#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/Event.h"

namespace ZV {

// A counted auto-reset event, handed between threads: whoever holds a reference may set it or wait on it.
class LEvent : public virtual LRefCountedObject {
public:
    // Every caller asks for an auto-reset event; it starts unsignalled.
    static RCPtr<LEvent> Create(bool autoReset) { return RCPtr<LEvent>(new LEvent(autoReset)); }

    bool IsValid() const { return mEvent.IsValid(); }
    bool Set() { return mEvent.Set(); }
    bool Reset() { return mEvent.Reset(); }
    std::uint32_t Wait(std::uint32_t timeout) { return mEvent.Wait(timeout); }
    bool TryWait() { return mEvent.TryWait(); }
    Platform::Event* GetHandle() const { return mEvent.GetHandle(); }

private:
    explicit LEvent(bool autoReset) : mEvent(autoReset) {}

    Event mEvent;
};

}  // namespace ZV
