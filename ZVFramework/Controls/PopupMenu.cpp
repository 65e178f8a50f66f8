// Creation of a popup menu, its menu, and the rows that show the menu's items.
#include "Controls/PopupMenu.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/MenuDescriptorBuilder.h"
#include "ControlBase/ScopedFlag.h"
#include "ControlBase/StringTable.h"
#include "Controls/CheckedListBoxItem.h"
#include "Notification/ConditionsParam.h"
#include "Notification/NotificationQueue.h"
#include "Renderer/RenderingServices.h"
#include "System/GlobalHotKeyManager.h"
#include "System/ShortcutText.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ZV {

namespace {

const wchar_t kCheckBoxName[] = L"checkBox";
const wchar_t kHotKeyLabelName[] = L"hotKeyLabel";
// Between the label and the shortcut text.
constexpr std::int32_t kTextGap = 20;

// The check box's looks: nothing, a check, and a check on a row under the pointer.
constexpr std::uint32_t kUncheckedLook = 0;
constexpr std::uint32_t kCheckedLook = 7;
constexpr std::uint32_t kCheckedHoverLook = 8;

std::int32_t Truncated(double value)
{
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}

double RightEdge(const LControl& control)
{
    return control.GetPosition().x + control.GetSize().x;
}

bool HasSubmenu(const LMenuItemDescriptor& item)
{
    return item.GetItems().GetCount() != 0;
}

// An unset limit gives no size: no control to measure against, and no extent.
bool IsUnset(const LimitRule& limit)
{
    return !limit.toControl && (limit.abs == 0 || std::isnan(limit.abs));
}

}  // namespace

RCPtr<LPopupMenu> GetPopupMenu(const LControl& control)
{
    return RCPtr<LPopupMenu>(control.FindChildByName(L"popupMenu"));
}

ZVRESULT LPopupMenu::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const ZVRESULT result = LCheckedListBox::ApplyDescriptor(descriptor);
    if (mMenu) {
        (void)UpdateRowsFrom(0);
        (void)LayOutItems();
    }
    return result;
}

ZVRESULT LPopupMenu::Initialize()
{
    if (Failed(LCheckedListBox::Initialize())) {
        return ZV_E_FAIL;
    }
    mOwnHandler = new LNotificationHandler<LPopupMenu>(this);
    // The list as the body of a menu: the pointer selects, a release chooses, the height fits the rows.
    (void)SetTrackItems(true);
    SetUpSizeLimits();
    SetFocusRoot(true);
    SetCheckBoxClickThrough(true);
    const RCPtr<LStringTable> table = GetStringTable();
    if (!table) {
        return ZV_S_FALSE;
    }
    StringPairArray entries;
    table->GetAllEntries(entries);
    const RCPtr<LMenuDescriptor> menu = CreateMenuDescriptor(entries);
    return menu ? SetMenu(menu) : ZV_S_FALSE;
}

ZVRESULT LPopupMenu::OnInitialized()
{
    (void)LCheckedListBox::OnInitialized();
    (void)SetVisible(false);
    SetUpSizeLimits();
    return ZV_S_OK;
}

void LPopupMenu::ProcessRootWindowAquired()
{
    LCheckedListBox::ProcessRootWindowAquired();
    if (mMenu && Succeeded(FillShortcutTexts())) {
        (void)LayOutItems();
    }
}

void LPopupMenu::SetUpSizeLimits()
{
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (!layout) {
        return;
    }
    LimitRule xMinimum = layout->xMinimum;
    if (IsUnset(xMinimum)) {
        xMinimum = LimitRule();
        xMinimum.abs = std::trunc(GetSize().x);
    }
    LimitRule yMinimum = layout->yMinimum;
    if (IsUnset(yMinimum)) {
        yMinimum = LimitRule();
        yMinimum.abs = GetRowHeight();
    }
    (void)SetAxisSizeLimits(0, xMinimum, layout->xMaximum);
    (void)SetAxisSizeLimits(1, yMinimum, layout->yMaximum);
    mExtraRowWidth = -1;
}

ZVRESULT LPopupMenu::SetMenu(const RCPtr<LMenuDescriptor>& menu)
{
    if (!menu) {
        return ZV_E_INVALIDARG;
    }
    const RCPtr<LControl> self(this);
    CloseSubmenus();
    mMenu = menu->Clone();
    (void)FillShortcutTexts();
    return LayOutItems();
}

