#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/PaintedControl.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/ListBox.h"
#include "Notification/Notification.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

// Every heap call of the program passes here, the framework's own blocks (taken with malloc) and the C++ ones alike,
// so that a scroll that allocates anything shows it.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<bool> gCounting{false};
std::atomic<std::int64_t> gHeapCalls{0};

void Count()
{
    if (gCounting.load(std::memory_order_relaxed)) {
        gHeapCalls.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" {
void* malloc(std::size_t size)
{
    Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    Count();
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size)
{
    Count();
    return __libc_realloc(block, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    Count();
    return __libc_memalign(alignment, size);
}
void free(void* block)
{
    if (block != nullptr) {
        Count();
    }
    __libc_free(block);
}
}

namespace {

using namespace ZV;

constexpr int kPageRows = 10;
constexpr int kRowHeight = 14;
constexpr double kPage = kPageRows * kRowHeight;

// The heap calls that the work makes, per run of it, over that many runs.
template <class Work>
double HeapCallsPerRun(int runs, Work work)
{
    gHeapCalls = 0;
    gCounting = true;
    for (int run = 0; run < runs; ++run) {
        work();
    }
    gCounting = false;
    return static_cast<double>(gHeapCalls.load()) / runs;
}

// A page down, or back up once the next page would pass the content's end.
class PageWalk {
public:
    PointT<double> Next(double offset, double contentHeight)
    {
        if (offset + 2 * kPage > contentHeight) {
            mDown = false;
        } else if (offset < kPage) {
            mDown = true;
        }
        return {0, mDown ? offset + kPage : offset - kPage};
    }

private:
    bool mDown = true;
};

// As the program runs: notifications come from their pool while it lives.
struct NotificationPoolOn {
    NotificationPoolOn() { EnableNotificationPool(true); }
    NotificationPoolOn(const NotificationPoolOn&) = delete;
    NotificationPoolOn& operator=(const NotificationPoolOn&) = delete;
    ~NotificationPoolOn() { EnableNotificationPool(false); }
};

// A window of its own showing a top-level control of the skin.
class BenchWindow {
public:
    BenchWindow(Testing::ControlHarness& harness, const wchar_t* name) : mWindow(Testing::LFakeRootWindow::Create())
    {
        mMain = harness.Factory().CreateControlByName(name, mWindow);
        mWindow->SetRootControl(mMain);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;
    ~BenchWindow() { mWindow->SetRootControl(nullptr); }

    const RCPtr<LControl>& Main() const { return mMain; }

private:
    RCPtr<Testing::LFakeRootWindow> mWindow;
    RCPtr<LControl> mMain;
};

// A list of rows with room for ten of them.
class ListWindow : public BenchWindow {
public:
    ListWindow(Testing::ControlHarness& harness, int rows)
        : BenchWindow(harness, L"listMain"), mList(Main()->FindChildByName(L"list"))
    {
        (void)mList->SetRowCount(static_cast<std::uint32_t>(rows));
        for (int row = 0; row < rows; ++row) {
            mList->SetRowData(static_cast<std::uint32_t>(row),
                              LStringWrapper::Create(WideString::Format(L"Row %d", row)));
        }
    }

    void ScrollOnePage()
    {
        const double offset = mList->GetScrollOffset().y;
        (void)mList->ScrollTo(mWalk.Next(offset, static_cast<double>(mList->GetRowCount()) * kRowHeight));
    }

    LListBox& List() const { return *mList; }

private:
    RCPtr<LListBox> mList;
    PageWalk mWalk;
};

// A plain control holding ten children docked as the list's row controls are, each below the one before, with no
// rows behind them: what scrolling costs the control base alone.
class DockedChildrenWindow : public BenchWindow {
public:
    explicit DockedChildrenWindow(Testing::ControlHarness& harness)
        : BenchWindow(harness, L"dockedMain"), mHolder(Main()->FindChildByName(L"holder"))
    {
    }

    void ScrollOnePage()
    {
        (void)mHolder->ScrollTo(mWalk.Next(mHolder->GetScrollOffset().y, 1000.0 * kRowHeight));
    }

private:
    RCPtr<LControl> mHolder;
    PageWalk mWalk;
};

void LoadSkin(Testing::ControlHarness& harness)
{
    (void)RegisterFrameworkControlClasses(harness.Factory());
    harness.Register<Testing::LPaintedControl>(L"Test.Painted");
    const std::string rowTemplate = Testing::SubControl(
        "Framework.ListBoxItem", "templateItem", R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    std::string docked;
    for (int child = 0; child < kPageRows; ++child) {
        const std::string above = child == 0 ? std::string(R"(YPositionToControl="Client")")
                                             : R"(YPositionToControl="row)" + std::to_string(child - 1) +
                                                   R"(" YPositionRel="1")";
        docked += Testing::SubControl("Test.Control", "row" + std::to_string(child),
                                      R"(YIsDocked="True" XSizeAbs="200" YSizeAbs="14" )" + above);
    }
    harness.LoadSkin(
        Testing::SubControl("Test.Painted", "listMain", "",
                            Testing::SubControl("Framework.ListBox", "list", R"(XSizeAbs="200" YSizeAbs="140")",
                                                rowTemplate)) +
        Testing::SubControl("Test.Painted", "dockedMain", "",
                            Testing::SubControl("Test.Control", "holder", R"(XSizeAbs="200" YSizeAbs="140")", docked)));
}

// A page scroll of a list of 100,000 rows, side by side with the same scroll of a list of 1,000: the ratio shows
// whether the cost grows with the rows (near 1 when it does not). Also counts the heap calls of one page scroll of
// the large list, beside those of a plain control whose ten docked children move as the row controls do.
void PageScrollOfAHundredThousandRowsAgainstAThousand(benchmark::State& state)
{
    const NotificationPoolOn pool;
    Testing::ControlHarness harness;
    LoadSkin(harness);
    ListWindow large(harness, 100000);
    ListWindow small(harness, 1000);
    DockedChildrenWindow docked(harness);
    // The first scrolls fill the caches that the later ones reuse.
    for (int warm = 0; warm < 4; ++warm) {
        large.ScrollOnePage();
        small.ScrollOnePage();
        docked.ScrollOnePage();
    }
    constexpr int kCountedScrolls = 100;
    const double listHeapCalls = HeapCallsPerRun(kCountedScrolls, [&] { large.ScrollOnePage(); });
    const double baseHeapCalls = HeapCallsPerRun(kCountedScrolls, [&] { docked.ScrollOnePage(); });

    bench::RunSideBySide(state, [&] { large.ScrollOnePage(); }, [&] { small.ScrollOnePage(); });
    state.counters["rows"] = static_cast<double>(large.List().GetRowCount());
    state.counters["row_controls"] = large.List().GetRowControlCount();
    state.counters["heap_calls_per_scroll"] = listHeapCalls;
    state.counters["docked_base_heap_calls"] = baseHeapCalls;
}
BENCHMARK(PageScrollOfAHundredThousandRowsAgainstAThousand);

}  // namespace
