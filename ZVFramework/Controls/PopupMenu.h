#pragma once

#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "ControlBase/PopupControls.h"
#include "Controls/CheckedListBox.h"

#include <cstdint>

namespace ZV {

class LNotificationQueue;

// One level of a menu shown as a list of rows made from the skin's "templateItem" (LMenuListBoxItem): each item's
// label, its shortcut text in the row's "hotKeyLabel", its check mark in the row's "checkBox", separators, and a
// mark on the rows whose items hold a submenu. The pointer selects the rows; resting on a row with a submenu opens
// the submenu after a pause, as a nested popup beside the row ("submenu"), to the left at the window's right edge
// and moved up at its bottom. Releasing the button over a command, or Return, chooses it: the popup sends
// "NID_ITEM_ACTIVATED" on the first popup of its chain and hands a notification of the item's id, with an
// LMenuActivationParam (the menu and the item's index), to the menu's receiver.
//
// Before it shows, the popup asks the control behind its menu (through the updater) whether each command is enabled
// or checked. A transient popup (a context menu) closes itself when it loses the focus, on Escape and once an item
// is chosen, and is removed from its parent at the next idle pass; the drop-down of a combo menu is not transient:
// its owner opens and closes it.
//
// The bodies: PopupMenu.cpp (creation, the menu and its rows), PopupMenuChain.cpp (submenus, choosing, closing,
// keys and the mouse).
class LPopupMenu : public LCheckedListBox, public IContextMenuPopup {
public:
    // How long the pointer rests on a row with a submenu before the submenu opens; it must pass, not only reach it.
    static constexpr std::uint32_t kSubmenuDelayMs = 250;

    using LCheckedListBox::LCheckedListBox;

    // --- The menu ---

    // Shows a deep copy of the menu, closing the submenus that are open. The layout's result; ZV_E_INVALIDARG for a
    // null menu.
    [[nodiscard]] ZVRESULT SetMenu(const RCPtr<LMenuDescriptor>& menu) override;
    // The popup's own menu; null before one is set.
    const RCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
    // Chosen items go to the queue (the root window's). 0; ZV_E_INVALIDARG for a null queue; ZV_E_FAIL, keeping the
    // receiver it has, for a popup that has one.
    [[nodiscard]] ZVRESULT SetMenuReceiver(const ConstRCPtr<LNotificationQueue>& queue);
    // Where chosen items go: the popup's own receiver, else its parent popup's; a first-level popup without one
    // hands them to the control it belongs to. Null when there is none.
    RCPtr<LNotificationReceiver> GetMenuReceiver() const;
    // The control behind the updater answers for the items before the popup shows.
    void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater) { mMenuItemUpdater = updater; }
    const RCPtr<LMenuItemUpdater>& GetMenuItemUpdater() const { return mMenuItemUpdater; }
    void SetTransient(bool transient) { mTransient = transient; }
    bool IsTransient() const { return mTransient; }
    // The chain has been closed; it closes nothing more.
    bool IsClosed() const { return mClosed; }
    // Places the popup at the pointer, inside the window, shows it and gives it the focus. 0.
    [[nodiscard]] ZVRESULT PlaceAtCursor() override;
    // The item that the row shows; null past the items.
    RCPtr<LMenuItemDescriptor> GetItem(std::uint32_t row) const;

    // --- Submenus and closing ---

    // Opens the submenu of the row's item beside the row. 0; ZV_E_INVALIDARG when the item has no submenu.
    [[nodiscard]] ZVRESULT OpenSubmenu(std::uint32_t row);
    // Null while no submenu is open.
    const RCPtr<LPopupMenu>& GetOpenSubmenu() const { return mOpenSubmenu; }
    // Closes the open submenu and the submenus under it; each is removed at the next idle pass.
    void CloseSubmenus();
    // Closes the whole chain from its first popup, which its parent removes at the next idle pass.
    void CloseChain();
    // The popup whose submenu this one is; null for a first-level popup.
    RCPtr<LPopupMenu> GetParentPopup() const;

