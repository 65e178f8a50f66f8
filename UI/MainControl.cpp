#include "UI/MainControl.h"

#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/MenuBar.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateNotificationData.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Exception.h"
#include "Platform/Clock.h"
#include "Platform/SaidOnce.h"
#include "UI/UpdateProcessorSource.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace ZV {

namespace {

constexpr wchar_t kLeftClick[] = L"NID_LEFT_CLICK";
constexpr wchar_t kMenuFileSelect[] = L"NID_MENU_FILE_SELECT";
constexpr wchar_t kMenuFileExit[] = L"NID_MENU_FILE_EXIT_REQ";
constexpr wchar_t kMenuAllowDowngrade[] = L"NID_MENU_OPTIONS_ALLOW_DOWNGRADE";

template <class T>
RCPtr<T> FindChildOfClass(const LControl& parent, const wchar_t* name)
{
    // A child of another class counts as missing.
    return RCPtr<T>(dynamic_cast<T*>(parent.FindChildByName(name).Get()));
}

template <class T>
const T* ParameterOf(const RCPtr<LNotification>& notification)
{
    return notification ? dynamic_cast<const T*>(notification->GetParameter().Get()) : nullptr;
}

}  // namespace

LMainControl::LMainControl(const RCPtr<LControl>& parent, const WideString& name)
    : LControl(parent, name), mWaitTurn(&Platform::SleepMilliseconds)
{
}

LMainControl::~LMainControl()
{
    if (mEngineWork.IsUnderWay()) {
        // Nobody is left to take what the work finds. An update on its way is the application's to carry on.
        mEngineWork.Abandon();
        mUpdateProcessor->EndEngineWork();
    }
    // Nobody is left to press "NEXT": an update that goes on waits for its device itself.
    if (const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine()) {
        engine->SetOwnerAwaitsReturn(false);
    }
}

ZVRESULT LMainControl::Initialize()
{
    const ZVRESULT initialized = LControl::Initialize();
    if (Failed(initialized)) {
        return initialized;
    }
    // Looks start without weight: without its first look the window would show neither the control nor its
    // children, and none of them would be hit.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    mHandler = new LNotificationHandler<LMainControl>(this);
    ZV_THROW_IF_FAILED(SubscribeToEngine());
    WideString missing;
    ZV_THROW_IF_FAILED(FindChildren(missing));
    if (!missing.IsEmpty()) {
        ZV_THROW_NULL_POINTER(std::runtime_error,
                              "LMainControl couldn't find " + std::string(missing.ToUTF8().GetData()));
    }
    GiveMenuBarTheUpdater();

    mUpdateProcessor = FindApplicationUpdateProcessor();
    mNoScanButton = !mButtonScanForDevice;
    WatchEngine();
    UpdateDisplayFromEngine();
    ReportFirmwareFileFailure();
    return initialized;
}

void LMainControl::WatchEngine()
{
    using Engine = ::LUpdateEngineInterface;
    mUpdateStarted = false;
    mUpdateModeOverdue = false;
    mEarlyCompletion = EarlyCompletion::kNone;
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine) {
        return;
    }
    // Only now, with every subscription made, may the engine post. What it did before is read afterwards: an update
    // seen running reports its end from now on, one seen finished may have ended unheard. A device away after its
    // update is the window's to wait for, with "NEXT".
    engine->SetNotificationsEnabled(true);
    engine->SetOwnerAwaitsReturn(true);
    const std::int32_t status = engine->GetUpdateStatus(false);
    const std::int32_t deviceState = engine->GetDeviceState();
    // An update that the processor started is followed as one that a click started.
    mUpdateStarted = status == Engine::kUpdateRunning || status == Engine::kUpdateFinished ||
                     deviceState == Engine::kDeviceUpdating;
    if (status == Engine::kUpdateFinished) {
        mEarlyCompletion = EarlyCompletion::kUnheard;
    }
    // The first idle pass follows an update that ended unheard, or looks for the device that an automatic start sent
    // into update mode: nothing else would.
    if (status == Engine::kUpdateFinished || deviceState == Engine::kDeviceEnteringUpdateMode) {
        LookAtEngineAtIdle();
    }
}

