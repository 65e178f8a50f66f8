// The chain of a popup menu and its submenus: opening and closing submenus, the pause before one opens, choosing an
// item, placing a context menu, and what the keys and the mouse do to the chain.
#include "Controls/PopupMenu.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/NotificationSending.h"
#include "ControlBase/ScopedFlag.h"
#include "Controls/ComboMenu.h"
#include "Controls/MenuBar.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"
#include "Renderer/RenderingServices.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr std::uint32_t kLeft = 0x20250000;
constexpr std::uint32_t kRight = 0x20270000;
constexpr std::uint32_t kEscape = 0x201B0000;
constexpr std::uint32_t kReturn = 0x200D0000;

bool Matches(const KeyCode& key, std::uint32_t code)
{
    KeyCode other;
    other.code = code;
    return key.Matches(other);
}

bool HasSubmenu(const LMenuItemDescriptor* item)
{
    return item != nullptr && item->GetItems().GetCount() != 0;
}

// Docked at an absolute position in the parent, so that the parent's scrolling leaves it where it is.
PositionRule AbsolutePosition(double position)
{
    PositionRule rule;
    rule.toControlKind = kPositionToParent;
    rule.abs = position;
    return rule;
}

}  // namespace

ZVRESULT LPopupMenu::OpenSubmenu(std::uint32_t row)
{
    const RCPtr<LMenuItemDescriptor> item = GetItem(row);
    if (!HasSubmenu(item.Get())) {
        return ZV_E_INVALIDARG;
    }
    const RCPtr<LControl> self(this);
    CloseSubmenus();
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    const RCPtr<LLayoutDescriptor> ownLayout = GetLayoutDescriptor();
    if (!factory || !GetControlDescriptor() || !ownLayout) {
        return ZV_E_FAIL;
    }
    // The submenu closed last must have gone, so that the name is free.
    (void)ProcessScheduledRemovals();
    const RCPtr<LControl> created = factory->CreateControl(
        LControlFactory::DeriveControlDescriptor(GetControlDescriptor(), new LLayoutDescriptor(*ownLayout),
                                                 L"submenu"),
        self);
    const RCPtr<LPopupMenu> submenu(created);
    if (!submenu || submenu->GetParent().Get() != this) {
        if (created) {
            created->Detach();
        }
        return ZV_E_FAIL;
    }
    mOpenSubmenu = submenu;
    mOpenSubmenuItem = item;
    submenu->mMenuReceiver = mMenuReceiver;
    submenu->mMenuItemUpdater = mMenuItemUpdater;
    submenu->mTransient = mTransient;
    // The item is the submenu's menu itself: what the submenu learns of its items stays in this menu.
    submenu->mMenu = item;
    (void)submenu->FillShortcutTexts();
    (void)submenu->LayOutItems();

    const RectT<double> rowRect = GetRowControlRect(row);
    const PointT<double> origin = GetAbsoluteOrigin();
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RectT<zlong> bounds = window ? window->GetScreenBounds() : RectT<zlong>();
    const PointT<double> size = submenu->GetSize();
    const double rightOfRow = RoundCoordinate(rowRect.x + rowRect.width);
    double x = rightOfRow;
    if (origin.x + x + size.x > bounds.width) {
        x = -size.x;
        if (origin.x + x < 0) {
            x = rightOfRow;
        }
    }
    double y = rowRect.y;
    if (origin.y + y + size.y > bounds.height) {
        y = bounds.height - origin.y - size.y;
    }
    if (origin.y + y < 0) {
        y = 0;
    }
    const RCPtr<LLayoutDescriptor> layout = submenu->GetLayoutDescriptor();
    (void)submenu->SetAxisPlacement(0, AbsolutePosition(x), true, layout->xSize);
    (void)submenu->SetAxisPlacement(1, AbsolutePosition(y), true, layout->ySize);
    (void)submenu->SetVisible(true);
    return ZV_S_OK;
}

void LPopupMenu::CloseSubmenus()
{
    CancelHoverTimer();
    if (!mOpenSubmenu) {
        return;
    }
    const RCPtr<LControl> self(this);
    const RCPtr<LPopupMenu> submenu = mOpenSubmenu;
    mOpenSubmenu = nullptr;
    mOpenSubmenuItem = nullptr;
    const ScopedFlag closing(mClosingSubmenu);
    submenu->CloseSubmenus();
    (void)submenu->SetVisible(false);
    (void)ScheduleChildRemoval(submenu);
}

