#include "Controls/ComboMenu.h"
#include "Controls/PopupMenuTestSupport.h"
#include "Notification/NotificationQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::LItemRecorder;
using Lines = std::vector<std::string>;

// A title of the bar at x, 24 high, with its popup right under it.
std::string Title(const std::string& name, int x, int width)
{
    return Testing::Wearing(
        "Framework.ComboMenu", name, "titleLooks",
        "XPositionAbs=\"" + std::to_string(x) + "\" XSizeAbs=\"" + std::to_string(width) + "\" YSizeAbs=\"24\"",
        Testing::PopupMenuDescription("popupMenu",
                                      R"(YPositionToControl="Parent" YPositionRel="1" XSizeAbs="75" YSizeAbs="77")"));
}

class ComboMenu : public ::testing::Test {
protected:
    // Titles "file" at 0 and "options" at 40, and "help" at 360, near the window's right edge; each with a menu
    // of two commands.
    void CreateBar()
    {
        harness.Register<Testing::LMenuOwnerControl>(L"Test.Owner");
        std::string titleLooks = R"(<LookList Name="titleLooks" NumLooks="4">)";
        for (int look = 0; look < 4; ++look) {
            titleLooks += "<Look Name=\"row\" Index=\"" + std::to_string(look) + "\"/>";
        }
        titleLooks += "</LookList>";
        harness.LoadSkinDocument(Testing::ListSkinDocument(
            Testing::OwnerWindow(Title("file", 0, 40) + Title("options", 40, 60) + Title("help", 360, 40)), "", "",
            titleLooks));
        main = harness.CreateRoot(L"main");
        for (const wchar_t* name : {L"file", L"options", L"help"}) {
            const RCPtr<LComboMenu> title(main->FindChildByName(name));
            ASSERT_TRUE(title);
            const RCPtr<LPopupMenu> popup = GetPopupMenu(*title);
            ASSERT_TRUE(popup);
            ASSERT_EQ(popup->SetMenuReceiver(ConstRCPtr<LNotificationQueue>(harness.WindowRef().Get())), 0);
            const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
            ASSERT_GE(menu->InsertNewItem(0, L"First", WideString(name) + L".first", 1, 0), 0);
            ASSERT_GE(menu->InsertNewItem(1, L"Second", WideString(name) + L".second", 1, 0), 0);
            ASSERT_EQ(popup->SetMenu(menu), 0);
        }
        recorder->Watch(harness.Window().GetNotificationDistributor(),
                        {L"file.first", L"file.second", L"options.first", L"options.second"});
    }

    RCPtr<LComboMenu> TitleOf(const wchar_t* name) { return RCPtr<LComboMenu>(main->FindChildByName(name)); }
    RCPtr<LPopupMenu> PopupOf(const wchar_t* name) { return GetPopupMenu(*TitleOf(name)); }

    Testing::StatusTextHarness harness;
    RCPtr<LControl> main;
    RCPtr<LItemRecorder> recorder = LItemRecorder::Create();
};

TEST_F(ComboMenu, APressOpensATitleHoveringTheNextSwitchesMenusAndChoosingAnItemClosesIt)
{
    CreateBar();
    LComboMenu& file = *TitleOf(L"file");
    LComboMenu& options = *TitleOf(L"options");
    EXPECT_FALSE(file.IsDropDownOpen());
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kNormalLook);
    harness.MoveTo(file, {10, 10});
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kHoverLook);

    harness.PressAt(file, {10, 10});
    harness.ReleaseAt(file, {10, 10});
    EXPECT_TRUE(file.IsDropDownOpen());
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kOpenLook);
    EXPECT_NE(PopupOf(L"file")->GetConditions() & 0x1, 0u) << "the open menu has the focus";
    EXPECT_EQ(PopupOf(L"file")->GetAbsoluteOrigin().y, 24) << "under its title";

    harness.MoveTo(options, {10, 10});
    EXPECT_FALSE(file.IsDropDownOpen()) << "no click needed";
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kNormalLook);
    EXPECT_TRUE(options.IsDropDownOpen());
    EXPECT_EQ(options.GetActiveLookIndex(), LComboMenu::kOpenLook);

    LControl& row = *PopupOf(L"options")->GetRowControl(1);
    harness.MoveTo(row, {20, 5});
    harness.PressAt(row, {20, 5});
    harness.ReleaseAt(row, {20, 5});
    EXPECT_FALSE(options.IsDropDownOpen());
    EXPECT_EQ(options.GetActiveLookIndex(), LComboMenu::kNormalLook);
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"options.second item 1"}));
    EXPECT_EQ(GetPopupMenu(options), PopupOf(L"options")) << "a drop-down stays its title's";

    harness.MoveTo(file, {10, 10});
    EXPECT_FALSE(file.IsDropDownOpen()) << "hovering opens a menu only while another is open";
}