void LMainControl::LookAtEngineAtIdle()
{
    if (!std::exchange(mLookAtEngineAtIdle, true)) {
        (void)BeginIdleNotifications();
    }
}

ZVRESULT LMainControl::SubscribeToEngine()
{
    struct EngineBinding {
        const wchar_t* id;
        LNotificationHandler<LMainControl>::MemberFunction handler;
    };
    const EngineBinding bindings[] = {
        {kNidDeviceStateChange, &LMainControl::OnDeviceStateChangeNotification},
        {kNidFirmwareFileStateChange, &LMainControl::OnFirmwareFileStateChangeNotification},
        {kNidFoundDeviceListChange, &LMainControl::OnFoundDeviceListChangeNotification},
        {kNidFirmwareUpdateProgress, &LMainControl::OnFirmwareUpdateProgressNotification},
        {kNidFirmwareUpdateCompleted, &LMainControl::OnFirmwareUpdateCompletedNotification},
    };
    const ConstRCPtr<LNotificationDistributor> centre(GetApplicationNotificationCenter());
    for (const EngineBinding& binding : bindings) {
        const ZVRESULT subscribed = mHandler->AddHandler(binding.handler, centre, binding.id, 0);
        if (Failed(subscribed)) {
            return subscribed;
        }
    }
    return ZV_S_OK;
}

ZVRESULT LMainControl::FindChildren(WideString& missing)
{
    struct ButtonChild {
        RCPtr<LButton> LMainControl::*member;
        const wchar_t* name;
        bool required;
        LNotificationHandler<LMainControl>::MemberFunction click;
    };
    const ButtonChild buttons[] = {
        {&LMainControl::mButtonExit, L"buttonExit", true, &LMainControl::OnExitClick},
        {&LMainControl::mButtonUpdateFirmware, L"buttonUpdateFirmware", true, &LMainControl::OnUpdateFirmwareClick},
        {&LMainControl::mButtonReinitialize, L"buttonReinitialize", true, &LMainControl::OnReinitializeClick},
        {&LMainControl::mButtonScanForDevice, L"buttonScanForDevice", false, &LMainControl::OnScanForDeviceClick},
        {&LMainControl::mButtonManualDeviceReadyForUpdate, L"buttonManualDeviceReadyForUpdateButton", false,
         &LMainControl::OnManualDeviceReadyForUpdateClick},
        {&LMainControl::mButtonManualDeviceHasUpdatedRescan, L"buttonManualDeviceHasUpdatedRescanButton", false,
         &LMainControl::OnManualDeviceHasUpdatedRescanClick},
    };
    for (const ButtonChild& child : buttons) {
        RCPtr<LButton>& button = this->*child.member;
        button = FindChildOfClass<LButton>(*this, child.name);
        if (!button) {
            if (child.required) {
                missing = child.name;
                return ZV_S_OK;
            }
            continue;
        }
        const ZVRESULT subscribed = mHandler->AddHandler(child.click, button, kLeftClick, 0);
        if (Failed(subscribed)) {
            return subscribed;
        }
    }

    struct LabelChild {
        RCPtr<LLabel> LMainControl::*member;
        const wchar_t* name;
    };
    const LabelChild labels[] = {
        {&LMainControl::mLabelDeviceInformation, L"labelDeviceInformation"},
        {&LMainControl::mLabelFirmwareFileInformation, L"labelFirmwareFileInformation"},
        {&LMainControl::mLabelUpdateProcessInformation, L"labelUpdateProcessInformation"},
        {&LMainControl::mLabelFileFirmwareVersion, L"labelFileFirmwareVersion"},
        {&LMainControl::mLabelDeviceFirmwareVersion, L"labelDeviceFirmwareVersion"},
        {&LMainControl::mLabelDeviceCannotUpdateError, L"labelDeviceCannotUpdateError"},
    };
    for (const LabelChild& child : labels) {
        this->*child.member = FindChildOfClass<LLabel>(*this, child.name);
        if (!(this->*child.member)) {
            missing = child.name;
            return ZV_S_OK;
        }
    }

    mProgressBar = FindChildOfClass<LProgressBar>(*this, L"progressBar");
    if (!mProgressBar) {
        missing = L"progressBar";
    }
    return ZV_S_OK;
}

