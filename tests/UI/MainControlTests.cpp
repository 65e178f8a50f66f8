// The main window's handlers against a scripted engine: how it is built, how it follows the engine's reports, the
// two waits for the device, restarting, the menu's commands and the exit request.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include "ControlBase/MenuDescriptor.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateNotificationData.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Testing {
namespace {

using Engine = ::LUpdateEngineInterface;
using Calls = std::vector<std::string>;

// A running device with a file that holds newer firmware: the window offers "UPDATE FIRMWARE".
void ReadyToUpdate(LScriptedEngine& engine)
{
    engine.SetFile(Engine::kFilePresent);
    engine.SetUpdateAvailable(true);
    engine.SetDevice(Engine::kDeviceRunning);
}

// The window open over a device ready to update, with the engine's calls so far forgotten.
LScriptedEngine& OpenReadyToUpdate(MainWindowHarness& window)
{
    window.Start();
    LScriptedEngine& engine = window.Engine();
    ReadyToUpdate(engine);
    window.PumpAll();
    (void)engine.TakeCalls();
    return engine;
}

// The notifications of one id that reach the "application" centre.
class LCentreSpy : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++mCount;
    }
    int mCount = 0;
};

// An exception's text with its line number, which is the source's own, as "N".
std::string TextOf(const std::exception& exception)
{
    std::string text = exception.what();
    const std::size_t line = text.rfind(" : Line ");
    if (line != std::string::npos && line + 8 < text.size() &&
        text.find_first_not_of("0123456789", line + 8) == std::string::npos) {
        text.replace(line + 8, std::string::npos, "N");
    }
    return text;
}

TEST(MainControl, SkinWithoutARequiredChildFailsNamingItAndOptionalButtonsMayBeMissing)
{
    const auto failureOf = [&](const std::string& skin) {
        MainWindowHarness window(skin);
        window.StartProcessor();
        try {
            window.OpenWindow();
        } catch (const std::exception& exception) {
            return TextOf(exception);
        }
        return std::string("nothing");
    };
    const auto missing = [](const std::string& name) {
        return "Runtime Error : Null Pointer : LMainControl couldn't find " + name +
               " : ZV::LMainControl::Initialize : UI/MainControl : Line N";
    };
    for (const char* required : {"buttonExit", "buttonUpdateFirmware", "buttonReinitialize", "labelDeviceInformation",
                                 "labelFirmwareFileInformation", "labelUpdateProcessInformation",
                                 "labelFileFirmwareVersion", "labelDeviceFirmwareVersion",
                                 "labelDeviceCannotUpdateError", "progressBar"}) {
        EXPECT_EQ(failureOf(WithoutSubControl(ApplicationSkinDocument(), required)), missing(required));
    }
    std::string labelAsButton = ApplicationSkinDocument();
    const std::string label = "Class=\"Framework.Label\" Name=\"labelFileFirmwareVersion\"";
    labelAsButton.replace(labelAsButton.find(label), label.size(),
                          "Class=\"Framework.Button\" Name=\"labelFileFirmwareVersion\"");
    EXPECT_EQ(failureOf(labelAsButton), missing("labelFileFirmwareVersion")) << "a child of another class is missing";

    // No scan button: a device that is not found is only written down, not an error.
    MainWindowHarness window(WithoutSubControl(WithoutSubControl(ApplicationSkinDocument(), "buttonScanForDevice"),
                                               "buttonManualDeviceHasUpdatedRescanButton"));
    window.Start();
    window.Engine().SetDevice(Engine::kDeviceRunning);
    window.Engine().SetDevice(Engine::kDeviceNotFound);
    EXPECT_NO_THROW(window.PumpAll());
    EXPECT_EQ(window.TextOf(L"labelDeviceInformation"), kNoDevice);
    EXPECT_TRUE(window.IsShown(L"labelDeviceInformation"));

    const RCPtr<LControl> unshown =
        window.Factory().CreateControl(window.Factory().FindControlDescriptor(L"mainControl"), nullptr);
    ASSERT_TRUE(unshown);
    try {
        unshown->ProcessRootWindowAquired();
        ADD_FAILURE() << "a tree without its window";
    } catch (const std::exception& exception) {
        EXPECT_EQ(TextOf(exception), "Runtime Error : No Root Window! : ZV::LMainControl::ProcessRootWindowAquired : "
                                     "UI/MainControl : Line N");
    }
}

