#include "Controls/ControlsHarness.h"
#include "Controls/ListBoxTestSupport.h"
#include "Controls/ListTestSkin.h"
#include "Controls/MultiColumnListBox.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::LNotificationRecorder;
using Testing::Wearing;
using Texts = std::vector<std::wstring>;

constexpr zlong kRowHeight = 14;

// A table of two columns, each 100 wide and five rows high, under their header buttons, with the rows given.
class MultiColumnListBox : public ::testing::Test {
protected:
    LMultiColumnListBox& CreateTable(const std::vector<Texts>& columns)
    {
        const std::string rowTemplate = Wearing("Framework.ListBoxItem", "templateItem", "rowLooks",
                                                R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
        std::string children;
        for (const int number : {1, 2}) {
            const std::string x = "XPositionAbs=\"" + std::to_string((number - 1) * 100) + "\" ";
            children += Wearing("Framework.Button", "buttonColumnHeader" + std::to_string(number), "rowLooks",
                                x + R"(XSizeAbs="100" YSizeAbs="16")") +
                        Wearing("Framework.listboxNoScroll", "listboxNoScroll" + std::to_string(number), "listLooks",
                                x + R"(YPositionAbs="20" XSizeAbs="100" YSizeAbs="70")", rowTemplate);
        }
        harness.LoadSkinDocument(Testing::ListSkinDocument(
            Wearing("Test.Panel", "main", "listLooks", "",
                    Wearing("Framework.listbox2ColumnSortable", "table", "listLooks",
                            R"(XSizeAbs="220" YSizeAbs="100")", children))));
        main = harness.CreateRoot(L"main");
        auto& table = dynamic_cast<LMultiColumnListBox&>(*main->FindChildByName(L"table"));
        (void)table.SelectLook(0);
        for (std::uint32_t column = 0; column < columns.size(); ++column) {
            for (const std::wstring& text : columns[column]) {
                LListBox& list = *table.GetColumn(column);
                EXPECT_GE(list.InsertRowWithData(list.GetRowCount(), LStringWrapper::Create(text.c_str())), 0);
            }
        }
        return table;
    }

    static Texts Column(const LMultiColumnListBox& table, std::uint32_t column)
    {
        Texts texts;
        for (std::uint32_t row = 0; row < table.GetColumn(column)->GetRowCount(); ++row) {
            const WideString text = table.GetCellText(column, row);
            texts.emplace_back(text.GetData(), text.GetLength());
        }
        return texts;
    }

    static std::vector<std::uint32_t> Selected(const LMultiColumnListBox& table, std::uint32_t column)
    {
        const Array<std::uint32_t>& rows = table.GetColumn(column)->CollectSelectedRows();
        return std::vector<std::uint32_t>(rows.GetData(), rows.GetData() + rows.GetCount());
    }

    void ClickHeader(const LMultiColumnListBox& table, std::uint32_t number)
    {
        const RCPtr<LControl>& header = table.FindChildByName(WideString::Format(L"buttonColumnHeader%u", number));
        harness.PressAt(*header, {5, 5});
        harness.ReleaseAt(*header, {5, 5});
    }

    ControlsHarness harness;
    RCPtr<LControl> main;
};

TEST_F(MultiColumnListBox, AHeaderSortsTheRowsWithTheOtherColumnAndTheSelectionFollowingAndTheNextClickReverses)
{
    LMultiColumnListBox& table = CreateTable({{L"b", L"A", L"c"}, {L"2", L"1", L"3"}});
    const RCPtr<LNotificationRecorder> recorder = LNotificationRecorder::Create();
    recorder->Watch(&table, {L"NID_SELECTION_CHANGE"});

    // Row 0, "b", selected in the first column is selected in the second.
    EXPECT_EQ(table.GetColumn(0)->SelectRange(0, -1, true), 0);
    EXPECT_EQ(Selected(table, 1), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(recorder->CountOf(L"NID_SELECTION_CHANGE"), 1u);

    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 0), (Texts{L"A", L"b", L"c"}));
    EXPECT_EQ(Column(table, 1), (Texts{L"1", L"2", L"3"}));
    EXPECT_EQ(Selected(table, 0), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(Selected(table, 1), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(recorder->CountOf(L"NID_SELECTION_CHANGE"), 2u) << "one for the sort";

    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 0), (Texts{L"c", L"b", L"A"}));
    EXPECT_EQ(Column(table, 1), (Texts{L"3", L"2", L"1"}));
    EXPECT_EQ(Selected(table, 1), (std::vector<std::uint32_t>{1}));
}

TEST_F(MultiColumnListBox, TextsThatShareTheirFirstLettersSortByTheRestAndEqualTextsKeepTheirOrderEitherWay)
{
    LMultiColumnListBox& table =
        CreateTable({{L"abcdz", L"ABCDa", L"abcd", L"x", L"abcdz"}, {L"1", L"2", L"3", L"4", L"5"}});
    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 1), (Texts{L"3", L"2", L"1", L"5", L"4"}));
    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 1), (Texts{L"4", L"1", L"5", L"2", L"3"}));
}

TEST_F(MultiColumnListBox, ASortKeepsEveryCellOfAColumnShorterThanTheFirstGrowingItOnlyAsFarAsItsCellsGo)
{
    LMultiColumnListBox& table = CreateTable({{L"b", L"A", L"c"}, {L"2", L"1"}});
    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 0), (Texts{L"A", L"b", L"c"}));
    EXPECT_EQ(Column(table, 1), (Texts{L"1", L"2"})) << "its cells fit: no empty row appears";
    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 0), (Texts{L"c", L"b", L"A"}));
    EXPECT_EQ(Column(table, 1), (Texts{L"", L"2", L"1"})) << "the 1 of row A moved past the column's end";
}