void LMainControl::GiveMenuBarTheUpdater()
{
    // The bar is optional; without it the menu's commands simply never come.
    if (auto* bar = dynamic_cast<IMenuBar*>(FindChildByName(L"mainMenu").Get())) {
        (void)bar->SetMenuItemUpdater(GetMenuItemUpdater());
    }
}

void LMainControl::ProcessRootWindowAquired()
{
    LControl::ProcessRootWindowAquired();
    const RCPtr<IRootWindow>& rootWindow = GetRootWindowRef();
    if (!rootWindow) {
        ZV_THROW(std::runtime_error, "No Root Window!");
    }
    if (!mHandler) {
        return;
    }
    // The menus post their commands into the window's queue. A command that cannot be subscribed never comes.
    const ConstRCPtr<LNotificationDistributor> window = rootWindow->GetNotificationDistributor();
    (void)mHandler->AddHandler(&LMainControl::OnMenuFileSelect, window, kMenuFileSelect, 0);
    (void)mHandler->AddHandler(&LMainControl::OnExitClick, window, kMenuFileExit, 0);
    (void)mHandler->AddHandler(&LMainControl::OnMenuOptionsAllowDowngrade, window, kMenuAllowDowngrade, 0);
}

ZVRESULT LMainControl::IsCommandEnabled(std::uint32_t, std::uint32_t, const WideString& notificationId,
                                        MenuItemInfo& state)
{
    if (notificationId == WideString(kMenuAllowDowngrade) && mUpdateProcessor) {
        state.checked = mUpdateProcessor->GetAllowDowngrade() ? 1 : 0;
    }
    return ZV_S_OK;
}

bool LMainControl::IsNotUpdating() const
{
    return !mUpdateProcessor || mUpdateProcessor->IsNotUpdating();
}

RCPtr<::LUpdateEngineInterface> LMainControl::GetUpdateEngine() const
{
    return mUpdateProcessor ? mUpdateProcessor->GetEngine() : nullptr;
}

bool LMainControl::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
{
    if (mEngineWork.IsUnderWay() && sender.Get() == GetApplicationNotificationCenter().Get()) {
        return true;
    }
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LMainControl::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

// --- The engine's notifications ---

std::int32_t LMainControl::OnDeviceStateChangeNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                           const RCPtr<LNotification>& notification)
{
    const auto* change = ParameterOf<LDeviceStateChangeNotificationData>(notification);
    if (change == nullptr) {
        return 1;
    }
    const std::int32_t deviceState = change->GetNewState();
    UpdateDeviceInformationLabel(deviceState);
    const EngineState engine = ReadEngineState();
    if (const RCPtr<IRootWindow>& rootWindow = GetRootWindowRef()) {
        (void)rootWindow->SetCursor(rootWindow->GetNamedCursor(L"UI_CURSOR_ARROW"));
    }
    switch (deviceState) {
    case ::LUpdateEngineInterface::kDeviceNotFound:
        if (mNoScanButton) {
            ScanForDeviceInBackground();
        }
        UpdateDisplay(engine.result, deviceState, engine.file);
        break;
    case ::LUpdateEngineInterface::kDeviceNoneSelected:
        // The engine's next state change brings the display up to date.
        if (mUpdateProcessor) {
            mUpdateProcessor->SelectFirstOfSeveralDevices();
        }
        break;
    default:
        UpdateDisplay(engine.result, deviceState, engine.file);
        break;
    }
    return 1;
}

