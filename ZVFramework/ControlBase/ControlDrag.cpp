// Drag tracking, drop targets and kinetic scrolling.
#include "ControlBase/Control.h"

#include "ControlBase/ControlServices.h"
#include "ControlBase/LayoutDescriptor.h"
#include "Notification/MouseParams.h"
#include "Renderer/RenderingServices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ZV {

namespace {

// How near an edge, in pixels, the pointer makes the host scroll by itself.
constexpr double kEdgeZone = 30.0;
// A host scrolls at this many pixels per second for each pixel the pointer has gone into its edge zone, plus one.
constexpr double kEdgeScrollSpeed = 15.0;
// Moves closer together than this are averaged into the drag velocity; a longer pause starts it afresh.
constexpr double kVelocitySmoothingGap = 0.2;
// A release this soon after the last move lets the content coast on.
constexpr std::uint32_t kCoastingReleaseWindowMs = 100;
// The slowest release, in pixels per second, that coasts.
constexpr double kCoastingSpeed = 1000.0;
// Content coasts at the speed of its release for this long before it slows down.
constexpr std::uint32_t kCoastingSteadyMs = 1000;

double Origin(const RectT<double>& rect, int axis)
{
    return axis == 0 ? rect.x : rect.y;
}

double Extent(const RectT<double>& rect, int axis)
{
    return axis == 0 ? rect.width : rect.height;
}

double& At(PointT<double>& point, int axis)
{
    return *point.Coordinate(axis);
}

double At(const PointT<double>& point, int axis)
{
    return *point.Coordinate(axis);
}

// Clamps to the lower bound first: a bound pair that crosses gives the upper one, never undefined behaviour.
double Bound(double value, double lower, double upper)
{
    return std::min(std::max(value, lower), upper);
}

double RoundHalfAway(double value)
{
    return std::round(value);
}

// Which edge zones of its host a drag has reached, and how far into each, per axis.
struct EdgeApproach {
    double overshoot[2] = {};
    // Left or top, right or bottom.
    bool nearLow[2] = {};
    bool nearHigh[2] = {};

