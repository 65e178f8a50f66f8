#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
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
using Testing::ControlHarness;
using Testing::KeyRouter;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::StringTable;
using Testing::SubControl;
using Lines = std::vector<std::string>;

constexpr std::uint8_t kF1 = 0x70;

// Records the keys it is offered and the notifications its hot keys send it; leaves every key to others.
class LKeyControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override
    {
        Record("KeyDown " + std::to_string(key->GetKey().GetVirtualKey()));
        return ZV_S_FALSE;
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        if (WideString(notification->GetId()) != L"NID_SIBLING_KEY") {
            Record("Heard " + std::string(WideString(notification->GetId()).ToUTF8().GetData()));
        }
        LRecordingControl::ReceiveNotification(sender, notification);
    }
};

RCPtr<LGlobalHotKeyManager> HotKeysOf(const RCPtr<LNotificationReceiver>& receiver,
                                      std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> keys)
{
    const RCPtr<LGlobalHotKeyManager> hotKeys = LGlobalHotKeyManager::Create(receiver);
    for (const auto& [shortcut, id] : keys) {
        EXPECT_EQ(hotKeys->RegisterHotKey(ParseShortcutText(shortcut), id), ZV_S_OK);
    }
    return hotKeys;
}

TEST(ControlKeys, AKeyGoesToTheFocusedControlsHotKeysThenTheControlThenItsSiblingsThenTheWindowThenTheApplication)
{
    ControlHarness harness;
    harness.Register<LKeyControl>(L"Test.Keys");
    harness.LoadStrings(StringTable("Test.Control|focused", {{"LHK.NID_OWN", "VKEY_F1"}}) +
                        StringTable("Test.Control|sibling", {{"LHK.NID_SIBLING", "VKEY_F2"},
                                                             {"LHK.NID_SIBLING_OR_WINDOW", "VKEY_F3"}}) +
                        StringTable("Test.Control|uncle", {{"LHK.NID_UNCLE", "VKEY_F7"}}));
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "box", "",
                                           SubControl("Test.Keys", "focused") + SubControl("Test.Keys", "sibling")) +
                                    SubControl("Test.Keys", "uncle")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ControlTestAccess::PlaceTree(*main, {0, 0, 100, 100});
    const RCPtr<LControl> box = main->FindChildByName(L"box");
    const RCPtr<LControl> focused = box->FindChildByName(L"focused");
    const RCPtr<LControl> sibling = box->FindChildByName(L"sibling");
    (void)focused->SetFocus(true);
    ASSERT_EQ(harness.Window().GetFocusControl(), focused);

    (void)harness.Window().GetHotKeyManager()->RegisterHotKey(ParseShortcutText(L"VKEY_F3"), L"NID_WINDOW_OR_SIBLING");
    (void)harness.Window().GetHotKeyManager()->RegisterHotKey(ParseShortcutText(L"VKEY_F4"), L"NID_WINDOW");
    const RCPtr<LNotificationSpy> windowHeard = LNotificationSpy::Create();
    for (const wchar_t* id : {L"NID_WINDOW_OR_SIBLING", L"NID_WINDOW"}) {
        windowHeard->RegisterForNotification(harness.WindowRef().Get(), id, 0);
    }
    const RCPtr<LNotificationSpy> applicationHeard = LNotificationSpy::Create();
    harness.SetApplicationHotKeys(HotKeysOf(
        applicationHeard, {{L"VKEY_F4", L"NID_APPLICATION_OR_WINDOW"}, {L"VKEY_F5", L"NID_APPLICATION"}}));

    KeyRouter keys(harness.Window());
    const auto press = [&](std::uint8_t key) {
        ControlEvents().clear();
        keys.Press(key);
        harness.PumpIdle();
        Lines heard = ControlEvents();
        for (const std::string& line : windowHeard->TakeLines()) {
            heard.push_back("window " + line);
        }
        for (const std::string& line : applicationHeard->TakeLines()) {
            heard.push_back("application " + line);
        }
        return heard;
    };
    // Its own hot key reaches the control before the control sees the key.
    EXPECT_EQ(press(kF1), (Lines{"focused Heard NID_OWN"}));
    EXPECT_EQ(press(kF1 + 1), (Lines{"focused KeyDown 113", "sibling Heard NID_SIBLING"}));
    EXPECT_EQ(press(kF1 + 2), (Lines{"focused KeyDown 114", "sibling Heard NID_SIBLING_OR_WINDOW"}));
    EXPECT_EQ(press(kF1 + 3), (Lines{"focused KeyDown 115", "window NID_WINDOW"}));
    EXPECT_EQ(press(kF1 + 4), (Lines{"focused KeyDown 116", "application NID_APPLICATION"}));
    // A hot key of a control further up is not among the siblings, and nobody else has the key.
    EXPECT_EQ(press(kF1 + 6), (Lines{"focused KeyDown 118"}));

    // A disabled sibling lets its hot key go by.
    sibling->SetEnabled(false);
    EXPECT_EQ(press(kF1 + 2), (Lines{"focused KeyDown 114", "window NID_WINDOW_OR_SIBLING"}));
    // A key-up never passes for a hot key pressed.
    ControlEvents().clear();
    keys.RouteKey(LKeyParam::Create(KeyCode(kF1, false, 1, 0), true));
    EXPECT_EQ(ControlEvents(), (Lines{"focused KeyDown 112"}));
}

