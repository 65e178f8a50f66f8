#include "ControlBase/Harness/MouseRouter.h"

#include "Notification/MouseParams.h"

namespace ZV::Testing {

PointT<zlong> MouseRouter::LocalPoint(const LControl& control, const PointT<zlong>& point)
{
    const PointT<double> origin = GetOriginInWindow(control);
    return PointT<double>(point.x - origin.x, point.y - origin.y).ToLongPoint();
}

void MouseRouter::RouteMouseButton(IRootWindowTarget::ButtonAction action, std::uint32_t button,
                                   std::uint32_t modifiers, const PointT<zlong>& point)
{
    if (button != MouseButton::kLeft && button != MouseButton::kMiddle && button != MouseButton::kRight) {
        return;
    }
    if (!(point == mWindow->GetCursorPosition())) {
        RouteMouseMove(point, modifiers);
    }
    mWindow->HideToolTip();
    const RCPtr<LControl> capture = mWindow->GetCaptureControl();
    if (action == IRootWindowTarget::kRelease) {
        if (!capture) {
            return;
        }
        const bool doubleClick = (mDoubleClicks & button) != 0;
        mDoubleClicks &= ~button;
        (void)capture->OnMouseUp(LMouseButtonParam::Create(button, LocalPoint(*capture, point), modifiers, doubleClick,
                                                           mWindow->GetMouseButtonState()));
        return;
    }
    PointT<zlong> localPoint;
    const RCPtr<LControl> target = capture ? capture : mWindow->HitTest(point, localPoint, true);
    if (!target) {
        return;
    }
    if (capture) {
        localPoint = LocalPoint(*capture, point);
    }
    const bool doubleClick = action == IRootWindowTarget::kDoubleClick;
    mDoubleClicks = doubleClick ? mDoubleClicks | button : mDoubleClicks & ~button;
    (void)target->OnMouseDown(
        LMouseButtonParam::Create(button, localPoint, modifiers, doubleClick, mWindow->GetMouseButtonState()));
}

void MouseRouter::RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers)
{
    mWindow->SetCursorPosition(point);
    PointT<zlong> localPoint;
    const RCPtr<LControl> hit = mWindow->HitTest(point, localPoint, true);
    if (const RCPtr<LControl> capture = mWindow->GetCaptureControl()) {
        (void)capture->OnMouseMove(LPointWithModifiersParam::Create(LocalPoint(*capture, point), modifiers));
    } else if (hit) {
        (void)hit->OnMouseMove(LPointWithModifiersParam::Create(localPoint, modifiers));
    }
}

void MouseRouter::RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction)
{
    // The wheel turns where the pointer is.
    mWindow->SetCursorPosition(point);
    mWindow->HideToolTip();
    PointT<zlong> localPoint;
    const RCPtr<LControl> capture = mWindow->GetCaptureControl();
    const RCPtr<LControl> target = capture ? capture : mWindow->HitTest(point, localPoint, true);
    if (!target) {
        return;
    }
    if (capture) {
        localPoint = LocalPoint(*capture, point);
    }
    const RCPtr<LMouseWheelParam> wheel = LMouseWheelParam::Create(localPoint, modifiers, direction);
    const auto deliver = [&](LControl& control) {
        return wheel->IsHorizontal() ? control.DeliverMouseHWheel(wheel) : control.DeliverMouseWheel(wheel);
    };
    if (deliver(*target) == ZV_S_FALSE) {
        if (const RCPtr<LControl> focused = mWindow->GetFocusControl()) {
            (void)deliver(*focused);
        }
    }
}

void MouseRouter::Press(std::uint32_t button, const PointT<zlong>& point)
{
    mWindow->SetMouseButtonState(mWindow->GetMouseButtonState() | button);
    RouteMouseButton(IRootWindowTarget::kPress, button, 0, point);
}

void MouseRouter::Release(std::uint32_t button, const PointT<zlong>& point)
{
    mWindow->SetMouseButtonState(mWindow->GetMouseButtonState() & ~button);
    RouteMouseButton(IRootWindowTarget::kRelease, button, 0, point);
}

}  // namespace ZV::Testing
