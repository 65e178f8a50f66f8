// The application's desktop services with real windows: the pointer, keys and buttons as XTest makes them, message
// boxes answered by a click, extra root windows, and the main window's saved place kept on the work area.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/Gui/RootWindowSkinApplication.h"

#include "Platform/GlxContext.h"
#include "Platform/NativeWindow.h"
#include "Platform/VersionInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/OpenGL/GLErrorTexts.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "System/WindowPlacement.h"
#include "TestFiles.h"
#include "support/ScopedEnvironment.h"
#include "support/WindowPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV::Testing {
namespace {

constexpr auto kWindowWait = std::chrono::seconds(10);
// The test skin's window colour (Skins.xml) and the message box's button face.
constexpr std::uint32_t kSkinWindowColour = 0x1E2A3A;
constexpr std::uint32_t kBoxButtonFace = 0xE3E3E3;
constexpr std::uint32_t kBoxFocusRing = 0x1A5FB4;

// A second client that waits, on a thread of its own, for a top-level window to be mapped that the test picks, and
// then does to it what the test asks. The watch is set up when the constructor returns.
class MappedWindowWatch {
public:
    using Picker = std::function<bool(Display*, Window)>;
    using Action = std::function<void(Display*, Window)>;

    MappedWindowWatch(Picker picks, Action act) : mDisplay(XOpenDisplay(nullptr))
    {
        XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
        XSync(mDisplay, False);
        mThread = std::thread([this, picks = std::move(picks), act = std::move(act)] {
            if (const Window window = WaitForMapped(picks); window != None) {
                act(mDisplay, window);
                mDone = true;
            }
        });
    }
    MappedWindowWatch(const MappedWindowWatch&) = delete;
    MappedWindowWatch& operator=(const MappedWindowWatch&) = delete;
    ~MappedWindowWatch()
    {
        Finish();
        XCloseDisplay(mDisplay);
    }

