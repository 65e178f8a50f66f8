#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace ZV {

// An item of a list, by its index, with a data object (which may be null).
class LIndexedDataParam : public virtual LRefCountedObject {
public:
    LIndexedDataParam(const RCPtr<LRefCountedObject>& data, std::int32_t index) : mData(data), mIndex(index) {}

    const RCPtr<LRefCountedObject>& GetData() const { return mData; }
    std::int32_t GetIndex() const { return mIndex; }

private:
    RCPtr<LRefCountedObject> mData;
    std::int32_t mIndex;
};

// An indexed item with the value it took ("NID_ITEM_CHECK_CHANGE": 1 checked, 0 not).
class LIndexedDataWithValueParam : public LIndexedDataParam {
public:
    LIndexedDataWithValueParam(const RCPtr<LRefCountedObject>& data, std::int32_t index, double value)
        : LIndexedDataParam(data, index), mValue(value)
    {
    }

    double GetValue() const { return mValue; }

private:
    double mValue;
};

}  // namespace ZV