TEST(MainControl, FollowsTheEngineOnlyOnceSubscribedAndFollowsEachNewEngineAfterRestart)
{
    MainWindowHarness window;
    window.StartProcessor();
    LScriptedEngine& first = window.Engine();
    EXPECT_FALSE(first.AreNotificationsEnabled()) << "nothing is posted before the window listens";
    window.OpenWindow();
    EXPECT_TRUE(first.AreNotificationsEnabled());

    // Several devices: the first is taken, and the next report brings the display up to date.
    first.TakeCalls();
    first.SetDevice(Engine::kDeviceNoneSelected);
    window.PumpAll();
    EXPECT_EQ(first.TakeCalls(), Calls{"SelectDevice 0"});

    // The device cannot be used, whatever the versions say: the reason shows, never "up to date".
    first.SetFile(Engine::kFilePresent);
    first.SetCannotUpdateReason(Engine::kDeviceErrorNoAccess);
    first.SetDevice(Engine::kDeviceUnusable);
    window.PumpAll();
    EXPECT_TRUE(window.IsShown(L"labelDeviceCannotUpdateError"));
    EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kDeviceAccessFailure);
    EXPECT_TRUE(window.IsShown(L"buttonReinitialize"));
    for (const auto& [reason, text] : std::vector<std::pair<std::uint32_t, std::string>>{
             {1, kDriverTooOld}, {3, kFileAccessFailure}, {0, kNoReason}, {9, kNoReason}}) {
        first.SetCannotUpdateReason(reason);
        window.Refresh();
        EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), text) << "reason " << reason;
    }

    // RESTART: a fresh engine, which the window follows as it did the first.
    window.Click(L"buttonReinitialize");
    LScriptedEngine& second = window.Engine();
    ASSERT_NE(&second, &first);
    EXPECT_TRUE(second.AreNotificationsEnabled());
    ReadyToUpdate(second);
    window.PumpAll();
    EXPECT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
    EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
    EXPECT_EQ(window.TextOf(L"labelDeviceFirmwareVersion"), "Device Firmware Version: 78500");
}

