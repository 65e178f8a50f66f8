#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboTestSkin.h"
#include "Controls/ListBox.h"
#include "Controls/TextBox.h"
#include "Controls/TextBoxTestSkin.h"
#include "System/GlobalHotKeyManager.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ComboAt;
using Testing::ComboItems;
using Testing::ControlsHarness;
using Testing::kComboRowHeight;
using Testing::LNotificationRecorder;

constexpr std::uint8_t kDownKey = 0x28;
constexpr std::uint8_t kReturnKey = 0x0D;
constexpr std::uint8_t kComboEscapeKey = 0x1B;

// A window of 400 x 311 holding the combos, whose items come from their string tables.
struct ComboWindow {
    ComboWindow(ControlsHarness& harness, const std::string& combos, const std::string& strings) : harness(harness)
    {
        harness.Window().SetClientArea({0, 0, 400, 311});
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        Testing::AddTextBoxLooks(skin);
        skin.controls += Testing::Panel("main", R"(XSizeAbs="400" YSizeAbs="311")", combos);
        harness.LoadStrings(strings);
        main = harness.CreateMain(skin);
    }

    LComboBox& Combo(const wchar_t* name)
    {
        auto* combo = dynamic_cast<LComboBox*>(main->FindChildByName(name).Get());
        EXPECT_NE(combo, nullptr);
        return *combo;
    }
    void Click(const LControl& control, const PointT<zlong>& point)
    {
        harness.PressAt(control, point);
        harness.ReleaseAt(control, point);
    }
    RCPtr<LControl> Focused() { return harness.Window().GetFocusControl(); }

    ControlsHarness& harness;
    RCPtr<LControl> main;
};

std::string Text(const LControl& control)
{
    return control.GetText().ToUTF8().GetData();
}

// Ten items, "Item 0" to "Item 9".
std::string TenItems(const std::string& name)
{
    return ComboItems(name, {{"ITEM.0", "Item 0"}, {"ITEM.1", "Item 1"}, {"ITEM.2", "Item 2"}, {"ITEM.3", "Item 3"},
                             {"ITEM.4", "Item 4"}, {"ITEM.5", "Item 5"}, {"ITEM.6", "Item 6"}, {"ITEM.7", "Item 7"},
                             {"ITEM.8", "Item 8"}, {"ITEM.9", "Item 9"}});
}

// The combo "typed" with a text box 80 x 20 over the left of it.
std::string TypedCombo()
{
    return ComboAt("Framework.ComboTextBox", "typed", 20, 100,
                   Testing::Wearing("Framework.TextBox", "textBox", "textBox", R"(XSizeAbs="80" YSizeAbs="20")"));
}

TEST(ComboBox, ClicksAndKeysOpenAndCloseTheListWhichHasTheFocusWhileOpen)
{
    ControlsHarness harness;
    ComboWindow window(harness, ComboAt("Framework.ComboBox", "pick", 20, 100), TenItems("pick"));
    LComboBox& combo = window.Combo(L"pick");
    LListBox& list = *combo.GetListBox();
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(&combo, {L"NID_DROPDOWN_OPENING", L"NID_SELECTION_CHANGE"});
    ASSERT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetActiveLookIndex(), 0);

    window.Click(combo, {10, 10});
    EXPECT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(window.Focused().Get(), &list);
    EXPECT_EQ(combo.GetActiveLookIndex(), 5);
    EXPECT_EQ(recorder->CountOf(L"NID_DROPDOWN_OPENING"), 1u);

    // The press that closes it does not open it again, and the release leaves it closed.
    window.Click(combo, {10, 10});
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(window.Focused().Get(), &combo);
    EXPECT_EQ(combo.GetActiveLookIndex(), 3);
    harness.MoveAway();
    EXPECT_EQ(combo.GetActiveLookIndex(), 1);

    harness.Keys().Press(kDownKey);
    EXPECT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(window.Focused().Get(), &list);
    EXPECT_EQ(combo.GetActiveLookIndex(), 4);
    harness.Keys().Press(kComboEscapeKey);
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(window.Focused().Get(), &combo);

    // Return opens; in the open list Down moves to the next item and Return takes it.
    harness.Keys().Press(kReturnKey);
    ASSERT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(list.GetCaretRow(), 0);
    harness.Keys().Press(kDownKey);
    harness.Keys().Press(kReturnKey);
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetSelectedIndex(), 1);
    EXPECT_EQ(Text(combo), "Item 1");
    EXPECT_EQ(recorder->CountOf(L"NID_SELECTION_CHANGE"), 1u);

    // A key with a modifier is none of the combo's.
    harness.Keys().Press(kDownKey, 0x8);
    EXPECT_FALSE(combo.IsDropDownOpen());
}

