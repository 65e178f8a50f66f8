// RESTART after an update that a stalled output cut, as the program on the desktop shows it: the fresh engine's look
// for the device waits on the stalled port for seconds, and the window goes on painting meanwhile.
#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::RestartTests {
namespace {

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

// Each waits out the output's real time-out for a send: once in the update, twice in the look that follows.
class RestartSlow : public ProgramOnDesktop {
protected:
    bool WaitForDroppedExit(const ProgramUnderTest& program)
    {
        return WaitUntil([&] { return !program.LinesStartingWith("The exit request is dropped").empty(); }, {},
                         kHangGuard);
    }
};

TEST_F(RestartSlow, AfterAStalledOutputTheWindowRepaintsUnderTheWaitCursorDropsACloseAndShowsTheNewLookForTheDevice)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::vector<unsigned long> watch = FontCursorImage(XC_watch);
    const std::vector<unsigned long> arrow = FontCursorImage(XC_left_ptr);
    // 40 messages of 100 bytes; the cable stops after 3,000 of them.
    std::string image;
    for (int message = 0; message < 40; ++message) {
        image += '\xF0' + std::string(98, '\x01') + '\xF7';
    }
    WriteContent(mFolder / "image.syx", image);
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mFolder / "image.syx"},
              {{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_FAULT", "stall-after=3000"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    mInput.MoveTo(1279, 1023);
    ASSERT_TRUE(WaitUntil([&] { return IsDrawn(Pixels(window, kRestartButton)); }, {}, kHangGuard))
        << "no RESTART after the stalled update";
    const std::vector<std::uint32_t> heading = SettledPixels(window, kHeadingArea);
    ASSERT_FALSE(heading.empty());

    ClickInWindow(window, kRestartButton);
    {
        const Cover cover(mDesktop.GetDisplay(), window, kHeadingArea);
    }
    EXPECT_TRUE(WaitUntil([&] { return Pixels(window, kHeadingArea) == heading; }, {}, 1s))
        << "the area uncovered was not painted again within a second";
    const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(window);
    EXPECT_EQ(CursorImageAt(geometry.x + 200, geometry.y + 8), watch) << "not the wait cursor over the window";
    mInput.MoveTo(1279, 1023);
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForDroppedExit(*program)) << "the close was not dropped while the device was looked for";
    EXPECT_TRUE(program->IsRunning());

    // The fresh engine's look ends: the device, whose output takes nothing, is not found, and SCAN FOR DEVICE is
    // offered under the arrow.
    EXPECT_TRUE(WaitUntil([&] { return IsDrawn(Pixels(window, kMiddleButton)); }, {program->GetEndDescriptor()},
                          kHangGuard))
        << program->ReadStandardError();
    EXPECT_FALSE(IsDrawn(Pixels(window, kRestartButton)));
    EXPECT_EQ(CursorImageAt(geometry.x + 200, geometry.y + 8), arrow);
    mInput.MoveTo(1279, 1023);
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
}

}  // namespace
}  // namespace ZV::Testing::RestartTests
