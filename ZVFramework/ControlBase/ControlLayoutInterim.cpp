// Placement rules and origins in a build that lacks the layout's own bodies of these two operations. Defined weak:
// where the layout's bodies are linked they take the place of these, and this file can go.
#include "ControlBase/Control.h"

#include "ControlBase/LayoutDescriptor.h"

namespace ZV {

__attribute__((weak)) ZVRESULT LControl::SetAxisPlacement(int axis, const PositionRule& position, bool docked,
                                                         const SizeRule& size)
{
    if (!mLayout || (axis != 0 && axis != 1)) {
        return ZV_E_INVALIDARG;
    }
    bool& storedDocked = axis == 0 ? mLayout->xIsDocked : mLayout->yIsDocked;
    if (storedDocked != docked && mParent) {
        mParent->mChildren.MarkOrderChanged();
    }
    storedDocked = docked;
    (axis == 0 ? mLayout->xPosition : mLayout->yPosition) = position;
    (axis == 0 ? mLayout->xSize : mLayout->ySize) = size;
    (void)ApplyLayout();
    return ZV_S_OK;
}

__attribute__((weak)) PointT<double> LControl::GetAbsoluteOrigin() const
{
    PointT<double> origin = mPosition;
    for (const LControl* ancestor = mParent.Get(); ancestor != nullptr; ancestor = ancestor->mParent.Get()) {
        origin.x += ancestor->mPosition.x - ancestor->mScroll.offset.x;
        origin.y += ancestor->mPosition.y - ancestor->mScroll.offset.y;
    }
    return origin;
}

}  // namespace ZV