TEST_F(ComboMenu, APressHeldFromTheTitleChoosesTheItemWhereItIsReleased)
{
    CreateBar();
    LComboMenu& file = *TitleOf(L"file");
    harness.MoveTo(file, {10, 10});
    harness.PressAt(file, {10, 10});
    ASSERT_TRUE(file.IsDropDownOpen());
    LControl& row = *PopupOf(L"file")->GetRowControl(0);
    harness.MoveTo(row, {20, 5});
    EXPECT_EQ(PopupOf(L"file")->GetCaretRow(), 0);
    harness.ReleaseAt(row, {20, 5});
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"file.first item 0"}));
    EXPECT_FALSE(file.IsDropDownOpen());

    // Dragged from one menu onto the next title: that menu opens, and the drag goes on in it.
    harness.MoveTo(file, {10, 10});
    harness.PressAt(file, {10, 10});
    harness.MoveTo(*TitleOf(L"options"), {10, 10});
    EXPECT_FALSE(file.IsDropDownOpen());
    ASSERT_TRUE(TitleOf(L"options")->IsDropDownOpen());
    LControl& next = *PopupOf(L"options")->GetRowControl(0);
    harness.MoveTo(next, {20, 5});
    harness.ReleaseAt(next, {20, 5});
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"file.first item 0", "options.first item 0"}));
}

TEST_F(ComboMenu, APressDraggedOffTheMenuAndItsTitleClosesTheMenuOnReleaseAndTheNextClickOpensIt)
{
    CreateBar();
    LComboMenu& file = *TitleOf(L"file");
    const RCPtr<LPopupMenu> popup = PopupOf(L"file");
    const auto dragOffAndRelease = [&] {
        harness.MoveTo(*main, {300, 250});
        harness.ReleaseAt(*main, {300, 250});
    };
    const auto expectOpenedByAClick = [&](const char* after) {
        harness.MoveTo(file, {10, 10});
        harness.PressAt(file, {10, 10});
        harness.ReleaseAt(file, {10, 10});
        EXPECT_TRUE(file.IsDropDownOpen()) << after;
        EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kOpenLook) << after;
        harness.PressAt(file, {10, 10});
        harness.ReleaseAt(file, {10, 10});
        ASSERT_FALSE(file.IsDropDownOpen()) << after;
    };

    harness.MoveTo(file, {10, 10});
    harness.PressAt(file, {10, 10});
    ASSERT_TRUE(file.IsDropDownOpen());
    harness.MoveTo(*popup->GetRowControl(0), {20, 5});
    dragOffAndRelease();
    EXPECT_FALSE(file.IsDropDownOpen());
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kNormalLook);
    expectOpenedByAClick("after a release off the menu");

    // The same from a submenu, opened while the button is held.
    ASSERT_EQ(popup->SetMenu(Testing::MenuWithSubmenu()), 0);
    harness.MoveTo(file, {10, 10});
    harness.PressAt(file, {10, 10});
    harness.MoveTo(*popup->GetRowControl(1), {20, 5});
    harness.RunFor(LPopupMenu::kSubmenuDelayMs + 50);
    const RCPtr<LPopupMenu> submenu = popup->GetOpenSubmenu();
    ASSERT_TRUE(submenu);
    harness.MoveTo(*submenu->GetRowControl(0), {20, 5});
    ASSERT_EQ(submenu->GetCaretRow(), 0);
    dragOffAndRelease();
    EXPECT_FALSE(file.IsDropDownOpen());
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kNormalLook);
    harness.PumpIdle();
    EXPECT_TRUE(recorder->lines.empty()) << "nothing chosen";
    expectOpenedByAClick("after a release off the submenu");

    // A release over the menu's own title keeps it open, as the click that opens it does.
    harness.MoveTo(file, {10, 10});
    harness.PressAt(file, {10, 10});
    harness.MoveTo(*popup->GetRowControl(0), {20, 5});
    harness.MoveTo(file, {12, 10});
    harness.ReleaseAt(file, {12, 10});
    EXPECT_TRUE(file.IsDropDownOpen());
}

TEST_F(ComboMenu, APopupStaysInsideTheTopLevelControlAndADisabledTitleLooksDisabled)
{
    CreateBar();
    LComboMenu& help = *TitleOf(L"help");
    ASSERT_EQ(help.ShowDropDown(true), 0);
    const RCPtr<LPopupMenu> popup = PopupOf(L"help");
    EXPECT_EQ(popup->GetAbsoluteOrigin().x + popup->GetSize().x, 400) << "moved left to end at the right edge";
    ASSERT_EQ(help.ShowDropDown(false), 0);

    const RCPtr<LMenuDescriptor> wide = LMenuDescriptor::Create();
    ASSERT_GE(wide->InsertNewItem(0, WideString(std::wstring(60, L'x').c_str()), L"NID_WIDE", 1, 0), 0);
    ASSERT_EQ(popup->SetMenu(wide), 0);
    ASSERT_GT(popup->GetSize().x, 400);
    ASSERT_EQ(help.ShowDropDown(true), 0);
    EXPECT_EQ(popup->GetAbsoluteOrigin().x, 0) << "wider than the window: from its left edge";
    ASSERT_EQ(help.ShowDropDown(false), 0);

    LComboMenu& file = *TitleOf(L"file");
    harness.MoveTo(file, {10, 10});
    file.SetEnabled(false);
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kDisabledLook);
    harness.MoveAway();
    harness.MoveTo(file, {12, 10});
    EXPECT_EQ(file.GetActiveLookIndex(), LComboMenu::kDisabledLook);
}

}  // namespace
}  // namespace ZV
