#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ZV;

constexpr int kItems = 1000;
// Idle passes at a display's pace.
constexpr std::uint32_t kIdlePassMs = 16;
constexpr double kSpeed = 1500.0;

// The skin: a window's control holding a list of 1,000 rows.
void LoadListSkin(Testing::ControlHarness& harness)
{
    // Plain controls: a list scrolls as every control does, each row hearing of each scroll.
    harness.Register<LControl>(L"Bench.List");
    harness.Register<LControl>(L"Bench.Row");
    std::string rows;
    for (int row = 0; row < kItems; ++row) {
        rows += Testing::SubControl("Bench.Row", "row" + std::to_string(row));
    }
    harness.LoadSkin(Testing::SubControl("Bench.Row", "main", "", Testing::SubControl("Bench.List", "list", "", rows)));
}

// A window of its own showing the list, so that its idle passes are its own.
class ListWindow {
public:
    explicit ListWindow(Testing::ControlHarness& harness) : mWindow(Testing::LFakeRootWindow::Create())
    {
        const RCPtr<LControl> main = harness.Factory().CreateControlByName(L"main", mWindow);
        mWindow->SetRootControl(main);
        ControlTestAccess::PlaceTree(*main, {0, 0, 200, 400});
        mList = main->FindChildByName(L"list");
    }
    ListWindow(const ListWindow&) = delete;
    ListWindow& operator=(const ListWindow&) = delete;
    ~ListWindow() { mWindow->SetRootControl(nullptr); }

    LControl& List() const { return *mList; }
    bool PumpIdle() { return mWindow->OnIdle(true); }

private:
    RCPtr<Testing::LFakeRootWindow> mWindow;
    RCPtr<LControl> mList;
};

// An idle pass while a list of 1,000 rows coasts at 1,500 px/s, side by side with an idle pass of the same list
// that scrolls by the same 24 pixels without coasting: the ratio is what coasting adds to the scrolling it does.
void CoastingIdlePassAgainstAPlainScroll(benchmark::State& state)
{
    Testing::ControlHarness harness;
    LoadListSkin(harness);
    ListWindow coasting(harness);
    ListWindow plain(harness);
    (void)coasting.List().StartKineticScroll(1, kSpeed, 4503599627370496.0, 0.0, nullptr);
    (void)plain.List().BeginIdleNotifications();
    const double step = kSpeed * kIdlePassMs / 1000.0;
    bench::RunSideBySide(
        state,
        [&] {
            harness.AdvanceTime(kIdlePassMs);
            benchmark::DoNotOptimize(coasting.PumpIdle());
        },
        [&] {
            harness.AdvanceTime(kIdlePassMs);
            const PointT<double>& offset = plain.List().GetScrollOffset();
            (void)plain.List().ScrollTo({offset.x, offset.y + step});
            benchmark::DoNotOptimize(plain.PumpIdle());
        });
    state.counters["rows"] = kItems;
    state.counters["coasted_px"] = coasting.List().GetScrollOffset().y;
    (void)plain.List().EndIdleNotifications();
}
BENCHMARK(CoastingIdlePassAgainstAPlainScroll);

}  // namespace
