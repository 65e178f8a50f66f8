#include "ControlBase/ControlTreeSkin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;

struct PointCase {
    zlong x;
    zlong y;
    // "none" when no control is hit.
    std::string control;
    // The point in the control hit.
    PointT<zlong> local;
};

std::string NameOf(const RCPtr<LControl>& control)
{
    return control ? control->GetName().ToUTF8().GetData() : "none";
}

void ExpectHits(ControlHarness& harness, const std::vector<PointCase>& cases)
{
    for (const PointCase& point : cases) {
        PointT<zlong> local;
        const RCPtr<LControl> hit = harness.Window().HitTest({point.x, point.y}, local, false);
        EXPECT_EQ(NameOf(hit), point.control) << "at " << point.x << "," << point.y;
        if (hit) {
            EXPECT_EQ(local, point.local) << "at " << point.x << "," << point.y;
        }
    }
}

TEST(ControlHitTest, ATableOfPointsFindsTheTopmostOpaqueControlAndDockedChildrenStayPutWhenTheirParentScrolls)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    harness.Window().HitTestThroughRootControl();
    // The panel's children lie 2 pixels in from its corner at (10, 10), under its first weighted look.
    ExpectHits(harness, {
                            {5, 5, "main", {5, 5}},
                            {20, 20, "a", {3, 3}},
                            {44, 20, "b", {2, 3}},
                            {56, 36, "b", {14, 19}},
                            {60, 20, "b", {18, 3}},
                            {11, 11, "panel", {1, 1}},
                            {209, 20, "panel", {199, 10}},
                            {115, 20, "holed", {3, 3}},
                            // The hole lets the panel underneath through.
                            {130, 35, "panel", {120, 25}},
                            {20, 50, "dockedX", {8, 8}},
                            {160, 100, "dockedBoth", {8, 8}},
                            // The popup reaches below the panel and over the sibling; its item clips to it.
                            {200, 120, "item", {13, 3}},
                            {230, 150, "popup", {48, 38}},
                            {225, 115, "popup", {43, 3}},
                            {225, 110, "deep", {5, 5}},
                            {250, 150, "sibling", {35, 50}},
                            // Where the hidden parent and its outreaching grandchild would be.
                            {225, 15, "main", {225, 15}},
                            {299, 199, "main", {299, 199}},
                            {300, 100, "none", {}},
                            {-1, 50, "none", {}},
                        });

    // Scrolled by 20 across and 10 down: the children move up and left, those docked across keep their x, the one
    // docked both ways keeps its place, and what scrolled out of the client area is not there to hit.
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    EXPECT_EQ(panel->ScrollTo({20, 10}), PointT<double>(20, 10));
    ExpectHits(harness, {
                            {15, 20, "a", {18, 13}},
                            {5, 20, "main", {5, 20}},
                            {11, 11, "panel", {1, 1}},
                            {20, 45, "dockedX", {8, 13}},
                            {20, 57, "panel", {10, 47}},
                            {160, 100, "dockedBoth", {8, 8}},
                            {170, 110, "item", {3, 3}},
                        });
}

}  // namespace
}  // namespace ZV
