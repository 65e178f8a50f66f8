#include "ControlBase/LayoutDescriptor.h"
#include "Controls/ControlsHarness.h"
#include "Controls/Splitter.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::Wearing;

const std::string kFillHeight = "YSizeToControl=\"Parent\" YSizeRel=\"1\" YSizeAbs=\"0\" ";
const std::string kFillWidth = "XSizeToControl=\"Parent\" XSizeRel=\"1\" XSizeAbs=\"0\" ";
// The anchor 100 wide, between 40 and 200.
const std::string kLeftPane = "XSizeAbs=\"100\" XMinSizeAbs=\"40\" XMaxSizeAbs=\"200\" ";

// Three panes side by side: "left" sized by its rules, the bar "split" 6 wide after it, and "right" filling the
// rest (at least 50), in a window 400 by 300. The bar wears the fourteen colour looks.
std::string SideBySide(const std::string& leftRules = kLeftPane)
{
    return Testing::MainControl(
        Wearing("Test.Panel", "left", "label", leftRules + kFillHeight) +
        Wearing("Framework.SplitterV", "split", "button",
                "XPositionToControl=\"left\" XPositionRel=\"1\" XSizeAbs=\"6\" " + kFillHeight) +
        Wearing("Test.Panel", "right", "label",
                "XPositionToControl=\"split\" XPositionRel=\"1\" XMinSizeAbs=\"50\" " + kFillWidth + kFillHeight));
}

// The panes in a window, the pointer finding them through the window's hit tests.
struct SplitWindow {
    SplitWindow(ControlsHarness& harness, const std::string& panes) : mouse(harness.Mouse())
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += panes;
        main = harness.CreateMain(skin);
        harness.Window().Resize(400, 300);
        split = main->FindChildByName(L"split");
    }

    // The rectangle of a pane along the axis: its position and its size.
    std::vector<double> Span(const wchar_t* name, int axis) const
    {
        const RCPtr<LControl>& pane = main->FindChildByName(name);
        return {*pane->GetPosition().Coordinate(axis), *pane->GetSize().Coordinate(axis)};
    }

    void Drag(const PointT<zlong>& from, const std::vector<PointT<zlong>>& moves)
    {
        mouse.Move(from);
        mouse.Press(MouseButton::kLeft, from);
        for (const PointT<zlong>& point : moves) {
            mouse.Move(point);
        }
        mouse.Release(MouseButton::kLeft, moves.empty() ? from : moves.back());
    }

    Testing::MouseRouter& mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> split;
};

using Span = std::vector<double>;

TEST(Splitter, AVerticalBarDraggedBy40WidensItsAnchorBy40ThePaneAfterFollowsAndTheAnchorsLimitsHold)
{
    ControlsHarness harness;
    SplitWindow window(harness, SideBySide());
    ASSERT_TRUE(dynamic_cast<LSplitterV*>(window.split.Get()));
    window.mouse.Move({103, 150});
    ASSERT_FALSE(harness.Window().GetCursorsShown().empty());
    EXPECT_EQ(harness.Window().GetCursorsShown().back(), harness.Window().GetNamedCursor(L"UI_CURSOR_SIZE_WE"));
    EXPECT_EQ(window.split->GetActiveLookIndex(), 1) << "hover";
    window.mouse.Press(MouseButton::kLeft, {103, 150});
    EXPECT_EQ(window.split->GetActiveLookIndex(), 5) << "pressed while held still, with the focus the press gave";
    window.mouse.Release(MouseButton::kLeft, {103, 150});
    EXPECT_EQ(window.split->GetActiveLookIndex(), 4);
    EXPECT_EQ(window.Span(L"left", 0), (Span{0, 100}));

    window.Drag({103, 150}, {{143, 150}});
    EXPECT_EQ(window.Span(L"left", 0), (Span{0, 140}));
    EXPECT_EQ(window.Span(L"split", 0), (Span{140, 6}));
    EXPECT_EQ(window.Span(L"right", 0), (Span{146, 254}));
    EXPECT_EQ(window.Span(L"split", 1), (Span{0, 300})) << "the other axis stays";
    // Placed after its anchor again, where the drag left it.
    const PositionRule& placed = window.split->GetLayoutDescriptor()->xPosition;
    EXPECT_EQ(placed.toControlKind, kPositionToNamedControl);
    EXPECT_EQ(placed.toControlName, L"left");
    EXPECT_EQ(placed.abs, 0.0);

    window.Drag({143, 150}, {{150, 150}, {390, 150}});
    EXPECT_EQ(window.Span(L"left", 0), (Span{0, 200}));
    EXPECT_EQ(window.Span(L"right", 0), (Span{206, 194}));
    window.Drag({203, 150}, {{150, 150}, {5, 150}});
    EXPECT_EQ(window.Span(L"left", 0), (Span{0, 40}));
    EXPECT_EQ(window.Span(L"right", 0), (Span{46, 354}));
}

