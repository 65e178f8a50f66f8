// The records a control keeps about others: the menu item updater's hold on its control, the layout rules that name
// a sibling, and the bounds of children far apart.
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/MenuParams.h"

#include <gtest/gtest.h>

#include <limits>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::SubControl;

TEST(ControlBookkeeping, AControlGoesWithItsLastReferenceWhileAMenuStillHoldsItsItemUpdater)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl("Test.Control", "main", "", SubControl("Test.Control", "child")));
    const std::int32_t baseline = LRecordingControl::GetLiveCount();
    RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LMenuItemUpdater> heldByMenu = main->GetMenuItemUpdater();
    ASSERT_EQ(heldByMenu->GetControl().Get(), main.Get());

    harness.Window().SetRootControl(nullptr);
    main = nullptr;
    EXPECT_EQ(LRecordingControl::GetLiveCount(), baseline);
    EXPECT_FALSE(heldByMenu->GetControl()) << "the menu asks a control that is gone no more";
}

TEST(ControlBookkeeping, RenamingAReferenceAnswersWhetherAnyPositionOrSizeRuleNamedIt)
{
    const RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
    layout->xPosition.toControlName = L"old";
    layout->ySize.toControlName = L"old";
    layout->xMaximum.toControlName = L"old";
    layout->yPosition.toControlName = L"other";

    EXPECT_EQ(layout->RenameControlReference(L"old", L"new"), 0);
    EXPECT_EQ(layout->xPosition.toControlName, WideString(L"new"));
    EXPECT_EQ(layout->ySize.toControlName, WideString(L"new"));
    EXPECT_EQ(layout->yPosition.toControlName, WideString(L"other"));
    EXPECT_EQ(layout->xMaximum.toControlName, WideString(L"old")) << "limits are no references";
    EXPECT_EQ(layout->RenameControlReference(L"old", L"new"), 1) << "none left";
}

TEST(ControlBookkeeping, ChildrenFartherApartThanTheIntegerRangeSpanTheWholeRangeAndNeverANegativeExtent)
{
    ControlHarness harness;
    harness.LoadSkin(
        SubControl("Test.Control", "main", R"(XSizeAbs="100" YSizeAbs="100")",
                   SubControl("Test.Control", "west",
                              R"(XPositionAbs="-2000000000" YPositionAbs="5" XSizeAbs="10" YSizeAbs="10")") +
                       SubControl("Test.Control", "east",
                                  R"(XPositionAbs="2000000000" YPositionAbs="20" XSizeAbs="10" YSizeAbs="10")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");

    const RectT<double> bounds = main->GetChildrenBounds();
    EXPECT_EQ(bounds.x, -2000000000.0);
    EXPECT_EQ(bounds.width, static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    EXPECT_EQ(bounds.y, 5.0);
    EXPECT_EQ(bounds.height, 25.0);
}

}  // namespace
}  // namespace ZV
