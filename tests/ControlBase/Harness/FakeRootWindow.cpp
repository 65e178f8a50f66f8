#include "ControlBase/Harness/FakeRootWindow.h"

#include "ControlBase/DirtyRect.h"

#include <algorithm>

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
    if (mHitTestsRootControl) {
        RCPtr<LControl> hit;
        localPoint = {};
        if (mRootControl) {
            const PointT<zlong> origin = mRootControl->GetPosition().ToLongPoint();
            std::int32_t zOrder = INT32_MIN;
            mRootControl->HitTest(hit, {point.x - origin.x, point.y - origin.y}, true, localPoint, zOrder);
        }
        if (updateHover) {
            SetHoverControl(hit);
        }
        return hit;
    }
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

void LFakeRootWindow::InvalidateRect(const RectT<double>& rect)
{
    RectEdges pixels;
    if (CoveredPixels(rect, mClientArea.width, mClientArea.height, pixels)) {
        mDirtyRegion.Add(pixels);
    }
}

ZVRESULT LFakeRootWindow::SetBounds(const RectT<zlong>& rect)
{
    if (!(rect == mClientArea)) {
        mWindowMoves.push_back(rect);
        mClientArea = rect;
    }
    return ZV_S_OK;
}

void LFakeRootWindow::Resize(zlong width, zlong height)
{
    mClientArea.width = width;
    mClientArea.height = height;
    if (const RCPtr<LControl> root = mRootControl) {
        (void)root->ProcessRelayout({width, height});
    }
}

void LFakeRootWindow::CollectDirtyRegion(RectList& region)
{
    mDirtyRegion.Normalize();
    region.Clear();
    region.AppendCopies(mDirtyRegion);
    mDirtyRegion.Clear();
}

std::vector<RectT<zlong>> LFakeRootWindow::TakeDirtyRects()
{
    RectList region;
    CollectDirtyRegion(region);
    std::vector<RectT<zlong>> rects;
    for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
        rects.emplace_back(node->left, node->top, node->right - node->left, node->bottom - node->top);
    }
    std::sort(rects.begin(), rects.end(), [](const RectT<zlong>& a, const RectT<zlong>& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    return rects;
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
    if (const RCPtr<LLayoutDescriptor> rules = control ? control->GetLayoutDescriptor() : nullptr) {
        // The root control fills the client area whatever its skin says. Both axes change before the layout runs:
        // one axis laid out alone would size the window to the other's old rule.
        for (PositionRule* position : {&rules->xPosition, &rules->yPosition}) {
            position->placementAnchor = 0;
            position->toControlKind = kPositionToClient;
            position->rel = 0;
            position->abs = 0;
        }
        for (SizeRule* size : {&rules->xSize, &rules->ySize}) {
            size->toControlKind = kSizeToClient;
            size->rel = 1;
            size->abs = 0;
        }
        (void)control->ApplyLayout();
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
