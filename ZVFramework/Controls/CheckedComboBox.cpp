#include "Controls/CheckedComboBox.h"

#include "ControlBase/NotificationSending.h"
#include "Controls/Button.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxParams.h"
#include "Notification/Notification.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

// The looks of the same states while some row is checked.
constexpr std::uint32_t kSomeCheckedLooks = 7;

}  // namespace

ZVRESULT LCheckedComboBox::Initialize()
{
    mCheckedList = RCPtr<LCheckedListBox>(dynamic_cast<LCheckedListBox*>(FindChildByName(L"listBox").Get()));
    if (Failed(LComboBox::Initialize()) || !mCheckedList) {
        return ZV_E_FAIL;
    }
    mCheckBox = FindChildByName(L"checkBox");
    if (mCheckBox) {
        mCheckBox->SetUsesParentToolTip(true);
    }
    (void)mCheckedList->SetTrackItems(true);
    if (mCheckedList->HasIcons()) {
        SetCheckBoxClickThrough(true);
    }
    mHandler = new LNotificationHandler<LCheckedComboBox>(this);
    ZV_THROW_IF_FAILED(
        mHandler->AddHandler(&LCheckedComboBox::OnItemCheckChange, mCheckedList, L"NID_ITEM_CHECK_CHANGE", 0));
    return ZV_S_OK;
}

void LCheckedComboBox::SetCheckBoxClickThrough(bool clickThrough)
{
    mCheckBoxClickThrough = clickThrough;
    if (auto* button = dynamic_cast<LButton*>(mCheckBox.Get())) {
        button->SetClickThrough(clickThrough);
    }
}

ZVRESULT LCheckedComboBox::OnInitialized()
{
    if (mCheckedList && mCheckBox) {
        const std::int32_t selected = GetSelectedIndex();
        // The first selection came without SetSelectedIndex: the box shows its state here.
        ShowChecked(selected);
        ShowIcon(selected >= 0 ? mCheckedList->GetItemIcon(static_cast<std::uint32_t>(selected)) : nullptr);
    }
    return LComboBox::OnInitialized();
}

std::int32_t LCheckedComboBox::SetSelectedIndex(std::int32_t index)
{
    if (mCheckBox && mCheckedList) {
        const bool inside = index >= 0 && static_cast<std::uint32_t>(index) < mCheckedList->GetRowCount();
        ShowChecked(index);
        ShowIcon(inside ? mCheckedList->GetItemIcon(static_cast<std::uint32_t>(index)) : nullptr);
    }
    return LComboBox::SetSelectedIndex(index);
}

void LCheckedComboBox::ShowChecked(std::int32_t row)
{
    if (row >= 0 && static_cast<std::uint32_t>(row) < mCheckedList->GetRowCount()) {
        (void)mCheckBox->SetValue(mCheckedList->IsItemChecked(static_cast<std::uint32_t>(row)) ? 1.0 : 0.0);
    }
}

void LCheckedComboBox::ShowIcon(const ConstRCPtr<LBitmap>& icon)
{
    for (std::uint32_t index = mCheckBox->GetLookCount(); index-- > 0;) {
        if (mCheckBox->GetLook(static_cast<std::int32_t>(index)) != nullptr) {
            // A look that cannot take the image keeps the one it has.
            (void)mCheckBox->SetLookOverlay(icon, {}, static_cast<std::int32_t>(index), true);
        }
    }
    const PointT<double> size = mCheckBox->GetSize();
    (void)mCheckBox->InvalidateRect(RectT<double>(0, 0, size.x, size.y), SettingsOf(mCheckBox.Get()).clipToParent);
}

ZVRESULT LCheckedComboBox::SetItemCount(std::int32_t count)
{
    const ZVRESULT result = LComboBox::SetItemCount(count);
    (void)UpdateLook();
    return result;
}

ZVRESULT LCheckedComboBox::UpdateLook()
{
    const bool someChecked = mCheckedList && mCheckedList->GetCheckedCount() >= 1;
    (void)SelectLook(GetStateLook() + (someChecked ? kSomeCheckedLooks : 0));
    return ZV_S_OK;
}

std::int32_t LCheckedComboBox::OnItemCheckChange(const ConstRCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    const std::int32_t checked = mCheckedList->GetCheckedCount();
    // Only a change between none checked and some checked changes the looks.
    if (checked == 0 || checked == 1) {
        (void)UpdateLook();
    }
    // The box shows the selected row's state, also when that row's check changes without a new selection.
    const ConstRCPtr<LIndexedDataParam> change(notification->GetParameter());
    if (mCheckBox && change && change->GetIndex() == GetSelectedIndex()) {
        ShowChecked(change->GetIndex());
    }
    SendNewNotification(*this, notification->GetId(), notification->GetParameter());
    return 1;
}

bool LCheckedComboBox::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                   const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LComboBox::OfferToNotificationHandlers(sender, notification);
}

void LCheckedComboBox::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                 const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LComboBox::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