ZVRESULT LPopupMenu::SetMenuReceiver(const ConstRCPtr<LNotificationQueue>& queue)
{
    if (!queue) {
        return ZV_E_INVALIDARG;
    }
    if (mMenuReceiver) {
        return ZV_E_FAIL;
    }
    // The queue's receiver posts what it is handed; it changes nothing of the queue it is reached through.
    mMenuReceiver = const_cast<LNotificationReceiver*>(queue->GetPostingReceiver().Get());
    if (mMenu) {
        (void)FillShortcutTexts();
        (void)LayOutItems();
    }
    return ZV_S_OK;
}

RCPtr<LNotificationReceiver> LPopupMenu::GetMenuReceiver() const
{
    if (mMenuReceiver) {
        return mMenuReceiver;
    }
    if (const RCPtr<LPopupMenu> parentPopup = GetParentPopup()) {
        return parentPopup->GetMenuReceiver();
    }
    // A context menu hands its items to the control whose menu it is, which routes them as its hot keys would.
    return RCPtr<LNotificationReceiver>(GetParent().Get());
}

RCPtr<LPopupMenu> LPopupMenu::GetParentPopup() const
{
    return RCPtr<LPopupMenu>(GetParent());
}

RCPtr<LMenuItemDescriptor> LPopupMenu::GetItem(std::uint32_t row) const
{
    if (!mMenu || row >= mMenu->GetItems().GetCount()) {
        return nullptr;
    }
    return mMenu->GetItems().GetData()[row];
}

ZVRESULT LPopupMenu::LayOutItems()
{
    if (!mMenu || mLayingOut) {
        return ZV_S_FALSE;
    }
    const ScopedFlag layingOut(mLayingOut);
    const RCPtrArray<LMenuItemDescriptor>& items = mMenu->GetItems();
    (void)SetRowCount(items.GetCount());
    if (items.GetCount() == 0 || GetRowControlCount() == 0) {
        return ZV_S_FALSE;
    }
    const RCPtr<LListBoxItem> last = GetRowControl(GetRowControlCount() - 1);
    if (!last) {
        return ZV_S_FALSE;
    }
    if (mExtraRowWidth < 0) {
        MeasureRowMargins(*last);
    }
    MeasureSeparatorHeight(*last);
    mSeparatorCount = 0;
    std::int32_t widest = 0;
    for (std::uint32_t row = 0; row < items.GetCount(); ++row) {
        const RCPtr<LMenuItemDescriptor>& item = items.GetData()[row];
        SetRow(row, item, 0.0, HasSubmenu(*item), item->IsSeparator());
        SetItemChecked(row, item->GetChecked() != 0);
        mSeparatorCount += item->IsSeparator() ? 1 : 0;
        widest = std::max(widest, GetRowWidth(row));
    }
    const RCPtr<LControl> corner = FindChildByName(L"corner");
    const RCPtr<LControl> edge = corner ? corner : RCPtr<LControl>(GetVerticalBar());
    const double width = widest + (edge ? edge->GetSize().x : 0.0);
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (layout) {
        SizeRule size;
        size.abs = width;
        (void)SetAxisPlacement(0, layout->xPosition, layout->xIsDocked, size);
    }
    (void)FitHeight(GetContentHeight());
    return UpdateRowsFrom(0);
}

void LPopupMenu::MeasureRowMargins(const LControl& row)
{
    const RCPtr<LControl> checkBox = row.FindChildByName(kCheckBoxName);
    const RCPtr<LControl> hotKeyLabel = row.FindChildByName(kHotKeyLabelName);
    const double rowWidth = row.GetSize().x;
    const std::int32_t left = checkBox ? Truncated(RightEdge(*checkBox)) : 0;
    const std::int32_t right = hotKeyLabel ? Truncated(rowWidth - RightEdge(*hotKeyLabel)) : 0;
    mExtraRowWidth = left + kTextGap + right;
}

void LPopupMenu::MeasureSeparatorHeight(LControl& row)
{
    auto* item = dynamic_cast<LListBoxItem*>(&row);
    if (item == nullptr) {
        return;
    }
    const WideString text = item->GetText();
    const bool separator = item->IsSeparator();
    item->SetSeparator(true);
    (void)item->SetText(WideString());
    (void)item->ApplyLayout();
    mSeparatorHeight = Truncated(item->GetSize().y);
    item->SetSeparator(separator);
    (void)item->SetText(text);
    (void)item->ApplyLayout();
}

