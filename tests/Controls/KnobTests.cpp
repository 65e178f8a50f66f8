#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Knob.h"
#include "Notification/MouseParams.h"
#include "ObjectBase/Holder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::KeyRouter;
using Testing::LNotificationSpy;
using Testing::MouseRouter;
using Testing::SkinDocumentBuilder;
using Testing::SubControl;
using Testing::Wearing;

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

// A window with a knob 100 pixels square at (100, 50): its look list has the frames, one number without a look,
// then a focus look and a disabled look, each of one colour.
class KnobWindow {
public:
    explicit KnobWindow(int frames, const std::string& createParams = "", const char* knobClass = "Framework.Knob")
    {
        EXPECT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
        harness.Register<LResettableKnob>(L"Test.ResettableKnob");
        SkinDocumentBuilder skin;
        skin.colorizers = R"(<Colorizer Name="Frame" ColorType="SolidFill" Color="0xFF0000DD"/>
            <Colorizer Name="Focus" ColorType="SolidFill" Color="0xFF00CC00"/>
            <Colorizer Name="Disabled" ColorType="SolidFill" Color="0xFF808080"/>)";
        skin.parts = R"(<Part Name="Frame" ColorizerName="Frame" Width="1" Height="1" ResizeType="Stretch"/>
            <Part Name="Focus" ColorizerName="Focus" Width="1" Height="1" ResizeType="Stretch"/>
            <Part Name="Disabled" ColorizerName="Disabled" Width="1" Height="1" ResizeType="Stretch"/>)";
        for (const char* name : {"Frame", "Focus", "Disabled"}) {
            skin.looks += std::string("<Look Name=\"") + name + "\"><ClientPart Name=\"" + name +
                          "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
        }
        skin.lookLists = "<LookList Name=\"knob\" NumLooks=\"" + std::to_string(frames + 3) + "\">";
        for (int frame = 0; frame < frames; ++frame) {
            skin.lookLists += "<Look Name=\"Frame\" Index=\"" + std::to_string(frame) + "\"/>";
        }
        skin.lookLists += "<Look Name=\"Focus\" Index=\"" + std::to_string(frames + 1) +
                          "\"/><Look Name=\"Disabled\" Index=\"" + std::to_string(frames + 2) + "\"/></LookList>";
        skin.controls = SubControl(
            "Test.Control", "main", "",
            Wearing(knobClass, "knob", "knob",
                    R"(XPositionAbs="100" YPositionAbs="50" XSizeAbs="100" YSizeAbs="100")", "", createParams));
        harness.LoadSkinDocument(skin.Document());
        main = harness.CreateRoot(L"main");
        knob = main ? RCPtr<LKnob>(dynamic_cast<LKnob*>(main->FindChildByName(L"knob").Get())) : nullptr;
        harness.Window().SetControlsUnderPointer({knob, main});
        spy->Watch(knob, {L"NID_VALUE_CHANGE_CAPTURE", L"NID_VALUE_CHANGE_KEY_DOWN", L"NID_VALUE_CHANGE_KEY_UP"});
        spy->OnEach(L"NID_VALUE_CHANGE_CAPTURE", [this](const LNotification& notification) {
            const auto* held = dynamic_cast<const LHolder<bool>*>(notification.GetParameter().Get());
            captures.push_back(held != nullptr && held->GetValue());
        });
    }

    ~KnobWindow() { harness.Window().SetRootControl(nullptr); }

    // The colour that the frame look of that number shows in the knob's middle.
    std::uint32_t FrameColor(std::int32_t frame) const { return knob->GetColorAtPoint({50, 50}, frame); }

    ControlHarness harness;
    RCPtr<LControl> main;
    RCPtr<LKnob> knob;
    MouseRouter mouse{harness.Window()};
    KeyRouter keys{harness.Window()};
    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    std::vector<bool> captures;
};

TEST(Knob, SixtyFourFramesGiveALinearDragOf128PixelsAndTheFrameFollowsTheValue)
{
    KnobWindow window(64);
    ASSERT_TRUE(window.knob);
    EXPECT_FALSE(window.knob->IsRadial());
    EXPECT_EQ(window.knob->GetFrameCount(), 64);
    EXPECT_EQ(window.knob->GetLinearFullRange(), 128);
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 0);

    window.mouse.Move({150, 100});
    window.mouse.Press(MouseButton::kLeft, {150, 100});
    window.mouse.Move({214, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 64.0 / 127) << "a pixel per unit";
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 32);
    window.mouse.Move({277, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0) << "127 pixels cover the range";
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 63);
    window.mouse.Move({300, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0);
    window.mouse.Release(MouseButton::kLeft, {300, 100});
    EXPECT_EQ(window.captures, (std::vector<bool>{true, false}));

    (void)window.knob->SetValue(0);
    window.mouse.Move({150, 100});
    window.mouse.Press(MouseButton::kLeft, {150, 100});
    window.mouse.RouteMouseMove({277, 100}, ModifierMask::kControl);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 128.0 / 511) << "with Ctrl a quarter as far, in steps of 1/511";
    window.mouse.Release(MouseButton::kLeft, {277, 100});

    (void)window.knob->SetValue(0);
    window.mouse.Press(MouseButton::kLeft, {150, 100});
    window.mouse.Move({160, 90});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 20.0 / 127) << "right and up add up";
    window.mouse.Move({170, 105});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 30.0 / 127) << "right and down: the right step alone counts";
    window.mouse.Release(MouseButton::kLeft, {170, 105});
}

