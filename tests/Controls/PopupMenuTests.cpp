#include "Controls/CheckedListBoxItem.h"
#include "Controls/PopupMenuTestSupport.h"
#include "Notification/NotificationQueue.h"
#include "System/KeyCode.h"
#include "System/ShortcutText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::LItemRecorder;
using Testing::LMenuOwnerControl;
using Testing::LNotificationSpy;
using Lines = std::vector<std::string>;

constexpr std::uint8_t kLeftKey = 0x25;
constexpr std::uint8_t kRightKey = 0x27;
constexpr std::uint8_t kDownKey = 0x28;
constexpr std::uint8_t kEscapeKey = 0x1B;
constexpr std::uint8_t kReturnKey = 0x0D;

class PopupMenu : public ::testing::Test {
protected:
    // The window's control with the popup; its string table, when given, is the popup's menu.
    LPopupMenu& CreatePopup(std::initializer_list<std::pair<std::string, std::string>> strings = {})
    {
        harness.Register<LMenuOwnerControl>(L"Test.Owner");
        (void)harness.Window().GetHotKeyManager()->RegisterHotKey(OpenKey(), L"NID_FILE_OPEN");
        if (strings.size() != 0) {
            harness.LoadStrings(Testing::StringTable("Test.Owner|popupMenu", strings));
        }
        harness.LoadSkinDocument(Testing::ListSkinDocument(Testing::OwnerWindow(
            Testing::PopupMenuDescription() +
            Testing::Wearing("Framework.Button", "other", "rowLooks",
                             R"(XPositionAbs="300" YPositionAbs="250" XSizeAbs="40" YSizeAbs="20")"))));
        main = harness.CreateRoot(L"main");
        popup = GetPopupMenu(*main);
        EXPECT_TRUE(popup);
        recorder->Watch(harness.Window().GetNotificationDistributor(),
                        {L"NID_FILE_OPEN", L"NID_APP_EXIT_REQ", L"NID_RECENT_FIRST", L"NID_RECENT_SECOND",
                         L"NID_ALLOW_DOWNGRADE", L"NID_HELP"});
        spy->Watch(popup, {L"NID_ITEM_ACTIVATED"});
        return *popup;
    }

    static KeyCode OpenKey() { return ParseShortcutText(L"Ctrl+VKEY_O"); }

    void ReceiveIntoWindow()
    {
        ASSERT_EQ(popup->SetMenuReceiver(ConstRCPtr<LNotificationQueue>(harness.WindowRef().Get())), 0);
    }

    // Shows the popup with its top left corner at the point of the window.
    void ShowAt(const PointT<zlong>& point)
    {
        harness.Window().SetCursorPosition(point);
        ASSERT_EQ(popup->PlaceAtCursor(), 0);
    }

    LListBoxItem& Row(std::uint32_t index) { return *popup->GetRowControl(index); }
    static std::string HotKeyText(const LControl& row)
    {
        return row.FindChildByName(L"hotKeyLabel")->GetText().ToUTF8().GetData();
    }

    void ClickRow(std::uint32_t index)
    {
        harness.MoveTo(Row(index), {20, 5});
        harness.PressAt(Row(index), {20, 5});
        harness.ReleaseAt(Row(index), {20, 5});
    }

    Testing::StatusTextHarness harness;
    RCPtr<LControl> main;
    RCPtr<LPopupMenu> popup;
    RCPtr<LItemRecorder> recorder = LItemRecorder::Create();
    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
};

