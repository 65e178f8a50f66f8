// Marking areas of a control for repainting: up the parent chain, cut by every parent that clips, into the root
// window's dirty region; and the geometry that maps a control into its parents and the window.
#include "ControlBase/Control.h"

#include "ControlBase/ContentBuffer.h"
#include "ControlBase/ControlGeometry.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cmath>

namespace ZV {

PointT<double> LControl::GetAbsoluteOrigin() const
{
    if (!mParent) {
        return mPosition;
    }
    PointT<double> origin = mParent->GetAbsoluteOrigin();
    const RectT<double> client = mParent->GetClientRect(-1);
    origin.x += mPosition.x - mParent->mScroll.offset.x + client.x;
    origin.y += mPosition.y - mParent->mScroll.offset.y + client.y;
    return origin;
}

void LControl::MapPointFromControl(const LControl& other, PointT<double>& point) const
{
    // Whole pixels, as the window places controls; the clamp keeps the rounding exact and the sum finite.
    static constexpr double kLimit = 4503599627370496.0;
    const auto wholePixel = [](double value) { return std::clamp(std::round(value), -kLimit, kLimit); };
    const PointT<double> from = other.GetAbsoluteOrigin();
    const PointT<double> to = GetAbsoluteOrigin();
    point.x += wholePixel(from.x) - wholePixel(to.x);
    point.y += wholePixel(from.y) - wholePixel(to.y);
}

RectT<double> LControl::GetClipBounds() const
{
    if (mParent) {
        const RectT<double> client = mParent->GetClientRect(-1);
        return {-(mPosition.x - mParent->mScroll.offset.x + client.x),
                -(mPosition.y - mParent->mScroll.offset.y + client.y), mParent->mSize.x, mParent->mSize.y};
    }
    if (mRootWindow) {
        const RectT<zlong> window = mRootWindow->GetScreenBounds();
        return {-mPosition.x, -mPosition.y, static_cast<double>(window.width), static_cast<double>(window.height)};
    }
    return {0, 0, mSize.x, mSize.y};
}

bool LControl::IsRepaintedByRelayout() const
{
    // A rectangle cut by every parent on its way up stays inside the first parent that is re-laying out its
    // children, whose whole area is repainted when they are done. Content buffers take their own marks on the way,
    // so a walk through one is never skipped.
    for (const LControl* control = this;; control = control->mParent.Get()) {
        if (control->mScroll.scrollableContent || !control->mParent ||
            !ClipsToParent(control->GetSubControlSettings())) {
            return false;
        }
        const LControl& parent = *control->mParent;
        if (parent.mLayoutState.relayingOutChildren) {
            return !parent.mScroll.scrollableContent;
        }
    }
}

ZVRESULT LControl::InvalidateRect(const RectT<double>& rect, bool clip)
{
    if (clip && IsRepaintedByRelayout()) {
        return ZV_S_OK;
    }
    const PointT<double> origin = GetAbsoluteOrigin();
    // 1 says only that nothing was left to repaint.
    (void)Invalidate(MovedBy(rect, origin.x, origin.y), clip, rect);
    return ZV_S_OK;
}

ZVRESULT LControl::Invalidate(const RectT<double>& rootRect, bool clip, const RectT<double>& localRect)
{
    if (mScroll.scrollableContent && !mScroll.suppressBufferMarks[0] && !mScroll.suppressBufferMarks[1]) {
        const PointT<double> origin = GetAbsoluteOrigin();
        const RectT<double> client = GetClientRect(-1);
        MarkContentBuffer(mScroll, MovedBy(rootRect, mScroll.offset.x - origin.x - client.x,
                                           mScroll.offset.y - origin.y - client.y));
    }
    if (!IsVisible(false)) {
        return ZV_S_FALSE;
    }
    RectT<double> local = localRect;
    if (clip && SettingsOf(this).clipToParent && !RectT<double>::Intersect(local, local, GetClipBounds())) {
        return ZV_S_FALSE;
    }
    if (mParent) {
        const RectT<double> client = mParent->GetClientRect(-1);
        return mParent->Invalidate(rootRect, clip,
                                   MovedBy(local, mPosition.x - mParent->mScroll.offset.x + client.x,
                                           mPosition.y - mParent->mScroll.offset.y + client.y));
    }
    if (!mRootWindow) {
        return ZV_S_OK;
    }
    RectT<double> dirty = rootRect;
    if (clip && !RectT<double>::Intersect(dirty, rootRect, MovedBy(local, mPosition.x, mPosition.y))) {
        return ZV_S_FALSE;
    }
    mRootWindow->InvalidateRect(dirty);
    return ZV_S_OK;
}

void LControl::InvalidateUnclippedDescendants()
{
    if (mUnclippedDescendants > 0) {
        // A list of its own: a control invalidated may invalidate others in turn.
        RCPtrArray<LControl> controls;
        (void)CollectUnclipped(controls, true, true);
        for (std::uint32_t index = controls.GetCount(); index-- > 0;) {
            const RCPtr<LControl>& control = controls.GetData()[index];
            (void)control->InvalidateRect({0, 0, control->mSize.x, control->mSize.y},
                                          SettingsOf(control).clipToParent);
        }
    } else if (!SettingsOf(this).clipToParent) {
        (void)InvalidateRect({0, 0, mSize.x, mSize.y}, false);
    }
}

void LControl::MarkContentDirty(const RectT<double>& rect, bool alsoInvalidate)
{
    MarkContentBuffer(mScroll, rect);
    if (!alsoInvalidate) {
        return;
    }
    const RectT<double> client = GetClientRect(-1);
    RectT<double> shown;
    if (RectT<double>::Intersect(shown, MovedBy(rect, client.x - mScroll.offset.x, client.y - mScroll.offset.y),
                                 client)) {
        (void)InvalidateRect(shown, true);
    }
}

}  // namespace ZV
