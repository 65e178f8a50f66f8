// Placement, minimum and maximum sizes, and the bounds of a control.
#include "ControlBase/Control.h"

namespace ZV {

ZVRESULT LControl::ApplyLayout()
{
    return ZV_E_NOTIMPL;
}

PointT<double> LControl::ComputeLayoutSize()
{
    return mSize;
}

PointT<double> LControl::GetDescriptorSize() const
{
    if (!mLayout) {
        return {};
    }
    // A maximum measured against the control itself is the size the skin means it to have.
    const auto selfMaximum = [](const LimitRule& rule) { return rule.toControl ? 0.0 : rule.abs; };
    return {selfMaximum(mLayout->xMaximum), selfMaximum(mLayout->yMaximum)};
}

ZVRESULT LControl::OnChildBoundsChanged(const RCPtr<LControl>&, const RectT<double>&)
{
    return ZV_E_NOTIMPL;
}

}  // namespace ZV
