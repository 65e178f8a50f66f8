#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/ListBoxParams.h"
#include "Controls/ListBoxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::KeyRouter;
using Testing::ListBoxFixture;
using Testing::LNotificationSpy;
using Rows = std::vector<std::uint32_t>;
using Lines = std::vector<std::string>;

constexpr std::uint32_t kCtrl = ModifierMask::kControl;
constexpr std::uint32_t kShift = ModifierMask::kShift;
constexpr std::uint8_t kUpKey = 0x26;
constexpr std::uint8_t kDownKey = 0x28;
constexpr std::uint8_t kReturnKey = 0x0D;

class ListBoxSelection : public ListBoxFixture {
protected:
    LListBox& CreateListOfRows(int rows)
    {
        LListBox& box = CreateList();
        AddNumberedRows(box, rows);
        spy->Watch(list, {L"NID_SELECTION_CHANGE", L"NID_ITEM_ACTIVATED", L"NID_ITEM_DOUBLE_CLICKED"});
        return box;
    }

    // The selection, the anchor and the caret, and how many selection notifications went out since the last look.
    struct State {
        Rows selected;
        std::int32_t anchor;
        std::int32_t caret;
        std::size_t notifications;
        bool operator==(const State&) const = default;
        friend void PrintTo(const State& state, std::ostream* out)
        {
            *out << "selected {";
            for (const std::uint32_t row : state.selected) {
                *out << " " << row;
            }
            *out << " }, anchor " << state.anchor << ", caret " << state.caret << ", " << state.notifications
                 << " notifications";
        }
    };
    State StateOf(LListBox& box)
    {
        return {Selected(box), box.GetAnchorRow(), box.GetCaretRow(), spy->TakeLines().size()};
    }

    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
};

TEST_F(ListBoxSelection, ClicksWithShiftAndCtrlExtendAndToggleTheSelection)
{
    LListBox& box = CreateListOfRows(20);
    box.SetMultiSelect(true, 1);
    ClickControl(2);
    EXPECT_EQ(StateOf(box), (State{{2}, 2, 2, 1}));
    ClickControl(5, kShift);
    EXPECT_EQ(StateOf(box), (State{{2, 3, 4, 5}, 2, 5, 1})) << "Shift: from the anchor";
    ClickControl(3, kCtrl);
    EXPECT_EQ(StateOf(box), (State{{2, 4, 5}, 2, 5, 1})) << "Ctrl: one row out";
    ClickControl(3, kCtrl);
    EXPECT_EQ(StateOf(box), (State{{2, 3, 4, 5}, 3, 3, 1})) << "Ctrl: and in again, where the caret goes";
    ClickControl(7, kCtrl | kShift);
    EXPECT_EQ(StateOf(box), (State{{2, 3, 4, 5, 7}, 7, 7, 1})) << "Ctrl+Shift: added, a new anchor";
    ClickControl(1, kShift);
    EXPECT_EQ(StateOf(box), (State{{1, 2, 3, 4, 5, 6, 7}, 7, 1, 1})) << "Shift: the range from the new anchor";
    ClickControl(4);
    EXPECT_EQ(StateOf(box), (State{{4}, 4, 4, 1}));
    ClickControl(4);
    EXPECT_EQ(StateOf(box), (State{{4}, 4, 4, 0})) << "the only selected row again: nothing changes";
}

TEST_F(ListBoxSelection, ASingleSelectionListKeepsOneRowAndAToggleListFlipsEachClickedRow)
{
    LListBox& box = CreateListOfRows(20);
    ClickControl(1);
    ClickControl(3, kCtrl | kShift);
    EXPECT_EQ(StateOf(box), (State{{3}, 3, 3, 2}));

    box.SetMultiSelect(true, 0);
    ClickControl(5);
    ClickControl(1);
    EXPECT_EQ(StateOf(box), (State{{1, 3, 5}, 1, 1, 2}));
    ClickControl(3);
    EXPECT_EQ(StateOf(box), (State{{1, 5}, 1, 1, 1}));
}

TEST_F(ListBoxSelection, AShiftClickWithoutAnchorStartsTheRangeAtTheClickedRow)
{
    LListBox& box = CreateListOfRows(20);
    box.SetMultiSelect(true, 1);
    ClickControl(6, kShift);
    EXPECT_EQ(StateOf(box), (State{{6}, 6, 6, 1}));
}

TEST_F(ListBoxSelection, DeselectingMovesTheCaretToASelectedNeighbourAndTheLastOneClearsAnchorAndCaret)
{
    LListBox& box = CreateListOfRows(20);
    box.SetMultiSelect(true, 1);
    ASSERT_EQ(box.SelectRange(3, 5, true), 3);
    EXPECT_EQ(box.DeselectRow(5), 0);
    EXPECT_EQ(StateOf(box), (State{{3, 4}, 3, 4, 2}));
    EXPECT_EQ(box.DeselectRow(5), 1) << "not selected";
    EXPECT_EQ(box.DeselectRow(3), 0);
    EXPECT_EQ(StateOf(box), (State{{4}, 4, 4, 1})) << "the anchor moves on to the next selected row";
    EXPECT_EQ(box.DeselectRow(4), 0);
    EXPECT_EQ(StateOf(box), (State{{}, -1, -1, 1}));
}

TEST_F(ListBoxSelection, ARangeThatEndsPastTheRowsIsRefusedAndChangesNothing)
{
    LListBox& box = CreateListOfRows(5);
    ASSERT_EQ(box.SelectRange(1, -1, true), 1);
    EXPECT_EQ(box.SelectRange(2, 5, true), ZV_E_INVALIDARG);
    EXPECT_EQ(box.SelectRange(5, 2, true), ZV_E_INVALIDARG);
    EXPECT_EQ(StateOf(box), (State{{1}, 1, 1, 1}));
}

