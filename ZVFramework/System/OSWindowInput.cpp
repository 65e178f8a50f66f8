#include "System/OSWindow.h"

#include "ControlBase/KeyParams.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/WindowHost.h"

#include <cstdlib>

namespace ZV {

namespace {

namespace Key = Platform::VirtualKey;

}  // namespace

bool OSWindow::IsOverClientArea(Platform::WindowPoint point) const
{
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    return point.x >= 0 && point.y >= 0 && point.x < size.x && point.y < size.y;
}

bool OSWindow::AnyButtonDown() const
{
    return mBackEnd->IsKeyDown(Key::kLeftButton) || mBackEnd->IsKeyDown(Key::kMiddleButton) ||
           mBackEnd->IsKeyDown(Key::kRightButton);
}

std::uint32_t OSWindow::GetPointerModifiers() const
{
    return (mBackEnd->IsKeyDown(Key::kControl) ? kModifierCtrl : 0) |
           (mBackEnd->IsKeyDown(Key::kShift) ? kModifierShift : 0) |
           (mBackEnd->IsKeyDown(Key::kMenu) ? kModifierAlt : 0);
}

std::uint32_t OSWindow::GetKeyModifiers(bool altHeld) const
{
    const auto down = [this](std::uint8_t key) { return mBackEnd->IsKeyDown(key); };
    std::uint32_t mask = 0;
    if (down(Key::kShift)) {
        mask |= kModifierShift | (down(Key::kLeftShift) ? kModifierLeftShift : 0) |
                (down(Key::kRightShift) ? kModifierRightShift : 0);
    }
    if (down(Key::kControl)) {
        mask |= kModifierCtrl | (down(Key::kLeftControl) ? kModifierLeftCtrl : 0) |
                (down(Key::kRightControl) ? kModifierRightCtrl : 0);
    }
    if (down(Key::kLeftWindows)) {
        mask |= kModifierCmd | kModifierLeftCmd;
    }
    if (down(Key::kRightWindows)) {
        mask |= kModifierCmd | kModifierRightCmd;
    }
    if (altHeld) {
        mask |= kModifierAlt | (down(Key::kLeftMenu) ? kModifierLeftAlt : 0) |
                (down(Key::kRightMenu) ? kModifierRightAlt : 0);
    }
    return mask;
}

// A press of the button that pressed last, soon enough and near enough, unless that press was itself the second of
// a double click.
bool OSWindow::IsDoubleClick(std::uint32_t button, Platform::WindowPoint point, std::uint32_t time)
{
    const bool doubleClick = button == mLastPressButton && !mLastPressWasDoubleClick &&
                             time - mLastPressTime <= kDoubleClickMs &&
                             std::abs(point.x - mLastPressPoint.x) <= kDoubleClickBox / 2 &&
                             std::abs(point.y - mLastPressPoint.y) <= kDoubleClickBox / 2;
    mLastPressButton = button;
    mLastPressTime = time;
    mLastPressPoint = point;
    mLastPressWasDoubleClick = doubleClick;
    return doubleClick;
}

void OSWindow::OnButton(bool press, std::uint32_t button, Platform::WindowPoint point, std::uint32_t time)
{
    if (!mEnabled) {
        return;
    }
    if (!press) {
        HandleButton(IRootWindowTarget::kRelease, button, point);
        return;
    }
    HandleButton(IsDoubleClick(button, point, time) ? IRootWindowTarget::kDoubleClick : IRootWindowTarget::kPress,
                 button, point);
}

void OSWindow::HandleButton(IRootWindowTarget::ButtonAction action, std::uint32_t button,
                            Platform::WindowPoint point)
{
    mLastMousePoint = {point.x, point.y};
    // Held: the root window's handlers may end the window.
    const RCPtr<IRootWindowTarget> root = mRootWindow;
    const std::uint32_t modifiers = GetPointerModifiers();
    if (action != IRootWindowTarget::kRelease) {
        if (root && !root->HasFocusControl()) {
            mBackEnd->TakeFocus();
        }
        mButtonMask |= button;
        if (mPressCount++ == 0 && !mCapture) {
            mCapture = true;
        }
    } else {
        mButtonMask &= ~button;
        if (!IsOverClientArea(point) && !AnyButtonDown() && mPressCount != 0) {
            mPressCount = 0;
            mCapture = false;
            if (root) {
                root->RouteMouseButton(action, button, modifiers, mLastMousePoint);
            }
            ReleaseCapture();
            return;
        }
    }
    if (root) {
        root->RouteMouseButton(action, button, modifiers, mLastMousePoint);
    }
}

// The window let go of the mouse: what the original platform reports as the capture changing hands.
void OSWindow::ReleaseCapture()
{
    mPressCount = 0;
    mCapture = false;
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        root->OnCaptureLost();
    }
}

void OSWindow::OnPointerMoved(Platform::WindowPoint point)
{
    if (!mEnabled) {
        return;
    }
    if (mCapture && !AnyButtonDown() && !IsOverClientArea(point)) {
        ReleaseCapture();
    }
    if (!mCapture && mBackEnd->IsActive() && IsOverClientArea(point)) {
        mCapture = true;
    }
    mLastMousePoint = {point.x, point.y};
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        root->RouteMouseMove(mLastMousePoint, GetPointerModifiers());
    }
}

