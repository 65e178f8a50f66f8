#include "ControlBase/ControlDragState.h"
#include "ControlBase/DragTestControls.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LDragControl;
using Testing::MouseRouter;
using Testing::SubControl;
using Lines = std::vector<std::string>;

// Idle passes come every 33 ms, as the window's timer gives them.
constexpr std::uint32_t kIdlePassMs = 33;

// A list 200 by 100 that scrolls its content with the pointer, vertically; the pointer lies over it.
struct ListWindow {
    explicit ListWindow(ControlHarness& harness) : mouse(harness.Window())
    {
        harness.Register<LDragControl>(L"Test.Drag");
        harness.LoadSkin(SubControl("Test.Control", "main", "",
                                    SubControl("Test.Drag", "list", "XSizeAbs=\"200\" YSizeAbs=\"100\"")));
        main = harness.CreateRoot(L"main");
        harness.Window().Resize(200, 100);
        list = main->FindChildByName(L"list");
        List().mode = kDragScroll;
        List().argument = kDragAxisY;
        harness.Window().SetControlsUnderPointer({list, main});
    }

    LDragControl& List() const { return static_cast<LDragControl&>(*list); }
    double Offset() const { return list->GetScrollOffset().y; }

    // A press at (100, 50) and the pointer upwards at 1,500 pixels a second, 15 pixels every 10 ms: the content
    // follows it by 30 pixels. The release comes the given time after the last move.
    void FlickUp(ControlHarness& harness, std::uint32_t releaseAfterMs)
    {
        mouse.Press(MouseButton::kLeft, {100, 50});
        harness.AdvanceTime(10);
        // The drag starts here; the moves that follow are the ones it measures.
        mouse.Move({100, 49});
        for (const zlong y : {35, 20}) {
            harness.AdvanceTime(10);
            mouse.Move({100, y});
        }
        harness.AdvanceTime(releaseAfterMs);
        mouse.Release(MouseButton::kLeft, {100, 20});
    }

    MouseRouter mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> list;
};

TEST(ControlKinetic, AFastReleaseCoastsASecondThenSlowsToAStopInsideTheRangeAndLetsItsIdlePassesGo)
{
    for (const double rangeHeight : {5000.0, 1000.0}) {
        ControlHarness harness;
        ListWindow window(harness);
        window.List().range = {0, 0, 200, rangeHeight};
        window.FlickUp(harness, 99);
        EXPECT_EQ(window.Offset(), 30);
        ASSERT_EQ(window.list->GetIdleSubscriberCount(), 1);

        std::uint32_t coastedMs = 0;
        double lowest = window.Offset();
        double highest = window.Offset();
        double afterOneSecond = 0;
        while (window.list->GetIdleSubscriberCount() != 0 && coastedMs < 10000) {
            harness.AdvanceTime(kIdlePassMs);
            coastedMs += kIdlePassMs;
            harness.PumpIdle();
            lowest = std::min(lowest, window.Offset());
            highest = std::max(highest, window.Offset());
            if (coastedMs == 30 * kIdlePassMs) {
                afterOneSecond = window.Offset();
            }
        }
        // A second at the speed of the release, then 1,000 px/s less every second.
        EXPECT_GE(coastedMs, 2400u);
        EXPECT_LE(coastedMs, 2700u);
        EXPECT_EQ(lowest, 30);
        EXPECT_LE(highest, rangeHeight);
        if (rangeHeight > 3000) {
            EXPECT_NEAR(afterOneSecond, 30 + 1500 * 0.99, 1);
            EXPECT_NEAR(window.Offset(), 30 + 1500 + 1500 * 1.5 / 2, 60);
        } else {
            // At the end of the range the content waits there while the speed runs out.
            EXPECT_EQ(window.Offset(), rangeHeight);
        }
        EXPECT_EQ(window.list->GetIdleSubscriberCount(), 0);
        EXPECT_EQ(harness.Window().GetRegistrationCount(), 0u);
    }
}

TEST(ControlKinetic, AReleaseAHundredMillisecondsAfterTheLastMoveStopsThereAndAPressStopsCoasting)
{
    ControlHarness harness;
    ListWindow window(harness);
    // The millisecond clock wraps during the first flick.
    harness.AdvanceTime(0xFFFFFFFFu - 40);
    window.FlickUp(harness, 100);
    EXPECT_EQ(window.list->GetIdleSubscriberCount(), 0);
    harness.AdvanceTime(kIdlePassMs);
    harness.PumpIdle();
    EXPECT_EQ(window.Offset(), 30);

    window.FlickUp(harness, 99);
    harness.AdvanceTime(kIdlePassMs);
    harness.PumpIdle();
    const double coasting = window.Offset();
    EXPECT_GT(coasting, 60);
    // A press holds the content where it is.
    window.mouse.Press(MouseButton::kLeft, {100, 20});
    EXPECT_EQ(window.list->GetIdleSubscriberCount(), 0);
    harness.AdvanceTime(kIdlePassMs);
    harness.PumpIdle();
    window.mouse.Release(MouseButton::kLeft, {100, 20});
    EXPECT_EQ(window.Offset(), coasting);
    EXPECT_EQ(window.list->GetIdleSubscriberCount(), 0);
}

