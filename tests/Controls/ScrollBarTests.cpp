#include "ControlBase/Look.h"
#include "Controls/ControlsHarness.h"
#include "Controls/ScrollBar.h"
#include "Controls/ScrollSkin.h"
#include "Notification/MouseParams.h"
#include "Renderer/RectList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::LNotificationRecorder;
using Testing::Wearing;
using Times = std::vector<std::uint32_t>;

// A bar 20 pixels thick at (10, 10): its step buttons 20 long at its ends, the channel of 100 between them, and in
// the channel the thumb (by default a button as thick as the bar, at least as long as it is thick).
std::string BarSkin(const std::string& name, bool vertical, const std::string& thumb = "")
{
    const std::string across = vertical ? "X" : "Y";
    const std::string along = vertical ? "Y" : "X";
    const std::string square = R"(XSizeAbs="20" YSizeAbs="20")";
    return Wearing("Framework.ScrollBar", name, "panel",
                   R"(XPositionAbs="10" YPositionAbs="10" )" + across + R"(SizeAbs="20" )" + along +
                       R"(SizeAbs="140")",
                   Wearing("Framework.Button", "dec", "button", square) +
                       Wearing("Framework.Button", "inc", "button", square + " " + along + R"(PositionAbs="120")") +
                       Wearing("Framework.ScrollChannel", "channel", "channel",
                               along + R"(PositionAbs="20" )" + across + R"(SizeAbs="20" )" + along +
                                   R"(SizeAbs="100")",
                               thumb.empty() ? Wearing("Framework.Button", "thumb", "button", square) : thumb));
}

// The gaps between the times, each expected to be what it was meant to be, or up to one 10 ms idle step later.
void ExpectGaps(const Times& times, const Times& gaps)
{
    ASSERT_EQ(times.size(), gaps.size() + 1);
    for (std::size_t index = 0; index < gaps.size(); ++index) {
        EXPECT_GE(times[index + 1] - times[index], gaps[index]) << index;
        EXPECT_LE(times[index + 1] - times[index], gaps[index] + ControlsHarness::kIdleStep) << index;
    }
}

struct BarFixture {
    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LScrollbar> bar;
    RCPtr<LControl> channel;
    RCPtr<LControl> thumb;

    explicit BarFixture(bool vertical = true, const std::string& thumbSkin = "")
    {
        main = harness.CreateMain(Testing::ScrollSkin(Testing::Panel("focused", R"(XPositionAbs="100")", "") +
                                             BarSkin("bar", vertical, thumbSkin)));
        bar = main ? dynamic_cast<LScrollbar*>(main->FindChildByName(L"bar").Get()) : nullptr;
        channel = bar ? bar->FindChildByName(L"channel") : nullptr;
        thumb = channel ? channel->FindChildByName(L"thumb") : nullptr;
    }

    // Where the thumb starts along the bar, in the channel.
    double ThumbAt() const { return thumb->GetPosition().y; }
    // The pointer at a place of the channel, along the bar.
    void PressInChannel(zlong along) { harness.PressAt(*channel, {10, along}); }
    void MoveInChannel(zlong along) { harness.MoveTo(*channel, {10, along}); }
    void ReleaseInChannel(zlong along) { harness.ReleaseAt(*channel, {10, along}); }

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
    for (const RCPtr<LControl>& part : {RCPtr<LControl>(vertical.bar), vertical.thumb, vertical.channel,
                                        vertical.bar->FindChildByName(L"dec")}) {
        EXPECT_FALSE(part->IsFocusable() || part->CanTakeFocus()) << part->GetName().ToUTF8().GetData();
    }
    EXPECT_EQ(vertical.channel->GetActiveLookIndex(), 0);

    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(vertical.bar, {L"NID_VALUE_CHANGE"});
    (void)bar.SetValue(0.5);
    EXPECT_EQ(vertical.ThumbAt(), 40) << "half of the 80 pixels the thumb can travel";
    EXPECT_EQ(bar.NormalizedToValue(bar.GetValue()), 50) << "reported in 0 .. 100";
    EXPECT_EQ(bar.SetValueRange(0, 200, kLinearScale), ZV_S_OK);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.25) << "still at 50";
    EXPECT_EQ(vertical.ThumbAt(), 20);
    EXPECT_EQ(bar.SetValueRange(0, 200, 7), ZV_E_INVALIDARG);
    EXPECT_EQ(recorder->TakeLines(), (std::vector<std::string>{"0 bar NID_VALUE_CHANGE = 0.5",
                                                               "0 bar NID_VALUE_CHANGE = 0.25"}));
    bar.SetThumbFraction(0.5);
    EXPECT_EQ(vertical.thumb->GetSize(), PointT<double>(20, 50));
    EXPECT_EQ(vertical.ThumbAt(), 13) << "12.5 of the 50 pixels left";
    (void)recorder->UnregisterAllNotifications();

    BarFixture horizontal(false);
    ASSERT_TRUE(horizontal.bar && horizontal.thumb);
    EXPECT_FALSE(horizontal.bar->IsVertical());
    (void)horizontal.bar->SetValue(1.0);
    EXPECT_EQ(horizontal.thumb->GetPosition(), PointT<double>(80, 0));
}

