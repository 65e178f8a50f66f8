#include "Controls/MainMenu.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Controls/ComboMenu.h"
#include "Controls/PopupMenu.h"
#include "Notification/ConditionsParam.h"
#include "Notification/NotificationQueue.h"
#include "ObjectBase/Exception.h"
#include "System/RootWindow.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace ZV {

namespace {

const wchar_t kTemplateName[] = L"templateMenu";
const wchar_t kTitlePrefix[] = L"MENU_LABEL.";

// The window's own queue, into which the menus post the items chosen; null without a window.
ConstRCPtr<LNotificationQueue> WindowQueueOf(const LControl& control)
{
    const RCPtr<IRootWindow>& window = control.GetRootWindowRef();
    return window ? ConstRCPtr<LNotificationQueue>(window->GetNotificationDistributor()) : nullptr;
}

// The decimal number that the text begins with; 0 without one. A number too large for the type gives the largest.
std::uint64_t LeadingDecimal(const WideString& text)
{
    std::uint64_t number = 0;
    for (std::uint32_t index = 0; index < text.GetLength(); ++index) {
        const wchar_t digit = text.GetData()[index];
        if (digit < L'0' || digit > L'9') {
            break;
        }
        if (number > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) {
            return std::numeric_limits<std::uint64_t>::max();
        }
        number = number * 10 + static_cast<std::uint64_t>(digit - L'0');
    }
    return number;
}

bool IsWithin(const LControl* control, const LControl& ancestor)
{
    for (const LControl* current = control; current != nullptr; current = current->GetParent().Get()) {
        if (current == &ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

LMainMenu::LMainMenu(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name) {}

LMainMenu::~LMainMenu() = default;

ZVRESULT LMainMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    if (mMenuItemUpdater == updater) {
        return ZV_S_FALSE;
    }
    mMenuItemUpdater = updater;
    return ZV_S_OK;
}

void LMainMenu::RestoreFocus()
{
    const ConstRCPtr<LControl> previous = std::exchange(mFocusToRestore, nullptr);
    // A control that has left the window, or lies in the bar itself, is not given the focus.
    if (previous && previous->GetRootWindowRef() && previous->GetRootWindowRef() == GetRootWindowRef() &&
        !IsWithin(previous.Get(), *this)) {
        (void)const_cast<LControl*>(previous.Get())->SetFocus(true);
    }
}

ZVRESULT LMainMenu::InsertMenuAt(std::uint32_t index, const WideString& name, const WideString& title,
                                 const RCPtr<LMenuDescriptor>& menu)
{
    const std::uint32_t added = GetMenuCount() - mFixedMenuCount;
    if (index > added) {
        return ZV_E_INVALIDARG;
    }
    return InsertMenuBefore(index == added ? WideString() : GetMenuName(index), name, title, menu);
}

ZVRESULT LMainMenu::InsertMenuBefore(const WideString& beforeName, const WideString& name, const WideString& title,
                                     const RCPtr<LMenuDescriptor>& menu)
{
    if (!menu) {
        return ZV_E_INVALIDARG;
    }
    std::uint32_t target = GetMenuCount();
    if (!beforeName.IsEmpty()) {
        const std::int32_t before = IndexOfMenu(beforeName);
        if (before < 0) {
            return ZV_E_INVALIDARG;
        }
        target = static_cast<std::uint32_t>(before) + mFixedMenuCount;
    }
    if (const ZVRESULT created = CreateMenuControl(name); Failed(created)) {
        return created;
    }
    // Each menu from the end takes over the one before it, so that the new one's place comes free; the names stay
    // unique at every step.
    for (std::uint32_t position = GetMenuCount() - 1; position > target; --position) {
        const RCPtr<LComboMenu> later = GetMenuAt(position);
        const RCPtr<LComboMenu> earlier = GetMenuAt(position - 1);
        const RCPtr<LPopupMenu> laterPopup = GetPopupMenu(*later);
        const RCPtr<LPopupMenu> earlierPopup = GetPopupMenu(*earlier);
        if (laterPopup && earlierPopup && earlierPopup->GetMenu()) {
            (void)laterPopup->SetMenu(earlierPopup->GetMenu());
        }
        (void)later->SetText(earlier->GetText());
        const WideString earlierName = earlier->GetName();
        (void)GetChildren().Rename(earlier, MakeFreeName(earlierName));
        (void)GetChildren().Rename(later, earlierName);
    }
    const RCPtr<LComboMenu> inserted = GetMenuAt(target);
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu(*inserted)) {
        (void)popup->SetMenu(menu);
    }
    (void)inserted->SetText(title);
    (void)GetChildren().Rename(inserted, name);
    return static_cast<ZVRESULT>(target - mFixedMenuCount);
}

WideString LMainMenu::GetMenuName(std::uint32_t index) const
{
    const RCPtr<LComboMenu> menu = index < GetMenuCount() - mFixedMenuCount ? GetMenuAt(index + mFixedMenuCount)
                                                                              : nullptr;
    return menu ? menu->GetName() : WideString();
}

std::int32_t LMainMenu::IndexOfMenu(const WideString& name) const
{
    for (std::uint32_t position = mFixedMenuCount; position < GetMenuCount(); ++position) {
        if (GetMenuAt(position)->GetName() == name) {
            return static_cast<std::int32_t>(position - mFixedMenuCount);
        }
    }
    return -1;
}

std::uint32_t LMainMenu::GetMenuCount() const
{
    std::uint32_t count = 0;
    const ChildControlList& children = GetChildren();
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        count += dynamic_cast<LComboMenu*>(children.GetAt(index, kInsertionOrder).Get()) != nullptr ? 1 : 0;
    }
    return count;
}

RCPtr<LComboMenu> LMainMenu::GetMenuAt(std::uint32_t position) const
{
    const ChildControlList& children = GetChildren();
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        RCPtr<LComboMenu> menu(children.GetAt(index, kInsertionOrder));
        if (menu && position-- == 0) {
            return menu;
        }
    }
    return nullptr;
}

