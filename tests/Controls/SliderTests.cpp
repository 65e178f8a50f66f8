#include "ControlBase/KeyParams.h"
#include "Controls/ControlsHarness.h"
#include "Controls/Slider.h"
#include "Notification/MouseParams.h"
#include "ValueControlWatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::SubControl;
using Testing::Wearing;
using Lines = std::vector<std::string>;

// A slider whose owner squares its value, announces a value held back by a drag, and gives double clicks a value.
class LOwnedSlider : public LSlider {
public:
    using LSlider::LSlider;

    ZVRESULT Initialize() override
    {
        SetSquared(true);
        SetPendingValueRules(true, true);
        SetClickValue(1.0);
        return LSlider::Initialize();
    }
};

std::string At(int x, int y, int width = 10, int height = 10)
{
    return "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) + "\" XSizeAbs=\"" +
           std::to_string(width) + "\" YSizeAbs=\"" + std::to_string(height) + "\"";
}

// The markers of a segment from (x0, y0) to (x1, y1): the start a button of 10 x 10, so that the thumb is one.
std::string Markers(int x0, int y0, int x1, int y1)
{
    return Wearing("Framework.Button", "thumbStart", "button", At(x0, y0)) +
           SubControl("Test.Control", "thumbEnd", At(x1, y1));
}

// A window with a slider of 200 x 200 at (100, 50) made of the children given, wearing three looks (normal,
// focused, disabled), and a button beside it that can take the focus away.
class SliderWindow {
public:
    explicit SliderWindow(const std::string& children, const char* sliderClass = "Framework.Slider")
    {
        harness.Register<LOwnedSlider>(L"Test.OwnedSlider");
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.lookLists += R"(<LookList Name="slider" NumLooks="3"><Look Name="panel" Index="0"/>
                             <Look Name="label" Index="1"/><Look Name="button0" Index="2"/></LookList>)";
        skin.controls +=
            Testing::MainControl(Wearing(sliderClass, "slider", "slider", At(100, 50, 200, 200), children) +
                                 Wearing("Framework.Button", "other", "button", At(330, 10, 20, 20)));
        main = harness.CreateMain(skin);
        slider = main ? dynamic_cast<LSlider*>(main->FindChildByName(L"slider").Get()) : nullptr;
        watch.Watch(slider);
    }

    // The thumb's place in the slider.
    PointT<double> Thumb() const { return slider->GetThumb()->GetPosition(); }
    // Grabs the thumb at its top left corner and drags it to the point of the slider.
    void GrabThumbAndDragTo(const PointT<zlong>& point)
    {
        harness.MoveTo(*slider->GetThumb(), {0, 0});
        harness.PressAt(*slider->GetThumb(), {0, 0});
        DragTo(point);
    }
    void DragTo(const PointT<zlong>& point) { harness.MoveTo(*slider, point); }
    void PressTrack(const PointT<zlong>& point)
    {
        harness.MoveTo(*slider, point);
        harness.PressAt(*slider, point);
    }
    void Release() { harness.Mouse().Release(MouseButton::kLeft, harness.Window().GetCursorPosition()); }

    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LSlider> slider;
    Testing::ValueControlWatch watch;
};

TEST(Slider, TheDraggedThumbIsProjectedOnTheSegmentBetweenItsMarkers)
{
    SliderWindow window(Markers(0, 0, 100, 0));
    ASSERT_TRUE(window.slider);
    ASSERT_TRUE(window.slider->GetThumb());
    EXPECT_TRUE(window.slider->GetThumb()->KeepsPressedLookWhileCaptured());
    EXPECT_FALSE(window.slider->FindChildByName(L"thumbStart")->IsVisible(false));
    EXPECT_FALSE(window.slider->FindChildByName(L"thumbEnd")->IsVisible(false));
    EXPECT_EQ(window.Thumb(), PointT<double>(0, 0));

    window.GrabThumbAndDragTo({50, 30});
    EXPECT_EQ(window.Thumb(), PointT<double>(50, 0));
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.5);
    window.DragTo({150, 0});
    EXPECT_EQ(window.Thumb(), PointT<double>(100, 0)) << "kept on the segment";
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 1.0);
    window.Release();
    EXPECT_EQ(window.watch.captures, (std::vector<bool>{true, false}));

    SliderWindow diagonal(Markers(0, 0, 100, 100));
    ASSERT_TRUE(diagonal.slider);
    diagonal.GrabThumbAndDragTo({100, 0});
    EXPECT_EQ(diagonal.Thumb(), PointT<double>(50, 50)) << "the foot of the perpendicular";
    EXPECT_DOUBLE_EQ(diagonal.slider->GetValue(), 0.5);
    diagonal.Release();
    (void)diagonal.slider->SetValue(0.25);
    EXPECT_EQ(diagonal.Thumb(), PointT<double>(25, 25)) << "a value set places the thumb";
}

