#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/MultiColumnListBox.h"
#include "Utilities/Storage/WrapperStringable.h"
#include "support/ScopedMeasurementRenderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ZV;

constexpr int kColumns = 2;
constexpr int kFewRows = 3000;
constexpr int kManyRows = 30000;

// Measures as a font of fixed pitch does, 7 pixels a character, without the harness renderer's log of every call.
class LFixedPitchMeasurer : public LMeasurementRenderer {
public:
    ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>&, zlong& lineHeight, zlong& top, zlong& bottom) override
    {
        lineHeight = 14;
        top = -11;
        bottom = 3;
        return ZV_S_OK;
    }
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>&) override
    {
        return {0, -11, 7.0f * static_cast<float>(text.GetLength()), 14};
    }
};

// Tables of two columns 100 wide and 70 high, five rows in view, one per name given.
void LoadSkin(Testing::ControlHarness& harness, const std::vector<std::string>& tables)
{
    (void)RegisterFrameworkControlClasses(harness.Factory());
    const std::string row = Testing::SubControl("Framework.ListBoxItem", "templateItem",
                                                R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    std::string columns;
    for (int number = 1; number <= kColumns; ++number) {
        columns += Testing::SubControl("Framework.listboxNoScroll", "listboxNoScroll" + std::to_string(number),
                                       "XPositionAbs=\"" + std::to_string((number - 1) * 100) +
                                           R"(" XSizeAbs="100" YSizeAbs="70")",
                                       row);
    }
    std::string children;
    for (const std::string& name : tables) {
        children +=
            Testing::SubControl("Framework.listbox2ColumnSortable", name, R"(XSizeAbs="220" YSizeAbs="80")", columns);
    }
    harness.LoadSkin(Testing::SubControl("Test.Control", "main", R"(XSizeAbs="800" YSizeAbs="600")", children));
}

// The cells of a table, made once: a first column of names all eight letters long (texts of one width, where every
// row is as wide as the widest), and a second of numbers of one to six digits.
class TableCells {
public:
    explicit TableCells(int rows)
    {
        std::mt19937 random(20240611u + static_cast<unsigned>(rows));
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_int_distribution<int> number(1, 999999);
        for (int row = 0; row < rows; ++row) {
            std::wstring name(8, L' ');
            for (wchar_t& character : name) {
                character = static_cast<wchar_t>(letter(random));
            }
            mCells[0].push_back(LStringWrapper::Create(WideString(name.c_str())));
            mCells[1].push_back(LStringWrapper::Create(WideString::Format(L"%d", number(random))));
        }
    }

    // Gives every column of the table its cells, row by row, as a program filling it does.
    void Fill(LMultiColumnListBox& table) const
    {
        for (std::uint32_t column = 0; column < kColumns; ++column) {
            LListBox& list = *table.GetColumn(column);
            for (const RCPtr<LTaggableObject>& cell : mCells[column]) {
                (void)list.InsertRowWithData(list.GetRowCount(), cell);
            }
        }
    }

private:
    std::vector<RCPtr<LTaggableObject>> mCells[kColumns];
};

void Clear(LMultiColumnListBox& table)
{
    for (std::uint32_t column = 0; column < kColumns; ++column) {
        (void)table.GetColumn(column)->RemoveAllRows();
    }
}

// Sorts by one column and then by the other, so that every sort moves the rows anew.
class Sorter {
public:
    void SortOnce(LMultiColumnListBox& table)
    {
        table.PerformSort(mNextColumn);
        mNextColumn = (mNextColumn + 1) % kColumns;
    }

private:
    std::uint32_t mNextColumn = 0;
};

// A window holding the tables named, its texts measured by the fixed-pitch measurer.
class TableWindow {
public:
    explicit TableWindow(const std::vector<std::string>& tables) : mMeasurer(new LFixedPitchMeasurer())
    {
        LoadSkin(mHarness, tables);
        mMain = mHarness.CreateRoot(L"main");
    }
    TableWindow(const TableWindow&) = delete;
    TableWindow& operator=(const TableWindow&) = delete;
    ~TableWindow() { mHarness.Window().SetRootControl(nullptr); }

    LMultiColumnListBox& Table(const wchar_t* name) const
    {
        return dynamic_cast<LMultiColumnListBox&>(*mMain->FindChildByName(name));
    }

private:
    Testing::ControlHarness mHarness;
    Testing::ScopedMeasurementRenderer mMeasurer;
    RCPtr<LControl> mMain;
};

double SecondsOf(auto&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A header click's sort of a table of two columns, side by side with filling an empty table of the same cells. Both
// give every row its data; the fill measures each row, the sort moves the cells with their widths. A sort that
// scales stays within a few times the fill (ratio, sort / fill), one that measures the rows per row thousands of
// times it. The emptying before each fill is not timed.
void SortAgainstFillOfTheSameTable(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const TableCells cells(rows);
    TableWindow window({"sorted", "filled"});
    LMultiColumnListBox& sorted = window.Table(L"sorted");
    LMultiColumnListBox& filled = window.Table(L"filled");
    cells.Fill(sorted);
    Sorter sorter;
    double sortSeconds = 0;
    double fillSeconds = 0;
    bool sortFirst = true;
    for (auto _ : state) {
        Clear(filled);
        double sortRound = 0;
        if (sortFirst) {
            sortRound = SecondsOf([&] { sorter.SortOnce(sorted); });
            fillSeconds += SecondsOf([&] { cells.Fill(filled); });
        } else {
            fillSeconds += SecondsOf([&] { cells.Fill(filled); });
            sortRound = SecondsOf([&] { sorter.SortOnce(sorted); });
        }
        sortFirst = !sortFirst;
        sortSeconds += sortRound;
        state.SetIterationTime(sortRound);
    }
    const double cellsPerRound = static_cast<double>(state.iterations()) * rows * kColumns;
    state.counters["sort_ns_per_cell"] = sortSeconds * 1e9 / cellsPerRound;
    state.counters["fill_ns_per_cell"] = fillSeconds * 1e9 / cellsPerRound;
    state.counters["ratio"] = sortSeconds / fillSeconds;
    state.counters["rows"] = sorted.GetColumn(0)->GetRowCount();
}
BENCHMARK(SortAgainstFillOfTheSameTable)
    ->Arg(kFewRows)
    ->Arg(kManyRows)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The sort of a table of 30,000 rows side by side with the sort of one of 3,000: near 10 x log(30,000) / log(3,000),
// about 13, for a sort in n log n (ratio, many / few); far more for one that measures rows per row.
void SortOfThirtyThousandRowsAgainstThreeThousand(benchmark::State& state)
{
    const TableCells manyCells(kManyRows);
    const TableCells fewCells(kFewRows);
    TableWindow window({"many", "few"});
    LMultiColumnListBox& many = window.Table(L"many");
    LMultiColumnListBox& few = window.Table(L"few");
    manyCells.Fill(many);
    fewCells.Fill(few);
    Sorter manySorter;
    Sorter fewSorter;
    bench::RunRoundsSideBySide(
        state, 1, [&] { manySorter.SortOnce(many); }, [&] { fewSorter.SortOnce(few); });
}
BENCHMARK(SortOfThirtyThousandRowsAgainstThreeThousand)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
