#include "Controls/ControlsHarness.h"
#include "Controls/DropDownControl.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::Wearing;

// A part that keeps the points of the left presses it gets.
class LPressedPart : public Testing::LShownControl {
public:
    using LShownControl::LShownControl;

    void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& press) override { presses.push_back(press->GetPoint()); }

    std::vector<PointT<zlong>> presses;
};

// A drop-down whose part is its child "part", hidden until it drops down; it counts its openings.
class LTestDropDown : public LDropDownControl {
public:
    using LDropDownControl::LDropDownControl;

    [[nodiscard]] ZVRESULT OnInitialized() override
    {
        (void)SelectLook(0);
        (void)Part().SetVisible(false);
        return LDropDownControl::OnInitialized();
    }
    bool IsDropDownOpen() override { return Part().IsVisible(false); }
    [[nodiscard]] ZVRESULT ShowDropDown(bool show) override
    {
        openings += show ? 1 : 0;
        (void)Part().SetVisible(show);
        if (show) {
            ForwardPressTo(Part());
        }
        return ZV_S_OK;
    }

    LPressedPart& Part() { return dynamic_cast<LPressedPart&>(*FindChildByName(L"part")); }

    int openings = 0;
};

// A 100 x 20 drop-down at (20, 20) whose part opens below it, and a button beside it to take the focus away.
struct DropDownWindow {
    explicit DropDownWindow(ControlsHarness& harness) : harness(harness)
    {
        harness.Register<LTestDropDown>(L"Test.DropDown");
        harness.Register<LPressedPart>(L"Test.PressedPart");
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        const std::string part = Wearing("Test.PressedPart", "part", "panel",
                                         R"(ClipToParent="False" YPositionToControl="Parent" YPositionRel="1" )"
                                         R"(XSizeAbs="100" YSizeAbs="60")");
        skin.controls += Testing::MainControl(
            Wearing("Test.DropDown", "drop", "button",
                    R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20")", part) +
            Wearing("Framework.Button", "other", "button",
                    R"(XPositionAbs="200" YPositionAbs="20" XSizeAbs="60" YSizeAbs="20")"));
        main = harness.CreateMain(skin);
        drop = dynamic_cast<LTestDropDown*>(main->FindChildByName(L"drop").Get());
    }

    void Click(const LControl& control, const PointT<zlong>& point)
    {
        harness.PressAt(control, point);
        harness.ReleaseAt(control, point);
    }

    ControlsHarness& harness;
    RCPtr<LControl> main;
    RCPtr<LTestDropDown> drop;
};

TEST(DropDownControl, AClickOpensAndASecondClickClosesForGood)
{
    ControlsHarness harness;
    DropDownWindow window(harness);
    ASSERT_TRUE(window.drop);
    LTestDropDown& drop = *window.drop;
    ASSERT_FALSE(drop.IsDropDownOpen());

    window.Click(drop, {10, 10});
    EXPECT_TRUE(drop.IsDropDownOpen());
    EXPECT_EQ(drop.openings, 1);

    window.Click(drop, {10, 10});
    EXPECT_FALSE(drop.IsDropDownOpen());
    EXPECT_EQ(drop.openings, 1);

    // The closing press left no mark behind: the next one opens again.
    window.Click(drop, {10, 10});
    EXPECT_TRUE(drop.IsDropDownOpen());

    // The focus going elsewhere closes it.
    window.Click(*window.main->FindChildByName(L"other"), {5, 5});
    EXPECT_FALSE(drop.IsDropDownOpen());
}

TEST(DropDownControl, ARightPressThatClosesLeavesTheNextLeftPressToOpen)
{
    ControlsHarness harness;
    DropDownWindow window(harness);
    LTestDropDown& drop = *window.drop;
    window.Click(drop, {10, 10});
    ASSERT_TRUE(drop.IsDropDownOpen());

    const PointT<zlong> inWindow{30, 30};
    harness.Mouse().Press(MouseButton::kRight, inWindow);
    harness.Mouse().Release(MouseButton::kRight, inWindow);
    EXPECT_FALSE(drop.IsDropDownOpen());

    window.Click(drop, {10, 10});
    EXPECT_TRUE(drop.IsDropDownOpen());
}

TEST(DropDownControl, TheOpenedPartTakesTheHeldPressWhereItWentDown)
{
    ControlsHarness harness;
    DropDownWindow window(harness);
    LTestDropDown& drop = *window.drop;
    LPressedPart& part = drop.Part();

    // The first press: the part sits right under the control, so the press is 20 pixels above its top.
    harness.PressAt(drop, {10, 5});
    ASSERT_EQ(part.presses.size(), 1u);
    EXPECT_EQ(part.presses[0].x, 10);
    EXPECT_EQ(part.presses[0].y, -15);
    harness.ReleaseAt(drop, {10, 5});
    window.Click(drop, {10, 5});
    ASSERT_FALSE(drop.IsDropDownOpen());

    // A later press at another point carries that point, not the earlier one.
    harness.PressAt(drop, {70, 12});
    ASSERT_EQ(part.presses.size(), 2u);
    EXPECT_EQ(part.presses[1].x, 70);
    EXPECT_EQ(part.presses[1].y, -8);
}

}  // namespace
}  // namespace ZV