std::int32_t LPopupMenu::GetRowWidth(std::uint32_t row)
{
    const RCPtr<LMenuItemDescriptor> item = GetItem(row);
    const RCPtr<LMeasurementRenderer> measurer = GetRenderingServices().GetMeasurementRenderer();
    if (!item || !measurer) {
        return 0;
    }
    const RCPtr<LListBoxItem> rowControl = GetRowControl(0);
    const RCPtr<LControl> hotKeyLabel = rowControl ? rowControl->FindChildByName(kHotKeyLabelName) : nullptr;
    const double label = measurer->MeasureText(item->GetLabel(), rowControl ? rowControl->GetFont() : GetFont()).width;
    const double shortcut =
        item->GetShortcutText().IsEmpty()
            ? 0.0
            : measurer->MeasureText(item->GetShortcutText(), hotKeyLabel ? hotKeyLabel->GetFont() : GetFont()).width;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{mExtraRowWidth} + RoundToLong(label + shortcut), std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
}

std::int32_t LPopupMenu::GetContentHeight()
{
    const std::int64_t separators = std::min<std::int64_t>(mSeparatorCount, GetRowCount());
    const std::int64_t height =
        (std::int64_t{GetRowCount()} - separators) * GetRowHeight() + separators * mSeparatorHeight;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(height, 0, std::numeric_limits<std::int32_t>::max()));
}

bool LPopupMenu::IsRowSelectable(std::uint32_t row)
{
    const RCPtr<LMenuItemDescriptor> item = GetItem(row);
    return item && item->GetEnabled() != 0 && !item->IsSeparator();
}

ZVRESULT LPopupMenu::CreateRowControl()
{
    const ZVRESULT result = LCheckedListBox::CreateRowControl();
    if (Failed(result) || !mOwnHandler || GetRowControlCount() == 0) {
        return result;
    }
    // Without the subscription the row only sets no status text.
    (void)mOwnHandler->AddHandler(&LPopupMenu::OnRowHoverChange, GetRowControl(GetRowControlCount() - 1),
                                  L"NID_HOVER_CONDITION_CHANGE", 0);
    return result;
}

ZVRESULT LPopupMenu::UpdateRowControl(std::uint32_t row)
{
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (!control) {
        return ZV_S_FALSE;
    }
    const ZVRESULT result = LCheckedListBox::UpdateRowControl(row);
    const RCPtr<LMenuItemDescriptor> item = GetItem(row);
    if (const RCPtr<LControl> hotKeyLabel = control->FindChildByName(kHotKeyLabelName)) {
        (void)hotKeyLabel->SetText(item ? item->GetShortcutText() : WideString());
    }
    // Separators take no pointer, so that the pointer never selects them.
    control->SetEnabled(item && item->GetEnabled() != 0 && !item->IsSeparator());
    if (auto* checkedRow = dynamic_cast<LCheckedListBoxItem*>(control.Get())) {
        std::uint32_t look = kUncheckedLook;
        if (item && item->GetChecked() != 0) {
            const bool hovered = (control->GetConditions() & ConditionMask::kHoverOrHighlighted) != 0;
            look = hovered ? kCheckedHoverLook : kCheckedLook;
        }
        (void)checkedRow->SelectCheckBoxLook(look);
    }
    return result;
}

ZVRESULT LPopupMenu::FillShortcutTexts()
{
    if (!mMenu || !GetMenuReceiver()) {
        return ZV_E_FAIL;
    }
    FillShortcutTexts(*mMenu);
    return ZV_S_OK;
}

void LPopupMenu::FillShortcutTexts(LMenuDescriptor& menu)
{
    const RCPtrArray<LMenuItemDescriptor>& items = menu.GetItems();
    for (std::uint32_t index = 0; index < items.GetCount(); ++index) {
        LMenuItemDescriptor& item = *items.GetData()[index];
        if (HasSubmenu(item)) {
            FillShortcutTexts(item);
        } else if (item.GetShortcutText().IsEmpty() && !item.GetNotificationId().IsEmpty()) {
            item.SetShortcutText(FindShortcutText(item.GetNotificationId()));
        }
    }
}

