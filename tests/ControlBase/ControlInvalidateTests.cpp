#include "ControlBase/ControlTreeSkin.h"

#include <gtest/gtest.h>

#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Rects = std::vector<RectT<zlong>>;

TEST(ControlInvalidate, ADeepChildMarksTheWholePixelsItTouchesCutByEveryParentThatClips)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    const RCPtr<LControl> a = panel->FindChildByName(L"a");
    const RCPtr<LControl> popup = panel->FindChildByName(L"popup");
    (void)harness.Window().TakeDirtyRects();

    EXPECT_EQ(main->FindChildByName(L"sibling")->FindChildByName(L"deep")->InvalidateRect({0, 0, 20, 20}, true), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{220, 105, 20, 20}}));

    // A fraction of a pixel still needs the whole pixel painted again.
    EXPECT_EQ(popup->FindChildByName(L"item")->InvalidateRect({0.5, 0.25, 10, 3.5}, true), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{187, 117, 11, 4}}));

    // Outside the clipping parent nothing is left; partly outside, only the part the parent shows.
    EXPECT_EQ(a->Invalidate({-33, 17, 10, 10}, true, {-50, 0, 10, 10}), 1);
    EXPECT_EQ(a->InvalidateRect({-50, 0, 10, 10}, true), 0);
    EXPECT_TRUE(harness.Window().TakeDirtyRects().empty());
    EXPECT_EQ(a->InvalidateRect({-10, 0, 20, 10}, true), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{10, 17, 17, 10}}));
    // Unclipped, the same rectangle reaches past the parent's edge.
    EXPECT_EQ(a->InvalidateRect({-10, 0, 20, 10}, false), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{7, 17, 20, 10}}));

    // A control that reaches outside its parent marks all of itself; one under a hidden parent marks nothing.
    EXPECT_EQ(popup->InvalidateRect({0, 0, 60, 50}, false), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{182, 112, 60, 50}}));
    EXPECT_EQ(main->FindChildByName(L"hiddenParent")->FindChildByName(L"lostPopup")->InvalidateRect({0, 0, 20, 20},
                                                                                                   false),
              0);
    EXPECT_TRUE(harness.Window().TakeDirtyRects().empty());

    // Moving a control marks where it was and where it is.
    const RCPtr<LControl> b = panel->FindChildByName(L"b");
    PositionRule position = b->GetLayoutDescriptor()->xPosition;
    position.abs = 60;
    EXPECT_EQ(b->SetAxisPlacement(0, position, false, b->GetLayoutDescriptor()->xSize), 0);
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{42, 17, 70, 20}}));

    // Scrolling marks the whole control and the controls that reach outside it, where they were.
    EXPECT_EQ(panel->ScrollTo({0, 5}), PointT<double>(0, 5));
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{10, 10, 200, 97}, {10, 107, 232, 23}, {182, 130, 60, 32}}));
}

TEST(ControlInvalidate, AResizedControlRepaintsItsOldAndNewAreasAndWhereItsUnclippedChildrenWereAndAre)
{
    ControlHarness harness;
    harness.Register<Testing::LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Testing::Painted(
        "main", "",
        Testing::Painted(
            "panel", R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="100" YSizeAbs="80")",
            Testing::Painted("cell", R"(XPositionRel="0.5" XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" )"
                                     R"(YSizeAbs="20")") +
                Testing::Painted("popup", R"(ClipToParent="False" XPositionRel="1" XPositionAbs="-20" )"
                                          R"(YPositionAbs="20" XSizeAbs="60" YSizeAbs="30")"))));
    harness.Window().SetClientArea({0, 0, 300, 200});
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    (void)harness.Window().TakeDirtyRects();

    SizeRule wider = panel->GetLayoutDescriptor()->xSize;
    wider.abs = 150;
    EXPECT_EQ(panel->SetAxisPlacement(0, panel->GetLayoutDescriptor()->xPosition, false, wider), 0);
    EXPECT_EQ(panel->FindChildByName(L"popup")->GetPosition(), PointT<double>(130, 20));
    // The panel's old and new areas, and the popup beyond the panel's new edge.
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (Rects{{10, 10, 150, 20}, {10, 30, 190, 30}, {10, 60, 150, 30}}));
}

TEST(ControlInvalidate, APointOfAnotherControlMapsThroughBothWindowOriginsInWholePixels)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    const RCPtr<LControl> deep = main->FindChildByName(L"sibling")->FindChildByName(L"deep");
    const RCPtr<LControl> item = main->FindChildByName(L"panel")->FindChildByName(L"popup")->FindChildByName(L"item");

    PointT<double> point{1.5, 2};
    main->MapPointFromControl(*deep, point);
    EXPECT_EQ(point, PointT<double>(221.5, 107));
    deep->MapPointFromControl(*main, point);
    EXPECT_EQ(point, PointT<double>(1.5, 2));

    point = {0, 0};
    deep->MapPointFromControl(*item, point);
    EXPECT_EQ(point, PointT<double>(187 - 220, 117 - 105));
}

}  // namespace
}  // namespace ZV
