// The button's timed behaviour on idle passes: repeating while held, and clicks without the mouse.
//
// Each of the two holds an idle subscription of its own while it runs (they are counted), so that either may end
// first.
#include "Controls/Button.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/NotificationSending.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

using namespace ConditionMask;

double Now()
{
    return GetControlServices().GetTimeSeconds();
}

}  // namespace

void LButton::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const std::uint32_t previous = conditions->GetPreviousConditions();
    const std::uint32_t current = conditions->GetCurrentConditions();
    const auto turnedOn = [&](std::uint32_t bit) { return (current & bit) != 0 && (previous & bit) == 0; };
    const auto turnedOff = [&](std::uint32_t bit) { return (current & bit) == 0 && (previous & bit) != 0; };
    // Each rule on its own: the pointer coming over the button and the press may arrive in one change.
    if (mAutoRepeat && turnedOn(kHoverOrHighlighted)) {
        // Time spent off the held button does not count.
        mLastRepeatTick = Now();
    }
    if (mAutoRepeat && turnedOn(kLeftPressed) && !mRepeating && IsEnabled(true)) {
        StartRepeating();
    }
    if (mAutoRepeat && turnedOff(kCapture) && mRepeating) {
        StopRepeating();
    }
}

void LButton::StartRepeating()
{
    mRepeating = true;
    (void)BeginIdleNotifications();
    mLastRepeatTick = Now();
    mTimeToNextRepeat = kFirstRepeatDelay;
    SendAutoRepeat();
}

void LButton::StopRepeating()
{
    mRepeating = false;
    (void)EndIdleNotifications();
}

void LButton::SendAutoRepeat()
{
    SendNewNotification(*this, L"NID_BUTTON_AUTOREPEAT", nullptr);
}

void LButton::OnIdle(const RCPtr<LNotification>&)
{
    // What the notifications reach may let the last reference to the button go.
    const RCPtr<LControl> self(this);
    if (mSimulatedPressShowing && Now() - mSimulatedPressStart >= kSimulatedPressTime) {
        FinishSimulatedPress();
    }
    if (mRepeating && (GetConditions() & kHover) != 0 && IsEnabled(true)) {
        const double now = Now();
        mTimeToNextRepeat -= now - mLastRepeatTick;
        mLastRepeatTick = now;
        if (mTimeToNextRepeat <= 0) {
            mTimeToNextRepeat = kRepeatInterval;
            SendAutoRepeat();
        }
    }
}

void LButton::SimulateClick()
{
    const RCPtr<LControl> self(this);
    if (mSimulatedPressShowing) {
        FinishSimulatedPress();
    }
    mSimulatedPressShowing = true;
    // A button that takes no focus is clicked all the same.
    (void)SetFocus(true);
    (void)BeginIdleNotifications();
    mSimulatedPressStart = Now();
    (void)SelectLook(kPressedLook + (IsOn() ? kOnLookOffset : 0));
    (void)InvalidateRect(RectT<double>(0, 0, GetSize().x, GetSize().y), SettingsOf(this).clipToParent);
}

void LButton::FinishSimulatedPress()
{
    mSimulatedPressShowing = false;
    mSimulatedPressStart = 0;
    (void)EndIdleNotifications();
    (void)UpdateLook();
    // A button disabled while its press showed takes no click, as a mouse release on it would not.
    if (!IsEnabled(true)) {
        return;
    }
    if (mAutoRepeat) {
        SendAutoRepeat();
    }
    DeliverSimulatedClick();
}

void LButton::DeliverSimulatedClick()
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const std::uint32_t buttons = window ? window->GetMouseButtonState() : 0;
    (void)OnLeftClick(LMouseButtonParam::Create(MouseButton::kLeft, {0, 0}, 0, false, buttons));
}

std::int32_t LButton::OnSimulateClickNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                  const RCPtr<LNotification>&)
{
    if (IsEnabled(true)) {
        SimulateClick();
    }
    return 1;
}

}  // namespace ZV
