#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/PopupControls.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::MouseRouter;
using Testing::StringTable;
using Testing::SubControl;
using Lines = std::vector<std::string>;

// What the pop-ups of these tests were asked to do, and how many of them are alive.
Lines gPopupEvents;
int gLivePopups = 0;

std::string NameOf(const LControl& control)
{
    return control.GetName().ToUTF8().GetData();
}

// Waits hidden until it is started, and has its parent take it out when it is hidden, as the skin's tool tip does.
class LTestToolTip : public LRecordingControl, public IToolTipPopup {
public:
    LTestToolTip(const RCPtr<LControl>& parent, const WideString& name) : LRecordingControl(parent, name)
    {
        ++gLivePopups;
    }
    ~LTestToolTip() override { --gLivePopups; }

    ZVRESULT Start() override
    {
        mStarted = true;
        gPopupEvents.push_back(NameOf(*GetParent()) + "'s tip shows \"" + GetText().ToUTF8().GetData() + "\"");
        return ZV_S_OK;
    }

    ZVRESULT Hide() override
    {
        if (mStarted) {
            mStarted = false;
            gPopupEvents.push_back(NameOf(*GetParent()) + "'s tip hides");
            (void)GetParent()->ScheduleChildRemoval(this);
        }
        return ZV_S_OK;
    }

    // The text is what the tip shows; no look draws it here.
    ZVRESULT SetText(const WideString& text) override
    {
        mText = text;
        return ZV_S_OK;
    }
    const WideString& GetText() const { return mText; }

private:
    bool mStarted = false;
    WideString mText;
};

class LTestPopupMenu : public LRecordingControl, public IContextMenuPopup {
public:
    LTestPopupMenu(const RCPtr<LControl>& parent, const WideString& name) : LRecordingControl(parent, name)
    {
        ++gLivePopups;
    }
    ~LTestPopupMenu() override { --gLivePopups; }

    ZVRESULT SetMenu(const RCPtr<LMenuDescriptor>& menu) override
    {
        gPopupEvents.push_back(NameOf(*GetParent()) + "'s menu of " + std::to_string(menu->GetItems().GetCount()) +
                               " items, " + (GetLayoutDescriptor()->isVisible ? "shown" : "hidden"));
        return ZV_S_OK;
    }

    ZVRESULT PlaceAtCursor() override
    {
        gPopupEvents.push_back(NameOf(*GetParent()) + "'s menu placed");
        (void)SetVisible(true);
        return ZV_S_OK;
    }
};

class LMenuOwner : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void OnContextMenuShown(const RCPtr<LControl>& popup) override
    {
        gPopupEvents.push_back(NameOf(*this) + " is told of " + NameOf(*popup));
    }
};

// A window with a button that has a tool tip and a context menu, an icon on the button that shows the button's tip,
// and a control without a tip; the skin describes the tool tip and the context menu beside the window's control.
struct PopupWindow {
    explicit PopupWindow(ControlHarness& harness) : mouse(harness.Window()), keys(harness.Window())
    {
        gPopupEvents.clear();
        harness.Register<LTestToolTip>(L"Test.ToolTip");
        harness.Register<LTestPopupMenu>(L"Test.PopupMenu");
        harness.Register<LMenuOwner>(L"Test.Owner");
        harness.LoadStrings(StringTable("Test.Control|button", {{"TOOLTIP", "Press me"},
                                                               {"CONTEXT_MENU.00.NID_ONE", "One"},
                                                               {"CONTEXT_MENU.01.NID_TWO", "Two"}}));
        harness.LoadSkin(SubControl("Test.Control", "main", "",
                                    SubControl("Test.Owner", "button", "",
                                               SubControl("Test.Control", "icon", "", "",
                                                          {{"USE_PARENT_TOOLTIP", "true"}})) +
                                        SubControl("Test.Control", "plain")) +
                         SubControl("Test.ToolTip", "toolTip", "ClipToParent=\"False\"") +
                         SubControl("Test.PopupMenu", "contextMenu", "ClipToParent=\"False\""));
        main = harness.CreateRoot(L"main");
        ControlTestAccess::PlaceTree(*main, {0, 0, 100, 50});
        button = main->FindChildByName(L"button");
        icon = button->FindChildByName(L"icon");
        plain = main->FindChildByName(L"plain");
    }

