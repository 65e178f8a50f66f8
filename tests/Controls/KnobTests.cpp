#include "ControlBase/KeyParams.h"
#include "Controls/ControlsHarness.h"
#include "Controls/Knob.h"
#include "Controls/NewSkin.h"
#include "Notification/MouseParams.h"
#include "ValueControlWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::Wearing;
using Lines = std::vector<std::string>;

constexpr std::uint32_t kFrameColor = 0xFF0000DD;
constexpr std::uint32_t kFocusColor = 0xFF00CC00;
constexpr std::uint32_t kDisabledColor = 0xFF808080;

// A knob whose owner gives it a value for double clicks.
class LResettableKnob : public LKnob {
public:
    using LKnob::LKnob;

    ZVRESULT Initialize() override
    {
        SetClickValue(0.5);
        return LKnob::Initialize();
    }
};

// The controls' skin and a knob's look list: the frames, one number without a look, then a focus look and a
// disabled look, each of one colour. Skins share their look lists by name: another skin's list needs another name.
Testing::SkinDocumentBuilder KnobSkin(int frames, const std::string& listName = "knob")
{
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.colorizers += R"(<Colorizer Name="Frame" ColorType="SolidFill" Color="0xFF0000DD"/>
        <Colorizer Name="Focus" ColorType="SolidFill" Color="0xFF00CC00"/>
        <Colorizer Name="Disabled" ColorType="SolidFill" Color="0xFF808080"/>)";
    skin.parts += R"(<Part Name="Frame" ColorizerName="Frame" Width="1" Height="1" ResizeType="Stretch"/>
        <Part Name="Focus" ColorizerName="Focus" Width="1" Height="1" ResizeType="Stretch"/>
        <Part Name="Disabled" ColorizerName="Disabled" Width="1" Height="1" ResizeType="Stretch"/>)";
    for (const char* name : {"Frame", "Focus", "Disabled"}) {
        skin.looks += std::string("<Look Name=\"") + name + "\"><ClientPart Name=\"" + name +
                      "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
    }
    skin.lookLists += "<LookList Name=\"" + listName + "\" NumLooks=\"" + std::to_string(frames + 3) + "\">";
    for (int frame = 0; frame < frames; ++frame) {
        skin.lookLists += "<Look Name=\"Frame\" Index=\"" + std::to_string(frame) + "\"/>";
    }
    skin.lookLists += "<Look Name=\"Focus\" Index=\"" + std::to_string(frames + 1) +
                      "\"/><Look Name=\"Disabled\" Index=\"" + std::to_string(frames + 2) + "\"/></LookList>";
    return skin;
}

// A radial knob turns through 270 degrees, 12 o'clock in the middle.
const std::string kRadialArc =
    Testing::CreateParams({{"RADIAL_GESTURE_START_ANGLE", "-135"}, {"RADIAL_GESTURE_END_ANGLE", "135"}});

// The main panel holding a knob 100 pixels square at (100, 50) beside a button that can take the focus.
std::string KnobBesideButton(const std::string& createParams, const char* knobClass,
                             const std::string& listName = "knob")
{
    return Testing::MainControl(
        Wearing(knobClass, "knob", listName, R"(XPositionAbs="100" YPositionAbs="50" XSizeAbs="100" YSizeAbs="100")",
                "", createParams) +
        Wearing("Framework.Button", "other", "button", R"(XPositionAbs="300" XSizeAbs="20" YSizeAbs="20")"));
}

// A window of the knob beside the button, with the knob's look list of that many frames.
class KnobWindow {
public:
    explicit KnobWindow(int frames, const std::string& createParams = "", const char* knobClass = "Framework.Knob")
    {
        harness.Register<LResettableKnob>(L"Test.ResettableKnob");
        Testing::SkinDocumentBuilder skin = KnobSkin(frames);
        skin.controls += KnobBesideButton(createParams, knobClass);
        main = harness.CreateMain(skin);
        knob = main ? dynamic_cast<LKnob*>(main->FindChildByName(L"knob").Get()) : nullptr;
        watch.Watch(knob);
    }

    // The colour that the frame look of that number shows in the knob's middle.
    std::uint32_t FrameColor(std::int32_t frame) const { return knob->GetColorAtPoint({50, 50}, frame); }
    // The pointer at a point of the knob, with the modifiers held.
    void MoveTo(const PointT<zlong>& point, std::uint32_t modifiers = 0)
    {
        harness.Mouse().RouteMouseMove({100 + point.x, 50 + point.y}, modifiers);
    }
    void Press(const PointT<zlong>& point) { harness.PressAt(*knob, point); }
    void Release() { harness.Mouse().Release(MouseButton::kLeft, harness.Window().GetCursorPosition()); }

    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LKnob> knob;
    Testing::ValueControlWatch watch;
};

