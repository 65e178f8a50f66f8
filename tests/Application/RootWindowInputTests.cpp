#include "Application/RootWindowTestWindow.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/KeyParams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Testing::ControlEvents;

// The events written down so far that contain the text.
std::vector<std::string> EventsWith(const std::string& text)
{
    std::vector<std::string> events;
    for (const std::string& event : ControlEvents()) {
        if (event.find(text) != std::string::npos) {
            events.push_back(event);
        }
    }
    return events;
}

// A window of 300 x 200: two buttons side by side, and a panel that declines the wheel with a field that takes it.
// Every control can take the focus.
std::string InputSkin()
{
    using Testing::SubControl;
    return SubControl(
        "Test.Input", "main", "",
        SubControl("Test.Input", "button", R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="80" YSizeAbs="30")") +
            SubControl("Test.Input", "other", R"(XPositionAbs="120" YPositionAbs="20" XSizeAbs="80" YSizeAbs="30")") +
            SubControl("Test.Input", "panel", R"(XPositionAbs="20" YPositionAbs="80" XSizeAbs="200" YSizeAbs="100")",
                       SubControl("Test.Input", "field",
                                  R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="60" YSizeAbs="20")", "",
                                  {{"TAKES_WHEEL", "true"}})));
}

class RootWindowInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        mTest.Open(InputSkin(), 300, 200,
                   Testing::StringTable("Test.Input|button", {{"TOOLTIP", "Saves the file"}}));
    }

    Testing::RootWindowTestWindow mTest;
};

TEST_F(RootWindowInput, APressAndReleaseClickTheControlThatHeldTheCaptureBetweenThem)
{
    const RCPtr<LControl> button = mTest.Find(L"button");
    const RCPtr<Testing::LNotificationSpy> spy = Testing::LNotificationSpy::Create();
    spy->Watch(button, {L"NID_LEFT_CLICK"});
    mTest.Press(30, 30);
    EXPECT_EQ(mTest.mRoot->GetCaptureControl(), button);
    EXPECT_EQ(button->GetConditions() & (ConditionMask::kLeftPressed | ConditionMask::kCapture),
              ConditionMask::kLeftPressed | ConditionMask::kCapture);
    mTest.Release(30, 30);
    EXPECT_THAT(spy->TakeLines(), ElementsAre("button NID_LEFT_CLICK 1 (10,10)"));
    EXPECT_FALSE(mTest.mRoot->GetCaptureControl());
    // Let go with no control holding the capture: it reaches nobody.
    ControlEvents().clear();
    mTest.Release(30, 30);
    EXPECT_THAT(EventsWith("Left"), IsEmpty());
    EXPECT_THAT(spy->TakeLines(), IsEmpty());
}

TEST_F(RootWindowInput, TheDoubleClickFlagRidesOnTheSecondPressAndTheReleaseThatEndsIt)
{
    mTest.Press(30, 30, 10000);
    mTest.Release(30, 30);
    mTest.Press(30, 30, 10100);
    mTest.Release(30, 30);
    mTest.Press(30, 30, 20000);
    EXPECT_THAT(EventsWith("Left"), ElementsAre("button LeftDown 0", "button LeftUp 0", "button LeftDown 1",
                                                "button LeftUp 1", "button LeftDown 0"));
}

TEST_F(RootWindowInput, TheToolTipShowsOverAControlWithATipTextAndGoesWithTheHoverOrAPress)
{
    mTest.Move(30, 30);
    EXPECT_EQ(mTest.mRoot->GetToolTipControl(), mTest.Find(L"button"));
    mTest.Move(140, 30);
    mTest.Move(35, 30);
    mTest.Press(35, 30);
    EXPECT_THAT(ControlEvents(),
                ElementsAre("button ToolTip 1", "button Enter", "button ToolTip 0", "button Leave", "other Enter",
                            "button ToolTip 1", "other Leave", "button Enter", "button ToolTip 0",
                            "button LeftDown 0"));
}

TEST_F(RootWindowInput, WhileAControlHoldsTheCaptureOthersNeitherEnterNorLeaveAndMovingOffItHoversNothing)
{
    mTest.Move(30, 30);
    mTest.Press(30, 30);
    ControlEvents().clear();
    mTest.Move(140, 30);
    EXPECT_THAT(ControlEvents(), ElementsAre("button ToolTip 0", "button Leave"));
    EXPECT_FALSE(mTest.mRoot->GetHoverControl());
    ControlEvents().clear();
    mTest.Move(30, 30);
    mTest.Release(30, 30);
    mTest.Move(140, 30);
    EXPECT_THAT(ControlEvents(), ElementsAre("button Enter", "button LeftUp 0", "button Leave", "other Enter"));
}