TEST(Splitter, AHorizontalBarKeepsToTheLimitsOfItsAnchorAndOfThePaneBelowOnY)
{
    ControlsHarness harness;
    SplitWindow window(harness,
                       Testing::MainControl(
                           Wearing("Test.Panel", "top", "label", "YSizeAbs=\"100\" YMinSizeAbs=\"30\" " + kFillWidth) +
                           Wearing("Framework.SplitterH", "split", "button",
                                   "YPositionToControl=\"top\" YPositionRel=\"1\" YSizeAbs=\"6\" " + kFillWidth) +
                           Wearing("Test.Panel", "bottom", "label",
                                   "YPositionToControl=\"split\" YPositionRel=\"1\" YMinSizeAbs=\"120\" " +
                                       kFillWidth + kFillHeight)));
    ASSERT_TRUE(dynamic_cast<LSplitterH*>(window.split.Get()));
    window.mouse.Move({200, 103});
    EXPECT_EQ(harness.Window().GetCursorsShown().back(), harness.Window().GetNamedCursor(L"UI_CURSOR_SIZE_NS"));

    // The pane below keeps its 120 pixels.
    window.Drag({200, 103}, {{200, 123}, {200, 500}});
    EXPECT_EQ(window.Span(L"top", 1), (Span{0, 174}));
    EXPECT_EQ(window.Span(L"split", 1), (Span{174, 6}));
    EXPECT_EQ(window.Span(L"bottom", 1), (Span{180, 120}));
    EXPECT_EQ(window.Span(L"split", 0), (Span{0, 400})) << "the other axis stays";

    // The anchor keeps its 30.
    window.Drag({200, 177}, {{200, 150}, {200, -100}});
    EXPECT_EQ(window.Span(L"top", 1), (Span{0, 30}));
    EXPECT_EQ(window.Span(L"bottom", 1), (Span{36, 264}));
}

TEST(Splitter, AWindowTooNarrowForThePaneAfterTheBarMovesTheBarBackUntilThePaneKeepsItsMinimum)
{
    ControlsHarness harness;
    SplitWindow window(harness, SideBySide());
    harness.Window().Resize(130, 300);
    EXPECT_EQ(window.Span(L"split", 0), (Span{74, 6}));
    EXPECT_EQ(window.Span(L"right", 0), (Span{80, 50}));
    EXPECT_EQ(window.Span(L"left", 0), (Span{0, 100})) << "the anchor is not resized";

    // With room again, nothing pushes it.
    harness.Window().Resize(400, 300);
    EXPECT_EQ(window.Span(L"split", 0), (Span{74, 6}));
    EXPECT_EQ(window.Span(L"right", 0), (Span{80, 320}));
}

TEST(Splitter, NextToAPaneSizedByItsParentOrCutToItsMinimumTheBarStaysThroughRelayoutsAndPressesAndDragsBothWays)
{
    // A quarter of the window, at least 40; and 20 asked for, cut to the minimum 40.
    const std::vector<std::pair<std::string, Span>> anchors{
        {"XSizeToControl=\"Parent\" XSizeRel=\"0.25\" XSizeAbs=\"0\" XMinSizeAbs=\"40\" ", Span{0, 100}},
        {"XSizeAbs=\"20\" XMinSizeAbs=\"40\" ", Span{0, 40}}};
    for (const auto& [rules, laidOut] : anchors) {
        SCOPED_TRACE(rules);
        ControlsHarness harness;
        SplitWindow window(harness, SideBySide(rules));
        ASSERT_EQ(window.Span(L"left", 0), laidOut);
        for (int resize = 0; resize < 6; ++resize) {
            harness.Window().Resize(resize % 2 == 0 ? 380 : 400, 300);
        }
        ASSERT_EQ(window.Span(L"left", 0), laidOut);
        EXPECT_EQ(window.Span(L"split", 0), (Span{laidOut[1], 6})) << "still at the pane's edge";

        const auto at = static_cast<zlong>(laidOut[1]) + 3;
        window.Drag({at, 150}, {});
        EXPECT_EQ(window.Span(L"left", 0), laidOut) << "a press alone moves nothing";
        window.Drag({at, 150}, {{at + 30, 150}});
        EXPECT_EQ(window.Span(L"left", 0), (Span{0, laidOut[1] + 30}));
        window.Drag({at + 30, 150}, {{at + 10, 150}});
        EXPECT_EQ(window.Span(L"left", 0), (Span{0, laidOut[1] + 10})) << "and back";
    }
}

}  // namespace
}  // namespace ZV