void LPopupMenu::CloseChain()
{
    mClosed = true;
    if (const RCPtr<LPopupMenu> parentPopup = GetParentPopup()) {
        parentPopup->CloseChain();
        return;
    }
    const RCPtr<LControl> self(this);
    CloseSubmenus();
    if (const RCPtr<LControl> parent = GetParent()) {
        (void)parent->ScheduleChildRemoval(self);
    }
}

RCPtr<LPopupMenu> LPopupMenu::GetChainRoot()
{
    RCPtr<LPopupMenu> root(this);
    while (const RCPtr<LPopupMenu> parentPopup = root->GetParentPopup()) {
        root = parentPopup;
    }
    return root;
}

ZVRESULT LPopupMenu::PlaceAtCursor()
{
    const RCPtr<LControl> self(this);
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (window && layout) {
        const PointT<zlong> cursor = window->GetCursorPosition();
        const RectT<zlong> bounds = window->GetScreenBounds();
        const PointT<double> parentOrigin = GetParent() ? GetParent()->GetAbsoluteOrigin() : PointT<double>();
        const double cursorAt[] = {static_cast<double>(cursor.x), static_cast<double>(cursor.y)};
        const double room[] = {static_cast<double>(bounds.width), static_cast<double>(bounds.height)};
        const double size[] = {GetSize().x, GetSize().y};
        const double parentAt[] = {parentOrigin.x, parentOrigin.y};
        for (int axis = 0; axis < 2; ++axis) {
            double position = cursorAt[axis];
            if (position + size[axis] > room[axis]) {
                position = room[axis] - size[axis];
            }
            position = std::max(position, 0.0);
            (void)SetAxisPlacement(axis, AbsolutePosition(position - parentAt[axis]), true,
                                   AxisSize(*layout, axis));
        }
    }
    (void)SetVisible(true);
    if ((GetConditions() & ConditionMask::kHasFocus) == 0) {
        (void)SetFocus(true);
    }
    return ZV_S_OK;
}

void LPopupMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LCheckedListBox::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    using namespace ConditionMask;
    const std::uint32_t now = conditions->GetCurrentConditions();
    const std::uint32_t changed = conditions->GetPreviousConditions() ^ now;
    const bool firstLevel = !GetParentPopup();
    const RCPtr<LControl> self(this);
    if ((changed & kVisible) != 0) {
        if ((now & kVisible) != 0) {
            QueryItemStates();
        } else if (firstLevel) {
            CloseSubmenus();
        }
    }
    constexpr std::uint32_t kFocus = kHasFocus | kContainsFocus;
    if ((changed & kFocus) != 0 && (now & kFocus) == 0 && firstLevel && mTransient && !mClosed &&
        !mClosingSubmenu && IsVisible(false)) {
        CloseChain();
    }
}

void LPopupMenu::TakeFocusOnPress(const RCPtr<LMouseButtonParam>&) {}

void LPopupMenu::StartHoverTimer()
{
    mHoverStamp = static_cast<std::uint32_t>(GetRenderingServices().GetTimeMs());
    if (!mHoverPending) {
        mHoverPending = true;
        (void)BeginIdleNotifications();
    }
}

void LPopupMenu::CancelHoverTimer()
{
    if (mHoverPending) {
        mHoverPending = false;
        (void)EndIdleNotifications();
    }
}

void LPopupMenu::OnIdle(const RCPtr<LNotification>& idle)
{
    LCheckedListBox::OnIdle(idle);
    const auto now = static_cast<std::uint32_t>(GetRenderingServices().GetTimeMs());
    if (!mHoverPending || now - mHoverStamp <= kSubmenuDelayMs) {
        return;
    }
    const RCPtr<LControl> self(this);
    CloseSubmenus();
    const std::int32_t row = GetCaretRow();
    if (row >= 0 && HasSubmenu(GetItem(static_cast<std::uint32_t>(row)).Get())) {
        (void)OpenSubmenu(static_cast<std::uint32_t>(row));
    }
}

