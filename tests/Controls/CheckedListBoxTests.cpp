#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/CheckedListBoxParams.h"
#include "Controls/ListBoxTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ListBoxFixture;
using Testing::ListSpec;
using Testing::LNotificationSpy;
using Lines = std::vector<std::string>;

// Two images of 2 x 2 pixels: opaque red and opaque green.
const std::string kRedPng(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x06\x00\x00"
    "\x00\x72\xB6\x0D\x24\x00\x00\x00\x11\x49\x44\x41\x54\x78\xDA\x63\xF8\xCF\xC0\xF0\x1F\x84\x19\x60\x0C\x00\x47\xCA"
    "\x07\xF9\x1A\xB6\xF1\xA9\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82",
    74);
const std::string kGreenPng(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x06\x00\x00"
    "\x00\x72\xB6\x0D\x24\x00\x00\x00\x0E\x49\x44\x41\x54\x78\xDA\x63\x60\xF8\x0F\x85\x30\x06\x00\x43\xCE\x07\xF9\xEA"
    "\xCA\xAC\x99\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82",
    71);

// A list built on the checked list, as the popup menu is.
class LCheckedListSubclass : public LCheckedListBox {
public:
    using LCheckedListBox::LCheckedListBox;
};

class CheckedListBox : public ListBoxFixture {
protected:
    // Rows whose check box is a 12 x 12 button 1 pixel in from their left edge; a fourth list look of two images
    // with icons.
    LCheckedListBox& CreateCheckedList(int rows, bool icons = false, const std::string& listClass =
                                                                         "Framework.CheckedListBox")
    {
        Testing::WriteContent(images / "red.png", kRedPng);
        Testing::WriteContent(images / "green.png", kGreenPng);
        harness.Factory().SetImagePrefix(WideString(images.Path().c_str()) + L"/");
        harness.Register<LCheckedListSubclass>(L"Test.CheckedListSubclass");
        ListSpec spec;
        spec.listClass = listClass;
        spec.templateClass = "Framework.CheckedListBoxItem";
        spec.templateChildren = Testing::Wearing("Framework.Button", "checkBox", "rowLooks",
                                                 R"(XPositionAbs="1" YPositionAbs="1" XSizeAbs="12" YSizeAbs="12")");
        if (icons) {
            spec.listLooks = "iconListLooks";
            spec.parts = R"(<Part Name="Red" ImageFile="red.png" ImageLocX="0" ImageLocY="0" Width="2" Height="2"
                      ResizeType="Stretch"/>
                <Part Name="Green" ImageFile="green.png" ImageLocX="0" ImageLocY="0" Width="2" Height="2"
                      ResizeType="Stretch"/>)";
            spec.looks = R"(<Look Name="icons">
                  <ClientPart Name="Red" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
                  <NonClientParts><NonClientPart Name="Green" OffsetLeft="0" OffsetTop="0"/></NonClientParts>
                </Look>)";
            spec.lookLists = R"(<LookList Name="iconListLooks" NumLooks="4">
                  <Look Name="row" Index="0"/><Look Name="row" Index="1"/><Look Name="row" Index="2"/>
                  <Look Name="icons" Index="3"/>
                </LookList>)";
        }
        LCheckedListBox& box = CreateList<LCheckedListBox>(spec);
        AddNumberedRows(box, rows);
        spy->Watch(list, {L"NID_ITEM_CHECK_CHANGE", L"NID_SELECTION_CHANGE"});
        spy->OnEach(L"NID_ITEM_CHECK_CHANGE", [this](const LNotification& notification) {
            const auto* change = dynamic_cast<const LIndexedDataWithValueParam*>(notification.GetParameter().Get());
            ASSERT_NE(change, nullptr);
            EXPECT_FALSE(change->GetData());
            checks.emplace_back(change->GetIndex(), change->GetValue());
        });
        return box;
    }

    RCPtr<LControl> CheckBoxOfControl(const LCheckedListBox& box, std::uint32_t index)
    {
        return box.GetRowControl(index)->FindChildByName(L"checkBox");
    }

    // A click on the check box of the row control at that index.
    void ClickCheckBox(std::uint32_t index)
    {
        const PointT<zlong> point{5, static_cast<zlong>(index) * kRowHeight + 5};
        harness.Mouse().Press(MouseButton::kLeft, point);
        harness.Mouse().Release(MouseButton::kLeft, point);
    }

    Testing::TemporaryFolder images;
    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    std::vector<std::pair<std::int32_t, double>> checks;
};

