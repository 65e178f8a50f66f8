// Mouse input: presses, moves, releases, clicks, the capture and the wheel.
#include "ControlBase/Control.h"

#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/NotificationSending.h"
#include "Notification/MouseParams.h"
#include "ObjectBase/Exception.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace ZV {

namespace {

// The index of the per-button flags, or -1 for a code that names no single button.
int ButtonIndex(std::uint32_t button)
{
    switch (button) {
    case MouseButton::kLeft:
        return kLeftButtonIndex;
    case MouseButton::kMiddle:
        return kMiddleButtonIndex;
    case MouseButton::kRight:
        return kRightButtonIndex;
    default:
        return -1;
    }
}

// A click of one button: the control's hook, then its subscribers.
ZVRESULT Click(LControl& control, void (LControl::*handle)(const RCPtr<LMouseButtonParam>&), const wchar_t* id,
               const RCPtr<LMouseButtonParam>& click)
{
    if (!click) {
        return ZV_E_INVALIDARG;
    }
    (control.*handle)(click);
    SendNewNotification(control, id, click);
    return ZV_S_OK;
}

PointT<double> ToDoublePoint(const PointT<zlong>& point)
{
    return {static_cast<double>(point.x), static_cast<double>(point.y)};
}

}  // namespace

ZVRESULT LControl::OnMouseEnter()
{
    mMouse.hover = true;
    UpdateConditions();
    return ZV_S_OK;
}

ZVRESULT LControl::OnMouseLeave()
{
    mMouse.hover = false;
    UpdateConditions();
    return ZV_S_OK;
}

ZVRESULT LControl::OnMouseDown(const RCPtr<LMouseButtonParam>& press)
{
    const int index = press ? ButtonIndex(press->GetButton()) : -1;
    if (index < 0) {
        return ZV_E_INVALIDARG;
    }
    if (!mMouse.captured && !IsUsable()) {
        return ZV_S_FALSE;
    }
    // Hooks and receivers may let the last reference to the control go.
    const RCPtr<LControl> self(this);
    mFocus.lastMousePoint = ToDoublePoint(press->GetPoint());
    if (!mMouse.captured) {
        TakeFocusOnPress(press);
    }
    switch (index) {
    case kLeftButtonIndex:
        OnLeftButtonDown(press);
        break;
    case kMiddleButtonIndex:
        OnMiddleButtonDown(press);
        break;
    default:
        OnRightButtonDown(press);
        break;
    }
    SendNewNotification(*this, L"NID_MOUSE_DOWN", press);
    if (!mMouse.captured) {
        (void)ProcessMouseDown(press->GetButton(), press->GetX(), press->GetY());
    }
    return ZV_S_OK;
}

void LControl::TakeFocusOnPress(const RCPtr<LMouseButtonParam>& press)
{
    if (!mFocus.notFocusable && (!mParent || mFocus.focusRoot || !IsHeldBackByAncestors())) {
        (void)SetFocus(true);
    } else if (mParent) {
        mParent->TakeFocusOnPress(press);
    }
}

ZVRESULT LControl::ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y)
{
    if (!IsUsable() || mMouse.captured) {
        return ZV_S_FALSE;
    }
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    // A code of 0 only takes the capture.
    const int index = ButtonIndex(button);
    if (button != 0) {
        if (index < 0 || !window || (window->GetMouseButtonState() & button) == 0) {
            return ZV_S_FALSE;
        }
        mMouse.pressPoint = {ClampToExactDouble(x + mPosition.x), ClampToExactDouble(y + mPosition.y)};
        mDrag.travel = {};
    }
    const RCPtr<LControl> self(this);
    StopCoastingAfterRelease();
    if (window) {
        // Before the flag is set: a window that still names this control takes the capture back first without
        // undoing the press. A window that cannot give the capture leaves the press to the control alone.
        (void)window->SetCapture(self);
    }
    mMouse.captured = true;
    mMouse.previousMoveTime = GetRenderingServices().GetTimeMs();
    mDrag.velocity = {};
    if (index >= 0) {
        mMouse.pressed[index] = true;
        if (index == kLeftButtonIndex) {
            // Controls choose the mode of each drag while its press changes their conditions.
            mMouse.dragMode = 0;
        }
    }
    UpdateConditions();
    if (index < 0 || mMouse.dragThreshold != 0 || !mMouse.pressed[index]) {
        return ZV_S_OK;
    }
    mMouse.pressed[index] = false;
    mMouse.dragging[index] = true;
    UpdateConditions();
    if (mMouse.dragging[kLeftButtonIndex] && mMouse.dragMode != 0) {
        ProcessMouseTracking(LPointWithModifiersParam::Create({x, y}, 0));
    }
    return ZV_S_OK;
}