    // --- The hooks of the control base and the list ---

    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // The window's hot keys are there now: the items without a shortcut text get theirs.
    void ProcessRootWindowAquired() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // The popup takes the focus only when it is given it, never from a press.
    void TakeFocusOnPress(const RCPtr<LMouseButtonParam>& press) override;
    void OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer) override;
    void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release) override;
    // Left, Right, Escape and Return; other keys go to the list.
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnIdle(const RCPtr<LNotification>& idle) override;

protected:
    void OnSelectionChanged() override;
    // Opens the submenu of the selected row, or chooses its command.
    void OnItemInvoked() override;
    [[nodiscard]] ZVRESULT CreateRowControl() override;
    [[nodiscard]] ZVRESULT UpdateRowControl(std::uint32_t row) override;
    // The label and the shortcut text as the row's fonts measure them, with the room the row keeps around them.
    std::int32_t GetRowWidth(std::uint32_t row) override;
    // Separator rows have a height of their own.
    std::int32_t GetContentHeight() override;
    // Enabled commands and submenus; never separators.
    bool IsRowSelectable(std::uint32_t row) override;

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // An unset minimum width becomes the popup's width, an unset minimum height one row.
    void SetUpSizeLimits();
    // Rows for the items, their flags and the popup's width from its widest row. 1 while there is no row control
    // to measure.
    ZVRESULT LayOutItems();
    // The room a row keeps beside its texts, taken once from a row control: from its left edge to the end of its
    // check box, 20 pixels between the texts, and from the shortcut text to its right edge.
    void MeasureRowMargins(const LControl& row);
    void MeasureSeparatorHeight(LControl& row);
    // Fills in the shortcut texts the items lack from the hot keys of their ids, in the submenus too.
    ZVRESULT FillShortcutTexts();
    void FillShortcutTexts(LMenuDescriptor& menu);
    // The first key that sends the id: the owner's own hot keys, the window's, the application's.
    WideString FindShortcutText(const WideString& id) const;
    // Asks the updater's control about each command before the popup shows.
    void QueryItemStates();
    void StartHoverTimer();
    void CancelHoverTimer();
    // The row of the open submenu is selected again, and its timer stops: the pointer went into the submenu.
    void KeepSubmenuRowSelected();
    // The row's submenu opens, when it is not the open one, with its first row selected and the focus.
    void EnterSubmenu(std::uint32_t row);
    // Chooses the row's command; the chain closes or its owner closes it.
    void ActivateCommand(std::uint32_t row);
    // The first popup of the chain: this one, or the first-level popup above it.
    RCPtr<LPopupMenu> GetChainRoot();
    bool IsPointerOverRow(std::uint32_t row) const;
    // A press outside the popup during a drag goes to the popup of the chain under the pointer, so that the drag
    // goes on there, or to another menu title under it, which opens its menu.
    void PassPressOutside();
    // A release (a point of this popup) off every popup of the chain hides a drop-down's chain, unless it lies
    // over the drop-down's title.
    void HideOnReleaseOutsideChain(const PointT<double>& point);
    // A left press on the control at the point of the window.
    static void PressAt(LControl& control, const PointT<zlong>& point);
    void SetRowHoverStatus(std::int32_t row, bool hovered);
    std::int32_t OnRowHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LPopupMenu>> mOwnHandler;
    RCPtr<LMenuDescriptor> mMenu;
    RCPtr<LPopupMenu> mOpenSubmenu;
    RCPtr<LMenuItemDescriptor> mOpenSubmenuItem;
    RCPtr<LNotificationReceiver> mMenuReceiver;
    RCPtr<LMenuItemUpdater> mMenuItemUpdater;
    bool mHoverPending = false;
    std::uint32_t mHoverStamp = 0;
    bool mClosingSubmenu = false;
    bool mTransient = true;
    bool mClosed = false;
    std::int32_t mExtraRowWidth = -1;
    std::int32_t mSeparatorHeight = 0;
    std::int32_t mSeparatorCount = 0;
    bool mLayingOut = false;
};

// The child "popupMenu" of the control, when it is a popup menu; else null.
RCPtr<LPopupMenu> GetPopupMenu(const LControl& control);

}  // namespace ZV
