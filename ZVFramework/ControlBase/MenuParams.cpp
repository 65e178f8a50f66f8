#include "ControlBase/MenuParams.h"

#include "ControlBase/Control.h"
#include "ControlBase/MenuDescriptor.h"

namespace ZV {

LMenuActivationParam::LMenuActivationParam(const ConstRCPtr<LMenuDescriptor>& menu, std::uint32_t item)
    : mMenu(menu), mItem(item)
{
}

LMenuActivationParam::~LMenuActivationParam() = default;

RCPtr<LMenuActivationParam> LMenuActivationParam::Create(const ConstRCPtr<LMenuDescriptor>& menu, std::uint32_t item)
{
    return RCPtr<LMenuActivationParam>(new LMenuActivationParam(menu, item));
}

void* LMenuActivationParam::operator new(std::size_t size)
{
    return GetMenuActivationParamPool().Allocate(size);
}

void LMenuActivationParam::operator delete(void* block)
{
    GetMenuActivationParamPool().Free(block);
}

LMenuItemUpdater::LMenuItemUpdater(const ConstRCPtr<LControl>& control) : mControl(control) {}

LMenuItemUpdater::~LMenuItemUpdater() = default;

void LMenuItemUpdater::ReleaseControl()
{
    mControl = nullptr;
}

RCPtr<LMenuItemUpdater> LMenuItemUpdater::Create(const ConstRCPtr<LControl>& control)
{
    return RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(control));
}

ReuseAllocator<LMenuActivationParam, 4>& GetMenuActivationParamPool()
{
    return LastingReusePool<LMenuActivationParam, 4, false>();
}

}  // namespace ZV
