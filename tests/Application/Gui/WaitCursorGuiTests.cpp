// The wait cursor over the application's main window, read as the server shows it under the pointer.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/Gui/RootWindowSkinApplication.h"
#include "Application/WaitCursor.h"

#include "Notification/NotificationClient.h"
#include "Platform/NativeWindow.h"
#include "Platform/VersionInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "support/WindowPixels.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace ZV::Testing {
namespace {

// What the server shows under the pointer: the cursor's size, hot spot and pixels.
struct CursorImage {
    int width = 0;
    int height = 0;
    int xHot = 0;
    int yHot = 0;
    std::vector<unsigned long> pixels;

    bool operator==(const CursorImage&) const = default;
};

// Runs its reader at every idle pass and keeps what it read.
class LIdleWitness : public LNotificationClient {
public:
    explicit LIdleWitness(std::function<CursorImage()> read) : mRead(std::move(read)) {}
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        mSeen.push_back(mRead());
    }

    std::function<CursorImage()> mRead;
    std::vector<CursorImage> mSeen;
};

class WaitCursorGui : public ::testing::Test {
protected:
    WaitCursorGui()
    {
        setenv("XDG_DATA_HOME", mDataFolder.Path().string().c_str(), 1);
        Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                             "\\StringFileInfo\\040904b0\\CompanyName=Corvan\n"
                                             "\\StringFileInfo\\040904b0\\ProductName=Wait Cursor Test\n");
    }

    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen() && mDisplay != nullptr) << "no X display";
        LGDIRenderer::Register();
        mApplication = RootWindowSkinApplication::Make();
        ASSERT_TRUE(mApplication);
        ASSERT_EQ(mApplication->RunApplicationStartup(), ZV_S_OK);
        ASSERT_EQ(mApplication->CreateMainWindow(LRenderer::kGdi), ZV_S_OK);
        const RCPtr<OSWindow> window = mApplication->GetMainWindow();
        ASSERT_TRUE(window);
        ASSERT_TRUE(RunLoopUntil([&] { return window->IsActive() && window->GetBackEnd().IsVisible(); }));
        mWatch = FontCursor(XC_watch);
        mArrow = FontCursor(XC_left_ptr);
        ASSERT_NE(mWatch, mArrow);
    }

    ~WaitCursorGui() override
    {
        if (mApplication) {
            (void)mApplication->RunApplicationShutdown();
            mApplication = nullptr;
        }
        if (mDisplay != nullptr) {
            XCloseDisplay(mDisplay);
        }
        Platform::OverrideProgramVersionInfo(std::nullopt);
    }

    // The cursor that the server shows with the pointer at the point of the screen.
    CursorImage CursorAt(int x, int y)
    {
        mInput.MoveTo(x, y);
        CursorImage image;
        if (XFixesCursorImage* shown = XFixesGetCursorImage(mDisplay)) {
            image = {shown->width, shown->height, shown->xhot, shown->yhot,
                     std::vector<unsigned long>(shown->pixels,
                                                shown->pixels + static_cast<std::size_t>(shown->width) *
                                                                    shown->height)};
            XFree(shown);
        }
        return image;
    }

    // The cursor of the cursor font's shape, shown over a small window of this client's own in the screen's corner.
    CursorImage FontCursor(unsigned int shape)
    {
        const int screen = DefaultScreen(mDisplay);
        const int x = DisplayWidth(mDisplay, screen) - 20;
        const int y = DisplayHeight(mDisplay, screen) - 20;
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.cursor = XCreateFontCursor(mDisplay, shape);
        const Window window = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, 20, 20, 0, CopyFromParent,
                                            InputOutput, CopyFromParent, CWOverrideRedirect | CWCursor, &attributes);
        XMapRaised(mDisplay, window);
        XSync(mDisplay, False);
        const CursorImage image = CursorAt(x + 10, y + 10);
        XDestroyWindow(mDisplay, window);
        XFreeCursor(mDisplay, attributes.cursor);
        XSync(mDisplay, False);
        return image;
    }

    // The cursor over the middle of the main window, once the window's requests have reached the server.
    CursorImage CursorOverMainWindow()
    {
        const RCPtr<OSWindow> window = mApplication->GetMainWindow();
        WaitForServer(*window->GetWindowHandle());
        const Platform::WindowPoint origin = window->GetBackEnd().GetClientOrigin();
        return CursorAt(origin.x + 30, origin.y + 30);
    }

    // The main window's root, showing the arrow as it does when nothing runs.
    RCPtr<LRootWindow> RootUnderTheArrow()
    {
        const RCPtr<LRootWindow> root = mApplication->GetMainRootWindow();
        (void)root->SetCursor(mApplication->LoadCursor(L"UI_CURSOR_ARROW"));
        return root;
    }

    TemporaryFolder mDataFolder;
    DesktopInput mInput;
    Display* mDisplay = XOpenDisplay(nullptr);
    RCPtr<RootWindowSkinApplication> mApplication;
    CursorImage mWatch;
    CursorImage mArrow;
};