TEST(ComboBox, APressDraggedOntoAnItemTakesItAndOneReleasedOffTheComboAndTheListClosesIt)
{
    ControlsHarness harness;
    ComboWindow window(harness, ComboAt("Framework.ComboBox", "pick", 20, 100), TenItems("pick"));
    LComboBox& combo = window.Combo(L"pick");
    LListBox& list = *combo.GetListBox();

    harness.PressAt(combo, {10, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    const PointT<zlong> onItem3{10, 3 * kComboRowHeight + 5};
    harness.MoveTo(list, onItem3);
    harness.ReleaseAt(list, onItem3);
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetSelectedIndex(), 3);
    EXPECT_EQ(Text(combo), "Item 3");

    harness.PressAt(combo, {10, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    harness.MoveTo(*window.main, {300, 280});
    harness.ReleaseAt(*window.main, {300, 280});
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.GetSelectedIndex(), 3) << "nothing taken";
}

// Sets the combo's item count each time the combo announces that its list opens, as a program whose items change
// does; after a few rounds it stops, so that a combo that announces its opening without end fails the test rather
// than the stack.
class LItemRefresher : public LNotificationClient {
public:
    static RCPtr<LItemRefresher> Create(LComboBox& combo)
    {
        return RCPtr<LItemRefresher>(new LItemRefresher(combo));
    }
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        if (++openings < kEnough) {
            (void)mCombo->SetItemCount(count);
        }
    }

    std::int32_t count = 0;
    int openings = 0;

private:
    explicit LItemRefresher(LComboBox& combo) : mCombo(&combo) {}

    static constexpr int kEnough = 10;
    LComboBox* mCombo;
};

TEST(ComboBox, ItemsRefreshedAsTheListOpensOrChangedWhileItIsOpenResizeTheListAndAreAnnouncedOnce)
{
    ControlsHarness harness;
    ComboWindow window(harness, ComboAt("Framework.ComboBox", "pick", 20, 100), TenItems("pick"));
    LComboBox& combo = window.Combo(L"pick");
    LListBox& list = *combo.GetListBox();
    const RCPtr<LItemRefresher> refresher = LItemRefresher::Create(combo);
    refresher->RegisterForNotification(&combo, L"NID_DROPDOWN_OPENING", 0);
    refresher->count = 4;

    window.Click(combo, {10, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(refresher->openings, 1);
    EXPECT_EQ(list.GetRowCount(), 4u);
    EXPECT_EQ(list.GetSize().y, 4.0 * kComboRowHeight);

    refresher->count = 6;
    EXPECT_EQ(combo.SetItemCount(2), 2);
    EXPECT_EQ(refresher->openings, 1) << "the open list is not announced again";
    EXPECT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(list.GetRowCount(), 2u);
    EXPECT_EQ(list.GetSize().y, 2.0 * kComboRowHeight);
    (void)refresher->UnregisterAllNotifications();
}

TEST(ComboBox, KeysTheComboLeavesReachTheWindowsHotKeysFromItsTextBoxAndItsOpenList)
{
    ControlsHarness harness;
    ComboWindow window(harness, TypedCombo(), TenItems("typed"));
    LComboBox& combo = window.Combo(L"typed");
    ASSERT_EQ(harness.Window().GetHotKeyManager()->RegisterHotKey(KeyCode('C', true, 0, kModifierCtrl),
                                                                    L"NID_EDIT_COPY_REQ"),
              ZV_S_OK);
    const RCPtr<Testing::LNotificationSpy> hotKeys = Testing::LNotificationSpy::Create();
    hotKeys->RegisterForNotification(harness.WindowRef().Get(), L"NID_EDIT_COPY_REQ", 0);
    const auto copies = [&] {
        harness.Keys().Press('C', kModifierCtrl);
        harness.PumpIdle();
        return hotKeys->TakeLines().size();
    };

    window.Click(*combo.GetTextBox(), {10, 10});
    ASSERT_EQ(window.Focused().Get(), combo.GetTextBox().Get());
    EXPECT_EQ(copies(), 1u) << "from the text box";
    window.Click(combo, {90, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(copies(), 1u) << "from the open list";
    EXPECT_TRUE(combo.IsDropDownOpen());
    harness.Keys().Press(kComboEscapeKey);
    EXPECT_FALSE(combo.IsDropDownOpen()) << "Escape is the combo's own";
    (void)hotKeys->UnregisterAllNotifications();
}

TEST(ComboBox, TheListOpensWhereItFitsInWholeRows)
{
    ControlsHarness harness;
    ComboWindow window(harness,
                       ComboAt("Framework.ComboBox", "low", 270, 100) + ComboAt("Framework.ComboBox", "high", 20, 100) +
                           ComboAt("Framework.ComboBox", "short", 60, 0),
                       TenItems("low") + TenItems("high") +
                           ComboItems("short", {{"ITEM.0", "A"}, {"ITEM.1", "B"}, {"ITEM.2", "C"}}));
    const auto openedRect = [&](const wchar_t* name) {
        LComboBox& combo = window.Combo(name);
        EXPECT_EQ(combo.ShowDropDown(true), 0);
        EXPECT_TRUE(combo.IsDropDownOpen());
        const PointT<double> origin = combo.GetListBox()->GetAbsoluteOrigin();
        const PointT<double> size = combo.GetListBox()->GetSize();
        return RectT<double>(origin.x, origin.y, size.x, size.y);
    };

    // 15 pixels below the combo near the bottom, 265 above: its 98 pixels (7 whole rows of the skin's 100) end on
    // the combo's top edge.
    const RectT<double> low = openedRect(L"low");
    EXPECT_EQ(low.height, 7 * kComboRowHeight);
    EXPECT_EQ(low.y + low.height, 270);
    EXPECT_EQ(low.x, 20);
    EXPECT_EQ(low.width, 100);

    const RectT<double> high = openedRect(L"high");
    EXPECT_EQ(high.y, 40);
    EXPECT_EQ(high.height, 7 * kComboRowHeight);

    // Without a limit from the skin, a list that fits is as high as its rows.
    const RectT<double> fitting = openedRect(L"short");
    EXPECT_EQ(fitting.y, 80);
    EXPECT_EQ(fitting.height, 3 * kComboRowHeight);
}

TEST(ComboBox, AListWithoutAMaximumHeightMakesRowControlsOnlyForTheRowsInSightAndStaysInsideTheWindow)
{
    ControlsHarness harness;
    ComboWindow window(harness,
                       ComboAt("Framework.ComboBox", "pick", 20, 0) + ComboAt("Framework.ComboBox", "low", 250, 0) +
                           ComboAt("Framework.ComboBox", "top", 0, 0),
                       TenItems("pick") + ComboItems("low", {{"ITEM.0", "A"}, {"ITEM.1", "B"}}));
    LComboBox& combo = window.Combo(L"pick");
    LListBox& list = *combo.GetListBox();
    constexpr std::uint32_t kRowsInSight = 20;
    const auto addItems = [](LComboBox& to, int count) {
        for (int item = 0; item < count; ++item) {
            ASSERT_GE(to.AddItem(L"More"), 0);
        }
    };
    const auto extent = [](const LListBox& shown) {
        const double top = shown.GetAbsoluteOrigin().y;
        return std::make_pair(top, top + shown.GetSize().y);
    };

    addItems(combo, 290);
    ASSERT_LE(list.GetRowControlCount(), kRowsInSight) << "closed";

    // 266 pixels below the combo, 15 above it: the list fills the room below in whole rows.
    window.Click(combo, {10, 10});
    ASSERT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(extent(list), std::make_pair(40.0, 40.0 + 19 * kComboRowHeight));
    addItems(combo, 300);
    EXPECT_EQ(extent(list), std::make_pair(40.0, 40.0 + 19 * kComboRowHeight)) << "items added while open";
    ASSERT_LE(list.GetRowControlCount(), kRowsInSight);

    ASSERT_EQ(combo.SetItemCount(20000), 20000);
    EXPECT_TRUE(combo.IsDropDownOpen());
    EXPECT_EQ(extent(list), std::make_pair(40.0, 40.0 + 19 * kComboRowHeight));
    EXPECT_LE(list.GetRowControlCount(), kRowsInSight);
    ASSERT_EQ(list.EnsureRowVisible(19999), 0);
    EXPECT_EQ(list.GetTopRow(), 20000 - 19);
    ASSERT_EQ(combo.SetItemCount(3), 3);
    EXPECT_EQ(extent(list), std::make_pair(40.0, 40.0 + 3 * kComboRowHeight)) << "as high as its rows again";
    EXPECT_EQ(list.GetTopRow(), 0);
    ASSERT_EQ(combo.SetItemCount(400), 400);
    EXPECT_EQ(extent(list), std::make_pair(40.0, 40.0 + 19 * kComboRowHeight)) << "grown from rows that fitted";
    EXPECT_LE(list.GetRowControlCount(), kRowsInSight);

    // Near the bottom, 36 pixels below and 245 above: two rows fit below; more move the list above the combo.
    LComboBox& low = window.Combo(L"low");
    LListBox& lowList = *low.GetListBox();
    ASSERT_EQ(low.ShowDropDown(true), 0);
    EXPECT_EQ(extent(lowList), std::make_pair(270.0, 270.0 + 2 * kComboRowHeight));
    addItems(low, 20);
    EXPECT_TRUE(low.IsDropDownOpen());
    EXPECT_EQ(extent(lowList), std::make_pair(250.0 - 17 * kComboRowHeight, 250.0));
    EXPECT_LE(lowList.GetRowControlCount(), kRowsInSight);

    // A window with no room on either side still shows one row, and no more.
    LComboBox& top = window.Combo(L"top");
    ASSERT_EQ(top.SetItemCount(50), 50);
    harness.Window().SetClientArea({0, 0, 400, 20});
    ASSERT_EQ(top.ShowDropDown(true), 0);
    EXPECT_EQ(top.GetListBox()->GetSize().y, kComboRowHeight);
    EXPECT_LE(top.GetListBox()->GetRowControlCount(), kRowsInSight);
}

TEST(ComboBox, TheSelectionFollowsItsItemAndTheTextFollowsTheSelection)
{
    ControlsHarness harness;
    ComboWindow window(harness,
                       ComboAt("Framework.ComboBox", "pick", 20, 100) +
                           ComboAt("Framework.ComboBox", "third", 60, 100, "", "Framework.ListBox",
                                   "Framework.ListBoxItem", "",
                                   Testing::CreateParams({{"INITIAL_SELECTED_INDEX", "2"}})),
                       TenItems("pick") + TenItems("third"));
    LComboBox& combo = window.Combo(L"pick");
    LListBox& list = *combo.GetListBox();
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(&combo, {L"NID_SELECTION_CHANGE"});

    // Without an initial index, the first item; with one, that item. Neither tells anybody.
    EXPECT_EQ(combo.GetSelectedIndex(), 0);
    EXPECT_EQ(Text(combo), "Item 0");
    EXPECT_EQ(window.Combo(L"third").GetSelectedIndex(), 2);
    EXPECT_EQ(Text(window.Combo(L"third")), "Item 2");

    // A text finds its item whatever the case; the item's own text shows.
    EXPECT_EQ(combo.SetText(L"item 3"), 0);
    EXPECT_EQ(combo.GetSelectedIndex(), 3);
    EXPECT_EQ(Text(combo), "Item 3");
    EXPECT_EQ(combo.SetText(L"Item 3"), 1);
    EXPECT_EQ(recorder->CountOf(L"NID_SELECTION_CHANGE"), 1u);

    // An item inserted before the selected one: the same item stays selected, in the list too.
    EXPECT_EQ(combo.InsertItem(0, LStringWrapper::Create(L"First")), 0);
    EXPECT_EQ(combo.GetSelectedIndex(), 4);
    EXPECT_EQ(combo.GetItem(4)->ToString(), WideString(L"Item 3"));
    EXPECT_GE(list.GetRowSelected(4), 0.5);
    EXPECT_EQ(combo.AddItem(L"Last"), 11);
    EXPECT_EQ(combo.GetSelectedIndex(), 4);
    EXPECT_EQ(combo.InsertItem(0, nullptr), static_cast<std::int32_t>(ZV_E_INVALIDARG));

    // Clearing the selection keeps the text and tells nobody.
    EXPECT_EQ(combo.SetSelectedIndex(-1), -1);
    EXPECT_EQ(Text(combo), "Item 3");
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(recorder->CountOf(L"NID_SELECTION_CHANGE"), 1u);

    // An item of the text, added while nothing is selected, is selected.
    EXPECT_EQ(combo.SetSelectedIndex(5), 5);
    EXPECT_EQ(combo.SetText(L"Nowhere"), 0);
    EXPECT_EQ(combo.GetSelectedIndex(), -1);
    EXPECT_EQ(combo.AddItem(L"Nowhere"), 12);
    EXPECT_EQ(combo.GetSelectedIndex(), 12);

    // Fewer items than the selected index: nothing selected.
    EXPECT_EQ(combo.SetItemCount(3), 3);
    EXPECT_EQ(combo.GetSelectedIndex(), -1);
    EXPECT_EQ(list.GetRowCount(), 3u);
}

TEST(ComboBox, ATextTypedIntoItsTextBoxSelectsTheItemOfThatText)
{
    ControlsHarness harness;
    ComboWindow window(harness, TypedCombo(), TenItems("typed"));
    LComboBox& combo = window.Combo(L"typed");
    ASSERT_TRUE(combo.GetTextBox());
    LTextBox& box = *combo.GetTextBox();
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(&combo, {L"NID_TEXTBOX_VALIDATING", L"NID_TEXTBOX_VALIDATED", L"NID_TEXTBOX_TEXT_CHANGE"});

    EXPECT_EQ(box.SetText(L"ITEM 6"), 0);
    (void)box.Validate();
    EXPECT_EQ(combo.GetSelectedIndex(), 6);
    EXPECT_EQ(Text(box), "Item 6");
    EXPECT_EQ(recorder->CountOf(L"NID_TEXTBOX_VALIDATING"), 1u);
    EXPECT_EQ(recorder->CountOf(L"NID_TEXTBOX_VALIDATED"), 1u);
    EXPECT_GE(recorder->CountOf(L"NID_TEXTBOX_TEXT_CHANGE"), 1u);

    // The text box taking the focus closes the list.
    ASSERT_EQ(combo.ShowDropDown(true), 0);
    ASSERT_TRUE(combo.IsDropDownOpen());
    ASSERT_FALSE(Failed(box.SetFocus(true)));
    EXPECT_FALSE(combo.IsDropDownOpen());
}

TEST(ComboBox, WithoutAListEveryListOperationFails)
{
    ControlsHarness harness;
    ComboWindow window(harness,
                       Testing::Wearing("Framework.ComboBox", "bare", "button",
                                        R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20")"),
                       "");
    LComboBox& combo = window.Combo(L"bare");
    EXPECT_EQ(combo.ShowDropDown(true), static_cast<ZVRESULT>(ZV_E_FAIL));
    EXPECT_FALSE(combo.IsDropDownOpen());
    EXPECT_EQ(combo.SetItemCount(3), static_cast<ZVRESULT>(ZV_E_FAIL));
    EXPECT_EQ(combo.AddItem(L"A"), static_cast<std::int32_t>(ZV_E_FAIL));
    EXPECT_EQ(combo.SetSelectedIndex(0), -1);
    EXPECT_FALSE(combo.GetItem(0));
    // A click on it opens nothing and breaks nothing.
    window.Click(combo, {10, 10});
    EXPECT_FALSE(combo.IsDropDownOpen());
}

}  // namespace
}  // namespace ZV
