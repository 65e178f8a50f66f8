#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LMenuItemDescriptor;

// What menus read back of an item.
struct MenuItemInfo {
    std::uint8_t enabled = 0;
    std::uint8_t checked = 0;
    WideString label;
};

// A menu, described independently of any control that shows it: an ordered list of items, each of which is a menu
// itself, holding its submenu.
//
// A menu holds its items, and each item holds its parent back; that link counts as an internal reference of the
// parent, so when the last reference from outside a menu goes, the menu lets go of its items and the tree is freed.
// An item still held from outside survives without its parent.
//
// Every virtual operation is written in this header: lower layers name menus (a menu activation records its menu)
// without linking the library that builds them.
class LMenuDescriptor : public virtual LTaggableObject {
public:
    LMenuDescriptor() = default;
    LMenuDescriptor(const LMenuDescriptor&) = delete;
    LMenuDescriptor& operator=(const LMenuDescriptor&) = delete;
    ~LMenuDescriptor() override = default;

    static RCPtr<LMenuDescriptor> Create();

    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override
    {
        RemoveAllItems();
        return ZV_S_OK;
    }

    // The item list's result: the item's index, or a negative code with the item left without a parent;
    // ZV_E_INVALIDARG for a null item.
    [[nodiscard]] ZVRESULT InsertItem(std::uint32_t index, const RCPtr<LMenuItemDescriptor>& item);
    [[nodiscard]] ZVRESULT InsertNewItem(std::uint32_t index, const WideString& label, const WideString& notificationId,
                           std::uint8_t enabled, std::uint8_t checked);
    [[nodiscard]] ZVRESULT InsertSeparator(std::uint32_t index);
    // 0 with the item's flags and label; ZV_E_INVALIDARG for an index past the items, with info cleared.
    [[nodiscard]] ZVRESULT GetItemInfo(std::uint32_t index, MenuItemInfo& info) const;
    // Lets every item go, from the last, clearing its link to this menu; then clears this menu's own parent link.
    void RemoveAllItems();

    // A deep copy without a parent; the copies' parents are the copies.
    RCPtr<LMenuDescriptor> Clone() const;

    const RCPtrArray<LMenuItemDescriptor>& GetItems() const { return mItems; }
    // The menu that holds this one as an item, or null.
    LMenuDescriptor* GetParent() const { return mParent.Get(); }

protected:
    // Appends a copy of every item, deeply.
    void CloneItemsInto(LMenuDescriptor& copy) const;

private:
    // Links this descriptor to the menu that holds it, counting the link as an internal reference of that menu.
    void SetParent(LMenuDescriptor* parent);

    RCPtrArray<LMenuItemDescriptor> mItems;
    RCPtr<LMenuDescriptor> mParent;
};

// One item of a menu: a command that sends its notification id when chosen, a separator, or, when it holds items of
// its own, a submenu.
class LMenuItemDescriptor : public LMenuDescriptor {
public:
    static RCPtr<LMenuItemDescriptor> Create(const WideString& label, const WideString& notificationId,
                                             std::uint8_t enabled, std::uint8_t checked);
    static RCPtr<LMenuItemDescriptor> CreateSeparator();

    StringT<wchar_t, char> ToString() const override { return mLabel; }

    // A deep copy without a parent.
    RCPtr<LMenuItemDescriptor> Clone() const;

    const WideString& GetLabel() const { return mLabel; }
    // The menus that show an item write back what its owner and the hot keys say of it.
    void SetLabel(const WideString& label) { mLabel = label; }
    const WideString& GetShortcutText() const { return mShortcutText; }
    void SetShortcutText(const WideString& shortcutText) { mShortcutText = shortcutText; }
    const WideString& GetToolTip() const { return mToolTip; }
    void SetToolTip(const WideString& toolTip) { mToolTip = toolTip; }
    // Empty for separators and submenus.
    const WideString& GetNotificationId() const { return mNotificationId; }
    std::uint8_t GetEnabled() const { return mEnabled; }
    std::uint8_t GetChecked() const { return mChecked; }
    void SetEnabled(std::uint8_t enabled) { mEnabled = enabled; }
    void SetChecked(std::uint8_t checked) { mChecked = checked; }
    bool IsSeparator() const { return mSeparator != 0; }

private:
    LMenuItemDescriptor(const WideString& label, const WideString& notificationId, std::uint8_t enabled,
                        std::uint8_t checked, std::uint8_t separator);

    WideString mLabel;
    WideString mShortcutText;
    WideString mToolTip;
    WideString mNotificationId;
    std::uint8_t mEnabled;
    std::uint8_t mChecked;
    std::uint8_t mSeparator;
};

}  // namespace ZV
