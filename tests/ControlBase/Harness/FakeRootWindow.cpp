#include "ControlBase/Harness/FakeRootWindow.h"

namespace ZV::Testing {

LFakeRootWindow::LFakeRootWindow() : LNotificationCenter(L"fake root window") {}

RCPtr<LFakeRootWindow> LFakeRootWindow::Create()
{
    return RCPtr<LFakeRootWindow>(new LFakeRootWindow());
}

ConstRCPtr<LNotificationDistributor> LFakeRootWindow::GetNotificationDistributor() const
{
    return this;
}

RCPtr<LControl> LFakeRootWindow::HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover)
{
    ++mHitTests;
    localPoint = point;
    RCPtr<LControl> hit;
    for (const RCPtr<LControl>& control : mUnderPointer) {
        if (!control->IsExcludedFromHitTests()) {
            hit = control;
            const PointT<double> origin = GetOriginInWindow(*control);
            localPoint = PointT<double>(point.x - origin.x, point.y - origin.y).ToLongPoint();
            break;
        }
    }
    if (updateHover) {
        SetHoverControl(hit);
    }
    return hit;
}

CursorHandle LFakeRootWindow::SetCursor(CursorHandle cursor)
{
    const CursorHandle previous = mCursors.empty() ? 0 : mCursors.back();
    mCursors.push_back(cursor);
    return previous;
}

ZVRESULT LFakeRootWindow::SetTitle(const WideString& title)
{
    mTitles.push_back(title);
    return ZV_S_OK;
}

bool LFakeRootWindow::OnIdle(bool sendIdle)
{
    return ProcessNotifications(sendIdle);
}

void LFakeRootWindow::SetRootControl(const RCPtr<LControl>& control)
{
    ClearInteractionState();
    if (const RCPtr<LControl> old = std::move(mRootControl)) {
        old->Detach();
    }
    mRootControl = control;
    if (control && !control->GetRootWindowRef()) {
        (void)control->SetRootWindow(this);
    }
}

ZVRESULT LFakeRootWindow::ReleaseInternalReferences()
{
    mUnderPointer.clear();
    SetRootControl(nullptr);
    ClearInteractionState();
    return LNotificationCenter::ReleaseInternalReferences();
}

}  // namespace ZV::Testing
