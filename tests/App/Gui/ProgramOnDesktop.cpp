#include "App/Gui/ProgramOnDesktop.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

namespace ZV::Testing {

ProgramOnDesktop::ProgramOnDesktop()
{
    for (const char* folder : {"home", "data", "config", "runtime", "state"}) {
        std::filesystem::create_directory(mFolder / folder);
    }
    // As the system makes it, the user's alone.
    std::filesystem::permissions(mFolder / "runtime", std::filesystem::perms::owner_all);
}

void ProgramOnDesktop::TearDown()
{
    EXPECT_TRUE(WaitUntil([&] { return mDesktop.FindMappedWindow(kWindowClass) == 0; }, {mDesktop.GetDescriptor()},
                          kHangGuard));
}

std::unique_ptr<ProgramUnderTest> ProgramOnDesktop::Start(const std::vector<std::string>& arguments,
                                                          std::map<std::string, std::string> environment,
                                                          const std::string& program,
                                                          const std::string& standardError)
{
    const std::map<std::string, std::string> defaults = {
        {"HOME", mFolder / "home"},
        {"XDG_DATA_HOME", mFolder / "data"},
        {"XDG_CONFIG_HOME", mFolder / "config"},
        {"XDG_RUNTIME_DIR", mFolder / "runtime"},
        // The instance lock's folder: each test's program is a first instance of its own, whatever the tests' caller
        // has set.
        {"XDG_STATE_HOME", mFolder / "state"},
        {"ZV_DEBUG_OUTPUT", "1"},
        {"ZV_MIDI_DRIVER", "simulated"},
        {"ZV_SIM_DEVICE", "absent"},
        {"ZV_SIM_LOG", mDeviceLog},
        {"ZV_SIM_RELEASE", mFolder / "release"},
        {"ZV_SIM_RESTART_MS", "50"},
        {"ZV_SIM_FLASH_MS", "300"},
        // Whole stacks for what the program allocates, so that the leak checker of the sanitizer builds tells a
        // library's own loss from one of ours; no dynamic TLS, which it misreads (scripts/test says why). A test may
        // put a library before the sanitizer's runtime (an account database of its own).
        {"ASAN_OPTIONS", "detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0:intercept_tls_get_addr=0:"
                         "verify_asan_link_order=0"},
        {"LSAN_OPTIONS", "suppressions=" ZV_TEST_LEAK_SUPPRESSIONS ":print_suppressions=0"}};
    environment.insert(defaults.begin(), defaults.end());
    return std::make_unique<ProgramUnderTest>(
        program, arguments, environment,
        standardError.empty() ? mFolder / ("stderr-" + std::to_string(++mStarts)) : standardError);
}

unsigned long ProgramOnDesktop::WaitForMappedWindow(ProgramUnderTest& program,
                                                   const std::function<unsigned long()>& find)
{
    unsigned long window = 0;
    (void)WaitUntil(
        [&] {
            window = find();
            return window != 0 || program.CheckEnded();
        },
        {mDesktop.GetDescriptor(), program.GetEndDescriptor()}, kHangGuard);
    return window;
}

unsigned long ProgramOnDesktop::WaitForMainWindow(ProgramUnderTest& program)
{
    return WaitForMappedWindow(program, [this] { return mDesktop.FindMappedWindow(kWindowClass); });
}

unsigned long ProgramOnDesktop::WaitForErrorBox(ProgramUnderTest& program, const std::string& title)
{
    return WaitForMappedWindow(program, [this, &title] { return mDesktop.FindMappedWindowTitled(title); });
}

bool ProgramOnDesktop::WaitForProgramEnd(ProgramUnderTest& program)
{
    return WaitUntil([&] { return program.CheckEnded(); }, {program.GetEndDescriptor()}, kHangGuard);
}

bool ProgramOnDesktop::AskUntilEnded(ProgramUnderTest& program, const std::function<void()>& ask)
{
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (!program.CheckEnded() && std::chrono::steady_clock::now() < deadline) {
        const std::size_t dropped = program.LinesStartingWith("The exit request is dropped").size();
        ask();
        if (!WaitUntil(
                [&] {
                    return program.CheckEnded() ||
                           program.LinesStartingWith("The exit request is dropped").size() > dropped;
                },
                {program.GetEndDescriptor()}, kHangGuard)) {
            return false;
        }
    }
    return program.CheckEnded();
}

bool ProgramOnDesktop::WaitForHold(ProgramUnderTest& program, int hold, const std::string& log)
{
    const std::string line = " HOLD " + std::to_string(hold) + "\n";
    return WaitUntil(
               [&] {
                   return ContentOf(log.empty() ? mDeviceLog : log).find(line) != std::string::npos ||
                          program.CheckEnded();
               },
               {program.GetEndDescriptor()}, kHangGuard) &&
           !program.CheckEnded();
}

void ProgramOnDesktop::ReleaseHold()
{
    std::ofstream(mFolder / "release", std::ios::app) << "go\n";
}

bool ProgramOnDesktop::MoveWindow(unsigned long window, int x, int y)
{
    mDesktop.Move(window, x, y);
    return WaitUntil(
        [&] {
            const DesktopWatcher::Geometry moved = mDesktop.GetGeometry(window);
            return moved.x == x && moved.y == y;
        },
        {}, kHangGuard);
}

void ProgramOnDesktop::ClickInWindow(unsigned long window, const WindowArea& area)
{
    const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(window);
    mInput.MoveTo(geometry.x + area.x + area.width / 2, geometry.y + area.y + area.height / 2);
    mInput.Click(1);
    mInput.MoveTo(1279, 1023);
}

bool ProgramOnDesktop::WaitForRestartAfterNext(unsigned long window)
{
    const auto restartShown = [&] { return IsDrawn(Pixels(window, kRestartButton)); };
    if (!WaitUntil([&] { return restartShown() || IsDrawn(Pixels(window, kMiddleButton)); }, {}, kHangGuard)) {
        return false;
    }
    if (!restartShown()) {
        ClickInWindow(window, kMiddleButton);
    }
    return WaitUntil(restartShown, {}, kHangGuard);
}

std::vector<std::uint32_t> ProgramOnDesktop::Pixels(unsigned long window, const WindowArea& area)
{
    const std::vector<std::uint32_t> shown = mDesktop.ReadPixels(window, kWindowWidth, kWindowHeight);
    std::vector<std::uint32_t> pixels;
    if (shown.size() != static_cast<std::size_t>(kWindowWidth) * kWindowHeight) {
        return pixels;
    }
    for (int y = area.y; y < area.y + area.height; ++y) {
        const auto row = shown.begin() + y * kWindowWidth + area.x;
        pixels.insert(pixels.end(), row, row + area.width);
    }
    return pixels;
}

bool ProgramOnDesktop::IsDrawn(const std::vector<std::uint32_t>& pixels)
{
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size() > 2;
}

std::vector<std::uint32_t> ProgramOnDesktop::SettledPixels(unsigned long window, const WindowArea& area,
                                                           const std::vector<std::uint32_t>& unwanted)
{
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint32_t> before;
    const bool settled = WaitUntil(
        [&] {
            pixels = Pixels(window, area);
            return !pixels.empty() && std::exchange(before, pixels) == pixels && pixels != unwanted && IsDrawn(pixels);
        },
        {}, kHangGuard);
    return settled ? pixels : std::vector<std::uint32_t>{};
}

}  // namespace ZV::Testing
