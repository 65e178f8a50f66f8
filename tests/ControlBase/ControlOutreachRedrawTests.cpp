#include "ControlBase/Harness/ControlHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::SubControl;

// Whether the window's dirty rectangles together hold every pixel of the area.
bool Repaints(const std::vector<RectT<zlong>>& dirty, const RectT<zlong>& area)
{
    for (zlong y = area.y; y < area.y + area.height; ++y) {
        for (zlong x = area.x; x < area.x + area.width; ++x) {
            bool held = false;
            for (const RectT<zlong>& rect : dirty) {
                held = held || (x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height);
            }
            if (!held) {
                return false;
            }
        }
    }
    return true;
}

TEST(ControlOutreachRedraw, DisablingOrEnablingAControlRepaintsWhatItsChildrenDrawOutsideIt)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl(
        "Test.Control", "main", R"(XSizeAbs="300" YSizeAbs="200")",
        SubControl("Test.Control", "holder", R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="100")",
                   SubControl("Test.Control", "outreach",
                              R"(ClipToParent="False" XPositionAbs="150" YPositionAbs="10" XSizeAbs="80" )"
                              R"(YSizeAbs="60")"))));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> holder = main->FindChildByName(L"holder");
    const RectT<zlong> outside(170, 30, 80, 60);
    (void)harness.Window().TakeDirtyRects();

    holder->SetEnabled(false);
    EXPECT_TRUE(Repaints(harness.Window().TakeDirtyRects(), outside)) << "disabled";
    holder->SetEnabled(true);
    EXPECT_TRUE(Repaints(harness.Window().TakeDirtyRects(), outside)) << "enabled again";
}

}  // namespace
}  // namespace ZV
