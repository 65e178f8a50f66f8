#include "UI/MainControl.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/DebugLine.h"
#include "Controls/ProgressBar.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/DesktopWindows.h"
#include "System/OSWindow.h"
#include "System/RootWindow.h"

#include <memory>
#include <optional>
#include <utility>

namespace ZV {

namespace {

using Engine = ::LUpdateEngineInterface;

// What the engine answers when a device sent into update mode is to be looked for until it comes back in it.
constexpr std::int32_t kUpdateModeEntryByPolling = 4;

constexpr wchar_t kEnteringUpdateModeTitle[] = L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE";
constexpr wchar_t kWaitingForResetText[] = L"Waiting for Device Reset To Complete...";

// Looks for the device in turns until it is back in the state wanted (true), the wait is over or the work is to stop.
// A device that restarts is away for a while: a turn that does not find it is no reason to stop looking. After an
// update each turn is the engine's look for a device back from it.
bool WaitForDeviceState(Engine& engine, std::int32_t wanted, const LMainControl::WaitTurn& waitTurn,
                        const std::atomic<bool>& stopRequested)
{
    for (std::uint32_t elapsed = 0; elapsed < LMainControl::kWaitLimit && !stopRequested.load();
         elapsed += LMainControl::kWaitTurn) {
        waitTurn(LMainControl::kWaitTurn);
        ZVRESULT looked = ZV_S_OK;
        if (wanted == Engine::kDeviceRunning) {
            looked = engine.LookAfterUpdate();
        } else {
            (void)engine.ScanForDevices();
            looked = engine.RefreshSelectedDevice();
        }
        if (Succeeded(looked) && engine.GetDeviceState() == wanted) {
            return true;
        }
        if (engine.GetDeviceState() == Engine::kDeviceUnusable) {
            // A device on its way is never unusable: one that cannot be told from another is what came back.
            return false;
        }
    }
    return false;
}

}  // namespace

WideString LMainControl::GetEnteringUpdateModeText() const
{
    return GetApplicationString(kEnteringUpdateModeTitle);
}

void LMainControl::StartFirmwareUpdate()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetFirmwareFileState() != Engine::kFilePresent) {
        return;
    }
    if (engine->GetDeviceState() != Engine::kDeviceRunning) {
        StartUpdateInUpdateMode();
        return;
    }
    // A device in update mode has the file checked by StartUpdate; a running one is sent there only for a file that
    // is still fit to send.
    if (Failed(engine->CheckFirmwareFile())) {
        ReportFirmwareFileFailure();
        UpdateDisplayFromEngine();
        RedrawWindow();
        return;
    }
    // The window shows the device resetting before the engine reports it.
    UpdateDisplay(Engine::kUpdateIdle, Engine::kDeviceEnteringUpdateMode, Engine::kFilePresent);
    RedrawWindow();
    WaitForUpdateModeThenStart(true);
}

void LMainControl::WaitForUpdateModeThenStart(bool enterFirst)
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine) {
        return;
    }
    mUpdateModeOverdue = false;
    if (enterFirst) {
        // An end that it grants keeps the request back: the work's processor puts the update on its way only at the
        // last moment before the request goes.
        AskAboutWaitingEnd();
    }
    const bool waits = !mButtonManualDeviceReadyForUpdate;
    // Set on the work's thread, read by the continuation once the work has ended.
    const auto started = std::make_shared<std::optional<ZVRESULT>>();
    RunEngineWork(
        GetEnteringUpdateModeText(),
        enterFirst ? ::LUpdateProcessor::ExitDuringWork::kEndsWorkUntilUpdateOnItsWay
                   : ::LUpdateProcessor::ExitDuringWork::kDropped,
        [engine, enterFirst, waits, waitTurn = mWaitTurn, processor = mUpdateProcessor,
         started](const std::atomic<bool>& stopRequested) {
            // A window that went, or a request to end that came, before the request leaves the device untouched, and
            // nobody waits for it. From the request on, the window's end no longer ends the update.
            if (enterFirst && (stopRequested.load() || Failed(processor->EnterUpdateMode()))) {
                return false;
            }
            if (waits && engine->GetDeviceState() == Engine::kDeviceEnteringUpdateMode &&
                engine->GetReservedValue() == kUpdateModeEntryByPolling &&
                !WaitForDeviceState(*engine, Engine::kDeviceInUpdateMode, waitTurn, stopRequested)) {
                // Overdue: the wait ran out with the device still on its way.
                return engine->GetDeviceState() == Engine::kDeviceEnteringUpdateMode;
            }
            // Here, not on the window's thread, which may wait on its display meanwhile: once the device has been
            // sent into update mode, nothing of its update waits for the window.
            if (engine->GetDeviceState() == Engine::kDeviceInUpdateMode) {
                *started = processor->StartUpdate();
            }
            return false;
        },
        [this, started](bool overdue) {
            // The display shows whatever the engine reports after the wait, however it ended.
            mUpdateModeOverdue = overdue;
            FollowUpdateStart(*started);
        });
}

void LMainControl::StartUpdateInUpdateMode()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    UpdateDisplayFromEngine();
    std::optional<ZVRESULT> started;
    if (engine->GetDeviceState() == Engine::kDeviceInUpdateMode) {
        AskAboutWaitingEnd();
        started = mUpdateProcessor->StartUpdate();
    }
    FollowUpdateStart(started);
}

