// The fake root window's tool tips: which control's tip shows while the pointer rests on a control.
#include "ControlBase/Harness/FakeRootWindow.h"

namespace ZV::Testing {

void LFakeRootWindow::FollowToolTip(const RCPtr<LControl>& hovered)
{
    RCPtr<LControl> tipControl;
    if (hovered && hovered != mCaptureControl) {
        tipControl = hovered;
        while (tipControl && tipControl->GetToolTipText().IsEmpty()) {
            tipControl = tipControl->UsesParentToolTip() ? tipControl->GetParent() : nullptr;
        }
    }
    if (tipControl == mToolTipControl) {
        return;
    }
    const RCPtr<LControl> previous = std::move(mToolTipControl);
    mToolTipControl = tipControl;
    if (previous) {
        (void)previous->ShowToolTip(false);
    }
    if (tipControl) {
        (void)tipControl->ShowToolTip(true);
    }
}

void LFakeRootWindow::HideToolTip()
{
    if (const RCPtr<LControl> tipControl = mToolTipControl) {
        (void)tipControl->ShowToolTip(false);
    }
}

}  // namespace ZV::Testing