WideString LPopupMenu::FindShortcutText(const WideString& id) const
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const auto* windowQueue = dynamic_cast<const LNotificationQueue*>(window.Get());
    const ConstRCPtr<LNotificationReceiver> windowReceiver =
        windowQueue ? windowQueue->GetPostingReceiver() : ConstRCPtr<LNotificationReceiver>();
    // The owner's own keys count only for items that go to the owner, not to the window.
    if (GetMenuReceiver().Get() != windowReceiver.Get()) {
        RCPtr<LControl> owner = GetParent();
        while (RCPtr<LPopupMenu>(owner)) {
            owner = owner->GetParent();
        }
        if (owner) {
            const KeyCode key = owner->GetHotKeyCode(id);
            if ((key.code & KeyCode::kNoKey) == 0) {
                return GetShortcutText(key);
            }
        }
    }
    for (const RCPtr<LGlobalHotKeyManager>& hotKeys :
         {window ? window->GetHotKeyManager() : nullptr, GetControlServices().GetHotKeyManager()}) {
        const Array<KeyCode> keys = hotKeys ? hotKeys->GetHotKeys(id) : Array<KeyCode>();
        if (keys.GetCount() != 0) {
            return GetShortcutText(keys.GetData()[0]);
        }
    }
    return WideString();
}

void LPopupMenu::QueryItemStates()
{
    if (!mMenuItemUpdater) {
        if (auto* owner = dynamic_cast<LControl*>(GetMenuReceiver().Get())) {
            mMenuItemUpdater = owner->GetMenuItemUpdater();
        }
    }
    (void)UpdateRowsFrom(0);
    const ConstRCPtr<LControl> control = mMenuItemUpdater ? mMenuItemUpdater->GetControl() : nullptr;
    if (!control || !mMenu) {
        return;
    }
    // The control answers for its commands; asking changes nothing of it.
    auto& asked = const_cast<LControl&>(*control);
    bool relabelled = false;
    for (std::uint32_t index = mMenu->GetItems().GetCount(); index-- > 0;) {
        const RCPtr<LMenuItemDescriptor> item = mMenu->GetItems().GetData()[index];
        MenuItemInfo known;
        if (HasSubmenu(*item) || item->IsSeparator() || Failed(mMenu->GetItemInfo(index, known))) {
            continue;
        }
        MenuItemInfo state = known;
        // Whatever the answer, the state as the control left it counts.
        (void)asked.IsCommandEnabled(0, index, item->GetNotificationId(), state);
        if (state.enabled == known.enabled && state.checked == known.checked && state.label == known.label) {
            continue;
        }
        item->SetEnabled(state.enabled);
        item->SetChecked(state.checked);
        if (state.label != known.label) {
            item->SetLabel(state.label);
            relabelled = true;
        }
        SetItemChecked(index, state.checked != 0);
        RefreshRow(index);
    }
    if (relabelled) {
        (void)LayOutItems();
    }
}

void LPopupMenu::SetRowHoverStatus(std::int32_t row, bool hovered)
{
    if (!hovered) {
        (void)GetControlServices().ResetStatusText(false);
        return;
    }
    const RCPtr<LMenuItemDescriptor> item = row >= 0 ? GetItem(static_cast<std::uint32_t>(row)) : nullptr;
    if (item && !item->GetToolTip().IsEmpty()) {
        (void)GetControlServices().SetStatusText(item->GetToolTip(), false);
    }
}

std::int32_t LPopupMenu::OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    const auto* control = dynamic_cast<const LControl*>(sender.Get());
    if (!conditions || !control) {
        return 0;
    }
    using ConditionMask::kHoverOrHighlighted;
    const bool was = (conditions->GetPreviousConditions() & kHoverOrHighlighted) != 0;
    const bool is = (conditions->GetCurrentConditions() & kHoverOrHighlighted) != 0;
    const std::int32_t row = GetRowOfControl(control);
    if (row >= 0) {
        // The check mark follows the pointer.
        (void)UpdateRowControl(static_cast<std::uint32_t>(row));
    }
    if (was != is) {
        SetRowHoverStatus(row, is);
    }
    // The list selects the row as well.
    return 0;
}

bool LPopupMenu::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LCheckedListBox::OfferToNotificationHandlers(sender, notification);
}

void LPopupMenu::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LCheckedListBox::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
