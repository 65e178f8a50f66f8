// Finding the control under a point: the children of every weighted look from the top of the layout order down,
// controls that reach outside their parents above the others by their z-order, transparent areas let through.
#include "ControlBase/Control.h"

#include "ControlBase/ControlGeometry.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

bool Contains(const RectT<zlong>& rect, const PointT<zlong>& point)
{
    return point.x >= rect.x && point.y >= rect.y && point.x < std::int64_t{rect.x} + rect.width &&
           point.y < std::int64_t{rect.y} + rect.height;
}

}  // namespace

bool LControl::ContainsPoint(const PointT<zlong>& point) const
{
    const double x = point.x + std::round(mPosition.x);
    const double y = point.y + std::round(mPosition.y);
    return x >= mPosition.x && x < mPosition.x + mSize.x && y >= mPosition.y && y < mPosition.y + mSize.y;
}

void LControl::HitTest(RCPtr<LControl>& hit, const PointT<zlong>& point, bool topmost, PointT<zlong>& hitPoint,
                       std::int32_t& zOrder)
{
    hit = nullptr;
    hitPoint = {};
    mHitCache.control = nullptr;
    const bool contains = ContainsPoint(point);
    if (!IsVisible(false) || (!contains && mUnclippedDescendants == 0)) {
        return;
    }

    // Children are looked at from the top: the last in layout order first.
    const bool childTopmost = topmost && contains;
    RCPtr<LControl> best;
    PointT<zlong> bestPoint;
    std::int32_t bestZOrder = kLowestZOrder;
    LookFrame frame;
    for (std::uint32_t look = 0; GetLookFrame(look, frame); ++look) {
        if (!(frame.weight > 0)) {
            continue;
        }
        const bool inside = Contains(frame.clientRect, point);
        // The point in the content, where the children's positions are.
        const double contentX = point.x - frame.clientRect.x + mScroll.offset.x;
        const double contentY = point.y - frame.clientRect.y + mScroll.offset.y;
        for (std::uint32_t index = mChildren.GetCount(); index-- > 0;) {
            if (index >= mChildren.GetCount()) {
                continue;
            }
            const RCPtr<LControl> child = mChildren.GetAt(index, kLayoutOrder);
            const SubControlSettings& settings = SettingsOf(child);
            const bool reachesOut = !settings.clipToParent || child->mUnclippedDescendants > 0;
            const bool mayHit =
                !best && (child->GetEffectiveZOrder() > kLowestZOrder ||
                          (childTopmost && (inside || DockedAxes(settings) == 2)));
            if (!mayHit && !reachesOut) {
                continue;
            }
            RCPtr<LControl> childHit;
            PointT<zlong> childPoint;
            std::int32_t childZOrder = best ? bestZOrder : kLowestZOrder;
            const PointT<zlong> local(RoundToLong(contentX - child->mPosition.x),
                                      RoundToLong(contentY - child->mPosition.y));
            child->HitTest(childHit, local, childTopmost, childPoint, childZOrder);
            if (childHit && (!best || childZOrder > bestZOrder)) {
                best = childHit;
                bestPoint = childPoint;
                bestZOrder = childZOrder;
            }
        }
    }
    if (best) {
        hit = best;
        hitPoint = bestPoint;
        zOrder = bestZOrder;
        return;
    }

    const std::int32_t ownZOrder = GetEffectiveZOrder();
    const bool aboveCaller = ownZOrder > zOrder || (ownZOrder == kLowestZOrder && topmost);
    if (!contains || mMouse.excluded || !aboveCaller) {
        return;
    }
    if (SettingsOf(this).clipToParent && mParent) {
        // Only the part of the control that its parent's client area shows is there to hit.
        const RectT<double> client = mParent->GetClientRect(-1);
        const double x = point.x + mPosition.x - mParent->mScroll.offset.x;
        const double y = point.y + mPosition.y - mParent->mScroll.offset.y;
        if (x < 0 || y < 0 || x >= client.width || y >= client.height) {
            return;
        }
    }
    if (IsTransparentAtPoint(point)) {
        return;
    }
    hit = this;
    hitPoint = point;
    zOrder = ownZOrder;
}

}  // namespace ZV