void LMainControl::ReportFirmwareFileFailure()
{
    const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine();
    const std::string failure = engine ? engine->DescribeFirmwareFileFailure() : std::string();
    if (!failure.empty()) {
        // The window says only that the file is missing or invalid; the offset of what is wrong goes here, once for
        // each refusal however often the file is checked again.
        Platform::WriteLineOnceToStandardError("FirmwareUpdater: " + failure);
    }
}

std::int32_t LMainControl::OnFirmwareFileStateChangeNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                                 const RCPtr<LNotification>& notification)
{
    if (const auto* change = ParameterOf<LFirmwareFileStateChangeNotificationData>(notification)) {
        UpdateFirmwareFileInformationLabel(change->GetNewState());
        if (change->GetNewState() == ::LUpdateEngineInterface::kFilePresent) {
            UpdateFileFirmwareVersionLabel();
        }
    }
    UpdateDisplayFromEngine();
    return 1;
}

std::int32_t LMainControl::OnFoundDeviceListChangeNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                               const RCPtr<LNotification>&)
{
    return 1;
}

std::int32_t LMainControl::OnFirmwareUpdateProgressNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                                const RCPtr<LNotification>& notification)
{
    const auto* progress = ParameterOf<LFirmwareUpdateProgressNotificationData>(notification);
    if (progress == nullptr || !mProgressBar) {
        return 1;
    }
    // Only the bar changes: a progress report repaints nothing else.
    (void)mProgressBar->SetValue(progress->GetFraction());
    if (!progress->IsEstimate()) {
        mProgressBar->SetTimeRemaining(static_cast<std::int32_t>(progress->GetTimeRemaining()));
    }
    mProgressBar->SetTimeEstimateEnabled(progress->IsEstimate());
    return 1;
}

std::int32_t LMainControl::OnFirmwareUpdateCompletedNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                                 const RCPtr<LNotification>& notification)
{
    const auto* completion = ParameterOf<LFirmwareUpdateCompletedNotificationData>(notification);
    if (completion == nullptr) {
        return 1;
    }
    if (std::exchange(mEarlyCompletion, EarlyCompletion::kNone) == EarlyCompletion::kTaken) {
        // Its end was taken when the window found the update finished.
        return 1;
    }
    if (!completion->IsSuccess()) {
        mUpdateStarted = false;
        UpdateDisplayFromEngine();
        return 1;
    }
    FollowSuccessfulUpdate();
    return 1;
}

// --- Clicks and menu commands ---

std::int32_t LMainControl::OnExitClick(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    RequestApplicationExit();
    return 1;
}

std::int32_t LMainControl::OnUpdateFirmwareClick(const ConstRCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>&)
{
    StartFirmwareUpdate();
    return 1;
}

std::int32_t LMainControl::OnReinitializeClick(const ConstRCPtr<LNotificationDistributor>&,
                                               const RCPtr<LNotification>&)
{
    RestartUpdateProcess();
    return 1;
}

std::int32_t LMainControl::OnScanForDeviceClick(const ConstRCPtr<LNotificationDistributor>&,
                                                const RCPtr<LNotification>&)
{
    const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine();
    if (!engine) {
        return 1;
    }
    const bool overdue = mUpdateModeOverdue;
    ShowLookingForDevice(engine->GetFirmwareFileState());
    // Set on the work's thread, read by the continuation once the work has ended.
    const auto started = std::make_shared<std::optional<ZVRESULT>>();
    RunEngineWork(
        kLookingForDeviceText, ::LUpdateProcessor::ExitDuringWork::kDropped,
        [engine, overdue, processor = mUpdateProcessor, started](const std::atomic<bool>&) {
            (void)engine->ScanForDevices();
            // The device sent into update mode may be back in it at last: its update is on its way again, and
            // starts here, whatever the window's display does meanwhile.
            const bool back = overdue && Succeeded(engine->RefreshSelectedDevice()) &&
                              engine->GetDeviceState() == ::LUpdateEngineInterface::kDeviceInUpdateMode;
            if (back) {
                processor->ResumeUpdateOnItsWay();
                *started = processor->StartUpdate();
            }
            return back;
        },
        [this, started](bool backInUpdateMode) {
            if (backInUpdateMode) {
                mUpdateModeOverdue = false;
                FollowUpdateStart(*started);
            } else {
                FollowLook();
            }
        });
    return 1;
}

