#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/Button.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Label.h"
#include "Controls/ToolTip.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::SubControl;

TEST(FrameworkControlClasses, TheSkinsClassNamesBuildTheFrameworksControls)
{
    ControlHarness harness;
    ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Framework.Label", "label") + SubControl("Framework.Button", "button") +
                                    SubControl("Framework.ToolTip", "toolTip")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    EXPECT_NE(dynamic_cast<LLabel*>(main->FindChildByName(L"label").Get()), nullptr);
    EXPECT_NE(dynamic_cast<LButton*>(main->FindChildByName(L"button").Get()), nullptr);
    EXPECT_NE(dynamic_cast<LToolTip*>(main->FindChildByName(L"toolTip").Get()), nullptr);
}

}  // namespace
}  // namespace ZV