TEST(Knob, ARadialKnobFollowsThePointersAngleAndGoesToTheNearerEndOutsideItsArc)
{
    KnobWindow window(8, Testing::CreateParams({{"RADIAL_GESTURE_START_ANGLE", "-135"},
                                                {"RADIAL_GESTURE_END_ANGLE", "135"}}));
    ASSERT_TRUE(window.knob);
    EXPECT_TRUE(window.knob->IsRadial());

    window.mouse.Move({150, 60});
    window.mouse.Press(MouseButton::kLeft, {150, 60});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.5) << "straight up is the middle of a 270 degree arc through 12";
    window.mouse.Move({190, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 225.0 / 270) << "3 o'clock";
    window.mouse.Move({151, 140});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 1.0) << "just right of 6 o'clock, past the arc's end";
    window.mouse.Move({149, 140});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "just left of it, nearer the start";
    window.mouse.Move({150, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "the centre has no angle";
    window.mouse.Release(MouseButton::kLeft, {150, 100});
}

TEST(Knob, AValueSetWhileHeldAppliesAtTheRelease)
{
    KnobWindow window(8);
    ASSERT_TRUE(window.knob);
    window.mouse.Move({150, 100});
    window.mouse.Press(MouseButton::kLeft, {150, 100});
    EXPECT_DOUBLE_EQ(window.knob->SetValue(0.8), 0.0);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0);
    window.mouse.Release(MouseButton::kLeft, {150, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.8);
    EXPECT_EQ(window.knob->GetActiveLookIndex(), 6);
    EXPECT_DOUBLE_EQ(window.knob->SetValue(0.2), 0.2) << "once released, at once";
}

TEST(Knob, ArrowKeysAndTheWheelStepByOneUnitAndAKeyRunIsAnnouncedOnce)
{
    KnobWindow window(8);
    ASSERT_TRUE(window.knob);
    ASSERT_GE(window.knob->SetFocus(true), 0);
    (void)window.spy->TakeLines();

    window.keys.Press(0x27);
    window.keys.Press(0x26);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 2.0 / 127);
    window.keys.RouteKey(LKeyParam::Create(KeyCode(0x26, false, 1, 0), true));
    window.keys.Press(0x25);
    window.keys.Press(0x28);
    window.keys.Press(0x28);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "stopped at the bottom";
    window.keys.Press(0x41);
    EXPECT_EQ(window.spy->TakeLines(),
              (std::vector<std::string>{"knob NID_VALUE_CHANGE_KEY_DOWN", "knob NID_VALUE_CHANGE_KEY_UP",
                                        "knob NID_VALUE_CHANGE_KEY_DOWN"}));
    EXPECT_TRUE(window.knob->ReleaseFocus());
    EXPECT_EQ(window.spy->TakeLines(), (std::vector<std::string>{"knob NID_VALUE_CHANGE_KEY_UP"}))
        << "losing the focus ends the run";

    window.mouse.RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kVerticalPositive);
    window.mouse.RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kHorizontalPositive);
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 2.0 / 127);
    window.mouse.RouteMouseWheel({150, 100}, 0, LMouseWheelParam::kHorizontalNegative);
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
    EXPECT_TRUE(window.knob->ReleaseFocus());
    EXPECT_EQ(window.FrameColor(3), kFrameColor);
    window.knob->SetEnabled(false);
    for (std::int32_t frame = 0; frame < 4; ++frame) {
        EXPECT_EQ(window.FrameColor(frame), kDisabledColor) << frame;
    }
    window.knob->SetEnabled(true);
    EXPECT_EQ(window.FrameColor(0), kFrameColor);
}

TEST(Knob, CreateParametersSetTheScaleAndTheValueAndAKnobWithoutFramesStillTurns)
{
    KnobWindow scaled(4, Testing::CreateParams({{"LINEAR_GESTURE_FULL_RANGE", "201"}, {"INITIAL_VALUE", "1"}}));
    ASSERT_TRUE(scaled.knob);
    EXPECT_EQ(scaled.knob->GetLinearFullRange(), 201);
    EXPECT_EQ(scaled.knob->GetActiveLookIndex(), 3) << "the initial value shows its frame";

    KnobWindow bare(0);
    ASSERT_TRUE(bare.knob);
    EXPECT_EQ(bare.knob->GetFrameCount(), 0);
    EXPECT_EQ(bare.knob->GetLinearFullRange(), 128);
    bare.mouse.Move({150, 100});
    bare.mouse.Press(MouseButton::kLeft, {150, 100});
    bare.mouse.Move({150, 90});
    EXPECT_DOUBLE_EQ(bare.knob->GetValue(), 10.0 / 127);
    bare.mouse.Release(MouseButton::kLeft, {150, 90});
}

TEST(Knob, ADoubleClickOrACtrlClickSetsTheValueThatTheOwnerGives)
{
    KnobWindow window(8, "", "Test.ResettableKnob");
    ASSERT_TRUE(window.knob);
    window.mouse.Move({150, 100});
    window.mouse.Press(MouseButton::kLeft, {150, 100});
    window.mouse.Release(MouseButton::kLeft, {150, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.0) << "a plain click";
    window.harness.Window().SetMouseButtonState(MouseButton::kLeft);
    window.mouse.RouteMouseButton(IRootWindowTarget::kPress, MouseButton::kLeft, ModifierMask::kControl, {150, 100});
    window.harness.Window().SetMouseButtonState(0);
    window.mouse.RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, ModifierMask::kControl,
                                  {150, 100});
    EXPECT_DOUBLE_EQ(window.knob->GetValue(), 0.5);
}

}  // namespace
}  // namespace ZV