    // Waits for the thread; whether it found the window and acted.
    bool Finish()
    {
        if (mThread.joinable()) {
            mThread.join();
        }
        return mDone;
    }

private:
    Window WaitForMapped(const Picker& picks)
    {
        const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
        for (;;) {
            while (XPending(mDisplay) > 0) {
                XEvent event;
                XNextEvent(mDisplay, &event);
                if (event.type == MapNotify && picks(mDisplay, event.xmap.window)) {
                    return event.xmap.window;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return None;
            }
            pollfd connection{ConnectionNumber(mDisplay), POLLIN, 0};
            poll(&connection, 1, static_cast<int>(left.count()));
        }
    }

    Display* mDisplay;
    std::thread mThread;
    bool mDone = false;
};

Window TransientOwner(Display* display, Window window)
{
    Window owner = None;
    return XGetTransientForHint(display, window, &owner) != 0 ? owner : None;
}

// The window manager functions that the window's Motif hints allow (2 resize, 4 move, 8 minimise, 16 maximise,
// 32 close); -1 without the hints.
long MotifFunctions(Display* display, Window window)
{
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long functions = -1;
    if (XGetWindowProperty(display, window, hints, 0, 5, False, hints, &type, &format, &count, &after, &data) ==
            Success &&
        format == 32 && count >= 2) {
        functions = reinterpret_cast<const long*>(data)[1];
    }
    if (data != nullptr) {
        XFree(data);
    }
    return functions;
}

struct ScreenRect {
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
};

ScreenRect ReadScreenRect(Display* display, Window window)
{
    ScreenRect rect;
    Window root = None;
    Window child = None;
    int x = 0;
    int y = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    XGetGeometry(display, window, &root, &x, &y, &rect.width, &rect.height, &border, &depth);
    XTranslateCoordinates(display, window, root, 0, 0, &rect.x, &rect.y, &child);
    return rect;
}

// The horizontal runs of the message box's button faces, from the left, in the lowest row that has any; empty
// until the box is painted or the wait ends.
std::vector<std::pair<int, int>> WaitForBoxButtons(Display* display, Window box, int& row)
{
    const ScreenRect rect = ReadScreenRect(display, box);
    const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
    while (std::chrono::steady_clock::now() < deadline) {
        XImage* image = XGetImage(display, box, 0, 0, rect.width, rect.height, AllPlanes, ZPixmap);
        std::vector<std::pair<int, int>> runs;
        for (int y = static_cast<int>(rect.height) - 1; image != nullptr && y >= 0 && runs.empty(); --y) {
            int start = -1;
            for (int x = 0; x <= static_cast<int>(rect.width); ++x) {
                const bool face =
                    x < static_cast<int>(rect.width) && (XGetPixel(image, x, y) & 0xFFFFFF) == kBoxButtonFace;
                if (face && start < 0) {
                    start = x;
                } else if (!face && start >= 0) {
                    if (x - start > 20) {
                        runs.emplace_back(start, x);
                    }
                    start = -1;
                }
            }
            row = y;
        }
        if (image != nullptr) {
            XDestroyImage(image);
        }
        if (!runs.empty()) {
            return runs;
        }
        std::this_thread::yield();
    }
    return {};
}

// Whether the window has the keyboard focus within the wait.
bool WaitForFocus(Display* display, Window window)
{
    const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
    while (std::chrono::steady_clock::now() < deadline) {
        Window focus = None;
        int revertTo = 0;
        XGetInputFocus(display, &focus, &revertTo);
        if (focus == window) {
            return true;
        }
        std::this_thread::yield();
    }
    return false;
}

// The button of the box (runs as WaitForBoxButtons finds them) whose focus ring shows, read until it is the one
// expected or the wait runs out; -1 when none or more than one shows.
int WaitForMarkedButton(Display* display, Window box, const std::vector<std::pair<int, int>>& buttons, int row,
                        int expected)
{
    const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
    int marked = -1;
    do {
        std::vector<int> rings;
        for (std::size_t index = 0; index < buttons.size(); ++index) {
            // The ring's lower side, two rows above the face's lowest.
            XImage* image = XGetImage(display, box, buttons[index].first + 10, row - 2, 1, 1, AllPlanes, ZPixmap);
            if (image != nullptr && (XGetPixel(image, 0, 0) & 0xFFFFFF) == kBoxFocusRing) {
                rings.push_back(static_cast<int>(index));
            }
            if (image != nullptr) {
                XDestroyImage(image);
            }
        }
        marked = rings.size() == 1 ? rings.front() : -1;
        if (marked == expected) {
            break;
        }
        std::this_thread::yield();
    } while (std::chrono::steady_clock::now() < deadline);
    return marked;
}

class ApplicationServicesGui : public ::testing::Test {
protected:
    ApplicationServicesGui()
    {
        // The main window keeps its place in the test's folder.
        mEnvironment.Set("XDG_DATA_HOME", mDataFolder.Path().string().c_str());
        Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                             "\\StringFileInfo\\040904b0\\CompanyName=Corvan\n"
                                             "\\StringFileInfo\\040904b0\\ProductName=Services Test\n");
    }

    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen() && mDisplay != nullptr) << "no X display";
        LGDIRenderer::Register();
    }

    ~ApplicationServicesGui() override
    {
        StopApplication();
        if (mDisplay != nullptr) {
            XCloseDisplay(mDisplay);
        }
        Platform::OverrideProgramVersionInfo(std::nullopt);
    }

    // The application, started; with its main window shown and active when asked.
    void StartApplication(bool withMainWindow,
                          RCPtr<RootWindowSkinApplication> application = RootWindowSkinApplication::Make())
    {
        mApplication = std::move(application);
        ASSERT_TRUE(mApplication);
        ASSERT_EQ(mApplication->RunApplicationStartup(), ZV_S_OK);
        if (!withMainWindow) {
            return;
        }
        ASSERT_EQ(mApplication->CreateMainWindow(LRenderer::kGdi), ZV_S_OK);
        const RCPtr<OSWindow> window = mApplication->GetMainWindow();
        ASSERT_TRUE(window);
        ASSERT_TRUE(RunLoopUntil([&] { return window->IsActive() && window->GetBackEnd().IsVisible(); }));
    }

    void StopApplication()
    {
        if (mApplication) {
            (void)mApplication->RunApplicationShutdown();
            mApplication = nullptr;
        }
    }

    Window MainWindowId() const { return mApplication->GetMainWindow()->GetWindowHandle()->window; }

    RectT<zlong> WorkArea() const { return mApplication->GetWorkArea(); }

    // Whether the server shows no cursor image at all with the pointer at the point of the screen.
    bool PointerHiddenAt(int x, int y)
    {
        mInput.MoveTo(x, y);
        XFixesCursorImage* shown = XFixesGetCursorImage(mDisplay);
        if (shown == nullptr) {
            return false;
        }
        const unsigned long* pixels = shown->pixels;
        const bool hidden = std::all_of(pixels, pixels + static_cast<std::size_t>(shown->width) * shown->height,
                                        [](unsigned long pixel) { return (pixel >> 24 & 0xFF) == 0; });
        XFree(shown);
        return hidden;
    }

    TemporaryFolder mDataFolder;
    ScopedEnvironment mEnvironment;
    DesktopInput mInput;
    Display* mDisplay = XOpenDisplay(nullptr);
    RCPtr<RootWindowSkinApplication> mApplication;
};