bool LPopupMenu::IsPointerOverRow(std::uint32_t row) const
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (!window || !control) {
        return false;
    }
    const PointT<zlong> cursor = window->GetCursorPosition();
    const PointT<double> origin = control->GetAbsoluteOrigin();
    const PointT<double> size = control->GetSize();
    return cursor.x >= origin.x && cursor.x < origin.x + size.x && cursor.y >= origin.y &&
           cursor.y < origin.y + size.y;
}

void LPopupMenu::OnSelectionChanged()
{
    LCheckedListBox::OnSelectionChanged();
    const RCPtr<LControl> self(this);
    if (const RCPtr<LPopupMenu> parentPopup = GetParentPopup()) {
        parentPopup->KeepSubmenuRowSelected();
    }
    const std::int32_t row = GetCaretRow();
    if (row < 0 || GetRowSelected(static_cast<std::uint32_t>(row)) < 0.5) {
        return;
    }
    const RCPtr<LMenuItemDescriptor> item = GetItem(static_cast<std::uint32_t>(row));
    if (!item) {
        return;
    }
    if (item == mOpenSubmenuItem) {
        CancelHoverTimer();
        return;
    }
    // The keys move the selection over submenus without opening them.
    const bool submenuUnderPointer = HasSubmenu(item.Get()) && IsPointerOverRow(static_cast<std::uint32_t>(row));
    if (submenuUnderPointer || (!HasSubmenu(item.Get()) && mOpenSubmenu)) {
        StartHoverTimer();
    }
}

void LPopupMenu::KeepSubmenuRowSelected()
{
    CancelHoverTimer();
    if (!mMenu || !mOpenSubmenuItem) {
        return;
    }
    const std::int32_t row = mMenu->GetItems().IndexOf(mOpenSubmenuItem);
    if (row >= 0) {
        (void)SelectRange(static_cast<std::uint32_t>(row), -1, true);
    }
}

void LPopupMenu::OnItemInvoked()
{
    LCheckedListBox::OnItemInvoked();
    const std::int32_t row = GetCaretRow();
    if (row < 0 || !IsRowSelectable(static_cast<std::uint32_t>(row))) {
        return;
    }
    if (HasSubmenu(GetItem(static_cast<std::uint32_t>(row)).Get())) {
        EnterSubmenu(static_cast<std::uint32_t>(row));
    } else {
        ActivateCommand(static_cast<std::uint32_t>(row));
    }
}

void LPopupMenu::EnterSubmenu(std::uint32_t row)
{
    const RCPtr<LControl> self(this);
    if (GetItem(row) != mOpenSubmenuItem && Failed(OpenSubmenu(row))) {
        return;
    }
    const RCPtr<LPopupMenu> submenu = mOpenSubmenu;
    if (!submenu) {
        return;
    }
    CancelHoverTimer();
    for (std::uint32_t first = 0; first < submenu->GetRowCount(); ++first) {
        if (submenu->IsRowSelectable(first)) {
            (void)submenu->SelectRange(first, -1, true);
            break;
        }
    }
    // The keys go on in the submenu.
    (void)submenu->SetFocus(true);
}

void LPopupMenu::ActivateCommand(std::uint32_t row)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LMenuItemDescriptor> item = GetItem(row);
    if (!item) {
        return;
    }
    for (RCPtr<LControl> ancestor = GetParent(); ancestor; ancestor = ancestor->GetParent()) {
        if (auto* bar = dynamic_cast<IMenuBar*>(ancestor.Get())) {
            bar->RestoreFocus();
            break;
        }
    }
    const bool closesItself = mTransient && !mClosed;
    if (closesItself) {
        (void)SetVisible(false);
    }
    if (const RCPtr<LNotificationReceiver> receiver = GetMenuReceiver()) {
        // The owner of the chain hears of it, whichever popup of the chain showed the item.
        SendNewNotification(*GetChainRoot(), L"NID_ITEM_ACTIVATED", nullptr);
        if (!item->GetNotificationId().IsEmpty()) {
            SendNotificationTo(receiver, item->GetNotificationId().GetData(),
                               LMenuActivationParam::Create(ConstRCPtr<LMenuDescriptor>(mMenu), row));
        }
    }
    if (closesItself) {
        CloseChain();
    }
}

