#include "Controls/ControlsHarness.h"
#include "Controls/ProgressBar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::StringTable;
using Testing::Wearing;

// The framework table's unit words, as the program's string tables give them.
const std::string kEnglishWords = StringTable("Framework", {{"HOURS_SINGULAR", "Hour"},
                                                            {"HOURS_PLURAL", "Hours"},
                                                            {"MINUTES_SINGULAR", "Minute"},
                                                            {"MINUTES_PLURAL", "Minutes"},
                                                            {"SECONDS_SINGULAR", "Second"},
                                                            {"SECONDS_PLURAL", "Seconds"},
                                                            {"REMAINING", "Remaining"}});
const std::string kGermanWords = StringTable("Framework", {{"HOURS_SINGULAR", "Stunde"},
                                                           {"HOURS_PLURAL", "Stunden"},
                                                           {"MINUTES_SINGULAR", "Minute"},
                                                           {"MINUTES_PLURAL", "Minuten"},
                                                           {"SECONDS_SINGULAR", "Sekunde"},
                                                           {"SECONDS_PLURAL", "Sekunden"},
                                                           {"REMAINING", "verbleibend"}});

// A bar 360 pixels wide with its overlay (no width of its own) and its two labels.
struct BarFixture {
    ControlsHarness harness;
    RCPtr<LProgressBar> bar;
    RCPtr<LControl> overlay;

    explicit BarFixture(const std::string& words = kEnglishWords)
    {
        harness.LoadStrings(words);
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        skin.controls += Testing::MainControl(Wearing(
            "Framework.ProgressBar", "bar", "panel", R"(XSizeAbs="360" YSizeAbs="20")",
            Wearing("Framework.Panel", "activeOverlay", "panel",
                    R"(XSizeAbs="0" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")") +
                Wearing("Framework.Label", "percentCompleteLabel", "label") +
                Wearing("Framework.Label", "timeRemainingLabel", "label")));
        const RCPtr<LControl> main = harness.CreateMain(skin);
        bar = main ? dynamic_cast<LProgressBar*>(main->FindChildByName(L"bar").Get()) : nullptr;
        overlay = bar ? bar->FindChildByName(L"activeOverlay") : nullptr;
    }

    std::string Label(const wchar_t* name) const { return bar->FindChildByName(name)->GetText().ToUTF8().GetData(); }
    std::string Percent() const { return Label(L"percentCompleteLabel"); }
    std::string TimeLeft() const { return Label(L"timeRemainingLabel"); }
    bool TimeShown() const { return bar->FindChildByName(L"timeRemainingLabel")->IsVisible(false); }
    // The overlay's width while it shows, else -1.
    double OverlayWidth() const { return overlay->IsVisible(false) ? overlay->GetSize().x : -1; }
};

TEST(ProgressBar, TheOverlayAndThePercentageFollowTheValueEvenAtTheEdges)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar && fixture.overlay);
    LProgressBar& bar = *fixture.bar;
    EXPECT_EQ(fixture.OverlayWidth(), -1) << "nothing done yet";
    EXPECT_EQ(fixture.Percent(), "0");
    EXPECT_FALSE(fixture.TimeShown());
    EXPECT_FALSE(bar.IsFocusable());
    EXPECT_EQ(bar.NormalizedToValue(1.0), 100);

    (void)bar.SetValue(0.004);
    EXPECT_EQ(fixture.OverlayWidth(), 1) << "1.44 pixels";
    EXPECT_EQ(fixture.Percent(), "0");
    (void)bar.SetValue(0.001);
    EXPECT_EQ(fixture.OverlayWidth(), -1) << "less than a pixel";
    (void)bar.SetValue(0.5);
    EXPECT_EQ(fixture.OverlayWidth(), 180);
    EXPECT_EQ(fixture.Percent(), "50");
    (void)bar.SetValue(1.0);
    EXPECT_EQ(fixture.OverlayWidth(), 360);
    EXPECT_EQ(fixture.Percent(), "100");
    (void)bar.SetValue(1.5);
    EXPECT_EQ(fixture.OverlayWidth(), 360) << "more than all is all";
    EXPECT_EQ(fixture.Percent(), "100");
    (void)bar.SetValue(-0.5);
    EXPECT_EQ(fixture.OverlayWidth(), -1);
    EXPECT_EQ(fixture.Percent(), "0");
}

TEST(ProgressBar, TheTimeLeftShowsHoursWithTheirMinutesAndAlwaysTheSeconds)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar);
    const struct {
        std::int32_t seconds;
        const char* text;
    } cases[] = {
        {3725, "1 Hour 2 Minutes 5 Seconds Remaining"},  {3600, "1 Hour 0 Minutes 0 Seconds Remaining"},
        {7200, "2 Hours 0 Minutes 0 Seconds Remaining"}, {120, "2 Minutes 0 Seconds Remaining"},
        {61, "1 Minute 1 Second Remaining"},             {59, "59 Seconds Remaining"},
        {0, "0 Seconds Remaining"},                      {-5, "0 Seconds Remaining"},
    };
    for (const auto& each : cases) {
        fixture.bar->SetTimeRemaining(each.seconds);
        EXPECT_EQ(fixture.TimeLeft(), each.text) << each.seconds;
        EXPECT_TRUE(fixture.TimeShown());
    }
}