void OSWindow::OnWheel(int axis, int delta, Platform::WindowPoint point)
{
    if (!mEnabled || axis < 0 || axis > 1) {
        return;
    }
    constexpr std::int32_t kStep = 120;
    std::int32_t& remainder = mWheelRemainders[axis];
    remainder += delta;
    std::uint32_t direction = 0;
    if (remainder >= kStep) {
        direction = axis == 0 ? LMouseWheelParam::kVerticalPositive : LMouseWheelParam::kHorizontalPositive;
        remainder %= kStep;
    } else if (remainder <= -kStep) {
        direction = axis == 0 ? LMouseWheelParam::kVerticalNegative : LMouseWheelParam::kHorizontalNegative;
        remainder %= kStep;
    } else {
        return;
    }
    mLastMousePoint = {point.x, point.y};
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        root->RouteMouseWheel(mLastMousePoint, GetPointerModifiers(), direction);
    }
}

void OSWindow::RouteKey(const KeyCode& key)
{
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        root->RouteKey(LKeyParam::Create(key, true));
    }
}

void OSWindow::OnKey(std::uint8_t virtualKey, bool down, bool repeated, bool altHeld, bool system)
{
    if (!mEnabled) {
        return;
    }
    const std::uint32_t mask = GetKeyModifiers(altHeld);
    if (virtualKey != 0) {
        const std::uint8_t previous = down ? (repeated ? 1 : 0) : 1;
        RouteKey(KeyCode(virtualKey, down, previous, mask));
        return;
    }
    // A key without a virtual key of its own: only as Ctrl+Alt, or with the system keys.
    if (system || ((mask & kModifierCtrl) != 0 && (mask & kModifierAlt) != 0)) {
        RouteKey(KeyCode(std::uint16_t{0}, mask));
    }
}

void OSWindow::OnCharacter(std::uint16_t unit, bool altHeld)
{
    if (!mEnabled || mBackEnd->IsKeyDown(Key::kLeftWindows) || mBackEnd->IsKeyDown(Key::kRightWindows)) {
        return;
    }
    const std::uint32_t mask = (mBackEnd->IsKeyDown(Key::kShift) ? kModifierShift : 0) |
                               (mBackEnd->IsKeyDown(Key::kControl) ? kModifierCtrl : 0) |
                               (altHeld ? kModifierAlt : 0);
    RouteKey(KeyCode(unit, mask));
}

void OSWindow::OnFocusChanged(bool gained)
{
    const RCPtr<IRootWindowTarget> root = mRootWindow;
    if (gained) {
        if (root) {
            root->OnSetFocus();
        }
        return;
    }
    if (mCapture) {
        ReleaseCapture();
    }
    if (root) {
        root->OnKillFocus();
    }
}

void OSWindow::OnResized(int width, int height)
{
    if (mRenderContext) {
        mRenderContext->SetViewport({0, 0, width, height});
    }
    const RCPtr<IRootWindowTarget> root = mRootWindow;
    if (!root) {
        return;
    }
    root->OnResize({width, height});
    root->SetFullRepaint();
    // The desktop has no say before a size is taken: a size the root window refuses is corrected afterwards.
    RectT<zlong> bounds(0, 0, width, height);
    if (ConstrainSizingRect(bounds)) {
        const Platform::WindowPoint origin = mBackEnd->GetClientOrigin();
        mBackEnd->MoveResize({origin.x, origin.y, bounds.width, bounds.height});
    }
}

void OSWindow::OnMoved()
{
    if (mRootWindow) {
        CheckWorkArea();
    }
}

void OSWindow::CheckWorkArea()
{
    if (mOutsideWorkArea) {
        mRootWindow->SetFullRepaint();
        mOutsideWorkArea = false;
    }
    const Platform::WindowPoint origin = mBackEnd->GetClientOrigin();
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    const Platform::WindowRect area = mBackEnd->GetWorkArea();
    mOutsideWorkArea = origin.x < area.x || origin.y < area.y || origin.x + size.x > area.x + area.width ||
                       origin.y + size.y > area.y + area.height;
}

void OSWindow::OnExposed(Platform::WindowRect rect)
{
    AddToUpdate({rect.x, rect.y, rect.x + rect.width, rect.y + rect.height});
}

void OSWindow::OnCloseRequested()
{
    const RCPtr<IRootWindowTarget> root = mRootWindow;
    if (!mEnabled || !root) {
        return;
    }
    if (IsMainWindow()) {
        // The main window stays: the application decides whether and how to end.
        (void)GetApplicationNotificationCenter()->PostNotification(
            LNotification::Create(L"NID_APP_EXIT_REQ", nullptr));
        return;
    }
    root->RequestClose();
}

void OSWindow::OnLost()
{
    // Its tree goes as from its close box: a dialog hears of its end and gives back the reference it was shown with.
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        const std::int32_t result = root->CloseForLostWindow();
        // The root window's modal end waits for an idle pass that a window gone has no more.
        if (mModal) {
            mModalResult = result;
        }
    }
    EndPlatformWindow();
}

}  // namespace ZV