void LPopupMenu::OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release)
{
    // Past the list's own release: the popup decides what choosing a row does, submenus included.
    LScrollView::OnLeftButtonUp(release);
    if (!release) {
        return;
    }
    const PointT<double> point(static_cast<double>(release->GetX()), static_cast<double>(release->GetY()));
    const std::int32_t row = HitTestRow(point);
    const RCPtr<LControl> self(this);
    if (row < 0) {
        HideOnReleaseOutsideChain(point);
        return;
    }
    if (!IsRowSelectable(static_cast<std::uint32_t>(row))) {
        return;
    }
    (void)SelectRange(static_cast<std::uint32_t>(row), -1, true);
    OnItemInvoked();
}

void LPopupMenu::HideOnReleaseOutsideChain(const PointT<double>& point)
{
    RCPtr<LPopupMenu> popup(this);
    PointT<double> at = point;
    // A release over any popup of the chain keeps it open; the first one decides about its title.
    for (RCPtr<LPopupMenu> above = GetParentPopup(); above; above = popup->GetParentPopup()) {
        if (LiesOn(*popup, at)) {
            return;
        }
        above->MapPointFromControl(*popup, at);
        popup = above;
    }
    popup->HideOnReleaseOutside(at);
}

ZVRESULT LPopupMenu::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return ZV_S_FALSE;
    }
    const RCPtr<LControl> self(this);
    const KeyCode& code = key->GetKey();
    const std::int32_t row = GetCaretRow();
    if (Matches(code, kLeft)) {
        if (const RCPtr<LPopupMenu> parentPopup = GetParentPopup()) {
            parentPopup->CloseSubmenus();
        }
        return ZV_S_OK;
    }
    if (Matches(code, kRight)) {
        if (row >= 0 && HasSubmenu(GetItem(static_cast<std::uint32_t>(row)).Get())) {
            EnterSubmenu(static_cast<std::uint32_t>(row));
        }
        return ZV_S_OK;
    }
    if (Matches(code, kEscape)) {
        if (mTransient && !mClosed) {
            CloseChain();
        } else {
            // A drop-down closes too: its owner hears that it hid.
            (void)GetChainRoot()->SetVisible(false);
        }
        return ZV_S_OK;
    }
    if (Matches(code, kReturn)) {
        if (row >= 0 && GetRowSelected(static_cast<std::uint32_t>(row)) >= 0.5) {
            OnItemInvoked();
        }
        return ZV_S_OK;
    }
    return LCheckedListBox::OnKeyDown(key);
}

void LPopupMenu::OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer)
{
    LCheckedListBox::OnMouseMoved(pointer);
    PassPressOutside();
}

void LPopupMenu::PassPressOutside()
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    if (!window || (window->GetMouseButtonState() & MouseButton::kLeft) == 0) {
        return;
    }
    const PointT<zlong> cursor = window->GetCursorPosition();
    const PointT<double> origin = GetAbsoluteOrigin();
    if (LiesOn(*this, {cursor.x - origin.x, cursor.y - origin.y})) {
        return;
    }
    PointT<zlong> local;
    const RCPtr<LPopupMenu> root = GetChainRoot();
    const RCPtr<LControl> self(this);
    for (RCPtr<LControl> under = window->HitTest(cursor, local, false); under; under = under->GetParent()) {
        // The title of another menu of the bar opens its own menu; the title of this chain has it open already.
        const RCPtr<LComboMenu> title(under);
        if (title && title != root->GetParent()) {
            PressAt(*title, cursor);
            return;
        }
        const RCPtr<LPopupMenu> popup(under);
        if (!popup) {
            continue;
        }
        if (popup.Get() != this && popup->GetChainRoot() == root) {
            PressAt(*popup, cursor);
        }
        return;
    }
}

void LPopupMenu::PressAt(LControl& control, const PointT<zlong>& point)
{
    const PointT<double> origin = control.GetAbsoluteOrigin();
    (void)control.ProcessMouseDown(MouseButton::kLeft, static_cast<std::int32_t>(RoundToLong(point.x - origin.x)),
                                   static_cast<std::int32_t>(RoundToLong(point.y - origin.y)));
}

}  // namespace ZV
