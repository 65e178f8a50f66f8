// Google Test first: the desktop's headers define None.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "System/FakeWindowBackEnd.h"
#include "System/Gui/DesktopInput.h"
#include "System/RecordingRootWindow.h"

#include "ControlBase/Dialog.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Platform/Clock.h"
#include "Platform/DebuggerOutput.h"
#include "Platform/InstanceChannel.h"
#include "Platform/NativeWindow.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "System/RootWindow.h"
#include "support/WindowPixels.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using Testing::DesktopInput;
using Testing::LRecordingRootWindow;
using Testing::TestWindowHost;

constexpr std::uint32_t kWait = 5000;
const LColor kBlue(0, 0, 1, 1);
const LColor kRed(1, 0, 0, 1);

// Runs the loop until the condition holds or the wait ends; the condition's last answer.
bool RunUntil(const std::function<bool()>& done, std::uint32_t waitMs = kWait)
{
    const std::uint32_t start = Platform::GetMillisecondTick();
    (void)GetMessageLoop().Run([&] { return !done() && Platform::GetMillisecondTick() - start < waitMs; });
    return done();
}

// A window on the desktop drawn by the 2D renderer, with a recording root window, shown and focused.
struct DesktopWindow {
    DesktopWindow(int x, int y, int width, int height, OSWindow* parent = nullptr)
    {
        window = OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVTestWindow", width, height, parent);
        if (!window) {
            return;
        }
        EXPECT_EQ(window->CreateRenderer(LRenderer::kGdi), ZV_S_OK);
        root = LRecordingRootWindow::GetLastMade();
        root->SetFill(kBlue);
        EXPECT_EQ(window->SetBounds({x, y, width, height}), ZV_S_OK);
        (void)window->Show(kShow);
        origin = {x, y};
        EXPECT_TRUE(RunUntil([this] {
            const Platform::WindowPoint at = window->GetBackEnd().GetClientOrigin();
            return window->IsActive() && at.x == origin.x && at.y == origin.y;
        }));
        root->TakeCalls();
    }
    ~DesktopWindow()
    {
        if (window) {
            window->Destroy();
        }
    }
    unsigned long GetId() const { return window->GetWindowHandle()->window; }
    // Clicks and waits until the root window heard both halves.
    void ClickAt(DesktopInput& input, int x, int y, unsigned int button = 1)
    {
        input.MoveTo(origin.x + x, origin.y + y);
        input.Click(button);
    }
    std::vector<std::string> CallsOnceThere(std::size_t count)
    {
        EXPECT_TRUE(RunUntil([&] { return calls.size() + Pending() >= count; }));
        Collect();
        return std::exchange(calls, {});
    }
    std::size_t Pending() { return Collect(), 0; }
    void Collect()
    {
        for (std::string& call : root->TakeCalls()) {
            if (call.rfind("paint", 0) != 0 && call != "focus" && call != "focus lost") {
                calls.push_back(std::move(call));
            }
        }
    }

    RCPtr<OSWindow> window;
    RCPtr<LRecordingRootWindow> root;
    PointT<zlong> origin;
    std::vector<std::string> calls;
};

class OSWindowGui : public ::testing::Test {
protected:
    OSWindowGui()
    {
        LGDIRenderer::Register();
        OSWindow::SetRootWindowFactory(&LRecordingRootWindow::Make);
    }
    ~OSWindowGui() override
    {
        GetMessageLoop().ClearQuit();
        GetMessageLoop().ReleaseDeferred();
        LRecordingRootWindow::GetLastMade() = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        // Away from where the windows show: one shown in the foreground under the pointer holds the mouse until it
        // loses the keyboard, which the tests would see as a capture lost.
        mInput.MoveTo(1279, 1023);
    }

    TestWindowHost mHost;
    DesktopInput mInput;
};