TEST(Slider, AValueSetDuringADragAppliesAtTheRelease)
{
    SliderWindow window(Markers(0, 0, 100, 0));
    ASSERT_TRUE(window.slider);
    window.GrabThumbAndDragTo({20, 0});
    EXPECT_DOUBLE_EQ(window.slider->SetValue(0.8), 0.2);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.2);
    EXPECT_EQ(window.Thumb(), PointT<double>(20, 0));
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.8);
    EXPECT_EQ(window.Thumb(), PointT<double>(80, 0)) << "the thumb jumps there";
}

TEST(Slider, APressHeldOnTheTrackPagesTowardThePointerOnTheClockAndStopsThere)
{
    SliderWindow window(Markers(0, 0, 100, 0));
    ASSERT_TRUE(window.slider);
    // The thumb's middle aims at the pointer: 40 - 5 pixels from the start.
    window.PressTrack({40, 5});
    window.harness.RunFor(250);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.0) << "the first step comes after 0.3 s";
    window.harness.RunFor(100);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.1);
    window.harness.RunFor(100);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.2) << "then every 0.1 s";
    window.harness.RunFor(200);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.35) << "never past the point";
    EXPECT_EQ(window.Thumb(), PointT<double>(35, 0));
    window.harness.RunFor(100);
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.35);
    EXPECT_EQ(window.slider->GetIdleSubscriberCount(), 0);

    window.PressTrack({20, 5});
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.25) << "a click pages once, back toward the pointer";
}

TEST(Slider, ArrowKeysOfTheFocusedThumbAndTheWheelStepByOneUnitAndTheLooksFollowTheFocus)
{
    SliderWindow window(Markers(0, 0, 127, 0));
    ASSERT_TRUE(window.slider);
    EXPECT_GE(window.slider->SetFocus(true), 0);
    ASSERT_EQ(window.harness.Window().GetFocusControl(), window.slider->GetThumb());
    EXPECT_EQ(window.slider->GetActiveLookIndex(), 1);

    Testing::KeyRouter& keys = window.harness.Keys();
    keys.Press(0x27);
    keys.Press(0x27);
    keys.RouteKey(LKeyParam::Create(KeyCode(0x27, false, 1, 0), true));
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 2.0 / 127);
    EXPECT_EQ(window.Thumb(), PointT<double>(2, 0));
    keys.Press(0x28);
    EXPECT_EQ(window.watch.spy->TakeLines(),
              (Lines{"slider NID_VALUE_CHANGE_KEY_DOWN", "slider NID_VALUE_CHANGE", "slider NID_VALUE_CHANGE",
                     "slider NID_VALUE_CHANGE_KEY_UP", "slider NID_VALUE_CHANGE_KEY_DOWN",
                     "slider NID_VALUE_CHANGE"}));
    EXPECT_GE(window.main->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_EQ(window.watch.spy->TakeLines(), (Lines{"slider NID_VALUE_CHANGE_KEY_UP"}))
        << "the focus left during a run";
    EXPECT_EQ(window.slider->GetActiveLookIndex(), 0);

    Testing::MouseRouter& mouse = window.harness.Mouse();
    mouse.RouteMouseWheel({250, 150}, 0, LMouseWheelParam::kVerticalPositive);
    mouse.RouteMouseWheel({250, 150}, 0, LMouseWheelParam::kHorizontalPositive);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 3.0 / 127);
    mouse.RouteMouseWheel({250, 150}, 0, LMouseWheelParam::kVerticalNegative);
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 2.0 / 127);

    window.slider->SetEnabled(false);
    EXPECT_EQ(window.slider->GetActiveLookIndex(), 2);
    window.slider->SetEnabled(true);
    EXPECT_EQ(window.slider->GetActiveLookIndex(), 0);
}

