#pragma once

#include "ControlBase/Control.h"
#include "Controls/MenuBar.h"

#include <cstdint>

namespace ZV {

class LComboMenu;
class LMenuDescriptor;

// The main window's menu bar: a row of combo menus, one per title, made from one template menu of the skin. The
// titles and the menus' items come from the bar's string table ("MENU_LABEL.<n>" titles, "CONTEXT_MENU<n>.<i>.<id>"
// items), so the skin describes only the template: its "templateMenu" child, else the first combo menu it places.
// Combo menus that the skin places itself (other than the template) stay first; the indices of the operations below
// count the menus added after them. Every menu's popup asks the bar about its items, and the bar asks the control
// that the window's logic gave it (SetMenuItemUpdater). The chosen items post into the root window's queue.
class LMainMenu : public LControl, public IMenuBar {
public:
    LMainMenu(const RCPtr<LControl>& parent, const WideString& name);
    ~LMainMenu() override;

    // 1 when it was the updater already, else 0.
    [[nodiscard]] ZVRESULT SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater) override;
    // Gives the focus back to the control that had it when the bar took it, if it can still take it.
    void RestoreFocus() override;

    // Inserts a menu of that name and title, showing a copy of the menu, before the added menu at the index (at the
    // end for the number of added menus). The new menu's index; ZV_E_INVALIDARG for an index past the added menus,
    // a null menu or a name that a child of the bar has; ZV_E_FAIL without a template to make menus from. A refused
    // insertion changes nothing.
    [[nodiscard]] ZVRESULT InsertMenuAt(std::uint32_t index, const WideString& name, const WideString& title,
                                        const RCPtr<LMenuDescriptor>& menu);
    // The same before the added menu of the name; an empty name appends. ZV_E_INVALIDARG for a name that is no
    // added menu's.
    [[nodiscard]] ZVRESULT InsertMenuBefore(const WideString& beforeName, const WideString& name,
                                            const WideString& title, const RCPtr<LMenuDescriptor>& menu);
    // The name of the added menu at the index; empty past the end.
    WideString GetMenuName(std::uint32_t index) const;
    // The index of the added menu of the name; -1 when none is (the skin's own menus included).
    std::int32_t IndexOfMenu(const WideString& name) const;
    // Every combo menu of the bar, the skin's own included.
    std::uint32_t GetMenuCount() const;
    // The combo menu at a position of the bar's menus, the skin's own first; null past the end.
    RCPtr<LComboMenu> GetMenuAt(std::uint32_t position) const;
    // The number of combo menus that the skin itself placed in the bar.
    std::uint32_t GetFixedMenuCount() const { return mFixedMenuCount; }

    // A ready control (the template, "templateMenu", with a descriptor alone) or a combo menu that brings its
    // descriptor: the template is kept, no control is made of it. 0 for a call without a control or a descriptor.
    [[nodiscard]] ZVRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
    // Applied again (a new skin), the menus added so far are made anew from the new skin's template, with their
    // names, titles and items; a skin without a template keeps the one the bar had.
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // The base's result; the template is taken out and the menus of the string table are made.
    [[nodiscard]] ZVRESULT Initialize() override;
    // Every menu posts into the window's queue; a menu that posts elsewhere already keeps that.
    void ProcessRootWindowAquired() override;
    // The updater's control answers: 1 without an updater, ZV_E_FAIL for an updater without a control.
    [[nodiscard]] ZVRESULT IsCommandEnabled(std::uint32_t first, std::uint32_t second, const WideString& notificationId,
                                            MenuItemInfo& state) override;
    // As the bar comes to contain the focus, it remembers the control that held it before.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Lets go of the updater, the template and the control to give the focus back to.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    // A new combo menu of the name at the end, made from the template and placed after the last menu.
    [[nodiscard]] ZVRESULT CreateMenuControl(const WideString& name);
    // Lets the menu take the focus inside the bar, and its popup ask the bar about its items and post into the
    // window's queue.
    void ConnectMenu(LComboMenu& menu);
    void ShowFirstLook();
    // A name that no child of the bar has, made from the name.
    WideString MakeFreeName(const WideString& name) const;
    // The menus of the string table, when it has as many titles as menus.
    void InsertMenusFromStringTable();

    ConstRCPtr<LControl> mFocusToRestore;
    RCPtr<LControlDescriptor> mTemplateDescriptor;
    RCPtr<LMenuItemUpdater> mMenuItemUpdater;
    std::uint32_t mFixedMenuCount = 0;
    bool mTemplateWasChild = false;
};

}  // namespace ZV
