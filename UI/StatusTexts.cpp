#include "UI/MainControl.h"

#include "ControlBase/StringTable.h"
#include "Controls/Label.h"

#include <string>

namespace ZV {

namespace {

using Engine = ::LUpdateEngineInterface;

// A text of a skin's string table that holds one "%s" for a value (a version, a number). Only that and "%%" are
// filled in: any other conversion would read an argument that is not there.
WideString FillFormat(const WideString& format, const WideString& value)
{
    std::wstring text;
    bool valuePlaced = false;
    const wchar_t* characters = format.GetData();
    const std::uint32_t length = format.GetLength();
    for (std::uint32_t index = 0; index < length; ++index) {
        const wchar_t character = characters[index];
        const wchar_t next = index + 1 < length ? characters[index + 1] : L'\0';
        if (character == L'%' && next == L'%') {
            text += L'%';
            ++index;
        } else if (character == L'%' && next == L's' && !valuePlaced) {
            text.append(value.GetData(), value.GetLength());
            valuePlaced = true;
            ++index;
        } else {
            text += character;
        }
    }
    return WideString(text.c_str());
}

// The label shows the text of the id in its own string table, empty when the table has none.
void ShowString(LLabel& label, const wchar_t* id)
{
    (void)label.SetText(label.GetString(id));
}

// The text of a device that cannot be used where the reason alone would say that the update failed: another device
// of its name, or a port that another program holds, before any of the image went out, as a silent run's line says.
// Null for the others.
const wchar_t* UnusableDeviceTextId(const Engine::UpdateFailure& failure, const Engine::ProbeFailure& probe)
{
    switch (failure.Detail) {
    case Engine::FailureDetail::kNamesakeWaiting:
        return L"LABEL_DEVICE_OF_THE_NAME_WAITS_IN_UPDATE_MODE";
    case Engine::FailureDetail::kNamesakeHeld:
        return L"LABEL_DEVICE_OF_THE_NAME_HELD_BY_ANOTHER_PROGRAM";
    case Engine::FailureDetail::kNamesakeAway:
        return L"LABEL_DEVICE_OF_THE_NAME_AWAY";
    default:
        break;
    }
    if (failure.Kind == Engine::FailureKind::kDevicesShareName) {
        return L"LABEL_DEVICES_OF_THE_SAME_NAME";
    }
    if (failure.Kind == Engine::FailureKind::kPortBusy && failure.DeviceLeft == Engine::DevicePlace::kInUpdateMode) {
        return L"LABEL_PORT_IN_USE_DEVICE_WAITS_IN_UPDATE_MODE";
    }
    // Met at a scan or at the request into update mode: nothing was tried.
    const bool nothingTried = failure.Kind == Engine::FailureKind::kNone ||
                              (failure.Kind == Engine::FailureKind::kPortBusy &&
                               failure.DeviceLeft == Engine::DevicePlace::kUnsaid);
    if (nothingTried && probe.Answer == Engine::DeviceAnswer::kPortBusy) {
        return L"LABEL_PORT_IN_USE";
    }
    return nullptr;
}

const wchar_t* CannotUpdateReasonId(std::uint32_t reason)
{
    switch (reason) {
    case 0:
        return L"LABEL_DEVICE_CANNOT_BE_UPDATED_NO_REASON";
    case 1:
        return L"LABEL_DEVICE_DRIVER_TOO_OLD";
    case 2:
        return L"LABEL_CANNOT_UPDATE_SYSTEM_FAILURE";
    case 3:
        return L"LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE";
    case 4:
        return L"LABEL_DEVICE_DEVICE_ACCESS_FAILURE";
    default:
        return nullptr;
    }
}

}  // namespace

void LMainControl::UpdateDeviceInformationLabel(std::int32_t deviceState)
{
    const wchar_t* id = nullptr;
    switch (deviceState) {
    case Engine::kDeviceNoDefinitions:
        id = L"LABEL_NO_DEVICE_DEFINED";
        break;
    case Engine::kDeviceNotFound:
        // Ports of its name there, but what was asked of them went unanswered: no device to plug in.
        id = IsDeviceUnanswering() ? L"LABEL_DEVICE_DOES_NOT_ANSWER" : L"LABEL_NO_DEVICE_FOUND";
        break;
    case Engine::kDeviceBusy:
        id = L"LABEL_SCANNING_FOR_DEVICE";
        break;
    case Engine::kDeviceNoneSelected:
        id = L"LABEL_DEVICES_AVAILABLE_NONE_SELECTED";
        break;
    case Engine::kDeviceRunning:
        id = L"LABEL_DEVICE_NOT_IN_UPDATE_MODE";
        break;
    case Engine::kDeviceInUpdateMode:
        id = L"LABEL_DEVICE_IN_UPDATE_MODE";
        break;
    default:
        return;
    }
    ShowString(*mLabelDeviceInformation, id);
}

void LMainControl::UpdateFirmwareFileInformationLabel(std::int32_t fileState)
{
    switch (fileState) {
    case Engine::kFileNone:
        ShowString(*mLabelFirmwareFileInformation, L"LABEL_NO_FILE_DEFINED");
        break;
    case Engine::kFileMissing:
    case Engine::kFileMissing + 1:
        ShowString(*mLabelFirmwareFileInformation, L"LABEL_FIRMARE_FILE_INVALID");
        break;
    case Engine::kFilePresent:
        ShowString(*mLabelFirmwareFileInformation, L"LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN");
        break;
    default:
        break;
    }
}

void LMainControl::UpdateProcessInformationLabel(std::int32_t result, std::int32_t deviceState)
{
    LLabel& label = *mLabelUpdateProcessInformation;
    switch (result) {
    case Engine::kUpdateIdle:
        ShowString(label, deviceState == Engine::kDeviceEnteringUpdateMode
                              ? L"LABEL_UPDATE_TRANSITIONING_TO_UPDATE_MODE"
                              : L"LABEL_READY_FOR_UPDATE");
        break;
    case Engine::kUpdateRunning:
        ShowString(label, L"LABEL_UPDATE_IN_PROGRESS");
        break;
    case Engine::kUpdateCancelled:
        ShowString(label, L"LABEL_UPDATE_ABORTED");
        break;
    case Engine::kUpdateFinished:
        if (deviceState == Engine::kDeviceRunning) {
            ShowString(label, DidUpdateNotTake() ? L"LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL" : L"LABEL_UPDATE_SUCCEEDED");
        } else if (!mUpdateStarted) {
            ShowString(label, L"LABEL_UPDATE_SUCESS_UNKNOWN");
        } else {
            const RCPtr<LStringTable> table = label.GetStringTable();
            const bool hasAfterUpdateText = table && table->ContainsString(L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE");
            ShowString(label, hasAfterUpdateText ? L"LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE"
                                                 : L"LABEL_UPDATE_IN_PROGRESS");
        }
        break;
    default:
        break;
    }
}

void LMainControl::UpdateCannotUpdateErrorLabel(std::int32_t deviceState, bool allowed)
{
    // A device that cannot be used says why, whatever the versions: one that could not even be read is not "up to
    // date".
    if (!allowed && deviceState != Engine::kDeviceUnusable) {
        ShowString(*mLabelDeviceCannotUpdateError, L"LABEL_UPDATE_NOT_NEEDED");
        return;
    }
    std::uint32_t reason = 0;
    if (const RCPtr<Engine> engine = GetUpdateEngine()) {
        const Engine::UpdateFailure failure = engine->GetUpdateFailure();
        if (const wchar_t* id = UnusableDeviceTextId(failure, engine->GetDeviceProbeFailure());
            id && deviceState == Engine::kDeviceUnusable) {
            // The devices of one name say how many they are.
            const WideString count(std::to_wstring(failure.DeviceCount).c_str());
            LLabel& label = *mLabelDeviceCannotUpdateError;
            (void)label.SetText(FillFormat(label.GetString(id), count));
            return;
        }
        // Outside the unusable state the engine answers reason 0 with its failure.
        (void)engine->GetSelectedDeviceError(reason);
    }
    if (const wchar_t* id = CannotUpdateReasonId(reason)) {
        ShowString(*mLabelDeviceCannotUpdateError, id);
    }
}

void LMainControl::UpdateDeviceFirmwareVersionLabel()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    WideString version;
    if (engine && Succeeded(engine->GetDeviceFirmwareVersionText(version))) {
        (void)mLabelDeviceFirmwareVersion->SetText(
            FillFormat(mLabelDeviceFirmwareVersion->GetString(L"LABEL"), version));
    }
}

void LMainControl::UpdateFileFirmwareVersionLabel()
{
    const RCPtr<Engine> engine = GetUpdateEngine();
    WideString version;
    if (engine && Succeeded(engine->GetFirmwareFileVersionText(version))) {
        (void)mLabelFileFirmwareVersion->SetText(
            FillFormat(mLabelFileFirmwareVersion->GetString(L"LABEL"), version));
    }
}

}  // namespace ZV
