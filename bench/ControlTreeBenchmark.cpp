// A control tree of 501 controls laid out by relative rules: hit testing it, laying it out again after the window
// is resized, and repainting one invalidated control, each beside a baseline that does the least the same answer
// needs; and the relayout of a tree ten times as large beside it, which shows whether the cost grows faster than the
// tree.
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/PaintedControl.h"
#include "ControlBase/Harness/WindowPaint.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace ZV;
using Testing::ControlHarness;
using Testing::LPaintedControl;

constexpr int kColumns = 20;
constexpr int kRows = 24;
constexpr zlong kWidth = 1000;
constexpr zlong kHeight = 800;

std::string Number(double value)
{
    return std::to_string(value);
}

// Columns across the window, each of 24 rows down its height; every rule is relative, so that a resize moves every
// control.
std::string TreeSkin(int columnCount)
{
    std::string columns;
    for (int column = 0; column < columnCount; ++column) {
        std::string rows;
        for (int row = 0; row < kRows; ++row) {
            rows += Testing::SubControl("Test.Painted", "cell" + std::to_string(row),
                                        "YPositionRel=\"" + Number(static_cast<double>(row) / kRows) +
                                            "\" YSizeToControl=\"Client\" YSizeRel=\"" +
                                            Number(static_cast<double>(row + 1) / kRows) +
                                            "\" YSizeAbs=\"0\" XSizeToControl=\"Client\" XSizeRel=\"1\" " +
                                            "XSizeAbs=\"0\" LayoutOrder=\"" + std::to_string(row) + "\"");
        }
        columns += Testing::SubControl(
            "Test.Painted", "column" + std::to_string(column),
            "XPositionRel=\"" + Number(static_cast<double>(column) / columnCount) + "\" XSizeToControl=\"Client\" " +
                "XSizeRel=\"" + Number(static_cast<double>(column + 1) / columnCount) + "\" XSizeAbs=\"0\" " +
                "YSizeToControl=\"Client\" YSizeRel=\"1\" YSizeAbs=\"0\" LayoutOrder=\"" + std::to_string(column) +
                "\"",
            rows, {{"LOOKS", "1 1 1 1 1"}});
    }
    return Testing::SubControl("Test.Painted", "main", "", columns);
}

struct Tree {
    ControlHarness harness;
    RCPtr<LControl> root;

    explicit Tree(int columns = kColumns)
    {
        harness.Register<LPaintedControl>(L"Test.Painted");
        harness.LoadSkin(TreeSkin(columns));
        harness.Window().SetClientArea({0, 0, kWidth, kHeight});
        harness.Window().HitTestThroughRootControl();
        root = harness.CreateRoot(L"main");
    }
};

// Points spread over the window, the same for both sides.
std::vector<PointT<zlong>> Points()
{
    std::vector<PointT<zlong>> points;
    for (int i = 0; i < 997; ++i) {
        points.emplace_back(static_cast<zlong>((i * 7919) % kWidth), static_cast<zlong>((i * 104729) % kHeight));
    }
    return points;
}

// The rectangles the tree's cells have on the screen, in the order a scan from the top would meet them.
std::vector<RectT<double>> CellRects(const RCPtr<LControl>& root)
{
    std::vector<RectT<double>> rects;
    for (std::uint32_t c = 0; c < root->GetChildren().GetCount(); ++c) {
        const RCPtr<LControl>& column = root->GetChildren().GetAt(c, LControl::kInsertionOrder);
        for (std::uint32_t r = 0; r < column->GetChildren().GetCount(); ++r) {
            const RCPtr<LControl>& cell = column->GetChildren().GetAt(r, LControl::kInsertionOrder);
            const PointT<double> origin = cell->GetAbsoluteOrigin();
            rects.emplace_back(origin.x, origin.y, cell->GetSize().x, cell->GetSize().y);
        }
    }
    return rects;
}

