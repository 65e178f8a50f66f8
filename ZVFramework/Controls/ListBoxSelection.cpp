// The selection of a list, activation, and what the mouse and the keys do to them.
#include "Controls/ListBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ListBoxParams.h"
#include "Controls/ScrollBar.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"

#include <algorithm>

namespace ZV {

namespace {

// Keys compared exactly: the arrows with and without Shift.
constexpr std::uint32_t kUp = 0x20260000;
constexpr std::uint32_t kShiftUp = 0x22260000;
constexpr std::uint32_t kDown = 0x20280000;
constexpr std::uint32_t kShiftDown = 0x22280000;
// Keys compared as hot keys are.
constexpr std::uint32_t kLeft = 0x20250000;
constexpr std::uint32_t kRight = 0x20270000;
constexpr std::uint32_t kPageUp = 0x20210000;
constexpr std::uint32_t kPageDown = 0x20220000;
constexpr std::uint32_t kHome = 0x20240000;
constexpr std::uint32_t kEnd = 0x20230000;
constexpr std::uint32_t kReturn = 0x200D0000;

// A list that drops down from a combo: a release off the combo and the list closes it.
bool DropsDownFrom(const LControl* parent)
{
    return dynamic_cast<const LComboBox*>(parent) != nullptr || dynamic_cast<const LComboMenu*>(parent) != nullptr;
}

constexpr std::int32_t kExtendedSelection = 1;

bool IsSelected(double value)
{
    return value >= 0.5;
}

bool Matches(const KeyCode& key, std::uint32_t code)
{
    KeyCode other;
    other.code = code;
    return key.Matches(other);
}

void HandKeyTo(const RCPtr<LScrollbar>& bar, const RCPtr<LKeyParam>& key)
{
    if (bar) {
        bar->OnKey(key);
    }
}

}  // namespace

std::int32_t LListBox::SelectRange(std::uint32_t anchor, std::int32_t end, bool exclusive)
{
    const std::uint32_t count = GetRowCount();
    const std::uint32_t last = end < 0 ? anchor : static_cast<std::uint32_t>(end);
    if (anchor >= count || last >= count) {
        return ZV_E_INVALIDARG;
    }
    if (anchor == last && IsSelected(GetRow(anchor)->selected) && (!exclusive || mSelectedCount == 1)) {
        (void)EnsureRowVisible(anchor);
        return static_cast<std::int32_t>(anchor);
    }
    mAnchorRow = static_cast<std::int32_t>(anchor);
    mCaretRow = static_cast<std::int32_t>(last);
    const std::uint32_t low = std::min(anchor, last);
    const std::uint32_t high = std::max(anchor, last);
    bool changed = false;
    if (exclusive) {
        for (std::uint32_t row = count; row-- > 0;) {
            const bool inRange = row >= low && row <= high;
            if (inRange != IsSelected(GetRow(row)->selected)) {
                SetRowSelected(row, inRange ? 1.0 : 0.0);
                changed = true;
            }
        }
    } else {
        const std::int32_t step = last >= anchor ? 1 : -1;
        for (std::int64_t row = anchor; row != last; row += step) {
            mCaretRow = static_cast<std::int32_t>(row);
            if (!IsSelected(GetRow(static_cast<std::uint32_t>(row))->selected)) {
                SetRowSelected(static_cast<std::uint32_t>(row), 1.0);
                changed = true;
            }
        }
        mCaretRow = static_cast<std::int32_t>(last);
        if (!IsSelected(GetRow(last)->selected)) {
            SetRowSelected(last, 1.0);
            changed = true;
        }
    }
    (void)EnsureRowVisible(static_cast<std::uint32_t>(mCaretRow));
    if (changed) {
        SelectionChanged();
    }
    return static_cast<std::int32_t>(anchor);
}

ZVRESULT LListBox::DeselectRow(std::uint32_t row)
{
    const std::uint32_t count = GetRowCount();
    if (row >= count || !IsSelected(GetRow(row)->selected)) {
        return ZV_S_FALSE;
    }
    SetRowSelected(row, 0.0);
    const auto selectedAt = [&](std::int64_t other) {
        return other >= 0 && other < count && IsSelected(GetRow(static_cast<std::uint32_t>(other))->selected);
    };
    const auto index = static_cast<std::int32_t>(row);
    if (mSelectedCount <= 0) {
        mAnchorRow = -1;
        mCaretRow = -1;
    } else if (index == mCaretRow) {
        const bool together = mAnchorRow == mCaretRow;
        if (selectedAt(std::int64_t{index} + 1)) {
            mCaretRow = index + 1;
        } else if (selectedAt(std::int64_t{index} - 1)) {
            mCaretRow = index - 1;
        } else {
            mCaretRow = mAnchorRow;
        }
        if (together) {
            mAnchorRow = mCaretRow;
        }
    } else if (index == mAnchorRow) {
        mAnchorRow = selectedAt(std::int64_t{index} + 1)   ? index + 1
                     : selectedAt(std::int64_t{index} - 1) ? index - 1
                                                            : -1;
    }
    SelectionChanged();
    return ZV_S_OK;
}

void LListBox::ClearSelection()
{
    bool changed = false;
    for (std::uint32_t row = GetRowCount(); row-- > 0;) {
        if (IsSelected(GetRow(row)->selected)) {
            SetRowSelected(row, 0.0);
            changed = true;
        }
    }
    if (changed) {
        SelectionChanged();
    }
}

void LListBox::SetRowSelected(std::uint32_t row, double selected)
{
    if (row >= GetRowCount()) {
        return;
    }
    LListBoxRow& stored = *GetRow(row);
    if (IsSelected(stored.selected) != IsSelected(selected)) {
        mSelectedCount += IsSelected(selected) ? 1 : -1;
    }
    stored.selected = selected;
    (void)UpdateRowControl(row);
}

double LListBox::GetRowSelected(std::uint32_t row) const
{
    return GetRowOrEmpty(row).selected;
}

const Array<std::uint32_t>& LListBox::CollectSelectedRows()
{
    (void)mSelectedRows.SetCount(0);
    for (std::uint32_t row = 0; row < GetRowCount(); ++row) {
        if (IsSelected(GetRow(row)->selected)) {
            (void)mSelectedRows.AddItem(row);
        }
    }
    return mSelectedRows;
}

void LListBox::SelectionChanged()
{
    OnSelectionChanged();
    if (!mTrackItems) {
        SendNewNotification(*this, L"NID_SELECTION_CHANGE", nullptr);
    }
}

void LListBox::ActivateRow(std::uint32_t row)
{
    if (row >= GetRowCount() || !IsRowSelectable(row)) {
        return;
    }
    // Receivers may let the last reference to the list go.
    const RCPtr<LControl> self(this);
    OnItemInvoked();
    if (mTrackItems) {
        (void)SetVisible(false);
    }
    if (GetParent()) {
        SendNewNotification(*this, L"NID_ITEM_ACTIVATED", nullptr);
    }
}

void LListBox::SetMultiSelect(bool multiSelect, std::int32_t selectionMode)
{
    mMultiSelect = multiSelect;
    mSelectionMode = selectionMode;
}

ZVRESULT LListBox::SetTrackItems(bool trackItems)
{
    for (std::uint32_t index = mRowControls.GetCount(); index-- > 0;) {
        if (const RCPtr<LListBoxItem> control = GetRowControl(index)) {
            control->SetPassThrough(trackItems);
        }
    }
    mTrackItems = trackItems;
    return ZV_S_OK;
}

void LListBox::ToggleRow(std::int32_t row)
{
    if (IsSelected(GetRowSelected(static_cast<std::uint32_t>(row)))) {
        (void)DeselectRow(static_cast<std::uint32_t>(row));
    } else {
        (void)SelectRange(static_cast<std::uint32_t>(row), row, false);
    }
}

std::int32_t LListBox::OnRowMouseDown(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LMouseButtonParam> press(notification->GetParameter());
    if (mTrackItems || !press || press->GetButton() != MouseButton::kLeft) {
        return 1;
    }
    const RCPtr<LControl> self(this);
    const std::int32_t row = GetRowOfControl(dynamic_cast<const LControl*>(sender.Get()));
    if (row < 0 || static_cast<std::uint32_t>(row) >= GetRowCount()) {
        return 1;
    }
    const std::uint32_t modifiers = press->GetModifiers();
    const bool ctrl = (modifiers & ModifierMask::kControl) != 0;
    const bool shift = (modifiers & ModifierMask::kShift) != 0;
    if (!mMultiSelect) {
        (void)SelectRange(static_cast<std::uint32_t>(row), row, true);
    } else if (mSelectionMode != kExtendedSelection) {
        ToggleRow(row);
    } else if (!ctrl) {
        // Without an anchor a Shift click starts the range at the row itself.
        const std::int32_t anchor = shift && mAnchorRow >= 0 ? mAnchorRow : row;
        if (shift) {
            mCaretRow = row;
        }
        (void)SelectRange(static_cast<std::uint32_t>(anchor), row, true);
    } else if (shift) {
        mAnchorRow = row;
        mCaretRow = row;
        (void)SelectRange(static_cast<std::uint32_t>(row), row, false);
    } else {
        ToggleRow(row);
    }
    if (press->IsDoubleClick()) {
        SendNewNotification(*this, L"NID_ITEM_DOUBLE_CLICKED", nullptr);
    }
    return 1;
}

std::int32_t LListBox::OnRowHoverConditionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                 const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    const auto* control = dynamic_cast<const LControl*>(sender.Get());
    if (mTrackItems && conditions && control && control->IsEnabled(true)) {
        using ConditionMask::kHoverOrHighlighted;
        const bool entered = (conditions->GetCurrentConditions() & kHoverOrHighlighted) != 0 &&
                             (conditions->GetPreviousConditions() & kHoverOrHighlighted) == 0;
        const std::int32_t row = GetRowOfControl(control);
        if (entered && row >= 0) {
            const RCPtr<LControl> self(this);
            (void)SelectRange(static_cast<std::uint32_t>(row), -1, true);
        }
    }
    return ForwardRowConditions(sender, notification, L"NID_ITEM_HOVER_CONDITION_CHANGE");
}

