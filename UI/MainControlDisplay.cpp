#include "UI/MainControl.h"

#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/ProgressBar.h"

#include <iterator>

namespace ZV {

namespace {

using Engine = ::LUpdateEngineInterface;

constexpr std::int32_t kResultCount = 5;

// Whether a control shows, by the update result: a fixed answer, no change, or one of the predicates.
enum class Shown {
    kKeep,
    kNo,
    kYes,
    kUnlessCannotUpdate,
    kWhenFileVersionKnown,
    kWhenDeviceVersionKnown,
    kWhenUpdateCanStart,
    kWhenUpdateCanStartOrResetting,
    kWhenCannotUpdate,
    kWhenDeviceUnusable,
    kWhenRestartWanted,
    kWhenScanWanted,
    kWhenResetting,
    kWhenDeviceNotBack,
};

// The controls in the order of the rows below.
enum Row {
    kDeviceInformation,
    kFirmwareFileInformation,
    kFileFirmwareVersion,
    kDeviceFirmwareVersion,
    kProgress,
    kUpdateFirmware,
    kUpdateProcessInformation,
    kCannotUpdateError,
    kReinitialize,
    kExit,
    kScanForDevice,
    kManualDeviceReady,
    kManualDeviceHasUpdated,
    kRowCount,
};

// By the update result: 0 none, 1 running, 2 failed, 3 cancelled, 4 sent.
constexpr Shown kVisibility[kRowCount][kResultCount] = {
    {Shown::kUnlessCannotUpdate, Shown::kNo, Shown::kNo, Shown::kNo, Shown::kNo},
    {Shown::kUnlessCannotUpdate, Shown::kNo, Shown::kYes, Shown::kNo, Shown::kNo},
    {Shown::kWhenFileVersionKnown, Shown::kYes, Shown::kYes, Shown::kYes, Shown::kYes},
    {Shown::kWhenDeviceVersionKnown, Shown::kWhenDeviceVersionKnown, Shown::kWhenDeviceVersionKnown,
     Shown::kWhenDeviceVersionKnown, Shown::kWhenDeviceVersionKnown},
    {Shown::kNo, Shown::kYes, Shown::kNo, Shown::kNo, Shown::kNo},
    {Shown::kWhenUpdateCanStart, Shown::kNo, Shown::kNo, Shown::kNo, Shown::kNo},
    {Shown::kWhenUpdateCanStartOrResetting, Shown::kYes, Shown::kNo, Shown::kYes, Shown::kYes},
    {Shown::kWhenCannotUpdate, Shown::kNo, Shown::kYes, Shown::kNo, Shown::kNo},
    {Shown::kWhenDeviceUnusable, Shown::kNo, Shown::kYes, Shown::kYes, Shown::kWhenRestartWanted},
    {Shown::kKeep, Shown::kNo, Shown::kYes, Shown::kYes, Shown::kYes},
    {Shown::kWhenScanWanted, Shown::kNo, Shown::kNo, Shown::kNo, Shown::kNo},
    {Shown::kWhenResetting, Shown::kNo, Shown::kNo, Shown::kNo, Shown::kNo},
    {Shown::kNo, Shown::kNo, Shown::kNo, Shown::kNo, Shown::kWhenDeviceNotBack},
};

}  // namespace

LMainControl::EngineState LMainControl::ReadEngineState() const
{
    EngineState state;
    if (const RCPtr<Engine> engine = GetUpdateEngine()) {
        state.result = engine->GetUpdateStatus(false);
        state.device = engine->GetDeviceState();
        state.file = engine->GetFirmwareFileState();
    }
    return state;
}

void LMainControl::UpdateDisplayFromEngine()
{
    if (mEngineWork.IsUnderWay()) {
        // The engine is the work's; the work's end brings the display up to date.
        return;
    }
    const EngineState state = ReadEngineState();
    UpdateDisplay(state.result, state.device, state.file);
}

void LMainControl::UpdateDisplay(std::int32_t result, std::int32_t deviceState, std::int32_t fileState)
{
    if (mUpdateModeOverdue && deviceState == Engine::kDeviceEnteringUpdateMode) {
        // Nobody looks for it any more: the update will not "begin momentarily".
        deviceState = Engine::kDeviceNotFound;
    }
    UpdateDeviceInformationLabel(deviceState);
    UpdateFirmwareFileInformationLabel(fileState);
    UpdateProcessInformationLabel(result, deviceState);
    UpdateDeviceFirmwareVersionLabel();
    UpdateFileFirmwareVersionLabel();
    const bool allowed = IsUpdateAllowed();
    UpdateCannotUpdateErrorLabel(deviceState, allowed);
    UpdateVisibility(result, deviceState, fileState, allowed);
}

void LMainControl::UpdateVisibility(std::int32_t result, std::int32_t deviceState, std::int32_t fileState,
                                    bool allowed)
{
    if (result < 0 || result >= kResultCount) {
        return;
    }
    LControl* const controls[kRowCount] = {
        mLabelDeviceInformation.Get(),
        mLabelFirmwareFileInformation.Get(),
        mLabelFileFirmwareVersion.Get(),
        mLabelDeviceFirmwareVersion.Get(),
        mProgressBar.Get(),
        mButtonUpdateFirmware.Get(),
        mLabelUpdateProcessInformation.Get(),
        mLabelDeviceCannotUpdateError.Get(),
        mButtonReinitialize.Get(),
        mButtonExit.Get(),
        mButtonScanForDevice.Get(),
        mButtonManualDeviceReadyForUpdate.Get(),
        mButtonManualDeviceHasUpdatedRescan.Get(),
    };
    static_assert(std::size(controls) == std::size(kVisibility));
    const auto decide = [&](Shown rule) {
        switch (rule) {
        case Shown::kNo:
            return false;
        case Shown::kYes:
            return true;
        case Shown::kUnlessCannotUpdate:
            return !IsCannotUpdateErrorShown(deviceState, fileState, allowed);
        case Shown::kWhenFileVersionKnown:
            return fileState == Engine::kFilePresent;
        case Shown::kWhenDeviceVersionKnown:
            return IsDeviceFirmwareVersionShown();
        case Shown::kWhenUpdateCanStart:
            return CanStartUpdate(deviceState, fileState, allowed);
        case Shown::kWhenUpdateCanStartOrResetting:
            return CanStartUpdate(deviceState, fileState, allowed) ||
                   deviceState == Engine::kDeviceEnteringUpdateMode;
        case Shown::kWhenCannotUpdate:
            return IsCannotUpdateErrorShown(deviceState, fileState, allowed);
        case Shown::kWhenDeviceUnusable:
            return deviceState == Engine::kDeviceUnusable;
        case Shown::kWhenRestartWanted:
            return IsRestartButtonShown(deviceState);
        case Shown::kWhenScanWanted:
            return IsScanButtonShown(deviceState);
        case Shown::kWhenResetting:
            return deviceState == Engine::kDeviceEnteringUpdateMode;
        case Shown::kWhenDeviceNotBack:
            return deviceState != Engine::kDeviceRunning;
        case Shown::kKeep:
            break;
        }
        return false;
    };
    for (int row = 0; row < kRowCount; ++row) {
        const Shown rule = kVisibility[row][result];
        // The optional buttons' rows are skipped when the skin has none.
        if (controls[row] != nullptr && rule != Shown::kKeep) {
            (void)controls[row]->SetVisible(decide(rule));
        }
    }
}

bool LMainControl::IsUpdateAllowed() const
{
    return (mUpdateProcessor && mUpdateProcessor->GetAllowDowngrade()) || IsUpdateNeeded();
}

bool LMainControl::IsUpdateNeeded() const
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine && engine->IsUpdateAvailable();
}

