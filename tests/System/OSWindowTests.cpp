#include "System/FakeWindowBackEnd.h"
#include "System/RecordingRootWindow.h"

#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using Testing::FakeWindowBackEnd;
using Testing::LRecordingRootWindow;
using Testing::ScriptedEventSource;
using Testing::TestWindowHost;
namespace Key = Platform::VirtualKey;

// An OS window over a fake desktop window, with a recording root window and the 2D renderer drawing nowhere.
struct TestWindow {
    explicit TestWindow(OSWindow* parent = nullptr)
    {
        auto backEnd = std::make_unique<FakeWindowBackEnd>();
        fake = backEnd.get();
        window = OSWindow::Create(std::move(backEnd), parent);
        EXPECT_EQ(window->AttachRenderer(LRenderer::Create(LRenderer::kGdi, nullptr)), ZV_S_OK);
        root = LRecordingRootWindow::GetLastMade();
    }
    Platform::IWindowEventSink& Sink() const { return fake->GetSink(); }
    void Press(std::uint32_t button, Platform::WindowPoint point, std::uint32_t time)
    {
        fake->SetKey(button == 1 ? Key::kLeftButton : button == 2 ? Key::kMiddleButton : Key::kRightButton, true);
        Sink().OnButton(true, button, point, time);
    }
    void Release(std::uint32_t button, Platform::WindowPoint point)
    {
        fake->SetKey(button == 1 ? Key::kLeftButton : button == 2 ? Key::kMiddleButton : Key::kRightButton, false);
        Sink().OnButton(false, button, point, 0);
    }

    FakeWindowBackEnd* fake;
    RCPtr<OSWindow> window;
    RCPtr<LRecordingRootWindow> root;
};

// Writes down the id of every notification it receives.
class LIdRecorder : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        mIds.emplace_back(WideString(notification->GetId()).ToUTF8().GetData());
    }
    std::vector<std::string> mIds;
};

class OSWindowTest : public ::testing::Test {
protected:
    OSWindowTest()
    {
        LGDIRenderer::Register();
        OSWindow::SetRootWindowFactory(&LRecordingRootWindow::Make);
        GetMessageLoop().AddSource(&mEvents);
        GetMessageLoop().StartTick();
    }
    ~OSWindowTest() override
    {
        GetMessageLoop().StopTick();
        GetMessageLoop().RemoveSource(&mEvents);
        GetMessageLoop().ClearQuit();
        LRecordingRootWindow::GetLastMade() = nullptr;
    }
    void TearDown() override { GetMessageLoop().ReleaseDeferred(); }

    TestWindowHost mHost;
    ScriptedEventSource mEvents;
};

TEST_F(OSWindowTest, EachInputOrTickGivesAtMostTwoIdleCallsTheFirstMarkedAndASecondOnlyWhenMoreIsWanted)
{
    for (const bool wantsMore : {true, false}) {
        std::string firstFlags;
        mHost.mOnIdle = [&](bool first) {
            firstFlags += first ? 'F' : 's';
            return wantsMore;
        };
        int events = 0;
        mEvents.Queue([&] { ++events; });
        (void)GetMessageLoop().Run([&] { return firstFlags.size() < 8; });
        EXPECT_EQ(events, 1);
        EXPECT_EQ(firstFlags, wantsMore ? "FsFsFsFs" : "FFFFFFFF");
    }
    mHost.mOnIdle = nullptr;
}

TEST_F(OSWindowTest, ClicksPressAndReleaseWithTheModifiersAndTwoCloseQuickPressesMakeOneDoubleClick)
{
    TestWindow test;
    test.fake->SetKey(Key::kControl, true);
    test.Press(1, {10, 20}, 1000);
    test.Release(1, {10, 20});
    test.fake->SetKey(Key::kControl, false);
    test.Press(1, {11, 21}, 1400);
    test.Release(1, {11, 21});
    // A third press is a new first click, however soon it comes.
    test.Press(1, {11, 21}, 1500);
    test.Release(1, {11, 21});
    // Too late, too far, or another button: no double click.
    test.Press(1, {11, 21}, 2100);
    test.Press(4, {11, 21}, 2200);
    test.Release(4, {11, 21});
    test.Press(4, {14, 21}, 2300);
    EXPECT_THAT(test.root->TakeCalls(),
                ElementsAre("press 1 mods 0x1 at 10,20", "release 1 mods 0x1 at 10,20", "double 1 mods 0x0 at 11,21",
                            "release 1 mods 0x0 at 11,21", "press 1 mods 0x0 at 11,21", "release 1 mods 0x0 at 11,21",
                            "press 1 mods 0x0 at 11,21", "press 4 mods 0x0 at 11,21", "release 4 mods 0x0 at 11,21",
                            "press 4 mods 0x0 at 14,21"));
    EXPECT_EQ(test.window->GetMouseButtons(), 5u);
    test.window->Destroy();
}

