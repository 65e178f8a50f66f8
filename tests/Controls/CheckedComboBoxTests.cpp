#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/ComboTestSkin.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

using Testing::ComboAt;
using Testing::ComboItems;
using Testing::ControlsHarness;
using Testing::kComboRowHeight;
using Testing::LNotificationRecorder;
using Testing::Wearing;

constexpr std::uint8_t kCheckedComboEscapeKey = 0x1B;

// A checked combo at (20, 20) with three rows, each with a 12 x 12 check box 1 pixel in from its left edge, and its
// own 16 x 16 check box; its list wears the look list given.
struct CheckedComboWindow {
    explicit CheckedComboWindow(ControlsHarness& harness, const std::string& listLooks = "panel") : harness(harness)
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        const std::string rowCheckBox =
            Wearing("Framework.Button", "checkBox", "button",
                    R"(XPositionAbs="1" YPositionAbs="1" XSizeAbs="12" YSizeAbs="12")");
        const std::string ownCheckBox =
            Wearing("Framework.Button", "checkBox", "button",
                    R"(XPositionAbs="2" YPositionAbs="2" XSizeAbs="16" YSizeAbs="16")");
        skin.controls += Testing::MainControl(ComboAt("Framework.CheckedComboBox", "checked", 20, 0, ownCheckBox,
                                                      "Framework.CheckedListBox", "Framework.CheckedListBoxItem",
                                                      rowCheckBox, "", listLooks));
        harness.LoadStrings(ComboItems("checked", {{"ITEM.0", "Red"}, {"ITEM.1", "Green"}, {"ITEM.2", "Blue"}}));
        main = harness.CreateMain(skin);
        combo = dynamic_cast<LCheckedComboBox*>(main->FindChildByName(L"checked").Get());
    }

    // Opens the list with a click and clicks the check box of the row.
    void ClickRowCheckBox(int row)
    {
        if (!combo->IsDropDownOpen()) {
            harness.PressAt(*combo, {50, 10});
            harness.ReleaseAt(*combo, {50, 10});
        }
        ASSERT_TRUE(combo->IsDropDownOpen());
        const PointT<zlong> point{5, row * kComboRowHeight + 5};
        harness.PressAt(*combo->GetListBox(), point);
        harness.ReleaseAt(*combo->GetListBox(), point);
    }

    ControlsHarness& harness;
    RCPtr<LControl> main;
    RCPtr<LCheckedComboBox> combo;
};

TEST(CheckedComboBox, CheckingTheFirstRowSwitchesToTheCheckedLooksAndUncheckingTheLastSwitchesBack)
{
    ControlsHarness harness;
    CheckedComboWindow window(harness);
    ASSERT_TRUE(window.combo);
    LCheckedComboBox& combo = *window.combo;
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(&combo, {L"NID_ITEM_CHECK_CHANGE"});
    EXPECT_EQ(combo.GetActiveLookIndex(), 0);

    window.ClickRowCheckBox(1);
    ASSERT_TRUE(combo.GetCheckedList()->IsItemChecked(1));
    EXPECT_EQ(recorder->CountOf(L"NID_ITEM_CHECK_CHANGE"), 1u);
    // Dropped down, not hovered: look 4 of the checked set.
    EXPECT_EQ(combo.GetActiveLookIndex(), 11);
    window.ClickRowCheckBox(2);
    window.ClickRowCheckBox(1);
    EXPECT_EQ(combo.GetActiveLookIndex(), 11);

    window.ClickRowCheckBox(2);
    EXPECT_EQ(combo.GetCheckedList()->GetCheckedCount(), 0);
    EXPECT_EQ(combo.GetActiveLookIndex(), 4);
    EXPECT_EQ(recorder->CountOf(L"NID_ITEM_CHECK_CHANGE"), 4u);

    // Closed, with the focus and without the pointer: look 1, or 8 while a row is checked.
    harness.Keys().Press(kCheckedComboEscapeKey);
    harness.MoveAway();
    EXPECT_EQ(combo.GetActiveLookIndex(), 1);
    window.ClickRowCheckBox(0);
    harness.Keys().Press(kCheckedComboEscapeKey);
    EXPECT_EQ(combo.GetActiveLookIndex(), 8);

    combo.SetEnabled(false);
    EXPECT_EQ(combo.GetActiveLookIndex(), 13);
}

TEST(CheckedComboBox, ItsCheckBoxShowsWhetherTheSelectedRowIsChecked)
{
    ControlsHarness harness;
    CheckedComboWindow window(harness);
    LCheckedComboBox& combo = *window.combo;
    LControl& checkBox = *combo.GetCheckBox();
    LCheckedListBox& list = *combo.GetCheckedList();
    list.SetItemChecked(2, true);

    EXPECT_EQ(combo.SetSelectedIndex(2), 2);
    EXPECT_EQ(checkBox.GetValue(), 1.0);
    EXPECT_EQ(combo.SetSelectedIndex(1), 1);
    EXPECT_EQ(checkBox.GetValue(), 0.0);
    // Past the rows the box keeps what it showed.
    list.SetItemChecked(1, true);
    EXPECT_EQ(combo.SetSelectedIndex(2), 2);
    EXPECT_EQ(combo.SetSelectedIndex(-1), -1);
    EXPECT_EQ(checkBox.GetValue(), 1.0);

    // The selected row checked or unchecked in the list: the box follows at once.
    EXPECT_EQ(combo.SetSelectedIndex(0), 0);
    EXPECT_EQ(checkBox.GetValue(), 0.0);
    window.ClickRowCheckBox(0);
    EXPECT_TRUE(list.IsItemChecked(0));
    EXPECT_EQ(combo.GetSelectedIndex(), 0);
    EXPECT_EQ(checkBox.GetValue(), 1.0);
    // Another row's check leaves it alone.
    window.ClickRowCheckBox(1);
    EXPECT_FALSE(list.IsItemChecked(1));
    EXPECT_EQ(checkBox.GetValue(), 1.0);
}

TEST(CheckedComboBox, AListWithAFourthLookButNoImagesHasNoIconsAndTheCombosCheckBoxTakesItsClicks)
{
    ControlsHarness harness;
    // Fourteen plain colour looks: a look 3 without an image.
    CheckedComboWindow window(harness, "button");
    LCheckedComboBox& combo = *window.combo;
    ASSERT_GT(combo.GetCheckedList()->GetLookCount(), 3u);
    EXPECT_FALSE(combo.GetCheckedList()->HasIcons());
    const PointT<double> origin = Testing::GetOriginInWindow(*combo.GetCheckBox());
    PointT<zlong> local;
    EXPECT_EQ(harness.Window().HitTest({static_cast<zlong>(origin.x) + 5, static_cast<zlong>(origin.y) + 5}, local,
                                       false),
              combo.GetCheckBox());
}

}  // namespace
}  // namespace ZV