TEST_F(RootWindowInput, AWheelStepThatTheControlsUnderThePointerDeclineReachesTheFocusedControl)
{
    const RCPtr<LControl> field = mTest.Find(L"field");
    ASSERT_TRUE(Succeeded(field->SetFocus(true)));
    ASSERT_EQ(mTest.mRoot->GetFocusControl(), field);
    mTest.Wheel(150, 150);
    EXPECT_THAT(ControlEvents(), ElementsAre("panel Enter", "panel Wheel", "main Wheel", "field Wheel"));
    // Over the field it is taken there, once.
    ControlEvents().clear();
    mTest.Wheel(35, 95);
    EXPECT_THAT(ControlEvents(), ElementsAre("panel Leave", "field Enter", "field Wheel"));
}

TEST_F(RootWindowInput, NoInputReachesTheControlsWhileTheWindowIsInactive)
{
    mTest.mDesktop->mActive = false;
    mTest.Move(30, 30);
    mTest.Press(30, 30);
    mTest.Wheel(30, 30);
    EXPECT_THAT(ControlEvents(), IsEmpty());
    EXPECT_FALSE(mTest.mRoot->GetCaptureControl());
}

TEST_F(RootWindowInput, TheFocusIsRememberedWhileTheWindowIsInactiveAndComesBackWithTheKeyboard)
{
    const RCPtr<LControl> field = mTest.Find(L"field");
    ASSERT_TRUE(Succeeded(field->SetFocus(true)));
    mTest.Move(35, 95);
    mTest.Desktop().OnFocusChanged(false);
    EXPECT_FALSE(mTest.mRoot->GetFocusControl());
    EXPECT_EQ(mTest.mRoot->GetRememberedFocusControl(), field);
    EXPECT_FALSE(mTest.mRoot->GetHoverControl());
    EXPECT_EQ(field->GetConditions() & (ConditionMask::kHasFocus | ConditionMask::kHover), 0u);
    mTest.Desktop().OnFocusChanged(true);
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), field);
    EXPECT_NE(field->GetConditions() & ConditionMask::kHasFocus, 0u);
}

TEST_F(RootWindowInput, TabFromTheTopGoesRoundToTheFirstFocusableControlAndShiftTabToTheLast)
{
    const RCPtr<LControl> button = mTest.Find(L"button");
    const RCPtr<LControl> field = mTest.Find(L"field");
    ASSERT_TRUE(Succeeded(field->SetFocus(true)));
    mTest.mRoot->MoveFocusOnTab(LKeyParam::Create(KeyCode(std::uint8_t{0x09}, true, 0, 0), true));
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), button);
    mTest.mRoot->MoveFocusOnTab(LKeyParam::Create(KeyCode(std::uint8_t{0x09}, true, 0, kModifierShift), true));
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), field);
    // Not while the window is inactive.
    mTest.mDesktop->mActive = false;
    mTest.mRoot->MoveFocusOnTab(LKeyParam::Create(KeyCode(std::uint8_t{0x09}, true, 0, 0), true));
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), field);
}

// Every way out of the window, taken while the panel's field is held pressed.
TEST(RootWindowTreeChange, AControlThatLeavesTheWindowWhileItOrOneBelowItIsPressedGivesTheCaptureBack)
{
    using Road = std::function<void(Testing::RootWindowTestWindow&)>;
    const std::pair<const char*, Road> roads[] = {
        {"panel removed",
         [](Testing::RootWindowTestWindow& test) {
             ASSERT_EQ(test.mRoot->GetRootControl()->ScheduleChildRemoval(test.Find(L"panel")), ZV_S_OK);
             (void)test.mHost.ProcessIdle(true);
             EXPECT_FALSE(test.Find(L"panel"));
         }},
        {"panel detached", [](Testing::RootWindowTestWindow& test) { test.Find(L"panel")->Detach(); }},
        {"field moved",
         [](Testing::RootWindowTestWindow& test) {
             ASSERT_EQ(test.Find(L"field")->SetParent(test.mRoot->GetRootControl()), ZV_S_OK);
         }},
        {"root control replaced",
         [](Testing::RootWindowTestWindow& test) { ASSERT_EQ(test.mRoot->CreateRootControl(L"main"), ZV_S_OK); }},
    };
    for (const auto& [road, leave] : roads) {
        Testing::RootWindowTestWindow test;
        test.Open(InputSkin(), 300, 200);
        const RCPtr<LControl> field = test.Find(L"field");
        test.Press(35, 95);
        ASSERT_EQ(test.mRoot->GetCaptureControl(), field) << road;
        leave(test);
        EXPECT_FALSE(test.mRoot->GetCaptureControl()) << road;
        EXPECT_EQ(field->GetConditions() & ConditionMask::kCapture, 0u) << road << ": its next press would be refused";
        test.Release(35, 95);
        const RCPtr<Testing::LNotificationSpy> spy = Testing::LNotificationSpy::Create();
        spy->Watch(test.Find(L"button"), {L"NID_LEFT_CLICK"});
        test.Click(MouseButton::kLeft, 30, 30);
        EXPECT_THAT(spy->TakeLines(), ElementsAre("button NID_LEFT_CLICK 1 (10,10)")) << road;
    }
}

}  // namespace
}  // namespace ZV