    bool Near(int axis) const { return nearLow[axis] || nearHigh[axis]; }
    bool Any() const { return Near(0) || Near(1); }
    void Clear(int axis) { nearLow[axis] = nearHigh[axis] = false; }
};

// The argument bits of a move or a resize that make the host scroll near an axis's edges.
std::int32_t EdgeScrollBits(int axis)
{
    return axis == 0 ? kDragAxisX | kDragRightEdge | kDragLeftEdge : kDragAxisY | kDragBottomEdge | kDragTopEdge;
}

// The control's rules on one axis: absolute position, docked flag, absolute size.
struct AxisPlacement {
    double position;
    bool docked;
    double size;
};

AxisPlacement PlacementOf(const LControl& control, int axis)
{
    const LLayoutDescriptor& layout = *control.GetLayoutDescriptor();
    return axis == 0 ? AxisPlacement{layout.xPosition.abs, layout.xIsDocked, layout.xSize.abs}
                     : AxisPlacement{layout.yPosition.abs, layout.yIsDocked, layout.ySize.abs};
}

// Gives one axis of the control's rules another absolute position, docking and absolute size, keeping the rest.
void Place(LControl& control, int axis, const AxisPlacement& placement)
{
    const LLayoutDescriptor& layout = *control.GetLayoutDescriptor();
    PositionRule position = axis == 0 ? layout.xPosition : layout.yPosition;
    SizeRule size = axis == 0 ? layout.xSize : layout.ySize;
    position.abs = placement.position;
    size.abs = placement.size;
    // 1 only tells that the layout's limits kept the rules from holding as asked.
    (void)control.SetAxisPlacement(axis, position, placement.docked, size);
}

// The zones along the visible content's edges, narrowed where the bounds (a splitter's travel) stop short of them:
// a travel that reaches into one makes the host scroll.
void FindEdgeZones(const RectT<double>& content, const RectT<double>& bounds, const PointT<double>& pointerInParent,
                   const PointT<double>& press, const PointT<double>& travel, std::int32_t argument,
                   EdgeApproach& approach)
{
    for (int axis = 0; axis < 2; ++axis) {
        const double start = Origin(content, axis);
        const double extent = Extent(content, axis);
        const bool argumentScrolls = (argument & EdgeScrollBits(axis)) != 0;
        if (At(pointerInParent, axis) <= start + extent / 2) {
            const double zone = Bound(kEdgeZone - std::trunc(std::trunc(start) - Origin(bounds, axis)), 0, kEdgeZone);
            const double limit = start - At(press, axis) + zone;
            if (At(travel, axis) <= limit) {
                approach.overshoot[axis] = limit - At(travel, axis);
                approach.nearLow[axis] = argumentScrolls;
            }
        } else {
            const double zone =
                Bound(std::trunc(start + extent) - std::trunc(Origin(bounds, axis) + Extent(bounds, axis)) + kEdgeZone,
                      0, kEdgeZone);
            const double limit = start + extent - At(press, axis) - zone;
            if (At(travel, axis) >= limit) {
                approach.overshoot[axis] = At(travel, axis) - limit;
                approach.nearHigh[axis] = argumentScrolls;
            }
        }
    }
}

// The zones along a drop target's visible content that the target asks to scroll near.
void FindDropEdgeZones(LControl& target, std::uint32_t edges, const PointT<double>& rootPoint, EdgeApproach& approach)
{
    const PointT<double> origin = target.GetAbsoluteOrigin();
    const RectT<double> client = target.GetLookClientRect();
    const PointT<double>& scroll = target.GetScrollOffset();
    constexpr std::uint32_t kLowEdges[2] = {kDragLeftEdge, kDragTopEdge};
    constexpr std::uint32_t kHighEdges[2] = {kDragRightEdge, kDragBottomEdge};
    for (int axis = 0; axis < 2; ++axis) {
        const double visibleStart = At(scroll, axis);
        const double visibleEnd = visibleStart + Extent(client, axis);
        const double inContent = At(rootPoint, axis) - At(origin, axis) + visibleStart - Origin(client, axis);
        if (inContent >= visibleEnd - kEdgeZone) {
            approach.overshoot[axis] = inContent - (visibleEnd - kEdgeZone);
            approach.nearHigh[axis] = (edges & kHighEdges[axis]) != 0;
        } else if (inContent <= visibleStart + kEdgeZone) {
            approach.overshoot[axis] = visibleStart + kEdgeZone - inContent;
            approach.nearLow[axis] = (edges & kLowEdges[axis]) != 0;
        }
    }
}

// The host scrolls on each axis whose edge zone the drag has reached, faster the further in, and stops on the others.
void ScrollHost(LControl& host, const RCPtr<LControl>& dragged, const EdgeApproach& approach)
{
    if (!approach.Any()) {
        (void)host.StopKineticScroll(0);
        (void)host.StopKineticScroll(1);
        return;
    }
    const RectT<double> range = host.GetScrollRange(dragged);
    for (int axis = 0; axis < 2; ++axis) {
        if (!approach.Near(axis)) {
            (void)host.StopKineticScroll(axis);
            continue;
        }
        const double speed = (approach.overshoot[axis] + 1) * kEdgeScrollSpeed;
        (void)host.StartKineticScroll(axis, approach.nearHigh[axis] ? speed : -speed,
                                      Origin(range, axis) + Extent(range, axis), Origin(range, axis), dragged);
    }
}

void NoteLayoutAtStart(const LLayoutDescriptor& layout, ControlDragState& drag)
{
    drag.layoutAtStart[0] = layout.xPosition.abs;
    drag.layoutAtStart[1] = layout.yPosition.abs;
    drag.layoutAtStart[2] = layout.xSize.abs;
    drag.layoutAtStart[3] = layout.ySize.abs;
}

void ShowNamedCursor(IRootWindow& window, const wchar_t* name)
{
    (void)window.SetCursor(window.GetNamedCursor(name));
}

}  // namespace