TEST(ControlKinetic, MovesInTheSameMillisecondWaitForTheNextAndDragScrollingKeepsToTheContentsOwnRange)
{
    ControlHarness harness;
    ListWindow window(harness);
    ControlEvents().clear();
    window.mouse.Press(MouseButton::kLeft, {100, 50});
    harness.AdvanceTime(10);
    window.mouse.Move({100, 49});
    harness.AdvanceTime(10);
    window.mouse.Move({100, 35});
    window.mouse.Move({100, 30});
    harness.AdvanceTime(10);
    window.mouse.Move({100, 20});
    window.mouse.Release(MouseButton::kLeft, {100, 20});
    EXPECT_EQ(ControlEvents(), (Lines{"list ScrollTo 0,15", "list ScrollTo 0,30"}));

    // The list's own range stops it, although its parent would let it scroll much further.
    window.List().range = {0, 0, 200, 40};
    window.mouse.Press(MouseButton::kLeft, {100, 50});
    for (const zlong y : {49, 35, 20}) {
        harness.AdvanceTime(10);
        window.mouse.Move({100, y});
    }
    EXPECT_EQ(window.Offset(), 40);
    window.mouse.Release(MouseButton::kLeft, {100, 20});
}

// A host 300 by 200 holding a bar at (100, 50), 10 by 40, that moves along x and scrolls its host near the host's
// edges.
struct HostWindow {
    explicit HostWindow(ControlHarness& harness) : mouse(harness.Window())
    {
        harness.Register<LDragControl>(L"Test.Drag");
        harness.LoadSkin(SubControl(
            "Test.Control", "main", "",
            SubControl("Test.Drag", "host", "XSizeAbs=\"300\" YSizeAbs=\"200\"",
                       SubControl("Test.Drag", "bar",
                                  "XPositionAbs=\"100\" YPositionAbs=\"50\" XSizeAbs=\"10\" YSizeAbs=\"40\""))));
        main = harness.CreateRoot(L"main");
        harness.Window().Resize(400, 300);
        host = main->FindChildByName(L"host");
        bar = host->FindChildByName(L"bar");
        static_cast<LDragControl&>(*bar).mode = kDragMoveScrollingParent;
        static_cast<LDragControl&>(*bar).argument = kDragAxisX;
        harness.Window().SetControlsUnderPointer({bar, host, main});
    }

    double HostOffset() const { return host->GetScrollOffset().x; }

    MouseRouter mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> host;
    RCPtr<LControl> bar;
};

TEST(ControlKinetic, AHostScrollsFifteenPixelsASecondAtTheEdgeOfItsZoneAndFasterFurtherInUntilThePointerLeaves)
{
    ControlHarness harness;
    HostWindow window(harness);
    const auto coastOneSecond = [&] {
        const double before = window.HostOffset();
        for (int pass = 0; pass < 30; ++pass) {
            harness.AdvanceTime(kIdlePassMs);
            harness.PumpIdle();
        }
        return window.HostOffset() - before;
    };

    window.mouse.Press(MouseButton::kLeft, {105, 55});
    window.mouse.Move({106, 55});
    EXPECT_EQ(window.host->GetIdleSubscriberCount(), 0);
    // Just at the inner edge of the 30-pixel zone along the host's right side: 15 px/s, half a pixel a pass.
    window.mouse.Move({270, 55});
    EXPECT_EQ(window.host->GetIdleSubscriberCount(), 1);
    EXPECT_NEAR(coastOneSecond(), 15 * 0.99, 1);
    // Ten pixels into the zone: 15 px/s more for each.
    window.mouse.Move({280, 55});
    EXPECT_NEAR(coastOneSecond(), 165 * 0.99, 1);
    // Out of the zone the host stops.
    window.mouse.Move({150, 55});
    EXPECT_EQ(window.host->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(coastOneSecond(), 0);
    window.mouse.Release(MouseButton::kLeft, {150, 55});
    EXPECT_EQ(window.bar->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(harness.Window().GetRegistrationCount(), 0u);
}

}  // namespace
}  // namespace ZV
