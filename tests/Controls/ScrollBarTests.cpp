#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/Look.h"
#include "ControlsTestSkin.h"
#include "Controls/ScrollBar.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Notification/ValueParam.h"
#include "Renderer/RectList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::KeyRouter;
using Testing::Looked;
using Testing::LNotificationSpy;
using Testing::MouseRouter;

const std::string kButton = "Test.Control";

// A bar 20 pixels thick at (10, 10) of its parent: its step buttons 20 long at its ends, the channel of 100 between
// them, and in the channel a thumb as thick as the bar, at least as long as it is thick.
std::string BarSkin(const std::string& name, bool vertical, const std::string& thumb = "")
{
    const std::string across = vertical ? "X" : "Y";
    const std::string along = vertical ? "Y" : "X";
    const std::string square = R"(XSizeAbs="20" YSizeAbs="20")";
    return Looked("Framework.ScrollBar", name, 0,
                  R"(XPositionAbs="10" YPositionAbs="10" )" + across + R"(SizeAbs="20" )" + along +
                      R"(SizeAbs="140")",
                  Looked(kButton, "dec", 1, square) +
                      Looked(kButton, "inc", 1, square + " " + along + R"(PositionAbs="120")") +
                      Looked("Framework.ScrollChannel", "channel", 3,
                             along + R"(PositionAbs="20" )" + across + R"(SizeAbs="20" )" + along +
                                 R"(SizeAbs="100")",
                             thumb.empty() ? Looked(kButton, "thumb", 1, square) : thumb));
}

struct BarFixture {
    ControlHarness harness;
    MouseRouter mouse{harness.Window()};
    RCPtr<LControl> main;
    RCPtr<LScrollbar> bar;
    RCPtr<LControl> channel;
    RCPtr<LControl> thumb;

    explicit BarFixture(bool vertical = true, const std::string& thumbSkin = "")
    {
        Testing::LoadControlsSkin(harness, Looked("Test.Control", "main", 0, "",
                                                  Looked("Test.Control", "focused", 1, R"(XPositionAbs="100")") +
                                                      BarSkin("bar", vertical, thumbSkin)));
        main = harness.CreateRoot(L"main");
        bar = main ? dynamic_cast<LScrollbar*>(main->FindChildByName(L"bar").Get()) : nullptr;
        channel = bar ? bar->FindChildByName(L"channel") : nullptr;
        thumb = channel ? channel->FindChildByName(L"thumb") : nullptr;
    }

    // Presses and moves find this part under the pointer, wherever it is.
    void PointAt(const RCPtr<LControl>& part) { harness.Window().SetControlsUnderPointer({part}); }

    // Where the thumb starts along the bar, in the channel.
    double ThumbAt() const { return thumb->GetPosition().y; }
    // A point of the channel in the window: the bar lies at (10, 10), the channel 20 into it.
    static PointT<zlong> InChannel(zlong along) { return {20, 30 + along}; }

    void Idle(std::uint32_t milliseconds)
    {
        harness.AdvanceTime(milliseconds);
        (void)harness.PumpIdle();
    }

    RectEdges RegionOf(std::int32_t look) const
    {
        RectEdges bounds;
        (void)channel->GetLook(look)->GetRegion().GetBounds(bounds);
        return bounds;
    }
};

