#include "Notification/ValueParam.h"


namespace ZV {

RCPtr<LValueParam> LValueParam::Create(double normalizedValue, double scaledValue)
{
    return RCPtr<LValueParam>(new LValueParam(normalizedValue, scaledValue));
}

void* LValueParam::operator new(std::size_t size)
{
    return GetValueParamPool().Allocate(size);
}

void LValueParam::operator delete(void* block)
{
    GetValueParamPool().Free(block);
}

ReuseAllocator<LValueParam, 4>& GetValueParamPool()
{
    return LastingReusePool<LValueParam, 4, false>();
}

}  // namespace ZV
