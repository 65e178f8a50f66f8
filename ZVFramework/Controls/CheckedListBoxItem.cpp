#include "Controls/CheckedListBoxItem.h"

#include "ControlBase/ConditionMask.h"
#include "Notification/ConditionsParam.h"

namespace ZV {

ZVRESULT LCheckedListBoxItem::Initialize()
{
    const ZVRESULT result = LListBoxItem::Initialize();
    mHandler = new LNotificationHandler<LCheckedListBoxItem>(this);
    mCheckBox = FindChildByName(L"checkBox");
    if (mCheckBox) {
        // Without the subscription the row is only not highlighted from its check box.
        (void)mHandler->AddHandler(&LCheckedListBoxItem::OnCheckBoxHoverChange, mCheckBox,
                                   L"NID_HOVER_CONDITION_CHANGE", 0);
        mCheckBox->FixNotFocusable(true);
        mCheckBox->SetUsesParentToolTip(true);
    }
    return result;
}

bool LCheckedListBoxItem::ApplyItemLook(std::int32_t lookIndex, bool exclusive)
{
    return lookIndex >= 0 && Succeeded(ApplyLookWeight(static_cast<std::uint32_t>(lookIndex), 1.0f, exclusive));
}

ZVRESULT LCheckedListBoxItem::SelectCheckBoxLook(std::uint32_t lookIndex)
{
    if (!IsCreated() || !mCheckBox) {
        return ZV_S_FALSE;
    }
    return mCheckBox->SelectLook(lookIndex);
}

std::int32_t LCheckedListBoxItem::OnCheckBoxHoverChange(const ConstRCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    using ConditionMask::kHover;
    SetHighlighted(conditions && (conditions->GetCurrentConditions() & kHover) != 0 &&
                   (conditions->GetPreviousConditions() & kHover) == 0);
    return 1;
}

bool LCheckedListBoxItem::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                      const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LListBoxItem::OfferToNotificationHandlers(sender, notification);
}

void LCheckedListBoxItem::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                    const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LListBoxItem::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
