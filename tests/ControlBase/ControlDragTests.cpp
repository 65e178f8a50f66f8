#include "ControlBase/ControlDragState.h"
#include "ControlBase/DragTestControls.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/LayoutDescriptor.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LDragControl;
using Testing::LDropTarget;
using Testing::MouseRouter;
using Testing::SubControl;
using Lines = std::vector<std::string>;

// A window 400 by 300 holding one control of the class at the rectangle, its layout saying the same.
struct DragWindow {
    DragWindow(ControlHarness& harness, const RectT<double>& bounds, const std::string& siblings = "")
        : mouse(harness.Window())
    {
        harness.Register<LDragControl>(L"Test.Drag");
        harness.Register<LDropTarget>(L"Test.Bin");
        const auto number = [](double value) { return std::to_string(static_cast<int>(value)); };
        harness.LoadSkin(SubControl("Test.Control", "main", "",
                                    SubControl("Test.Drag", "dragged",
                                               "XPositionAbs=\"" + number(bounds.x) + "\" YPositionAbs=\"" +
                                                   number(bounds.y) + "\" XSizeAbs=\"" + number(bounds.width) +
                                                   "\" YSizeAbs=\"" + number(bounds.height) + "\"") +
                                        siblings));
        main = harness.CreateRoot(L"main");
        harness.Window().Resize(400, 300);
        dragged = main->FindChildByName(L"dragged");
        harness.Window().SetControlsUnderPointer({dragged, main});
    }

    LDragControl& Dragged() const { return static_cast<LDragControl&>(*dragged); }
    const LLayoutDescriptor& Rules() const { return *dragged->GetLayoutDescriptor(); }

    MouseRouter mouse;
    RCPtr<LControl> main;
    RCPtr<LControl> dragged;
};

TEST(ControlDrag, AResizeByTheLeftOrTopEdgeMovesThatEdgeAndNeverLeavesLessThanOnePixel)
{
    ControlHarness harness;
    DragWindow window(harness, {50, 50, 40, 30});
    window.Dragged().mode = kDragResize;
    window.Dragged().argument = kDragLeftEdge;

    window.mouse.Press(MouseButton::kLeft, {51, 60});
    window.mouse.Move({61, 60});
    EXPECT_EQ(window.Rules().xPosition.abs, 60);
    EXPECT_EQ(window.Rules().xSize.abs, 30);
    // Far past the right edge: one pixel stays, its right edge where it was.
    window.mouse.Move({300, 60});
    EXPECT_EQ(window.Rules().xPosition.abs, 89);
    EXPECT_EQ(window.Rules().xSize.abs, 1);
    EXPECT_EQ(window.dragged->GetSize().x, 1);
    // Back to the left, as far as the parent goes.
    window.mouse.Move({-200, 60});
    EXPECT_EQ(window.Rules().xPosition.abs, -1);
    EXPECT_EQ(window.Rules().xSize.abs, 91);
    window.mouse.Release(MouseButton::kLeft, {-200, 60});

    window.Dragged().argument = kDragTopEdge;
    window.mouse.Press(MouseButton::kLeft, {60, 51});
    window.mouse.Move({60, 61});
    EXPECT_EQ(window.Rules().yPosition.abs, 60);
    EXPECT_EQ(window.Rules().ySize.abs, 20);
    window.mouse.Move({60, 200});
    EXPECT_EQ(window.Rules().yPosition.abs, 79);
    EXPECT_EQ(window.Rules().ySize.abs, 1);
    // The other axis was left alone.
    EXPECT_EQ(window.Rules().xPosition.abs, -1);
    EXPECT_EQ(window.Rules().xSize.abs, 91);
    window.mouse.Release(MouseButton::kLeft, {60, 200});
}

TEST(ControlDrag, ADraggedControlLeavesOneDropTargetBeforeEnteringTheNextAndIsDroppedWhereItIsReleased)
{
    ControlHarness harness;
    DragWindow window(harness, {10, 10, 20, 20}, SubControl("Test.Bin", "binA") + SubControl("Test.Bin", "binB"));
    // The window's hit test says which bin lies under the pointer.
    const RCPtr<LControl> binA = window.main->FindChildByName(L"binA");
    const RCPtr<LControl> binB = window.main->FindChildByName(L"binB");
    window.Dragged().mode = kDragAndDrop;
    window.Dragged().argument = kDragAxisX | kDragAxisY;
    const auto over = [&](const RCPtr<LControl>& target, const PointT<zlong>& point) {
        std::vector<RCPtr<LControl>> underPointer{window.dragged};
        if (target) {
            underPointer.push_back(target);
        }
        underPointer.push_back(window.main);
        harness.Window().SetControlsUnderPointer(underPointer);
        window.mouse.Move(point);
    };

    window.mouse.Press(MouseButton::kLeft, {15, 15});
    over(nullptr, {16, 15});
    // While dragged, the control may be drawn outside its parent and stays put in it as the parent scrolls.
    EXPECT_FALSE(window.Rules().clipToParent);
    EXPECT_TRUE(window.Rules().xIsDocked && window.Rules().yIsDocked);
    ControlEvents().clear();
    over(binA, {120, 20});
    over(binB, {220, 20});
    over(binB, {221, 21});
    over(nullptr, {300, 100});
    over(binA, {121, 22});
    EXPECT_EQ(window.Rules().xPosition.abs, 116);
    EXPECT_EQ(window.Rules().yPosition.abs, 17);
    EXPECT_EQ(window.dragged->GetPosition(), PointT<double>(116, 17));
    window.mouse.Release(MouseButton::kLeft, {121, 22});
    EXPECT_EQ(ControlEvents(), (Lines{"binA Enter", "binA Over 120,20", "binA Leave", "binB Enter", "binB Over 220,20",
                                      "binB Over 221,21", "binB Leave", "binA Enter", "binA Over 121,22", "binA Drop",
                                      "binA Leave"}));
    const auto cursor = [&](const wchar_t* name) { return harness.Window().GetNamedCursor(name); };
    EXPECT_EQ(harness.Window().GetCursorsShown(),
              (std::vector<CursorHandle>{cursor(L"UI_CURSOR_DROP_MOVE"), cursor(L"UI_CURSOR_DROP_MOVE"),
                                         cursor(L"UI_CURSOR_NO_DROP"), cursor(L"UI_CURSOR_DROP_MOVE"),
                                         cursor(L"UI_CURSOR_ARROW")}));
    // Dropped, the control clips and scrolls with its parent's content again.
    EXPECT_TRUE(window.Rules().clipToParent);
    EXPECT_FALSE(window.Rules().xIsDocked || window.Rules().yIsDocked);
    EXPECT_EQ(window.main->GetUnclippedDescendantCount(), 0);
}

}  // namespace
}  // namespace ZV
