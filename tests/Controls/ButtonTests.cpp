#include "Controls/Button.h"
#include "Controls/ControlsHarness.h"
#include "ControlBase/ConditionMask.h"
#include "Notification/ConditionsParam.h"
#include "Notification/Notification.h"

#include <gtest/gtest.h>


#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ButtonLookColour;
using Testing::ControlsHarness;
using Testing::LNotificationRecorder;
using Testing::Wearing;
using Lines = std::vector<std::string>;

// A window with buttons of the fourteen colour looks, 60 x 20 each, side by side in a group, and a recorder of their
// clicks, repeats and values.
struct ButtonWindow {
    ButtonWindow(ControlsHarness& harness, const std::string& buttons, const std::string& strings = "")
        : harness(harness)
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += Testing::MainControl(Testing::Panel("group", R"(XSizeAbs="400" YSizeAbs="100")", buttons));
        if (!strings.empty()) {
            harness.LoadStrings(strings);
        }
        main = harness.CreateMain(skin);
        group = main->FindChildByName(L"group");
    }

    LButton& Button(const wchar_t* name)
    {
        auto* button = dynamic_cast<LButton*>(group->FindChildByName(name).Get());
        EXPECT_NE(button, nullptr);
        return *button;
    }
    RCPtr<LNotificationRecorder> Record(const wchar_t* name)
    {
        recorder->Watch(&Button(name), {L"NID_LEFT_CLICK", L"NID_BUTTON_AUTOREPEAT", L"NID_VALUE_CHANGE"});
        return recorder;
    }
    void Click(const wchar_t* name)
    {
        harness.PressAt(Button(name), {5, 5});
        harness.ReleaseAt(Button(name), {5, 5});
    }

    ControlsHarness& harness;
    RCPtr<LControl> main;
    RCPtr<LControl> group;
    RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
};

std::string ButtonAt(const std::string& name, int x, std::initializer_list<std::pair<std::string, std::string>> params)
{
    return Wearing("Framework.Button", name, "button",
                   "XPositionAbs=\"" + std::to_string(x) + R"(" YPositionAbs="10" XSizeAbs="60" YSizeAbs="20")",
                   "", Testing::CreateParams(params));
}

TEST(Button, APressDraggedOffAndBackShowsTheLooksOfItsStatesAndClicksOnce)
{
    ControlsHarness harness;
    ButtonWindow window(harness, ButtonAt("ok", 10, {}) + ButtonAt("thumb", 80, {{"NOT_FOCUSABLE", "true"}}));
    LButton& ok = window.Button(L"ok");
    window.Record(L"ok");
    const auto drive = [&](LButton& button) {
        std::vector<std::int32_t> looks;
        const auto step = [&](auto action) {
            action();
            looks.push_back(button.GetActiveLookIndex());
        };
        step([&] { harness.MoveTo(button, {5, 5}); });
        step([&] { harness.PressAt(button, {5, 5}); });
        step([&] { harness.MoveTo(button, {7, 5}); });
        step([&] { harness.MoveAway(); });
        step([&] { harness.MoveTo(button, {5, 5}); });
        step([&] { harness.ReleaseAt(button, {5, 5}); });
        return looks;
    };
    EXPECT_EQ(ok.GetActiveLookIndex(), 0);
    // Held still, and after a move: pressed; dragged off: hovered while held.
    EXPECT_EQ(drive(ok), (std::vector<std::int32_t>{1, 5, 5, 4, 5, 4})) << "focused by the press";
    EXPECT_EQ(window.recorder->TakeLines(), (Lines{"0 ok NID_LEFT_CLICK"}));
    EXPECT_EQ(harness.PaintedColourOf(ok), ButtonLookColour(4));

    LButton& thumb = window.Button(L"thumb");
    EXPECT_EQ(drive(thumb), (std::vector<std::int32_t>{1, 2, 2, 1, 2, 1})) << "takes no focus";
    thumb.SetKeepPressedLookWhileCaptured(true);
    EXPECT_EQ(drive(thumb), (std::vector<std::int32_t>{1, 2, 2, 2, 2, 1})) << "pressed while held off it";

    // Under a disabled parent, off and on.
    window.group->SetEnabled(false);
    EXPECT_EQ(ok.GetActiveLookIndex(), 6);
    EXPECT_EQ(harness.PaintedColourOf(ok), ButtonLookColour(6));
    (void)ok.SetValue(0.5);
    EXPECT_EQ(ok.GetActiveLookIndex(), 13) << "exactly 0.5 is on";
    window.group->SetEnabled(true);
    EXPECT_EQ(ok.GetActiveLookIndex(), 10) << "focused, on";
    EXPECT_EQ(ok.GetIdleSubscriberCount(), 0);
}

