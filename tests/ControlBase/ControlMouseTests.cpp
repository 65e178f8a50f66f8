#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::MouseRouter;
using Testing::SubControl;
using Lines = std::vector<std::string>;

const std::initializer_list<const wchar_t*> kMouseAndConditionIds = {
    L"NID_CONDITION_CHANGE",        L"NID_HAS_FOCUS_CONDITION_CHANGE", L"NID_HOVER_CONDITION_CHANGE",
    L"NID_CAPTURE_CONDITION_CHANGE", L"NID_LEFT_DRAG_CONDITION_CHANGE", L"NID_MOUSE_DOWN",
    L"NID_MOUSE_MOVE",              L"NID_MOUSE_UP",                   L"NID_LEFT_CLICK"};

// Records the drag tracking it is asked for, and, once told to, lowers its drag threshold to 0 at its next move.
class LTrackingControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void ProcessMouseTracking(const RCPtr<LPointWithModifiersParam>& pointer) override
    {
        Record("Tracking " + std::to_string(pointer->GetX()) + "," + std::to_string(pointer->GetY()));
    }

    void OnMouseMoved(const RCPtr<LPointWithModifiersParam>&) override
    {
        if (mDropThresholdOnMove) {
            (void)SetDragThreshold(0);
        }
    }

    bool mDropThresholdOnMove = false;
};

// Handles the wheel when told to, and records every wheel step offered to it.
class LWheelControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>&) override
    {
        Record("Wheel");
        return mHandles ? ZV_S_OK : ZV_S_FALSE;
    }

    ZVRESULT OnMouseHWheel(const RCPtr<LMouseWheelParam>&) override
    {
        Record("HWheel");
        return mHandles ? ZV_S_OK : ZV_S_FALSE;
    }

    bool mHandles = false;
};

// A window 200 by 100 with a button at (10, 10), 80 by 30, both focusable; the pointer lies over the button.
struct ButtonWindow {
    explicit ButtonWindow(ControlHarness& harness, const char* buttonClass = "Test.Control")
        : mouse(harness.Window())
    {
        harness.Register<LTrackingControl>(L"Test.Tracking");
        harness.LoadSkin(SubControl("Test.Control", "main", "", SubControl(buttonClass, "button")));
        main = harness.CreateRoot(L"main");
        button = main->FindChildByName(L"button");
        ControlTestAccess::Place(*main, {0, 0, 200, 100});
        ControlTestAccess::Place(*button, {10, 10, 80, 30});
        main->SetNotFocusable(false);
        button->SetNotFocusable(false);
        harness.Window().SetControlsUnderPointer({button, main});
        spy->Watch(button, kMouseAndConditionIds);
    }

    bool Has(std::uint32_t conditions) const { return (button->GetConditions() & conditions) == conditions; }

    MouseRouter mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> button;
    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
};