TEST_F(OSWindowTest, CaptureLastsFromPressToReleaseOutsideAndThenUntilThePointerLeaves)
{
    TestWindow test;
    test.Press(1, {10, 10}, 0);
    test.Sink().OnPointerMoved({-30, 250});
    EXPECT_EQ(test.window->GetCursorPosition(), (PointT<zlong>{-30, 250}));
    test.Release(1, {-30, 250});
    EXPECT_THAT(test.root->TakeCalls(),
                ElementsAre("press 1 mods 0x0 at 10,10", "release 1 mods 0x0 at -30,250", "capture lost"));
    // A release inside keeps the capture until the pointer leaves with no button held.
    test.Press(1, {10, 10}, 5000);
    test.Release(1, {12, 12});
    test.Sink().OnPointerMoved({100, 50});
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("press 1 mods 0x0 at 10,10", "release 1 mods 0x0 at 12,12"));
    test.Sink().OnPointerMoved({-1, -1});
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("capture lost"));
    EXPECT_EQ(test.root->GetLastMove(), (PointT<zlong>{-1, -1}));
    // Losing the focus while capturing loses the capture first.
    test.Press(1, {10, 10}, 9000);
    test.Sink().OnFocusChanged(false);
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("press 1 mods 0x0 at 10,10", "capture lost", "focus lost"));
    test.window->Destroy();
}

TEST_F(OSWindowTest, WheelStepsAreRoutedOncePerWholeNotchWithTheirDirection)
{
    TestWindow test;
    test.Sink().OnWheel(0, 60, {5, 5});
    test.Sink().OnWheel(0, 60, {5, 5});
    test.Sink().OnWheel(0, 360, {5, 5});
    test.Sink().OnWheel(0, -120, {5, 5});
    test.Sink().OnWheel(1, 120, {6, 7});
    test.Sink().OnWheel(1, -119, {6, 7});
    test.fake->SetKey(Key::kShift, true);
    test.Sink().OnWheel(1, -1, {6, 7});
    EXPECT_THAT(test.root->TakeCalls(),
                ElementsAre("wheel 1 mods 0x0 at 5,5", "wheel 1 mods 0x0 at 5,5", "wheel 0 mods 0x0 at 5,5",
                            "wheel 3 mods 0x0 at 6,7", "wheel 2 mods 0x8 at 6,7"));
    // Notches do not press buttons or take the capture.
    EXPECT_EQ(test.window->GetMouseButtons(), 0u);
    test.window->Destroy();
}

TEST_F(OSWindowTest, KeysCarryTheirModifiersSidesAndRepeatsAndCharactersFollow)
{
    TestWindow test;
    test.fake->SetKey(Key::kControl, true);
    test.fake->SetKey(Key::kLeftControl, true);
    test.Sink().OnKey(0x4F, true, false, false, false);
    test.Sink().OnCharacter(0x0F, false);
    test.Sink().OnKey(0x4F, true, true, false, false);
    test.Sink().OnKey(0x4F, false, false, false, false);
    test.fake->SetKey(Key::kControl, false);
    test.fake->SetKey(Key::kLeftControl, false);
    test.fake->SetKey(Key::kShift, true);
    test.fake->SetKey(Key::kRightShift, true);
    test.Sink().OnKey(Key::kShift, true, false, false, false);
    test.fake->SetKey(Key::kMenu, true);
    test.fake->SetKey(Key::kLeftMenu, true);
    test.Sink().OnKey(0x73, true, false, true, true);
    // A key with no virtual key counts only with the system keys or Ctrl+Alt.
    test.Sink().OnKey(0, true, false, false, false);
    test.Sink().OnKey(0, true, false, true, true);
    EXPECT_THAT(test.root->TakeCalls(),
                ElementsAre("key 0x214f0000 sided 0x04 previous 0", "key 0x0100000f sided 0x00 previous 0",
                            "key 0x214f0000 sided 0x04 previous 1", "key 0x014f0000 sided 0x04 previous 1",
                            "key 0x22100000 sided 0x02 previous 0", "key 0x26730000 sided 0x12 previous 0",
                            "key 0x06000000 sided 0x12 previous 0"));
    // Characters typed while a Windows key is down are not routed.
    test.fake->SetKey(Key::kLeftWindows, true);
    test.Sink().OnCharacter('a', false);
    EXPECT_TRUE(test.root->TakeCalls().empty());
    test.window->Destroy();
}