TEST_F(PopupMenu, AMenuFromTheStringTableHasARowPerItemShortcutsAndTheWidthOfItsWidestRow)
{
    LPopupMenu& menu = CreatePopup({{"00.NID_FILE_OPEN", "Open|Open a firmware file"},
                                    {"01.-", "-"},
                                    {"02.NID_HELP", "Help"}});
    const RCPtr<LMenuDescriptor> fromStrings = menu.GetMenu()->Clone();
    ASSERT_EQ(menu.GetRowCount(), 3u);
    EXPECT_FALSE(menu.IsVisible(false)) << "made hidden";
    EXPECT_EQ(menu.GetRowText(0).ToUTF8().GetData(), std::string("Open"));
    EXPECT_EQ(HotKeyText(Row(0)), std::string(GetShortcutText(OpenKey()).ToUTF8().GetData()));
    EXPECT_EQ(HotKeyText(Row(2)), "") << "no hot key";
    EXPECT_TRUE(Row(1).IsSeparator());
    EXPECT_EQ(Row(1).GetActiveLookIndex(), LListBoxItem::kSeparatorLook);

    // Around the texts: the check box's right edge (15), 20, and 15 to the right edge; 7 pixels a character.
    const std::int32_t openWidth = 15 + 20 + 15 + 7 * (4 + static_cast<std::int32_t>(GetShortcutText(OpenKey())
                                                                                       .GetLength()));
    EXPECT_EQ(menu.GetSize().x, openWidth + 10) << "the widest row and the corner";
    EXPECT_EQ(menu.GetSize().y, 3 * 14);

    // An item's own shortcut text stays; an empty menu has no rows and leaves the width as it was.
    const RCPtr<LMenuDescriptor> own = LMenuDescriptor::Create();
    ASSERT_GE(own->InsertNewItem(0, L"Open", L"NID_FILE_OPEN", 1, 0), 0);
    own->GetItems().GetData()[0]->SetShortcutText(L"F3");
    ASSERT_EQ(menu.SetMenu(own), 0);
    EXPECT_EQ(HotKeyText(Row(0)), "F3");
    const double width = menu.GetSize().x;
    EXPECT_EQ(menu.SetMenu(LMenuDescriptor::Create()), ZV_S_FALSE);
    EXPECT_EQ(menu.GetRowCount(), 0u);
    EXPECT_EQ(menu.GetSize().x, width);
    EXPECT_EQ(menu.SetMenu(nullptr), ZV_E_INVALIDARG);

    ASSERT_EQ(menu.SetMenu(fromStrings), 0);
    ShowAt({50, 40});
    harness.MoveTo(Row(1), {20, 5});
    EXPECT_EQ(menu.GetCaretRow(), -1) << "the pointer never selects a separator";
    harness.MoveTo(Row(0), {20, 5});
    EXPECT_EQ(menu.GetCaretRow(), 0);
    harness.Keys().Press(kDownKey);
    EXPECT_EQ(menu.GetCaretRow(), 2) << "nor do the keys";
}

TEST_F(PopupMenu, AChosenItemReachesTheReceiverAtTheNextIdlePassAndATransientPopupGoes)
{
    LPopupMenu& menu = CreatePopup({{"00.NID_FILE_OPEN", "Open|Open a firmware file"},
                                    {"01.NID_APP_EXIT_REQ", "Exit|Exit Application"}});
    ReceiveIntoWindow();
    EXPECT_EQ(menu.SetMenuReceiver(ConstRCPtr<LNotificationQueue>(harness.WindowRef().Get())), ZV_E_FAIL);
    EXPECT_EQ(menu.SetMenuReceiver(nullptr), ZV_E_INVALIDARG);
    ShowAt({50, 40});
    EXPECT_TRUE(menu.IsVisible(true));
    EXPECT_EQ(main->IndexOfChild(&menu, LControl::kInsertionOrder) >= 0, true);

    harness.MoveTo(Row(0), {20, 5});
    EXPECT_EQ(harness.statusText, "Open a firmware file");
    harness.MoveTo(Row(1), {20, 5});
    EXPECT_EQ(harness.statusText, "Exit Application");
    harness.MoveAway();
    EXPECT_EQ(harness.statusText, "(reset)");

    ClickRow(0);
    EXPECT_EQ(spy->TakeLines(), (Lines{"popupMenu NID_ITEM_ACTIVATED"}));
    EXPECT_TRUE(recorder->lines.empty()) << "posted, not sent";
    EXPECT_FALSE(menu.IsVisible(false));
    EXPECT_TRUE(menu.IsClosed());
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"NID_FILE_OPEN item 0"}));
    EXPECT_EQ(recorder->menus.front(), menu.GetMenu().Get());
    EXPECT_FALSE(main->FindChildByName(L"popupMenu")) << "removed at the idle pass";
}