ZVRESULT LControl::SetDragMode(std::int32_t mode, std::int32_t argument)
{
    mMouse.dragMode = mode;
    mMouse.dragArgument = argument;
    return ZV_S_OK;
}

void LControl::BeginDrag()
{
    // The parent hosts every drag: a control without one has nowhere to move.
    if (!mParent || !mLayout) {
        return;
    }
    const RCPtr<LControl> self(this);
    if (mMouse.dragging[kLeftButtonIndex]) {
        mDrag.sizeAtStart = mSize;
        mDrag.parentScrollAtStart = mParent->GetScrollOffset();
    }
    if (mMouse.dragMode == kDragAndDrop) {
        mDrag.dropTarget = nullptr;
        mDrag.wasUnclipped = !mLayout->clipToParent;
        (void)SetStateFlag(false);
        mDrag.xWasDocked = mLayout->xIsDocked;
        mDrag.yWasDocked = mLayout->yIsDocked;
        // Docked, the control stays where it is in the parent's visible area while the parent scrolls under it.
        const PointT<double>& parentScroll = mParent->GetScrollOffset();
        for (int axis = 0; axis < 2; ++axis) {
            AxisPlacement placement = PlacementOf(*this, axis);
            if (!placement.docked) {
                placement.position = At(mPosition, axis) - At(parentScroll, axis);
                placement.docked = true;
                Place(*this, axis, placement);
            }
        }
    }
    NoteLayoutAtStart(*mLayout, mDrag);
}

void LControl::RebaseDrag()
{
    if (!mLayout) {
        return;
    }
    mMouse.pressPoint.x += mDrag.travel.x;
    mMouse.pressPoint.y += mDrag.travel.y;
    // From here the pointer has travelled nothing yet.
    mDrag.travel = {};
    mDrag.sizeAtStart = mSize;
    mDrag.parentScrollAtStart = mParent ? mParent->GetScrollOffset() : PointT<double>();
    NoteLayoutAtStart(*mLayout, mDrag);
}

