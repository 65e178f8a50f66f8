// The start-up splash on the desktop: its window as other clients see it, its bar read back pixel by pixel while a
// clock of the test's steps it, and its end.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/ApplicationTest.h"
#include "Application/MFCFrameworkApp.h"
#include "Application/Splash.h"

#include "DebuggerOutputCapture.h"
#include "support/ImageComparison.h"

#include "Platform/NativeWindow.h"
#include "Utilities/Graphics/Bitmap.h"
#include "support/WindowPixels.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 120;
constexpr std::uint32_t kPictureColor = 0x204060;
constexpr std::uint32_t kBarColor = 0x06B025;
// What the empty part of the bar shows.
constexpr std::uint32_t kTroughColor = 0xE6E6E6;
// The bar's inside: 4 pixels in from each side and a pixel of frame, 20 pixels up from the bottom.
constexpr int kBarLeft = 5;
constexpr int kBarInsideWidth = kWidth - 10;
constexpr int kBarMiddle = kHeight - 20 + 8;

XErrorHandler gEarlierErrorHandler = nullptr;

// Another client's window can go between the listing of the desktop's windows and a question about one of them: the
// question then fails, which is no fault of the test. Any other error is the earlier handler's.
int IgnoreWindowsThatWent(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        return 0;
    }
    return gEarlierErrorHandler != nullptr ? gEarlierErrorHandler(display, error) : 0;
}

// The desktop as another client sees it: the splash's windows, their place and pixels, and the work area that the
// test gives the desktop.
class Desktop {
public:
    Desktop() : mDisplay(XOpenDisplay(nullptr))
    {
        if (XErrorHandler earlier = XSetErrorHandler(IgnoreWindowsThatWent); earlier != IgnoreWindowsThatWent) {
            gEarlierErrorHandler = earlier;
        }
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop()
    {
        if (mDisplay != nullptr) {
            XDeleteProperty(mDisplay, DefaultRootWindow(mDisplay), WorkAreaAtom());
            XCloseDisplay(mDisplay);
        }
    }

    bool IsOpen() const { return mDisplay != nullptr; }
    int ScreenWidth() const { return DisplayWidth(mDisplay, DefaultScreen(mDisplay)); }
    int ScreenHeight() const { return DisplayHeight(mDisplay, DefaultScreen(mDisplay)); }

    void SetWorkArea(long x, long y, long width, long height)
    {
        const long area[4] = {x, y, width, height};
        XChangeProperty(mDisplay, DefaultRootWindow(mDisplay), WorkAreaAtom(), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(area), 4);
        XSync(mDisplay, False);
    }

    // The mapped top-level windows whose class is the name.
    std::vector<Window> WindowsOfClass(const std::string& name)
    {
        std::vector<Window> found;
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count) == 0) {
            return found;
        }
        for (unsigned int index = 0; index < count; ++index) {
            XClassHint hint{};
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(mDisplay, children[index], &attributes) != 0 &&
                attributes.map_state == IsViewable && XGetClassHint(mDisplay, children[index], &hint) != 0) {
                if (hint.res_class != nullptr && name == hint.res_class) {
                    found.push_back(children[index]);
                }
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        XFree(children);
        return found;
    }

    XWindowAttributes Attributes(Window window)
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(mDisplay, window, &attributes);
        return attributes;
    }

    std::vector<std::uint32_t> Pixels(Window window, int x, int y, int width, int height)
    {
        Platform::NativeWindow native;
        native.display = mDisplay;
        native.window = window;
        return ReadWindowPixels(native, x, y, width, height);
    }

    // How many pixels of the bar's middle row, from its left, are of the colour.
    int BarFill(Window window, std::uint32_t color)
    {
        const std::vector<std::uint32_t> row = Pixels(window, kBarLeft, kBarMiddle, kBarInsideWidth, 1);
        int filled = 0;
        while (filled < static_cast<int>(row.size()) && row[filled] == color) {
            ++filled;
        }
        return filled;
    }

    // Asks until the condition holds, looking again whenever the server has something for this client or a short
    // while has passed; false when it does not hold within the bounded wait.
    bool Eventually(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pollfd server{ConnectionNumber(mDisplay), POLLIN, 0};
            (void)poll(&server, 1, 10);
        }
        return true;
    }

private:
    Atom WorkAreaAtom() { return XInternAtom(mDisplay, "_NET_WORKAREA", False); }

    Display* mDisplay;
};

// The fill for a number of whole steps of the bar (0..100).
int FillFor(int position)
{
    return kBarInsideWidth * position / 100;
}

ConstRCPtr<LBitmap> Filled(zlong width, zlong height, std::uint32_t rgb)
{
    LColor color;
    color.SetFromARGB(0xFF000000u | rgb);
    return LBitmap::CreateFilledBitmap(PointT<zlong>(width, height), color);
}

ConstRCPtr<LBitmap> Picture()
{
    return Filled(kWidth, kHeight, kPictureColor);
}

