#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/ReuseAllocator.h"
#include "Utilities/Storage/PointT.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

// A change of a control's condition mask, with the pointer position in the parent's coordinates. A control keeps
// one and rewrites it for every change; receivers read it during delivery and do not hold on to it.
class LConditionsParam : public virtual LRefCountedObject {
public:
    static RCPtr<LConditionsParam> Create(std::uint32_t previousConditions, std::uint32_t currentConditions,
                                          const PointT<double>& point);

    std::uint32_t GetPreviousConditions() const { return mPreviousConditions; }
    std::uint32_t GetCurrentConditions() const { return mCurrentConditions; }
    const PointT<double>& GetPoint() const { return mPoint; }

    void Set(std::uint32_t previousConditions, std::uint32_t currentConditions, const PointT<double>& point)
    {
        mPreviousConditions = previousConditions;
        mCurrentConditions = currentConditions;
        mPoint = point;
    }

    // Derived records of another size take their memory from the heap through these, each block marked as such.
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LConditionsParam(std::uint32_t previousConditions, std::uint32_t currentConditions, const PointT<double>& point)
        : mPreviousConditions(previousConditions), mCurrentConditions(currentConditions), mPoint(point)
    {
    }

private:
    std::uint32_t mPreviousConditions;
    std::uint32_t mCurrentConditions;
    PointT<double> mPoint;
};

// No lock: the records are made and let go on the user-interface thread only.
ReuseAllocator<LConditionsParam, 4>& GetConditionsParamPool();

}  // namespace ZV
