// How soon the root window's test skin is on the screen and how fast a hover change repaints, each beside a
// baseline that draws the same rectangles and texts with Cairo straight into a bare desktop window:
//   from the start of a process to its first complete frame (every probe of the skin's parts shows its colour,
//   read back from the server), for a process that shows the skin through the framework and one that draws it bare;
//   and from a pointer move that changes the hovered control to its repainted rectangles on the server, against the
//   bare window filling the same two rectangles.
// Usage: root-window-frame-time. Needs an X display; prints min and median of three runs. It starts itself as the
// measured processes (--child framework|bare), which print the monotonic time at which they saw their frame.
#include "Application/Gui/SkinApplication.h"
#include "BareDesktopWindow.h"
#include "ControlBase/ConditionMask.h"
#include "ControlBase/CreateControl.h"
#include "Measurement.h"
#include "Notification/ConditionsParam.h"
#include "Platform/Clock.h"
#include "Platform/DesktopWindows.h"
#include "Platform/EventSource.h"
#include "System/Gui/LoopTurns.h"
#include "System/MessageLoop.h"
#include "support/WindowPixels.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ZV;

constexpr int kRuns = 3;
constexpr int kHoverChanges = 200;
constexpr int kWidth = 240;
constexpr int kHeight = 160;
constexpr std::uint32_t kWaitMs = 10000;

// The test skin's parts as the bare window draws them, in drawing order: a rectangle and its colour.
struct Part {
    int x, y, width, height;
    std::uint32_t colour;
};
constexpr Part kParts[] = {
    {0, 0, 240, 160, 0x1E2A3A},  {8, 8, 104, 144, 0x2F6F73},  {16, 16, 88, 24, 0xE0A030},
    {16, 48, 88, 24, 0xE0A030},  {120, 8, 112, 144, 0x44475A}, {128, 16, 96, 56, 0x6272A4},
    {128, 80, 96, 24, 0xF8F8F2}, {72, 112, 80, 48, 0xB03A48},
};
struct Text {
    const char* text;
    double x, y;
    std::uint32_t colour;
};
constexpr Text kTexts[] = {{"OK", 52, 32, 0x101010}, {"Tip", 50, 64, 0x101010}, {"Ready", 16, 96, 0xFFFFFF}};

// Points where a complete frame shows each part's colour.
struct Probe {
    int x, y;
    std::uint32_t colour;
};
constexpr Probe kProbes[] = {{2, 2, 0x1E2A3A},     {10, 10, 0x2F6F73},  {18, 18, 0xE0A030},  {140, 140, 0xB03A48},
                             {100, 157, 0xB03A48}, {230, 120, 0x44475A}, {130, 20, 0x6272A4}, {130, 90, 0xF8F8F2}};

bool ShowsCompleteFrame(const Platform::NativeWindow& window)
{
    const std::vector<std::uint32_t> pixels = Testing::ReadWindowPixels(window, 0, 0, kWidth, kHeight);
    if (pixels.size() != static_cast<std::size_t>(kWidth) * kHeight) {
        return false;
    }
    return std::all_of(std::begin(kProbes), std::end(kProbes), [&](const Probe& probe) {
        return pixels[static_cast<std::size_t>(probe.y) * kWidth + probe.x] == probe.colour;
    });
}

void SetColour(cairo_t* context, std::uint32_t colour)
{
    cairo_set_source_rgb(context, (colour >> 16 & 0xFF) / 255.0, (colour >> 8 & 0xFF) / 255.0,
                         (colour & 0xFF) / 255.0);
}

