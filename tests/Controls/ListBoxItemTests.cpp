#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Look.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/Harness/PaintedControl.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/ListBoxItem.h"
#include "Controls/ListTestSkin.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::MouseRouter;
using Testing::Wearing;

// A parent that writes down the presses handed to it.
class LPressRecorder : public Testing::LPaintedControl {
public:
    using LPaintedControl::LPaintedControl;

    ZVRESULT ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y) override
    {
        presses.emplace_back(x, y);
        return LPaintedControl::ProcessMouseDown(button, x, y);
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> presses;
};

class ListBoxItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
        harness.Register<LPressRecorder>(L"Test.PressRecorder");
    }

    // A window-filling parent with one row of the look list at (0, 42), 100 x 14.
    LListBoxItem& CreateRow(const std::string& lookList, const std::string& attributes = "")
    {
        harness.LoadSkinDocument(Testing::ListSkinDocument(Testing::SubControl(
            "Test.PressRecorder", "main", "",
            Wearing("Framework.ListBoxItem", "row", lookList,
                    R"(XPositionAbs="0" YPositionAbs="42" XSizeAbs="100" YSizeAbs="14" )" + attributes))));
        main = harness.CreateRoot(L"main");
        harness.Window().HitTestThroughRootControl();
        row = main->FindChildByName(L"row");
        return *static_cast<LListBoxItem*>(row.Get());
    }

    ControlHarness harness;
    RCPtr<LControl> main;
    RCPtr<LControl> row;
};

TEST_F(ListBoxItemTest, TheLookFollowsSelectionMarkingEnablingAndThePointer)
{
    LListBoxItem& item = CreateRow("rowLooks");
    ASSERT_EQ(item.GetLookCount(), 14u);
    MouseRouter mouse(harness.Window());
    EXPECT_EQ(item.GetActiveLookIndex(), 0);
    (void)item.SetValue(1.0);
    EXPECT_EQ(item.GetActiveLookIndex(), 7) << "selected";
    mouse.Move({10, 45});

    EXPECT_EQ(item.GetActiveLookIndex(), 8) << "selected under the pointer";
    mouse.Press(MouseButton::kLeft, {10, 45});
    EXPECT_EQ(item.GetActiveLookIndex(), 9) << "pressed, before the pointer moves";
    mouse.Move({10, 80});
    EXPECT_EQ(item.GetActiveLookIndex(), 8) << "the pressed pointer dragged off the row";
    mouse.Move({12, 46});
    EXPECT_EQ(item.GetActiveLookIndex(), 9) << "and back over it";
    mouse.Release(MouseButton::kLeft, {10, 80});
    EXPECT_EQ(item.GetActiveLookIndex(), 7);

    item.SetMarkedLook(true);
    (void)item.RefreshLook();
    EXPECT_EQ(item.GetActiveLookIndex(), 10) << "selected and marked";
    item.SetHighlighted(true);
    EXPECT_EQ(item.GetActiveLookIndex(), 11) << "highlighted counts as under the pointer";
    (void)item.SetValue(0.0);
    EXPECT_EQ(item.GetActiveLookIndex(), 4) << "marked, hot";
    item.SetHighlighted(false);
    EXPECT_EQ(item.GetActiveLookIndex(), 3);

    item.SetEnabled(false);
    EXPECT_EQ(item.GetActiveLookIndex(), 6) << "disabled";
    (void)item.SetValue(1.0);
    EXPECT_EQ(item.GetActiveLookIndex(), 13) << "disabled and selected";
    main->SetEnabled(false);
    item.SetEnabled(true);
    EXPECT_EQ(item.GetActiveLookIndex(), 13) << "disabled with its parent";
}

TEST_F(ListBoxItemTest, ASeparatorEmptiesItsTextAndShowsTheSeparatorLookWhateverItsState)
{
    LListBoxItem& item = CreateRow("rowLooks");
    (void)item.SetText(L"Open");
    (void)item.SetValue(1.0);
    item.SetHighlighted(true);
    item.SetSeparator(true);
    EXPECT_TRUE(item.GetText().IsEmpty());
    EXPECT_EQ(item.GetActiveLookIndex(), 13);
    item.SetSeparator(false);
    EXPECT_TRUE(item.GetText().IsEmpty()) << "the list fills the text again, not the row";
    EXPECT_EQ(item.GetActiveLookIndex(), 8);
}

TEST_F(ListBoxItemTest, ASkinWithFewerLooksKeepsTheLookItHasForTheStatesItLacks)
{
    LListBoxItem& item = CreateRow("fewRowLooks");
    item.SetHighlighted(true);
    EXPECT_EQ(item.GetActiveLookIndex(), 1);
    (void)item.SetValue(1.0);
    EXPECT_EQ(item.GetActiveLookIndex(), 1) << "no look 8 to take";
}

TEST_F(ListBoxItemTest, APassThroughRowHandsItsPressToItsParentAtTheSamePlaceOfTheParent)
{
    LListBoxItem& item = CreateRow("rowLooks");
    auto& parent = static_cast<LPressRecorder&>(*main);
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    item.SetPassThrough(true);
    EXPECT_EQ(item.ProcessMouseDown(MouseButton::kLeft, 5, 3), 0);
    EXPECT_EQ(parent.presses, (std::vector<std::pair<std::int32_t, std::int32_t>>{{5, 45}}));
    EXPECT_EQ(harness.Window().GetCaptureControl(), main) << "the parent holds the press";
    (void)main->OnCaptureLost();

    item.SetPassThrough(false);
    EXPECT_EQ(item.ProcessMouseDown(MouseButton::kLeft, 5, 3), 0);
    EXPECT_EQ(parent.presses.size(), 1u);
    EXPECT_EQ(harness.Window().GetCaptureControl(), row);
}

TEST_F(ListBoxItemTest, ARowTakesNoFocusAndOffersItsTextAsItsTipWhileTheTextDoesNotFit)
{
    harness.LoadStrings(Testing::StringTable("Test.PressRecorder|row", {{"TOOLTIP", "Row tip"}}));
    LListBoxItem& item = CreateRow("rowLooks");
    EXPECT_FALSE(item.IsFocusable());
    // Drawing lays the label out.
    const auto layOut = [&item] { (void)item.GetLook(-1)->GetText()->GetLineCount(); };
    (void)item.SetText(L"Short");
    layOut();
    EXPECT_EQ(item.GetToolTipText(), L"Row tip");
    (void)item.SetText(L"A text far wider than the row can show");
    layOut();
    EXPECT_EQ(item.GetToolTipText(), L"A text far wider than the row can show");
}

}  // namespace
}  // namespace ZV
