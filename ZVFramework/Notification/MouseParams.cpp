#include "Notification/MouseParams.h"


namespace ZV {

RCPtr<LPointWithModifiersParam> LPointWithModifiersParam::Create(const PointT<zlong>& point, std::uint32_t modifiers)
{
    return RCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(point, modifiers));
}

void* LPointWithModifiersParam::operator new(std::size_t size)
{
    return GetPointWithModifiersParamPool().Allocate(size);
}

void LPointWithModifiersParam::operator delete(void* block)
{
    GetPointWithModifiersParamPool().Free(block);
}

RCPtr<LMouseWheelParam> LMouseWheelParam::Create(const PointT<zlong>& point, std::uint32_t modifiers,
                                                 std::uint32_t direction)
{
    return RCPtr<LMouseWheelParam>(new LMouseWheelParam(point, modifiers, direction));
}

std::uint32_t LMouseWheelParam::DirectionOf(Axis axis, int delta)
{
    if (axis == Axis::Vertical) {
        return delta > 0 ? kVerticalPositive : kVerticalNegative;
    }
    return delta > 0 ? kHorizontalPositive : kHorizontalNegative;
}

void* LMouseWheelParam::operator new(std::size_t size)
{
    return GetMouseWheelParamPool().Allocate(size);
}

void LMouseWheelParam::operator delete(void* block)
{
    GetMouseWheelParamPool().Free(block);
}

RCPtr<LMouseButtonParam> LMouseButtonParam::Create(std::uint32_t button, const PointT<zlong>& point,
                                                   std::uint32_t modifiers, bool doubleClick, std::uint32_t buttons)
{
    return RCPtr<LMouseButtonParam>(new LMouseButtonParam(button, point, modifiers, doubleClick, buttons));
}

void* LMouseButtonParam::operator new(std::size_t size)
{
    return GetMouseButtonParamPool().Allocate(size);
}

void LMouseButtonParam::operator delete(void* block)
{
    GetMouseButtonParamPool().Free(block);
}

ReuseAllocator<LPointWithModifiersParam, 4>& GetPointWithModifiersParamPool()
{
    return LastingReusePool<LPointWithModifiersParam, 4, false>();
}

ReuseAllocator<LMouseWheelParam, 4>& GetMouseWheelParamPool()
{
    return LastingReusePool<LMouseWheelParam, 4, false>();
}

ReuseAllocator<LMouseButtonParam, 4>& GetMouseButtonParamPool()
{
    return LastingReusePool<LMouseButtonParam, 4, false>();
}

}  // namespace ZV