TEST(ControlMouse, APressAndReleaseOverAButtonHoverPressCaptureAndClickInTheirOrder)
{
    ControlHarness harness;
    ButtonWindow window(harness);

    window.mouse.Move({15, 12});
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    window.mouse.Release(MouseButton::kLeft, {15, 12});
    EXPECT_EQ(window.spy->TakeLines(), (Lines{
                                           "button NID_CONDITION_CHANGE c00>1c04",
                                           "button NID_HOVER_CONDITION_CHANGE c00>1c04",
                                           "button NID_MOUSE_MOVE (5,2)",
                                           "button NID_CONDITION_CHANGE 1c04>1c05",
                                           "button NID_HAS_FOCUS_CONDITION_CHANGE 1c04>1c05",
                                           "button NID_MOUSE_DOWN 1 (5,2)",
                                           "button NID_CONDITION_CHANGE 1c05>1c1d",
                                           "button NID_CAPTURE_CONDITION_CHANGE 1c05>1c1d",
                                           "button NID_LEFT_DRAG_CONDITION_CHANGE 1c05>1c1d",
                                           "button NID_MOUSE_UP 1 (5,2)",
                                           "button NID_CONDITION_CHANGE 1c1d>1c05",
                                           "button NID_CAPTURE_CONDITION_CHANGE 1c1d>1c05",
                                           "button NID_LEFT_DRAG_CONDITION_CHANGE 1c1d>1c05",
                                           "button NID_LEFT_CLICK 1 (5,2)",
                                       }));
    EXPECT_EQ(harness.Window().GetFocusControl(), window.button);

    // Moving off while pressed: the hover goes, the press becomes a drag from where it went down, and the release
    // is no click. Without the capture the hover moves to the control under the pointer.
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    EXPECT_EQ(harness.Window().GetCaptureControl(), window.button);
    (void)window.spy->TakeLines();
    harness.Window().SetControlsUnderPointer({window.main});
    window.mouse.Move({150, 80});
    EXPECT_EQ(harness.Window().GetHoverControl(), nullptr) << "only the capture control can be hovered";
    window.mouse.Release(MouseButton::kLeft, {150, 80});
    EXPECT_EQ(window.spy->TakeLines(), (Lines{
                                           "button NID_CONDITION_CHANGE 1c1d>c19",
                                           "button NID_HOVER_CONDITION_CHANGE 1c1d>c19",
                                           "button NID_MOUSE_MOVE (5,2)",
                                           "button NID_CONDITION_CHANGE c19>c89",
                                           "button NID_LEFT_DRAG_CONDITION_CHANGE c19>c89",
                                           "button NID_MOUSE_MOVE (140,70)",
                                           "button NID_MOUSE_UP 1 (140,70)",
                                           "button NID_CONDITION_CHANGE c89>c01",
                                           "button NID_CAPTURE_CONDITION_CHANGE c89>c01",
                                           "button NID_LEFT_DRAG_CONDITION_CHANGE c89>c01",
                                       }));
    EXPECT_EQ(harness.Window().GetCaptureControl(), nullptr);
    EXPECT_EQ(harness.Window().GetHoverControl(), window.main);

    // A release without a capture reaches nobody; a hidden control refuses presses and releases, and says nothing.
    window.mouse.Release(MouseButton::kLeft, {150, 80});
    EXPECT_EQ(window.spy->TakeLines(), Lines{});
    EXPECT_FALSE(window.button->SetVisible(false));
    (void)window.spy->TakeLines();
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    EXPECT_EQ(window.button->OnMouseDown(LMouseButtonParam::Create(1, {5, 2}, 0, false, 1)), 1);
    EXPECT_EQ(window.button->OnMouseUp(LMouseButtonParam::Create(1, {5, 2}, 0, false, 0)), 1);
    EXPECT_EQ(window.spy->TakeLines(), Lines{});
    EXPECT_EQ(window.button->OnMouseDown(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(window.button->OnMouseUp(LMouseButtonParam::Create(8, {1, 1}, 0, false, 0)), ZV_E_INVALIDARG);
    EXPECT_EQ(window.button->OnMouseMove(nullptr), ZV_E_INVALIDARG);
}

TEST(ControlMouse, OnePixelOfTravelStartsADragAndOnlyADragWithoutTrackingIsStillAClick)
{
    ControlHarness harness;
    ButtonWindow window(harness, "Test.Tracking");
    window.mouse.Move({15, 12});

    window.mouse.Press(MouseButton::kLeft, {15, 12});
    window.mouse.Move({15, 12});
    EXPECT_TRUE(window.Has(ConditionMask::kLeftPressed)) << "no travel, no drag";
    window.mouse.Move({15, 13});
    EXPECT_TRUE(window.Has(ConditionMask::kLeftDragging));
    EXPECT_FALSE(window.Has(ConditionMask::kLeftPressed));
    (void)window.spy->TakeLines();
    window.mouse.Release(MouseButton::kLeft, {15, 13});
    EXPECT_EQ(window.spy->TakeLines().back(), "button NID_LEFT_CLICK 1 (5,3)");

    // A receiver picks a tracking mode as the press goes down: the drag is tracked and no click follows.
    window.spy->OnEach(L"NID_LEFT_DRAG_CONDITION_CHANGE", [&](const LNotification&) {
        if (window.Has(ConditionMask::kLeftPressed)) {
            (void)window.button->SetDragMode(2, 3);
        }
    });
    ControlEvents().clear();
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    window.mouse.Move({16, 12});
    window.mouse.Release(MouseButton::kLeft, {16, 12});
    EXPECT_EQ(ControlEvents(), (Lines{"button Tracking 6,2"}));
    EXPECT_NE(window.spy->TakeLines().back(), "button NID_LEFT_CLICK 1 (6,2)");

    // With a threshold of 0 a press is a drag at once, and the mode is 0 again at every press.
    window.spy->OnEach(L"NID_LEFT_DRAG_CONDITION_CHANGE", nullptr);
    EXPECT_EQ(window.button->SetDragThreshold(0), 0);
    EXPECT_EQ(window.button->SetDragThreshold(-1), ZV_E_INVALIDARG);
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    EXPECT_TRUE(window.Has(ConditionMask::kLeftDragging | ConditionMask::kCapture));
    window.mouse.Release(MouseButton::kLeft, {15, 12});
    EXPECT_EQ(window.spy->TakeLines().back(), "button NID_LEFT_CLICK 1 (5,2)");
}

TEST(ControlMouse, AThresholdLoweredToZeroDuringAPressStartsTheDragOnceFromThePressPosition)
{
    ControlHarness harness;
    ButtonWindow window(harness, "Test.Tracking");
    window.mouse.Move({15, 12});
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    dynamic_cast<LTrackingControl&>(*window.button).mDropThresholdOnMove = true;
    (void)window.spy->TakeLines();

    // The first move lowers the threshold as it is handled; the next one starts the drag.
    window.mouse.Move({15, 12});
    window.mouse.Move({16, 12});
    EXPECT_EQ(window.spy->TakeLines(), (Lines{
                                           "button NID_MOUSE_MOVE (5,2)",
                                           "button NID_MOUSE_MOVE (5,2)",
                                           "button NID_CONDITION_CHANGE 1c1d>1c8d",
                                           "button NID_LEFT_DRAG_CONDITION_CHANGE 1c1d>1c8d",
                                           "button NID_MOUSE_MOVE (6,2)",
                                       }));
}

TEST(ControlMouse, AWheelStepClimbsClippedParentsThenAsksUnderThePointerAndEndsWithoutHandler)
{
    ControlHarness harness;
    harness.Register<LWheelControl>(L"Test.Wheel");
    harness.LoadSkin(SubControl(
        "Test.Wheel", "main", "",
        SubControl("Test.Wheel", "panel", "", SubControl("Test.Wheel", "item")) +
            SubControl("Test.Wheel", "popup", R"(ClipToParent="False")",
                       SubControl("Test.Wheel", "inner", "", SubControl("Test.Wheel", "innerItem")))));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ControlTestAccess::PlaceTree(*main, {0, 0, 50, 50});
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    const RCPtr<LControl> item = panel->FindChildByName(L"item");
    const RCPtr<LControl> popup = main->FindChildByName(L"popup");
    const RCPtr<LControl> inner = popup->FindChildByName(L"inner");
    const RCPtr<LControl> innerItem = inner->FindChildByName(L"innerItem");
    const RCPtr<LMouseWheelParam> down = LMouseWheelParam::Create({5, 5}, 0, LMouseWheelParam::kVerticalNegative);
    ControlEvents().clear();

    EXPECT_EQ(item->DeliverMouseWheel(down), 1);
    EXPECT_EQ(ControlEvents(), (Lines{"item Wheel", "panel Wheel", "main Wheel"}));

    // A clipped control in an unclipped popup: on to what lies under the pointer, among the controls not tried.
    harness.Window().SetControlsUnderPointer({popup, main});
    ControlEvents().clear();
    EXPECT_EQ(inner->DeliverMouseHWheel(LMouseWheelParam::Create({5, 5}, 0, 3)), 1);
    EXPECT_EQ(ControlEvents(), (Lines{"inner HWheel", "popup HWheel", "main HWheel"}));
    EXPECT_FALSE(inner->IsExcludedFromHitTests());

    // Under the pointer lies a clipped child of a control looked past already: the climb would lead back there for
    // ever.
    harness.Window().SetControlsUnderPointer({innerItem, main});
    ControlEvents().clear();
    EXPECT_EQ(inner->DeliverMouseWheel(down), 1);
    EXPECT_EQ(ControlEvents(), (Lines{"inner Wheel", "innerItem Wheel", "inner Wheel"}));

    dynamic_cast<LWheelControl&>(*panel).mHandles = true;
    ControlEvents().clear();
    EXPECT_EQ(item->DeliverMouseWheel(down), 0);
    EXPECT_EQ(ControlEvents(), (Lines{"item Wheel", "panel Wheel"}));
    EXPECT_EQ(item->DeliverMouseWheel(nullptr), static_cast<ZVRESULT>(0xFFFFFFFFu));

    // The window offers a step that nobody under the pointer handled to the focused control.
    dynamic_cast<LWheelControl&>(*panel).mHandles = false;
    dynamic_cast<LWheelControl&>(*popup).mHandles = true;
    popup->SetNotFocusable(false);
    main->SetNotFocusable(false);
    inner->SetNotFocusable(true);
    innerItem->SetNotFocusable(true);
    ASSERT_EQ(popup->SetFocus(true), 1);
    harness.Window().SetControlsUnderPointer({item});
    ControlEvents().clear();
    MouseRouter(harness.Window()).RouteMouseWheel({5, 5}, 0, LMouseWheelParam::kVerticalPositive);
    EXPECT_EQ(ControlEvents(), (Lines{"item Wheel", "panel Wheel", "main Wheel", "popup Wheel"}));
}

TEST(ControlMouse, ASecondButtonWhileCapturedAndALostCaptureKeepTheFlagsTogether)
{
    ControlHarness harness;
    ButtonWindow window(harness);
    window.mouse.Move({15, 12});
    window.mouse.Press(MouseButton::kLeft, {15, 12});
    (void)window.spy->TakeLines();

    // The second press is reported but takes no capture of its own; its release leaves the first press held.
    window.mouse.Press(MouseButton::kRight, {15, 12});
    EXPECT_EQ(window.spy->TakeLines(), (Lines{"button NID_MOUSE_DOWN 4 (5,2)"}));
    window.mouse.Release(MouseButton::kRight, {15, 12});
    EXPECT_EQ(window.spy->TakeLines(), (Lines{"button NID_MOUSE_UP 4 (5,2)"}));
    EXPECT_TRUE(window.Has(ConditionMask::kCapture | ConditionMask::kLeftPressed));

    // Another control takes the capture: the first loses it with its press, and says so.
    const RCPtr<LControl> main = window.main;
    EXPECT_EQ(harness.Window().SetCapture(main), 0);
    EXPECT_EQ(window.button->GetConditions() & (ConditionMask::kCapture | ConditionMask::kLeftPressed), 0u);
    EXPECT_EQ(window.spy->TakeLines().size(), 3u);
    EXPECT_EQ(window.button->OnCaptureLost(), 1) << "nothing left to lose";
    EXPECT_EQ(harness.Window().SetCapture(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(harness.Window().ReleaseCapture(), 0);

    // A press of no button takes the capture alone.
    EXPECT_EQ(window.button->ProcessMouseDown(0, 1, 1), 0);
    EXPECT_EQ(window.button->GetConditions() & 0x3F8, ConditionMask::kCapture);
    EXPECT_EQ(window.button->ProcessMouseDown(0, 1, 1), 1) << "captured already";
    EXPECT_EQ(window.button->OnCaptureLost(), 0);
    EXPECT_EQ(window.button->ProcessMouseDown(MouseButton::kMiddle, 1, 1), 1) << "the button is not held";

    // The other buttons click as the left one does, each with its own notification.
    window.spy->Watch(window.button, {L"NID_MIDDLE_CLICK", L"NID_RIGHT_CLICK"});
    harness.Window().SetMouseButtonState(0);
    Lines clicks;
    for (const std::uint32_t button : {MouseButton::kMiddle, MouseButton::kRight}) {
        window.mouse.Press(button, {15, 12});
        window.mouse.Release(button, {15, 12});
        clicks.push_back(window.spy->TakeLines().back());
    }
    EXPECT_EQ(clicks, (Lines{"button NID_MIDDLE_CLICK 2 (5,2)", "button NID_RIGHT_CLICK 4 (5,2)"}));
    EXPECT_EQ(harness.Window().GetCaptureControl(), nullptr);
    EXPECT_EQ(window.button->ProcessRelayout({200, 100}), 0);
}

}  // namespace
}  // namespace ZV