TEST(ProgressBar, ItsOwnEstimateUsesTheAverageRateAndNeverOverflowsWhenTheValueHardlyMoves)
{
    BarFixture fixture;
    ASSERT_TRUE(fixture.bar);
    LProgressBar& bar = *fixture.bar;
    fixture.harness.AdvanceTime(10000);
    (void)bar.SetValue(0.2);
    bar.SetTimeEstimateEnabled(true);
    fixture.harness.AdvanceTime(5000);
    bar.SetTimeEstimateEnabled(true);
    EXPECT_FALSE(fixture.TimeShown()) << "switched on again: the first sample stays";
    fixture.harness.AdvanceTime(5000);
    (void)bar.SetValue(0.4);
    EXPECT_EQ(fixture.TimeLeft(), "30 Seconds Remaining") << "0.02 a second since 10 s";

    // The last sample moved to 20 s: the same clock reading, or no rise, says nothing new.
    bar.SetTimeRemaining(999);
    (void)bar.SetValue(0.5);
    EXPECT_EQ(fixture.TimeLeft(), "16 Minutes 39 Seconds Remaining");
    fixture.harness.AdvanceTime(10000);
    (void)bar.SetValue(0.35);
    EXPECT_EQ(fixture.TimeLeft(), "16 Minutes 39 Seconds Remaining");
    (void)bar.SetValue(1.0);
    EXPECT_EQ(fixture.TimeLeft(), "0 Seconds Remaining");
    EXPECT_FALSE(bar.IsTimeEstimateEnabled()) << "done";

    // A rate near nothing: the time left is the longest a time can hold.
    (void)bar.SetValue(0.5);
    bar.SetTimeEstimateEnabled(true);
    fixture.harness.AdvanceTime(1000000);
    (void)bar.SetValue(0.5 + 1e-12);
    EXPECT_EQ(fixture.TimeLeft(), "596523 Hours 14 Minutes 7 Seconds Remaining") << "2^31 - 1 seconds";
}

TEST(ProgressBar, AValueThatDoesNotMoveShowsNoTimeLeftInEitherLanguage)
{
    for (const auto& [words, sixSeconds] : {std::pair(kEnglishWords, "6 Seconds Remaining"),
                                            std::pair(kGermanWords, "6 Sekunden verbleibend")}) {
        SCOPED_TRACE(sixSeconds);
        BarFixture fixture(words);
        ASSERT_TRUE(fixture.bar);
        LProgressBar& bar = *fixture.bar;
        (void)bar.SetValue(0.1);
        bar.SetTimeRemaining(30);
        bar.SetTimeEstimateEnabled(true);
        EXPECT_FALSE(fixture.TimeShown()) << "the time given before is not the estimate's";

        // The first messages fill a buffer within milliseconds, then the cable takes nothing.
        fixture.harness.AdvanceTime(1);
        (void)bar.SetValue(0.3);
        fixture.harness.AdvanceTime(1);
        (void)bar.SetValue(0.6);
        EXPECT_FALSE(fixture.TimeShown()) << fixture.TimeLeft();
        fixture.harness.RunFor(12000);
        EXPECT_FALSE(fixture.TimeShown()) << fixture.TimeLeft();

        // It moves on: 0.6 in 12 s since the start leaves 6 s for the last 0.3. Then it stops again: once those 6 s
        // and a second more have passed, no time is left to show.
        (void)bar.SetValue(0.7);
        EXPECT_TRUE(fixture.TimeShown());
        EXPECT_EQ(fixture.TimeLeft(), sixSeconds);
        fixture.harness.RunFor(6900);
        EXPECT_TRUE(fixture.TimeShown());
        fixture.harness.RunFor(200);
        EXPECT_FALSE(fixture.TimeShown()) << fixture.TimeLeft();
        EXPECT_EQ(fixture.bar->GetIdleSubscriberCount(), 0) << "no more watching";
    }
}

TEST(ProgressBar, ABarWithoutItsPartsOrUnitWordsStillTakesValuesAndTimes)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(Wearing("Framework.ProgressBar", "bar", "panel", "",
                                                  Testing::Panel("activeOverlay", "", "") +
                                                      Wearing("Framework.Label", "timeRemainingLabel", "label")));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LProgressBar> bar = dynamic_cast<LProgressBar*>(main->FindChildByName(L"bar").Get());
    ASSERT_TRUE(bar);
    const RCPtr<LControl> overlay = bar->FindChildByName(L"activeOverlay");
    const double overlayWidth = overlay->GetSize().x;
    (void)bar->SetValue(0.75);
    EXPECT_EQ(overlay->GetSize().x, overlayWidth) << "not a panel: not the bar's overlay";
    bar->SetTimeRemaining(61);
    EXPECT_EQ(bar->FindChildByName(L"timeRemainingLabel")->GetText(), L"1  1  ") << "the words are empty";
}

}  // namespace
}  // namespace ZV
