#include "Controls/CheckedListBox.h"

#include "ControlBase/ControlGeometry.h"
#include "ControlBase/Look.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/Button.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/CheckedListBoxParams.h"
#include "Notification/AutoNotificationDisabler.h"
#include "Utilities/Storage/SortPredicates.h"

#include <typeinfo>
#include <utility>

namespace ZV {

namespace {

const wchar_t kCheckBoxName[] = L"checkBox";
const wchar_t kValueChangeId[] = L"NID_VALUE_CHANGE";
// The look of an icon list whose images are the rows' icons.
constexpr std::uint32_t kIconLook = 3;

bool IsChecked(double value)
{
    return value >= 0.5;
}

// The bitmaps of a look's image parts, in the skin's order: the client part, then the parts on its edges.
void AppendLookImages(const LLookDescriptor& look, ConstRCPtrArray<LBitmap>& images)
{
    const auto append = [&images](const RCPtr<LDockedPart>& docked) {
        const RCPtr<LVisualPart> part =
            docked && docked->GetPart() ? docked->GetPart()->GetVisualPart() : RCPtr<LVisualPart>();
        if (part && part->GetBitmap()) {
            (void)images.AddItem(part->GetBitmap());
        }
    };
    append(look.GetClientPart());
    const RCPtrArray<LDockedPart>& edges = look.GetNonClientParts();
    for (std::uint32_t index = 0; index < edges.GetCount(); ++index) {
        append(edges.GetData()[index]);
    }
}

}  // namespace

std::uint32_t LCheckedListBox::GetRowCount() const
{
    return mRows.GetCount();
}

LListBoxRow* LCheckedListBox::GetRow(std::uint32_t index)
{
    return GetCheckedRow(index);
}

LCheckedListBoxRow* LCheckedListBox::GetCheckedRow(std::uint32_t index)
{
    return mRows.GetItemPointer(index);
}

ZVRESULT LCheckedListBox::InsertRow(std::uint32_t index)
{
    return Failed(mRows.InsertItem(index, LCheckedListBoxRow())) ? ZV_E_INVALIDARG : ZV_S_OK;
}

ZVRESULT LCheckedListBox::RemoveRow(std::uint32_t index)
{
    if (index >= mRows.GetCount()) {
        return ZV_E_INVALIDARG;
    }
    // A checked row that goes takes its part of the count with it.
    if (mRows.GetData()[index].checked) {
        --mCheckedCount;
    }
    return Failed(mRows.RemoveRange(index, 1)) ? ZV_E_INVALIDARG : ZV_S_OK;
}

ZVRESULT LCheckedListBox::SwapRows(std::uint32_t a, std::uint32_t b)
{
    if (a >= mRows.GetCount() || b >= mRows.GetCount()) {
        return ZV_E_INVALIDARG;
    }
    std::swap(mRows.GetData()[a], mRows.GetData()[b]);
    return ZV_S_OK;
}

std::int32_t LCheckedListBox::SetRowCount(std::uint32_t count)
{
    const std::int32_t result = LListBox::SetRowCount(count);
    mCheckedCount = 0;
    for (std::uint32_t row = 0; row < mRows.GetCount(); ++row) {
        mCheckedCount += mRows.GetData()[row].checked ? 1 : 0;
    }
    return result;
}

ZVRESULT LCheckedListBox::Initialize()
{
    const ZVRESULT result = LListBox::Initialize();
    mHandler = new LNotificationHandler<LCheckedListBox>(this);
    // Lists built on this one (the popup menu) keep their fourth look for themselves.
    if (typeid(*this) != typeid(LCheckedListBox) || GetLookCount() <= kIconLook) {
        return result;
    }
    const RCPtr<LLook> look = GetLook(static_cast<std::int32_t>(kIconLook));
    if (!look || !look->GetDescriptor()) {
        return result;
    }
    AppendLookImages(*look->GetDescriptor(), mIcons);
    SetCheckBoxClickThrough(true);
    return result;
}

bool LCheckedListBox::IsItemChecked(std::uint32_t row) const
{
    return row < mRows.GetCount() && mRows.GetData()[row].checked;
}

void LCheckedListBox::SetItemChecked(std::uint32_t row, bool checked)
{
    if (row >= mRows.GetCount() || mRows.GetData()[row].checked == checked) {
        return;
    }
    mRows.GetData()[row].checked = checked;
    mCheckedCount += checked ? 1 : -1;
    (void)UpdateRowControl(row);
}

ConstRCPtr<LBitmap> LCheckedListBox::GetItemIcon(std::uint32_t row) const
{
    if (row >= mRows.GetCount()) {
        return nullptr;
    }
    if (mIcons.GetCount() != 0) {
        return mIcons.GetData()[row % mIcons.GetCount()];
    }
    return mRows.GetData()[row].icon;
}

void LCheckedListBox::SetCheckBoxClickThrough(bool clickThrough)
{
    mCheckBoxClickThrough = clickThrough;
    for (std::uint32_t index = GetRowControlCount(); index-- > 0;) {
        const RCPtr<LListBoxItem> control = GetRowControl(index);
        if (const RCPtr<LButton> checkBox = control ? RCPtr<LButton>(CheckBoxOf(*control)) : nullptr) {
            checkBox->SetClickThrough(clickThrough);
        }
    }
}

RCPtr<LControl> LCheckedListBox::CheckBoxOf(const LControl& rowControl)
{
    return rowControl.FindChildByName(kCheckBoxName);
}

ZVRESULT LCheckedListBox::CreateRowControl()
{
    const ZVRESULT result = LListBox::CreateRowControl();
    if (Failed(result) || GetRowControlCount() == 0) {
        return result;
    }
    const RCPtr<LListBoxItem> control = GetRowControl(GetRowControlCount() - 1);
    const RCPtr<LControl> checkBox = control ? CheckBoxOf(*control) : nullptr;
    if (!checkBox) {
        return result;
    }
    if (const RCPtr<LButton> button = RCPtr<LButton>(checkBox)) {
        button->SetClickThrough(mCheckBoxClickThrough);
        // A click flips the box.
        button->SetAutoValueSet(true);
    }
    // Without the subscription the box still shows the row; only its clicks go unheard.
    (void)mHandler->AddHandler(&LCheckedListBox::OnCheckBoxValueChange, checkBox, kValueChangeId, 0);
    return result;
}

ZVRESULT LCheckedListBox::UpdateRowControl(std::uint32_t row)
{
    if (GetControlIndexOfRow(row) < 0) {
        return ZV_S_FALSE;
    }
    const ZVRESULT result = LListBox::UpdateRowControl(row);
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    const RCPtr<LControl> checkBox = control ? CheckBoxOf(*control) : nullptr;
    if (!checkBox) {
        return result;
    }
    const bool exists = row < mRows.GetCount();
    SetCheckBoxValue(checkBox, exists && mRows.GetData()[row].checked ? 1.0 : 0.0);
    ShowIcon(*checkBox, exists ? GetItemIcon(row) : nullptr);
    (void)checkBox->SetVisible(exists);
    return result;
}

void LCheckedListBox::SetCheckBoxValue(const RCPtr<LControl>& checkBox, double value)
{
    if (checkBox->GetValue() == value) {
        return;
    }
    LNotificationHandler<LCheckedListBox>::MemberFunction bound = nullptr;
    std::uint32_t flags = 0;
    if (!mHandler || Failed(mHandler->GetHandler(checkBox, kValueChangeId, bound, flags))) {
        (void)checkBox->SetValue(value);
        return;
    }
    const CAutoNotificationDisabler<LCheckedListBox> quiet(mHandler, checkBox, kValueChangeId);
    (void)checkBox->SetValue(value);
}

void LCheckedListBox::ShowIcon(LControl& checkBox, const ConstRCPtr<LBitmap>& icon)
{
    for (std::uint32_t index = checkBox.GetLookCount(); index-- > 0;) {
        if (checkBox.GetLook(static_cast<std::int32_t>(index)) != nullptr) {
            // A look that cannot take the image keeps the one it has.
            (void)checkBox.SetLookOverlay(icon, {}, static_cast<std::int32_t>(index), true);
        }
    }
    const PointT<double> size = checkBox.GetSize();
    (void)checkBox.InvalidateRect(RectT<double>(0, 0, size.x, size.y), SettingsOf(&checkBox).clipToParent);
}

std::int32_t LCheckedListBox::OnCheckBoxValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                    const RCPtr<LNotification>&)
{
    const auto* checkBox = dynamic_cast<const LControl*>(sender.Get());
    const std::int32_t row = checkBox ? GetRowOfControl(checkBox->GetParent().Get()) : -1;
    if (row < 0 || static_cast<std::uint32_t>(row) >= mRows.GetCount()) {
        return 1;
    }
    const RCPtr<LControl> self(this);
    const double value = checkBox->GetValue();
    LCheckedListBoxRow& stored = mRows.GetData()[row];
    // The count follows the rows' flags, not the boxes' notifications.
    if (stored.checked != IsChecked(value)) {
        stored.checked = IsChecked(value);
        mCheckedCount += stored.checked ? 1 : -1;
    }
    (void)SelectRange(static_cast<std::uint32_t>(row), row, !IsMultiSelect());
    SendNewNotification(*this, L"NID_ITEM_CHECK_CHANGE",
                        RCPtr<LIndexedDataWithValueParam>(new LIndexedDataWithValueParam(nullptr, row, value)));
    return 1;
}

bool LCheckedListBox::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LListBox::OfferToNotificationHandlers(sender, notification);
}

void LCheckedListBox::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LListBox::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