std::int32_t LListBox::OnRowLeftDragConditionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                    const RCPtr<LNotification>& notification)
{
    return ForwardRowConditions(sender, notification, L"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE");
}

std::int32_t LListBox::ForwardRowConditions(const ConstRCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>& notification, const wchar_t* id)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    const auto* control = dynamic_cast<const LControl*>(sender.Get());
    if (!conditions || !control || !control->IsEnabled(true)) {
        return 1;
    }
    const bool hover = (control->GetConditions() & ConditionMask::kHover) != 0;
    SendNewNotification(*this, id,
                        LItemConditionsParam::Create(*conditions, GetRowOfControl(control),
                                                     control->GetActiveLookIndex(), hover));
    return 1;
}

void LListBox::OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer)
{
    LScrollView::OnMouseMoved(pointer);
    using namespace ConditionMask;
    const std::uint32_t conditions = GetConditions();
    if (!mTrackItems || !pointer || (conditions & kCapture) == 0 ||
        (conditions & (kLeftPressed | kLeftDragging)) == 0) {
        return;
    }
    const std::int32_t row = HitTestRow({static_cast<double>(pointer->GetX()), static_cast<double>(pointer->GetY())});
    if (row < 0) {
        ClearSelection();
    } else if (IsRowSelectable(static_cast<std::uint32_t>(row))) {
        (void)SelectRange(static_cast<std::uint32_t>(row), -1, true);
    }
}