TEST(ScrollBar, AStepButtonStepsAtThePressThenRepeatsWhileHeld)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar);
    const RCPtr<LControl> dec = fixture.bar->FindChildByName(L"dec");
    const RCPtr<LControl> inc = fixture.bar->FindChildByName(L"inc");
    (void)fixture.bar->SetValue(0.5);
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(fixture.bar, {L"NID_VALUE_CHANGE"});
    fixture.harness.MoveTo(*dec, {5, 5});
    fixture.harness.PressAt(*dec, {5, 5});
    EXPECT_DOUBLE_EQ(fixture.bar->GetValue(), 0.48) << "a line at once";
    fixture.harness.RunFor(550);
    ExpectGaps(recorder->TimesOf(L"NID_VALUE_CHANGE"), {300, 100, 100});
    fixture.harness.ReleaseAt(*dec, {5, 5});
    fixture.harness.RunFor(300);
    EXPECT_NEAR(fixture.bar->GetValue(), 0.42, 1e-12) << "no more once released";

    fixture.harness.MoveTo(*inc, {5, 5});
    fixture.harness.PressAt(*inc, {5, 5});
    fixture.harness.ReleaseAt(*inc, {5, 5});
    EXPECT_NEAR(fixture.bar->GetValue(), 0.44, 1e-12);
    (void)recorder->UnregisterAllNotifications();
}

TEST(ScrollBar, APressInTheChannelPagesAtOnceThenAfterADelayAndStopsWhenTheThumbPassesThePointer)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar && fixture.thumb);
    LScrollbar& bar = *fixture.bar;
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(fixture.bar, {L"NID_VALUE_CHANGE"});
    fixture.MoveInChannel(80);
    fixture.PressInChannel(80);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.2) << "a page at once";
    EXPECT_EQ(fixture.ThumbAt(), 16);
    EXPECT_EQ(fixture.channel->GetLookWeight(1), 1.0f) << "the paging look";
    EXPECT_EQ(fixture.RegionOf(1), (RectEdges{0, 36, 20, 100})) << "from the thumb to the channel's end";
    EXPECT_EQ(fixture.RegionOf(0), (RectEdges{0, 0, 20, 36}));

    fixture.harness.RunFor(1000);
    // After 0.4 seconds, then every 0.2, until the thumb lies under the pointer.
    ExpectGaps(recorder->TimesOf(L"NID_VALUE_CHANGE"), {400, 200, 200});
    EXPECT_NEAR(bar.GetValue(), 0.8, 1e-12);
    EXPECT_EQ(fixture.ThumbAt(), 64);
    EXPECT_EQ(fixture.channel->GetLookWeight(1), 0.0f);
    EXPECT_EQ(fixture.RegionOf(0), RectEdges{});

    fixture.ReleaseInChannel(80);
    EXPECT_EQ(bar.GetIdleSubscriberCount(), 0);

    // Before the thumb, a page back.
    fixture.PressInChannel(10);
    EXPECT_NEAR(bar.GetValue(), 0.6, 1e-12);
    EXPECT_EQ(fixture.RegionOf(1), (RectEdges{0, 0, 20, 48}));
    // The pointer off the channel pauses the paging, and back in its zone it goes on with the time that was left.
    fixture.harness.RunFor(300);
    fixture.harness.MoveAway();
    fixture.harness.RunFor(1000);
    EXPECT_NEAR(bar.GetValue(), 0.6, 1e-12);
    EXPECT_EQ(fixture.channel->GetLookWeight(1), 0.0f) << "no paging look without the pointer";
    fixture.MoveInChannel(10);
    fixture.harness.RunFor(90);
    EXPECT_NEAR(bar.GetValue(), 0.6, 1e-12);
    fixture.harness.RunFor(20);
    EXPECT_NEAR(bar.GetValue(), 0.4, 1e-12);
    fixture.ReleaseInChannel(10);
    (void)recorder->UnregisterAllNotifications();
}