TEST(Button, HeldItRepeatsOnTheIdleClockOnlyWhileThePointerIsOverItUntilTheCaptureGoes)
{
    ControlsHarness harness;
    ButtonWindow window(harness, ButtonAt("inc", 10, {}));
    LButton& inc = window.Button(L"inc");
    inc.SetAutoRepeat(true);
    const RCPtr<LNotificationRecorder> recorder = window.Record(L"inc");
    const auto repeats = [&] { return recorder->TimesOf(L"NID_BUTTON_AUTOREPEAT"); };

    harness.RunFor(1000);
    harness.PressAt(inc, {5, 5});
    harness.RunFor(650);
    // At the press, then after 0.3 s, then every 0.1 s; the idle passes come every 10 ms.
    std::vector<std::uint32_t> times = repeats();
    ASSERT_EQ(times.size(), 5u);
    EXPECT_EQ(times[0], 1000u);
    EXPECT_GE(times[1] - times[0], 300u);
    EXPECT_LE(times[1] - times[0], 310u);
    for (std::size_t index = 2; index < times.size(); ++index) {
        EXPECT_GE(times[index] - times[index - 1], 100u);
        EXPECT_LE(times[index] - times[index - 1], 110u);
    }

    // Off the button the count stops, and goes on with the time left when the pointer comes back.
    harness.RunFor(40);
    const std::uint32_t left = times.back() + 100 - harness.GetTimeMs();
    harness.MoveAway();
    harness.RunFor(1000);
    EXPECT_EQ(repeats().size(), 5u);
    const std::uint32_t back = harness.GetTimeMs();
    harness.MoveTo(inc, {5, 5});
    harness.RunFor(200);
    times = repeats();
    ASSERT_EQ(times.size(), 7u);
    EXPECT_GE(times[5] - back, left);
    EXPECT_LE(times[5] - back, left + 10);

    // Released away from it: no click, no more repeats, no idle work.
    harness.ReleaseAt(*window.main, {300, 200});
    harness.RunFor(500);
    EXPECT_EQ(recorder->CountOf(L"NID_BUTTON_AUTOREPEAT"), 7u);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 0u);
    EXPECT_EQ(inc.GetIdleSubscriberCount(), 0);

    // Another control taking the capture stops it too.
    harness.PressAt(inc, {5, 5});
    EXPECT_TRUE(inc.IsRepeating());
    ASSERT_EQ(harness.Window().SetCapture(window.main), 0);
    EXPECT_FALSE(inc.IsRepeating());
    EXPECT_EQ(inc.GetIdleSubscriberCount(), 0);

    // The pointer arriving in the same change as the press starts them as well.
    using namespace ConditionMask;
    const std::uint32_t shown = kEnabled | kVisible;
    const std::uint32_t held = shown | kHover | kHoverOrHighlighted | kCapture | kLeftPressed;
    inc.OnConditionsChanged(LConditionsParam::Create(shown, held, {}));
    EXPECT_TRUE(inc.IsRepeating());
    inc.OnConditionsChanged(LConditionsParam::Create(held, shown, {}));
    EXPECT_EQ(recorder->CountOf(L"NID_BUTTON_AUTOREPEAT"), 9u);
    EXPECT_EQ(inc.GetIdleSubscriberCount(), 0);
}

TEST(Button, TogglesFlipRadioButtonsLeaveOnlyTheLastClickedOnAndClickingOneThatIsOnChangesNothing)
{
    ControlsHarness harness;
    const std::pair<std::string, std::string> radio{"IS_RADIO", "true"};
    const std::pair<std::string, std::string> autoValue{"AUTO_VALUE_SET", " True "};
    ButtonWindow window(harness, ButtonAt("one", 10, {radio, autoValue}) + ButtonAt("two", 80, {radio, autoValue}) +
                                     ButtonAt("three", 150, {radio, autoValue}) +
                                     ButtonAt("toggle", 220, {autoValue, {"INITIAL_VALUE", "0.5"}}) +
                                     ButtonAt("plain", 290, {{"IS_RADIO", "yes"}}));
    for (const wchar_t* name : {L"one", L"two", L"three", L"toggle", L"plain"}) {
        window.Record(name);
    }
    const auto values = [&] {
        std::string text;
        for (const wchar_t* name : {L"one", L"two", L"three", L"toggle", L"plain"}) {
            text += window.Button(name).IsOn() ? '1' : '0';
        }
        return text;
    };
    EXPECT_EQ(values(), "00010") << "0.5 is on";
    for (const wchar_t* name : {L"two", L"three", L"one"}) {
        window.Click(name);
    }
    EXPECT_EQ(values(), "10010");
    (void)window.recorder->TakeLines();
    window.Click(L"one");
    EXPECT_EQ(window.recorder->TakeLines(), (Lines{"0 one NID_LEFT_CLICK"})) << "stays on";
    window.Click(L"toggle");
    window.Click(L"plain");
    EXPECT_EQ(values(), "10000");
    window.Click(L"toggle");
    EXPECT_EQ(values(), "10010");
    EXPECT_EQ(window.recorder->TakeLines(),
              (Lines{"0 toggle NID_VALUE_CHANGE = 0", "0 toggle NID_LEFT_CLICK", "0 plain NID_LEFT_CLICK",
                     "0 toggle NID_VALUE_CHANGE = 1", "0 toggle NID_LEFT_CLICK"}));
    EXPECT_EQ(window.Button(L"toggle").GetActiveLookIndex(), 11) << "on, focused and hovered";
}

