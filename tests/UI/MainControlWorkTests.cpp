// The main window's work on the engine away from its thread: what the window shows and drops while it runs, and
// how its end comes back to the window.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include "Engine/UpdateNotificationData.h"
#include "Notification/NotificationCenterManager.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using Engine = ::LUpdateEngineInterface;
using Calls = std::vector<std::string>;

// Holds a step of the engine on the work's thread until the test lets it go.
class StepGate {
public:
    // On the work's thread.
    void Hold()
    {
        std::unique_lock held(mLock);
        mHeld = true;
        mChanged.notify_all();
        (void)mChanged.wait_for(held, kBoundedWait, [&] { return mReleased; });
    }
    bool WaitUntilHeld()
    {
        std::unique_lock held(mLock);
        return mChanged.wait_for(held, kBoundedWait, [&] { return mHeld; });
    }
    void Release()
    {
        const std::lock_guard held(mLock);
        mReleased = true;
        mChanged.notify_all();
    }

private:
    std::mutex mLock;
    std::condition_variable mChanged;
    bool mHeld = false;
    bool mReleased = false;
};

void ClickWithoutWaiting(MainWindowHarness& window, const wchar_t* name)
{
    (void)window.Child(name).SendNotification(LNotification::Create(L"NID_LEFT_CLICK", nullptr));
}

TEST(MainControlWork, WhileTheDeviceIsLookedForTheWindowSaysSoDropsClosesReportsAndClicksAndThenReadsTheEngineAnew)
{
    MainWindowHarness window;
    window.Start();
    LScriptedEngine& engine = window.Engine();
    engine.SetFile(Engine::kFilePresent);
    engine.SetDevice(Engine::kDeviceNotFound);
    window.PumpAll();
    ASSERT_TRUE(window.IsShown(L"buttonScanForDevice"));
    engine.TakeCalls();
    const CursorHandle wait = window.Window().GetNamedCursor(L"UI_CURSOR_WAIT");

    StepGate gate;
    engine.OnScan([&](LScriptedEngine& e) {
        gate.Hold();
        // Several devices, reported from the work's thread as the engine does.
        e.SetDevice(Engine::kDeviceNoneSelected);
        return ZV_S_OK;
    });
    ClickWithoutWaiting(window, L"buttonScanForDevice");
    ASSERT_TRUE(gate.WaitUntilHeld());
    EXPECT_FALSE(window.Main().IsNotUpdating()) << "a close would not be dropped";
    EXPECT_FALSE(window.GetUpdateProcessor()->GetEngine()) << "the engine is not the work's alone";
    EXPECT_EQ(window.Window().GetCursorsShown().back(), wait);
    const auto looking = [&] {
        EXPECT_EQ(window.TextOf(L"labelDeviceInformation"), kLooking);
        for (const wchar_t* button :
             {L"buttonScanForDevice", L"buttonUpdateFirmware", L"buttonReinitialize", L"buttonExit"}) {
            EXPECT_FALSE(window.IsShown(button)) << WideString(button).ToUTF8().GetData();
        }
    };
    looking();
    // A report of the engine and a second click change nothing while the work runs.
    ASSERT_EQ(GetApplicationNotificationCenter()->PostNotification(LNotification::Create(
                  kNidDeviceStateChange,
                  LDeviceStateChangeNotificationData::Create(Engine::kDeviceRunning, Engine::kDeviceNotFound))),
              0);
    (void)window.PumpIdle();
    ClickWithoutWaiting(window, L"buttonScanForDevice");
    looking();

    gate.Release();
    window.PumpAll();
    EXPECT_EQ(engine.TakeCalls(), (Calls{"ScanForDevices", "SelectDevice 0"}))
        << "one look, and the first of several taken once";
    EXPECT_NE(window.Window().GetCursorsShown().back(), wait);
    EXPECT_TRUE(window.Main().IsNotUpdating());
    EXPECT_TRUE(window.IsShown(L"buttonScanForDevice")) << "the display follows the engine again";
    EXPECT_TRUE(window.IsShown(L"buttonExit"));
}

TEST(MainControlWork, WhileTheDeviceIsLookedForAfterItsUpdateExitEndsTheProgramAndNextTakesItsTurnAfterTheLook)
{
    MainWindowHarness window;
    window.Start();
    LScriptedEngine& engine = window.Engine();
    engine.SetFile(Engine::kFilePresent);
    engine.SetUpdateAvailable(true);
    engine.SetDevice(Engine::kDeviceInUpdateMode);
    window.PumpAll();
    window.Click(L"buttonUpdateFirmware");
    engine.SetResult(Engine::kUpdateFinished);
    engine.SetUpdateAvailable(false);
    engine.SetDevice(Engine::kDeviceUpdateEnded);
    engine.TakeCalls();

    StepGate gate;
    engine.OnRefresh([&](LScriptedEngine&) {
        gate.Hold();
        return ZV_E_FAIL;
    });
    engine.ReportCompletion(true);
    (void)window.PumpIdle();
    ASSERT_TRUE(gate.WaitUntilHeld());
    EXPECT_TRUE(window.Main().IsNotUpdating()) << "an exit would be dropped";
    EXPECT_TRUE(window.GetUpdateProcessor()->IsNothingLeftToUpdate());
    EXPECT_TRUE(window.IsShown(L"buttonExit"));
    ASSERT_TRUE(window.IsShown(L"buttonManualDeviceHasUpdatedRescanButton"));
    ClickWithoutWaiting(window, L"buttonManualDeviceHasUpdatedRescanButton");

    engine.OnRefresh([](LScriptedEngine& e) {
        e.SetDevice(Engine::kDeviceRunning);
        return ZV_S_OK;
    });
    gate.Release();
    window.PumpAll();
    EXPECT_EQ(engine.TakeCalls(), (Calls{"ScanForDevices", "RefreshSelectedDevice", "ScanForDevices",
                                         "RefreshSelectedDevice"}))
        << "the click was lost";
    EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kSucceeded);
}

TEST(MainControlWork, WhatTheRestartThrowsComesOutOfTheIdlePassWithTheWindowFreeAgain)
{
    int enginesMade = 0;
    MainWindowHarness window(ApplicationSkinDocument(), [&]() -> RCPtr<Engine> {
        if (++enginesMade > 1) {
            throw std::runtime_error("no engine");
        }
        return LScriptedEngine::Create();
    });
    window.Start();
    window.Engine().SetDevice(Engine::kDeviceUnusable);
    window.PumpAll();
    ASSERT_TRUE(window.IsShown(L"buttonReinitialize"));
    const CursorHandle wait = window.Window().GetNamedCursor(L"UI_CURSOR_WAIT");

    EXPECT_THROW(window.Click(L"buttonReinitialize"), std::runtime_error);
    EXPECT_FALSE(window.Main().IsEngineWorkUnderWay());
    EXPECT_FALSE(window.GetUpdateProcessor()->IsEngineWorkUnderWay());
    EXPECT_NE(window.Window().GetCursorsShown().back(), wait);
}

}  // namespace
}  // namespace ZV::Testing
