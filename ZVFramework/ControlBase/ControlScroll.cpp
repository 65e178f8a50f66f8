// The scroll offset, the scroll range and the content buffer of a control.
#include "ControlBase/Control.h"

#include "ControlBase/ChildWalk.h"
#include "ControlBase/ContentBuffer.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/ScopedFlag.h"
#include "Notification/Notification.h"
#include "Utilities/Storage/SortPredicates.h"

#include <cmath>

namespace ZV {

namespace {

// The largest offset a double holds exactly at whole pixels.
constexpr double kUnlimitedScroll = 4503599627370496.0;

}  // namespace

const PointT<double>& LControl::ScrollTo(const PointT<double>& offset)
{
    // Subscribers and children hear of the change while it runs and may let the last outside reference go.
    const RCPtr<LControl> self(this);
    const ScopedFlag scrolling(mScroll.scrolling);
    const PointT<double> target(RoundCoordinate(offset.x), RoundCoordinate(offset.y));
    // A NaN is no offset; an offset equal to the current one is no change.
    if (std::isnan(target.x) || std::isnan(target.y) || target == mScroll.offset) {
        return mScroll.offset;
    }
    const PointT<double> old = mScroll.offset;
    {
        // The buffer's pixels move with the content below; what is painted on the screen must go.
        const ScopedFlag bufferKept(mScroll.suppressBufferMarks[0]);
        InvalidateUnclippedDescendants();
        mScroll.offset = target;
        VisitChildren(mChildren, 0, kInsertionOrder, [&](const RCPtr<LControl>& child) {
            const SubControlSettings& settings = SettingsOf(child);
            mScroll.dockedChildScrolling = settings.xIsDocked || settings.yIsDocked;
            // A child answers 0.
            (void)child->OnParentScrolled(old, target);
            mScroll.dockedChildScrolling = false;
            return true;
        });
        (void)InvalidateRect({0, 0, mSize.x, mSize.y}, SettingsOf(this).clipToParent);
        // Where they are now, too: outside this control's area nothing else repaints them there.
        InvalidateUnclippedDescendants();
    }
    SetScrollOffset(old, target);
    (void)SendNotification(LNotification::Create(L"NID_SCROLL_OFFSET_CHANGE", nullptr));

    // The pointer did not move, but what lies under it did.
    if (const RCPtr<IRootWindow> rootWindow = GetRootWindowRef()) {
        const PointT<zlong> cursor = rootWindow->GetCursorPosition();
        const PointT<zlong> origin = GetAbsoluteOrigin().ToLongPoint();
        const double x = static_cast<double>(cursor.x) - origin.x;
        const double y = static_cast<double>(cursor.y) - origin.y;
        if (x >= 0 && y >= 0 && x < mSize.x && y < mSize.y) {
            PointT<zlong> local;
            (void)rootWindow->HitTest(cursor, local, true);
        }
    }
    return mScroll.offset;
}

void LControl::SetScrollOffset(const PointT<double>&, const PointT<double>&)
{
    ScrollContentBuffer(mScroll, GetLookMargins());
}

RectT<double> LControl::GetScrollRange(const RCPtr<LControl>&)
{
    return {0, 0, kUnlimitedScroll, kUnlimitedScroll};
}

ZVRESULT LControl::OnParentScrolled(const PointT<double>&, const PointT<double>&)
{
    const SubControlSettings& settings = SettingsOf(this);
    if (settings.xIsDocked || settings.yIsDocked) {
        // Without a layout there is nothing to place.
        (void)ApplyLayout();
    }
    return ZV_S_OK;
}

ZVRESULT LControl::OnChildBoundsChanged(const RCPtr<LControl>& child, const RectT<double>&)
{
    if (!mLayoutState.relayoutSuppressed) {
        (void)ApplyLayout();
    }
    InvalidateChildArea(child);
    return ZV_S_OK;
}

void LControl::InvalidateChildArea(const RCPtr<LControl>& child)
{
    if (!child || !mScroll.contentBuffer) {
        return;
    }
    const SubControlSettings& settings = SettingsOf(child);
    const bool docked = settings.xIsDocked || settings.yIsDocked;
    if (docked && mScroll.dockedOutsideBuffer) {
        // Drawn straight to the screen: the buffer holds nothing of it.
        return;
    }
    // While the content scrolls only docked children really move on the screen.
    if (docked || (!mScroll.scrolling && !mScroll.sizeChangePending)) {
        MarkContentBuffer(mScroll, {child->mPosition.x, child->mPosition.y, child->mSize.x, child->mSize.y});
    }
}

void LControl::SaveLookBounds()
{
    // Only a content buffer compares them after the change; reading the looks for every control moved costs.
    if (mScroll.contentBuffer) {
        mScroll.savedLookBounds = GetClientRect(-1).ToLong().ToDouble();
    }
    mScroll.sizeChangePending = true;
}

void LControl::UpdateContentExtent()
{
    mScroll.sizeChangePending = false;
    if (!mScroll.contentBuffer) {
        return;
    }
    const RectT<double> client = GetClientRect(-1);
    if (std::fabs(client.width - mScroll.savedLookBounds.width) > kSizeTolerance ||
        std::fabs(client.height - mScroll.savedLookBounds.height) > kSizeTolerance) {
        RecalcContentExtent();
    }
}

void LControl::RecalcContentExtent()
{
    const RectT<double> visible = GetLookMargins();
    if (FitContentBuffer(mScroll, visible)) {
        MarkContentDirty(visible, true);
    } else if (mScroll.contentBuffer) {
        // Too small for the content now: the control draws straight to the screen from here on.
        mScroll.scrollableContent = false;
        DropContentBuffer(mScroll);
        (void)InvalidateRect({0, 0, mSize.x, mSize.y}, SettingsOf(this).clipToParent);
    }
}

void LControl::RequestContentExtentUpdate()
{
    RecalcContentExtent();
}

void LControl::OnChildRemoved(const RCPtr<LControl>&, std::uint32_t) {}

}  // namespace ZV
