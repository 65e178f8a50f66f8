// Mouse input: presses, moves, releases, clicks, the capture and the wheel.
#include "ControlBase/Control.h"

#include "Notification/MouseParams.h"

namespace ZV {

ZVRESULT LControl::OnMouseEnter()
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnMouseMove(const RCPtr<LPointWithModifiersParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnMouseDown(const RCPtr<LMouseButtonParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnMouseUp(const RCPtr<LMouseButtonParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnMouseLeave()
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::ProcessMouseDown(std::uint32_t, std::int32_t, std::int32_t)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnCaptureLost()
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::DeliverMouseWheel(const RCPtr<LMouseWheelParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::DeliverMouseHWheel(const RCPtr<LMouseWheelParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::ProcessRelayout(const PointT<zlong>&)
{
    return ZV_E_NOTIMPL;
}

void LControl::TakeFocusOnPress(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnLeftButtonDown(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnLeftButtonUp(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnMiddleButtonDown(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnMiddleButtonUp(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnRightButtonDown(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnRightButtonUp(const RCPtr<LMouseButtonParam>&) {}

void LControl::OnMouseMoved(const RCPtr<LPointWithModifiersParam>&) {}

ZVRESULT LControl::OnMouseWheel(const RCPtr<LMouseWheelParam>&)
{
    return ZV_S_FALSE;
}

ZVRESULT LControl::OnMouseHWheel(const RCPtr<LMouseWheelParam>&)
{
    return ZV_S_FALSE;
}

ZVRESULT LControl::OnClick(const RCPtr<LMouseButtonParam>& click)
{
    if (!click) {
        return ZV_E_INVALIDARG;
    }
    switch (click->GetButton()) {
    case MouseButton::kLeft:
        return OnLeftClick(click);
    case MouseButton::kMiddle:
        return OnMiddleClick(click);
    case MouseButton::kRight:
        return OnRightClick(click);
    default:
        return ZV_E_INVALIDARG;
    }
}

ZVRESULT LControl::OnLeftClick(const RCPtr<LMouseButtonParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnMiddleClick(const RCPtr<LMouseButtonParam>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LControl::OnRightClick(const RCPtr<LMouseButtonParam>&)
{
    return ZV_E_NOTIMPL;
}

void LControl::HandleLeftClick(const RCPtr<LMouseButtonParam>&) {}

void LControl::HandleMiddleClick(const RCPtr<LMouseButtonParam>&) {}

void LControl::HandleRightClick(const RCPtr<LMouseButtonParam>&) {}

}  // namespace ZV