void DrawBare(cairo_t* context)
{
    cairo_set_antialias(context, CAIRO_ANTIALIAS_NONE);
    for (const Part& part : kParts) {
        SetColour(context, part.colour);
        cairo_rectangle(context, part.x, part.y, part.width, part.height);
        cairo_fill(context);
    }
    cairo_select_font_face(context, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(context, 12);
    for (const Text& text : kTexts) {
        SetColour(context, text.colour);
        cairo_move_to(context, text.x, text.y);
        cairo_show_text(context, text.text);
    }
}

// A test control that shows its first look and repaints itself when the pointer enters or leaves it, as a control
// with a hover look does.
class LHoverControl : public LControl {
public:
    using LControl::LControl;

    [[nodiscard]] ZVRESULT OnInitialized() override
    {
        if (GetLookCount() > 0) {
            (void)SelectLook(0);
        }
        return LControl::OnInitialized();
    }

    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override
    {
        if (((conditions->GetPreviousConditions() ^ conditions->GetCurrentConditions()) & ConditionMask::kHover) != 0) {
            (void)InvalidateRect({0, 0, GetSize().x, GetSize().y}, true);
        }
    }
};

// The framework's process: the skin's main window, shown until its first frame is on the server.
int RunFrameworkChild()
{
    Testing::SkinApplication application(ZV_TEST_DATA_DIR "/RootWindowSkin", L"RootWindowTest");
    (void)application.Factory().RegisterControlCreateFunction(L"Test.Input", &CreateControl<LHoverControl>);
    if (!application.IsLoaded() || Failed(application.Host().CreateMainWindow(LRenderer::kGdi, L"main"))) {
        return 2;
    }
    const Platform::NativeWindow& window = *application.Host().GetMainWindow()->GetWindowHandle();
    if (!Testing::RunLoopUntil([&] { return ShowsCompleteFrame(window); }, kWaitMs)) {
        return 2;
    }
    Tools::PrintFrameSeenTime();
    return 0;
}

// The baseline's process: a bare desktop window that draws the same parts whenever it is exposed.
class LBareWindow : public Tools::BareDesktopWindow {
public:
    LBareWindow() : BareDesktopWindow(kWidth, kHeight, "ZVFrameTimeBaseline") {}

protected:
    void Paint(cairo_t* context) override { DrawBare(context); }
};

int RunBareChild()
{
    if (Platform::GetDesktopEventSource() == nullptr) {
        return 2;
    }
    LBareWindow window;
    if (!window.IsOpen() ||
        !Tools::PumpDesktopUntil([&] { return ShowsCompleteFrame(window.GetNative()); }, kWaitMs)) {
        return 2;
    }
    Tools::PrintFrameSeenTime();
    return 0;
}

// Milliseconds from starting the process to the moment it saw its first complete frame; negative when it failed.
double TimeChild(const char* self, const char* mode)
{
    return Tools::MillisecondsToFrameSeen(std::string("'") + self + "' --child " + mode);
}

// Median milliseconds of a hover change in the framework's window (routing, repaint of the two controls, the
// server's answer), and of the bare window filling the same two rectangles and waiting for the server.
void MeasureHoverChanges(std::vector<double>& framework, std::vector<double>& bare)
{
    Testing::SkinApplication application(ZV_TEST_DATA_DIR "/RootWindowSkin", L"RootWindowTest");
    (void)application.Factory().RegisterControlCreateFunction(L"Test.Input", &CreateControl<LHoverControl>);
    // The baseline first: the window shown last takes the keyboard, and the skin's routes the pointer only while it
    // is active.
    LBareWindow baseline;
    (void)Tools::PumpDesktopUntil([&] { return ShowsCompleteFrame(baseline.GetNative()); }, kWaitMs);
    if (!application.IsLoaded() || Failed(application.Host().CreateMainWindow(LRenderer::kGdi, L"main"))) {
        std::fprintf(stderr, "root-window-frame-time: the skin's window could not be made\n");
        std::exit(2);
    }
    const RCPtr<LRootWindow> root = application.Host().GetMainRootWindow();
    const Platform::NativeWindow& window = *application.Host().GetMainWindow()->GetWindowHandle();
    if (!application.WaitUntilShown() || !Testing::RunLoopUntil([&] { return ShowsCompleteFrame(window); }, kWaitMs)) {
        std::fprintf(stderr, "root-window-frame-time: the skin's window did not show\n");
        std::exit(2);
    }
    const PointT<zlong> over[2] = {{40, 28}, {40, 60}};
    const WideString hovered[2] = {L"buttonOk", L"buttonTip"};
    for (int run = 0; run < kRuns; ++run) {
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int change = 0; change < kHoverChanges; ++change) {
            const std::int64_t start = Platform::GetMicrosecondTime();
            root->RouteMouseMove(over[change % 2], 0);
            bool first = true;
            (void)GetMessageLoop().Run([&first] { return std::exchange(first, false); });
            Testing::WaitForServer(window);
            ours.push_back(static_cast<double>(Platform::GetMicrosecondTime() - start) / 1000.0);
            // A move that changed nothing would time nothing.
            if (!root->GetHoverControl() || root->GetHoverControl()->GetName() != hovered[change % 2]) {
                std::fprintf(stderr, "root-window-frame-time: the move did not change the hovered control\n");
                std::exit(2);
            }

            const std::int64_t bareStart = Platform::GetMicrosecondTime();
            cairo_t* context = baseline.GetContext();
            for (const Part& part : {kParts[2], kParts[3]}) {
                SetColour(context, part.colour);
                cairo_rectangle(context, part.x, part.y, part.width, part.height);
                cairo_fill(context);
            }
            baseline.Flush();
            Testing::WaitForServer(baseline.GetNative());
            theirs.push_back(static_cast<double>(Platform::GetMicrosecondTime() - bareStart) / 1000.0);
        }
        framework.push_back(Tools::Median(ours));
        bare.push_back(Tools::Median(theirs));
    }
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    if (argumentCount == 3 && std::strcmp(arguments[1], "--child") == 0) {
        return std::strcmp(arguments[2], "framework") == 0 ? RunFrameworkChild() : RunBareChild();
    }
    if (Platform::GetDesktopEventSource() == nullptr) {
        std::fprintf(stderr, "root-window-frame-time: no X display\n");
        return 2;
    }
    std::vector<double> frameworkStart;
    std::vector<double> bareStart;
    for (int run = 0; run < kRuns; ++run) {
        frameworkStart.push_back(TimeChild(arguments[0], "framework"));
        bareStart.push_back(TimeChild(arguments[0], "bare"));
        if (frameworkStart.back() < 0 || bareStart.back() < 0) {
            std::fprintf(stderr, "root-window-frame-time: a process did not show its frame\n");
            return 2;
        }
    }
    std::vector<double> frameworkHover;
    std::vector<double> bareHover;
    MeasureHoverChanges(frameworkHover, bareHover);
    std::printf("%d runs; the baselines draw the same parts with Cairo into a bare window, run the same way\n", kRuns);
    Tools::Report("process start to first complete frame", "ms", frameworkStart, bareStart);
    Tools::Report("hover change repainted (median of 200)", "ms", frameworkHover, bareHover);
    return 0;
}