TEST_F(ApplicationServicesGui, AMainWindowRestoredOffTheDesktopOpensWhollyInsideTheWorkArea)
{
    StartApplication(false);
    const RectT<zlong> area = WorkArea();
    StopApplication();
    ASSERT_GT(area.width, 240);
    ASSERT_GT(area.height, 160);
    struct Case {
        RectT<zlong> saved;
        PointT<zlong> opened;
    };
    const zlong right = area.x + area.width - 240;
    const zlong bottom = area.y + area.height - 160;
    const Case cases[] = {
        {{5000, 5000, 240, 160}, {right, bottom}},
        {{-300, -200, 240, 160}, {area.x, area.y}},
        {{area.x + area.width - 100, area.y + area.height - 50, 240, 160}, {right, bottom}},
        // Saved larger than the desktop: cut to it, then held to the window's fixed size.
        {{-10, 40, area.width + 500, area.height + 400}, {area.x, area.y + 40}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.saved.x) + "," + std::to_string(test.saved.y));
        ASSERT_TRUE(WindowPlacementStore(RootWindowSkinApplication::kWindowClassName).Save(test.saved));
        StartApplication(true);
        const Platform::IWindowBackEnd& backEnd = mApplication->GetMainWindow()->GetBackEnd();
        EXPECT_TRUE(RunLoopUntil([&] {
            return backEnd.GetClientOrigin() == Platform::WindowPoint{test.opened.x, test.opened.y} &&
                   backEnd.GetClientSize() == Platform::WindowPoint{240, 160};
        })) << backEnd.GetClientOrigin().x << "," << backEnd.GetClientOrigin().y << " "
            << backEnd.GetClientSize().x << "x" << backEnd.GetClientSize().y;
        StopApplication();
    }
}

TEST_F(ApplicationServicesGui, WithoutAWindowTheKeysButtonsAndPointerAreTheDesktopsAndCapsLockTellsItsToggle)
{
    StartApplication(false);
    constexpr std::uint8_t kCapsLock = 0x14;
    bool down = true;
    bool before = false;
    ASSERT_EQ(mApplication->IsKeyDown(kCapsLock, down, before), ZV_S_OK);
    EXPECT_FALSE(down);
    mInput.Tap("Caps_Lock");
    bool after = before;
    ASSERT_EQ(mApplication->IsKeyDown(kCapsLock, down, after), ZV_S_OK);
    mInput.Tap("Caps_Lock");
    EXPECT_NE(after, before) << "the tap switched Caps Lock";
    bool again = after;
    ASSERT_EQ(mApplication->IsKeyDown(kCapsLock, down, again), ZV_S_OK);
    EXPECT_EQ(again, before) << "and the second switched it back";
    mInput.Key("a", true);
    bool toggled = true;
    EXPECT_EQ(mApplication->IsKeyDown('A', down, toggled), ZV_S_OK);
    mInput.Key("a", false);
    EXPECT_TRUE(down);
    EXPECT_FALSE(toggled) << "only lock keys toggle";

    mInput.MoveTo(321, 123);
    mInput.Button(3, true);
    EXPECT_EQ(mApplication->GetMouseButtons(), 4u);
    mInput.Button(3, false);
    EXPECT_EQ(mApplication->GetMouseButtons(), 0u);
    PointT<zlong> pointer;
    mApplication->GetCursorPosition(pointer);
    EXPECT_EQ(pointer, PointT<zlong>(321, 123));
    EXPECT_EQ(mApplication->SetCursorPosition(45, 67), ZV_S_OK);
    mApplication->GetCursorPosition(pointer);
    EXPECT_EQ(pointer, PointT<zlong>(45, 67));
}

