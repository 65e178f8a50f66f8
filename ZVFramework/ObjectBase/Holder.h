#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// A plain value boxed as a counted object, to travel where an object is expected (a worker's parameter).
template <class T>
class LHolder : public virtual LRefCountedObject {
public:
    LHolder() : mValue(new T()) {}
    explicit LHolder(const T& value) : mValue(new T(value)) {}
    LHolder(const LHolder&) = delete;
    LHolder& operator=(const LHolder&) = delete;
    ~LHolder() override { delete mValue; }

    static RCPtr<LHolder> Create() { return RCPtr<LHolder>(new LHolder()); }
    static RCPtr<LHolder> Create(const T& value) { return RCPtr<LHolder>(new LHolder(value)); }

    T& GetValue() { return *mValue; }
    const T& GetValue() const { return *mValue; }

private:
    T* mValue;
};

}  // namespace ZV
