#include "ControlBase/FontText.h"
#include "ControlBase/Harness/WindowPaint.h"
#include "ControlBase/Look.h"
#include "ControlBase/MenuDescriptor.h"
#include "Controls/EditingKeys.h"
#include "Controls/TextBoxFixture.h"
#include "Renderer/RectList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::TextBoxFixture;

// The look's region as rectangles "left,top,right,bottom".
std::vector<std::string> RegionOf(const LTextBox& box, std::int32_t look)
{
    std::vector<std::string> rects;
    for (const RectNode* node = box.GetLook(look)->GetRegion().GetHead(); node != nullptr; node = node->next) {
        rects.push_back(std::to_string(node->left) + "," + std::to_string(node->top) + "," +
                        std::to_string(node->right) + "," + std::to_string(node->bottom));
    }
    return rects;
}

// The looks drawn, by their weights.
std::vector<std::uint32_t> WeightedLooks(const LTextBox& box)
{
    std::vector<std::uint32_t> looks;
    for (std::uint32_t index = 0; index < box.GetLookCount(); ++index) {
        if (box.GetLookWeight(index) > 0) {
            looks.push_back(index);
        }
    }
    return looks;
}

// The caret lines drawn since the renderer's log was emptied.
std::vector<std::string> CaretLines(Testing::ControlHarness& harness)
{
    Testing::PaintWindow(harness);
    std::vector<std::string> lines;
    for (const std::string& operation : harness.Renderer().GetOperations()) {
        if (operation.rfind("DrawLine", 0) == 0) {
            lines.push_back(operation);
        }
    }
    harness.Renderer().ClearCalls();
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

class TextBoxWithStrings : public TextBoxFixture {
protected:
    TextBoxWithStrings()
        : TextBoxFixture(Testing::StringTable("Test.Control|box", {{"LABEL", "Name"}}) +
                         Testing::StringTable("Framework", {{"EDIT_CUT", "Cut"}, {"EDIT_COPY", "Copy"},
                                                            {"EDIT_PASTE", "Paste"}}))
    {
    }
};

TEST_F(TextBoxWithStrings, TheLabelIsACueShownByItsLooksWhileTheBoxIsEmptyAndUnfocused)
{
    EXPECT_EQ(mBox->GetText(), WideString(L"")) << "the label is no text";
    EXPECT_EQ(mBox->GetCueText(), WideString(L"Name"));
    EXPECT_EQ(WeightedLooks(*mBox), (std::vector<std::uint32_t>{2, 9}));
    EXPECT_EQ(RegionOf(*mBox, 9), std::vector<std::string>{"4,4,32,20"}) << "the cue's width at the text's corner";
    EXPECT_FALSE(RegionOf(*mBox, 2).empty());
    EXPECT_EQ(mBox->GetLook(9)->GetText()->GetText(), WideString(L"Name"));

    ASSERT_GE(mBox->SetFocus(true), 0);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{3});
    EXPECT_TRUE(RegionOf(*mBox, 9).empty());
    Type(L"x");
    EXPECT_EQ(mBox->GetLook(9)->GetText()->GetText(), WideString(L"Name")) << "the cue look keeps the cue";
    ASSERT_GE(mMain->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{0}) << "a text shows";
}

TEST_F(TextBoxWithStrings, TheEditMenuTakesItsLabelsFromTheFrameworkStrings)
{
    const RCPtr<LMenuDescriptor> menu = mBox->GetContextMenuDescriptor();
    ASSERT_TRUE(menu);
    std::vector<std::string> items;
    for (std::uint32_t index = 0; index < menu->GetItems().GetCount(); ++index) {
        const RCPtr<LMenuItemDescriptor>& item = menu->GetItems().GetData()[index];
        items.push_back(std::string(item->GetLabel().ToUTF8().GetData()) + " " +
                        item->GetNotificationId().ToUTF8().GetData());
    }
    EXPECT_EQ(items, (std::vector<std::string>{"Cut NID_EDIT_CUT_REQ", "Copy NID_EDIT_COPY_REQ",
                                               "Paste NID_EDIT_PASTE_REQ", " NID_EDIT_DELETE_REQ"}));
}

TEST_F(TextBoxFixture, TheSelectionLookCoversTheSelectedCharactersAndHoverAndDisablingChooseTheirLooks)
{
    ASSERT_EQ(mBox->SetText(WideString(L"abcdef")), 0);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{0});
    mBox->SelectRange(1, 2);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{0}) << "only a focused box shows its selection";
    ASSERT_GE(mBox->SetFocus(true), 0);
    EXPECT_EQ(WeightedLooks(*mBox), (std::vector<std::uint32_t>{3, 10}));
    EXPECT_EQ(RegionOf(*mBox, 10), std::vector<std::string>{"11,4,24,20"});
    mMouse.Move({50, 15});
    EXPECT_EQ(WeightedLooks(*mBox), (std::vector<std::uint32_t>{4, 11})) << "hot";
    ASSERT_FALSE(mHarness.Window().GetCursorsShown().empty());
    EXPECT_EQ(mHarness.Window().GetCursorsShown().back(), mHarness.Window().GetNamedCursor(L"UI_CURSOR_IBEAM"));
    mMouse.Move({50, 60});
    mBox->ClearSelection();
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{3});
    mBox->SetEnabled(false);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{6});
}