void LControl::ProcessMouseTracking(const RCPtr<LPointWithModifiersParam>& pointer)
{
    if (!pointer || !mParent || !mLayout) {
        return;
    }
    // Hooks, the host and the drop targets may let the last reference to the control go.
    const RCPtr<LControl> self(this);
    const std::int32_t mode = mMouse.dragMode;
    const std::int32_t argument = mMouse.dragArgument;
    const PointT<double> point(pointer->GetX(), pointer->GetY());
    const PointT<double> press = mMouse.pressPoint;
    PointT<double> travel(mPosition.x + point.x - press.x, mPosition.y + point.y - press.y);
    RCPtr<LControl> host = mParent;
    EdgeApproach approach;
    // Where the pointer is in the window, taken before the control moves under it.
    const PointT<double> origin = GetAbsoluteOrigin();
    const PointT<double> rootPoint(origin.x + point.x, origin.y + point.y);

    if (mode != kDragAndDrop) {
        RectT<double> content = mParent->GetLookClientRect();
        content.x += mParent->GetScrollOffset().x;
        content.y += mParent->GetScrollOffset().y;
        RectT<double> bounds = content;
        GetSplitterBounds(bounds);
        PointT<double> lowest(bounds.x - press.x, bounds.y - press.y);
        PointT<double> highest(bounds.x + bounds.width - press.x, bounds.y + bounds.height - press.y);
        if (mode == kDragResize || mode == kDragResizeScrollingParent) {
            // Whatever the bounds allow, a resized control keeps at least one pixel.
            const PointT<double>& start = mDrag.sizeAtStart;
            if ((argument & kDragLeftEdge) != 0 && (argument & kDragRightEdge) == 0) {
                highest.x = std::min(highest.x, start.x - 1);
            }
            if ((argument & kDragRightEdge) != 0) {
                lowest.x = std::max(lowest.x, 1 - start.x);
            }
            if ((argument & kDragTopEdge) != 0 && (argument & kDragBottomEdge) == 0) {
                highest.y = std::min(highest.y, start.y - 1);
            }
            if ((argument & kDragBottomEdge) != 0) {
                lowest.y = std::max(lowest.y, 1 - start.y);
            }
        }
        if (mode == kDragMoveScrollingParent || mode == kDragResizeScrollingParent) {
            const PointT<double> inParent(mPosition.x + point.x, mPosition.y + point.y);
            FindEdgeZones(content, bounds, inParent, press, travel, argument, approach);
        }
        if (mode >= kDragMove && mode <= kDragResizeScrollingParent) {
            for (int axis = 0; axis < 2; ++axis) {
                const double bounded = Bound(At(travel, axis), At(lowest, axis), At(highest, axis));
                if (bounded != At(travel, axis)) {
                    // Held at a bound, the pointer pulls the host no further.
                    approach.Clear(axis);
                    At(travel, axis) = bounded;
                }
            }
            mDrag.travel = travel;
        }
    }

    const PointT<double>& parentScroll = mParent->GetScrollOffset();
    const auto correction = [&](int axis, bool docked) {
        return docked ? At(parentScroll, axis) - At(mDrag.parentScrollAtStart, axis) : 0.0;
    };
    switch (mode) {
    case kDragAndDrop:
    case kDragMove:
    case kDragMoveScrollingParent:
        mDrag.travel = travel;
        for (int axis = 0; axis < 2; ++axis) {
            if ((argument & (axis == 0 ? kDragAxisX : kDragAxisY)) != 0) {
                AxisPlacement placement = PlacementOf(*this, axis);
                placement.position = mDrag.layoutAtStart[axis] + At(travel, axis) - correction(axis, placement.docked);
                Place(*this, axis, placement);
            }
        }
        break;
    case kDragResize:
    case kDragResizeScrollingParent:
        for (int axis = 0; axis < 2; ++axis) {
            const std::int32_t far = axis == 0 ? kDragRightEdge : kDragBottomEdge;
            const std::int32_t near = axis == 0 ? kDragLeftEdge : kDragTopEdge;
            if ((argument & (far | near)) == 0) {
                continue;
            }
            AxisPlacement placement = PlacementOf(*this, axis);
            const double sizeAtStart = mDrag.layoutAtStart[2 + axis];
            if ((argument & far) != 0) {
                placement.size = sizeAtStart + At(travel, axis);
            } else {
                placement.position = mDrag.layoutAtStart[axis] + At(travel, axis) - correction(axis, placement.docked);
                placement.size = sizeAtStart - At(travel, axis);
            }
            Place(*this, axis, placement);
        }
        break;
    case kDragScroll: {
        const double seconds = static_cast<std::uint32_t>(mMouse.moveTime - mMouse.previousMoveTime) / 1000.0;
        // Two moves in the same millisecond: the later one waits, and the next catches up with the whole travel.
        if (seconds <= 0) {
            break;
        }
        for (int axis = 0; axis < 2; ++axis) {
            const double moved = At(mDrag.travel, axis) - At(travel, axis);
            double& velocity = At(mDrag.velocity, axis);
            const double sample = moved / seconds;
            velocity = velocity == 0 || seconds >= kVelocitySmoothingGap ? sample : 0.5 * sample + 0.5 * velocity;
            if ((argument & (axis == 0 ? kDragAxisX : kDragAxisY)) != 0 && moved != 0) {
                // The content's own range: the same that its coasting keeps to.
                const RectT<double> range = GetScrollRange(self);
                PointT<double> offset = GetScrollOffset();
                At(offset, axis) = Bound(At(offset, axis) + moved, Origin(range, axis),
                                         Origin(range, axis) + Extent(range, axis));
                (void)ScrollTo(offset);
            }
        }
        mDrag.travel = travel;
        break;
    }
    default:
        break;
    }

    if (mode == kDragAndDrop) {
        if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
            mMouse.excluded = true;
            PointT<zlong> hitPoint;
            const RCPtr<LControl> hit = window->HitTest(rootPoint.ToLongPoint(), hitPoint, false);
            mMouse.excluded = false;
            const RCPtr<LControl> candidate = hit ? hit->FindHandlingAncestor(self, rootPoint) : nullptr;
            if (candidate == mDrag.dropTarget) {
                if (candidate) {
                    candidate->OnDragOver(self, rootPoint);
                }
            } else {
                if (const RCPtr<LControl> left = std::move(mDrag.dropTarget)) {
                    (void)left->StopKineticScroll(0);
                    (void)left->StopKineticScroll(1);
                    left->OnDragLeave(self);
                }
                mDrag.dropTarget = candidate;
                if (candidate) {
                    ShowNamedCursor(*window, L"UI_CURSOR_DROP_MOVE");
                    candidate->OnDragEnter(self);
                    candidate->OnDragOver(self, rootPoint);
                } else {
                    ShowNamedCursor(*window, L"UI_CURSOR_NO_DROP");
                }
            }
            if (const RCPtr<LControl> target = mDrag.dropTarget) {
                host = target;
                if (const std::uint32_t edges = target->GetDropScrollEdges(self)) {
                    FindDropEdgeZones(*target, edges, rootPoint, approach);
                }
            }
        }
    }
    ScrollHost(*host, self, approach);
    OnTrackingMoved(pointer);
}