TEST(ScrollBar, ItsPartsTellItsAxisAndTrackAndItsRangeKeepsThePositionInTheOwnersUnits)
{
    BarFixture vertical;
    ASSERT_TRUE(vertical.bar && vertical.thumb);
    LScrollbar& bar = *vertical.bar;
    EXPECT_TRUE(bar.IsVertical());
    EXPECT_EQ(bar.GetThumbLength(), 20) << "as long as the bar is thick";
    EXPECT_EQ(vertical.thumb->GetSize(), PointT<double>(20, 20));
    EXPECT_FALSE(bar.IsFocusable());
    EXPECT_FALSE(vertical.thumb->IsFocusable());
    EXPECT_EQ(vertical.channel->GetActiveLookIndex(), 0);

    const RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    spy->Watch(vertical.bar, {L"NID_VALUE_CHANGE"});
    std::vector<double> reported;
    spy->OnEach(L"NID_VALUE_CHANGE", [&](const LNotification& notification) {
        reported.push_back(dynamic_cast<const LValueParam&>(*notification.GetParameter()).GetScaledValue());
    });
    (void)bar.SetValue(0.5);
    EXPECT_EQ(vertical.ThumbAt(), 40) << "half of the 80 pixels the thumb can travel";
    EXPECT_EQ(bar.SetValueRange(0, 200, kLinearScale), ZV_S_OK);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.25) << "still at 50";
    EXPECT_EQ(vertical.ThumbAt(), 20);
    EXPECT_EQ(bar.SetValueRange(0, 200, 7), ZV_E_INVALIDARG);
    EXPECT_EQ(reported, (std::vector<double>{50, 50}));
    bar.SetThumbFraction(0.5);
    EXPECT_EQ(vertical.thumb->GetSize(), PointT<double>(20, 50));
    EXPECT_EQ(vertical.ThumbAt(), 13) << "12.5 of the 50 pixels left";
    (void)spy->UnregisterAllNotifications();

    BarFixture horizontal(false);
    ASSERT_TRUE(horizontal.bar && horizontal.thumb);
    EXPECT_FALSE(horizontal.bar->IsVertical());
    (void)horizontal.bar->SetValue(1.0);
    EXPECT_EQ(horizontal.thumb->GetPosition(), PointT<double>(80, 0));
}

TEST(ScrollBar, APressInTheChannelPagesAtOnceThenAfterADelayAndStopsWhenTheThumbPassesThePointer)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar && fixture.thumb);
    LScrollbar& bar = *fixture.bar;
    fixture.PointAt(fixture.channel);
    fixture.mouse.Move(BarFixture::InChannel(80));
    fixture.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(80));
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.2) << "a page at once";
    EXPECT_EQ(fixture.ThumbAt(), 16);
    EXPECT_EQ(fixture.channel->GetLookWeight(1), 1.0f) << "the paging look";
    EXPECT_EQ(fixture.RegionOf(1), (RectEdges{0, 36, 20, 100})) << "from the thumb to the channel's end";
    EXPECT_EQ(fixture.RegionOf(0), (RectEdges{0, 0, 20, 36}));

    fixture.Idle(399);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.2);
    fixture.Idle(2);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.4) << "0.4 seconds after the press";
    fixture.Idle(197);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.4);
    fixture.Idle(4);
    EXPECT_NEAR(bar.GetValue(), 0.6, 1e-12) << "then every 0.2 seconds";
    fixture.Idle(201);
    EXPECT_NEAR(bar.GetValue(), 0.8, 1e-12);
    EXPECT_EQ(fixture.ThumbAt(), 64) << "the thumb now lies under the pointer";
    EXPECT_EQ(fixture.channel->GetLookWeight(1), 0.0f);
    EXPECT_EQ(fixture.RegionOf(0), RectEdges{});
    fixture.Idle(1000);
    EXPECT_NEAR(bar.GetValue(), 0.8, 1e-12) << "it stays there";

    fixture.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(80));
    EXPECT_EQ(bar.GetIdleSubscriberCount(), 0);

    // Before the thumb, a page back.
    fixture.Idle(1000);
    fixture.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(10));
    EXPECT_NEAR(bar.GetValue(), 0.6, 1e-12);
    EXPECT_EQ(fixture.RegionOf(1), (RectEdges{0, 0, 20, 48}));
    fixture.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(10));
}

TEST(ScrollBar, DraggingTheThumbSetsTheValueAndAValueSetMeanwhileWaitsForTheRelease)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar && fixture.thumb);
    LScrollbar& bar = *fixture.bar;
    fixture.PointAt(fixture.thumb);
    fixture.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(10));
    fixture.mouse.Move(BarFixture::InChannel(40));
    EXPECT_EQ(fixture.ThumbAt(), 30);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.375) << "30 of the 80 pixels";
    EXPECT_EQ(bar.NormalizedToValue(bar.GetValue()), 37.5);

    EXPECT_DOUBLE_EQ(bar.SetValue(0.9), 0.375) << "held back";
    EXPECT_EQ(fixture.ThumbAt(), 30);
    fixture.mouse.Move(BarFixture::InChannel(500));
    EXPECT_EQ(fixture.ThumbAt(), 80) << "the thumb stays on the track";
    EXPECT_DOUBLE_EQ(bar.GetValue(), 1.0);
    fixture.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(500));
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.9) << "applied at the release";
    EXPECT_EQ(fixture.ThumbAt(), 72);

    // A value outside 0 .. 1 set during a drag is dropped.
    fixture.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(80));
    fixture.mouse.Move(BarFixture::InChannel(70));
    (void)bar.SetValue(1.5);
    fixture.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(70));
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.775);
}

