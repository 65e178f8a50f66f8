#include "Controls/ComboBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/ConditionChange.h"
#include "Controls/ListBox.h"
#include "Controls/TextBox.h"
#include "Controls/TextValidationParams.h"
#include "Notification/Notification.h"
#include "Utilities/Storage/Rounding.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace ZV {

namespace {

// Keys compared exactly: pressed, without modifiers.
constexpr std::uint32_t kDownPressed = 0x20280000;
constexpr std::uint32_t kReturnPressed = 0x200D0000;
constexpr std::uint32_t kEscapePressed = 0x201B0000;

// Room left free at the window's top and bottom edges.
constexpr double kWindowMargin = 5;

constexpr std::uint32_t kDisabledLook = 6;
constexpr std::uint32_t kDroppedDownLook = 4;
constexpr std::uint32_t kDroppedDownHoverLook = 5;

constexpr const wchar_t* kValidatingId = L"NID_TEXTBOX_VALIDATING";
constexpr const wchar_t* kValidatedId = L"NID_TEXTBOX_VALIDATED";
constexpr const wchar_t* kTextChangeId = L"NID_TEXTBOX_TEXT_CHANGE";

template <class T>
RCPtr<T> ChildAs(const LControl& parent, const wchar_t* name)
{
    return RCPtr<T>(dynamic_cast<T*>(parent.FindChildByName(name).Get()));
}

WideString TextOf(const RCPtr<LTaggableObject>& data)
{
    return data ? data->ToString() : WideString();
}

// A limit that the skin leaves open: no size at all.
bool IsOpenLimit(const LimitRule& limit)
{
    return !limit.toControl && limit.abs == 0 && limit.rel == 0;
}

LimitRule AbsoluteLimit(double value)
{
    LimitRule limit;
    limit.abs = value;
    return limit;
}

// The skin's layout of the control, or its own copy when the descriptor has none.
const LLayoutDescriptor* SkinLayoutOf(const LControl& control)
{
    const RCPtr<LControlDescriptor>& descriptor = control.GetControlDescriptor();
    const LLayoutDescriptor* skin = descriptor ? descriptor->GetLayoutDescriptor().Get() : nullptr;
    return skin != nullptr ? skin : control.GetLayoutDescriptor().Get();
}

// A decimal integer as the C library reads one, within 32 bits; 0 without digits.
std::int32_t ReadInteger(const WideString& text)
{
    const long value = std::wcstol(text.GetData(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

bool LComboBox::IsDropDownOpen()
{
    return mListBox && mListBox->IsVisible(false);
}

ZVRESULT LComboBox::ShowDropDown(bool show)
{
    if (!mListBox) {
        return ZV_E_FAIL;
    }
    const RCPtr<LControl> self(this);
    if (show && GetParent()) {
        SendNewNotification(*this, L"NID_DROPDOWN_OPENING", nullptr);
        PlaceDropDown();
        SelectItemOfText();
    }
    (void)mListBox->SetVisible(show);
    if (show) {
        if (mListBox->IsTrackingItems()) {
            ForwardPressTo(*mListBox);
        }
        (void)mListBox->SetFocus(true);
    }
    return ZV_S_OK;
}

void LComboBox::PlaceDropDown()
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RCPtr<LLayoutDescriptor> layout = mListBox->GetLayoutDescriptor();
    if (!window || !layout) {
        return;
    }
    const double top = GetAbsoluteOrigin().y;
    const double windowHeight = static_cast<double>(window->GetScreenBounds().height);
    const double below = windowHeight - (top + GetSize().y) - kWindowMargin;
    const double above = top - kWindowMargin;
    const double rowHeight = mListBox->GetRowHeight();
    const double need = rowHeight * mListBox->GetRowCount();
    const double cap = SkinLayoutOf(*mListBox)->yMaximum.abs;
    const double current = layout->yMaximum.abs;

    bool openBelow = false;
    if (current == 0 || cap <= 0 || (below < cap && above < cap)) {
        openBelow = need <= below || above <= below;
    } else {
        openBelow = cap <= below;
    }
    // A window too small for either side leaves no room rather than a negative one.
    const double room = std::max(openBelow ? below : above, 0.0);
    // Never unlimited, not even when the rows fit: items that come while the list is open must not take it out of
    // the window, nor have it make a row control for each of them. One row at the least, as a maximum of 0 is none.
    const double maximum = std::max(cap <= 0 ? room : std::min(room, cap), rowHeight);
    (void)mListBox->SetAxisSizeLimits(1, layout->yMinimum, AbsoluteLimit(maximum));

    PositionRule position = layout->yPosition;
    position.toControlKind = kPositionToParent;
    position.toControlName = WideString();
    position.placementAnchor = openBelow ? 0.0F : 1.0F;
    position.rel = openBelow ? 1.0F : 0.0F;
    position.abs = 0;
    SizeRule size = layout->ySize;
    size.abs = std::min(need, room);
    (void)mListBox->SetAxisPlacement(1, position, false, size);
    (void)mListBox->SnapHeightToRows();
}

void LComboBox::SelectItemOfText()
{
    const WideString& text = GetText();
    const std::uint32_t count = mListBox->GetRowCount();
    std::uint32_t found = 0;
    for (std::uint32_t row = 0; row < count; ++row) {
        if (mListBox->GetRowText(row) == text) {
            found = row;
            break;
        }
    }
    if (count != 0) {
        (void)mListBox->SelectRange(found, -1, true);
        (void)mListBox->EnsureRowVisible(found);
    }
}

ZVRESULT LComboBox::SetItemCount(std::int32_t count)
{
    if (!mListBox) {
        return ZV_E_FAIL;
    }
    const RCPtr<LControl> self(this);
    const std::int32_t result = mListBox->SetRowCount(static_cast<std::uint32_t>(std::max(count, 0)));
    if (mSelectedIndex >= count) {
        (void)SetSelectedIndex(-1);
    }
    // Only the list's size and place follow: opening again would announce the opening again, and a subscriber
    // that refreshes the items there would come back here without end.
    if (IsDropDownOpen()) {
        PlaceDropDown();
    }
    return result;
}

std::int32_t LComboBox::SetSelectedIndex(std::int32_t index)
{
    if (!mListBox) {
        mSelectedIndex = -1;
        return -1;
    }
    const RCPtr<LControl> self(this);
    if (index < 0) {
        mSelectedIndex = -1;
        mListBox->ClearSelection();
        return -1;
    }
    const std::int32_t selected = mListBox->SelectRange(static_cast<std::uint32_t>(index), -1, true);
    const bool changed = selected != mSelectedIndex;
    mSelectedIndex = selected < 0 ? -1 : selected;
    if (selected < 0) {
        return -1;
    }
    const WideString text = TextOf(GetItem(selected));
    (void)ApplyText(text, true);
    if (mTextBox) {
        (void)mTextBox->SetText(text);
    }
    if (changed) {
        SendNewNotification(*this, L"NID_SELECTION_CHANGE", nullptr);
    }
    return mSelectedIndex;
}

std::uint32_t LComboBox::GetStateLook()
{
    using namespace ConditionMask;
    const std::uint32_t conditions = GetConditions();
    const bool hover = (conditions & kHover) != 0;
    const bool focus = (conditions & (kHasFocus | kContainsFocus)) != 0;
    if (!IsEnabled(true)) {
        return kDisabledLook;
    }
    if (IsDropDownOpen()) {
        return hover ? kDroppedDownHoverLook : kDroppedDownLook;
    }
    return (hover ? 2u : 0u) + (focus ? 1u : 0u);
}

ZVRESULT LComboBox::UpdateLook()
{
    // A skin with fewer looks keeps the one it shows.
    (void)SelectLook(GetStateLook());
    return ZV_S_OK;
}

std::int32_t LComboBox::AddItem(const WideString& text)
{
    const std::int32_t end = mListBox ? static_cast<std::int32_t>(mListBox->GetRowCount()) : 0;
    return InsertItem(end, LStringWrapper::Create(text));
}

std::int32_t LComboBox::InsertItem(std::int32_t index, const RCPtr<LTaggableObject>& data)
{
    if (!data) {
        return ZV_E_INVALIDARG;
    }
    if (!mListBox) {
        return ZV_E_FAIL;
    }
    if (index < 0) {
        return ZV_E_INVALIDARG;
    }
    const RCPtr<LControl> self(this);
    const std::int32_t row = mListBox->InsertRowWithData(static_cast<std::uint32_t>(index), data);
    if (row < 0) {
        return row;
    }
    if (row > mSelectedIndex) {
        if (mSelectedIndex < 0 && data->ToString() == GetText()) {
            (void)SetSelectedIndex(row);
        }
    } else {
        ++mSelectedIndex;
    }
    // The open list may have outgrown its side of the combo.
    if (IsDropDownOpen()) {
        PlaceDropDown();
    }
    return row;
}

RCPtr<LTaggableObject> LComboBox::GetItem(std::int32_t index) const
{
    if (!mListBox || index < 0 || static_cast<std::uint32_t>(index) >= mListBox->GetRowCount()) {
        return nullptr;
    }
    return mListBox->GetRowOrEmpty(static_cast<std::uint32_t>(index)).data;
}

ZVRESULT LComboBox::SetText(const WideString& text)
{
    if (!ApplyText(text, true)) {
        return ZV_S_FALSE;
    }
    const RCPtr<LControl> self(this);
    const std::int32_t row = mListBox ? mListBox->FindRowByText(text, false) : -1;
    (void)SetSelectedIndex(row);
    return ZV_S_OK;
}

ZVRESULT LComboBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return ZV_S_FALSE;
    }
    const std::uint32_t code = key->GetKey().code;
    if (!IsDropDownOpen()) {
        if (code == kDownPressed || code == kReturnPressed) {
            (void)ShowDropDown(true);
            return ZV_S_OK;
        }
    } else if (code == kEscapePressed) {
        (void)mListBox->SetVisible(false);
        return ZV_S_OK;
    }
    return ZV_S_FALSE;
}

void LComboBox::ProcessHotKey(const RCPtr<LKeyParam>& key)
{
    if (key && key->GetKey().code == kEscapePressed && mListBox) {
        (void)mListBox->SetVisible(false);
        return;
    }
    // Copy, paste and the window's other hot keys still work in the text box and the open list.
    LDropDownControl::ProcessHotKey(key);
}

ZVRESULT LComboBox::Initialize()
{
    if (Failed(LDropDownControl::Initialize())) {
        return ZV_E_FAIL;
    }
    mListBox = ChildAs<LListBox>(*this, L"listBox");
    if (!mListBox) {
        return ZV_E_FAIL;
    }
    mHandler = new LNotificationHandler<LComboBox>(this);
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LComboBox::OnListVisibilityChange, mListBox,
                                            L"NID_VISIBLITY_CONDITION_CHANGE", 0));
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LComboBox::OnItemActivated, mListBox, L"NID_ITEM_ACTIVATED", 0));
    mTextBox = ChildAs<LTextBox>(*this, L"textBox");
    if (mTextBox) {
        ZV_THROW_IF_FAILED(
            mHandler->AddHandler(&LComboBox::ForwardTextBoxNotification, mTextBox, kValidatingId, 0));
        ZV_THROW_IF_FAILED(mHandler->AddHandler(&LComboBox::OnTextBoxValidated, mTextBox, kValidatedId, 0));
        ZV_THROW_IF_FAILED(
            mHandler->AddHandler(&LComboBox::ForwardTextBoxNotification, mTextBox, kTextChangeId, 0));
        ZV_THROW_IF_FAILED(mHandler->AddHandler(&LComboBox::OnTextBoxFocusChange, mTextBox,
                                                L"NID_HAS_FOCUS_CONDITION_CHANGE", 0));
    }
    (void)mListBox->SetTrackItems(true);
    (void)mListBox->SetVisible(false);
    if (const RCPtr<LStringTable> table = GetStringTable()) {
        // A table without items leaves the list as the skin made it.
        (void)mListBox->LoadItemsFromStringTable(table);
    }
    const std::int32_t initial = mInitialSelectedIndex;
    if (initial >= 0 && static_cast<std::uint32_t>(initial) < mListBox->GetRowCount() &&
        mListBox->SelectRange(static_cast<std::uint32_t>(initial), -1, true) >= 0) {
        (void)LDropDownControl::SetText(TextOf(GetItem(initial)));
        mSelectedIndex = initial;
    }
    return ZV_S_OK;
}

