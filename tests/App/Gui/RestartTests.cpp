// RESTART as the program on the desktop shows it: after an update that a stalled output cut, with SCAN FOR DEVICE,
// where each look for the device waits on the stalled port for seconds and the window goes on painting meanwhile;
// and the update that the switches ask for, which RESTART starts after its look as one the window shows.
#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"
#include "support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::RestartTests {
namespace {

using ::testing::ElementsAre;

using namespace std::chrono_literals;

// The skin's heading and the background around it: drawn at the start and the same whatever the device does.
constexpr WindowArea kHeadingArea{0, 0, kWindowWidth, 58};

// A solid window of the test's own over an area of another window, as long as it lives; mapped once the server
// shows it.
class Cover {
public:
    Cover(Display* display, unsigned long window, const WindowArea& area) : mDisplay(display)
    {
        Window child = 0;
        int x = 0;
        int y = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), area.x, area.y, &x, &y, &child);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = 0xFF00FF;
        attributes.event_mask = StructureNotifyMask;
        mWindow = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned int>(area.width),
                                static_cast<unsigned int>(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
        XMapRaised(display, mWindow);
        XEvent mapped;
        XWindowEvent(display, mWindow, StructureNotifyMask, &mapped);
        XSync(display, False);
    }
    Cover(const Cover&) = delete;
    Cover& operator=(const Cover&) = delete;
    ~Cover()
    {
        XDestroyWindow(mDisplay, mWindow);
        XSync(mDisplay, False);
    }

private:
    Display* mDisplay;
    Window mWindow = 0;
};

// It waits out the output's real time-out for a send: once in the update, then twice in each look for the device.
class RestartSlow : public ProgramOnDesktop {};