TEST(MainControl, UpdateOfARunningDeviceWaitsForUpdateModeInTurnsUnderTheWaitCursor)
{
    MainWindowHarness window;
    LScriptedEngine& engine = OpenReadyToUpdate(window);
    const CursorHandle wait = window.Window().GetNamedCursor(L"UI_CURSOR_WAIT");
    std::string shownWhileEntering;
    engine.OnEnterUpdateMode([&](LScriptedEngine& e) {
        shownWhileEntering = window.TextOf(L"labelUpdateProcessInformation");
        e.SetDevice(Engine::kDeviceEnteringUpdateMode);
        return ZV_S_OK;
    });
    int refreshes = 0;
    engine.OnRefresh([&](LScriptedEngine& e) {
        if (++refreshes == 3) {
            e.SetDevice(Engine::kDeviceInUpdateMode);
        }
        return ZV_S_OK;
    });
    std::vector<std::uint32_t> turns;
    window.Main().SetWaitTurn([&](std::uint32_t milliseconds) {
        turns.push_back(milliseconds);
        EXPECT_EQ(window.Window().GetCursorsShown().back(), wait) << "each turn passes under the wait cursor";
    });
    // Away from the window's thread, which may wait on its display meanwhile.
    std::thread::id startedOn;
    engine.OnStartUpdate([&](LScriptedEngine& e) {
        startedOn = std::this_thread::get_id();
        e.SetDevice(Engine::kDeviceUpdating);
        e.SetResult(Engine::kUpdateRunning);
        return ZV_S_OK;
    });

    window.Click(L"buttonUpdateFirmware");
    EXPECT_NE(startedOn, std::this_thread::get_id());
    EXPECT_EQ(shownWhileEntering, kResetting);
    EXPECT_EQ(turns, (std::vector<std::uint32_t>{500, 500, 500}));
    EXPECT_EQ(engine.TakeCalls(), (Calls{"EnterUpdateMode", "ScanForDevices", "RefreshSelectedDevice",
                                         "ScanForDevices", "RefreshSelectedDevice", "ScanForDevices",
                                         "RefreshSelectedDevice", "StartUpdate"}));
    EXPECT_NE(window.Window().GetCursorsShown().back(), wait);
    EXPECT_TRUE(window.IsShown(L"progressBar"));
    EXPECT_FALSE(window.IsShown(L"buttonExit"));
    EXPECT_FALSE(window.Main().IsNotUpdating());

    // Progress moves the bar and repaints nothing else.
    window.PumpAll();
    (void)window.Window().TakeDirtyRects();
    auto& bar = dynamic_cast<LProgressBar&>(window.Child(L"progressBar"));
    engine.ReportProgress(0.25, false, 42);
    window.PumpAll();
    EXPECT_DOUBLE_EQ(bar.GetValue(), 0.25);
    EXPECT_FALSE(bar.IsTimeEstimateEnabled());
    const PointT<double> origin = bar.GetAbsoluteOrigin();
    for (const RectT<zlong>& dirty : window.Window().TakeDirtyRects()) {
        EXPECT_TRUE(dirty.x >= origin.x && dirty.y >= origin.y && dirty.x + dirty.width <= origin.x + bar.GetSize().x &&
                    dirty.y + dirty.height <= origin.y + bar.GetSize().y)
            << "a repaint outside the bar at " << dirty.x << "," << dirty.y;
    }
    engine.ReportProgress(0.5, true, 0);
    window.PumpAll();
    EXPECT_TRUE(bar.IsTimeEstimateEnabled());
}

TEST(MainControl, WaitForUpdateModeEndsAfterSixtyTurnsWithAScanThatGoesOnAndSkinsWithAManualButtonDoNotWait)
{
    {
        // An automatic start sent the device into update mode before the window opened: its first idle pass waits.
        MainWindowHarness window;
        window.StartProcessor();
        LScriptedEngine& engine = window.Engine();
        ReadyToUpdate(engine);
        engine.SetDevice(Engine::kDeviceEnteringUpdateMode);
        window.OpenWindow();
        engine.TakeCalls();
        int turns = 0;
        window.Main().SetWaitTurn([&](std::uint32_t) {
            if (++turns == 2) {
                engine.SetDevice(Engine::kDeviceInUpdateMode);
            }
        });
        window.PumpAll();
        EXPECT_EQ(turns, 2);
        EXPECT_EQ(engine.CountCalls("StartUpdate"), 1u);
        window.PumpAll();
        EXPECT_EQ(turns, 2) << "once";
    }
    {
        MainWindowHarness window;
        window.Start();
        LScriptedEngine& engine = window.Engine();
        ReadyToUpdate(engine);
        engine.OnEnterUpdateMode([](LScriptedEngine& e) {
            e.SetDevice(Engine::kDeviceEnteringUpdateMode);
            return ZV_S_OK;
        });
        int turns = 0;
        window.Main().SetWaitTurn([&](std::uint32_t) { ++turns; });
        window.Click(L"buttonUpdateFirmware");
        EXPECT_EQ(turns, 60);
        EXPECT_EQ(engine.CountCalls("StartUpdate"), 0u);
        // Nothing looks for the device any more: one text says so, and the scan button is the way on.
        window.PumpAll();
        const auto oneTextAndScan = [&] {
            EXPECT_EQ(window.TextOf(L"labelDeviceInformation"), kNoDevice);
            for (const wchar_t* label : {L"labelUpdateProcessInformation", L"labelDeviceCannotUpdateError"}) {
                EXPECT_FALSE(window.IsShown(label)) << "over the device text";
            }
            EXPECT_TRUE(window.IsShown(L"labelDeviceInformation") && window.IsShown(L"buttonScanForDevice"));
        };
        oneTextAndScan();
        // Not "up to date" either while the device is away.
        engine.SetUpdateAvailable(false);
        window.Refresh();
        oneTextAndScan();
        engine.OnRefresh([](LScriptedEngine& e) {
            e.SetDevice(Engine::kDeviceInUpdateMode);
            return ZV_S_OK;
        });
        engine.TakeCalls();
        window.Click(L"buttonScanForDevice");
        EXPECT_EQ(engine.TakeCalls(), (Calls{"ScanForDevices", "RefreshSelectedDevice", "StartUpdate"}))
            << "back in update mode, the device gets its update";
    }

    MainWindowHarness manual(WithButtonLikeNext(ApplicationSkinDocument(), "buttonManualDeviceReadyForUpdateButton"));
    manual.Start();
    LScriptedEngine& manualEngine = manual.Engine();
    ReadyToUpdate(manualEngine);
    manualEngine.OnEnterUpdateMode([](LScriptedEngine& e) {
        e.SetDevice(Engine::kDeviceEnteringUpdateMode);
        return ZV_S_OK;
    });
    manual.Main().SetWaitTurn([](std::uint32_t) { ADD_FAILURE() << "no wait with a manual button"; });
    manual.Click(L"buttonUpdateFirmware");
    manual.PumpAll();
    EXPECT_TRUE(manual.IsShown(L"buttonManualDeviceReadyForUpdateButton"));
    manualEngine.TakeCalls();
    manualEngine.OnRefresh([](LScriptedEngine& e) {
        e.SetDevice(Engine::kDeviceInUpdateMode);
        return ZV_S_OK;
    });
    manual.Click(L"buttonManualDeviceReadyForUpdateButton");
    EXPECT_EQ(manualEngine.TakeCalls(), (Calls{"RefreshSelectedDevice", "StartUpdate"}));
}

