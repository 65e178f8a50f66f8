#include "Controls/ControlsHarness.h"
#include "Controls/FileDropper.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::Wearing;

TEST(FileDropper, ATokenFoundByThePointerFollowsADragHidesAtTheReleaseAndLeavesItsParentAtTheNextIdlePass)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(Wearing("Framework.FileDropper", "token", "button",
                                                  "XPositionAbs=\"50\" YPositionAbs=\"40\" XSizeAbs=\"20\" "
                                                  "YSizeAbs=\"20\""));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    harness.Window().Resize(400, 300);
    const RCPtr<LControl> token = main->FindChildByName(L"token");
    ASSERT_TRUE(dynamic_cast<LFileDropper*>(token.Get()));
    EXPECT_FALSE(token->IsFocusable());
    Testing::MouseRouter& mouse = harness.Mouse();

    // A click that never moves leaves the token where it is; so does a drag that starts beside it.
    mouse.Move({55, 45});
    mouse.Press(MouseButton::kLeft, {55, 45});
    mouse.Release(MouseButton::kLeft, {55, 45});
    mouse.Move({45, 45});
    mouse.Press(MouseButton::kLeft, {45, 45});
    mouse.Move({145, 125});
    mouse.Release(MouseButton::kLeft, {145, 125});
    (void)harness.PumpIdle();
    ASSERT_EQ(main->FindChildByName(L"token"), token);
    EXPECT_TRUE(token->IsVisible(true));
    EXPECT_EQ(token->GetPosition(), PointT<double>(50, 40));

    mouse.Move({55, 45});
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
