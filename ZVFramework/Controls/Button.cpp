// The button's creation, looks, values, keys and tool tip; its timed behaviour is in ButtonTiming.cpp.
#include "Controls/Button.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "Controls/CreateParamFlag.h"
#include "ObjectBase/Exception.h"

namespace ZV {

namespace {

using namespace ConditionMask;

// Return going down, without a modifier.
constexpr std::uint32_t kPlainReturnDown = KeyCode::kKeyDown | 0x0D << KeyCode::kVirtualKeyShift;

}  // namespace

ZVRESULT LButton::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    if (Failed(result)) {
        return result;
    }
    mHandler = new LNotificationHandler<LButton>(this);
    ZV_THROW_IF_FAILED(mHandler->MapHandler(&LButton::OnSimulateClickNotification, L"NID_SIMULATE_CLICK"));
    mAutoValueSet = IsCreateParamFlagSet(*this, L"AUTO_VALUE_SET");
    mRadio = IsCreateParamFlagSet(*this, L"IS_RADIO");
    // A value from the create parameters, or no condition change yet, has chosen no look so far.
    (void)UpdateLook();
    return ZV_S_OK;
}

bool LButton::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LButton::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

ZVRESULT LButton::UpdateLook()
{
    if (mSimulatedPressShowing) {
        return ZV_S_OK;
    }
    std::uint32_t look = kDisabledLook;
    if (IsEnabled(true)) {
        const std::uint32_t conditions = GetConditions();
        const bool captured = (conditions & kCapture) != 0;
        const bool hover = (conditions & kHover) != 0;
        // Held still, the press has not become a drag yet; it is a press all the same.
        const bool pressed = captured && (conditions & (kLeftPressed | kLeftDragging)) != 0;
        if (pressed) {
            look = hover || mKeepPressedLookWhileCaptured ? kPressedLook : kHoverLook;
        } else {
            look = hover && !captured ? kHoverLook : kNormalLook;
        }
        if ((conditions & kHasFocus) != 0) {
            look += kFocusedLook;
        }
    }
    // A skin with fewer looks leaves the button as it is.
    (void)SelectLook(look + (IsOn() ? kOnLookOffset : 0));
    return ZV_S_OK;
}

void LButton::OnValueChanged()
{
    if (mRadio && IsOn() && GetParent()) {
        TurnOffRadioSiblings();
    }
    (void)UpdateLook();
}

void LButton::TurnOffRadioSiblings()
{
    // The siblings' value changes may change the parent's children.
    RCPtrArray<LControl> siblings;
    GetParent()->GetChildren().TakeSnapshot(siblings);
    for (std::uint32_t index = siblings.GetCount(); index-- > 0;) {
        auto* sibling = dynamic_cast<LButton*>(siblings.GetData()[index].Get());
        if (sibling != nullptr && sibling != this && sibling->mRadio) {
            (void)sibling->SetValue(0.0);
        }
    }
}

void LButton::SetEnabled(bool enabled)
{
    LControl::SetEnabled(enabled);
    (void)UpdateLook();
}

void LButton::HandleLeftClick(const RCPtr<LMouseButtonParam>&)
{
    if (!mAutoValueSet) {
        return;
    }
    (void)SetValue(!mRadio && IsOn() ? 0.0 : 1.0);
}

ZVRESULT LButton::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key || key->GetKey().code != kPlainReturnDown) {
        return ZV_S_FALSE;
    }
    SimulateClick();
    return ZV_S_OK;
}

WideString LButton::GetToolTipText() const
{
    return IsTextClipped() ? GetText() : LControl::GetToolTipText();
}

bool LButton::IsTransparentAtPoint(const PointT<zlong>& point)
{
    return mClickThrough || LControl::IsTransparentAtPoint(point);
}

}  // namespace ZV
