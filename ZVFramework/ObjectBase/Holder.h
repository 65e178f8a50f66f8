#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// A plain value boxed as a counted object, to travel where an object is expected (a worker's parameter).
template <class T>
class LHolder : public virtual LRefCountedObject {
public:
    LHolder() : mValue() {}
    explicit LHolder(const T& value) : mValue(value) {}
    LHolder(const LHolder&) = delete;
    LHolder& operator=(const LHolder&) = delete;
    ~LHolder() override = default;

    static RCPtr<LHolder> Create() { return RCPtr<LHolder>(new LHolder(), kNewObject); }
    static RCPtr<LHolder> Create(const T& value) { return RCPtr<LHolder>(new LHolder(value), kNewObject); }

    T& GetValue() { return mValue; }
    const T& GetValue() const { return mValue; }

private:
    // In the holder itself: one allocation per boxed value.
    T mValue;
};

}  // namespace ZV