TEST(Knob, SixtyFourFramesGiveALinearDragOf128PixelsAndTheFrameFollowsTheValue)
{
    KnobWindow window(64);
    ASSERT_TRUE(window.knob);
    EXPECT_FALSE(window.knob->IsRadial());
    EXPECT_EQ(window.knob->GetFrameCount(), 64);
    EXPECT_EQ(window.knob->GetLinearFullRange(), 128);
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 0);

    window.MoveTo({50, 50});
    window.Press({50, 50});
    window.MoveTo({114, 50});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 64.0 / 127) << "a pixel per unit";
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 32);
    window.MoveTo({177, 50});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0) << "127 pixels cover the range";
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 63);
    window.MoveTo({200, 50});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0);
    window.Release();
    EXPECT_EQ(window.watch.captures, (std::vector<bool>{true, false}));

    (void)window.knob->SetValue(0);
    window.MoveTo({50, 50});
    window.Press({50, 50});
    window.MoveTo({177, 50}, ModifierMask::kControl);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 128.0 / 511) << "with Ctrl a quarter as far, in steps of 1/511";
    window.Release();

    (void)window.knob->SetValue(0);
    window.Press({50, 50});
    window.MoveTo({60, 40});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 20.0 / 127) << "right and up add up";
    window.MoveTo({70, 55});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 30.0 / 127) << "right and down: the right step alone counts";
    window.Release();
}

TEST(Knob, ARadialKnobFollowsThePointersAngleAndGoesToTheNearerEndOutsideItsArc)
{
    KnobWindow window(8, kRadialArc);
    ASSERT_TRUE(window.knob);
    EXPECT_TRUE(window.knob->IsRadial());

    window.MoveTo({50, 10});
    window.Press({50, 10});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.5) << "straight up is the middle of a 270 degree arc through 12";
    window.MoveTo({90, 50});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 225.0 / 270) << "3 o'clock";
    window.MoveTo({51, 90});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0) << "just right of 6 o'clock, past the arc's end";
    window.MoveTo({49, 90});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "just left of it, nearer the start";
    window.MoveTo({50, 50});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "the centre has no angle";
    window.Release();
}

TEST(Knob, AValueSetWhileHeldAppliesAtTheRelease)
{
    KnobWindow window(8);
    ASSERT_TRUE(window.knob);
    window.MoveTo({50, 50});
    window.Press({50, 50});
    EXPECT_DOUBLE_EQ(window.knob->SetValue(0.8), 0.0);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0);
    window.Release();
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.8);
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 6);
    EXPECT_DOUBLE_EQ(window.knob->SetValue(0.2), 0.2) << "once released, at once";
}

TEST(Knob, ArrowKeysAndTheWheelStepByOneUnitAndAKeyRunIsAnnouncedOnce)
{
    KnobWindow window(8);
    ASSERT_TRUE(window.knob);
    ASSERT_GE(window.knob->SetFocus(true), 0);
    Testing::KeyRouter& keys = window.harness.Keys();

    keys.Press(0x27);
    keys.Press(0x26);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 2.0 / 127);
    keys.RouteKey(LKeyParam::Create(KeyCode(0x26, false, 1, 0), true));
    keys.Press(0x25);
    keys.Press(0x28);
    keys.Press(0x28);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "stopped at the bottom";
    keys.Press(0x41);
    EXPECT_EQ(window.watch.spy->TakeLines(),
              (Lines{"knob NID_VALUE_CHANGE_KEY_DOWN", "knob NID_VALUE_CHANGE", "knob NID_VALUE_CHANGE",
                     "knob NID_VALUE_CHANGE_KEY_UP", "knob NID_VALUE_CHANGE_KEY_DOWN", "knob NID_VALUE_CHANGE",
                     "knob NID_VALUE_CHANGE"}));
    ASSERT_GE(window.main->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_EQ(window.watch.spy->TakeLines(), (Lines{"knob NID_VALUE_CHANGE_KEY_UP"}))
        << "losing the focus ends the run";

    window.harness.Mouse().RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kVerticalPositive);
    window.harness.Mouse().RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kHorizontalPositive);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 2.0 / 127);
    window.harness.Mouse().RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kHorizontalNegative);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0 / 127);
}

