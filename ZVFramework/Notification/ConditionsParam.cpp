#include "Notification/ConditionsParam.h"


namespace ZV {

RCPtr<LConditionsParam> LConditionsParam::Create(std::uint32_t previousConditions, std::uint32_t currentConditions,
                                                 const PointT<double>& point)
{
    return RCPtr<LConditionsParam>(new LConditionsParam(previousConditions, currentConditions, point));
}

void* LConditionsParam::operator new(std::size_t size)
{
    return GetConditionsParamPool().Allocate(size);
}

void LConditionsParam::operator delete(void* block)
{
    GetConditionsParamPool().Free(block);
}

ReuseAllocator<LConditionsParam, 4>& GetConditionsParamPool()
{
    return LastingReusePool<LConditionsParam, 4, false>();
}

}  // namespace ZV