TEST_F(CheckedListBox, AClickOnACheckBoxFlipsTheRowSelectsItAndSendsOneCheckNotification)
{
    LCheckedListBox& box = CreateCheckedList(20);
    ClickCheckBox(2);
    EXPECT_TRUE(box.IsItemChecked(2));
    EXPECT_EQ(box.GetCheckedCount(), 1);
    EXPECT_EQ(Selected(box), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(spy->TakeLines(), (Lines{"list NID_SELECTION_CHANGE", "list NID_ITEM_CHECK_CHANGE"}));
    EXPECT_EQ(checks, (std::vector<std::pair<std::int32_t, double>>{{2, 1.0}}));

    (void)box.ScrollTo({0, 14});
    (void)box.ScrollTo({0, 5 * 14});
    (void)box.ScrollTo({0, 14});
    EXPECT_TRUE(spy->TakeLines().empty()) << "binding rows to the controls sends nothing";
    EXPECT_EQ(CheckBoxOfControl(box, 1)->GetValue(), 1.0) << "row 2 now shows in control 1";
    EXPECT_EQ(CheckBoxOfControl(box, 2)->GetValue(), 0.0);

    checks.clear();
    ClickCheckBox(1);
    EXPECT_FALSE(box.IsItemChecked(2));
    EXPECT_EQ(box.GetCheckedCount(), 0);
    EXPECT_EQ(checks, (std::vector<std::pair<std::int32_t, double>>{{2, 0.0}}));
}

TEST_F(CheckedListBox, TheCheckedCountFollowsRealChangesOfTheRowsOnly)
{
    LCheckedListBox& box = CreateCheckedList(8);
    for (int click = 0; click < 5; ++click) {
        ClickCheckBox(4);
    }
    EXPECT_TRUE(box.IsItemChecked(4));
    EXPECT_EQ(box.GetCheckedCount(), 1) << "five clicks";
    box.SetItemChecked(4, true);
    box.SetItemChecked(6, true);
    box.SetItemChecked(6, true);
    box.SetItemChecked(60, true);
    EXPECT_EQ(box.GetCheckedCount(), 2);
    EXPECT_EQ(CheckBoxOfControl(box, 6)->GetValue(), 1.0);
    EXPECT_EQ(checks.size(), 5u) << "setting from the program sends nothing";

    (void)CheckBoxOfControl(box, 4)->SetValue(0.7);
    (void)CheckBoxOfControl(box, 3)->SetValue(0.3);
    EXPECT_EQ(box.GetCheckedCount(), 2) << "boxes that change value without changing their row's flag";

    EXPECT_EQ(box.RemoveRowAt(4), 0);
    EXPECT_EQ(box.GetCheckedCount(), 1) << "a checked row removed";
    EXPECT_TRUE(box.IsItemChecked(5)) << "row 6 moved up";
    EXPECT_EQ(box.SetRowCount(3), 3);
    EXPECT_EQ(box.GetCheckedCount(), 0);
    EXPECT_FALSE(CheckBoxOfControl(box, 5)->IsVisible(false)) << "no row, no check box";
}

TEST_F(CheckedListBox, TheImagesOfAFourthLookAreTheRowsIconsRepeatingDownTheList)
{
    LCheckedListBox& box = CreateCheckedList(6, true);
    const ConstRCPtr<LBitmap> first = box.GetItemIcon(0);
    const ConstRCPtr<LBitmap> second = box.GetItemIcon(1);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    for (std::uint32_t row = 0; row < 6; ++row) {
        EXPECT_EQ(box.GetItemIcon(row).Get(), row % 2 == 0 ? first.Get() : second.Get()) << row;
    }
    EXPECT_FALSE(box.GetItemIcon(6));
    EXPECT_EQ(CheckBoxOfControl(box, 0)->GetColorAtPoint({0, 0}, -1), 0xFFFF0000u);
    EXPECT_EQ(CheckBoxOfControl(box, 1)->GetColorAtPoint({0, 0}, -1), 0xFF00FF00u);

    ClickCheckBox(3);
    EXPECT_FALSE(box.IsItemChecked(3)) << "icons let clicks through to their rows";
    EXPECT_EQ(Selected(box), (std::vector<std::uint32_t>{3}));
    EXPECT_TRUE(checks.empty());
}

TEST_F(CheckedListBox, AListBuiltOnTheCheckedListTakesNoIconsFromItsFourthLook)
{
    LCheckedListBox& box = CreateCheckedList(2, true, "Test.CheckedListSubclass");
    EXPECT_FALSE(box.GetItemIcon(0));
    box.GetCheckedRow(1)->icon = LBitmap::CreateFilledBitmap({2, 2}, LColor().SetFromARGB(0xFF0000FF));
    EXPECT_TRUE(box.GetItemIcon(1)) << "a row's own icon";
}

TEST_F(CheckedListBox, ThePointerOverARowsCheckBoxHighlightsTheRow)
{
    LCheckedListBox& box = CreateCheckedList(3);
    const auto& row = dynamic_cast<LCheckedListBoxItem&>(*box.GetRowControl(1));
    harness.Mouse().Move({5, 14 + 5});
    EXPECT_EQ(row.GetActiveLookIndex(), 1) << "hot";
    EXPECT_FALSE(row.GetCheckBox()->IsFocusable());
    EXPECT_TRUE(row.GetCheckBox()->UsesParentToolTip());
    harness.Mouse().Move({100, 14 + 5});
    EXPECT_EQ(row.GetActiveLookIndex(), 1) << "over the row itself";
    harness.Mouse().Move({100, 100});
    EXPECT_EQ(row.GetActiveLookIndex(), 0);
}

TEST_F(CheckedListBox, AnItemLookAppliedExclusivelyReplacesTheLooksShownAndOtherwiseJoinsThem)
{
    LCheckedListBox& box = CreateCheckedList(3);
    auto& row = dynamic_cast<LCheckedListBoxItem&>(*box.GetRowControl(1));
    ASSERT_EQ(row.GetActiveLookIndex(), 0);
    EXPECT_TRUE(row.ApplyItemLook(3, false));
    EXPECT_EQ(row.GetLookWeight(0), 1.0f);
    EXPECT_EQ(row.GetLookWeight(3), 1.0f);
    EXPECT_TRUE(row.ApplyItemLook(4, true));
    EXPECT_EQ(row.GetLookWeight(0), 0.0f);
    EXPECT_EQ(row.GetLookWeight(3), 0.0f);
    EXPECT_EQ(row.GetActiveLookIndex(), 4);
    EXPECT_FALSE(row.ApplyItemLook(14, true)) << "no such look";
    EXPECT_FALSE(row.ApplyItemLook(-1, true));
    EXPECT_EQ(row.GetActiveLookIndex(), 4);
}

}  // namespace
}  // namespace ZV
