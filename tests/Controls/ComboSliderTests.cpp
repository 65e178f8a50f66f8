#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/ComboSlider.h"
#include "Controls/ControlsHarness.h"
#include "Controls/Slider.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::SubControl;
using Testing::Wearing;
using Lines = std::vector<std::string>;

std::string At(int x, int y, int width, int height)
{
    return "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) + "\" XSizeAbs=\"" +
           std::to_string(width) + "\" YSizeAbs=\"" + std::to_string(height) + "\"";
}

// A slider of 120 x 20 whose thumb (10 x 10) travels from (0, 0) to (100, 0).
std::string Slider()
{
    return Wearing("Framework.Slider", "slider", "panel", At(0, 0, 120, 20),
                   Wearing("Framework.Button", "thumbStart", "button", At(0, 0, 10, 10)) +
                       SubControl("Test.Control", "thumbEnd", At(100, 0, 10, 10)));
}

// The drop-down panel, placed at the skin's offset x just below the combo slider and reaching outside it.
std::string DropDownPanel(int x, int width, const std::string& children)
{
    return Wearing("Framework.ComboSlider.DropDownPanel", "dropDownPanel", "panel",
                   "ClipToParent=\"False\" Z_Order=\"100\" YPositionToControl=\"Parent\" YPositionRel=\"1\" " +
                       At(x, 0, width, 40),
                   children);
}

// A window of 400 x 300 with a combo slider of 100 x 20 at (comboX, 20) wearing the colour looks, made of the
// children given, on the range 0 .. 10, and a button beside it that can take the focus away.
class ComboSliderWindow {
public:
    explicit ComboSliderWindow(const std::string& children, int comboX = 20)
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += Testing::MainControl(
            Wearing("Framework.ComboSlider", "combo", "button", At(comboX, 20, 100, 20), children) +
            Wearing("Framework.Button", "other", "button", At(20, 250, 40, 20)));
        main = harness.CreateMain(skin);
        combo = main ? dynamic_cast<LComboSlider*>(main->FindChildByName(L"combo").Get()) : nullptr;
        if (!combo) {
            return;
        }
        EXPECT_EQ(combo->SetValueRange(0, 10, kLinearScale), ZV_S_OK);
        panel = combo->FindChildByName(L"dropDownPanel");
        slider = panel ? dynamic_cast<LSlider*>(panel->FindChildByName(L"slider").Get()) : nullptr;
        // Shown, so that the pointer finds the slider inside.
        if (panel) {
            (void)panel->SelectLook(0);
        }
        spy->Watch(combo, {L"NID_VALUE_CHANGE"});
        spy->Watch(slider, {L"NID_VALUE_CHANGE"});
    }

    void Click(const LControl& control, const PointT<zlong>& point)
    {
        harness.MoveTo(control, point);
        harness.PressAt(control, point);
        harness.ReleaseAt(control, point);
    }
    void Release() { harness.Mouse().Release(MouseButton::kLeft, harness.Window().GetCursorPosition()); }

    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LComboSlider> combo;
    RCPtr<LControl> panel;
    RCPtr<LSlider> slider;
    RCPtr<Testing::LNotificationSpy> spy = Testing::LNotificationSpy::Create();
};

TEST(ComboSlider, AClickDropsTheSliderDownAndASecondClickOrTheFocusLeavingClosesIt)
{
    ComboSliderWindow window(DropDownPanel(0, 120, Slider()));
    ASSERT_TRUE(window.slider);
    LComboSlider& combo = *window.combo;
    EXPECT_FALSE(combo.IsDropDownOpen()) << "hidden from the start";
    EXPECT_EQ(combo.GetActiveLookIndex(), static_cast<std::int32_t>(LComboSlider::kNormalLook));

    window.Click(combo, {10, 10});
    EXPECT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetActiveLookIndex(), static_cast<std::int32_t>(LComboSlider::kOpenHoverLook));
    window.Click(combo, {10, 10});
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetActiveLookIndex(), static_cast<std::int32_t>(LComboSlider::kHoverFocusedLook));

    window.Click(combo, {10, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    window.Click(*window.main->FindChildByName(L"other"), {5, 5});
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetActiveLookIndex(), static_cast<std::int32_t>(LComboSlider::kNormalLook)) << "not left open";
}

