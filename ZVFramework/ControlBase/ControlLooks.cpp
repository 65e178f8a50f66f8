// A control's looks and their weights; a control without looks answers for its whole rectangle.
#include "ControlBase/Control.h"

namespace ZV {

namespace {

// White, fully transparent: no look has a colour there.
constexpr std::uint32_t kNoColor = 0x00FFFFFF;

}  // namespace

RectT<double> LControl::GetLookClientRect()
{
    return {0, 0, mSize.x, mSize.y};
}

RectT<double> LControl::GetLookMargins()
{
    return {mScroll.offset.x, mScroll.offset.y, mSize.x, mSize.y};
}

bool LControl::IsTransparentAtPoint(const PointT<zlong>&)
{
    return true;
}

std::uint32_t LControl::GetColorAtPoint(const PointT<zlong>&, std::int32_t)
{
    return kNoColor;
}

ZVRESULT LControl::SelectLook(std::uint32_t)
{
    return ZV_E_NOTIMPL;
}

std::int32_t LControl::AddLook(const RCPtr<LLook>&)
{
    return -1;
}

}  // namespace ZV
