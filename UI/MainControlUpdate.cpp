#include "UI/MainControl.h"

#include "Application/FrameworkApp.h"
#include "Application/WaitCursor.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/DebugLine.h"
#include "Controls/ProgressBar.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/OSWindow.h"
#include "System/RootWindow.h"

namespace ZV {

namespace {

using Engine = ::LUpdateEngineInterface;

// What the engine answers when a device sent into update mode is to be looked for until it comes back in it.
constexpr std::int32_t kUpdateModeEntryByPolling = 4;

constexpr wchar_t kEnteringUpdateModeTitle[] = L"WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE";

}  // namespace

void LMainControl::StartFirmwareUpdate()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetFirmwareFileState() != Engine::kFilePresent) {
        return;
    }
    if (engine->GetDeviceState() == Engine::kDeviceRunning) {
        // A device in update mode has the file checked by StartUpdate; a running one is sent there only for a file
        // that is still fit to send.
        if (Failed(engine->CheckFirmwareFile())) {
            ReportFirmwareFileFailure();
            UpdateDisplayFromEngine();
            RedrawWindow();
            return;
        }
        // The window shows the device resetting before the engine reports it.
        UpdateDisplay(Engine::kUpdateIdle, Engine::kDeviceEnteringUpdateMode, Engine::kFilePresent);
        RedrawWindow();
        const LWaitCursor waitCursor(GetApplicationString(kEnteringUpdateModeTitle), GetRootWindowRef());
        if (Succeeded(engine->EnterUpdateMode()) && engine->GetDeviceState() == Engine::kDeviceEnteringUpdateMode &&
            !mButtonManualDeviceReadyForUpdate) {
            // The display shows whatever the engine reports after the wait, however it ended.
            (void)WaitForDeviceToEnterUpdateMode();
        }
    }
    StartUpdateInUpdateMode();
}

void LMainControl::OnIdle(const RCPtr<LNotification>&)
{
    (void)EndIdleNotifications();
    if (mEarlyCompletion == EarlyCompletion::kUnheard) {
        mEarlyCompletion = EarlyCompletion::kTaken;
        FollowSuccessfulUpdate();
        return;
    }
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetDeviceState() != Engine::kDeviceEnteringUpdateMode || mButtonManualDeviceReadyForUpdate) {
        return;
    }
    {
        const LWaitCursor waitCursor(GetApplicationString(kEnteringUpdateModeTitle), GetRootWindowRef());
        (void)WaitForDeviceToEnterUpdateMode();
    }
    StartUpdateInUpdateMode();
}

void LMainControl::StartUpdateInUpdateMode()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    UpdateDisplayFromEngine();
    if (engine->GetDeviceState() == Engine::kDeviceInUpdateMode) {
        mUpdateStarted = true;
        mEarlyCompletion = EarlyCompletion::kNone;
        (void)mProgressBar->SetValue(0.0);
        mProgressBar->SetTimeEstimateEnabled(false);
        // The engine reports how the update goes; a refused start leaves the state that the display shows.
        if (Failed(engine->StartUpdate())) {
            mUpdateStarted = false;
            ReportFirmwareFileFailure();
        }
    }
    UpdateDisplayFromEngine();
    RedrawWindow();
}

ZVRESULT LMainControl::WaitForDeviceToEnterUpdateMode()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetReservedValue() != kUpdateModeEntryByPolling) {
        return ZV_E_FAIL;
    }
    mUpdateModeOverdue = false;
    for (std::uint32_t elapsed = 0;;) {
        RedrawWindow();
        {
            const LWaitCursor waitCursor(GetApplicationString(kEnteringUpdateModeTitle), GetRootWindowRef());
            mWaitTurn(kWaitTurn);
            (void)engine->ScanForDevices();
            if (Succeeded(engine->RefreshSelectedDevice()) &&
                engine->GetDeviceState() == Engine::kDeviceInUpdateMode) {
                return ZV_S_OK;
            }
        }
        elapsed += kWaitTurn;
        if (elapsed >= kWaitLimit) {
            mUpdateModeOverdue = engine->GetDeviceState() == Engine::kDeviceEnteringUpdateMode;
            return ZV_E_FAIL;
        }
    }
}

void LMainControl::WaitForDeviceToRestart()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine) {
        return;
    }
    // A device that restarts is away for a while: a turn that does not find it is no reason to stop looking.
    for (std::uint32_t elapsed = 0; elapsed < kWaitLimit; elapsed += kWaitTurn) {
        mWaitTurn(kWaitTurn);
        (void)engine->ScanForDevices();
        if (Succeeded(engine->RefreshSelectedDevice()) && engine->GetDeviceState() == Engine::kDeviceRunning) {
            return;
        }
    }
}

void LMainControl::RestartUpdateProcess()
{
    if (!mUpdateProcessor) {
        return;
    }
    // The processor builds a fresh engine, which posts nothing until it is told to: the window follows it again.
    (void)mUpdateProcessor->Reinitialize();
    mNoScanButton = !mButtonScanForDevice;
    WatchEngine();
    UpdateDisplayFromEngine();
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