void LListBox::OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release)
{
    LScrollView::OnLeftButtonUp(release);
    if (!mTrackItems || !release || !GetParent()) {
        return;
    }
    const PointT<double> point(static_cast<double>(release->GetX()), static_cast<double>(release->GetY()));
    const std::int32_t row = HitTestRow(point);
    if (row >= 0) {
        ActivateRow(static_cast<std::uint32_t>(row));
        return;
    }
    HideOnReleaseOutside(point);
}

bool LListBox::LiesOn(const LControl& control, const PointT<double>& point)
{
    const PointT<double> size = control.GetSize();
    return point.x >= 0 && point.x < size.x && point.y >= 0 && point.y < size.y;
}

void LListBox::HideOnReleaseOutside(const PointT<double>& point)
{
    const RCPtr<LControl> parent = GetParent();
    if (!parent || !DropsDownFrom(parent.Get()) || LiesOn(*this, point)) {
        return;
    }
    PointT<double> inParent = point;
    parent->MapPointFromControl(*this, inParent);
    // A release over the combo leaves the list open: the click that opened it ends there.
    if (!LiesOn(*parent, inParent)) {
        (void)SetVisible(false);
    }
}

ZVRESULT LListBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return ZV_S_FALSE;
    }
    const RCPtr<LControl> self(this);
    const KeyCode& code = key->GetKey();
    const auto count = static_cast<std::int64_t>(GetRowCount());
    // The next selectable row from the caret, one way or the other; -1 when none.
    const auto nextRow = [&](int direction) -> std::int64_t {
        const std::int64_t from = std::int64_t{mCaretRow} + direction;
        if (from < 0 || from >= count) {
            return -1;
        }
        for (std::int64_t row = from; row >= 0 && row < count; row += direction) {
            if (IsRowSelectable(static_cast<std::uint32_t>(row))) {
                return row;
            }
        }
        return -1;
    };
    const auto moveCaret = [&](int direction, bool extend) {
        const std::int64_t row = nextRow(direction);
        if (row < 0) {
            return;
        }
        if (extend && mMultiSelect) {
            const std::int64_t anchor = mAnchorRow >= 0 ? mAnchorRow : row;
            (void)SelectRange(static_cast<std::uint32_t>(anchor), static_cast<std::int32_t>(row), false);
        } else {
            (void)SelectRange(static_cast<std::uint32_t>(row), -1, true);
        }
    };
    switch (code.code) {
    case kUp:
        moveCaret(-1, false);
        return ZV_S_OK;
    case kShiftUp:
        moveCaret(-1, true);
        return ZV_S_OK;
    case kDown:
        moveCaret(1, false);
        return ZV_S_OK;
    case kShiftDown:
        moveCaret(1, true);
        return ZV_S_OK;
    default:
        break;
    }
    if (Matches(code, kLeft) || Matches(code, kRight)) {
        HandKeyTo(GetHorizontalBar(), key);
    } else if (Matches(code, kPageUp) || Matches(code, kPageDown)) {
        HandKeyTo(GetVerticalBar(), key);
    } else if (Matches(code, kHome) || Matches(code, kEnd)) {
        HandKeyTo(GetHorizontalBar(), key);
        HandKeyTo(GetVerticalBar(), key);
    } else if (Matches(code, kReturn)) {
        if (mCaretRow >= 0) {
            ActivateRow(static_cast<std::uint32_t>(mCaretRow));
        }
    } else {
        return ZV_S_FALSE;
    }
    return ZV_S_OK;
}

}  // namespace ZV