TEST_F(OSWindowTest, PaintingMergesTheDirtyRegionWithTheDesktopsAreaAndPaintsTheWholeWindowWhenAllIsInvalid)
{
    TestWindow test;
    test.root->Invalidate({10, 10, 20, 20});
    test.Sink().OnExposed({100, 50, 10, 10});
    EXPECT_TRUE(test.window->GetRootWindow());
    EXPECT_TRUE(test.root->TakeCalls().empty());
    // The loop paints once the events are handled; the desktop's area is shown from what was drawn before.
    mEvents.Queue([] {});
    int rounds = 0;
    EXPECT_TRUE(GetMessageLoop().Run([&] { return rounds++ < 2; }));
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("paint 10,10,20,20"));
    EXPECT_EQ(test.window->InvalidateAll(), ZV_S_OK);
    EXPECT_EQ(test.window->Redraw(), ZV_S_OK);
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("paint 0,0,200,100"));
    test.window->Destroy();
}

TEST_F(OSWindowTest, ResizingFollowsTheRootWindowsLimitsAndMovesOutsideTheWorkAreaRepaintAll)
{
    TestWindow test;
    test.root->SetSizeLimits({100, 80}, {400, 300});
    (void)test.window->Show(kShow);
    EXPECT_EQ(test.fake->mMinimum, (Platform::WindowPoint{100, 80}));
    EXPECT_EQ(test.fake->mMaximum, (Platform::WindowPoint{400, 300}));
    test.fake->mSize = {500, 90};
    test.Sink().OnResized(500, 90);
    EXPECT_THAT(test.root->TakeCalls(), ElementsAre("resize 500x90"));
    ASSERT_EQ(test.fake->mMoves.size(), 1u);
    EXPECT_EQ(test.fake->mMoves[0], (Platform::WindowRect{50, 40, 400, 90}));
    EXPECT_TRUE(test.root->TakeFullRepaint());
    test.fake->mOrigin = {1200, 40};
    test.Sink().OnMoved();
    EXPECT_FALSE(test.root->TakeFullRepaint());
    test.fake->mOrigin = {0, 0};
    test.Sink().OnMoved();
    EXPECT_TRUE(test.root->TakeFullRepaint());
    test.window->Destroy();
}

