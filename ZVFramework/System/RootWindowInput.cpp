// The root window's input: the control under the pointer, the hover and tool tip that follow it, the capture, and
// the mouse, wheel, key and Tab routing to the controls.
#include "System/RootWindow.h"

#include "ControlBase/KeyParams.h"
#include "Notification/MouseParams.h"
#include "Platform/WindowBackEnd.h"
#include "System/WindowHost.h"

#include <climits>

namespace ZV {

namespace {

bool IsMouseButton(std::uint32_t button)
{
    return button == MouseButton::kLeft || button == MouseButton::kMiddle || button == MouseButton::kRight;
}

// The control has left its tree: it has neither parent nor window.
bool HasLeftTree(const LControl& control)
{
    return !control.GetParent() && !control.GetRootWindowRef();
}

}  // namespace

PointT<zlong> LRootWindow::LocalPoint(const LControl& control, const PointT<zlong>& point)
{
    const PointT<double> origin = control.GetAbsoluteOrigin();
    return PointT<double>(point.x - origin.x, point.y - origin.y).ToLongPoint();
}

RCPtr<LControl> LRootWindow::HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover)
{
    localPoint = {};
    RCPtr<LControl> hit;
    if (const RCPtr<LControl> root = mRootControl) {
        const PointT<zlong> origin = root->GetPosition().ToLongPoint();
        std::int32_t zOrder = INT32_MIN;
        root->HitTest(hit, {point.x - origin.x, point.y - origin.y}, true, localPoint, zOrder);
    }
    if (updateHover) {
        SetHoverControl(hit);
    }
    return hit;
}

RCPtr<LControl> LRootWindow::FindToolTipControl(const RCPtr<LControl>& control)
{
    for (RCPtr<LControl> candidate = control; candidate; candidate = candidate->GetParent()) {
        if (!candidate->GetToolTipText().IsEmpty()) {
            return candidate;
        }
        if (!candidate->UsesParentToolTip()) {
            break;
        }
    }
    return nullptr;
}

void LRootWindow::SetHoverControl(const RCPtr<LControl>& control)
{
    const RCPtr<LControl> hovered = mCaptureControl && control != mCaptureControl ? nullptr : control;
    if (hovered == mHoverControl) {
        return;
    }
    const RCPtr<LControl> toolTip = hovered && hovered != mCaptureControl ? FindToolTipControl(hovered) : nullptr;
    if (toolTip != mToolTipControl) {
        const RCPtr<LControl> previousToolTip = std::move(mToolTipControl);
        mToolTipControl = toolTip;
        if (previousToolTip) {
            (void)previousToolTip->ShowToolTip(false);
        }
        if (toolTip) {
            (void)toolTip->ShowToolTip(true);
        }
    }
    const RCPtr<LControl> previous = std::move(mHoverControl);
    mHoverControl = hovered;
    if (previous && !HasLeftTree(*previous)) {
        (void)previous->OnMouseLeave();
    }
    // Unless leaving moved the hover on already.
    if (hovered && mHoverControl == hovered) {
        (void)hovered->OnMouseEnter();
    }
}

void LRootWindow::HideToolTip()
{
    if (const RCPtr<LControl> toolTip = mToolTipControl) {
        (void)toolTip->ShowToolTip(false);
    }
}

ZVRESULT LRootWindow::SetCapture(const RCPtr<LControl>& control)
{
    if (!control) {
        return ZV_E_INVALIDARG;
    }
    if (const RCPtr<LControl> previous = mCaptureControl) {
        (void)previous->OnCaptureLost();
    }
    mCaptureControl = control;
    return ZV_S_OK;
}

ZVRESULT LRootWindow::ReleaseCapture()
{
    mCaptureControl = nullptr;
    return ZV_S_OK;
}

void LRootWindow::OnCaptureLost()
{
    if (const RCPtr<LControl> capture = mCaptureControl) {
        (void)capture->OnCaptureLost();
    }
}

std::uint32_t LRootWindow::GetMouseButtonState()
{
    return mServices != nullptr ? mServices->GetMouseButtons() : 0;
}

PointT<zlong> LRootWindow::GetCursorPosition()
{
    return mServices != nullptr ? mServices->GetCursorPosition() : PointT<zlong>();
}

std::uint32_t LRootWindow::GetModifierState()
{
    IWindowHost* host = GetWindowHost();
    if (host == nullptr) {
        return 0;
    }
    namespace Key = Platform::VirtualKey;
    return (host->IsKeyDown(Key::kControl) ? ModifierMask::kControl : 0) |
           (host->IsKeyDown(Key::kShift) ? ModifierMask::kShift : 0) |
           (host->IsKeyDown(Key::kMenu) ? ModifierMask::kAlt : 0);
}

