// The fake root window's capture, focus and hover, kept as the root window keeps them.
#include "ControlBase/Harness/FakeRootWindow.h"

namespace ZV::Testing {

PointT<double> GetOriginInWindow(const LControl& control)
{
    PointT<double> origin = control.GetPosition();
    for (const LControl* ancestor = control.GetParent().Get(); ancestor != nullptr;
         ancestor = ancestor->GetParent().Get()) {
        origin.x += ancestor->GetPosition().x - ancestor->GetScrollOffset().x;
        origin.y += ancestor->GetPosition().y - ancestor->GetScrollOffset().y;
    }
    return origin;
}

ZVRESULT LFakeRootWindow::SetCapture(const RCPtr<LControl>& control)
{
    if (!control) {
        return ZV_E_INVALIDARG;
    }
    if (const RCPtr<LControl> previous = mCaptureControl) {
        (void)previous->OnCaptureLost();
    }
    mCaptureControl = control;
    return ZV_S_OK;
}

ZVRESULT LFakeRootWindow::ReleaseCapture()
{
    mCaptureControl = nullptr;
    return ZV_S_OK;
}

void LFakeRootWindow::ClearFocusControl()
{
    if (mFocusControl) {
        mRememberedFocusControl = std::move(mFocusControl);
    }
}

ZVRESULT LFakeRootWindow::EndModal(std::int32_t result)
{
    mModalEndRequests.push_back(result);
    return ZV_S_OK;
}

void LFakeRootWindow::SetHoverControl(const RCPtr<LControl>& control)
{
    const RCPtr<LControl> hovered = mCaptureControl && control != mCaptureControl ? nullptr : control;
    if (hovered == mHoverControl) {
        return;
    }
    FollowToolTip(hovered);
    const RCPtr<LControl> previous = std::move(mHoverControl);
    mHoverControl = hovered;
    if (previous && (previous->GetParent() || previous->GetRootWindowRef())) {
        (void)previous->OnMouseLeave();
    }
    // Unless leaving moved the hover on already.
    if (hovered && mHoverControl == hovered) {
        (void)hovered->OnMouseEnter();
    }
}

void LFakeRootWindow::ClearInteractionState()
{
    mCaptureControl = nullptr;
    mFocusControl = nullptr;
    mRememberedFocusControl = nullptr;
    mHoverControl = nullptr;
    mToolTipControl = nullptr;
}

}  // namespace ZV::Testing