TEST_F(WaitCursorGui, NestedWaitCursorsShowTheWatchOverTheMainWindowAndTheArrowOnceBothEnd)
{
    const RCPtr<LRootWindow> root = RootUnderTheArrow();
    EXPECT_EQ(CursorOverMainWindow(), mArrow);
    {
        const LWaitCursor outer(L"Loading Skin...");
        EXPECT_EQ(CursorOverMainWindow(), mWatch);
        {
            const LWaitCursor inner(L"Putting Device in Update Mode...", root);
            EXPECT_EQ(CursorOverMainWindow(), mWatch);
        }
        // The inner one gives back what it found: the wait cursor.
        EXPECT_EQ(CursorOverMainWindow(), mWatch);
    }
    EXPECT_EQ(CursorOverMainWindow(), mArrow);
}

TEST_F(WaitCursorGui, WorkAfterAnIdlePassThatSetTheArrowStillRunsUnderTheWatch)
{
    const RCPtr<LRootWindow> root = RootUnderTheArrow();
    // As the main window does when the device's state changes.
    const RCPtr<LIdleWitness> arrowSetter(new LIdleWitness([&] {
        (void)root->SetCursor(mApplication->LoadCursor(L"UI_CURSOR_ARROW"));
        return CursorOverMainWindow();
    }));
    ASSERT_NE(arrowSetter->RegisterForNotification(root->GetNotificationDistributor(), L"NID_IDLE", 0), nullptr);
    {
        const LWaitCursor waitCursor(L"Putting Device in Update Mode...", root);
        (void)arrowSetter->UnregisterAllNotifications();
        ASSERT_FALSE(arrowSetter->mSeen.empty());
        EXPECT_EQ(arrowSetter->mSeen.back(), mArrow);
        EXPECT_EQ(CursorOverMainWindow(), mWatch);
    }
    EXPECT_EQ(CursorOverMainWindow(), mArrow);
}

TEST_F(WaitCursorGui, ChangingTheSkinRunsAnIdlePassUnderTheWaitCursorAndGivesTheArrowBack)
{
    const RCPtr<LRootWindow> root = RootUnderTheArrow();
    const RCPtr<LIdleWitness> witness(new LIdleWitness([&] { return CursorOverMainWindow(); }));
    ASSERT_NE(witness->RegisterForNotification(root->GetNotificationDistributor(), L"NID_IDLE", 0), nullptr);

    // A remembered index below the first skin's stands for the first.
    mApplication->SetSkin(-3);
    (void)witness->UnregisterAllNotifications();
    EXPECT_EQ(mApplication->GetFactory()->GetCurrentSkinIndex(), 0);
    ASSERT_FALSE(witness->mSeen.empty());
    EXPECT_EQ(witness->mSeen.front(), mWatch);
    EXPECT_EQ(CursorOverMainWindow(), mArrow);
}

}  // namespace
}  // namespace ZV::Testing