void LControl::OnTrackingMoved(const RCPtr<LPointWithModifiersParam>&) {}

void LControl::EndDrag()
{
    if (!mParent || !mLayout) {
        return;
    }
    const RCPtr<LControl> self(this);
    if (mMouse.dragMode != kDragAndDrop) {
        (void)mParent->StopKineticScroll(0);
        (void)mParent->StopKineticScroll(1);
        return;
    }
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
        ShowNamedCursor(*window, L"UI_CURSOR_ARROW");
    }
    if (!mDrag.wasUnclipped) {
        (void)SetStateFlag(true);
    }
    const PointT<double>& parentScroll = mParent->GetScrollOffset();
    const bool wasDocked[2] = {mDrag.xWasDocked, mDrag.yWasDocked};
    for (int axis = 0; axis < 2; ++axis) {
        if (!wasDocked[axis]) {
            AxisPlacement placement = PlacementOf(*this, axis);
            placement.position += At(parentScroll, axis);
            placement.docked = false;
            Place(*this, axis, placement);
        }
    }
    if (const RCPtr<LControl> target = std::move(mDrag.dropTarget)) {
        (void)target->StopKineticScroll(0);
        (void)target->StopKineticScroll(1);
        // What the target makes of the drop is its own affair.
        (void)target->OnDrop(self);
        target->OnDragLeave(self);
    }
}

bool LControl::CanHandle(const RCPtr<LControl>&)
{
    return false;
}

std::uint32_t LControl::GetDropScrollEdges(const RCPtr<LControl>&)
{
    return 0;
}

void LControl::GetSplitterBounds(RectT<double>&) {}

void LControl::OnDragEnter(const RCPtr<LControl>&) {}

void LControl::OnDragOver(const RCPtr<LControl>&, const PointT<double>&) {}

void LControl::OnDragLeave(const RCPtr<LControl>&) {}

ZVRESULT LControl::OnDrop(const RCPtr<LControl>&)
{
    return ZV_E_FAIL;
}

ZVRESULT LControl::StartKineticScroll(int axis, double velocity, double upperLimit, double lowerLimit,
                                      const RCPtr<LControl>& target)
{
    if (axis != 0 && axis != 1) {
        return ZV_E_INVALIDARG;
    }
    KineticAxis& kinetic = mKinetic.axes[axis];
    kinetic.velocity = velocity;
    kinetic.upperLimit = upperLimit;
    kinetic.lowerLimit = lowerLimit;
    kinetic.target = target;
    if (kinetic.running) {
        return ZV_S_OK;
    }
    const ZVRESULT subscribed = BeginIdleNotifications();
    if (Failed(subscribed)) {
        // Without idle passes the axis would never step, nor ever stop.
        kinetic.target = nullptr;
        return subscribed;
    }
    kinetic.running = true;
    kinetic.lastStepTime = GetControlServices().GetTimeSeconds();
    kinetic.remainder = 0;
    return ZV_S_OK;
}