// A window whose controls, in tab order, are: a control that wants Tab, a label that takes no focus, a hidden
// control, a button, a disabled control, a container of two, a second button; and a second container whose only
// focusable child sits among labels.
struct TabWindow {
    explicit TabWindow(ControlHarness& harness) : keys(harness.Window())
    {
        harness.Register<LKeyControl>(L"Test.Keys");
        const auto tab = [](int stop) { return "TabStop=\"" + std::to_string(stop) + "\""; };
        harness.LoadSkin(SubControl(
            "Test.Control", "main", "",
            SubControl("Test.Keys", "tabber", tab(0), "", {{"WANTS_TAB", "True"}}) +
                SubControl("Test.Control", "label", tab(1), "", {{"NOT_FOCUSABLE", "true"}}) +
                SubControl("Test.Control", "hidden", tab(2) + " IsVisible=\"False\"") +
                SubControl("Test.Control", "first", tab(3)) + SubControl("Test.Control", "disabled", tab(4)) +
                SubControl(
                    "Test.Control", "box", tab(5),
                    SubControl("Test.Control", "inner1", tab(1)) + SubControl("Test.Control", "inner2", tab(2))) +
                SubControl("Test.Control", "second", tab(6)) +
                SubControl("Test.Control", "island", tab(7),
                           SubControl("Test.Control", "note1", tab(1), "", {{"NOT_FOCUSABLE", "true"}}) +
                               SubControl("Test.Control", "only", tab(2)) +
                               SubControl("Test.Control", "note2", tab(3), "", {{"NOT_FOCUSABLE", "true"}}))));
        main = harness.CreateRoot(L"main");
        ControlTestAccess::PlaceTree(*main, {0, 0, 100, 100});
        main->FindChildByName(L"disabled")->SetEnabled(false);
        main->FindChildByName(L"island")->SetVisible(false);
    }

    RCPtr<LControl> Find(const wchar_t* name) const
    {
        for (const wchar_t* container : {L"box", L"island"}) {
            if (const RCPtr<LControl> inner = main->FindChildByName(container)->FindChildByName(name)) {
                return inner;
            }
        }
        return main->FindChildByName(name);
    }

    KeyRouter keys;
    RCPtr<LControl> main;
};

std::string FocusedName(ControlHarness& harness)
{
    const RCPtr<LControl> focused = harness.Window().GetFocusControl();
    return focused ? std::string(focused->GetName().ToUTF8().GetData()) : "nobody";
}

// Tab navigation runs on a thread of its own: a search that never ends fails the test instead of hanging it.
TEST(ControlKeys, TabVisitsTheFocusableControlsInTabOrderAndWrapsWhileShiftTabGoesBackAndNothingHangs)
{
    std::future<void> navigation = std::async(std::launch::async, [] {
        ControlHarness harness;
        TabWindow window(harness);
        std::vector<std::string> visited;
        const auto focus = [&](const wchar_t* name) {
            (void)window.Find(name)->SetFocus(true);
            ASSERT_EQ(harness.Window().GetFocusControl(), window.Find(name));
        };
        const auto step = [&](auto press) {
            press();
            visited.push_back(FocusedName(harness));
        };
        const auto tab = [&] { step([&] { window.keys.Tab(); }); };
        const auto shiftTab = [&] { step([&] { window.keys.ShiftTab(); }); };

        // Keys from the window go round inside the container they are in; Ctrl+Tab leaves it.
        focus(L"first");
        tab();
        tab();
        tab();
        step([&] { window.keys.CtrlTab(); });
        // Past the last control Tab comes round to the first, which keeps Tab and Shift+Tab for itself.
        tab();
        ControlEvents().clear();
        tab();
        shiftTab();
        EXPECT_EQ(ControlEvents(), (Lines{"tabber KeyDown 9", "tabber KeyDown 9"}));
        EXPECT_EQ(visited, (Lines{"inner1", "inner2", "inner1", "second", "tabber", "tabber", "tabber"}));

        visited.clear();
        focus(L"second");
        shiftTab();
        shiftTab();
        shiftTab();
        step([&] { window.keys.CtrlTab(kModifierShift); });
        // Backwards past the label that takes no focus, and round past the start.
        shiftTab();
        EXPECT_EQ(visited, (Lines{"inner2", "inner1", "inner2", "first", "tabber"}));

        // A Tab that a control passes on leaves containers, and at the top the window starts again at the first.
        visited.clear();
        focus(L"inner2");
        step([&] { window.keys.Tab(false); });
        step([&] { window.keys.Tab(false); });
        EXPECT_EQ(visited, (Lines{"second", "tabber"}));
        EXPECT_EQ(harness.Window().GetTabMoveCount(), 1);

        // Only labels around the one control that takes the focus: the search goes once round and stops.
        window.main->FindChildByName(L"island")->SetVisible(true);
        focus(L"only");
        tab();
        shiftTab();
        EXPECT_EQ(visited.back(), "only");
    });
    if (navigation.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "Tab navigation did not end";
        // The thread cannot be stopped, and the test cannot end while it runs.
        std::abort();
    }
    navigation.get();
}

}  // namespace
}  // namespace ZV