TEST(ComboSlider, DraggingTheSliderChangesValueAndTextOnceWithoutEchoAndAValueSetMeanwhileHolds)
{
    ComboSliderWindow window(DropDownPanel(0, 120, Slider()));
    ASSERT_TRUE(window.slider);
    LComboSlider& combo = *window.combo;
    EXPECT_DOUBLE_EQ(combo.SetValue(0.5), 0.5);
    EXPECT_EQ(combo.GetText(), L"5");
    EXPECT_EQ(window.slider->GetThumb()->GetPosition(), PointT<double>(50, 0));
    (void)combo.SetValue(0.26);
    EXPECT_EQ(combo.GetText(), L"3") << "rounded, no decimals";

    window.Click(combo, {10, 10});
    const LControl& thumb = *window.slider->GetThumb();
    window.harness.MoveTo(thumb, {0, 0});
    window.harness.PressAt(thumb, {0, 0});
    window.harness.MoveTo(*window.slider, {70, 0});
    EXPECT_DOUBLE_EQ(combo.GetValue(), 0.7);
    EXPECT_EQ(combo.GetText(), L"7");
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.7) << "the release applies no stale value";
    EXPECT_EQ(window.spy->TakeLines(),
              (Lines{"slider NID_VALUE_CHANGE", "combo NID_VALUE_CHANGE", "slider NID_VALUE_CHANGE",
                     "combo NID_VALUE_CHANGE", "slider NID_VALUE_CHANGE", "combo NID_VALUE_CHANGE"}))
        << "one each, no echo";

    // A value set during a drag is the control's at once and the slider's at the release.
    window.harness.PressAt(thumb, {0, 0});
    window.harness.MoveTo(*window.slider, {50, 0});
    (void)combo.SetValue(0.9);
    EXPECT_EQ(combo.GetText(), L"9");
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.9);
    EXPECT_DOUBLE_EQ(combo.GetValue(), 0.9);
}

TEST(ComboSlider, APanelWiderThanTheRoomOpensShiftedToTheWindowsEdgeNeverPastItsLeft)
{
    ComboSliderWindow roomy(DropDownPanel(10, 120, Slider()));
    ASSERT_EQ(roomy.combo->ShowDropDown(true), ZV_S_OK);
    EXPECT_DOUBLE_EQ(roomy.panel->GetPosition().x, 10) << "where the skin puts it";

    ComboSliderWindow right(DropDownPanel(10, 200, Slider()), 250);
    ASSERT_EQ(right.combo->ShowDropDown(true), ZV_S_OK);
    EXPECT_DOUBLE_EQ(right.panel->GetAbsoluteOrigin().x, 200) << "its right edge on the window's";

    ComboSliderWindow wide(DropDownPanel(0, 500, Slider()), 250);
    ASSERT_EQ(wide.combo->ShowDropDown(true), ZV_S_OK);
    EXPECT_DOUBLE_EQ(wide.panel->GetAbsoluteOrigin().x, 0) << "wider than the window: at its left edge";
}

TEST(ComboSlider, WithoutPanelOrSliderTheValueAndTextWorkAndNothingDropsDown)
{
    ComboSliderWindow bare("");
    ASSERT_TRUE(bare.combo);
    EXPECT_EQ(bare.combo->ShowDropDown(true), ZV_E_FAIL);
    bare.Click(*bare.combo, {10, 10});
    EXPECT_FALSE(bare.combo->IsDropDownOpen());
    EXPECT_DOUBLE_EQ(bare.combo->SetValue(0.5), 0.5);
    EXPECT_EQ(bare.combo->GetText(), L"5");
    ASSERT_EQ(bare.combo->SetValueRange(-10, 10, 0), ZV_S_OK);
    (void)bare.combo->SetValue(0.485);
    EXPECT_EQ(bare.combo->GetText(), L"0") << "no minus sign on zero";
    (void)bare.combo->SetValue(0.4);
    EXPECT_EQ(bare.combo->GetText(), L"-2");

    ComboSliderWindow empty(DropDownPanel(0, 120, ""));
    ASSERT_TRUE(empty.panel);
    empty.Click(*empty.combo, {10, 10});
    EXPECT_TRUE(empty.combo->IsDropDownOpen());
    EXPECT_DOUBLE_EQ(empty.combo->SetValue(0.2), 0.2);
    EXPECT_EQ(empty.combo->GetText(), L"2");
}

}  // namespace
}  // namespace ZV
