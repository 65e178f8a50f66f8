// What the main window costs, each beside a baseline run the same way, side by side:
//   from the start of a process to the first complete frame of the main window, ready to update a simulated device
//   (its pixels as they are once they have settled, read back from the server), against a process that shows the
//   same pixels in a bare desktop window; and the processor time of the shown main window while it idles, against a
//   bare loop that only wakes every 33 ms.
// Usage: main-window-cost [seconds per idle run, 5 by default]. Needs an X display; prints min and median of three
// runs. It starts itself as the measured processes (--child main|bare <frame file>), which print the monotonic time
// at which they saw their frame.
#include "BareDesktopWindow.h"
#include "Measurement.h"
#include "Platform/Clock.h"
#include "Platform/DesktopWindows.h"
#include "Platform/EventSource.h"
#include "System/Gui/LoopTurns.h"
#include "System/MessageLoop.h"
#include "TestFiles.h"
#include "UI/Gui/MainWindowApplication.h"
#include "support/WindowPixels.h"

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace ZV;

constexpr int kRuns = 3;
constexpr int kWidth = 400;
constexpr int kHeight = 311;
constexpr std::uint32_t kWaitMs = 10000;
// How long the window's pixels must stay the same to count as settled.
constexpr std::uint32_t kSettleMs = 1000;

using Frame = std::vector<std::uint32_t>;

Frame ReadFrame(const Platform::NativeWindow& window)
{
    return Testing::ReadWindowPixels(window, 0, 0, kWidth, kHeight);
}

void WriteFrame(const std::string& path, const Frame& frame)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 4));
}

Frame ReadFrameFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Frame frame(bytes.size() / 4);
    std::memcpy(frame.data(), bytes.data(), frame.size() * 4);
    return frame;
}

// The main window over a simulated device that runs normally, with a firmware file that is newer than its build.
class ReadyMainWindow {
public:
    ReadyMainWindow() : mApplication(Simulator::SimulationSettings())
    {
        setenv("XDG_DATA_HOME", mFolder.Path().c_str(), 1);
        const std::string image = mFolder.Write("image.syx", std::string("\xF0\x01\xF7"));
        mOpen = mApplication.Open(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
    }
    bool IsOpen() const { return mOpen; }
    const Platform::NativeWindow& Native() { return mApplication.Native(); }

private:
    Testing::TemporaryFolder mFolder;
    Testing::MainWindowApplication mApplication;
    bool mOpen = false;
};

// The frame that every timed process waits for: the main window once its pixels stop changing.
int WriteSettledFrame(const std::string& path)
{
    ReadyMainWindow window;
    if (!window.IsOpen()) {
        return 2;
    }
    Frame last = ReadFrame(window.Native());
    std::uint32_t stableSince = Platform::GetMillisecondTick();
    const bool settled = Testing::RunLoopUntil(
        [&] {
            Frame now = ReadFrame(window.Native());
            if (now != last) {
                last = std::move(now);
                stableSince = Platform::GetMillisecondTick();
            }
            return Platform::GetMillisecondTick() - stableSince >= kSettleMs;
        },
        kWaitMs);
    if (!settled) {
        return 2;
    }
    WriteFrame(path, last);
    return 0;
}

int RunMainChild(const Frame& frame)
{
    ReadyMainWindow window;
    if (!window.IsOpen() || !Testing::RunLoopUntil([&] { return ReadFrame(window.Native()) == frame; }, kWaitMs)) {
        return 2;
    }
    Tools::PrintFrameSeenTime();
    return 0;
}

// A desktop window of the main window's size that paints the frame whenever it is exposed.
class BareFrameWindow : public Tools::BareDesktopWindow {
public:
    explicit BareFrameWindow(Frame frame)
        : BareDesktopWindow(kWidth, kHeight, "ZVMainWindowCostBaseline"), mFrame(std::move(frame))
    {
    }

protected:
    void Paint(cairo_t* context) override
    {
        cairo_surface_t* image = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(mFrame.data()), CAIRO_FORMAT_RGB24, kWidth, kHeight, kWidth * 4);
        cairo_set_source_surface(context, image, 0, 0);
        cairo_paint(context);
        cairo_surface_destroy(image);
    }

private:
    Frame mFrame;
};

int RunBareChild(const Frame& frame)
{
    if (Platform::GetDesktopEventSource() == nullptr) {
        return 2;
    }
    BareFrameWindow window(frame);
    if (!window.IsOpen() ||
        !Tools::PumpDesktopUntil([&] { return ReadFrame(window.GetNative()) == frame; }, kWaitMs)) {
        return 2;
    }
    Tools::PrintFrameSeenTime();
    return 0;
}

// Milliseconds from starting the process to the moment it saw the frame; negative when it failed.
double TimeChild(const char* self, const char* mode, const std::string& frameFile)
{
    return Tools::MillisecondsToFrameSeen(std::string("'") + self + "' --child " + mode + " '" + frameFile + "'");
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    if (argumentCount == 4 && std::strcmp(arguments[1], "--child") == 0) {
        const Frame frame = ReadFrameFile(arguments[3]);
        return std::strcmp(arguments[2], "main") == 0 ? RunMainChild(frame) : RunBareChild(frame);
    }
    if (argumentCount == 3 && std::strcmp(arguments[1], "--settled-frame") == 0) {
        return WriteSettledFrame(arguments[2]);
    }
    const std::uint32_t seconds = argumentCount > 1 ? static_cast<std::uint32_t>(std::atoi(arguments[1])) : 5;
    Platform::IEventSource* desktop = Platform::GetDesktopEventSource();
    if (desktop == nullptr) {
        std::fprintf(stderr, "main-window-cost: no X display\n");
        return 2;
    }
    const Testing::TemporaryFolder folder;
    const std::string frameFile = folder / "frame";
    if (std::system(("'" + std::string(arguments[0]) + "' --settled-frame '" + frameFile + "'").c_str()) != 0) {
        std::fprintf(stderr, "main-window-cost: the main window did not settle\n");
        return 2;
    }
    std::vector<double> mainStart;
    std::vector<double> bareStart;
    for (int run = 0; run < kRuns; ++run) {
        mainStart.push_back(TimeChild(arguments[0], "main", frameFile));
        bareStart.push_back(TimeChild(arguments[0], "bare", frameFile));
        if (mainStart.back() < 0 || bareStart.back() < 0) {
            std::fprintf(stderr, "main-window-cost: a process did not show its frame\n");
            return 2;
        }
    }

    ReadyMainWindow window;
    if (!window.IsOpen()) {
        std::fprintf(stderr, "main-window-cost: the main window could not be shown\n");
        return 2;
    }
    const int descriptor = desktop->GetDescriptor();
    std::vector<double> idleShare;
    std::vector<double> tickShare;
    for (int run = 0; run < kRuns; ++run) {
        idleShare.push_back(
            Tools::CpuShare([&] { (void)Testing::RunLoopUntil([] { return false; }, seconds * 1000); }));
        tickShare.push_back(Tools::CpuShare([&] {
            const std::uint32_t start = Platform::GetMillisecondTick();
            while (Platform::GetMillisecondTick() - start < seconds * 1000) {
                Platform::WaitForDescriptors(&descriptor, 1, static_cast<int>(LMessageLoop::kTickMs));
            }
        }));
    }
    std::printf("%d runs; baselines run the same way, side by side; idle runs of %u s\n", kRuns, seconds);
    Tools::Report("start to the main window's frame", "ms", mainStart, bareStart);
    Tools::Report("idle main window, share of one core", "%", idleShare, tickShare);
    return 0;
}