    // The pointer comes to rest on the controls, the topmost first.
    void Hover(std::vector<RCPtr<LControl>> controls, ControlHarness& harness)
    {
        controls.push_back(main);
        harness.Window().SetControlsUnderPointer(controls);
        mouse.Move({static_cast<zlong>(++moves), 10});
    }

    int ChildrenNamed(const LControl& parent, const wchar_t* name) const
    {
        int count = 0;
        for (std::uint32_t index = 0; index < parent.GetChildren().GetCount(); ++index) {
            count += parent.GetChildren().GetAt(index, LControl::kInsertionOrder)->GetName() == name ? 1 : 0;
        }
        return count;
    }

    MouseRouter mouse;
    Testing::KeyRouter keys;
    RCPtr<LControl> main;
    RCPtr<LControl> button;
    RCPtr<LControl> icon;
    RCPtr<LControl> plain;
    int moves = 0;
};

TEST(ControlPopups, ATipShowsEachTimeThePointerComesBackAndAKeyHidesIt)
{
    ControlHarness harness;
    PopupWindow window(harness);

    window.Hover({window.button}, harness);
    window.Hover({window.plain}, harness);
    // Back on the button before the first tip has been taken out: a new tip takes the place of the old.
    window.Hover({window.button}, harness);
    EXPECT_EQ(window.ChildrenNamed(*window.button, L"toolTip"), 1);
    EXPECT_EQ(gLivePopups, 1);
    // Asked again while its tip shows, the button shows a new one in its place.
    (void)window.button->ShowToolTip(true);
    EXPECT_EQ(window.ChildrenNamed(*window.button, L"toolTip"), 1);
    window.Hover({window.plain}, harness);
    harness.PumpIdle();
    // The icon has no tip of its own and shows its parent's.
    window.Hover({window.icon, window.button}, harness);
    window.keys.Press(0x70);
    harness.PumpIdle();
    EXPECT_EQ(gPopupEvents, (Lines{"button's tip shows \"Press me\"", "button's tip hides",
                                   "button's tip shows \"Press me\"", "button's tip hides",
                                   "button's tip shows \"Press me\"", "button's tip hides",
                                   "button's tip shows \"Press me\"", "button's tip hides"}));
    EXPECT_EQ(gLivePopups, 0);
    EXPECT_EQ(window.button->GetIdleSubscriberCount(), 0);
}

TEST(ControlPopups, EachRightClickOpensOneContextMenuInThePlaceOfTheLast)
{
    ControlHarness harness;
    PopupWindow window(harness);
    RCPtrArray<LMenuDescriptor> menus;
    window.button->BuildContextMenuDescriptors(menus);
    ASSERT_EQ(menus.GetCount(), 1u);
    ASSERT_EQ(window.button->SetContextMenuDescriptor(menus.GetData()[0]), ZV_S_OK);
    harness.Window().SetControlsUnderPointer({window.button, window.main});
    const Lines oneMenu = {"button's menu of 2 items, hidden", "button is told of contextMenu", "button's menu placed"};

    const auto menuEvents = [] {
        Lines menu;
        for (const std::string& event : gPopupEvents) {
            if (event.find("tip") == std::string::npos) {
                menu.push_back(event);
            }
        }
        return menu;
    };
    for (int click = 0; click < 2; ++click) {
        gPopupEvents.clear();
        window.mouse.Press(MouseButton::kRight, {10, 10});
        window.mouse.Release(MouseButton::kRight, {10, 10});
        EXPECT_EQ(menuEvents(), oneMenu);
        EXPECT_EQ(window.ChildrenNamed(*window.button, L"contextMenu"), 1);
        EXPECT_TRUE(window.button->FindChildByName(L"contextMenu")->GetLayoutDescriptor()->isVisible);
    }
    harness.PumpIdle();
    EXPECT_EQ(gLivePopups, 1);
    // A control without a context menu opens none.
    gPopupEvents.clear();
    harness.Window().SetControlsUnderPointer({window.plain, window.main});
    window.mouse.Press(MouseButton::kRight, {20, 10});
    window.mouse.Release(MouseButton::kRight, {20, 10});
    EXPECT_EQ(menuEvents(), Lines{});
}

}  // namespace
}  // namespace ZV