TEST(MainControl, AfterASentUpdateNextOrTheWaitBringsTheOutcomeAndAFailureEndsTheWindowsUpdate)
{
    const auto updateSent = [](MainWindowHarness& window) {
        LScriptedEngine& engine = window.Engine();
        ReadyToUpdate(engine);
        engine.SetDevice(Engine::kDeviceInUpdateMode);
        window.Click(L"buttonUpdateFirmware");
        engine.SetResult(Engine::kUpdateFinished);
        engine.SetUpdateAvailable(false);
        engine.TakeCalls();
        engine.ReportCompletion(true);
    };
    // A device that runs again after the update reports back as running the file's build.
    const auto deviceBackAt = [](int turn) {
        return [turn, count = 0](LScriptedEngine& e) mutable {
            if (++count < turn) {
                return ZV_E_FAIL;
            }
            e.SetDevice(Engine::kDeviceRunning);
            return ZV_S_OK;
        };
    };

    {
        MainWindowHarness window;
        window.Start();
        const std::size_t cursorsBefore = window.Window().GetCursorsShown().size();
        updateSent(window);
        window.PumpAll();
        EXPECT_EQ(window.Engine().TakeCalls(), (Calls{"ScanForDevices", "RefreshSelectedDevice"}));
        const std::vector<CursorHandle>& cursors = window.Window().GetCursorsShown();
        const CursorHandle wait = window.Window().GetNamedCursor(L"UI_CURSOR_WAIT");
        EXPECT_NE(std::find(cursors.begin() + static_cast<std::ptrdiff_t>(cursorsBefore), cursors.end(), wait),
                  cursors.end());
        EXPECT_NE(cursors.back(), wait) << "given back";
        EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kAfterUpdate);
        EXPECT_TRUE(window.IsShown(L"buttonManualDeviceHasUpdatedRescanButton"));
        EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
        window.Engine().OnRefresh(deviceBackAt(1));
        window.Click(L"buttonManualDeviceHasUpdatedRescanButton");
        EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kSucceeded);
        EXPECT_FALSE(window.IsShown(L"buttonManualDeviceHasUpdatedRescanButton"));
        EXPECT_TRUE(window.Main().IsNotUpdating());
    }

    // Without "NEXT" the window looks for the device itself, on through the turns it is away; answers whether
    // "RESTART" shows afterwards.
    const auto waitAfterSent = [&](LScriptedEngine::Step refresh, const std::string& outcome, int wantedTurns) {
        MainWindowHarness window(
            WithoutSubControl(ApplicationSkinDocument(), "buttonManualDeviceHasUpdatedRescanButton"));
        window.Start();
        int turns = 0;
        window.Main().SetWaitTurn([&](std::uint32_t) { ++turns; });
        window.Engine().OnRefresh(std::move(refresh));
        updateSent(window);
        window.PumpAll();
        EXPECT_EQ(turns, wantedTurns);
        EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), outcome);
        return window.IsShown(L"buttonReinitialize");
    };
    EXPECT_FALSE(waitAfterSent(deviceBackAt(4), kSucceeded, 4));
    EXPECT_TRUE(waitAfterSent([](LScriptedEngine&) { return ZV_E_FAIL; }, kSuccessUnknown, 60))
        << "30 seconds in turns of 500 ms";

    // A failed update: the window's update has ended, so a later "sent" without the device is unknown.
    MainWindowHarness failed;
    failed.Start();
    LScriptedEngine& engine = failed.Engine();
    ReadyToUpdate(engine);
    engine.SetDevice(Engine::kDeviceInUpdateMode);
    failed.Click(L"buttonUpdateFirmware");
    engine.SetResult(Engine::kUpdateFailed);
    engine.SetDevice(Engine::kDeviceUnusable);
    engine.ReportCompletion(false);
    failed.PumpAll();
    EXPECT_TRUE(failed.IsShown(L"buttonReinitialize"));
    engine.SetResult(Engine::kUpdateFinished);
    failed.Refresh();
    EXPECT_EQ(failed.TextOf(L"labelUpdateProcessInformation"), kSuccessUnknown);
}