ZVRESULT LComboBox::ProcessCreateParams()
{
    const ZVRESULT result = LDropDownControl::ProcessCreateParams();
    mInitialSelectedIndex = 0;
    const RCPtr<LControlDescriptor>& descriptor = GetControlDescriptor();
    WideString text;
    if (descriptor && descriptor->GetCreateParams() &&
        descriptor->GetCreateParams()->GetString(L"INITIAL_SELECTED_INDEX", text)) {
        mInitialSelectedIndex = ReadInteger(text);
    }
    return result;
}

ZVRESULT LComboBox::OnInitialized()
{
    if (mListBox) {
        (void)mListBox->SetVisible(false);
    }
    // Without a weighted look the control would neither show nor be hit until its state first changed.
    (void)UpdateLook();
    return UpdateDropDownSizeLimits();
}

ZVRESULT LComboBox::UpdateDropDownSizeLimits()
{
    const RCPtr<LLayoutDescriptor> layout = mListBox ? mListBox->GetLayoutDescriptor() : nullptr;
    if (!layout) {
        return ZV_E_FAIL;
    }
    const LLayoutDescriptor& skin = *SkinLayoutOf(*mListBox);
    if (IsOpenLimit(skin.xMinimum) || IsOpenLimit(skin.xMaximum)) {
        const LimitRule minimum = IsOpenLimit(skin.xMinimum)
                                      ? AbsoluteLimit(static_cast<double>(RoundToLong(GetSize().x)))
                                      : layout->xMinimum;
        (void)mListBox->SetAxisSizeLimits(0, minimum, layout->xMaximum);
    }
    if (IsOpenLimit(skin.yMinimum) || IsOpenLimit(skin.yMaximum)) {
        const LimitRule minimum =
            IsOpenLimit(skin.yMinimum) ? AbsoluteLimit(mListBox->GetRowHeight()) : layout->yMinimum;
        // Until it opens, where it learns the room it has, a list without a maximum from the skin is held to one
        // row: none of its rows is in sight, and a list fitted to all of them makes a row control for each.
        const LimitRule maximum = IsOpenLimit(skin.yMaximum)
                                      ? AbsoluteLimit(std::max<double>(mListBox->GetRowHeight(), minimum.abs))
                                      : layout->yMaximum;
        (void)mListBox->SetAxisSizeLimits(1, minimum, maximum);
    }
    if (layout->yMaximum.abs > 0) {
        (void)mListBox->SnapHeightToRows();
    }
    return ZV_S_OK;
}