TEST_F(ApplicationServicesGui, ThePointerHidesOverTheProgramsWindowsWhileTheShowCountIsBelowZero)
{
    StartApplication(true);
    const Platform::WindowPoint origin = mApplication->GetMainWindow()->GetBackEnd().GetClientOrigin();
    const auto hiddenOverWindow = [&] {
        WaitForServer(*mApplication->GetMainWindow()->GetWindowHandle());
        return PointerHiddenAt(origin.x + 30, origin.y + 30);
    };
    EXPECT_FALSE(hiddenOverWindow());
    EXPECT_EQ(mApplication->ShowCursor(false), -1);
    EXPECT_TRUE(hiddenOverWindow());
    EXPECT_EQ(mApplication->ShowCursor(false), -2);
    EXPECT_EQ(mApplication->ShowCursor(true), -1);
    EXPECT_TRUE(hiddenOverWindow());
    EXPECT_EQ(mApplication->ShowCursor(true), 0);
    EXPECT_FALSE(hiddenOverWindow());
}

TEST_F(ApplicationServicesGui, AMessageBoxInFrontOfTheMainWindowOffersTheFlagsButtonsAndAnswersTheOneClicked)
{
    StartApplication(true);
    const Window main = MainWindowId();
    struct Case {
        std::uint32_t flags;
        std::size_t buttons;
        std::size_t clicked;
        std::int32_t answer;
    };
    // Yes and No: No; Yes, No and Cancel: Cancel. The icon's bits do not change the buttons.
    for (const Case test : {Case{0x4, 2, 1, 7}, Case{0x33, 3, 2, 2}}) {
        std::size_t buttonsSeen = 0;
        Window owner = None;
        MappedWindowWatch watch([](Display* display, Window window) { return TransientOwner(display, window) != None; },
                                [&](Display* display, Window box) {
                                    owner = TransientOwner(display, box);
                                    int row = 0;
                                    const auto buttons = WaitForBoxButtons(display, box, row);
                                    buttonsSeen = buttons.size();
                                    if (test.clicked >= buttons.size()) {
                                        return;
                                    }
                                    const ScreenRect rect = ReadScreenRect(display, box);
                                    DesktopInput input;
                                    const auto& [left, end] = buttons[test.clicked];
                                    input.MoveTo(rect.x + (left + end) / 2, rect.y + row - 4);
                                    input.Click(1);
                                });
        EXPECT_EQ(mApplication->ShowMessageBox(L"Start the update now?", L"Question", test.flags), test.answer);
        EXPECT_TRUE(watch.Finish());
        EXPECT_EQ(buttonsSeen, test.buttons);
        EXPECT_EQ(owner, main);
    }
}

TEST_F(ApplicationServicesGui, ReturnAnswersTheFlagsDefaultButtonAndTabShiftTabAndTheArrowsMoveTheMarkedFocus)
{
    StartApplication(true);
    const Window main = MainWindowId();
    struct Case {
        std::uint32_t flags;
        int marked;
        // Each key with the button marked after it.
        std::vector<std::pair<std::string, int>> moves;
        const char* press;
        std::int32_t answer;
    };
    const Case cases[] = {
        // Yes and No with No the default, and with Tab to Yes.
        {0x104, 1, {}, "Return", 7},
        {0x104, 1, {{"Tab", 0}}, "Return", 6},
        // Yes, No and Cancel with Cancel the default: Shift+Tab goes back.
        {0x203, 2, {{"Shift+Tab", 1}}, "space", 7},
        // The arrows go round the row both ways.
        {0x3, 0, {{"Left", 2}, {"Up", 1}, {"Right", 2}, {"Down", 0}}, "Return", 6},
        // A default beyond the row is the first button; the icon changes nothing.
        {0x324, 0, {}, "Return", 6},
        {0x101, 1, {{"Tab", 0}, {"Tab", 1}}, "KP_Enter", 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.flags);
        std::vector<int> marks;
        MappedWindowWatch watch([](Display* display, Window window) { return TransientOwner(display, window) != None; },
                                [&](Display* display, Window box) {
                                    DesktopInput input;
                                    int row = 0;
                                    const auto buttons = WaitForBoxButtons(display, box, row);
                                    if (buttons.empty() || !WaitForFocus(display, box)) {
                                        input.RequestClose(box);
                                        return;
                                    }
                                    marks.push_back(WaitForMarkedButton(display, box, buttons, row, test.marked));
                                    for (const auto& [key, marked] : test.moves) {
                                        if (key == "Shift+Tab") {
                                            input.Key("Shift_L", true);
                                            input.Tap("Tab");
                                            input.Key("Shift_L", false);
                                        } else {
                                            input.Tap(key.c_str());
                                        }
                                        marks.push_back(WaitForMarkedButton(display, box, buttons, row, marked));
                                    }
                                    input.Tap(test.press);
                                });
        EXPECT_EQ(mApplication->ShowMessageBox(L"Start the update now?", L"Question", test.flags), test.answer);
        EXPECT_TRUE(watch.Finish());
        std::vector<int> expected{test.marked};
        for (const auto& move : test.moves) {
            expected.push_back(move.second);
        }
        EXPECT_EQ(marks, expected);
        Window focus = None;
        int revertTo = 0;
        XGetInputFocus(mDisplay, &focus, &revertTo);
        EXPECT_EQ(focus, main) << "the keyboard goes back to the main window";
    }
}