TEST(MainControl, AnUpdateTheProcessorStartedBeforeTheWindowEndsOnNextAsAClickedOneWhetherItRanOrHadFinished)
{
    // The processor started the update before the window listened: the engine posted nothing of it.
    const auto startedByProcessor = [](MainWindowHarness& window, std::int32_t status, std::int32_t deviceState) {
        window.StartProcessor();
        LScriptedEngine& engine = window.Engine();
        ReadyToUpdate(engine);
        engine.SetDevice(deviceState);
        engine.SetResult(status);
        engine.SetUpdateAvailable(false);
        window.OpenWindow();
        engine.TakeCalls();
    };
    const auto showsNext = [](MainWindowHarness& window) {
        EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kAfterUpdate);
        EXPECT_TRUE(window.IsShown(L"buttonManualDeviceHasUpdatedRescanButton"));
        EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
    };

    {
        MainWindowHarness window;
        startedByProcessor(window, Engine::kUpdateRunning, Engine::kDeviceUpdating);
        EXPECT_TRUE(window.IsShown(L"progressBar"));
        EXPECT_FALSE(window.Main().IsNotUpdating());
        LScriptedEngine& engine = window.Engine();
        engine.SetResult(Engine::kUpdateFinished);
        engine.SetDevice(Engine::kDeviceInUpdateMode);
        engine.ReportCompletion(true);
        window.PumpAll();
        showsNext(window);
    }

    // It ended before the window listened, so its completion may never be posted, or be posted as the window opens,
    // before or after the window's first idle pass: each way the window takes the end once.
    enum class Report { kNever, kBeforeIdle, kAfterIdle };
    for (const Report report : {Report::kNever, Report::kBeforeIdle, Report::kAfterIdle}) {
        SCOPED_TRACE(static_cast<int>(report));
        MainWindowHarness window;
        startedByProcessor(window, Engine::kUpdateFinished, Engine::kDeviceInUpdateMode);
        if (report == Report::kBeforeIdle) {
            window.Engine().ReportCompletion(true);
        }
        window.PumpAll();
        showsNext(window);
        if (report == Report::kAfterIdle) {
            window.Engine().ReportCompletion(true);
            window.PumpAll();
        }
        EXPECT_EQ(window.Engine().TakeCalls(), (Calls{"ScanForDevices", "RefreshSelectedDevice"}));
        window.Engine().OnRefresh([](LScriptedEngine& e) {
            e.SetDevice(Engine::kDeviceRunning);
            return ZV_S_OK;
        });
        window.Click(L"buttonManualDeviceHasUpdatedRescanButton");
        EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kSucceeded);
    }

    // The window's wait started it, and it ended while the engine was the wait's, whose reports are dropped: the
    // window takes the end all the same, once.
    {
        MainWindowHarness window;
        LScriptedEngine& engine = OpenReadyToUpdate(window);
        window.Main().SetWaitTurn([](std::uint32_t) {});
        engine.OnEnterUpdateMode([](LScriptedEngine& e) {
            e.SetDevice(Engine::kDeviceEnteringUpdateMode);
            return ZV_S_OK;
        });
        engine.OnRefresh([](LScriptedEngine& e) {
            if (e.GetDeviceState() == Engine::kDeviceEnteringUpdateMode) {
                e.SetDevice(Engine::kDeviceInUpdateMode);
            }
            return ZV_S_OK;
        });
        engine.OnStartUpdate([](LScriptedEngine& e) {
            e.SetResult(Engine::kUpdateFinished);
            e.SetDevice(Engine::kDeviceUpdateEnded);
            e.SetUpdateAvailable(false);
            e.ReportCompletion(true);
            return ZV_S_OK;
        });
        window.Click(L"buttonUpdateFirmware");
        window.PumpAll();
        showsNext(window);
        EXPECT_EQ(engine.TakeCalls(), (Calls{"EnterUpdateMode", "ScanForDevices", "RefreshSelectedDevice",
                                             "StartUpdate", "ScanForDevices", "RefreshSelectedDevice"}));
    }
}