TEST(Button, ReturnAndSimulatedClicksShowThePressedLookThenClickAndCtrlReturnDoesNot)
{
    ControlsHarness harness;
    ButtonWindow window(harness, ButtonAt("ok", 10, {}) + ButtonAt("other", 80, {}),
                        Testing::StringTable("Test.Panel|ok", {{"LHK.NID_SIMULATE_CLICK", "VKEY_F5"}}));
    LButton& ok = window.Button(L"ok");
    const RCPtr<LNotificationRecorder> recorder = window.Record(L"ok");
    ASSERT_FALSE(Failed(ok.SetFocus(true)));
    harness.RunFor(1000);

    harness.Keys().Press(0x0D);
    EXPECT_EQ(ok.GetActiveLookIndex(), 2);
    harness.RunFor(140);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 0u);
    harness.RunFor(30);
    const std::vector<std::uint32_t> clicks = recorder->TimesOf(L"NID_LEFT_CLICK");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_GE(clicks[0], 1150u);
    EXPECT_LE(clicks[0], 1160u);
    EXPECT_EQ(ok.GetActiveLookIndex(), 3) << "focused";

    for (const std::uint32_t modifiers : {kModifierCtrl, kModifierShift, kModifierAlt}) {
        harness.Keys().Press(0x0D, modifiers);
    }
    harness.RunFor(300);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 1u);

    // The second finishes the first at once; the local hot key from a sibling clicks too.
    const RCPtr<LNotification> simulate = LNotification::Create(L"NID_SIMULATE_CLICK", nullptr);
    ok.ReceiveNotification(nullptr, simulate);
    ok.ReceiveNotification(nullptr, simulate);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 2u);
    harness.RunFor(200);
    ASSERT_FALSE(Failed(window.Button(L"other").SetFocus(true)));
    harness.Keys().Press(0x74);
    harness.RunFor(200);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 4u);
    EXPECT_EQ(ok.GetIdleSubscriberCount(), 0);

    // Disabled before or during the press: no click.
    window.group->SetEnabled(false);
    ok.ReceiveNotification(nullptr, simulate);
    window.group->SetEnabled(true);
    ok.SimulateClick();
    window.group->SetEnabled(false);
    harness.RunFor(200);
    EXPECT_EQ(recorder->CountOf(L"NID_LEFT_CLICK"), 4u);
    EXPECT_EQ(ok.GetActiveLookIndex(), 6);
    EXPECT_EQ(ok.GetIdleSubscriberCount(), 0);
}

TEST(Button, AClippedCaptionIsItsToolTipAndAClickThroughButtonLetsThePointerPass)
{
    ControlsHarness harness;
    ButtonWindow window(harness, ButtonAt("short", 10, {}) + ButtonAt("long", 80, {}),
                        Testing::StringTable("Test.Panel|short", {{"LABEL", "Exit"}, {"TOOLTIP", "Leave"}}) +
                            Testing::StringTable("Test.Panel|long", {{"LABEL", "Update firmware"}}));
    harness.PaintAll();
    EXPECT_EQ(Testing::Text(window.Button(L"short").GetToolTipText()), "Leave");
    EXPECT_EQ(Testing::Text(window.Button(L"long").GetToolTipText()), "Update firmware");

    LButton& through = window.Button(L"short");
    PointT<zlong> local;
    EXPECT_EQ(harness.Window().HitTest({15, 15}, local, false).Get(), &through);
    through.SetClickThrough(true);
    EXPECT_EQ(harness.Window().HitTest({15, 15}, local, false), window.group);
}

}  // namespace
}  // namespace ZV