void LMainControl::AskAboutWaitingEnd()
{
    LFrameworkApp* application = GetFrameworkApp();
    const OSWindow* window = FindOSWindow();
    if (application != nullptr && window != nullptr &&
        Platform::IsWindowEndWaiting(window->GetBackEnd().GetNativeWindow())) {
        (void)application->CanExit();
    }
}

void LMainControl::FollowUpdateStart(const std::optional<ZVRESULT>& started)
{
    if (!started) {
        // Nobody waits for a device sent into update mode any more.
        mUpdateProcessor->GiveUpUpdateOnItsWay();
    } else if (Succeeded(*started)) {
        FollowStartedUpdate();
    } else {
        // A refused start leaves the state that the display shows.
        ReportFirmwareFileFailure();
    }
    UpdateDisplayFromEngine();
    RedrawWindow();
}

void LMainControl::FollowStartedUpdate()
{
    mUpdateStarted = true;
    mEarlyCompletion = EarlyCompletion::kNone;
    (void)mProgressBar->SetValue(0.0);
    mProgressBar->SetTimeEstimateEnabled(false);
    // Started away from this thread, the update may have ended while the engine's reports were dropped.
    const std::int32_t status = GetUpdateEngine()->GetUpdateStatus(false);
    if (status == Engine::kUpdateFinished) {
        mEarlyCompletion = EarlyCompletion::kUnheard;
        LookAtEngineAtIdle();
    } else if (status == Engine::kUpdateFailed || status == Engine::kUpdateCancelled) {
        mUpdateStarted = false;
    }
}

void LMainControl::FollowSuccessfulUpdate()
{
    UpdateDisplayFromEngine();
    RedrawWindow();
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine) {
        return;
    }
    const bool withNext = static_cast<bool>(mButtonManualDeviceHasUpdatedRescan);
    mNextClickedDuringLook = false;
    RunEngineWork(
        kWaitingForResetText, ::LUpdateProcessor::ExitDuringWork::kEndsWork,
        [engine, withNext, waitTurn = mWaitTurn](const std::atomic<bool>& stopRequested) {
            if (withNext) {
                // The user turns the device off and on, then presses "NEXT".
                (void)engine->LookAfterUpdate();
            } else {
                // In a skin without it, until the device runs again.
                (void)WaitForDeviceState(*engine, Engine::kDeviceRunning, waitTurn, stopRequested);
            }
            // A device that restarted by itself before the look runs already: NEXT is not needed for it.
            return engine->GetDeviceState() == Engine::kDeviceRunning;
        },
        [this, withNext](bool running) {
            if (!withNext || running) {
                mUpdateStarted = false;
            }
            UpdateDisplayFromEngine();
            if (std::exchange(mNextClickedDuringLook, false)) {
                LookForUpdatedDevice();
            }
        });
}

void LMainControl::RestartUpdateProcess()
{
    if (!mUpdateProcessor) {
        return;
    }
    std::int32_t fileState = Engine::kFileNone;
    if (const RCPtr<Engine> engine = GetUpdateEngine()) {
        fileState = engine->GetFirmwareFileState();
        // The engine that goes has nothing more to say to the window.
        engine->SetNotificationsEnabled(false);
    }
    ShowLookingForDevice(fileState);
    // The processor builds a fresh engine, which posts nothing until it is told to: the window follows it again. The
    // engine that goes is let go there too, since its end may wait for its ports.
    RunEngineWork(
        kLookingForDeviceText, ::LUpdateProcessor::ExitDuringWork::kDropped,
        [processor = mUpdateProcessor](const std::atomic<bool>&) {
            (void)processor->Reinitialize();
            return false;
        },
        [this](bool) {
            mNoScanButton = !mButtonScanForDevice;
            WatchEngine();
            UpdateDisplayFromEngine();
            // What the switches start, the window starts only now, as an update it shows from its first request.
            StartHeldUpdate();
        });
}

void LMainControl::StartHeldUpdate()
{
    if (mUpdateProcessor && mUpdateProcessor->TakeHeldStart()) {
        StartFirmwareUpdate();
    }
}

void LMainControl::RequestApplicationExit()
{
    // The application decides: it drops the request while an update runs.
    (void)GetApplicationNotificationCenter()->PostNotification(LNotification::Create(kExitRequestId, nullptr));
}

void LMainControl::ScanForDeviceInBackground()
{
    // Without a scan button nothing looks for the device again; the user restarts instead.
    WriteDebugLine("No device was found, and the window has no button to look for it again.");
}

void LMainControl::RedrawWindow()
{
    const RCPtr<IRootWindow>& rootWindow = GetRootWindowRef();
    if (auto* window = dynamic_cast<LRootWindow*>(rootWindow.Get())) {
        (void)window->RedrawAll();
    } else if (rootWindow) {
        const RectT<zlong> bounds = rootWindow->GetScreenBounds();
        rootWindow->InvalidateRect(RectT<double>(0, 0, bounds.width, bounds.height));
    }
}

WideString LMainControl::GetApplicationString(const wchar_t* id) const
{
    WideString text;
    if (const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory()) {
        if (const RCPtr<LStringTable> table = factory->GetApplicationStringTable()) {
            (void)table->GetString(id, text);
        }
    }
    return text;
}

OSWindow* LMainControl::FindOSWindow() const
{
    const auto* window = dynamic_cast<LRootWindow*>(GetRootWindowRef().Get());
    return window != nullptr ? dynamic_cast<OSWindow*>(window->GetWindowServices()) : nullptr;
}

}  // namespace ZV