TEST_F(ApplicationServicesGui, ExtraRootWindowsHaveTheControlsTitleAndSizeAndAModalOneRunsUntilItIsClosed)
{
    StartApplication(true);
    const Platform::WindowPoint mainOrigin = mApplication->GetMainWindow()->GetBackEnd().GetClientOrigin();
    RCPtr<LControl> sizable;
    mApplication->CreateControlByName(sizable, L"sizableMain", nullptr);
    ASSERT_TRUE(sizable);
    ASSERT_EQ(sizable->SetText(L"Extra Window"), ZV_S_OK);
    ASSERT_EQ(sizable->SetBounds({30, 20}, {220, 140}), ZV_S_OK);
    const std::int32_t index = mApplication->CreateRootWindow(sizable, true, false, true);
    ASSERT_EQ(index, 1);
    const RCPtr<LRootWindow> extra = mApplication->GetWindows().GetRootWindow(1);
    ASSERT_EQ(extra->GetRootControl(), sizable);
    auto* extraWindow = dynamic_cast<OSWindow*>(extra->GetWindowServices());
    ASSERT_NE(extraWindow, nullptr);
    const Platform::IWindowBackEnd& backEnd = extraWindow->GetBackEnd();
    EXPECT_TRUE(RunLoopUntil([&] {
        return backEnd.IsVisible() && backEnd.GetClientSize() == Platform::WindowPoint{220, 140} &&
               backEnd.GetClientOrigin() == Platform::WindowPoint{mainOrigin.x + 30, mainOrigin.y + 20};
    }));
    const Window extraId = extraWindow->GetWindowHandle()->window;
    EXPECT_EQ(mInput.ReadTitle(extraId), "Extra Window");
    const DesktopInput::SizeHints hints = mInput.ReadSizeHints(extraId);
    EXPECT_EQ(hints.minimumWidth, 200);
    EXPECT_EQ(hints.maximumWidth, 320);
    EXPECT_EQ(MotifFunctions(mDisplay, extraId), 2 | 4 | 16 | 32) << "no minimise box";
    (void)extra->RedrawAll();
    WaitForServer(*extraWindow->GetWindowHandle());
    EXPECT_EQ(ReadWindowPixels(*extraWindow->GetWindowHandle(), 110, 70, 1, 1).front(), kSkinWindowColour);
    extraWindow->Destroy();

    RCPtr<LControl> fixed;
    mApplication->CreateControlByName(fixed, L"main", nullptr);
    ASSERT_TRUE(fixed);
    ASSERT_EQ(fixed->SetText(L"Modal Window"), ZV_S_OK);
    ASSERT_EQ(fixed->SetBounds({-5000, 10}, {240, 160}), ZV_S_OK);
    std::string title;
    ScreenRect rect;
    Window owner = None;
    DesktopInput::SizeHints modalHints;
    long modalFunctions = 0;
    MappedWindowWatch watch([](Display* display, Window window) { return TransientOwner(display, window) != None; },
                            [&](Display* display, Window window) {
                                DesktopInput input;
                                title = input.ReadTitle(window);
                                rect = ReadScreenRect(display, window);
                                owner = TransientOwner(display, window);
                                modalHints = input.ReadSizeHints(window);
                                modalFunctions = MotifFunctions(display, window);
                                input.RequestClose(window);
                            });
    EXPECT_EQ(mApplication->RunModalRootWindow(fixed, true), 0);
    EXPECT_TRUE(watch.Finish());
    EXPECT_EQ(title, "Modal Window");
    EXPECT_EQ(rect.width, 240u);
    EXPECT_EQ(rect.height, 160u);
    EXPECT_EQ(rect.x, WorkArea().x) << "moved into the work area";
    EXPECT_EQ(rect.y, mainOrigin.y + 10);
    EXPECT_EQ(owner, MainWindowId());
    EXPECT_EQ(modalHints.minimumWidth, 240);
    EXPECT_EQ(modalHints.maximumWidth, 240);
    EXPECT_EQ(modalFunctions, 4 | 32) << "moved and closed, never resized";
    EXPECT_TRUE(mApplication->GetMainWindow()->IsEnabled());
    EXPECT_EQ(mApplication->GetWindows().GetRootWindowCount(), 1u);
}