ZVRESULT LMainMenu::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!child) {
        if (descriptor && descriptor->GetName() == kTemplateName) {
            mTemplateDescriptor = descriptor;
        }
        return ZV_S_OK;
    }
    if (!descriptor) {
        return ZV_S_OK;
    }
    const ZVRESULT attached = LControl::AddChild(child, descriptor);
    if (Succeeded(attached) && !mTemplateDescriptor && RCPtr<LComboMenu>(child)) {
        mTemplateDescriptor = descriptor;
    }
    return attached;
}

ZVRESULT LMainMenu::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!IsCreated() || !descriptor) {
        return LControl::ApplyDescriptor(descriptor);
    }
    struct SavedMenu {
        WideString name;
        WideString title;
        RCPtr<LMenuDescriptor> menu;
    };
    Array<SavedMenu> saved;
    while (GetMenuCount() > mFixedMenuCount) {
        const RCPtr<LComboMenu> menu = GetMenuAt(mFixedMenuCount);
        const RCPtr<LPopupMenu> popup = GetPopupMenu(*menu);
        if (Failed(saved.AddItem(SavedMenu{menu->GetName(), menu->GetText(), popup ? popup->GetMenu() : nullptr}))) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        menu->Detach();
    }
    const ZVRESULT result = LControl::ApplyDescriptor(descriptor);
    ShowFirstLook();
    const RCPtrArray<LControlDescriptor>& subControls = descriptor->GetSubControls();
    for (std::uint32_t index = subControls.GetCount(); index-- > 0;) {
        if (subControls.GetData()[index]->GetName() == kTemplateName) {
            mTemplateDescriptor = subControls.GetData()[index];
            break;
        }
    }
    for (std::uint32_t index = 0; index < saved.GetCount(); ++index) {
        const SavedMenu& menu = saved.GetData()[index];
        if (Failed(CreateMenuControl(menu.name))) {
            continue;
        }
        const RCPtr<LComboMenu> made = GetMenuAt(GetMenuCount() - 1);
        const RCPtr<LPopupMenu> popup = GetPopupMenu(*made);
        if (popup && menu.menu) {
            (void)popup->SetMenu(menu.menu);
        }
        (void)made->SetText(menu.title);
    }
    return result;
}

ZVRESULT LMainMenu::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    ShowFirstLook();
    // The menus take the focus inside the bar, which takes none itself.
    FixNotFocusable(true);
    RCPtrArray<LControl> children;
    GetChildren().TakeSnapshot(children);
    for (std::uint32_t index = children.GetCount(); index-- > 0;) {
        const RCPtr<LComboMenu> menu(children.GetData()[index]);
        if (!menu) {
            continue;
        }
        if (menu->GetName() == kTemplateName) {
            mTemplateDescriptor = menu->GetControlDescriptor();
            menu->Detach();
            mTemplateWasChild = true;
            continue;
        }
        ConnectMenu(*menu);
        ++mFixedMenuCount;
        if (!mTemplateDescriptor) {
            mTemplateDescriptor = menu->GetControlDescriptor();
        }
    }
    InsertMenusFromStringTable();
    return result;
}

void LMainMenu::InsertMenusFromStringTable()
{
    const RCPtr<LStringTable> table = GetStringTable();
    if (!table) {
        return;
    }
    StringPairArray titleEntries;
    if (Failed(table->GetEntriesWithPrefix(kTitlePrefix, titleEntries)) || titleEntries.GetCount() == 0) {
        return;
    }
    std::uint64_t titleCount = 0;
    const auto prefixLength = static_cast<int>(WideString(kTitlePrefix).GetLength());
    for (std::uint32_t index = 0; index < titleEntries.GetCount(); ++index) {
        const std::uint64_t number = LeadingDecimal(titleEntries.GetData()[index].first.MidToEnd(prefixLength));
        titleCount = std::max(titleCount, number == std::numeric_limits<std::uint64_t>::max() ? number : number + 1);
    }
    RCPtrArray<LMenuDescriptor> menus;
    BuildContextMenuDescriptors(menus);
    // The titles and the menus go together only when there are as many of each; gaps between the titles' numbers
    // count as empty titles.
    if (titleCount != menus.GetCount()) {
        return;
    }
    Array<WideString> titles;
    if (Failed(titles.SetCount(static_cast<std::uint32_t>(titleCount)))) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    for (std::uint32_t index = 0; index < titleEntries.GetCount(); ++index) {
        const StringPair& entry = titleEntries.GetData()[index];
        titles.GetData()[LeadingDecimal(entry.first.MidToEnd(prefixLength))] = entry.second;
    }
    for (std::uint32_t index = 0; index < menus.GetCount(); ++index) {
        const WideString& title = titles.GetData()[index];
        // A title that another menu has already gives no second menu of its name.
        (void)InsertMenuAt(index, title, title, menus.GetData()[index]);
    }
}