TEST_F(MultiColumnListBox, AShorterColumnGrownForACellTakesTheEmptyCellsOfTheRowsPastItsOwnEnd)
{
    LMultiColumnListBox& table = CreateTable({{L"a", L"c", L"d", L"e", L"b"}, {L"1", L"2"}});
    ClickHeader(table, 1);
    EXPECT_EQ(Column(table, 0), (Texts{L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(Column(table, 1), (Texts{L"1", L"", L"2"})) << "row b's empty cell between them";
}

TEST_F(MultiColumnListBox, ASortMovesTheCellsWithTheirWidthsMeasuringNoneAndKeepsEachColumnsWidestRow)
{
    // The first column's texts all of one width, the second's of many, with one widest.
    constexpr int kRows = 300;
    Texts names;
    Texts numbers;
    for (int row = 0; row < kRows; ++row) {
        names.push_back(std::wstring(WideString::Format(L"n%03d", (row * 7) % kRows).GetData()));
        numbers.push_back(std::to_wstring(row * row));
    }
    LMultiColumnListBox& table = CreateTable({names, numbers});
    const std::int32_t firstWidest = table.GetColumn(0)->GetWidestRow();
    const std::int32_t secondWidest = table.GetColumn(1)->GetWidestRow();

    // At most the texts of the row controls that show rows: neither the cells, which keep their widths, nor every
    // row for each row.
    const std::size_t bound = 2 * table.GetColumn(0)->GetRowControlCount();
    EXPECT_LE(Testing::MeasurementsDuring(harness, [&] { ClickHeader(table, 1); }), bound);
    EXPECT_EQ(table.GetCellText(0, 0), WideString(L"n000"));
    EXPECT_EQ(table.GetCellText(1, 1), WideString(L"1849")) << "43 x 7 is 301";
    EXPECT_LE(Testing::MeasurementsDuring(harness, [&] { ClickHeader(table, 2); }), bound);
    EXPECT_EQ(table.GetCellText(1, 2), WideString(L"100")) << "by text";
    EXPECT_EQ(table.GetColumn(0)->GetWidestRow(), firstWidest);
    EXPECT_EQ(table.GetColumn(1)->GetWidestRow(), secondWidest);
}

TEST_F(MultiColumnListBox, APointerOverARowHighlightsItInEveryColumnAndScrollingTheFirstColumnScrollsAll)
{
    Texts many;
    for (int row = 0; row < 12; ++row) {
        many.push_back(std::to_wstring(row));
    }
    LMultiColumnListBox& table = CreateTable({many, many});
    const auto highlighted = [&](std::uint32_t column, std::uint32_t row) {
        return (table.GetColumn(column)->GetControlShowingRow(row)->GetConditions() & 0x1000) != 0;
    };
    harness.MoveTo(*table.GetColumn(0), {10, kRowHeight + 5});
    EXPECT_TRUE(highlighted(1, 1));
    EXPECT_FALSE(highlighted(1, 0));
    EXPECT_EQ(table.GetHoveredRow(), 1);
    harness.MoveAway();
    EXPECT_FALSE(highlighted(1, 1));
    EXPECT_EQ(table.GetHoveredRow(), -1);

    (void)table.GetColumn(0)->ScrollTo({0, 2.0 * kRowHeight});
    EXPECT_EQ(table.GetColumn(1)->GetTopRow(), 2);
    EXPECT_EQ(table.GetScrollOffset().y, 2.0 * kRowHeight);
    EXPECT_EQ(table.GetClientExtent().y, 12.0 * kRowHeight);
}

TEST_F(MultiColumnListBox, ColumnsScrolledToTheEndKeepOneTopRowWhileOneLosesOrGainsRowsAndTheTableKeepsToItsRows)
{
    Texts many;
    for (int row = 0; row < 40; ++row) {
        many.push_back(std::to_wstring(row));
    }
    LMultiColumnListBox& table = CreateTable({many, many});
    LListBox& first = *table.GetColumn(0);
    LListBox& second = *table.GetColumn(1);
    (void)table.ScrollTo({0, 35.0 * kRowHeight});
    ASSERT_EQ(first.GetTopRow(), 35);
    ASSERT_EQ(second.GetTopRow(), 35);

    ASSERT_EQ(second.SetRowCount(20), 20);
    EXPECT_EQ(first.GetTopRow(), 35);
    EXPECT_EQ(second.GetTopRow(), 35) << "row r of the table is row r of every column";
    ASSERT_GE(second.InsertRowWithData(20, LStringWrapper::Create(L"20")), 0);
    EXPECT_EQ(second.GetTopRow(), 35);

    // The first column's rows are the table's: cut, they bring the whole table back to them.
    ASSERT_EQ(first.SetRowCount(10), 10);
    EXPECT_EQ(first.GetTopRow(), 5);
    EXPECT_EQ(second.GetTopRow(), 5);
    EXPECT_EQ(table.GetScrollOffset().y, 5.0 * kRowHeight);
}

TEST_F(MultiColumnListBox, ATableDisabledBeforeAnyOtherChangeShowsItsColumnsDisabled)
{
    LMultiColumnListBox& table = CreateTable({{L"a"}, {L"1"}});
    table.SetEnabled(false);
    EXPECT_EQ(table.GetColumn(0)->GetActiveLookIndex(), 1);
    EXPECT_EQ(table.GetColumn(1)->GetActiveLookIndex(), 1);
}

}  // namespace
}  // namespace ZV