class SplashGui : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mDesktop.IsOpen()) << "no X display"; }

    // The one splash window; fails the test when there is not exactly one.
    Window TheSplash()
    {
        const std::vector<Window> windows = mDesktop.WindowsOfClass("SplashWnd");
        EXPECT_EQ(windows.size(), 1u);
        return windows.empty() ? 0 : windows.front();
    }

    bool BarShows(Window window, int position, std::uint32_t color = kBarColor)
    {
        return mDesktop.Eventually([&] { return mDesktop.BarFill(window, color) == FillFor(position); });
    }

    // The bar shows, with nothing of it filled.
    bool EmptyBarShows(Window window) { return BarShows(window, 100, kTroughColor); }

    Desktop mDesktop;
    std::atomic<std::uint64_t> mClock{1000};
    LSplash mSplash{[this] { return mClock.load(); }};
};

TEST_F(SplashGui, ShowsCentredInTheWorkAreaStepsOverEightSecondsOfItsClockAndGoesAtTheEnd)
{
    mDesktop.SetWorkArea(100, 40, mDesktop.ScreenWidth() - 200, mDesktop.ScreenHeight() - 100);
    mSplash.SetImage(Picture());
    // Only the first picture counts.
    mSplash.SetImage(Filled(20, 20, 0xFFFFFF));
    mSplash.SplashThread();
    ASSERT_TRUE(mSplash.IsShowing());
    const Window window = TheSplash();
    ASSERT_NE(window, 0u);
    const XWindowAttributes attributes = mDesktop.Attributes(window);
    EXPECT_EQ(attributes.width, kWidth);
    EXPECT_EQ(attributes.height, kHeight);
    EXPECT_EQ(attributes.x, 100 + (mDesktop.ScreenWidth() - 200 - kWidth) / 2);
    EXPECT_EQ(attributes.y, 40 + (mDesktop.ScreenHeight() - 100 - kHeight) / 2);
    EXPECT_TRUE(attributes.override_redirect);
    // The picture shows from the start, without a bar.
    EXPECT_EQ(mDesktop.Pixels(window, 0, 0, 1, 1).front(), kPictureColor);
    EXPECT_EQ(mDesktop.Pixels(window, kWidth / 2, kBarMiddle, 1, 1).front(), kPictureColor);

    // A second start while it shows changes nothing.
    mSplash.SplashThread();
    EXPECT_EQ(TheSplash(), window);

    // (100 - 0) / (8 * 4) steps of 3, once every 250 ms of the clock.
    mSplash.StartProgress(0, 100, 8);
    ASSERT_TRUE(EmptyBarShows(window));
    mClock += 1000;
    EXPECT_TRUE(BarShows(window, 12));
    mClock += 6999;
    EXPECT_TRUE(BarShows(window, 93));
    mClock += 1;
    EXPECT_TRUE(BarShows(window, 96));
    // The steps end with the eight seconds.
    mClock += 60000;
    mSplash.SetProgress(100);
    EXPECT_TRUE(BarShows(window, 100));

    mSplash.Stop();
    EXPECT_FALSE(mSplash.IsShowing());
    EXPECT_TRUE(mDesktop.WindowsOfClass("SplashWnd").empty());
    // Without its picture it cannot show again.
    mSplash.SplashThread();
    EXPECT_FALSE(mSplash.IsShowing());
}

TEST_F(SplashGui, APositionStopsTheStepsNoSecondsLeaveTheBarWhereItStartsAndTheBarKeepsToItsRange)
{
    Platform::SplashPicture picture{kWidth, kHeight, std::vector<std::uint32_t>(kWidth * kHeight, 0xFF000000u)};
    Platform::SplashWindow splash(std::move(picture), "", [this] { return mClock.load(); });
    ASSERT_TRUE(splash.Open(LSplash::kStartWaitMilliseconds));
    const Window window = TheSplash();
    ASSERT_NE(window, 0u);

    // Commands are handled in the order they come, and the steps that the clock has passed after them: a colour
    // posted after the clock moved shows whether a step came.
    splash.StartProgress(0, 100, 8);
    ASSERT_TRUE(EmptyBarShows(window));
    mClock += 1000;
    EXPECT_TRUE(BarShows(window, 12));
    splash.SetPosition(40);
    mClock += 3000;
    splash.SetBarColor(0xFF0000);
    EXPECT_TRUE(BarShows(window, 40, 0xFF0000));

    splash.StartProgress(30, 100, 0);
    mClock += 10000;
    splash.SetBarColor(0x0000FF);
    EXPECT_TRUE(BarShows(window, 30, 0x0000FF));

    splash.SetPosition(250);
    EXPECT_TRUE(BarShows(window, 100, 0x0000FF));
    splash.SetPosition(-5);
    EXPECT_TRUE(EmptyBarShows(window));
    splash.Close();
    EXPECT_TRUE(mDesktop.WindowsOfClass("SplashWnd").empty());
}