WideString LComboBox::GetToolTipText() const
{
    return IsTextClipped() ? GetText() : LDropDownControl::GetToolTipText();
}

std::int32_t LComboBox::OnListVisibilityChange(const ConstRCPtr<LNotificationDistributor>&,
                                               const RCPtr<LNotification>&)
{
    (void)UpdateLook();
    return 0;
}

std::int32_t LComboBox::OnItemActivated(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)SetSelectedIndex(mListBox->GetCaretRow());
    return 1;
}

std::int32_t LComboBox::OnTextBoxValidated(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    const ConstRCPtr<LTextValidationParams> validation(notification->GetParameter());
    if (validation) {
        (void)SetSelectedIndex(mListBox->SelectRowByText(validation->GetText(), -1, false));
    }
    return ForwardTextBoxNotification(sender, notification);
}

std::int32_t LComboBox::OnTextBoxFocusChange(const ConstRCPtr<LNotificationDistributor>&,
                                             const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    if (conditions && TurnedOn(*conditions, ConditionMask::kHasFocus)) {
        (void)mListBox->SetVisible(false);
    }
    return 0;
}

std::int32_t LComboBox::ForwardTextBoxNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                   const RCPtr<LNotification>& notification)
{
    SendNewNotification(*this, notification->GetId(), notification->GetParameter());
    return 1;
}

bool LComboBox::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LDropDownControl::OfferToNotificationHandlers(sender, notification);
}

void LComboBox::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                          const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LDropDownControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