TEST(MainControl, MenuCommandsToggleAllowDowngradeWithItsCheckMarkAndAskToExit)
{
    MainWindowHarness window;
    window.Start();
    LScriptedEngine& engine = window.Engine();
    ReadyToUpdate(engine);
    engine.SetUpdateAvailable(false);
    window.PumpAll();
    const auto checkMark = [&] {
        MenuItemInfo state;
        EXPECT_EQ(window.Main().IsCommandEnabled(0, 0, L"NID_MENU_OPTIONS_ALLOW_DOWNGRADE", state), 0);
        return state.checked;
    };
    const auto toggle = [&] {
        ASSERT_EQ(window.Window().PostNotification(LNotification::Create(L"NID_MENU_OPTIONS_ALLOW_DOWNGRADE", nullptr)),
                  0);
        window.PumpAll();
    };
    EXPECT_EQ(checkMark(), 0);
    EXPECT_FALSE(window.IsShown(L"buttonUpdateFirmware"));
    EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kNotNeeded);
    toggle();
    EXPECT_TRUE(window.GetUpdateProcessor()->GetAllowDowngrade());
    EXPECT_EQ(checkMark(), 1);
    EXPECT_TRUE(window.IsShown(L"buttonUpdateFirmware")) << "the same firmware may be sent again";
    toggle();
    EXPECT_EQ(checkMark(), 0);
    EXPECT_FALSE(window.IsShown(L"buttonUpdateFirmware"));

    const RCPtr<LCentreSpy> exits(new LCentreSpy());
    ASSERT_NE(exits->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ", 0), nullptr);
    window.Click(L"buttonExit");
    ASSERT_EQ(window.Window().PostNotification(LNotification::Create(L"NID_MENU_FILE_EXIT_REQ", nullptr)), 0);
    window.PumpAll();
    EXPECT_EQ(exits->mCount, 2) << "the application decides";
    (void)exits->UnregisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ");
}

}  // namespace
}  // namespace ZV::Testing