TEST_F(OSWindowTest, CloseOnTheMainWindowAsksTheApplicationToExitAndOnAnotherAsksTheRootWindow)
{
    TestWindow main;
    TestWindow other;
    const RCPtr<LIdRecorder> client(new LIdRecorder());
    ASSERT_NE(client->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ", 0), nullptr);
    main.Sink().OnCloseRequested();
    other.Sink().OnCloseRequested();
    (void)mHost.ProcessIdle(true);
    EXPECT_THAT(client->mIds, ElementsAre("NID_APP_EXIT_REQ"));
    EXPECT_TRUE(main.fake->Exists());
    EXPECT_TRUE(main.root->TakeCalls().empty());
    EXPECT_THAT(other.root->TakeCalls(), ElementsAre("close requested"));
    (void)client->UnregisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ");
    other.window->Destroy();
    main.window->Destroy();
}

TEST_F(OSWindowTest, AModalWindowReturnsItsResultWhileItsParentTakesNoInputAndIdleGoesOn)
{
    TestWindow parent;
    TestWindow dialog(parent.window.Get());
    int idleDuringModal = 0;
    mHost.mOnIdle = [&](bool) {
        ++idleDuringModal;
        if (idleDuringModal == 3) {
            parent.Press(1, {5, 5}, 0);
            parent.Sink().OnKey(0x41, true, false, false, false);
            parent.Sink().OnCloseRequested();
        }
        if (idleDuringModal == 5) {
            (void)dialog.root->GetServices()->EndModal(7);
        }
        return false;
    };
    EXPECT_EQ(dialog.window->RunModal(), 7);
    EXPECT_GE(idleDuringModal, 5);
    EXPECT_TRUE(parent.root->TakeCalls().empty());
    EXPECT_EQ(dialog.fake->mModalFor, parent.fake);
    EXPECT_FALSE(dialog.fake->Exists());
    EXPECT_TRUE(parent.window->IsEnabled());
    parent.Press(1, {5, 5}, 0);
    EXPECT_THAT(parent.root->TakeCalls(), ElementsAre("press 1 mods 0x0 at 5,5"));
    parent.window->Destroy();
}

TEST_F(OSWindowTest, QuitDuringAModalLoopReturnsMinusOneWithTheParentEnabledAndEndsTheOuterLoopToo)
{
    TestWindow parent;
    TestWindow dialog(parent.window.Get());
    std::int32_t modalResult = 0;
    mHost.mOnIdle = [&](bool) {
        if (!dialog.window->IsModal() && dialog.fake->Exists()) {
            modalResult = dialog.window->RunModal();
        } else if (dialog.window->IsModal()) {
            GetMessageLoop().PostQuit(3);
        }
        return false;
    };
    EXPECT_FALSE(GetMessageLoop().Run([] { return true; }));
    EXPECT_EQ(modalResult, -1);
    EXPECT_EQ(GetMessageLoop().GetExitCode(), 3);
    EXPECT_TRUE(parent.window->IsEnabled());
    EXPECT_FALSE(dialog.fake->Exists());
    EXPECT_EQ(dialog.window->EndModal(0), ZV_S_OK);
    parent.window->Destroy();
}

TEST_F(OSWindowTest, WhenTheOwnerGoesTheModalWindowsItOwnsOneInsideTheOtherCloseInnermostFirst)
{
    TestWindow owner;
    TestWindow outer(owner.window.Get());
    TestWindow inner(outer.window.Get());
    std::vector<std::string> closed;
    std::int32_t innerResult = 0;
    int idle = 0;
    mHost.mOnIdle = [&](bool) {
        ++idle;
        if (idle == 2) {
            innerResult = inner.window->RunModal();
        } else if (idle == 4) {
            owner.fake->mExists = false;
            owner.Sink().OnLost();
        }
        // As the framework's root windows do: the loop ends with the close's result.
        for (TestWindow* shown : {&inner, &outer}) {
            const std::vector<std::string> calls = shown->root->TakeCalls();
            if (std::find(calls.begin(), calls.end(), "window lost") != calls.end()) {
                closed.push_back(shown == &inner ? "inner" : "outer");
                (void)shown->window->EndModal(2);
            } else if (idle > 100 && shown->window->IsModal()) {
                (void)shown->window->EndModal(-2);
            }
        }
        return false;
    };
    EXPECT_EQ(outer.window->RunModal(), 2);
    mHost.mOnIdle = nullptr;
    EXPECT_EQ(innerResult, 2) << "its own owner still stood, but could not end before it";
    EXPECT_THAT(closed, ElementsAre("inner", "outer"));
    EXPECT_FALSE(inner.fake->Exists());
    EXPECT_FALSE(outer.fake->Exists());
}

TEST_F(OSWindowTest, HandedOverTextIsCutAtItsSizeOrFirstNulAndReachesOnlyAnEnabledWindow)
{
    TestWindow main;
    const char text[] = {'-', 'S', 'I', 'L', 'E', 'N', 'T', '\0', 'x', 'y'};
    main.window->ReceiveDataCopy(OSWindow::kDataCopyTag, text, sizeof text);
    main.window->ReceiveDataCopy(OSWindow::kDataCopyTag, text, 4);
    main.window->ReceiveDataCopy(0x466, text, sizeof text);
    main.window->ReceiveDataCopy(OSWindow::kDataCopyTag, "\xC3\xA9t\xE9", 4);
    EXPECT_THAT(mHost.mDataCopies, ElementsAre("-SILENT", "-SIL", "\xC3\xA9t"));
    main.window->Destroy();
}

TEST_F(OSWindowTest, AWindowThatGoesAwayUnderItsObjectAnswersNoWindowAndSetsTheSameCursorOnce)
{
    TestWindow test;
    const CursorHandle before = test.window->SetCursor(42);
    EXPECT_EQ(test.window->SetCursor(42), 42u);
    EXPECT_EQ(test.fake->mCursors.size(), 1u);
    (void)test.window->SetCursor(before);
    test.fake->mExists = false;
    test.Sink().OnLost();
    EXPECT_EQ(test.window->SetTitle(L"gone"), ZV_E_FAIL);
    EXPECT_EQ(test.window->SetFocus(), ZV_E_FAIL);
    EXPECT_EQ(test.window->RunModal(), -1);
    EXPECT_TRUE(mHost.mRoots.empty());
}

}  // namespace
}  // namespace ZV
