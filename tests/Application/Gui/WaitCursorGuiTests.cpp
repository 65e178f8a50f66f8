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

#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace ZV::Testing {
namespace {

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
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        LGDIRenderer::Register();
        mApplication = RootWindowSkinApplication::Make();
        ASSERT_TRUE(mApplication);
        ASSERT_EQ(mApplication->RunApplicationStartup(), ZV_S_OK);
        ASSERT_EQ(mApplication->CreateMainWindow(LRenderer::kGdi), ZV_S_OK);
        const RCPtr<OSWindow> window = mApplication->GetMainWindow();
        ASSERT_TRUE(window);
        ASSERT_TRUE(RunLoopUntil([&] { return window->IsActive() && window->GetBackEnd().IsVisible(); }));
        mWatch = mInput.FontCursor(XC_watch);
        mArrow = mInput.FontCursor(XC_left_ptr);
        ASSERT_NE(mWatch, mArrow);
    }

    ~WaitCursorGui() override
    {
        if (mApplication) {
            (void)mApplication->RunApplicationShutdown();
            mApplication = nullptr;
        }
        Platform::OverrideProgramVersionInfo(std::nullopt);
    }

    // The cursor over the middle of the main window, once the window's requests have reached the server.
    CursorImage CursorOverMainWindow()
    {
        const RCPtr<OSWindow> window = mApplication->GetMainWindow();
        WaitForServer(*window->GetWindowHandle());
        const Platform::WindowPoint origin = window->GetBackEnd().GetClientOrigin();
        return mInput.CursorAt(origin.x + 30, origin.y + 30);
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
    RCPtr<RootWindowSkinApplication> mApplication;
    CursorImage mWatch;
    CursorImage mArrow;
};

TEST_F(WaitCursorGui, TwoWaitCursorsShowTheWatchOverTheMainWindowWhileEitherRunsAndTheArrowOnceBothEndInAnyOrder)
{
    const RCPtr<LRootWindow> root = RootUnderTheArrow();
    for (const bool firstEndsFirst : {false, true}) {
        EXPECT_EQ(CursorOverMainWindow(), mArrow);
        // The engine's work goes on in the window's loop while a blocking one begins.
        std::optional<LWaitCursor> first;
        first.emplace(L"Putting Device in Update Mode...", root, LWaitCursor::Caller::kGoesOn);
        EXPECT_EQ(CursorOverMainWindow(), mWatch);
        std::optional<LWaitCursor> second;
        second.emplace(L"Loading Skin...");
        EXPECT_EQ(CursorOverMainWindow(), mWatch);
        (firstEndsFirst ? first : second).reset();
        EXPECT_EQ(CursorOverMainWindow(), mWatch) << "the other still runs";
        (firstEndsFirst ? second : first).reset();
        EXPECT_EQ(CursorOverMainWindow(), mArrow);
    }
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