CursorHandle LRootWindow::GetNamedCursor(const wchar_t* name)
{
    IWindowHost* host = GetWindowHost();
    return host != nullptr ? host->GetNamedCursor(name) : 0;
}

CursorHandle LRootWindow::SetCursor(CursorHandle cursor)
{
    if (mServices == nullptr) {
        return 0;
    }
    return mServices->SetCursor(cursor != 0 ? cursor : GetNamedCursor(L"UI_CURSOR_ARROW"));
}

void LRootWindow::RouteMouseButton(ButtonAction action, std::uint32_t button, std::uint32_t modifiers,
                                   const PointT<zlong>& point)
{
    if (!IsActive() || !IsMouseButton(button)) {
        return;
    }
    // Held: the controls called may end the window.
    const RCPtr<LRootWindow> self(this);
    if (!(point == GetCursorPosition())) {
        RouteMouseMove(point, modifiers);
    }
    HideToolTip();
    const RCPtr<LControl> capture = mCaptureControl;
    if (action == kRelease) {
        if (!capture) {
            return;
        }
        const bool endsDoubleClick = (mDoubleClicks & button) != 0;
        mDoubleClicks &= ~button;
        (void)capture->OnMouseUp(LMouseButtonParam::Create(button, LocalPoint(*capture, point), modifiers,
                                                           endsDoubleClick, GetMouseButtonState()));
        return;
    }
    PointT<zlong> localPoint;
    const RCPtr<LControl> target = capture ? capture : HitTest(point, localPoint, true);
    if (!target) {
        return;
    }
    if (capture) {
        localPoint = LocalPoint(*capture, point);
    }
    const bool doubleClick = action == kDoubleClick;
    mDoubleClicks = doubleClick ? mDoubleClicks | button : mDoubleClicks & ~button;
    (void)target->OnMouseDown(
        LMouseButtonParam::Create(button, localPoint, modifiers, doubleClick, GetMouseButtonState()));
}

void LRootWindow::RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers)
{
    if (!IsActive()) {
        return;
    }
    const RCPtr<LRootWindow> self(this);
    PointT<zlong> localPoint;
    const RCPtr<LControl> hit = HitTest(point, localPoint, true);
    if (const RCPtr<LControl> capture = mCaptureControl) {
        (void)capture->OnMouseMove(LPointWithModifiersParam::Create(LocalPoint(*capture, point), modifiers));
    } else if (hit) {
        (void)hit->OnMouseMove(LPointWithModifiersParam::Create(localPoint, modifiers));
    }
}

void LRootWindow::RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction)
{
    if (!IsActive()) {
        return;
    }
    const RCPtr<LRootWindow> self(this);
    HideToolTip();
    PointT<zlong> localPoint;
    const RCPtr<LControl> capture = mCaptureControl;
    const RCPtr<LControl> target = capture ? capture : HitTest(point, localPoint, true);
    if (!target) {
        return;
    }
    if (capture) {
        localPoint = LocalPoint(*capture, point);
    }
    const RCPtr<LMouseWheelParam> wheel = LMouseWheelParam::Create(localPoint, modifiers, direction);
    const auto deliver = [&wheel](LControl& control) {
        return wheel->IsHorizontal() ? control.DeliverMouseHWheel(wheel) : control.DeliverMouseWheel(wheel);
    };
    if (deliver(*target) == ZV_S_FALSE) {
        if (const RCPtr<LControl> focused = mFocusControl) {
            (void)deliver(*focused);
        }
    }
}

void LRootWindow::RouteKey(const RCPtr<LKeyParam>& key)
{
    const RCPtr<LRootWindow> self(this);
    HideToolTip();
    if (const RCPtr<LControl> focused = mFocusControl) {
        focused->OnKey(key);
    }
}

void LRootWindow::MoveFocusOnTab(const RCPtr<LKeyParam>& key)
{
    if (!key || !IsActive() || mServices->IsModal()) {
        return;
    }
    const bool backward = (key->GetKey().code & KeyCode::kShift) != 0;
    IWindowHost* host = GetWindowHost();
    if (host != nullptr && host->FocusNextRootWindow(this, backward)) {
        return;
    }
    if (const RCPtr<LControl> root = mRootControl) {
        (void)root->ReleaseFocus();
        (void)root->SetFocus(!backward);
    }
}

}  // namespace ZV
