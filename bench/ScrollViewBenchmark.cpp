#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/ScrollView.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ZV;

constexpr int kRows = 200;
constexpr double kRowHeight = 20;

// A view of 200 x 400 holding 200 rows of 20 pixels and a vertical bar, and the same rows in a plain control.
std::string ViewSkin()
{
    std::string rows;
    for (int row = 0; row < kRows; ++row) {
        rows += Testing::SubControl("Test.Control", "row" + std::to_string(row),
                                    "XSizeAbs=\"180\" YSizeAbs=\"20\" YPositionAbs=\"" +
                                        std::to_string(row * kRowHeight) + "\"");
    }
    const std::string bar = Testing::SubControl(
        "Framework.ScrollBar", "vBar",
        R"(XIsDocked="True" YIsDocked="True" XPositionToControl="Parent" XPositionRel="1" XPlacementAnchor="1" )"
        R"(XSizeAbs="20" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")",
        Testing::SubControl("Framework.ScrollChannel", "channel",
                            R"(XSizeAbs="20" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")",
                            Testing::SubControl("Test.Control", "thumb", R"(XSizeAbs="20" YSizeAbs="20")")));
    const std::string size = R"(XSizeAbs="200" YSizeAbs="400")";
    return Testing::SubControl(
        "Test.Control", "main", "",
        Testing::SubControl("Framework.Panel", "view", size, rows + bar,
                            {{"AUTO_CLIENT_EXTENT_X", "true"}, {"AUTO_CLIENT_EXTENT_Y", "true"}}) +
            Testing::SubControl("Test.Control", "plain", size, rows));
}

// Scrolling a view by a row, its bar following, side by side with scrolling the plain control the same way: the
// ratio is what keeping the bar in step adds to moving the rows.
void ScrollingAViewAgainstAPlainControl(benchmark::State& state)
{
    Testing::ControlHarness harness;
    (void)RegisterFrameworkControlClasses(harness.Factory());
    harness.LoadSkin(ViewSkin());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> view = main->FindChildByName(L"view");
    const RCPtr<LControl> plain = main->FindChildByName(L"plain");
    const double overhang = kRows * kRowHeight - 400;
    const auto scrollOn = [overhang](LControl& control) {
        const double next = control.GetScrollOffset().y + kRowHeight;
        benchmark::DoNotOptimize(control.ScrollTo({0, next > overhang ? 0 : next}));
    };
    bench::RunSideBySide(state, [&] { scrollOn(*view); }, [&] { scrollOn(*plain); });
    state.counters["rows"] = kRows;
}

// A row that grows, so that the view measures its content again and refits its bar, side by side with the same row
// growing in the plain control.
void GrowingContentAgainstAPlainControl(benchmark::State& state)
{
    Testing::ControlHarness harness;
    (void)RegisterFrameworkControlClasses(harness.Factory());
    harness.LoadSkin(ViewSkin());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> viewRow = main->FindChildByName(L"view")->FindChildByName(L"row199");
    const RCPtr<LControl> plainRow = main->FindChildByName(L"plain")->FindChildByName(L"row199");
    const auto grow = [](LControl& row) {
        const LLayoutDescriptor& layout = *row.GetLayoutDescriptor();
        SizeRule size = layout.ySize;
        size.abs = size.abs == kRowHeight ? 2 * kRowHeight : kRowHeight;
        benchmark::DoNotOptimize(row.SetAxisPlacement(1, layout.yPosition, layout.yIsDocked, size));
    };
    bench::RunSideBySide(state, [&] { grow(*viewRow); }, [&] { grow(*plainRow); });
}

}  // namespace

BENCHMARK(ScrollingAViewAgainstAPlainControl);
BENCHMARK(GrowingContentAgainstAPlainControl);