TEST_F(ListBoxSelection, ArrowKeysMoveTheCaretShiftExtendsAndReturnActivates)
{
    LListBox& box = CreateListOfRows(20);
    box.SetMultiSelect(true, 1);
    KeyRouter& keys = harness.Keys();
    ClickControl(8);
    (void)StateOf(box);
    keys.Press(kDownKey);
    EXPECT_EQ(StateOf(box), (State{{9}, 9, 9, 1}));
    keys.Press(kDownKey);
    EXPECT_EQ(StateOf(box), (State{{10}, 10, 10, 1}));
    EXPECT_EQ(box.GetTopRow(), 1) << "the caret scrolled into view";
    keys.Press(kDownKey, kShift);
    keys.Press(kDownKey, kShift);
    EXPECT_EQ(StateOf(box), (State{{10, 11, 12}, 10, 12, 2}));
    keys.Press(kUpKey);
    EXPECT_EQ(StateOf(box), (State{{11}, 11, 11, 1}));
    keys.Press(kReturnKey);
    EXPECT_EQ(spy->TakeLines(), (Lines{"list NID_ITEM_ACTIVATED"}));

    ASSERT_EQ(box.SelectRange(0, -1, true), 0);
    (void)StateOf(box);
    keys.Press(kUpKey);
    EXPECT_EQ(StateOf(box), (State{{0}, 0, 0, 0})) << "nothing above the first row";
    ASSERT_EQ(box.SelectRange(19, -1, true), 19);
    (void)StateOf(box);
    keys.Press(kDownKey);
    EXPECT_EQ(StateOf(box), (State{{19}, 19, 19, 0})) << "nothing below the last";
}

TEST_F(ListBoxSelection, ADoubleClickOnARowIsReportedAfterItsSelection)
{
    CreateListOfRows(5);
    const PointT<zlong> point{10, 14 + 5};
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    harness.Mouse().RouteMouseButton(IRootWindowTarget::kDoubleClick, MouseButton::kLeft, 0, point);
    EXPECT_EQ(spy->TakeLines(), (Lines{"list NID_SELECTION_CHANGE", "list NID_ITEM_DOUBLE_CLICKED"}));
}

TEST_F(ListBoxSelection, TrackingItemsHoveringSelectsSilentlyAndAReleaseActivatesAndHidesTheList)
{
    LListBox& box = CreateList();
    ASSERT_EQ(box.SetTrackItems(true), 0);
    AddNumberedRows(box, 6);
    EXPECT_EQ(box.GetSize().y, 6.0 * 14) << "the list fits its rows";
    spy->Watch(list, {L"NID_SELECTION_CHANGE", L"NID_ITEM_ACTIVATED", L"NID_ITEM_HOVER_CONDITION_CHANGE"});
    spy->OnEach(L"NID_ITEM_HOVER_CONDITION_CHANGE", [](const LNotification& notification) {
        const auto* row = dynamic_cast<const LItemConditionsParam*>(notification.GetParameter().Get());
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->GetRow() >= 0 && row->GetRow() < 6);
    });

    harness.Mouse().Move({10, 3 * 14 + 5});
    EXPECT_EQ(Selected(box), (Rows{3}));
    harness.Mouse().Move({10, 1 * 14 + 5});
    EXPECT_EQ(Selected(box), (Rows{1}));
    for (const std::string& line : spy->TakeLines()) {
        EXPECT_EQ(line.find("NID_SELECTION_CHANGE"), std::string::npos) << line;
    }

    harness.Mouse().Press(MouseButton::kLeft, {10, 1 * 14 + 5});
    EXPECT_EQ(harness.Window().GetCaptureControl(), list) << "the row passed its press to the list";
    harness.Mouse().Move({10, 4 * 14 + 5});
    EXPECT_EQ(Selected(box), (Rows{4})) << "dragging over the rows";
    harness.Mouse().Release(MouseButton::kLeft, {10, 4 * 14 + 5});
    Lines lines = spy->TakeLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "list NID_ITEM_ACTIVATED"), lines.end());
    EXPECT_FALSE(box.IsVisible(false)) << "an activation hides the list";
}

TEST_F(ListBoxSelection, TheSelectionChangesOnlyThroughRealChangesOfTheRows)
{
    LListBox& box = CreateListOfRows(6);
    box.SetRow(2, LStringWrapper::Create(L"picked"), 1.0, true, false);
    EXPECT_EQ(box.GetSelectedCount(), 1);
    EXPECT_TRUE(box.IsRowMarked(2));
    EXPECT_EQ(box.GetRowControl(2)->GetActiveLookIndex(), 10) << "selected and marked";
    EXPECT_EQ(Shown(box)[2], L"picked");
    ASSERT_EQ(box.SelectRange(2, -1, true), 2);
    EXPECT_EQ(StateOf(box), (State{{2}, -1, -1, 0})) << "the only selected row already";
    box.SetRow(2, nullptr, 0.0, false, true);
    EXPECT_EQ(box.GetSelectedCount(), 0);
    EXPECT_EQ(box.GetRowControl(2)->GetActiveLookIndex(), 13) << "a separator";
    EXPECT_EQ(box.SelectRowByText(L"ROW 4", 4, false), 4) << "round to the rows up to the start";
    EXPECT_EQ(box.SelectRowByText(L"ROW 4", 4, true), -1);
}

}  // namespace
}  // namespace ZV