// An application whose loop fails once, as a fault in a handler makes it fail.
class FailingLoopSkinApplication : public RootWindowSkinApplication {
public:
    FailingLoopSkinApplication(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                               const WideString& commandLine)
        : RootWindowSkinApplication(factory, frameworkStrings, commandLine)
    {
    }

    void PumpMessages() override
    {
        if (!mFailed) {
            mFailed = true;
            throw std::runtime_error("the loop broke");
        }
        RootWindowSkinApplication::PumpMessages();
    }

private:
    bool mFailed = false;
};

bool IsTitled(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    const bool titled = XFetchName(display, window, &name) != 0 && name != nullptr && title == name;
    if (name != nullptr) {
        XFree(name);
    }
    return titled;
}

TEST_F(ApplicationServicesGui, AFailureThatLeavesTheLoopShowsItsBoxInFrontOfTheMainWindowAndEndsTheProgram)
{
    StartApplication(true, RootWindowSkinApplication::Make<FailingLoopSkinApplication>());
    const Window main = MainWindowId();
    Window owner = None;
    MappedWindowWatch watch([](Display* display, Window window) { return IsTitled(display, window, "Error"); },
                            [&](Display* display, Window box) {
                                owner = TransientOwner(display, box);
                                DesktopInput().RequestClose(box);
                            });
    mApplication->RunMessageLoop();
    EXPECT_TRUE(watch.Finish());
    EXPECT_EQ(owner, main);
    EXPECT_TRUE(mApplication->IsExitRequested());
}

TEST_F(ApplicationServicesGui, TheOpenGLSetUpFailureBoxShowsTheWarningIconAndOK)
{
    constexpr std::uint32_t kWarningIconColour = 0xF5C211;
    std::size_t buttons = 0;
    int warningPixels = 0;
    MappedWindowWatch watch([](Display* display, Window window) { return IsTitled(display, window, "OpenGL Error"); },
                            [&](Display* display, Window box) {
                                int row = 0;
                                buttons = WaitForBoxButtons(display, box, row).size();
                                const ScreenRect rect = ReadScreenRect(display, box);
                                XImage* image =
                                    XGetImage(display, box, 0, 0, rect.width, rect.height, AllPlanes, ZPixmap);
                                for (int y = 0; image != nullptr && y < static_cast<int>(rect.height); ++y) {
                                    for (int x = 0; x < static_cast<int>(rect.width); ++x) {
                                        warningPixels += (XGetPixel(image, x, y) & 0xFFFFFF) == kWarningIconColour;
                                    }
                                }
                                if (image != nullptr) {
                                    XDestroyImage(image);
                                }
                                DesktopInput().RequestClose(box);
                            });
    Platform::GlxFailure failure;
    failure.step = Platform::GlxFailure::Step::kCreateContext;
    (void)ShowGLSetupFailure(failure);
    EXPECT_TRUE(watch.Finish());
    EXPECT_EQ(buttons, 1u);
    EXPECT_GT(warningPixels, 200);
}

}  // namespace
}  // namespace ZV::Testing
