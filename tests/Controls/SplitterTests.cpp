#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/LayoutDescriptor.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Splitter.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::MouseRouter;
using Testing::SubControl;

const std::string kFillHeight = "YSizeToControl=\"Parent\" YSizeRel=\"1\" YSizeAbs=\"0\" ";
const std::string kFillWidth = "XSizeToControl=\"Parent\" XSizeRel=\"1\" XSizeAbs=\"0\" ";

// Three panes side by side: "left" 100 wide (40 to 200), the bar "split" 6 wide after it, and "right" filling the
// rest (at least 50), in a window 400 by 300.
std::string SideBySide(const std::string& splitClass = "Framework.SplitterV")
{
    return SubControl("Test.Control", "main", "",
                      SubControl("Test.Control", "left",
                                 "XSizeAbs=\"100\" XMinSizeAbs=\"40\" XMaxSizeAbs=\"200\" " + kFillHeight) +
                          SubControl(splitClass, "split",
                                     "XPositionToControl=\"left\" XPositionRel=\"1\" XSizeAbs=\"6\" " + kFillHeight) +
                          SubControl("Test.Control", "right",
                                     "XPositionToControl=\"split\" XPositionRel=\"1\" XMinSizeAbs=\"50\" " +
                                         kFillWidth + kFillHeight));
}

struct SplitWindow {
    SplitWindow(ControlHarness& harness, const std::string& skin) : mouse(harness.Window())
    {
        EXPECT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
        harness.LoadSkin(skin);
        main = harness.CreateRoot(L"main");
        harness.Window().Resize(400, 300);
        split = main->FindChildByName(L"split");
        harness.Window().SetControlsUnderPointer({split, main});
    }

    // The rectangle of a pane along the axis: its position and its size.
    std::vector<double> Span(const wchar_t* name, int axis) const
    {
        const RCPtr<LControl>& pane = main->FindChildByName(name);
        return {*pane->GetPosition().Coordinate(axis), *pane->GetSize().Coordinate(axis)};
    }

    void Drag(const PointT<zlong>& from, const std::vector<PointT<zlong>>& moves)
    {
        mouse.Press(MouseButton::kLeft, from);
        for (const PointT<zlong>& point : moves) {
            mouse.Move(point);
        }
        mouse.Release(MouseButton::kLeft, moves.empty() ? from : moves.back());
    }

    MouseRouter mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> split;
};

using Span = std::vector<double>;

TEST(Splitter, AVerticalBarDraggedBy40WidensItsAnchorBy40ThePaneAfterFollowsAndTheAnchorsLimitsHold)
{
    ControlHarness harness;
    SplitWindow window(harness, SideBySide());
    ASSERT_TRUE(dynamic_cast<LSplitterV*>(window.split.Get()));
    window.mouse.Move({103, 150});
    EXPECT_EQ(harness.Window().GetCursorsShown().back(), harness.Window().GetNamedCursor(L"UI_CURSOR_SIZE_WE"));

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
    ControlHarness harness;
    SplitWindow window(harness,
                       SubControl("Test.Control", "main", "",
                                  SubControl("Test.Control", "top", "YSizeAbs=\"100\" YMinSizeAbs=\"30\" " + kFillWidth) +
                                      SubControl("Framework.SplitterH", "split",
                                                 "YPositionToControl=\"top\" YPositionRel=\"1\" YSizeAbs=\"6\" " +
                                                     kFillWidth) +
                                      SubControl("Test.Control", "bottom",
                                                 "YPositionToControl=\"split\" YPositionRel=\"1\" "
                                                 "YMinSizeAbs=\"120\" " +
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
    ControlHarness harness;
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

}  // namespace
}  // namespace ZV