ZVRESULT LControl::StopKineticScroll(int axis)
{
    if (axis != 0 && axis != 1) {
        return ZV_E_INVALIDARG;
    }
    KineticAxis& kinetic = mKinetic.axes[axis];
    kinetic.target = nullptr;
    if (!kinetic.running) {
        return ZV_S_FALSE;
    }
    kinetic.running = false;
    kinetic.startedByRelease = false;
    kinetic.remainder = 0;
    (void)EndIdleNotifications();
    return ZV_S_OK;
}

void LControl::StepKineticScroll(int axis)
{
    KineticAxis& kinetic = mKinetic.axes[axis];
    if (!kinetic.running) {
        return;
    }
    const RCPtr<LControl> self(this);
    const double now = GetControlServices().GetTimeSeconds();
    const double seconds = std::max(now - kinetic.lastStepTime, 0.0);
    kinetic.lastStepTime = now;
    const double due = kinetic.velocity * seconds + kinetic.remainder;
    const double step = RoundHalfAway(due);
    kinetic.remainder = due - step;
    if (step != 0) {
        PointT<double> offset = GetScrollOffset();
        At(offset, axis) = Bound(At(offset, axis) + step, kinetic.lowerLimit, kinetic.upperLimit);
        (void)ScrollTo(offset);
        const RCPtr<IRootWindow> window = GetRootWindowRef();
        if (const RCPtr<LControl> target = kinetic.target; target && window) {
            const PointT<zlong> cursor = window->GetCursorPosition();
            const PointT<double> origin = target->GetAbsoluteOrigin();
            const PointT<zlong> local = PointT<double>(cursor.x - std::round(origin.x), cursor.y - std::round(origin.y))
                                            .ToLongPoint();
            target->ProcessMouseTracking(LPointWithModifiersParam::Create(local, window->GetModifierState()));
        }
    }
    // The scroll may have stopped the axis, or run the tracking that did.
    if (!kinetic.running || !kinetic.startedByRelease) {
        return;
    }
    const std::uint32_t sinceRelease =
        static_cast<std::uint32_t>(GetRenderingServices().GetTimeMs()) - mMouse.releaseTime;
    if (sinceRelease <= kCoastingSteadyMs) {
        return;
    }
    const double slowing = mKinetic.deceleration * seconds;
    if (std::fabs(kinetic.velocity) <= slowing) {
        (void)StopKineticScroll(axis);
    } else {
        kinetic.velocity += kinetic.velocity < 0 ? slowing : -slowing;
    }
}

void LControl::StopCoastingAfterRelease()
{
    for (int axis = 0; axis < 2; ++axis) {
        if (mKinetic.axes[axis].startedByRelease) {
            (void)StopKineticScroll(axis);
        }
    }
}

void LControl::CoastAfterRelease()
{
    if (!mMouse.dragging[kLeftButtonIndex] || mMouse.dragMode != kDragScroll) {
        return;
    }
    mMouse.releaseTime = static_cast<std::uint32_t>(GetRenderingServices().GetTimeMs());
    if (mMouse.releaseTime - mMouse.previousMoveTime >= kCoastingReleaseWindowMs) {
        return;
    }
    const RectT<double> range = GetScrollRange(this);
    const std::int32_t argument = mMouse.dragArgument;
    const bool axisAllowed[2] = {argument == kDragAxisX || argument == (kDragAxisX | kDragAxisY),
                                 argument == kDragAxisY || argument == (kDragAxisX | kDragAxisY)};
    for (int axis = 0; axis < 2; ++axis) {
        const double velocity = At(mDrag.velocity, axis);
        if (axisAllowed[axis] && std::fabs(velocity) >= kCoastingSpeed &&
            Succeeded(StartKineticScroll(axis, velocity, Extent(range, axis), 0.0, nullptr))) {
            mKinetic.axes[axis].startedByRelease = true;
        }
    }
}

}  // namespace ZV
