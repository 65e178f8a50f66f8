#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "Controls/FileDropper.h"
#include "Controls/FrameworkControlClasses.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::MouseRouter;
using Testing::SubControl;

TEST(FileDropper, ATokenFollowsADragOnBothAxesHidesAtTheReleaseAndLeavesItsParentAtTheNextIdlePass)
{
    ControlHarness harness;
    ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Framework.FileDropper", "token",
                                           "XPositionAbs=\"50\" YPositionAbs=\"40\" XSizeAbs=\"20\" YSizeAbs=\"20\"")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    harness.Window().Resize(400, 300);
    const RCPtr<LControl> token = main->FindChildByName(L"token");
    ASSERT_TRUE(dynamic_cast<LFileDropper*>(token.Get()));
    EXPECT_FALSE(token->IsFocusable());
    EXPECT_TRUE(token->IsVisible(true));
    harness.Window().SetControlsUnderPointer({token, main});
    MouseRouter mouse(harness.Window());

    // A click that never moves leaves the token where it is.
    mouse.Press(MouseButton::kLeft, {55, 45});
    mouse.Release(MouseButton::kLeft, {55, 45});
    (void)harness.PumpIdle();
    ASSERT_EQ(main->FindChildByName(L"token"), token);
    EXPECT_TRUE(token->IsVisible(true));

    mouse.Press(MouseButton::kLeft, {55, 45});
    mouse.Move({60, 47});
    mouse.Move({155, 125});
    EXPECT_EQ(token->GetPosition(), PointT<double>(150, 120));
    mouse.Release(MouseButton::kLeft, {155, 125});
    EXPECT_FALSE(token->IsVisible(false)) << "hidden at once";
    EXPECT_EQ(main->FindChildByName(L"token"), token) << "still a child until the idle pass";

    (void)harness.PumpIdle();
    EXPECT_FALSE(main->FindChildByName(L"token"));
    EXPECT_FALSE(token->GetParent());
}

}  // namespace
}  // namespace ZV