TEST(Knob, TheFocusAndDisabledLooksLieOverEveryFrameWhileTheyApply)
{
    KnobWindow window(4);
    ASSERT_TRUE(window.knob);
    EXPECT_EQ(window.FrameColor(0), kFrameColor);

    ASSERT_GE(window.knob->SetFocus(true), 0);
    for (std::int32_t frame = 0; frame < 4; ++frame) {
        EXPECT_EQ(window.FrameColor(frame), kFocusColor) << frame;
    }
    ASSERT_GE(window.main->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_EQ(window.FrameColor(3), kFrameColor);
    window.knob->SetEnabled(false);
    for (std::int32_t frame = 0; frame < 4; ++frame) {
        EXPECT_EQ(window.FrameColor(frame), kDisabledColor) << frame;
    }
    window.knob->SetEnabled(true);
    EXPECT_EQ(window.FrameColor(0), kFrameColor);
}

TEST(Knob, CreateParametersSetTheScaleAndTheValueAndAScaleOfNoPixelsFallsBackToTheDefault)
{
    KnobWindow scaled(4, Testing::CreateParams({{"LINEAR_GESTURE_FULL_RANGE", "201"}, {"INITIAL_VALUE", "1"}}));
    ASSERT_TRUE(scaled.knob);
    EXPECT_EQ(scaled.knob->GetLinearFullRange(), 201);
    EXPECT_EQ(scaled.knob->GetActiveLookIndex(), 3) << "the initial value shows its frame";

    KnobWindow onePixel(4, Testing::CreateParams({{"LINEAR_GESTURE_FULL_RANGE", "1"}}));
    ASSERT_TRUE(onePixel.knob);
    EXPECT_EQ(onePixel.knob->GetLinearFullRange(), 128);
    onePixel.MoveTo({50, 50});
    onePixel.Press({50, 50});
    onePixel.MoveTo({50, 40});
    EXPECT_DOUBLE_EQ(onePixel.knob->GetValue(), 10.0 / 127);
    onePixel.Release();

    KnobWindow bare(0);
    ASSERT_TRUE(bare.knob);
    EXPECT_EQ(bare.knob->GetFrameCount(), 0);
    EXPECT_EQ(bare.knob->GetLinearFullRange(), 128);
    EXPECT_DOUBLE_EQ(bare.knob->SetValue(0.5), 0.5) << "no frame to choose";
}

TEST(Knob, ACtrlClickSetsTheValueThatTheOwnerGives)
{
    KnobWindow window(8, "", "Test.ResettableKnob");
    ASSERT_TRUE(window.knob);
    window.MoveTo({50, 50});
    window.Press({50, 50});
    window.Release();
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "a plain click";
    Testing::MouseRouter& mouse = window.harness.Mouse();
    window.harness.Window().SetMouseButtonState(MouseButton::kLeft);
    mouse.RouteMouseButton(IRootWindowTarget::kPress, MouseButton::kLeft, ModifierMask::kControl, {150, 100});
    window.harness.Window().SetMouseButtonState(0);
    mouse.RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, ModifierMask::kControl, {150, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.5);
}

TEST(Knob, AKnobSizedByItsParentTurnsAroundTheCentreOfTheSizeItIsLaidOutAt)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = KnobSkin(8);
    // The window sizes the main panel, and the main panel the knob's height.
    skin.controls += Testing::Panel(
        "main",
        R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0")",
        Wearing("Framework.Knob", "knob", "knob",
                R"(XSizeAbs="100" YSizeToControl="Parent" YSizeRel="0.5" YSizeAbs="0")", "", kRadialArc));
    harness.Window().SetClientArea({0, 0, 400, 100});
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LControl> knob = main->FindChildByName(L"knob");
    ASSERT_TRUE(dynamic_cast<LKnob*>(knob.Get()));
    ASSERT_EQ(knob->GetSize().y, 50);
    const auto valueOfPressAt = [&](const PointT<zlong>& point) {
        harness.MoveTo(*knob, point);
        harness.PressAt(*knob, point);
        harness.ReleaseAt(*knob, point);
        return knob->GetValue();
    };
    EXPECT_DOUBLE_EQ(valueOfPressAt({50, 5}), 0.5) << "straight above the centre (50, 25)";
    EXPECT_DOUBLE_EQ(valueOfPressAt({95, 25}), 225.0 / 270) << "3 o'clock";

    harness.Window().Resize(400, 200);
    ASSERT_EQ(knob->GetSize().y, 100);
    EXPECT_DOUBLE_EQ(valueOfPressAt({50, 40}), 0.5) << "above the new centre (50, 50), below the old one";
}

TEST(Knob, UnderANewSkinTheKnobCountsItsFramesAgainAndShowsItsValueUnderTheLookOfItsState)
{
    KnobWindow window(4);
    ASSERT_TRUE(window.knob);
    (void)window.knob->SetValue(1.0);
    window.knob->SetEnabled(false);
    EXPECT_EQ(window.FrameColor(3), kDisabledColor) << "disabled before its state changed in any other way";

    Testing::SkinDocumentBuilder skin = KnobSkin(8, "eightFrames");
    skin.controls += KnobBesideButton("", "Framework.Knob", "eightFrames");
    Testing::ApplyNewSkin(window.harness, skin, *window.knob);
    EXPECT_EQ(window.knob->GetFrameCount(), 8);
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 7);
    EXPECT_EQ(window.FrameColor(7), kDisabledColor);
    window.knob->SetEnabled(true);
    EXPECT_EQ(window.FrameColor(7), kFrameColor);
}

}  // namespace
}  // namespace ZV
