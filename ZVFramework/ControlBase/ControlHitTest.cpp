// Finding the control under a point: the children of every weighted look from the top of the layout order down,
// controls that reach outside their parents above the others by their z-order, transparent areas let through.
#include "ControlBase/Control.h"

#include "ControlBase/ChildWalk.h"
#include "ControlBase/ControlGeometry.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

bool Contains(const RectT<zlong>& rect, const PointT<zlong>& point)
{
    return point.x >= rect.x && point.y >= rect.y && point.x < std::int64_t{rect.x} + rect.width &&
           point.y < std::int64_t{rect.y} + rect.height;
}

// The effective z-order of a child of a control whose own is parentZOrder: its own z-order counts only when it does
// not clip to its parent.
std::int32_t ChildZOrder(std::int32_t parentZOrder, const SubControlSettings& child)
{
    return child.clipToParent ? parentZOrder : std::max(parentZOrder, child.zOrder);
}

// A position rounded half away from zero; layout keeps positions whole, which need no library call.
double RoundedPosition(double value)
{
    return IsWholeCoordinate(value) ? value : std::round(value);
}

}  // namespace

bool LControl::ContainsPoint(const PointT<zlong>& point) const
{
    const double x = point.x + RoundedPosition(mPosition.x);
    const double y = point.y + RoundedPosition(mPosition.y);
    return x >= mPosition.x && x < mPosition.x + mSize.x && y >= mPosition.y && y < mPosition.y + mSize.y;
}

void LControl::HitTest(RCPtr<LControl>& hit, const PointT<zlong>& point, bool topmost, PointT<zlong>& hitPoint,
                       std::int32_t& zOrder)
{
    hit = nullptr;
    hitPoint = {};
    mHitCache.control = nullptr;
    // Most controls asked lie elsewhere: that is known from the rectangle alone, without the rules.
    const bool contains = ContainsPoint(point);
    if ((!contains && mUnclippedDescendants == 0) || !IsVisible(false)) {
        return;
    }

    // Children are looked at from the top: the last in layout order first. They are read from the list uncounted;
    // the walk keeps alive a child that a call removes meanwhile.
    const ChildListWalk walk(mChildren);
    const std::int32_t ownZOrder = GetEffectiveZOrder();
    const bool childTopmost = topmost && contains;
    RCPtr<LControl> best;
    PointT<zlong> bestPoint;
    std::int32_t bestZOrder = kLowestZOrder;
    // Before a hit, a child is asked when it may be hit: under a topmost test where the point is inside the look's
    // client area or the child is docked both ways, or when it lies above the lowest z-order. After one, only a child
    // that reaches outside this control may add anything. Its rules are read only where the point does not decide.
    const auto isAsked = [&](const LControl& child, bool inside) {
        if (!best && childTopmost && inside) {
            return true;
        }
        const SubControlSettings& settings = SettingsOf(&child);
        if (!best && (ChildZOrder(ownZOrder, settings) > kLowestZOrder ||
                      (childTopmost && DockedAxes(settings) == 2))) {
            return true;
        }
        return !settings.clipToParent || child.mUnclippedDescendants > 0;
    };
    LookFrame frame;
    for (std::uint32_t look = 0; GetLookFrame(look, frame); ++look) {
        if (!(frame.weight > 0)) {
            continue;
        }
        const bool inside = Contains(frame.clientRect, point);
        // The point in the content, where the children's positions are.
        const double contentX = point.x - frame.clientRect.x + mScroll.offset.x;
        const double contentY = point.y - frame.clientRect.y + mScroll.offset.y;
        // Once a child is hit, only children that reach outside this control are asked: with none below it, the
        // rest of the children have nothing to add.
        for (std::uint32_t index = mChildren.GetCount(); index-- > 0 && !(best && mUnclippedDescendants == 0);) {
            if (index >= mChildren.GetCount()) {
                continue;
            }
            LControl* child = mChildren.GetAt(index, kLayoutOrder).Get();
            if (!isAsked(*child, inside)) {
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
