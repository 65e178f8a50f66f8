#include "Controls/ControlsHarness.h"
#include "Controls/TabControl.h"
#include "Notification/NotificationClient.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::Wearing;

// Three tab buttons in a row over three pages of the same names, "one" to "three".
RCPtr<LTabControl> CreateTabs(ControlsHarness& harness)
{
    std::string buttons;
    std::string pages;
    int x = 0;
    for (const std::string name : {"one", "two", "three"}) {
        buttons += Wearing("Framework.Button", name, "button",
                           "XPositionAbs=\"" + std::to_string(x) + "\" XSizeAbs=\"50\" YSizeAbs=\"20\"");
        pages += Wearing("Framework.Panel", name, "panel", "XSizeAbs=\"200\" YSizeAbs=\"100\"");
        x += 60;
    }
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(Wearing(
        "Framework.TabControl", "tabs", "panel", "XSizeAbs=\"300\" YSizeAbs=\"200\"",
        Wearing("Framework.Panel", "buttonHolder", "panel", "XSizeAbs=\"300\" YSizeAbs=\"20\"", buttons) +
            Wearing("Framework.Panel", "pageHolder", "panel", "YPositionAbs=\"30\" XSizeAbs=\"300\" YSizeAbs=\"100\"",
                    pages)));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    const RCPtr<LTabControl> tabs(main ? main->FindChildByName(L"tabs") : nullptr);
    // Shown, so that the pointer finds the buttons inside.
    if (tabs) {
        (void)tabs->SelectLook(0);
        (void)tabs->FindChildByName(L"buttonHolder")->SelectLook(0);
    }
    return tabs;
}

// The buttons' values and whether each page shows.
using TabState = std::pair<std::vector<double>, std::vector<bool>>;

TabState StateOf(const LTabControl& tabs)
{
    TabState state;
    const RCPtr<LControl>& buttons = tabs.FindChildByName(L"buttonHolder");
    for (std::uint32_t index = 0; index < buttons->GetChildren().GetCount(); ++index) {
        state.first.push_back(buttons->GetChildren().GetAt(index, LControl::kInsertionOrder)->GetValue());
    }
    for (std::uint32_t index = 0; index < tabs.GetPageCount(); ++index) {
        state.second.push_back(tabs.GetPageAt(index)->IsVisible(false));
    }
    return state;
}

// The parameters of the notifications it hears, in order.
class LParameterLog : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        parameters.push_back(notification->GetParameter());
    }

    std::vector<ConstRCPtr<LRefCountedObject>> parameters;
};

TEST(TabControl, ClickingATabShowsItsPageAloneSetsTheButtonsAndReportsThatPageOnce)
{
    ControlsHarness harness;
    const RCPtr<LTabControl> tabs = CreateTabs(harness);
    ASSERT_TRUE(tabs);
    EXPECT_EQ(StateOf(*tabs), (TabState{{1, 0, 0}, {true, false, false}})) << "the first tab from the start";
    const RCPtr<LParameterLog> log(new LParameterLog());
    (void)log->RegisterForNotification(tabs, L"NID_TAB_SELECTED", 0);

    const RCPtr<LControl>& second = tabs->FindChildByName(L"buttonHolder")->FindChildByName(L"two");
    harness.PressAt(*second, {5, 5});
    harness.ReleaseAt(*second, {5, 5});
    EXPECT_EQ(StateOf(*tabs), (TabState{{0, 1, 0}, {false, true, false}}));
    ASSERT_EQ(log->parameters.size(), 1u);
    EXPECT_EQ(log->parameters[0].Get(), tabs->GetPage(L"two").Get());
    EXPECT_EQ(tabs->GetSelectedPageIndex(), 1);

    // A name that no tab has: no page shows, no button is on, and the report carries no page.
    EXPECT_EQ(tabs->SelectTab(L"four"), 0);
    EXPECT_EQ(StateOf(*tabs), (TabState{{0, 0, 0}, {false, false, false}}));
    ASSERT_EQ(log->parameters.size(), 2u);
    EXPECT_FALSE(log->parameters[1]);
    EXPECT_EQ(tabs->GetSelectedPageName(), L"four");
    EXPECT_EQ(tabs->GetSelectedPageIndex(), -1);
    EXPECT_FALSE(tabs->GetSelectedPage());
    EXPECT_FALSE(tabs->GetPageAt(tabs->GetPageCount()));

    EXPECT_EQ(tabs->SelectTabAt(2), 0);
    EXPECT_EQ(StateOf(*tabs), (TabState{{0, 0, 1}, {false, false, true}}));
    EXPECT_NE(tabs->SelectTabAt(3), 0);
}

}  // namespace
}  // namespace ZV