TEST_F(RestartSlow,
       AfterAStalledOutputRestartAndScanRepaintTheWindowUnderTheWaitCursorWithoutExitDropACloseAndShowTheirOutcome)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    // The cursor font's own shapes, for the test and the program alike: a theme's wait cursor is animated.
    ScopedEnvironment environment;
    environment.Set("XCURSOR_CORE", "1");
    environment.Set("XCURSOR_PATH", mFolder.Path().c_str());
    const CursorImage watch = mInput.FontCursor(XC_watch);
    const CursorImage arrow = mInput.FontCursor(XC_left_ptr);
    ASSERT_NE(watch, arrow);
    // 40 messages of 100 bytes; the cable stops after 3,000 of them.
    std::string image;
    for (int message = 0; message < 40; ++message) {
        image += '\xF0' + std::string(98, '\x01') + '\xF7';
    }
    const std::string imagePath = mFolder / "image.syx";
    WriteContent(imagePath, image);
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + imagePath},
              {{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_FAULT", "stall-after=3000"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    mInput.MoveTo(1279, 1023);
    const auto drawn = [&](const WindowArea& area) {
        return WaitUntil([&] { return IsDrawn(Pixels(window, area)); }, {program->GetEndDescriptor()}, kHangGuard);
    };
    ASSERT_TRUE(drawn(kRestartButton)) << "no RESTART after the stalled update";
    const std::vector<std::uint32_t> heading = SettledPixels(window, kHeadingArea);
    ASSERT_FALSE(heading.empty());
    const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(window);

    // The button's work waits on the stalled port for seconds; the window goes on meanwhile, and shows the device
    // not found when it ends, with SCAN FOR DEVICE and without RESTART.
    const auto clickGoesOnAndEnds = [&](const WindowArea& button) {
        const std::size_t dropped = program->LinesStartingWith("The exit request is dropped").size();
        ClickInWindow(window, button);
        {
            const Cover cover(mDesktop.GetDisplay(), window, kHeadingArea);
        }
        EXPECT_TRUE(WaitUntil([&] { return Pixels(window, kHeadingArea) == heading; }, {}, 1s))
            << "the area uncovered was not painted again within a second";
        EXPECT_EQ(mInput.CursorAt(geometry.x + 200, geometry.y + 8), watch) << "not the wait cursor over the window";
        mInput.MoveTo(1279, 1023);
        EXPECT_TRUE(WaitUntil([&] { return !IsDrawn(Pixels(window, kExitButton)); }, {}, 1s))
            << "EXIT shows while the program may not end";
        mInput.RequestClose(window);
        EXPECT_TRUE(WaitUntil(
            [&] { return program->LinesStartingWith("The exit request is dropped").size() > dropped; }, {},
            kHangGuard))
            << "the close was not dropped while the device was looked for";
        EXPECT_TRUE(WaitUntil([&] { return !IsDrawn(Pixels(window, kMiddleButton)); }, {}, kHangGuard));
        EXPECT_TRUE(drawn(kMiddleButton)) << program->ReadStandardError();
        EXPECT_FALSE(IsDrawn(Pixels(window, kRestartButton)));
        EXPECT_TRUE(IsDrawn(Pixels(window, kExitButton)));
        EXPECT_EQ(mInput.CursorAt(geometry.x + 200, geometry.y + 8), arrow);
        mInput.MoveTo(1279, 1023);
    };
    {
        SCOPED_TRACE("RESTART");
        clickGoesOnAndEnds(kRestartButton);
    }
    {
        SCOPED_TRACE("SCAN FOR DEVICE");
        clickGoesOnAndEnds(kMiddleButton);
    }
    ASSERT_TRUE(program->IsRunning());
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
}

class Restart : public ProgramOnDesktop {
protected:
    std::size_t DeviceLogCount(const std::string& text) const
    {
        const std::string log = ContentOf(mFolder / "device.log");
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};

// The upper part of the progress bar, on the window's white card.
constexpr WindowArea kProgressTrack{28, 136, 344, 16};

bool ShowsProgress(const std::vector<std::uint32_t>& pixels)
{
    std::size_t coloured = 0;
    for (const std::uint32_t pixel : pixels) {
        coloured += pixel != 0xFFFFFF ? 1 : 0;
    }
    return !pixels.empty() && coloured > pixels.size() / 2;
}

TEST_F(Restart,
       InASilentRunsWindowTheUpdateThatTheSwitchesAskForStartsAfterTheLookWithTheWindowsProgressAndEndsWith3IfNotTaken)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    mInput.MoveTo(1279, 1023);
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8));
    // Plugged in after the program first looked for it, so that the silent run shows its window; updated there, it
    // comes back with its old build, and the window offers RESTART.
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
              {{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_FAULT", "late-plug=1000"}, {"ZV_SIM_NEW_BUILD", "78500"},
               {"ZV_SIM_FLASH_MS", "1500"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    const std::vector<std::uint32_t> scanButton = SettledPixels(window, kMiddleButtonText);
    ASSERT_FALSE(scanButton.empty()) << "no SCAN FOR DEVICE";
    ASSERT_TRUE(WaitUntil([&] { return DeviceLogCount(" STATE normal") > 0; }, {}, kHangGuard)) << "never plugged in";
    ClickInWindow(window, kMiddleButtonText);
    const std::vector<std::uint32_t> updateButton = SettledPixels(window, kMiddleButtonText, scanButton);
    ASSERT_FALSE(updateButton.empty()) << "no UPDATE FIRMWARE";
    ClickInWindow(window, kMiddleButtonText);
    // Once the device is back from its update: NEXT, while the window still waits for it, finds it on its old build,
    // and RESTART shows.
    const auto restartOnceBack = [&](std::size_t updates) {
        const auto back = [&] {
            return DeviceLogCount(" STATE done") == updates && DeviceLogCount(" STATE normal") == updates + 1;
        };
        return WaitUntil(back, {}, kHangGuard) && WaitForRestartAfterNext(window);
    };
    ASSERT_TRUE(restartOnceBack(1)) << "no RESTART for an update that did not take";

    ClickInWindow(window, kRestartButton);
    bool progressShown = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
            progressShown = ShowsProgress(Pixels(window, kProgressTrack));
            return progressShown || DeviceLogCount(" STATE done") == 2;
        },
        {}, kHangGuard));
    EXPECT_TRUE(progressShown) << "the update ran without the window's progress";
    // Its end shows RESTART again once the device is back; a silent run whose last update did not take ends with 3,
    // saying so, when its window closes on that.
    ASSERT_TRUE(restartOnceBack(2)) << program->ReadStandardError();
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
    EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"),
                ElementsAre("FirmwareUpdater: the device confirmed the update, but came back running build 78500, not "
                            "the firmware file's build 78822; the update did not take"));
}

}  // namespace
}  // namespace ZV::Testing::RestartTests
