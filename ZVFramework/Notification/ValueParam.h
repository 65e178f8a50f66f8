#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/ReuseAllocator.h"

#include <cstddef>

namespace ZV {

// A control's new value ("NID_VALUE_CHANGE"): normalised to 0..1, and mapped to the control's range.
class LValueParam : public virtual LRefCountedObject {
public:
    static RCPtr<LValueParam> Create(double normalizedValue, double scaledValue);

    double GetNormalizedValue() const { return mNormalizedValue; }
    double GetScaledValue() const { return mScaledValue; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LValueParam(double normalizedValue, double scaledValue)
        : mNormalizedValue(normalizedValue), mScaledValue(scaledValue)
    {
    }

private:
    double mNormalizedValue;
    double mScaledValue;
};

// No lock: the records are made and let go on the user-interface thread only.
ReuseAllocator<LValueParam, 4>& GetValueParamPool();

}  // namespace ZV