TEST(Slider, ASliderDisabledBeforeAnyOtherChangeOfItsStateShowsItsDisabledLook)
{
    SliderWindow window(Markers(20, 20, 120, 20));
    ASSERT_TRUE(window.slider);
    window.slider->SetEnabled(false);
    EXPECT_EQ(window.slider->GetActiveLookIndex(), 2);
    EXPECT_EQ(window.harness.PaintedColourOf(*window.slider), Testing::ButtonLookColour(0)) << "look 2's face";
}

TEST(Slider, MarkersAtOnePlaceOrMissingMakeNoSegmentAndNoValueThatIsNoNumber)
{
    SliderWindow window(Markers(20, 0, 20, 0));
    ASSERT_TRUE(window.slider);
    window.GrabThumbAndDragTo({90, 40});
    EXPECT_EQ(window.Thumb(), PointT<double>(20, 0));
    window.Release();
    window.PressTrack({150, 5});
    window.harness.RunFor(400);
    window.Release();
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.0);
    EXPECT_DOUBLE_EQ(window.slider->SetValue(0.5), 0.5);
    EXPECT_EQ(window.Thumb(), PointT<double>(20, 0));
    EXPECT_FALSE(std::isnan(window.slider->GetValue()));

    SliderWindow withoutEnd(Wearing("Framework.Button", "thumbStart", "button", At(0, 0)));
    ASSERT_TRUE(withoutEnd.slider);
    ASSERT_TRUE(withoutEnd.slider->GetThumb());
    withoutEnd.GrabThumbAndDragTo({60, 0});
    withoutEnd.Release();
    EXPECT_DOUBLE_EQ(withoutEnd.slider->GetValue(), 0.0);
    EXPECT_DOUBLE_EQ(withoutEnd.slider->SetValue(0.5), 0.5);

    SliderWindow bare("");
    ASSERT_TRUE(bare.slider);
    EXPECT_FALSE(bare.slider->GetThumb());
    bare.PressTrack({150, 5});
    bare.Release();
    EXPECT_DOUBLE_EQ(bare.slider->GetValue(), 0.0);
}

TEST(Slider, AnOwnerCanSquareTheValueAnnounceAHeldBackValueAndGiveDoubleClicksAValue)
{
    SliderWindow window(Markers(0, 0, 100, 0), "Test.OwnedSlider");
    ASSERT_TRUE(window.slider);
    (void)window.slider->SetValue(0.25);
    EXPECT_EQ(window.Thumb(), PointT<double>(50, 0)) << "by the square root";
    window.GrabThumbAndDragTo({80, 0});
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 0.64);
    (void)window.watch.spy->TakeLines();
    (void)window.slider->SetValue(0.09);
    window.Release();
    EXPECT_EQ(window.watch.spy->TakeLines(),
              (Lines{"slider NID_VALUE_CHANGE", "slider NID_VALUE_CHANGE", "slider NID_VALUE_CHANGE_CAPTURE"}));
    EXPECT_EQ(window.Thumb(), PointT<double>(30, 0));

    Testing::MouseRouter& mouse = window.harness.Mouse();
    mouse.Move({135, 55});
    window.harness.Window().SetMouseButtonState(MouseButton::kLeft);
    mouse.RouteMouseButton(IRootWindowTarget::kDoubleClick, MouseButton::kLeft, 0, {135, 55});
    window.harness.Window().SetMouseButtonState(0);
    mouse.RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, 0, {135, 55});
    EXPECT_DOUBLE_EQ(window.slider->GetValue(), 1.0);
    EXPECT_EQ(window.Thumb(), PointT<double>(100, 0));
}

}  // namespace
}  // namespace ZV