void LMainMenu::ProcessRootWindowAquired()
{
    if (const ConstRCPtr<LNotificationQueue> queue = WindowQueueOf(*this)) {
        for (std::uint32_t position = GetMenuCount(); position-- > 0;) {
            if (const RCPtr<LPopupMenu> popup = GetPopupMenu(*GetMenuAt(position))) {
                // A popup that posts elsewhere already keeps that.
                (void)popup->SetMenuReceiver(queue);
            }
        }
    }
    LControl::ProcessRootWindowAquired();
}

ZVRESULT LMainMenu::IsCommandEnabled(std::uint32_t first, std::uint32_t second, const WideString& notificationId,
                                     MenuItemInfo& state)
{
    if (!mMenuItemUpdater) {
        return ZV_S_FALSE;
    }
    const ConstRCPtr<LControl>& control = mMenuItemUpdater->GetControl();
    if (!control) {
        return ZV_E_FAIL;
    }
    return const_cast<LControl*>(control.Get())->IsCommandEnabled(first, second, notificationId, state);
}

void LMainMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    using ConditionMask::kContainsFocus;
    if (conditions &&
        (conditions->GetCurrentConditions() & ~conditions->GetPreviousConditions() & kContainsFocus) != 0) {
        if (const auto* window = dynamic_cast<const LRootWindow*>(GetRootWindowRef().Get())) {
            const RCPtr<LControl>& remembered = window->GetRememberedFocusControl();
            mFocusToRestore = remembered && !IsWithin(remembered.Get(), *this) ? remembered : nullptr;
        }
    }
    LControl::OnConditionsChanged(conditions);
}

ZVRESULT LMainMenu::ReleaseInternalReferences()
{
    mFocusToRestore = nullptr;
    mMenuItemUpdater = nullptr;
    mTemplateDescriptor = nullptr;
    return LControl::ReleaseInternalReferences();
}

ZVRESULT LMainMenu::CreateMenuControl(const WideString& name)
{
    if (FindChildByName(name)) {
        return ZV_E_INVALIDARG;
    }
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    // Without a template the bar cannot make a menu.
    if (!mTemplateDescriptor || !factory) {
        return ZV_E_FAIL;
    }
    const RCPtr<LLayoutDescriptor> layout = LControlFactory::MakeLayoutDescriptor();
    if (const RCPtr<LLayoutDescriptor>& templateLayout = mTemplateDescriptor->GetLayoutDescriptor()) {
        static_cast<SubControlSettings&>(*layout) = *templateLayout;
    }
    const std::uint32_t count = GetMenuCount();
    // Each title starts at the right edge of the one before it; the first keeps the template's place.
    if (count != 0 && (count > mFixedMenuCount || !mTemplateWasChild)) {
        layout->xPosition.toControlKind = kPositionToNamedControl;
        layout->xPosition.toControlName = GetMenuAt(count - 1)->GetName();
        layout->xPosition.rel = 1.0f;
        layout->xPosition.abs = 0;
    }
    const RCPtr<LControl> made = factory->CreateControl(
        LControlFactory::DeriveControlDescriptor(mTemplateDescriptor, layout, name), this);
    const RCPtr<LComboMenu> menu(made);
    if (!menu || made->GetParent().Get() != this) {
        if (made && made->GetParent().Get() == this) {
            made->Detach();
        }
        return ZV_E_FAIL;
    }
    ConnectMenu(*menu);
    return ZV_S_OK;
}

void LMainMenu::ConnectMenu(LComboMenu& menu)
{
    menu.SetFocusRoot(true);
    const RCPtr<LPopupMenu> popup = GetPopupMenu(menu);
    if (!popup) {
        return;
    }
    popup->SetMenuItemUpdater(GetMenuItemUpdater());
    if (const ConstRCPtr<LNotificationQueue> queue = WindowQueueOf(*this)) {
        (void)popup->SetMenuReceiver(queue);
    }
}

void LMainMenu::ShowFirstLook()
{
    // Looks start without weight, and a control without a weighted look is neither drawn nor hit, nor are its menus.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
}

WideString LMainMenu::MakeFreeName(const WideString& name) const
{
    WideString free = name + WideString(L"_");
    while (FindChildByName(free)) {
        free += WideString(L"_");
    }
    return free;
}

}  // namespace ZV
