#include "Controls/ControlsHarness.h"
#include "Controls/LevelMeter.h"
#include "Notification/MouseParams.h"
#include "ControlBase/Harness/NotificationSpy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::LNotificationSpy;
using Testing::SubControl;
using Testing::Wearing;

// A window with one meter named "meter": at (0, 0) of the size given, made of the children given; or as the main
// control given places it.
class MeterWindow {
public:
    MeterWindow(const std::string& size, const std::string& children)
        : MeterWindow(Testing::MainControl(Wearing("Framework.LevelMeter", "meter", "panel", size, children)))
    {
    }

    explicit MeterWindow(const std::string& mainControl)
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += mainControl;
        main = harness.CreateMain(skin);
        meter = main ? dynamic_cast<LLevelMeter*>(main->FindChildByName(L"meter").Get()) : nullptr;
    }

    RCPtr<LControl> Child(const wchar_t* name) const { return meter->FindChildByName(name); }
    // The overlay's length along the meter's axis, 0 while it is hidden.
    double OverlayLength() const
    {
        const RCPtr<LControl> overlay = Child(L"activeOverlay");
        if (!overlay->IsVisible(false)) {
            return 0;
        }
        return meter->GetAxis() == 0 ? overlay->GetSize().x : overlay->GetSize().y;
    }

    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LLevelMeter> meter;
};

const std::string kOverlay = SubControl("Framework.Panel", "activeOverlay", R"(XSizeAbs="200" YSizeAbs="100")");
const std::string kHorizontal = R"(XSizeAbs="200" YSizeAbs="20")";

// A main panel that fills the window and sizes a meter 20 wide to half its height, made of the children given.
std::string MeterHalfTheWindowHigh(const std::string& children)
{
    return Testing::Panel(
        "main",
        R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0")",
        Wearing("Framework.LevelMeter", "meter", "panel",
                R"(XSizeAbs="20" YSizeToControl="Parent" YSizeRel="0.5" YSizeAbs="0")", children));
}

TEST(LevelMeter, TheOverlayIsTheLitPartOfAHorizontalMeterAndCoversTheRestOfAVerticalOne)
{
    MeterWindow horizontal(kHorizontal, kOverlay);
    ASSERT_TRUE(horizontal.meter);
    EXPECT_EQ(horizontal.meter->GetAxis(), 0);
    EXPECT_FALSE(horizontal.Child(L"activeOverlay")->IsVisible(false)) << "hidden until a level comes";
    EXPECT_TRUE(horizontal.Child(L"activeOverlay")->UsesParentToolTip());
    EXPECT_FALSE(horizontal.meter->IsFocusable());
    EXPECT_EQ(horizontal.meter->GetActiveLookIndex(), 0) << "worn, so that the overlay shows";
    ASSERT_EQ(horizontal.meter->SetLevels(0.5, 0), 0);
    EXPECT_EQ(horizontal.OverlayLength(), 100);
    EXPECT_EQ(horizontal.meter->GetValue(), 0.5);
    ASSERT_EQ(horizontal.meter->SetLevels(0.002, 0), 0);
    EXPECT_EQ(horizontal.OverlayLength(), 0) << "0.4 pixels round to none";
    ASSERT_EQ(horizontal.meter->SetLevels(1.7, 0), 0);
    EXPECT_EQ(horizontal.OverlayLength(), 200) << "never longer than the meter";
    (void)horizontal.meter->SetValue(0.25);
    EXPECT_EQ(horizontal.OverlayLength(), 50) << "a value set from outside is a level";

    MeterWindow notPanel(kHorizontal, SubControl("Test.Control", "activeOverlay", R"(XSizeAbs="7")"));
    ASSERT_TRUE(notPanel.meter);
    ASSERT_EQ(notPanel.meter->SetLevels(0.5, 0), 0);
    EXPECT_EQ(notPanel.Child(L"activeOverlay")->GetSize().x, 7) << "an overlay that is no panel is none";
    EXPECT_TRUE(notPanel.Child(L"activeOverlay")->IsVisible(false));

    MeterWindow vertical(R"(XSizeAbs="20" YSizeAbs="100")", kOverlay);
    ASSERT_TRUE(vertical.meter);
    EXPECT_EQ(vertical.meter->GetAxis(), 1);
    ASSERT_EQ(vertical.meter->SetLevels(0.25, 0), 0);
    EXPECT_EQ(vertical.OverlayLength(), 75);
    ASSERT_EQ(vertical.meter->SetLevels(1.0, 0), 0);
    EXPECT_EQ(vertical.OverlayLength(), 0);
    ASSERT_EQ(vertical.meter->SetLevels(-3, 0), 0);
    EXPECT_EQ(vertical.OverlayLength(), 100);
}

