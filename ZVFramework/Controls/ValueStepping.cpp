#include "Controls/ValueStepping.h"

#include "ControlBase/KeyParams.h"
#include "ControlBase/NotificationSending.h"
#include "Notification/MouseParams.h"

namespace ZV {

namespace {

constexpr std::uint8_t kLeftKey = 0x25;
constexpr std::uint8_t kUpKey = 0x26;
constexpr std::uint8_t kRightKey = 0x27;
constexpr std::uint8_t kDownKey = 0x28;

// +1 for Right and Up, -1 for Left and Down, 0 for anything that is no arrow key.
int ArrowDirection(const KeyCode& key)
{
    if ((key.code & KeyCode::kVirtualKeyMask) == 0 || (key.code & KeyCode::kNoKey) != 0) {
        return 0;
    }
    switch (key.GetVirtualKey()) {
    case kRightKey:
    case kUpKey:
        return 1;
    case kLeftKey:
    case kDownKey:
        return -1;
    default:
        return 0;
    }
}

}  // namespace

ZVRESULT ValueKeyRun::HandleKey(LControl& control, const RCPtr<LKeyParam>& key)
{
    const int direction = key ? ArrowDirection(key->GetKey()) : 0;
    if (direction == 0) {
        return ZV_S_FALSE;
    }
    if ((key->GetKey().code & KeyCode::kKeyDown) == 0) {
        // A release without a press of this run (the key went down before the control had the focus) ends nothing.
        if (mKeyHeld) {
            mKeyHeld = false;
            SendNewNotification(control, L"NID_VALUE_CHANGE_KEY_UP", key);
        }
        return ZV_S_OK;
    }
    if (!mKeyHeld) {
        mKeyHeld = true;
        SendNewNotification(control, L"NID_VALUE_CHANGE_KEY_DOWN", key);
    }
    StepValue(control, direction);
    return ZV_S_OK;
}

void ValueKeyRun::EndOnFocusLoss(LControl& control)
{
    if (mKeyHeld) {
        mKeyHeld = false;
        SendNewNotification(control, L"NID_VALUE_CHANGE_KEY_UP", nullptr);
    }
}

void StepValue(LControl& control, double units)
{
    (void)control.SetValue(control.ValueToNormalized(control.NormalizedToValue(control.GetValue()) + units));
}

ZVRESULT StepValueByWheel(LControl& control, const RCPtr<LMouseWheelParam>& wheel)
{
    if (!wheel) {
        return ZV_S_FALSE;
    }
    const std::uint32_t direction = wheel->GetDirection();
    const bool up =
        direction == LMouseWheelParam::kVerticalPositive || direction == LMouseWheelParam::kHorizontalPositive;
    StepValue(control, up ? 1 : -1);
    return ZV_S_OK;
}

bool IsValueSettingClick(const LMouseButtonParam& click)
{
    return click.IsDoubleClick() || (click.GetModifiers() & ModifierMask::kControl) != 0;
}

}  // namespace ZV