TEST_F(PopupMenu, TheOwnerChecksAndDisablesItemsBeforeThePopupShows)
{
    LPopupMenu& menu = CreatePopup({{"00.NID_ALLOW_DOWNGRADE", "Allow Downgrade"},
                                    {"01.-", "-"},
                                    {"02.NID_APP_EXIT_REQ", "Exit"}});
    ReceiveIntoWindow();
    menu.SetMenuItemUpdater(main->GetMenuItemUpdater());
    auto& owner = dynamic_cast<LMenuOwnerControl&>(*main);
    const auto& check = dynamic_cast<LCheckedListBoxItem&>(Row(0));
    EXPECT_EQ(check.GetCheckBox()->GetActiveLookIndex(), 0);

    ShowAt({50, 40});
    EXPECT_EQ(owner.asked, (Lines{"NID_APP_EXIT_REQ@2", "NID_ALLOW_DOWNGRADE@0"})) << "commands only, last first";
    EXPECT_TRUE(menu.IsItemChecked(0));
    EXPECT_EQ(check.GetCheckBox()->GetActiveLookIndex(), 7);
    EXPECT_FALSE(Row(2).IsEnabled(true));
    EXPECT_EQ(Row(2).GetActiveLookIndex(), LListBoxItem::kDisabledLook);
    harness.MoveTo(Row(0), {20, 5});
    EXPECT_EQ(check.GetCheckBox()->GetActiveLookIndex(), 8) << "checked under the pointer";

    ClickRow(2);
    harness.PumpIdle();
    EXPECT_TRUE(recorder->lines.empty()) << "a disabled item is not chosen";
    EXPECT_TRUE(menu.IsVisible(false));
    ClickRow(0);
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"NID_ALLOW_DOWNGRADE item 0"}));
}

TEST_F(PopupMenu, ASubmenuOpensOnlyAfterThePointerRestsOnItsRow)
{
    LPopupMenu& menu = CreatePopup();
    ReceiveIntoWindow();
    ASSERT_EQ(menu.SetMenu(Testing::MenuWithSubmenu()), 0);
    ASSERT_EQ(menu.GetRowCount(), 3u);
    EXPECT_TRUE(menu.IsRowMarked(1)) << "the submenu's row";
    ShowAt({50, 40});

    harness.MoveTo(Row(1), {20, 5});
    harness.RunFor(250);
    EXPECT_FALSE(menu.GetOpenSubmenu()) << "not before the pause has passed";
    harness.MoveTo(Row(0), {20, 5});
    harness.RunFor(400);
    EXPECT_FALSE(menu.GetOpenSubmenu()) << "the pointer moved on";

    harness.MoveTo(Row(1), {20, 5});
    harness.RunFor(260);
    const RCPtr<LPopupMenu> submenu = menu.GetOpenSubmenu();
    ASSERT_TRUE(submenu);
    EXPECT_EQ(submenu->GetRowCount(), 2u);
    EXPECT_TRUE(submenu->IsVisible(true));
    EXPECT_EQ(submenu->GetAbsoluteOrigin().x, menu.GetAbsoluteOrigin().x + menu.GetRowControl(1)->GetSize().x)
        << "beside its row";
    EXPECT_EQ(submenu->GetAbsoluteOrigin().y, menu.GetAbsoluteOrigin().y + 14);

    // Into the submenu: the row of the submenu stays selected, and the submenu's item is chosen.
    harness.MoveTo(*submenu->GetRowControl(0), {20, 5});
    harness.RunFor(400);
    EXPECT_EQ(menu.GetCaretRow(), 1);
    EXPECT_EQ(menu.GetOpenSubmenu(), submenu);
    harness.PressAt(*submenu->GetRowControl(0), {20, 5});
    harness.ReleaseAt(*submenu->GetRowControl(0), {20, 5});
    EXPECT_EQ(spy->TakeLines(), (Lines{"popupMenu NID_ITEM_ACTIVATED"})) << "on the chain's first popup";
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"NID_RECENT_FIRST item 0"}));
    EXPECT_FALSE(main->FindChildByName(L"popupMenu")) << "the whole chain closed";
}

TEST_F(PopupMenu, APressDraggedIntoTheSubmenuGoesOnThereAndChoosesWhereItIsReleased)
{
    LPopupMenu& menu = CreatePopup();
    ReceiveIntoWindow();
    ASSERT_EQ(menu.SetMenu(Testing::MenuWithSubmenu()), 0);
    ShowAt({50, 40});
    ASSERT_EQ(menu.OpenSubmenu(1), 0);
    const RCPtr<LPopupMenu> submenu = menu.GetOpenSubmenu();
    ASSERT_TRUE(submenu);

    harness.MoveTo(Row(1), {20, 5});
    harness.PressAt(Row(1), {20, 5});
    LControl& target = *submenu->GetRowControl(1);
    harness.MoveTo(target, {20, 5});
    harness.MoveTo(target, {21, 6});
    EXPECT_EQ(submenu->GetCaretRow(), 1) << "the submenu follows the held button";
    EXPECT_EQ(menu.GetCaretRow(), 1) << "and its row stays selected";
    harness.ReleaseAt(target, {21, 6});
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"NID_RECENT_SECOND item 1"}));
}