bool LMainControl::CanStartUpdate(std::int32_t deviceState, std::int32_t fileState, bool allowed) const
{
    return fileState == Engine::kFilePresent && allowed &&
           (deviceState == Engine::kDeviceRunning || deviceState == Engine::kDeviceInUpdateMode);
}

bool LMainControl::IsCannotUpdateErrorShown(std::int32_t deviceState, std::int32_t fileState, bool allowed) const
{
    if (deviceState == Engine::kDeviceUnusable) {
        return true;
    }
    if (deviceState < Engine::kDeviceUnusable || fileState == Engine::kFileMissing) {
        return false;
    }
    return !allowed;
}

bool LMainControl::IsRestartButtonShown(std::int32_t deviceState) const
{
    if (mUpdateStarted) {
        return false;
    }
    // A device that runs again wants a restart only when the update did not take.
    return deviceState != Engine::kDeviceRunning || DidUpdateNotTake();
}

bool LMainControl::DidUpdateNotTake() const
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine && engine->RunsOtherBuildThanFile();
}

bool LMainControl::IsDeviceUnanswering() const
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    return engine && engine->GetDeviceState() == Engine::kDeviceNotFound &&
           engine->GetDeviceProbeFailure().Request != Engine::DeviceRequest::kNone;
}

bool LMainControl::IsScanButtonShown(std::int32_t deviceState) const
{
    return mButtonScanForDevice &&
           (deviceState == Engine::kDeviceNotFound || deviceState == Engine::kDeviceNoneSelected);
}

bool LMainControl::IsDeviceFirmwareVersionShown() const
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    if (!engine || engine->GetDeviceState() != Engine::kDeviceRunning) {
        return false;
    }
    WideString version;
    return Succeeded(engine->GetDeviceFirmwareVersionText(version)) && !version.IsEmpty();
}

}  // namespace ZV
