#include "Controls/DropDownControl.h"

#include "ControlBase/ConditionMask.h"
#include "Controls/ConditionChange.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Utilities/Storage/Rounding.h"

namespace ZV {

ZVRESULT LDropDownControl::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    mHandler = new LNotificationHandler<LDropDownControl>(this);
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LDropDownControl::OnOwnMouseDown, this, L"NID_MOUSE_DOWN", 0));
    return result;
}

ZVRESULT LDropDownControl::SetFocus(bool forward)
{
    const RCPtr<LControl> self(this);
    const ZVRESULT result = LControl::SetFocus(forward);
    if (IsDropDownOpen()) {
        (void)ShowDropDown(false);
        mWasOpenAtFocus = true;
    } else {
        mWasOpenAtFocus = false;
    }
    return result;
}

bool LDropDownControl::ReleaseFocus()
{
    const RCPtr<LControl> self(this);
    // Released first: a part that held the focus and then hides would hand the focus back to this control.
    const bool released = LControl::ReleaseFocus();
    (void)ShowDropDown(false);
    return released;
}

void LDropDownControl::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LControl::OnConditionsChanged(conditions);
    if (!conditions || !TurnedOn(*conditions, ConditionMask::kLeftPressed)) {
        return;
    }
    // The part opened by this press takes the press where it is now, not where the previous one was.
    mPressPoint = conditions->GetPoint();
    if (mCloseByPress) {
        mCloseByPress = false;
        return;
    }
    (void)ShowDropDown(true);
}

bool LDropDownControl::IsLeftButtonHeld() const
{
    return (GetConditions() & (ConditionMask::kLeftPressed | ConditionMask::kLeftDragging)) != 0;
}

void LDropDownControl::ForwardPressTo(LControl& part)
{
    if (!IsLeftButtonHeld()) {
        return;
    }
    const PointT<double> origin = part.GetPosition();
    const PointT<zlong> point{RoundToLong(mPressPoint.x - origin.x), RoundToLong(mPressPoint.y - origin.y)};
    const RCPtr<LControl> held(&part);
    (void)held->OnMouseDown(LMouseButtonParam::Create(MouseButton::kLeft, point, 0, false, MouseButton::kLeft));
}

std::int32_t LDropDownControl::OnOwnMouseDown(const ConstRCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification)
{
    // Only a left press brings the condition that would open the drop-down again; a mark left by another button
    // would swallow the next left press.
    const ConstRCPtr<LMouseButtonParam> press(notification ? notification->GetParameter() : nullptr);
    if (mWasOpenAtFocus && press && press->GetButton() == MouseButton::kLeft) {
        mCloseByPress = true;
    }
    return 0;
}

bool LDropDownControl::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                   const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LDropDownControl::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                 const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
