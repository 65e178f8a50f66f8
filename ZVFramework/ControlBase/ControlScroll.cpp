// The scroll offset, the scroll range and the content buffer of a control.
#include "ControlBase/Control.h"

namespace ZV {

namespace {

// The largest offset a double holds exactly at whole pixels.
constexpr double kUnlimitedScroll = 4503599627370496.0;

}  // namespace

const PointT<double>& LControl::ScrollTo(const PointT<double>&)
{
    return mScroll.offset;
}

void LControl::SetScrollOffset(const PointT<double>&, const PointT<double>&) {}

RectT<double> LControl::GetScrollRange(const RCPtr<LControl>&)
{
    return {0, 0, kUnlimitedScroll, kUnlimitedScroll};
}

ZVRESULT LControl::OnParentScrolled(const PointT<double>&, const PointT<double>&)
{
    return ZV_E_NOTIMPL;
}

void LControl::InvalidateChildArea(const RCPtr<LControl>&) {}

void LControl::SaveLookBounds() {}

void LControl::UpdateContentExtent() {}

void LControl::OnChildRemoved(const RCPtr<LControl>&, std::uint32_t) {}

}  // namespace ZV