TEST(LevelMeter, AMeterSizedByItsParentTakesItsAxisFromTheShapeItIsLaidOutIn)
{
    const std::string fill = R"(XSizeToControl="Parent" XSizeRel="1" XSizeAbs="0" )"
                             R"(YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")";
    MeterWindow window(MeterHalfTheWindowHigh(SubControl("Framework.Panel", "activeOverlay", fill)));
    const RCPtr<LLevelMeter>& meter = window.meter;
    ASSERT_TRUE(meter);
    const RCPtr<LControl> overlay = meter->FindChildByName(L"activeOverlay");
    using Size = std::vector<double>;
    const auto overlaySize = [&] {
        return overlay->IsVisible(false) ? Size{overlay->GetSize().x, overlay->GetSize().y} : Size{};
    };

    ASSERT_EQ(meter->GetSize().y, 150);
    EXPECT_EQ(meter->GetAxis(), 1);
    ASSERT_EQ(meter->SetLevels(0.25, 0), 0);
    EXPECT_EQ(overlaySize(), (Size{20, 113})) << "the part above the level";
    ASSERT_EQ(meter->SetLevels(1.0, 0), 0);
    EXPECT_EQ(overlaySize(), Size{}) << "nothing above a full level";

    // Wider than tall in a low window: the overlay is the lit part from the left, as tall as the skin makes it.
    window.harness.Window().Resize(400, 30);
    EXPECT_EQ(meter->GetAxis(), 0);
    EXPECT_EQ(overlaySize(), (Size{20, 15})) << "a full level lights it all";
    ASSERT_EQ(meter->SetLevels(0.25, 0), 0);
    EXPECT_EQ(overlaySize(), (Size{5, 15}));

    window.harness.Window().Resize(400, 300);
    EXPECT_EQ(meter->GetAxis(), 1);
    EXPECT_EQ(overlaySize(), (Size{20, 113}));
}

TEST(LevelMeter, AMeterSizedByItsParentDrawsAFullPeakAtThePlaceOfPeakHiAtEverySize)
{
    // A vertical meter half as high as the window: the marker rises from the bottom to "peakHi" at the top.
    MeterWindow window(MeterHalfTheWindowHigh(
        kOverlay +
        SubControl("Framework.Panel", "peakLo",
                   R"(XSizeAbs="20" YSizeAbs="4" YPositionToControl="Parent" YPositionRel="1" YPositionAbs="-4")") +
        SubControl("Test.Control", "peakHi", R"(XSizeAbs="20" YSizeAbs="4" YPositionAbs="10")")));
    const RCPtr<LLevelMeter>& meter = window.meter;
    ASSERT_TRUE(meter);
    const RCPtr<LControl> marker = meter->FindChildByName(L"peakLo");
    ASSERT_EQ(meter->GetSize().y, 150);

    ASSERT_EQ(meter->SetLevels(0.5, 1.0), 0);
    EXPECT_TRUE(marker->IsVisible(false));
    EXPECT_EQ(marker->GetPosition().y, 10);
    ASSERT_EQ(meter->SetLevels(0.5, 0.5), 0);
    EXPECT_EQ(marker->GetPosition().y, 78) << "halfway from 146 up to 10";

    window.harness.Window().Resize(400, 200);
    EXPECT_EQ(marker->GetPosition().y, 53) << "the peak shown keeps its place on the travel of the new size";
    ASSERT_EQ(meter->SetLevels(0.5, 1.0), 0);
    EXPECT_EQ(marker->GetPosition().y, 10);
}