TEST(ScrollBar, DraggingTheThumbSetsTheValueAndAValueSetMeanwhileWaitsForTheRelease)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar && fixture.thumb);
    LScrollbar& bar = *fixture.bar;
    fixture.MoveInChannel(10);
    fixture.PressInChannel(10);
    fixture.MoveInChannel(40);
    EXPECT_EQ(fixture.ThumbAt(), 30);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.375) << "30 of the 80 pixels";
    EXPECT_EQ(bar.NormalizedToValue(bar.GetValue()), 37.5);
    EXPECT_EQ(fixture.thumb->GetActiveLookIndex(), 2) << "pressed";

    EXPECT_DOUBLE_EQ(bar.SetValue(0.9), 0.375) << "held back";
    EXPECT_EQ(fixture.ThumbAt(), 30);
    fixture.MoveInChannel(500);
    EXPECT_EQ(fixture.ThumbAt(), 80) << "the thumb stays on the track";
    EXPECT_DOUBLE_EQ(bar.GetValue(), 1.0);
    EXPECT_EQ(fixture.thumb->GetActiveLookIndex(), 2) << "still pressed with the pointer off it";
    fixture.ReleaseInChannel(500);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.9) << "applied at the release";
    EXPECT_EQ(fixture.ThumbAt(), 72);

    // A value outside 0 .. 1 set during a drag is dropped.
    fixture.PressInChannel(80);
    fixture.MoveInChannel(70);
    (void)bar.SetValue(1.5);
    fixture.ReleaseInChannel(70);
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.775);
}

TEST(ScrollBar, AThumbThatFillsItsTrackCannotMoveTheValueAndABarWithoutAThumbStillTakesValues)
{
    BarFixture full;
    ASSERT_TRUE(full.bar && full.thumb);
    (void)full.bar->SetValue(0.5);
    for (const double fraction : {1.0, 1.5}) {
        full.bar->SetThumbFraction(fraction);
        EXPECT_EQ(full.ThumbAt(), 0) << "no room to travel at " << fraction;
        full.MoveInChannel(10);
        full.PressInChannel(10);
        full.MoveInChannel(40);
        full.ReleaseInChannel(40);
        EXPECT_DOUBLE_EQ(full.bar->GetValue(), 0.5);
        EXPECT_EQ(full.ThumbAt(), 0);
    }

    BarFixture bare(true, Testing::Panel("knob", "", ""));
    ASSERT_TRUE(bare.bar && bare.channel);
    EXPECT_EQ(bare.thumb, nullptr);
    (void)bare.bar->SetValue(0.3);
    EXPECT_DOUBLE_EQ(bare.bar->GetValue(), 0.3);
    bare.MoveInChannel(80);
    bare.PressInChannel(80);
    EXPECT_DOUBLE_EQ(bare.bar->GetValue(), 0.3) << "nothing to page past";
    EXPECT_EQ(bare.bar->GetIdleSubscriberCount(), 0);
    bare.ReleaseInChannel(80);
}

TEST(ScrollBar, KeysPressedBesideTheBarMoveItAlongItsOwnAxisOnly)
{
    BarFixture vertical;
    BarFixture horizontal(false);
    ASSERT_TRUE(vertical.bar && horizontal.bar);
    const auto press = [](BarFixture& fixture, std::uint8_t key, std::uint32_t modifiers = 0) {
        (void)fixture.main->FindChildByName(L"focused")->SetFocus(true);
        (void)fixture.bar->SetValue(0.5);
        fixture.harness.Keys().Press(key, modifiers);
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

TEST(ScrollBar, ABarMovedToAnotherParentHearsTheKeysOfItsNewSiblingsAndNoLongerThoseOfItsOld)
{
    ControlsHarness harness;
    const RCPtr<LControl> main = harness.CreateMain(
        Testing::ScrollSkin(Testing::Panel("focused", R"(XPositionAbs="100")", "") +
                            Testing::Panel("holder", R"(XPositionAbs="200")", Testing::Panel("inner", "", "")) +
                            BarSkin("bar", true)));
    ASSERT_TRUE(main);
    const RCPtr<LScrollbar> bar(main->FindChildByName(L"bar"));
    const RCPtr<LControl> holder = main->FindChildByName(L"holder");
    ASSERT_TRUE(bar && holder);
    ASSERT_EQ(bar->SetParent(holder), ZV_S_OK);
    const auto press = [&](const RCPtr<LControl>& focused) {
        (void)focused->SetFocus(true);
        (void)bar->SetValue(0.5);
        harness.Keys().Press(0x28);
        return bar->GetValue();
    };
    EXPECT_DOUBLE_EQ(press(holder->FindChildByName(L"inner")), 0.52);
    EXPECT_DOUBLE_EQ(press(main->FindChildByName(L"focused")), 0.5);
}

}  // namespace
}  // namespace ZV
