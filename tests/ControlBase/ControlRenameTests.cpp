#include "ControlBase/Harness/ControlHarness.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::SubControl;

TEST(ControlRename, ARenamedChildTakesTheRulesOfLaterSiblingsWithItAndANameTakenAlreadyIsRefused)
{
    ControlHarness harness;
    const std::string namesTarget = R"(XPositionToControl="target" YSizeToControl="target")";
    harness.LoadSkin(
        SubControl("Test.Control", "main", "",
                   SubControl("Test.Control", "early", namesTarget) + SubControl("Test.Control", "target") +
                       SubControl("Test.Control", "late", namesTarget + R"( XMaxSizeToControl="target")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> target = main->FindChildByName(L"target");
    LControl::ChildControlList& children = main->GetChildren();

    EXPECT_EQ(children.Rename(target, L"late"), ZV_E_FAIL);
    EXPECT_EQ(target->GetName(), WideString(L"target"));
    EXPECT_EQ(children.Rename(target, L"target"), 1);
    EXPECT_EQ(children.Rename(main, L"elsewhere"), ZV_E_INVALIDARG) << "not a child";

    EXPECT_EQ(children.Rename(target, L"renamed"), 0);
    EXPECT_EQ(main->FindChildByName(L"renamed"), target);
    const LLayoutDescriptor& late = *main->FindChildByName(L"late")->GetLayoutDescriptor();
    EXPECT_EQ(late.xPosition.toControlName, WideString(L"renamed"));
    EXPECT_EQ(late.ySize.toControlName, WideString(L"renamed"));
    EXPECT_EQ(late.xMaximum.toControlName, WideString(L"target")) << "limits are not among the references";
    const LLayoutDescriptor& early = *main->FindChildByName(L"early")->GetLayoutDescriptor();
    EXPECT_EQ(early.xPosition.toControlName, WideString(L"target")) << "only later children follow";
}

}  // namespace
}  // namespace ZV