TEST(LevelMeter, ThePeakMarkerTravelsFromItsOwnPlaceToThePlaceOfPeakHi)
{
    const std::string markers = kOverlay +
                                SubControl("Framework.Panel", "peakLo", R"(XPositionAbs="10" XSizeAbs="4")") +
                                SubControl("Test.Control", "peakHi", R"(XPositionAbs="110" XSizeAbs="4")");
    MeterWindow window(kHorizontal, markers);
    ASSERT_TRUE(window.meter);
    const RCPtr<LControl> marker = window.Child(L"peakLo");
    EXPECT_FALSE(marker->IsVisible(false));
    EXPECT_FALSE(window.Child(L"peakHi")->IsVisible(false));

    ASSERT_EQ(window.meter->SetLevels(0.2, 0.5), 0);
    EXPECT_TRUE(marker->IsVisible(false));
    EXPECT_EQ(marker->GetPosition().x, 60);
    ASSERT_EQ(window.meter->SetLevels(0.2, 1.0), 0);
    EXPECT_EQ(marker->GetPosition().x, window.Child(L"peakHi")->GetPosition().x);
    ASSERT_EQ(window.meter->SetLevels(0.2, 0), 0);
    EXPECT_FALSE(marker->IsVisible(false));

    MeterWindow withoutHigh(kHorizontal, kOverlay + SubControl("Framework.Panel", "peakLo", R"(XPositionAbs="10")"));
    ASSERT_TRUE(withoutHigh.meter);
    ASSERT_EQ(withoutHigh.meter->SetLevels(0.2, 0.5), 0);
    EXPECT_FALSE(withoutHigh.Child(L"peakLo")->IsVisible(false));
    EXPECT_EQ(withoutHigh.Child(L"peakLo")->GetPosition().x, 10);
}

TEST(LevelMeter, TheClipLightFollowsTheCounterAndALatchedOneStaysLitUntilClicked)
{
    MeterWindow window(kHorizontal, Wearing("Framework.Button", "clipButton", "button",
                                            R"(XPositionAbs="180" XSizeAbs="20" YSizeAbs="20")"));
    ASSERT_TRUE(window.meter);
    const RCPtr<LControl> light = window.Child(L"clipButton");
    const RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    spy->Watch(window.meter, {L"NID_CLIPLIGHT_UNLATCHED"});
    const auto click = [&] {
        window.harness.MoveTo(*light, {10, 10});
        window.harness.PressAt(*light, {10, 10});
        window.harness.ReleaseAt(*light, {10, 10});
    };

    ASSERT_EQ(window.meter->SetLevelsAndClip(0.5, 0, 1), 0);
    EXPECT_TRUE(window.meter->IsClipLit());
    EXPECT_EQ(window.meter->GetClipCounter(), 1);
    ASSERT_EQ(window.meter->SetLevels(0.5, 0), 0);
    EXPECT_FALSE(window.meter->IsClipLit()) << "without latching, dark at the next update";

    ASSERT_EQ(window.meter->SetClipLatch(true), 0);
    click();
    EXPECT_TRUE(spy->TakeLines().empty()) << "a dark light posts nothing";
    ASSERT_EQ(window.meter->SetLevelsAndClip(0.5, 0, 2), 0);
    ASSERT_EQ(window.meter->SetLevels(0.4, 0), 0);
    EXPECT_TRUE(window.meter->IsClipLit()) << "latched";
    click();
    EXPECT_FALSE(window.meter->IsClipLit());
    EXPECT_EQ(spy->TakeLines(), (std::vector<std::string>{"meter NID_CLIPLIGHT_UNLATCHED"}));

    EXPECT_EQ(window.meter->SetClipCounter(7), 7);
    EXPECT_FALSE(window.meter->IsClipLit()) << "storing the counter changes nothing else";
    ASSERT_EQ(window.meter->SetLevelsAndClip(0.5, 0, 8), 0);
    ASSERT_EQ(window.meter->SetClipLatch(false), 0);
    EXPECT_FALSE(window.meter->IsClipLit()) << "turning latching off darkens the light";
    ASSERT_EQ(window.meter->SetLevelsAndClip(0.5, 0, 9), 0);
    click();
    EXPECT_TRUE(window.meter->IsClipLit()) << "clicks go unheard without latching";
    EXPECT_TRUE(spy->TakeLines().empty());

    MeterWindow withoutLight(kHorizontal, kOverlay);
    ASSERT_TRUE(withoutLight.meter);
    EXPECT_EQ(withoutLight.meter->SetClipLatch(true), ZV_E_FAIL);
    EXPECT_FALSE(withoutLight.meter->IsClipLit());
}

}  // namespace
}  // namespace ZV