ZVRESULT LControl::OnMouseMove(const RCPtr<LPointWithModifiersParam>& pointer)
{
    if (!pointer) {
        return ZV_E_INVALIDARG;
    }
    MoveMouse(pointer, true);
    return ZV_S_OK;
}

void LControl::MoveMouse(const RCPtr<LPointWithModifiersParam>& pointer, bool mayStartDrag)
{
    const RCPtr<LControl> self(this);
    mMouse.moveTime = GetRenderingServices().GetTimeMs();
    mFocus.lastMousePoint = ToDoublePoint(pointer->GetPoint());
    const bool* pressed = mMouse.pressed;
    if (mayStartDrag && (pressed[0] || pressed[1] || pressed[2])) {
        const PointT<zlong> pressAt =
            PointT<double>(mMouse.pressPoint.x - mPosition.x, mMouse.pressPoint.y - mPosition.y).ToLongPoint();
        // In 64 bits: points at both ends of the 32-bit range are further apart than 32 bits hold.
        const std::int64_t travel = std::max(std::llabs(std::int64_t{pointer->GetX()} - pressAt.x),
                                             std::llabs(std::int64_t{pointer->GetY()} - pressAt.y));
        if (travel >= mMouse.dragThreshold) {
            // Receivers see the pointer at the press first, where the drag starts.
            MoveMouse(LPointWithModifiersParam::Create(pressAt, pointer->GetModifiers()), false);
            const bool* first = std::find(pressed, pressed + 3, true);
            if (first != pressed + 3) {
                mMouse.dragging[first - pressed] = true;
                std::fill(mMouse.pressed, mMouse.pressed + 3, false);
                UpdateConditions();
            }
        }
    }
    OnMouseMoved(pointer);
    SendNewNotification(*this, L"NID_MOUSE_MOVE", pointer);
    if (mMouse.dragging[kLeftButtonIndex] && mMouse.dragMode != 0) {
        ProcessMouseTracking(pointer);
    }
    mMouse.previousMoveTime = mMouse.moveTime;
}

ZVRESULT LControl::OnMouseUp(const RCPtr<LMouseButtonParam>& release)
{
    const int index = release ? ButtonIndex(release->GetButton()) : -1;
    if (index < 0) {
        return ZV_E_INVALIDARG;
    }
    // A captured control always gets its release.
    if (!mMouse.captured && !IsUsable()) {
        return ZV_S_FALSE;
    }
    const RCPtr<LControl> self(this);
    mFocus.lastMousePoint = ToDoublePoint(release->GetPoint());
    switch (index) {
    case kLeftButtonIndex:
        OnLeftButtonUp(release);
        break;
    case kMiddleButtonIndex:
        OnMiddleButtonUp(release);
        break;
    default:
        OnRightButtonUp(release);
        break;
    }
    const bool click =
        mMouse.hover && (mMouse.pressed[index] || (mMouse.dragging[index] && mMouse.dragMode == 0));
    if (index == kLeftButtonIndex) {
        CoastAfterRelease();
    }
    SendNewNotification(*this, L"NID_MOUSE_UP", release);
    if (mMouse.captured && release->GetButtons() == 0) {
        (void)OnCaptureLost();
    }
    if (click && IsEnabled(true)) {
        (void)OnClick(release);
    }
    return ZV_S_OK;
}