TEST_F(OSWindowGui, ClicksDoubleClicksDragsAndWheelNotchesReachTheRootWindowAsTheUserMadeThem)
{
    DesktopWindow test(100, 100, 200, 150);
    ASSERT_TRUE(test.window);
    test.ClickAt(mInput, 30, 40);
    test.ClickAt(mInput, 30, 40);
    EXPECT_THAT(test.CallsOnceThere(4),
                ElementsAre("press 1 mods 0x0 at 30,40", "release 1 mods 0x0 at 30,40", "double 1 mods 0x0 at 30,40",
                            "release 1 mods 0x0 at 30,40"));
    // Pressed inside, let go outside: the release, then the capture's loss.
    mInput.MoveTo(150, 150);
    mInput.Button(3, true);
    mInput.MoveTo(450, 400);
    mInput.Button(3, false);
    EXPECT_THAT(test.CallsOnceThere(3),
                ElementsAre("press 4 mods 0x0 at 50,50", "release 4 mods 0x0 at 350,300", "capture lost"));
    for (const unsigned int notch : {4u, 5u, 6u, 7u}) {
        test.ClickAt(mInput, 60, 70, notch);
    }
    EXPECT_THAT(test.CallsOnceThere(4), ElementsAre("wheel 1 mods 0x0 at 60,70", "wheel 0 mods 0x0 at 60,70",
                                                     "wheel 2 mods 0x0 at 60,70", "wheel 3 mods 0x0 at 60,70"));
}

TEST_F(OSWindowGui, KeysGiveTheirCodesSidesRepeatsAndCharactersOnlyToTheFocusedWindow)
{
    DesktopWindow test(100, 100, 200, 150);
    ASSERT_TRUE(test.window);
    mInput.Key("Control_L", true);
    mInput.Tap("o");
    mInput.Key("Control_L", false);
    EXPECT_THAT(test.CallsOnceThere(5),
                ElementsAre("key 0x21110000 sided 0x04 previous 0", "key 0x214f0000 sided 0x04 previous 0",
                            "key 0x0100000f sided 0x00 previous 0", "key 0x014f0000 sided 0x04 previous 1",
                            "key 0x00110000 sided 0x00 previous 1"));
    mInput.Key("Shift_R", true);
    mInput.Key("Shift_R", false);
    EXPECT_THAT(test.CallsOnceThere(2), ElementsAre("key 0x22100000 sided 0x02 previous 0",
                                                     "key 0x00100000 sided 0x00 previous 1"));
    // Held, a key repeats: presses that say it was down already, with its character each time.
    mInput.RepeatKeysSoon();
    mInput.Key("a", true);
    EXPECT_TRUE(RunUntil([&] {
        test.Collect();
        return std::count(test.calls.begin(), test.calls.end(), "key 0x20410000 sided 0x00 previous 1") > 0;
    }));
    mInput.Key("a", false);
    const std::vector<std::string> calls = test.CallsOnceThere(5);
    EXPECT_EQ(calls.at(0), "key 0x20410000 sided 0x00 previous 0");
    EXPECT_EQ(calls.at(1), "key 0x00000061 sided 0x00 previous 0");
    EXPECT_EQ(calls.at(2), "key 0x20410000 sided 0x00 previous 1");
    EXPECT_EQ(calls.back(), "key 0x00410000 sided 0x00 previous 1");
    // Typed while another window has the keyboard: not routed.
    ASSERT_TRUE(mInput.TakeFocusToOwnWindow());
    EXPECT_TRUE(RunUntil([&] { return !test.window->HasFocus(); }));
    mInput.MoveTo(150, 150);
    mInput.Tap("x");
    ASSERT_TRUE(mInput.WaitForOwnKeyPress());
    mInput.Click(6);
    EXPECT_THAT(test.CallsOnceThere(1), ElementsAre("wheel 2 mods 0x0 at 50,50"));
}