TEST_F(PopupMenu, ASubmenuOpensLeftwardsAtTheRightEdgeAndMovesUpAtTheBottom)
{
    LPopupMenu& menu = CreatePopup();
    ReceiveIntoWindow();
    ASSERT_EQ(menu.SetMenu(Testing::MenuWithSubmenu()), 0);
    ShowAt({400, 300});
    const PointT<double> origin = menu.GetAbsoluteOrigin();
    EXPECT_EQ(origin.x, 400 - menu.GetSize().x) << "the popup stays in the window";
    EXPECT_EQ(origin.y, 300 - menu.GetSize().y);

    ASSERT_EQ(menu.OpenSubmenu(1), 0);
    const RCPtr<LPopupMenu> submenu = menu.GetOpenSubmenu();
    ASSERT_TRUE(submenu);
    EXPECT_EQ(submenu->GetAbsoluteOrigin().x, origin.x - submenu->GetSize().x);
    EXPECT_EQ(submenu->GetAbsoluteOrigin().y + submenu->GetSize().y, 300);
    EXPECT_EQ(menu.OpenSubmenu(0), ZV_E_INVALIDARG) << "a command has no submenu";
    EXPECT_EQ(menu.GetOpenSubmenu(), submenu);
}

TEST_F(PopupMenu, RightOpensASubmenuLeftClosesItAndEscapeClosesTheChain)
{
    LPopupMenu& menu = CreatePopup();
    ReceiveIntoWindow();
    ASSERT_EQ(menu.SetMenu(Testing::MenuWithSubmenu()), 0);
    ShowAt({50, 40});
    EXPECT_TRUE((menu.GetConditions() & 0x1) != 0) << "the popup has the focus";

    harness.Keys().Press(kDownKey);
    harness.Keys().Press(kDownKey);
    EXPECT_EQ(menu.GetCaretRow(), 1);
    harness.RunFor(400);
    EXPECT_FALSE(menu.GetOpenSubmenu()) << "the keys open no submenu by passing over it";
    harness.Keys().Press(kRightKey);
    RCPtr<LPopupMenu> submenu = menu.GetOpenSubmenu();
    ASSERT_TRUE(submenu);
    EXPECT_EQ(submenu->GetCaretRow(), 0);
    harness.Keys().Press(kLeftKey);
    EXPECT_FALSE(menu.GetOpenSubmenu());
    EXPECT_TRUE(menu.IsVisible(true));

    harness.Keys().Press(kRightKey);
    submenu = menu.GetOpenSubmenu();
    ASSERT_TRUE(submenu);
    harness.Keys().Press(kDownKey);
    harness.Keys().Press(kReturnKey);
    harness.PumpIdle();
    EXPECT_EQ(recorder->lines, (Lines{"NID_RECENT_SECOND item 1"}));
    EXPECT_FALSE(main->FindChildByName(L"popupMenu"));
}

TEST_F(PopupMenu, EscapeClosesAContextMenuAndADropDownAlike)
{
    LPopupMenu& menu = CreatePopup({{"00.NID_FILE_OPEN", "Open"}});
    ReceiveIntoWindow();
    menu.SetTransient(false);
    ShowAt({50, 40});
    (void)main->FindChildByName(L"other")->SetFocus(true);
    EXPECT_TRUE(menu.IsVisible(true)) << "a drop-down stays open when it loses the focus";
    (void)menu.SetFocus(true);
    harness.Keys().Press(kEscapeKey);
    EXPECT_FALSE(menu.IsVisible(false));
    harness.PumpIdle();
    EXPECT_TRUE(main->FindChildByName(L"popupMenu")) << "its owner keeps it";

    menu.SetTransient(true);
    ShowAt({50, 40});
    (void)main->FindChildByName(L"other")->SetFocus(true);
    EXPECT_TRUE(menu.IsClosed()) << "a context menu closes when it loses the focus";
    harness.PumpIdle();
    EXPECT_FALSE(main->FindChildByName(L"popupMenu"));
}

}  // namespace
}  // namespace ZV