TEST_F(SplashGui, WithoutAPictureOrADisplayNothingShowsAndTheThreadReportsAtOnce)
{
    mSplash.SplashThread();
    EXPECT_FALSE(mSplash.IsShowing());
    mSplash.StartProgress(0, 100, 8);
    mSplash.SetProgress(100);
    EXPECT_TRUE(mDesktop.WindowsOfClass("SplashWnd").empty());

    // Without a display the thread says why it gives up, which ends the start's wait.
    const DebuggerOutputCapture debugger;
    const char* display = std::getenv("DISPLAY");
    const std::string kept = display != nullptr ? display : "";
    setenv("DISPLAY", ":not-a-display", 1);
    LSplash withoutDisplay;
    withoutDisplay.SetImage(Picture());
    withoutDisplay.SplashThread();
    setenv("DISPLAY", kept.c_str(), 1);
    EXPECT_FALSE(withoutDisplay.IsShowing());
    const std::vector<std::string> texts = DebuggerOutputCapture::Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Unable to create SplashWnd\n"), texts.end());
    withoutDisplay.Stop();
}


// The program's start with a splash picture in its resource folder, watched by a client of the desktop that learns of
// every window made on the screen.
class SplashProcessGui : public ApplicationTest {
protected:
    static constexpr int kPictureWidth = 173;
    static constexpr int kPictureHeight = 61;

    SplashProcessGui()
    {
        Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                             "\\StringFileInfo\\040904b0\\CompanyName=Corvan\n"
                                             "\\StringFileInfo\\040904b0\\ProductName=Halvista Firmware Updater\n");
        for (const auto& entry : std::filesystem::directory_iterator(ZV_TEST_DATA_DIR "/DemoSkin")) {
            std::filesystem::copy_file(entry.path(), mResources.Path() / entry.path().filename());
        }
        SetApplicationFolderOverride(kResourceFolder, WideString(mResources.Path().string().c_str()));
        if (mWatcher != nullptr) {
            XSelectInput(mWatcher, DefaultRootWindow(mWatcher), SubstructureNotifyMask);
            XSync(mWatcher, False);
        }
    }
    ~SplashProcessGui() override
    {
        TestApplication::sNextStartupResult = std::nullopt;
        if (mWatcher != nullptr) {
            XCloseDisplay(mWatcher);
        }
    }

    // Runs the program's main body to its end, which the application's start-up makes quiet and without a window.
    int RunProgram()
    {
        TestApplication::sNextStartupResult = TestApplication::kFinishedWithoutWindow;
        MFCFrameworkApp<TestApplication> process;
        return process.Main(L"");
    }

    // What happened on the screen to windows of the picture's size since the last look: "made", "shown", "gone".
    std::vector<std::string> SplashEvents()
    {
        std::vector<std::string> events;
        XSync(mWatcher, False);
        while (XPending(mWatcher) > 0) {
            XEvent event;
            XNextEvent(mWatcher, &event);
            if (event.type == CreateNotify && event.xcreatewindow.width == kPictureWidth &&
                event.xcreatewindow.height == kPictureHeight && event.xcreatewindow.override_redirect) {
                mSplashWindow = event.xcreatewindow.window;
                events.emplace_back("made");
            } else if (event.type == MapNotify && event.xmap.window == mSplashWindow) {
                events.emplace_back("shown");
            } else if (event.type == DestroyNotify && event.xdestroywindow.window == mSplashWindow) {
                events.emplace_back("gone");
            }
        }
        return events;
    }

    TemporaryFolder mResources;
    Display* mWatcher = XOpenDisplay(nullptr);
    Window mSplashWindow = 0;
};

TEST_F(SplashProcessGui,
       TheResourceFoldersSplashPictureShowsWhileTheProgramStartsAndIsGoneWhenItEndsAndBuiltInResourcesHaveNone)
{
    ASSERT_NE(mWatcher, nullptr) << "no X display";
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_TRUE(SplashEvents().empty());

    Image picture{kPictureWidth, kPictureHeight,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(kPictureWidth) * kPictureHeight, 0xFF336699u)};
    ASSERT_TRUE(WritePng(mResources / "Splash.png", picture));
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_EQ(SplashEvents(), (std::vector<std::string>{"made", "shown", "gone"}));
    EXPECT_TRUE(Boxes().empty());

    // Resources built into the program are no folder: a folder named "::" where the program starts is not read.
    std::filesystem::create_directory(mResources / "::");
    std::filesystem::copy_file(mResources / "Splash.png", mResources / "::/Splash.png");
    const std::filesystem::path startedIn = std::filesystem::current_path();
    std::filesystem::current_path(mResources.Path());
    SetApplicationFolderOverride(kResourceFolder, WideString(L"::"));
    const MFCFrameworkApp<TestApplication> process;
    const bool noPicture = process.GetSplashImagePath().IsEmpty();
    std::filesystem::current_path(startedIn);
    EXPECT_TRUE(noPicture);
}

}  // namespace
}  // namespace ZV::Testing
