#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/KeyParams.h"
#include "Controls/ControlsHarness.h"
#include "Controls/Panel.h"
#include "Notification/Notification.h"
#include "System/ShortcutText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlsHarness;
using Testing::KeyRouter;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::Panel;
using Testing::StringTable;
using Testing::Wearing;
using Lines = std::vector<std::string>;

constexpr std::uint8_t kF2 = 0x71;

// Writes down the keys it sees and what its hot keys send it, and takes no key itself.
class LListeningControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override
    {
        Record("saw F" + std::to_string(key->GetKey().GetVirtualKey() - kF2 + 2));
        return ZV_S_FALSE;
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        const WideString id(notification->GetId());
        if (id != L"NID_SIBLING_KEY") {
            Record("heard " + std::string(id.ToUTF8().GetData()));
        }
        LRecordingControl::ReceiveNotification(sender, notification);
    }
};

std::string Tab(int stop)
{
    return "TabStop=\"" + std::to_string(stop) + "\"";
}

std::string FocusedName(ControlsHarness& harness)
{
    const RCPtr<LControl> focused = harness.Window().GetFocusControl();
    return focused ? std::string(focused->GetName().ToUTF8().GetData()) : "nobody";
}

TEST(Panel, TabLeavesAnInnerPanelPastItsEndsAndCtrlTabLeavesItAtOnce)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls +=
        Testing::MainControl(Panel("first", Tab(1), "") +
                             Wearing("Framework.Panel", "inner", "panel", Tab(2),
                                     Panel("a", Tab(1), "") + Wearing("Framework.Label", "label", "label", Tab(2)) +
                                         Panel("b", Tab(3), "")) +
                             Panel("after", Tab(3), ""));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LControl> inner = main->FindChildByName(L"inner");
    KeyRouter& keys = harness.Keys();
    const auto from = [&](const wchar_t* name, auto press) {
        const RCPtr<LControl> start = inner->FindChildByName(name);
        (void)start->SetFocus(true);
        EXPECT_EQ(harness.Window().GetFocusControl(), start);
        press();
        return FocusedName(harness);
    };

    EXPECT_EQ(from(L"a", [&] { keys.Tab(); }), "b") << "past the label";
    EXPECT_EQ(from(L"b", [&] { keys.Tab(); }), "after") << "not round to the panel's first child";
    EXPECT_EQ(from(L"b", [&] { keys.ShiftTab(); }), "a");
    EXPECT_EQ(from(L"a", [&] { keys.ShiftTab(); }), "first");
    EXPECT_EQ(from(L"a", [&] { keys.CtrlTab(); }), "after");
    EXPECT_EQ(from(L"b", [&] { keys.CtrlTab(kModifierShift); }), "first");
}

// A top-level panel asked to move on from a child that left it, among children that take no focus: the search
// runs on a thread of its own, so that one without end fails the test instead of hanging it.
TEST(Panel, ATabSearchAmongChildrenThatTakeNoFocusEndsWhereverItStarted)
{
    std::future<std::string> search = std::async(std::launch::async, [] {
        ControlsHarness harness;
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += Wearing("Framework.Panel", "main", "panel", "",
                                 Panel("gone", Tab(1), "") + Wearing("Framework.Label", "note1", "label", Tab(2)) +
                                     Wearing("Framework.Label", "note2", "label", Tab(3)));
        const RCPtr<LControl> lonely = harness.CreateMain(skin);
        if (!lonely) {
            return std::string("no panel");
        }
        const RCPtr<LControl> gone = lonely->FindChildByName(L"gone");
        (void)gone->SetVisible(false);
        const RCPtr<LKeyParam> tab = LKeyParam::Create(KeyCode(KeyRouter::kTab, true, 0, 0), true);
        (void)tab->GetRoute().AddItem(gone);
        lonely->ProcessNavigationKey(tab);
        return FocusedName(harness);
    });
    if (search.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the search did not end";
        // The thread cannot be stopped, and the test cannot end while it runs.
        std::abort();
    }
    EXPECT_EQ(search.get(), "nobody");
}

TEST(Panel, KeysClimbThroughPanelsAndReachIntoThemAndAKeyTakenInsideGoesNoFurther)
{
    ControlsHarness harness;
    harness.Register<LListeningControl>(L"Test.Listening");
    harness.LoadStrings(StringTable("Framework.Panel|inside", {{"LHK.NID_INSIDE", "VKEY_F2"},
                                                               {"LHK.NID_INSIDE_ONLY", "VKEY_F6"}}) +
                        StringTable("Test.Panel|outside", {{"LHK.NID_OUTSIDE_TOO", "VKEY_F2"},
                                                           {"LHK.NID_OUTSIDE", "VKEY_F7"}}));
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(
        Wearing("Framework.Panel", "panel", "panel", Tab(1),
                Wearing("Test.Listening", "focused", "panel", Tab(1)) +
                    Wearing("Test.Listening", "inside", "panel", Tab(2))) +
        Wearing("Test.Listening", "outside", "panel", Tab(2)));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    for (const auto& [shortcut, id] : {std::pair{L"VKEY_F2", L"NID_WINDOW_F2"}, std::pair{L"VKEY_F3", L"NID_WINDOW"},
                                       std::pair{L"VKEY_F6", L"NID_WINDOW_F6"}}) {
        ASSERT_EQ(harness.Window().GetHotKeyManager()->RegisterHotKey(ParseShortcutText(shortcut), id), ZV_S_OK);
    }
    const RCPtr<LNotificationSpy> window = LNotificationSpy::Create();
    for (const wchar_t* id : {L"NID_WINDOW_F2", L"NID_WINDOW", L"NID_WINDOW_F6"}) {
        window->RegisterForNotification(harness.WindowRef().Get(), id, 0);
    }
    const auto press = [&](const RCPtr<LControl>& focused, std::uint8_t key) {
        (void)focused->SetFocus(true);
        ControlEvents().clear();
        harness.Keys().Press(key);
        harness.PumpIdle();
        Lines heard = ControlEvents();
        for (const std::string& line : window->TakeLines()) {
            heard.push_back("window " + line);
        }
        return heard;
    };
    const RCPtr<LControl> focused = panel->FindChildByName(L"focused");
    const RCPtr<LControl> outside = main->FindChildByName(L"outside");

    EXPECT_EQ(press(focused, kF2), (Lines{"focused saw F2", "inside heard NID_INSIDE"}))
        << "taken inside the panel: neither its parent's other child nor the window hears it";
    EXPECT_EQ(press(focused, kF2 + 5), (Lines{"focused saw F7", "outside heard NID_OUTSIDE"}))
        << "a key nobody in the panel takes climbs to the panel's parent";
    EXPECT_EQ(press(focused, kF2 + 1), (Lines{"focused saw F3", "window NID_WINDOW"}));
    EXPECT_EQ(press(outside, kF2 + 4), (Lines{"outside saw F6", "inside heard NID_INSIDE_ONLY"}))
        << "a key of the panel's parent reaches into the panel, and no further once taken";
    (void)window->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
