// Drawing, hit testing and invalidation of a control.
#include "ControlBase/Control.h"

namespace ZV {

ZVRESULT LControl::Render(LRenderer&, const RectList&, RCPtrArray<LControl>&, bool)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::Invalidate(const RectT<double>&, bool, const RectT<double>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::InvalidateRect(const RectT<double>&, bool)
{
    return ZV_E_NOTIMPL;
}

void LControl::HitTest(RCPtr<LControl>& hit, const PointT<zlong>&, bool, PointT<zlong>& hitPoint, std::int32_t&)
{
    hit = nullptr;
    hitPoint = {};
}

bool LControl::ContainsPoint(const PointT<zlong>&) const
{
    return false;
}

ZVRESULT LControl::RenderContent(LRenderer&)
{
    return ZV_S_OK;
}

ZVRESULT LControl::RenderOverlay(LRenderer&)
{
    return ZV_S_OK;
}

}  // namespace ZV