TEST_F(OSWindowGui, IdleRunsAboutThirtyTimesASecondAndDeliversAWorkersPostAtTheNextTick)
{
    DesktopWindow test(100, 100, 120, 80);
    ASSERT_TRUE(test.window);
    const int before = mHost.mIdleCalls;
    const std::uint32_t start = Platform::GetMillisecondTick();
    (void)GetMessageLoop().Run([&] { return Platform::GetMillisecondTick() - start < 2000; });
    EXPECT_GE(mHost.mIdleCalls - before, 50);

    class LDeliveryFlag : public LNotificationClient {
    public:
        void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
        {
            delivered = true;
        }
        bool delivered = false;
    };
    const RCPtr<LDeliveryFlag> client(new LDeliveryFlag());
    ASSERT_NE(client->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_WORKER_DONE", 0), nullptr);
    std::atomic<bool> posted{false};
    bool postSeen = false;
    int ticksMissed = 0;
    mHost.mOnIdle = [&](bool first) {
        if (first) {
            // A post that had returned when the last tick's idle call ended is delivered by this one.
            if (postSeen && !client->delivered) {
                ++ticksMissed;
            }
            postSeen = posted.load();
        }
        return false;
    };
    std::thread worker([&] {
        (void)GetApplicationNotificationCenter()->PostNotification(LNotification::Create(L"NID_WORKER_DONE", nullptr));
        posted = true;
    });
    EXPECT_TRUE(RunUntil([&] { return client->delivered; }));
    worker.join();
    EXPECT_EQ(ticksMissed, 0);
    mHost.mOnIdle = nullptr;
    (void)client->UnregisterAllNotifications();
}

TEST_F(OSWindowGui, AnInvalidatedAreaShowsTheNewColourAndTheContentComesBackAfterUnmapAndMap)
{
    DesktopWindow test(100, 100, 120, 80);
    ASSERT_TRUE(test.window);
    const Platform::NativeWindow& native = *test.window->GetWindowHandle();
    int paints = test.root->GetPaintCount();
    test.root->AddMark({20, 10, 30, 20}, kRed);
    EXPECT_TRUE(RunUntil([&] { return test.root->GetPaintCount() > paints; }));
    Testing::WaitForServer(native);
    const auto pixelAt = [&](int x, int y) { return Testing::ReadWindowPixels(native, x, y, 1, 1).at(0); };
    EXPECT_EQ(pixelAt(25, 15), 0xFF0000u);
    EXPECT_EQ(pixelAt(5, 5), 0x0000FFu);
    (void)test.window->Show(kShowHide);
    EXPECT_TRUE(RunUntil([&] { return !test.window->GetBackEnd().IsVisible(); }));
    paints = test.root->GetPaintCount();
    (void)test.window->Show(kShow);
    EXPECT_TRUE(RunUntil([&] { return test.root->GetPaintCount() > paints; }));
    Testing::WaitForServer(native);
    EXPECT_EQ(pixelAt(25, 15), 0xFF0000u);
    EXPECT_EQ(pixelAt(60, 50), 0x0000FFu);
}

TEST_F(OSWindowGui, TheDesktopsCloseRequestOnTheMainWindowAsksTheApplicationToExitAndTheWindowStays)
{
    DesktopWindow test(100, 100, 120, 80);
    ASSERT_TRUE(test.window);
    class LExitRequests : public LNotificationClient {
    public:
        void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
        {
            ++count;
        }
        int count = 0;
    };
    const RCPtr<LExitRequests> client(new LExitRequests());
    ASSERT_NE(client->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ", 0), nullptr);
    mInput.RequestClose(test.GetId());
    EXPECT_TRUE(RunUntil([&] { return client->count == 1; }));
    EXPECT_TRUE(test.window->GetBackEnd().Exists());
    EXPECT_TRUE(test.window->GetBackEnd().IsVisible());
    (void)client->UnregisterAllNotifications();
}

TEST_F(OSWindowGui, AModalWindowReturnsItsResultWhileClicksOnItsParentAreNotRoutedAndQuitReturnsMinusOne)
{
    DesktopWindow parent(100, 100, 200, 150);
    ASSERT_TRUE(parent.window);
    std::int32_t result = 0;
    for (const bool quit : {false, true}) {
        DesktopWindow dialog(400, 100, 120, 80, parent.window.Get());
        int idle = 0;
        mHost.mOnIdle = [&](bool) {
            ++idle;
            if (idle == 2) {
                parent.ClickAt(mInput, 20, 20);
                dialog.ClickAt(mInput, 20, 20);
            }
            // The dialog's click came after the parent's on the same connection: both were handled.
            dialog.Collect();
            if (!dialog.calls.empty()) {
                if (quit) {
                    GetMessageLoop().PostQuit(0);
                } else {
                    (void)dialog.root->GetServices()->EndModal(7);
                }
            }
            return false;
        };
        result = dialog.window->RunModal();
        mHost.mOnIdle = nullptr;
        EXPECT_GE(idle, 2);
        EXPECT_EQ(result, quit ? -1 : 7);
        EXPECT_TRUE(parent.window->IsEnabled());
        EXPECT_THAT(dialog.calls, Contains("press 1 mods 0x0 at 20,20"));
        parent.Collect();
        EXPECT_TRUE(parent.calls.empty());
        EXPECT_FALSE(dialog.window->GetBackEnd().Exists());
        dialog.window = nullptr;
        GetMessageLoop().ClearQuit();
    }
    parent.ClickAt(mInput, 20, 20);
    EXPECT_THAT(parent.CallsOnceThere(2), ElementsAre("press 1 mods 0x0 at 20,20", "release 1 mods 0x0 at 20,20"));
}

// A root window of the framework, held as the application holds the root windows it is told of.
RCPtr<LRootWindow> gHeldRootWindow;

RCPtr<IRootWindowTarget> MakeHeldRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
{
    gHeldRootWindow = LRootWindow::Create(renderer, services);
    return gHeldRootWindow;
}

TEST_F(OSWindowGui, ADialogWhoseOwnerAnotherProgramDestroysClosesUnrefusedAsByItsCloseBoxWithinAFewIdlePasses)
{
    DesktopWindow owner(100, 100, 200, 150);
    ASSERT_TRUE(owner.window);
    OSWindow::SetRootWindowFactory(&MakeHeldRootWindow);
    const RCPtr<OSWindow> window =
        OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVTestWindow", 120, 80, owner.window.Get());
    ASSERT_TRUE(window);
    ASSERT_EQ(window->CreateRenderer(LRenderer::kGdi), ZV_S_OK);
    OSWindow::SetRootWindowFactory(&LRecordingRootWindow::Make);
    const RCPtr<LRootWindow> root = std::exchange(gHeldRootWindow, nullptr);
    const RCPtr<LDialog> dialog(new LDialog(nullptr, L"dialog"));
    ASSERT_EQ(root->SetRootControl(dialog), ZV_S_OK);
    // The reference it is shown with, which its close gives back.
    (void)dialog->AddRef();
    // A receiver that keeps it open, as one that asks whether to drop what the user typed.
    class LKeepOpen : public LNotificationClient {
    public:
        void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
        {
            dynamic_cast<const LCancelArgs&>(*notification->GetParameter()).Cancel();
            ++closings;
        }
        int closings = 0;
    };
    const RCPtr<LKeepOpen> keepOpen(new LKeepOpen());
    ASSERT_NE(keepOpen->RegisterForNotification(dialog, L"NID_DIALOG_CLOSING", 0), nullptr);

    int idle = 0;
    bool ownerDestroyed = false;
    int idleSinceOwnerWent = 0;
    mHost.mOnIdle = [&](bool firstCall) {
        // As the application serves its root windows.
        const bool more = root->OnIdle(firstCall);
        if (++idle == 2) {
            mInput.RequestClose(window->GetWindowHandle()->window);
        } else if (keepOpen->closings == 1 && !std::exchange(ownerDestroyed, true)) {
            // The close box's close was refused: the dialog stands.
            mInput.DestroyWindow(owner.GetId());
        }
        if (!owner.window->GetBackEnd().Exists() && ++idleSinceOwnerWent == 100) {
            // Nothing else would end it.
            (void)window->EndModal(-2);
        }
        return more;
    };
    const std::int32_t result = window->RunModal();
    mHost.mOnIdle = nullptr;
    EXPECT_EQ(result, 2) << "the result of the dialog's close box";
    EXPECT_EQ(keepOpen->closings, 2) << "the second could not be refused";
    EXPECT_LE(idleSinceOwnerWent, 3);
    EXPECT_TRUE(dialog->IsClosed());
    EXPECT_FALSE(window->GetBackEnd().Exists());
    EXPECT_EQ(root->GetRootControl(), nullptr);
    (void)keepOpen->UnregisterAllNotifications();
}

TEST_F(OSWindowGui, TitleSizeLimitsAndCursorsReachTheDesktop)
{
    DesktopWindow test(100, 100, 200, 150);
    ASSERT_TRUE(test.window);
    EXPECT_EQ(test.window->SetTitle(L"Halvista \x00DC" L"ber \x65E5"), ZV_S_OK);
    EXPECT_EQ(mInput.ReadTitle(test.GetId()), "Halvista \xC3\x9C" "ber \xE6\x97\xA5");
    test.root->SetSizeLimits({150, 100}, {400, 311});
    (void)test.window->Show(kShow);
    Testing::WaitForServer(*test.window->GetWindowHandle());
    const DesktopInput::SizeHints hints = mInput.ReadSizeHints(test.GetId());
    EXPECT_EQ(hints.minimumWidth, 150);
    EXPECT_EQ(hints.minimumHeight, 100);
    EXPECT_EQ(hints.maximumWidth, 400);
    EXPECT_EQ(hints.maximumHeight, 311);
    EXPECT_TRUE(hints.staticGravity);
    // A size the root window refuses is corrected.
    EXPECT_EQ(test.window->SetBounds({100, 100, 600, 50}), ZV_S_OK);
    EXPECT_TRUE(RunUntil([&] { return test.window->GetBackEnd().GetClientSize() == Platform::WindowPoint{400, 100}; }));
    Platform::IWindowBackEnd& backEnd = test.window->GetBackEnd();
    const std::uintptr_t hand = backEnd.LoadCursor("UI_CURSOR_HAND");
    EXPECT_NE(hand, 0u);
    EXPECT_EQ(backEnd.LoadCursor("UI_CURSOR_HAND"), hand);
    EXPECT_NE(backEnd.LoadCursor("UI_CURSOR_IBEAM"), hand);
    EXPECT_EQ(backEnd.LoadCursor("NOT_A_CURSOR"), backEnd.LoadCursor("UI_CURSOR_ARROW"));
    (void)test.window->SetCursor(hand);
    EXPECT_EQ(test.window->SetCursor(hand), hand);
}

TEST_F(OSWindowGui, TheMainWindowsPlacementSurvivesARestart)
{
    char folder[] = "/tmp/zv-placement-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(setenv("XDG_DATA_HOME", folder, 1), 0);
    mHost.mClassName = L"ZVPlacementTest";
    {
        DesktopWindow first(100, 100, 200, 150);
        ASSERT_TRUE(first.window);
        EXPECT_EQ(first.window->SetBounds({321, 234, 180, 140}), ZV_S_OK);
        EXPECT_TRUE(RunUntil([&] {
            const Platform::IWindowBackEnd& backEnd = first.window->GetBackEnd();
            return backEnd.GetClientOrigin() == Platform::WindowPoint{321, 234} &&
                   backEnd.GetClientSize() == Platform::WindowPoint{180, 140};
        }));
    }
    GetMessageLoop().ReleaseDeferred();
    DesktopWindow second(10, 10, 100, 100);
    ASSERT_TRUE(second.window);
    ASSERT_TRUE(second.window->RestorePlacement());
    EXPECT_TRUE(RunUntil([&] {
        const Platform::IWindowBackEnd& backEnd = second.window->GetBackEnd();
        return backEnd.GetClientOrigin() == Platform::WindowPoint{321, 234} &&
               backEnd.GetClientSize() == Platform::WindowPoint{180, 140};
    }));
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(std::system((std::string("rm -r ") + folder).c_str()), 0);
}

TEST_F(OSWindowGui, ASecondProcessHandsItsCommandLineOverOnceAndTheFirstReceivesIt)
{
    DesktopWindow main(100, 100, 120, 80);
    ASSERT_TRUE(main.window);
    const std::string path = "/tmp/zv-handover-" + std::to_string(Platform::GetMicrosecondTime());
    const std::unique_ptr<Platform::InstanceChannelListener> listener = Platform::InstanceChannelListener::Listen(path);
    ASSERT_TRUE(listener);
    listener->SetReceiver([&](std::int32_t tag, const char* data, std::size_t size) {
        main.window->ReceiveDataCopy(tag, data, size);
    });
    GetMessageLoop().AddSource(listener.get());
    std::atomic<int> exitCode{-1};
    std::thread second([&] {
        exitCode = std::system((std::string(ZV_HAND_OVER_SENDER) + " " + path + " -SILENT '-FIRMWARE_IMAGE_NAME=a b'")
                                   .c_str());
    });
    EXPECT_TRUE(RunUntil([&] { return !mHost.mDataCopies.empty() && exitCode.load() != -1; }));
    second.join();
    GetMessageLoop().RemoveSource(listener.get());
    EXPECT_EQ(exitCode.load(), 0);
    EXPECT_THAT(mHost.mDataCopies, ElementsAre("-SILENT -FIRMWARE_IMAGE_NAME=a b"));
}

TEST_F(OSWindowGui, AWindowDestroyedUnderUsIsLoggedAndForgottenAndTheProgramGoesOn)
{
    static std::mutex linesLock;
    static std::vector<std::string> lines;
    Platform::SetDebuggerOutputSink([](const char* text) {
        const std::lock_guard hold(linesLock);
        lines.emplace_back(text);
    });
    DesktopWindow test(100, 100, 120, 80);
    ASSERT_TRUE(test.window);
    mInput.DestroyWindow(test.GetId());
    // A request on the window that is gone, before its end is read: the server refuses it.
    EXPECT_EQ(test.window->SetTitle(L"still here?"), ZV_S_OK);
    Testing::WaitForServer(*test.window->GetWindowHandle());
    EXPECT_TRUE(RunUntil([&] { return !test.window->GetBackEnd().Exists(); }));
    EXPECT_EQ(test.window->SetTitle(L"gone"), ZV_E_FAIL);
    EXPECT_TRUE(mHost.mRoots.empty());
    Platform::SetDebuggerOutputSink(nullptr);
    const std::lock_guard hold(linesLock);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("BadWindow"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace ZV