std::int32_t LMainControl::OnManualDeviceReadyForUpdateClick(const ConstRCPtr<LNotificationDistributor>&,
                                                             const RCPtr<LNotification>&)
{
    const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine();
    if (!engine) {
        return 1;
    }
    RunEngineWork(
        GetEnteringUpdateModeText(), ::LUpdateProcessor::ExitDuringWork::kDropped,
        [engine](const std::atomic<bool>&) {
            return Succeeded(engine->RefreshSelectedDevice()) &&
                   engine->GetDeviceState() == ::LUpdateEngineInterface::kDeviceInUpdateMode;
        },
        [this](bool inUpdateMode) {
            UpdateDisplayFromEngine();
            if (inUpdateMode) {
                StartFirmwareUpdate();
            }
        });
    return 1;
}

std::int32_t LMainControl::OnManualDeviceHasUpdatedRescanClick(const ConstRCPtr<LNotificationDistributor>&,
                                                               const RCPtr<LNotification>&)
{
    if (mEngineWork.IsUnderWay()) {
        mNextClickedDuringLook = true;
    } else {
        LookForUpdatedDevice();
    }
    return 1;
}

void LMainControl::LookForUpdatedDevice()
{
    const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine();
    if (!engine) {
        return;
    }
    ShowLookingForDevice(engine->GetFirmwareFileState());
    RunEngineWork(
        kLookingForDeviceText, ::LUpdateProcessor::ExitDuringWork::kEndsWork,
        [engine](const std::atomic<bool>&) {
            return Succeeded(engine->LookAfterUpdate()) &&
                   engine->GetDeviceState() == ::LUpdateEngineInterface::kDeviceRunning;
        },
        [this](bool running) {
            if (running) {
                mUpdateStarted = false;
            }
            FollowLook();
        });
}

std::int32_t LMainControl::OnMenuFileSelect(const ConstRCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>&)
{
    const RCPtr<::LUpdateEngineInterface> engine = GetUpdateEngine();
    if (!engine) {
        return 1;
    }
    if (!mFileDialog) {
        mFileDialog = std::make_unique<LOpenFileDialog>(FindOSWindow());
    }
    const WideString title = GetApplicationString(L"SELECT_FIRMWARE_FILE_DIALOG_TITLE");
    const WideString filter = GetApplicationString(L"SELECT_FIRMWARE_FILE_DIALOG_FILE_FILTER");
    const WideString extension = GetApplicationString(L"SELECT_FIRMWARE_FILE_DEFAULT_FILE_EXTENSION");
    if (Succeeded(mFileDialog->Show(filter, extension, title, false))) {
        // The engine reports the file's state.
        if (Failed(engine->SetFirmwareFile(mFileDialog->GetFilePath()))) {
            ReportFirmwareFileFailure();
        }
    }
    return 1;
}

std::int32_t LMainControl::OnMenuOptionsAllowDowngrade(const ConstRCPtr<LNotificationDistributor>&,
                                                       const RCPtr<LNotification>&)
{
    if (mUpdateProcessor) {
        (void)mUpdateProcessor->SetAllowDowngrade(!mUpdateProcessor->GetAllowDowngrade());
        UpdateDisplayFromEngine();
    }
    return 1;
}

}  // namespace ZV
