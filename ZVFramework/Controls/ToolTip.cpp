#include "Controls/ToolTip.h"

#include "ControlBase/LayoutAxis.h"
#include "Renderer/RenderingServices.h"

#include <cmath>

namespace ZV {

namespace {

// When the last tip that showed went; none has before the first.
struct LastHide {
    bool happened = false;
    std::uint32_t time = 0;
};

LastHide& GetLastHide()
{
    static LastHide lastHide;
    return lastHide;
}

std::uint32_t Now()
{
    return GetRenderingServices().GetTimeMs();
}

}  // namespace

void LToolTip::ForgetLastHide()
{
    GetLastHide() = LastHide();
}

ZVRESULT LToolTip::Start()
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RCPtr<LLayoutDescriptor>& layout = GetLayoutDescriptor();
    if (window && layout) {
        // A long text wraps or stops inside the window.
        LimitRule maximum;
        maximum.abs = static_cast<double>(window->GetScreenBounds().width) - kWindowMargin;
        (void)SetAxisSizeLimits(0, layout->xMinimum, maximum);
    }
    const State previous = mState;
    const std::uint32_t now = Now();
    mStateStart = now;
    const LastHide& lastHide = GetLastHide();
    // Moving from one control to the next, the next tip follows without the delay.
    if (lastHide.happened && now - lastHide.time < kFollowOnTime) {
        Appear(now);
    } else {
        mState = kWaiting;
    }
    if (previous == kIdle) {
        (void)BeginIdleNotifications();
    }
    return ZV_S_OK;
}

ZVRESULT LToolTip::Hide()
{
    const RCPtr<LControl> self(this);
    if (mState != kIdle) {
        mState = kIdle;
        (void)EndIdleNotifications();
    }
    // A tip that never appeared lets the next one wait its delay.
    if (IsVisible(false)) {
        GetLastHide() = {true, Now()};
    }
    if (const RCPtr<LControl> parent = GetParent()) {
        (void)parent->ScheduleChildRemoval(self);
    }
    return ZV_S_OK;
}

void LToolTip::Appear(std::uint32_t now)
{
    mState = kShown;
    mStateStart = now;
    Place();
    (void)SetVisible(true);
}

void LToolTip::Place()
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RCPtr<LControl> parent = GetParent();
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (!window || !parent || !layout) {
        return;
    }
    const PointT<zlong> cursor = window->GetCursorPosition();
    const RectT<zlong> client = window->GetScreenBounds();
    const PointT<double> parentOrigin = parent->GetAbsoluteOrigin();
    const double pointer[2] = {static_cast<double>(cursor.x), cursor.y + kPointerOffsetY};
    const double windowSize[2] = {static_cast<double>(client.width), static_cast<double>(client.height)};
    for (int axis = 0; axis < 2; ++axis) {
        const double extent = *GetSize().Coordinate(axis);
        double position = pointer[axis];
        if (position + extent > windowSize[axis]) {
            position = windowSize[axis] - extent;
        }
        if (position < 0) {
            position = 0;
        }
        // Placed in the parent, which its own scrolling moves.
        PositionRule rule;
        rule.toControlKind = kPositionToParent;
        rule.abs = position - std::round(*parentOrigin.Coordinate(axis)) + *parent->GetScrollOffset().Coordinate(axis);
        const SizeRule size = AxisSize(*layout, axis);
        (void)SetAxisPlacement(axis, rule, AxisDocked(*layout, axis), size);
    }
}

void LToolTip::OnIdle(const RCPtr<LNotification>&)
{
    const std::uint32_t now = Now();
    if (mState == kWaiting && now - mStateStart > kAppearDelay) {
        Appear(now);
    } else if (mState == kShown && now - mStateStart > kShowTime) {
        (void)Hide();
    }
}

bool LToolTip::IsTransparentAtPoint(const PointT<zlong>&)
{
    return false;
}

ZVRESULT LToolTip::ProcessCreateParams()
{
    FixNotFocusable(true);
    return ZV_S_OK;
}

ZVRESULT LToolTip::OnInitialized()
{
    (void)SetVisible(false);
    // Looks start without weight, and a tip has no state to choose one by.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    return ZV_S_OK;
}

}  // namespace ZV
