// Context menus and the create parameters of a control.
#include "ControlBase/Control.h"

#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuDescriptorBuilder.h"
#include "Notification/Notification.h"
#include "ObjectBase/Exception.h"
#include "System/GlobalHotKeyManager.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <set>

namespace ZV {

namespace {

// A flag's text counts when, trimmed and in lower case, it is "true". Leaves the flag alone without the key.
void ReadFlag(const LStringTable& parameters, const wchar_t* key, bool& flag)
{
    WideString text;
    if (parameters.GetString(key, text)) {
        flag = text.Trim().ToLower() == L"true";
    }
}

// The leading number of the text, whatever the user's locale: blanks, an optional sign, then a decimal number;
// 0 when there is none, as the C library reads such a text. False for a value that is no finite number.
bool ReadNumber(const WideString& text, double& value)
{
    const NarrowString narrow = text.ToUTF8();
    const char* begin = narrow.GetData();
    const char* end = begin + std::strlen(begin);
    while (begin != end && std::strchr(" \t\r\n\v\f", *begin) != nullptr) {
        ++begin;
    }
    const bool negative = begin != end && *begin == '-';
    if (begin != end && (*begin == '-' || *begin == '+')) {
        ++begin;
    }
    value = 0;
    const std::from_chars_result read = std::from_chars(begin, end, value);
    if (read.ec == std::errc::result_out_of_range) {
        return false;
    }
    value = negative ? -value : value;
    return std::isfinite(value);
}

// The entries under the prefix, with the prefix cut from their keys.
StringPairArray EntriesUnder(const LStringTable& table, const WideString& prefix)
{
    StringPairArray entries;
    ZV_THROW_IF_FAILED(table.GetEntriesWithPrefix(prefix, entries));
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        WideString& key = entries.GetData()[index].first;
        key = key.MidToEnd(static_cast<int>(prefix.GetLength()));
    }
    return entries;
}

void AppendMenu(RCPtrArray<LMenuDescriptor>& menus, const StringPairArray& entries)
{
    if (const RCPtr<LMenuDescriptor> menu = CreateMenuDescriptor(entries)) {
        AppendItem(menus, menu);
    }
}

// The window's hot keys when they have the command, else the application's: where a hot key of the command sends.
RCPtr<LGlobalHotKeyManager> HotKeysFor(const LControl& control, const WideString& id)
{
    const RCPtr<IRootWindow>& window = control.GetRootWindowRef();
    if (const RCPtr<LGlobalHotKeyManager> windowKeys = window ? window->GetHotKeyManager() : nullptr) {
        if (windowKeys->HasHotKey(id)) {
            return windowKeys;
        }
    }
    return GetControlServices().GetHotKeyManager();
}

}  // namespace

ZVRESULT LControl::ProcessCreateParams()
{
    bool notFocusable = SettingsOf(this).tabStop < 0;
    if (const LStringTable* parameters = mDescriptor ? mDescriptor->GetCreateParams().Get() : nullptr) {
        WideString text;
        double value = 0;
        // A value that is no finite number would reach every computation that the value drives.
        if (parameters->GetString(L"INITIAL_VALUE", text) && ReadNumber(text, value)) {
            (void)SetValue(value);
        }
        ReadFlag(*parameters, L"NOT_FOCUSABLE", notFocusable);
        ReadFlag(*parameters, L"USE_PARENT_TOOLTIP", mFocus.usesParentToolTip);
        ReadFlag(*parameters, L"WANTS_TAB", mFocus.wantsTab);
    }
    SetNotFocusable(notFocusable);
    return ZV_S_OK;
}

RCPtr<LMenuDescriptor>& LControl::GetContextMenuDescriptor()
{
    return mContextMenu;
}

void LControl::BuildContextMenuDescriptors(RCPtrArray<LMenuDescriptor>& menus) const
{
    const RCPtr<LStringTable> table = GetStringTable();
    if (!table) {
        return;
    }
    static const WideString kContextMenu(L"CONTEXT_MENU");
    const StringPairArray single = EntriesUnder(*table, kContextMenu + WideString(L"."));
    if (single.GetCount() != 0) {
        AppendMenu(menus, single);
        return;
    }
    // Numbered menus, "CONTEXT_MENU0." first, ordered by code units.
    std::set<WideString> names;
    const StringPairArray numbered = EntriesUnder(*table, kContextMenu);
    for (std::uint32_t index = 0; index < numbered.GetCount(); ++index) {
        const WideString& key = numbered.GetData()[index].first;
        const int point = key.Find(L".");
        if (point >= 0) {
            names.insert(kContextMenu + key.Left(static_cast<std::uint32_t>(point)));
        }
    }
    for (const WideString& name : names) {
        // With its point, so that "CONTEXT_MENU1" takes none of the entries of "CONTEXT_MENU10".
        AppendMenu(menus, EntriesUnder(*table, name + WideString(L".")));
    }
}

ZVRESULT LControl::SetContextMenuDescriptor(const RCPtr<LMenuDescriptor>& menu)
{
    if (mContextMenu) {
        (void)BindMenuCommands(mContextMenu, false);
    }
    mContextMenu = menu;
    if (mContextMenu) {
        (void)BindMenuCommands(mContextMenu, true);
    }
    return ZV_S_OK;
}

ZVRESULT LControl::BindMenuCommands(const RCPtr<LMenuDescriptor>& menu, bool bind)
{
    if (!menu) {
        return ZV_E_INVALIDARG;
    }
    const RCPtrArray<LMenuItemDescriptor>& items = menu->GetItems();
    for (std::uint32_t index = 0; index < items.GetCount(); ++index) {
        const RCPtr<LMenuItemDescriptor>& item = items.GetData()[index];
        if (item->GetItems().GetCount() != 0) {
            (void)BindMenuCommands(item, bind);
            continue;
        }
        const WideString& id = item->GetNotificationId();
        const RCPtr<LGlobalHotKeyManager> hotKeys = id.IsEmpty() ? nullptr : HotKeysFor(*this, id);
        // A command without a hot key anywhere the popup menu sends on its own.
        if (!hotKeys || !hotKeys->HasHotKey(id)) {
            continue;
        }
        LNotificationHandler<LControl>& handler = GetNotificationHandler();
        // Neither can fail for an id that is not empty; an id mapped already keeps its mapping.
        (void)(bind ? handler.MapHandler(&LControl::RouteMenuCommand, id.GetData())
                    : handler.UnmapHandler(id.GetData()));
    }
    return ZV_S_OK;
}

std::int32_t LControl::RouteMenuCommand(const ConstRCPtr<LNotificationDistributor>&,
                                        const RCPtr<LNotification>& notification)
{
    if (!notification) {
        return 1;
    }
    if (const RCPtr<LGlobalHotKeyManager> hotKeys = HotKeysFor(*this, notification->GetId())) {
        SendNotificationTo(hotKeys->GetReceiver(), notification->GetId(), notification->GetParameter());
    }
    return 1;
}

void LControl::OnContextMenuShown(const RCPtr<LControl>&) {}

}  // namespace ZV
