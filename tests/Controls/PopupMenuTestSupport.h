#pragma once

#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Controls/ControlsHarness.h"
#include "Controls/ListTestSkin.h"
#include "Controls/PopupMenu.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZV::Testing {

// The harness as an application with a status bar: it keeps the status text that controls set.
class StatusTextHarness : public ControlsHarness {
public:
    ZVRESULT SetStatusText(const WideString& text, bool) override
    {
        statusText = text.ToUTF8().GetData();
        return ZV_S_OK;
    }
    ZVRESULT ResetStatusText(bool) override
    {
        statusText = "(reset)";
        return ZV_S_OK;
    }

    std::string statusText = "(none)";
};

// The item notifications that reach the window's clients: "NID_ID item" with the item's index in its menu.
class LItemRecorder : public LNotificationClient {
public:
    static RCPtr<LItemRecorder> Create() { return RCPtr<LItemRecorder>(new LItemRecorder()); }

    void Watch(const ConstRCPtr<LNotificationDistributor>& distributor, std::initializer_list<const wchar_t*> ids)
    {
        for (const wchar_t* id : ids) {
            (void)RegisterForNotification(distributor, id, 0);
        }
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        const auto* activation = dynamic_cast<const LMenuActivationParam*>(notification->GetParameter().Get());
        lines.push_back(std::string(WideString(notification->GetId()).ToUTF8().GetData()) + " item " +
                        (activation ? std::to_string(activation->GetItem()) : std::string("none")));
        menus.push_back(activation ? activation->GetMenu().Get() : nullptr);
    }

    std::vector<std::string> lines;
    std::vector<const LMenuDescriptor*> menus;

private:
    LItemRecorder() = default;
};

// The control behind the menus of the tests: it checks "NID_ALLOW_DOWNGRADE" and disables "NID_APP_EXIT_REQ", and
// shows its first look, so that it and its children are hit.
class LMenuOwnerControl : public LShownControl {
public:
    using LShownControl::LShownControl;

    ZVRESULT IsCommandEnabled(std::uint32_t, std::uint32_t item, const WideString& notificationId,
                              MenuItemInfo& state) override
    {
        asked.push_back(std::string(notificationId.ToUTF8().GetData()) + "@" + std::to_string(item));
        if (notificationId == WideString(L"NID_ALLOW_DOWNGRADE")) {
            state.checked = 1;
        } else if (notificationId == WideString(L"NID_APP_EXIT_REQ")) {
            state.enabled = 0;
        }
        return ZV_S_OK;
    }

    std::vector<std::string> asked;
};

// A popup menu "popupMenu" of the application's make, 75 x 77 above everything: rows 14 high as wide as the popup,
// each with a 12 x 12 "checkBox" 3 pixels from its left edge and a "hotKeyLabel" whose right edge is 15 pixels in
// from the row's; a "corner" label 10 pixels wide. The skin's looks are the list skin's, so the active look's index
// tells the state.
inline std::string PopupMenuDescription(const std::string& name = "popupMenu",
                                        const std::string& attributes = R"(XSizeAbs="75" YSizeAbs="77")")
{
    const std::string row = Wearing(
        "Framework.MenuItem", "templateItem", "rowLooks",
        R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")",
        Wearing("Framework.Button", "checkBox", "rowLooks",
                R"(XPositionAbs="3" YPositionAbs="1" XSizeAbs="12" YSizeAbs="12")") +
            Wearing("Framework.Label", "hotKeyLabel", "fewRowLooks",
                    R"(XPositionToControl="Parent" XPositionRel="1" XPositionAbs="-15" XPlacementAnchor="1" )"
                    R"(XSizeAbs="30" YSizeAbs="14")"));
    return Wearing("Framework.PopupMenu", name, "listLooks",
                   attributes + R"( Z_Order="999" ClipToParent="False")",
                   row + Wearing("Framework.Label", "corner", "listLooks",
                                 R"(XIsDocked="True" YIsDocked="True" XSizeAbs="10" YSizeAbs="10")"));
}

// The window's control "main", 400 x 300, of the class Test.Owner (LMenuOwnerControl), holding the children.
inline std::string OwnerWindow(const std::string& children)
{
    return Wearing("Test.Owner", "main", "listLooks", R"(XSizeAbs="400" YSizeAbs="300")", children);
}

// Items made in code: a command, a submenu of two commands and a command; or a menu of the labels.
inline RCPtr<LMenuDescriptor> MenuWithSubmenu()
{
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    EXPECT_GE(menu->InsertNewItem(0, L"Open", L"NID_FILE_OPEN", 1, 0), 0);
    const RCPtr<LMenuItemDescriptor> recent = LMenuItemDescriptor::Create(L"Recent", WideString(), 1, 0);
    EXPECT_GE(recent->InsertNewItem(0, L"first.syx", L"NID_RECENT_FIRST", 1, 0), 0);
    EXPECT_GE(recent->InsertNewItem(1, L"second.syx", L"NID_RECENT_SECOND", 1, 0), 0);
    EXPECT_GE(menu->InsertItem(1, recent), 0);
    EXPECT_GE(menu->InsertNewItem(2, L"Allow Downgrade", L"NID_ALLOW_DOWNGRADE", 1, 0), 0);
    return menu;
}

}  // namespace ZV::Testing