TEST_F(TextBoxFixture, ABoxDisabledBeforeAnyOtherChangeOfItsStateShowsItsDisabledLook)
{
    mBox->SetEnabled(false);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{6});
    mBox->SetEnabled(true);
    EXPECT_EQ(WeightedLooks(*mBox), std::vector<std::uint32_t>{0});
}

TEST_F(TextBoxFixture, TheCaretShowsHalfASecondHidesForThreeTenthsAndStartsAgainWhereverItMoves)
{
    ASSERT_EQ(mBox->SetText(WideString(L"abc")), 0);
    EXPECT_TRUE(CaretLines(mHarness).empty()) << "no caret without the focus";
    ASSERT_GE(mBox->SetFocus(true), 0);
    EXPECT_EQ(mBox->GetIdleSubscriberCount(), 1);
    mKeys.Press(kKeyEnd);
    EXPECT_EQ(CaretLines(mHarness), std::vector<std::string>{"DrawLine 24,4 24,20 #FF000000 width 1"});
    mHarness.AdvanceTime(499);
    mHarness.PumpIdle();
    EXPECT_TRUE(mBox->IsCaretShown());
    mHarness.AdvanceTime(1);
    mHarness.PumpIdle();
    EXPECT_FALSE(mBox->IsCaretShown());
    EXPECT_TRUE(CaretLines(mHarness).empty());
    mHarness.AdvanceTime(300);
    mHarness.PumpIdle();
    EXPECT_TRUE(mBox->IsCaretShown());
    mHarness.AdvanceTime(500);
    mHarness.PumpIdle();
    mKeys.Press(kKeyLeft);
    EXPECT_TRUE(mBox->IsCaretShown()) << "a move shows it at once";
    EXPECT_EQ(CaretLines(mHarness), std::vector<std::string>{"DrawLine 17,4 17,20 #FF000000 width 1"});

    ASSERT_GE(mMain->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_FALSE(mBox->IsCaretShown());
    EXPECT_EQ(mBox->GetIdleSubscriberCount(), 0);
}

TEST_F(TextBoxFixture, ALongTextScrollsToKeepTheCaretInSightAndGoesBackToItsStartWhenTheFocusLeaves)
{
    ASSERT_GE(mBox->SetFocus(true), 0);
    Type(L"abcdefghijklmnopqrst");
    // Twenty characters take 140 pixels of a room of 92: the caret stays 3 pixels inside its right edge.
    EXPECT_EQ(mBox->GetScrollOffset().x, 51);
    mKeys.Press(kKeyHome);
    EXPECT_EQ(mBox->GetScrollOffset().x, 0);
    mKeys.Press(kKeyEnd);
    EXPECT_EQ(mBox->GetScrollOffset().x, 51);
    mKeys.Press(kKeyBackspace);
    mKeys.Press(kKeyBackspace);
    EXPECT_EQ(mBox->GetScrollOffset().x, 37) << "no room left empty at the right while text is hidden at the left";
    mBox->SelectRange(0, -1);
    mKeys.Press(kKeyDelete);
    EXPECT_EQ(mBox->GetScrollOffset().x, 0);
    Type(L"abcdefghijklmnopqrst");
    EXPECT_EQ(mBox->GetToolTipText(), mBox->GetText()) << "a clipped text is its own tool tip";
    mBox->SetMultiLine(true);
    EXPECT_EQ(mBox->GetToolTipText(), WideString(L""));
    ASSERT_GE(mMain->FindChildByName(L"other")->SetFocus(true), 0);
    EXPECT_EQ(mBox->GetScrollOffset().x, 0);
}

TEST_F(TextBoxFixture, DraggingPastTheEdgeScrollsOnIdlePassesAndTheSelectionFollowsUntilTheRelease)
{
    ASSERT_EQ(mBox->SetText(WideString(L"abcdefghijklmnopqrst")), 0);
    mHarness.Window().SetMouseButtonState(MouseButton::kLeft);
    mMouse.RouteMouseButton(IRootWindowTarget::kPress, MouseButton::kLeft, 0, {BoundaryX(2), 20});
    mMouse.Move({140, 20});
    EXPECT_TRUE(mBox->IsKineticScrollRunning(0));
    EXPECT_EQ(Selected(), L"cdefghijklm") << "up to the room's edge";
    for (int pass = 0; pass < 3; ++pass) {
        mHarness.AdvanceTime(100);
        mHarness.PumpIdle();
    }
    EXPECT_GT(mBox->GetScrollOffset().x, 0);
    EXPECT_GT(mBox->GetSelectionLength(), 11) << "the text moved under the pointer";
    for (int pass = 0; pass < 20; ++pass) {
        mHarness.AdvanceTime(100);
        mHarness.PumpIdle();
    }
    EXPECT_EQ(mBox->GetScrollOffset().x, 51) << "as far as the text goes";
    EXPECT_FALSE(mBox->IsKineticScrollRunning(0));
    EXPECT_EQ(Selected(), L"cdefghijklmnopqrst");
    mMouse.Move({50, 20});
    mMouse.Move({12, 20});
    EXPECT_TRUE(mBox->IsKineticScrollRunning(0)) << "back towards the start";
    mHarness.Window().SetMouseButtonState(0);
    mMouse.RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, 0, {12, 20});
    EXPECT_FALSE(mBox->IsKineticScrollRunning(0));
}

}  // namespace
}  // namespace ZV
