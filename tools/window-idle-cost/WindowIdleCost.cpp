// What an idle window costs and how soon input reaches its root window, each beside a baseline run the same way:
//   processor time of a shown window with its 33 ms tick and idle processing running, against a bare loop that only
//   wakes every 33 ms; and the time from a pointer move sent through XTest to the root window's move call, against
//   the same move reaching a bare desktop window read straight off the connection.
// Usage: window-idle-cost [seconds per idle run, 10 by default]. Needs an X display; prints min and median of three
// runs.
#include "Measurement.h"
#include "Platform/Clock.h"
#include "Platform/DesktopWindows.h"
#include "QuietWindowSink.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/Gui/DesktopInput.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "System/RecordingRootWindow.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using namespace ZV;

constexpr int kRuns = 3;
constexpr int kMoves = 200;

// A root window that notes when each move reached it.
class LTimingRootWindow : public Testing::LRecordingRootWindow {
public:
    using LRecordingRootWindow::LRecordingRootWindow;

    static RCPtr<IRootWindowTarget> Make(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    {
        RCPtr<LTimingRootWindow> root(new LTimingRootWindow(renderer, services));
        sLast = root.Get();
        return RCPtr<IRootWindowTarget>(root.Get());
    }
    void RouteMouseMove(const PointT<zlong>&, std::uint32_t) override
    {
        ++mMoves;
        mLastMoveTime = Platform::GetMicrosecondTime();
    }

    static inline LTimingRootWindow* sLast = nullptr;
    int mMoves = 0;
    std::int64_t mLastMoveTime = 0;
};

// A desktop window with no framework above it: the moves it is told of, and when.
class BareSink : public Tools::QuietWindowSink {
public:
    void OnPointerMoved(Platform::WindowPoint) override
    {
        ++mMoves;
        mLastMoveTime = Platform::GetMicrosecondTime();
    }

    int mMoves = 0;
    std::int64_t mLastMoveTime = 0;
};

bool RunFor(std::uint32_t milliseconds, const std::function<bool()>& done = [] { return false; })
{
    const std::uint32_t start = Platform::GetMillisecondTick();
    (void)GetMessageLoop().Run([&] { return !done() && Platform::GetMillisecondTick() - start < milliseconds; });
    return done();
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    const std::uint32_t seconds = argumentCount > 1 ? static_cast<std::uint32_t>(std::atoi(arguments[1])) : 10;
    Testing::DesktopInput input;
    Testing::TestWindowHost host;
    if (!input.IsOpen() || Platform::GetDesktopEventSource() == nullptr) {
        std::fprintf(stderr, "window-idle-cost: no X display\n");
        return 2;
    }
    LGDIRenderer::Register();
    OSWindow::SetRootWindowFactory(&LTimingRootWindow::Make);
    const RCPtr<OSWindow> window = OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVIdleCost", 400, 311, nullptr);
    if (!window || Failed(window->CreateRenderer(LRenderer::kGdi)) || Failed(window->SetBounds({0, 0, 400, 311}))) {
        std::fprintf(stderr, "window-idle-cost: the window could not be made\n");
        return 2;
    }
    (void)window->Show(kShow);
    if (!RunFor(5000, [&] { return window->IsActive(); })) {
        std::fprintf(stderr, "window-idle-cost: the window was not shown\n");
        return 2;
    }
    LTimingRootWindow& root = *LTimingRootWindow::sLast;

    Platform::DesktopWindowOptions bareOptions;
    bareOptions.className = "ZVIdleCostBaseline";
    const std::unique_ptr<Platform::IWindowBackEnd> bare = Platform::CreateDesktopWindow(bareOptions);
    BareSink bareSink;
    bare->SetEventSink(&bareSink);
    bare->MoveResize({500, 0, 400, 311});
    bare->Show(true);
    RunFor(500);

    Platform::IEventSource* desktop = Platform::GetDesktopEventSource();
    const int descriptor = desktop->GetDescriptor();
    std::vector<double> idleShare;
    std::vector<double> tickShare;
    std::vector<double> routeLatency;
    std::vector<double> bareLatency;
    for (int run = 0; run < kRuns; ++run) {
        input.MoveTo(1200, 1000);
        idleShare.push_back(Tools::CpuShare([&] { RunFor(seconds * 1000); }));
        tickShare.push_back(Tools::CpuShare([&] {
            const std::uint32_t start = Platform::GetMillisecondTick();
            while (Platform::GetMillisecondTick() - start < seconds * 1000) {
                Platform::WaitForDescriptors(&descriptor, 1, static_cast<int>(LMessageLoop::kTickMs));
            }
        }));
        std::vector<double> route;
        std::vector<double> direct;
        for (int move = 0; move < kMoves; ++move) {
            const int x = 10 + move % 100;
            const int moves = root.mMoves;
            const std::int64_t sent = Platform::GetMicrosecondTime();
            input.MoveTo(x, 20);
            if (RunFor(1000, [&] { return root.mMoves > moves; })) {
                route.push_back(static_cast<double>(root.mLastMoveTime - sent) / 1000.0);
            }
            const int bareMoves = bareSink.mMoves;
            const std::int64_t bareSent = Platform::GetMicrosecondTime();
            input.MoveTo(500 + x, 20);
            (void)Tools::PumpDesktopUntil([&] { return bareSink.mMoves != bareMoves; }, 1000);
            direct.push_back(static_cast<double>(bareSink.mLastMoveTime - bareSent) / 1000.0);
        }
        routeLatency.push_back(Tools::Median(route));
        bareLatency.push_back(Tools::Median(direct));
    }
    std::printf("idle window over %u s, %d runs; baselines run the same way, side by side\n", seconds, kRuns);
    Tools::Report("idle window, share of one core", "%", idleShare, tickShare);
    Tools::Report("pointer move to root window", "ms", routeLatency, bareLatency);
    bare->Destroy();
    window->Destroy();
    GetMessageLoop().ReleaseDeferred();
    return 0;
}