TEST(ScrollBar, AThumbThatFillsItsTrackCannotMoveTheValueAndABarWithoutAThumbStillTakesValues)
{
    BarFixture full;
    ASSERT_TRUE(full.bar && full.thumb);
    (void)full.bar->SetValue(0.5);
    full.PointAt(full.thumb);
    for (const double fraction : {1.0, 1.5}) {
        full.bar->SetThumbFraction(fraction);
        EXPECT_EQ(full.ThumbAt(), 0) << "no room to travel at " << fraction;
        full.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(10));
        full.mouse.Move(BarFixture::InChannel(40));
        full.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(40));
        EXPECT_DOUBLE_EQ(full.bar->GetValue(), 0.5);
        EXPECT_EQ(full.ThumbAt(), 0);
    }

    BarFixture bare(true, Looked("Test.Control", "knob", 1));
    ASSERT_TRUE(bare.bar && bare.channel);
    EXPECT_EQ(bare.thumb, nullptr);
    (void)bare.bar->SetValue(0.3);
    EXPECT_DOUBLE_EQ(bare.bar->GetValue(), 0.3);
    bare.PointAt(bare.channel);
    bare.mouse.Press(MouseButton::kLeft, BarFixture::InChannel(80));
    EXPECT_DOUBLE_EQ(bare.bar->GetValue(), 0.3) << "nothing to page past";
    EXPECT_EQ(bare.bar->GetIdleSubscriberCount(), 0);
    bare.mouse.Release(MouseButton::kLeft, BarFixture::InChannel(80));
}

TEST(ScrollBar, KeysPressedBesideTheBarMoveItAlongItsOwnAxisOnly)
{
    BarFixture vertical;
    BarFixture horizontal(false);
    ASSERT_TRUE(vertical.bar && horizontal.bar);
    const auto press = [](BarFixture& fixture, std::uint8_t key, std::uint32_t modifiers = 0) {
        (void)fixture.main->FindChildByName(L"focused")->SetFocus(true);
        (void)fixture.bar->SetValue(0.5);
        KeyRouter(fixture.harness.Window()).Press(key, modifiers);
        return fixture.bar->GetValue();
    };
    constexpr std::uint8_t kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24;
    constexpr std::uint8_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
    EXPECT_DOUBLE_EQ(press(vertical, kUp), 0.48);
    EXPECT_DOUBLE_EQ(press(vertical, kDown), 0.52);
    EXPECT_DOUBLE_EQ(press(vertical, kPageUp), 0.3);
    EXPECT_DOUBLE_EQ(press(vertical, kPageDown), 0.7);
    EXPECT_DOUBLE_EQ(press(vertical, kLeft), 0.5);
    EXPECT_DOUBLE_EQ(press(vertical, kRight), 0.5);
    EXPECT_DOUBLE_EQ(press(vertical, kHome), 0.0);
    EXPECT_DOUBLE_EQ(press(vertical, kHome, kModifierCtrl), 0.5) << "Home only on its own";
    EXPECT_DOUBLE_EQ(press(vertical, kEnd, kModifierCtrl | kModifierShift), 1.0);
    EXPECT_DOUBLE_EQ(press(vertical, kDown, kModifierShift), 0.5);

    EXPECT_DOUBLE_EQ(press(horizontal, kLeft), 0.48);
    EXPECT_DOUBLE_EQ(press(horizontal, kRight), 0.52);
    for (const std::uint8_t key : {kUp, kDown, kPageUp, kPageDown}) {
        EXPECT_DOUBLE_EQ(press(horizontal, key), 0.5) << int(key);
    }
    EXPECT_DOUBLE_EQ(press(horizontal, kEnd), 1.0);

    EXPECT_EQ(vertical.bar->SetKeyMask(0x1FE), ZV_E_INVALIDARG);
    EXPECT_DOUBLE_EQ(press(vertical, kUp), 0.5) << "Up is masked out";
    EXPECT_DOUBLE_EQ(press(vertical, kDown), 0.52);
    (void)vertical.bar->SetVisible(false);
    EXPECT_DOUBLE_EQ(press(vertical, kDown), 0.5) << "a hidden bar hears no keys";
}

}  // namespace
}  // namespace ZV
