#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Label.h"
#include "Controls/StatusBar.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::StringTable;
using Testing::SubControl;

// A label that writes down every text it is given.
class LTextLogLabel : public LLabel {
public:
    using LLabel::LLabel;

    ZVRESULT SetText(const WideString& text) override
    {
        texts.push_back(text);
        return LLabel::SetText(text);
    }

    std::vector<WideString> texts;
};

// A status bar that tells when it is destroyed.
class LWatchedStatusBar : public LStatusBar {
public:
    using LStatusBar::LStatusBar;
    ~LWatchedStatusBar() override { ++gDestroyed; }

    static inline int gDestroyed = 0;
};

struct StatusBarWindow {
    explicit StatusBarWindow(ControlHarness& harness, const wchar_t* barClass = L"Framework.StatusBar")
    {
        EXPECT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
        harness.Register<LTextLogLabel>(L"Test.Label");
        harness.Register<LWatchedStatusBar>(L"Test.WatchedStatusBar");
        const std::string className(barClass, barClass + std::wcslen(barClass));
        harness.LoadSkin(SubControl("Test.Control", "main", "",
                                    SubControl(className, "status", "", SubControl("Test.Label", "label1"))));
        main = harness.CreateRoot(L"main");
        bar = RCPtr<LStatusBar>(main->FindChildByName(L"status"));
        label = RCPtr<LTextLogLabel>(bar ? bar->FindChildByName(L"label1") : nullptr);
    }

    RCPtr<LControl> main;
    RCPtr<LStatusBar> bar;
    RCPtr<LTextLogLabel> label;
};

TEST(StatusBar, OfTextsPostedFromAnotherThreadTheLatestShowsAtTheIdlePassAndSetTextNowShowsOneAtOnce)
{
    ControlHarness harness;
    StatusBarWindow window(harness);
    ASSERT_TRUE(window.bar && window.label);
    EXPECT_FALSE(window.bar->IsFocusable());
    harness.Window().Resize(300, 200);

    std::vector<ZVRESULT> results;
    std::thread poster([&] {
        for (const wchar_t* text : {L"Scanning", L"Found one device", L"Ready"}) {
            results.push_back(window.bar->PostText(text));
        }
    });
    poster.join();
    EXPECT_EQ(results, (std::vector<ZVRESULT>{0, 0, 0}));
    EXPECT_TRUE(window.label->texts.empty()) << "nothing before the idle pass";
    (void)harness.PumpIdle();
    EXPECT_EQ(window.label->texts, (std::vector<WideString>{L"Ready"}));

    // The text queued goes first, then the bar's own, and the whole window is drawn afresh.
    (void)harness.Window().TakeDirtyRects();
    ASSERT_EQ(window.bar->PostText(L"Loading the skin"), 0);
    EXPECT_EQ(window.bar->SetTextNow(L"Starting"), 0);
    EXPECT_EQ(window.label->texts, (std::vector<WideString>{L"Ready", L"Loading the skin", L"Starting"}));
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (std::vector<RectT<zlong>>{{0, 0, 300, 200}}));
    (void)harness.PumpIdle();
    EXPECT_EQ(window.label->GetText(), L"Starting") << "the queued text does not come again";
}

TEST(StatusBar, WithoutAWindowSetTextNowOnlySetsTheTextAndWithoutALabelNothing)
{
    ControlHarness harness;
    ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
    harness.LoadSkin(SubControl("Framework.StatusBar", "bare", "", SubControl("Framework.Label", "label1")) +
                     SubControl("Framework.StatusBar", "empty"));
    harness.LoadStrings(StringTable("Framework.StatusBar|label1", {{"LABEL", "Ready"}}));
    const RCPtr<LStatusBar> bare(harness.Factory().CreateControlByName(L"bare", nullptr));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->SetTextNow(L"Busy"), 0);
    EXPECT_EQ(bare->FindChildByName(L"label1")->GetText(), L"Busy");
    EXPECT_EQ(bare->GetDefaultText(), L"Ready");

    const RCPtr<LStatusBar> empty(harness.Factory().CreateControlByName(L"empty", nullptr));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->PostText(L"lost on nobody"), 0);
    EXPECT_EQ(empty->SetTextNow(L"Busy"), 0);
    EXPECT_EQ(empty->GetDefaultText(), L"");
}

TEST(StatusBar, ABarWithTextsStillQueuedGoesWithTheLastReferenceToIt)
{
    LWatchedStatusBar::gDestroyed = 0;
    ControlHarness harness;
    RCPtr<LStatusBar> held;
    {
        StatusBarWindow window(harness, L"Test.WatchedStatusBar");
        held = window.bar;
        ASSERT_EQ(held->PostText(L"never shown"), 0);
        harness.Window().SetRootControl(nullptr);
    }
    EXPECT_EQ(LWatchedStatusBar::gDestroyed, 0) << "held here";
    EXPECT_EQ(held->PostText(L"queued past its tree"), 0);
    held = nullptr;
    EXPECT_EQ(LWatchedStatusBar::gDestroyed, 1);
}

}  // namespace
}  // namespace ZV