void BM_HitTestOfFiveHundredControls(benchmark::State& state)
{
    Tree tree;
    const std::vector<PointT<zlong>> points = Points();
    const std::vector<RectT<double>> cells = CellRects(tree.root);
    std::size_t ours = 0;
    std::size_t baseline = 0;
    int found = 0;
    bench::RunSideBySide(
        state,
        [&] {
            PointT<zlong> local;
            const PointT<zlong>& point = points[ours++ % points.size()];
            found += tree.harness.Window().HitTest(point, local, false) ? 1 : 0;
        },
        [&] {
            // A scan of the cells' rectangles from the topmost.
            const PointT<zlong>& point = points[baseline++ % points.size()];
            for (std::size_t i = cells.size(); i-- > 0;) {
                const RectT<double>& cell = cells[i];
                if (point.x >= cell.x && point.y >= cell.y && point.x < cell.x + cell.width &&
                    point.y < cell.y + cell.height) {
                    ++found;
                    break;
                }
            }
        });
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_HitTestOfFiveHundredControls);

void BM_RelayoutOfFiveHundredControlsAfterAResize(benchmark::State& state)
{
    Tree tree;
    bool wider = false;
    std::vector<RectT<double>> rects(kColumns * (kRows + 1));
    bench::RunSideBySide(
        state,
        [&] {
            wider = !wider;
            tree.harness.Window().Resize(wider ? kWidth + 1 : kWidth, wider ? kHeight + 1 : kHeight);
            // What a resize makes the window paint is not the layout's cost.
            (void)tree.harness.Window().TakeDirtyRects();
        },
        [&] {
            // The same rectangles from the same relative rules, computed in one pass with no tree.
            wider = !wider;
            const double width = wider ? kWidth + 1 : kWidth;
            const double height = wider ? kHeight + 1 : kHeight;
            std::size_t index = 0;
            for (int column = 0; column < kColumns; ++column) {
                const double left = std::round(width * column / kColumns);
                const double right = std::round(width * (column + 1) / kColumns);
                rects[index++] = {left, 0, right - left, height};
                for (int row = 0; row < kRows; ++row) {
                    const double top = std::round((height - 2) * row / kRows);
                    const double bottom = std::round((height - 2) * (row + 1) / kRows);
                    rects[index++] = {0, top, right - left - 2, bottom - top};
                }
            }
            benchmark::DoNotOptimize(rects.data());
        });
}
BENCHMARK(BM_RelayoutOfFiveHundredControlsAfterAResize);

// The tree with ten times the columns (5,001 controls) against the tree of 501, each resized in turn: the ratio is
// near 10 when the relayout grows with the tree and no faster.
void BM_RelayoutOfFiveThousandControlsAgainstFiveHundred(benchmark::State& state)
{
    Tree large(kColumns * 10);
    Tree small;
    bool largeWider = false;
    bool smallWider = false;
    const auto resize = [](Tree& tree, bool& wider) {
        wider = !wider;
        tree.harness.Window().Resize(wider ? kWidth + 1 : kWidth, wider ? kHeight + 1 : kHeight);
        (void)tree.harness.Window().TakeDirtyRects();
    };
    bench::RunSideBySide(state, [&] { resize(large, largeWider); }, [&] { resize(small, smallWider); });
}
BENCHMARK(BM_RelayoutOfFiveThousandControlsAgainstFiveHundred);

void BM_RepaintOfOneInvalidatedControl(benchmark::State& state)
{
    Tree tree;
    Testing::LRecordingRenderer& renderer = tree.harness.Renderer();
    const RCPtr<LControl> cell = tree.root->FindChildByName(L"column7")->FindChildByName(L"cell11");
    (void)Testing::PaintWindow(tree.harness);
    std::size_t oneDraws = 0;
    std::size_t fullDraws = 0;
    bench::RunSideBySide(
        state,
        [&] {
            renderer.ClearCalls();
            (void)cell->InvalidateRect({0, 0, cell->GetSize().x, cell->GetSize().y}, true);
            (void)Testing::PaintWindow(tree.harness);
            oneDraws = Testing::DrawsOf(renderer).size();
        },
        [&] {
            // The whole window painted again.
            renderer.ClearCalls();
            tree.harness.Window().InvalidateRect({0, 0, kWidth, kHeight});
            (void)Testing::PaintWindow(tree.harness);
            fullDraws = Testing::DrawsOf(renderer).size();
        });
    // The root's, the column's and the cell's own layers: three controls of three layers each.
    state.counters["draws"] = static_cast<double>(oneDraws);
    state.counters["full_draws"] = static_cast<double>(fullDraws);
}
BENCHMARK(BM_RepaintOfOneInvalidatedControl);

}  // namespace