ZVRESULT LControl::OnCaptureLost()
{
    if (!mMouse.captured) {
        return ZV_S_FALSE;
    }
    const RCPtr<LControl> self(this);
    mMouse.captured = false;
    std::fill(mMouse.pressed, mMouse.pressed + 3, false);
    std::fill(mMouse.dragging, mMouse.dragging + 3, false);
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    const ZVRESULT released = window ? window->ReleaseCapture() : ZV_S_OK;
    UpdateConditions();
    return released;
}

ZVRESULT LControl::DeliverMouseWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return BubbleMouseWheel(wheel);
}

ZVRESULT LControl::DeliverMouseHWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return BubbleMouseWheel(wheel);
}

ZVRESULT LControl::BubbleMouseWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    if (!wheel) {
        return static_cast<ZVRESULT>(0xFFFFFFFFu);
    }
    const bool vertical = !wheel->IsHorizontal();
    ZVRESULT result = ZV_S_FALSE;
    RCPtr<LControl> target(this);
    RCPtrArray<LControl> tried;
    while (target) {
        result = vertical ? target->OnMouseWheel(wheel) : target->OnMouseHWheel(wheel);
        if (result != ZV_S_FALSE) {
            break;
        }
        const RCPtr<LControl> parent = target->mParent;
        if (SettingsOf(target).clipToParent && (!parent || SettingsOf(parent).clipToParent)) {
            target = parent;
            continue;
        }
        const RCPtr<IRootWindow> window = target->GetRootWindowRef();
        // Back at a control looked past already: the window would answer as before, for ever.
        if (!window || tried.IndexOf(target) >= 0) {
            break;
        }
        if (Failed(tried.AddItem(target))) {
            throw Exception<std::bad_alloc>();
        }
        const auto markTried = [&tried](bool excluded) {
            for (std::uint32_t index = 0; index < tried.GetCount(); ++index) {
                tried.GetData()[index]->mMouse.excluded = excluded;
            }
        };
        markTried(true);
        PointT<zlong> localPoint;
        // The wheel turns where the pointer is; the record's point is the first target's own.
        target = window->HitTest(window->GetCursorPosition(), localPoint, false);
        markTried(false);
    }
    return result;
}

ZVRESULT LControl::ProcessRelayout(const PointT<zlong>&)
{
    (void)ApplyLayout();
    return ZV_S_OK;
}

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

ZVRESULT LControl::OnLeftClick(const RCPtr<LMouseButtonParam>& click)
{
    return Click(*this, &LControl::HandleLeftClick, L"NID_LEFT_CLICK", click);
}

ZVRESULT LControl::OnMiddleClick(const RCPtr<LMouseButtonParam>& click)
{
    return Click(*this, &LControl::HandleMiddleClick, L"NID_MIDDLE_CLICK", click);
}

ZVRESULT LControl::OnRightClick(const RCPtr<LMouseButtonParam>& click)
{
    const RCPtr<LControl> self(this);
    const ZVRESULT clicked = Click(*this, &LControl::HandleRightClick, L"NID_RIGHT_CLICK", click);
    if (clicked == ZV_S_OK) {
        if (const RCPtr<LMenuDescriptor> menu = GetContextMenuDescriptor()) {
            (void)ShowContextMenu(menu);
        }
    }
    return clicked;
}

void LControl::HandleLeftClick(const RCPtr<LMouseButtonParam>&) {}

void LControl::HandleMiddleClick(const RCPtr<LMouseButtonParam>&) {}

void LControl::HandleRightClick(const RCPtr<LMouseButtonParam>&) {}

ZVRESULT LControl::SetDragThreshold(std::int32_t pixels)
{
    if (pixels < 0) {
        return ZV_E_INVALIDARG;
    }
    mMouse.dragThreshold = pixels;
    return ZV_S_OK;
}

}  // namespace ZV
