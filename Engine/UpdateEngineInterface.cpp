#include "Engine/UpdateEngineInterface.h"

#include "Engine/UpdateNotificationData.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Holder.h"
#include "Platform/FileSystem.h"
#include "Platform/StandardError.h"
#include "Threading/WaitResults.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Storage/ZVFile.h"

#include <algorithm>
#include <iterator>
#include <ostream>

using namespace ZV;

namespace {

bool IsNewerThan(const LUpdateEngineInterface::VersionRecord& left, const LUpdateEngineInterface::VersionRecord& right)
{
    if (left.Major != right.Major) {
        return left.Major > right.Major;
    }
    if (left.Minor != right.Minor) {
        return left.Minor > right.Minor;
    }
    return left.Revision > right.Revision;
}

constexpr std::uint32_t kMillisecondsPerSecond = 1000;

// Devices are told apart by their port names only.
bool IsSameDevice(const LUpdateEngineInterface::DeviceDefinition& left,
                  const LUpdateEngineInterface::DeviceDefinition& right)
{
    return left.NormalCapturePortName == right.NormalCapturePortName &&
           left.UpdateCapturePortName == right.UpdateCapturePortName &&
           left.NormalRenderPortName == right.NormalRenderPortName &&
           left.UpdateRenderPortName == right.UpdateRenderPortName;
}

// Outside text (a path, a port name) in a line of its own: nothing in it may start another.
std::string Quoted(const WideString& text)
{
    return "\"" + Platform::EscapeForLine(text.ToUTF8().GetData()) + "\"";
}

// The refusal of an image that is unfit to send, said on the debug output as well.
LUpdateEngineInterface::UpdateFailure RefusalOf(const ImageCheck& check)
{
    ReportImageRefusal(check);
    return LUpdateEngineInterface::UpdateFailure{LUpdateEngineInterface::FailureKind::kImageRefused, check.Fault,
                                                 check.Offset};
}

// How many devices a line says there are, two or more.
std::string CountInWords(std::uint32_t count)
{
    static const char* const kWords[] = {"two", "three", "four", "five", "six", "seven", "eight", "nine"};
    return count >= 2 && count - 2 < std::size(kWords) ? kWords[count - 2] : std::to_string(count);
}

bool IsFolder(const WideString& path)
{
    return Platform::GetPathKind(path.ToUTF8().GetData()) == Platform::PathKind::folder;
}

// A firmware file that cannot be read; a folder is said as one, since no reading will ever make it a file.
LUpdateEngineInterface::UpdateFailure UnreadableFile(const WideString& path)
{
    LUpdateEngineInterface::UpdateFailure failure{LUpdateEngineInterface::FailureKind::kImageUnreadable};
    if (IsFolder(path)) {
        failure.Detail = LUpdateEngineInterface::FailureDetail::kFileIsFolder;
    }
    return failure;
}

}  // namespace

LUpdateEngineInterface::LUpdateEngineInterface() : mDoneEvent(LEvent::Create(true))
{
}

LUpdateEngineInterface::~LUpdateEngineInterface() = default;

ZVRESULT LUpdateEngineInterface::Initialize(const WideString&)
{
    return ZV_S_OK;
}

std::int32_t LUpdateEngineInterface::GetDeviceState() const
{
    return mDeviceState.load();
}

ZVRESULT LUpdateEngineInterface::ReservedOperation(std::int32_t)
{
    return ZV_S_OK;
}

ZVRESULT LUpdateEngineInterface::SetDeviceDefinitions(const Array<DeviceDefinition>& definitions)
{
    const std::int32_t state = GetDeviceState();
    if (state == kDeviceBusy || state == kDeviceEnteringUpdateMode || state == kDeviceUpdating) {
        return ZV_E_FAIL;
    }
    mDeviceDefinitions = definitions;
    mSelectedIndex.store(-1);
    mDeviceChosen = false;
    SetDeviceState(kDeviceNotFound);
    return ZV_S_OK;
}

ZVRESULT LUpdateEngineInterface::ScanForDevices()
{
    const std::int32_t state = GetDeviceState();
    if (state == kDeviceEnteringUpdateMode) {
        // The device is on its way back in update mode; RefreshSelectedDevice decides the state. Meanwhile its place
        // may have changed, or another device taken the place it had.
        const ZVRESULT result = EnumerateDevices();
        mSelectedIndex.store(FindChosenDevice());
        return result;
    }
    if (state == kDeviceBusy || state == kDeviceUpdating) {
        return ZV_E_FAIL;
    }
    mSelectedIndex.store(-1);
    const ZVRESULT result = EnumerateDevices();
    const std::int32_t count = GetFoundDeviceCount();
    const std::int32_t chosen = FindChosenDevice();
    if (count == 0 || Failed(result) || (mDeviceChosen && chosen < 0)) {
        SetDeviceState(kDeviceNotFound);
    } else if (mDeviceChosen || count == 1) {
        // The window hears of the device's own state only.
        mDeviceState.store(kDeviceNoneSelected);
        SelectFoundDevice(mDeviceChosen ? chosen : 0);
    } else {
        SetDeviceState(kDeviceNoneSelected);
    }
    return result;
}

ZVRESULT LUpdateEngineInterface::SelectDevice(std::int32_t index)
{
    const std::int32_t state = GetDeviceState();
    if (state < kDeviceNoneSelected || state == kDeviceEnteringUpdateMode || state == kDeviceUpdating ||
        state == kDeviceUpdateEnded) {
        return ZV_E_FAIL;
    }
    mSelectedIndex.store(-1);
    mDeviceChosen = false;
    if (static_cast<std::uint32_t>(index) >= static_cast<std::uint32_t>(GetFoundDeviceCount())) {
        SetDeviceState(kDeviceNoneSelected);
        return ZV_E_INVALIDARG;
    }
    SelectFoundDevice(index);
    return ZV_S_OK;
}

void LUpdateEngineInterface::SelectFoundDevice(std::int32_t index)
{
    Array<DeviceDefinition> found;
    (void)GetFoundDevices(found);
    const bool chosenAnew = !mDeviceChosen;
    if (static_cast<std::uint32_t>(index) < found.GetCount()) {
        mChosenDevice = *found.GetItemPointer(static_cast<std::uint32_t>(index));
        mDeviceChosen = true;
    }
    mSelectedIndex.store(index);
    std::uint32_t code = kDeviceErrorNone;
    const std::uint32_t namesakes = CountFoundDeviceNamesakes(index);
    if (namesakes > 0 || GetUpdateFailure().Kind == FailureKind::kDevicesShareName) {
        // Said afresh with every choice: the other device may have gone since.
        UpdateFailure shared{FailureKind::kDevicesShareName};
        shared.DeviceCount = namesakes;
        SetUpdateFailure(namesakes > 0 ? shared : UpdateFailure());
    }
    if (Succeeded(GetFoundDeviceError(index, code)) && code == kDeviceErrorNone) {
        SetDeviceState(IsFoundDeviceInUpdateMode(index) ? kDeviceInUpdateMode : kDeviceRunning);
    } else {
        SetDeviceState(kDeviceUnusable);
    }
    if (chosenAnew && mDeviceChosen) {
        ReportFoundDevice();
    }
}

void LUpdateEngineInterface::ReportFoundDevice() const
{
    std::string state = "which cannot be used";
    WideString version;
    if (GetDeviceState() == kDeviceInUpdateMode) {
        state = "in update mode";
    } else if (GetDeviceState() == kDeviceRunning && Succeeded(GetDeviceFirmwareVersionText(version))) {
        state = "running build " + std::string(version.ToUTF8().GetData());
    }
    ReportStep("found the device " + Quoted(mChosenDevice.NormalRenderPortName) + ", " + state);
}

std::int32_t LUpdateEngineInterface::FindChosenDevice() const
{
    if (!mDeviceChosen) {
        return -1;
    }
    Array<DeviceDefinition> found;
    (void)GetFoundDevices(found);
    for (std::uint32_t index = 0; index < found.GetCount(); ++index) {
        if (IsSameDevice(*found.GetItemPointer(index), mChosenDevice)) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

bool LUpdateEngineInterface::GetChosenDevice(DeviceDefinition& device) const
{
    if (mDeviceChosen) {
        device = mChosenDevice;
    }
    return mDeviceChosen;
}

std::int32_t LUpdateEngineInterface::GetSelectedDeviceIndex() const
{
    return mSelectedIndex.load();
}

ZVRESULT LUpdateEngineInterface::GetSelectedDeviceError(std::uint32_t& code) const
{
    if (GetDeviceState() == kDeviceUnusable) {
        return GetFoundDeviceError(GetSelectedDeviceIndex(), code);
    }
    code = kDeviceErrorNone;
    return ZV_E_FAIL;
}

ZVRESULT LUpdateEngineInterface::GetDeviceFirmwareVersionText(WideString& text) const
{
    text = WideString(L"N/A");
    if (GetDeviceState() < kDeviceUnusable) {
        return ZV_E_FAIL;
    }
    VersionRecord version;
    if (Failed(GetFoundDeviceVersion(GetSelectedDeviceIndex(), version))) {
        return ZV_E_FAIL;
    }
    text = version.Text;
    return ZV_S_OK;
}

std::int32_t LUpdateEngineInterface::GetReservedValue() const
{
    return 4;
}

bool LUpdateEngineInterface::IsUpdateAvailable() const
{
    VersionRecord deviceVersion;
    return GetVersionToCompare(deviceVersion) && IsNewerThan(GetFirmwareFileVersion(), deviceVersion);
}

bool LUpdateEngineInterface::RunsOtherBuildThanFile() const
{
    VersionRecord deviceVersion;
    return GetDeviceState() == kDeviceRunning && GetVersionToCompare(deviceVersion) &&
           deviceVersion.Build != GetFirmwareFileVersion().Build;
}

bool LUpdateEngineInterface::GetReservedFlag() const
{
    return true;
}

ZVRESULT LUpdateEngineInterface::StartUpdate()
{
    if (GetFirmwareFileState() != kFilePresent || GetDeviceState() != kDeviceInUpdateMode) {
        return ZV_E_FAIL;
    }
    SharedFirmwareImage image;
    if (Failed(PrepareImageToSend(image))) {
        UpdateFailure failure = GetUpdateFailure();
        failure.DeviceLeft = DevicePlace::kInUpdateMode;
        SetUpdateFailure(failure);
        return ZV_E_FAIL;
    }
    {
        MutexLock lock(mFileLock);
        mImageToSend = image;
    }
    mCancel.store(CancelState::kNone);
    // Running from the hand-over on, so that a wait that follows at once waits for the task.
    const std::int32_t previousStatus = mUpdateStatus.exchange(kUpdateRunning);
    SetDeviceState(kDeviceUpdating);
    const ZVRESULT result =
        mWorkerThread.Trigger(ConstRCPtr<LThreadWorker>(static_cast<const LThreadWorker*>(this)),
                              LHolder<ThreadWorkerTask>::Create(kTaskFirmwareUpdate), mDoneEvent, 0);
    if (Failed(result)) {
        // No task runs: nothing would ever leave the updating state, and the program would refuse to end.
        ForgetImageToSend(image);
        mUpdateStatus.store(previousStatus);
        SetDeviceState(kDeviceInUpdateMode);
    }
    return result;
}

ZVRESULT LUpdateEngineInterface::WaitForUpdate(std::uint32_t milliseconds)
{
    if (mUpdateStatus.load() != kUpdateRunning) {
        return ZV_S_OK;
    }
    return mDoneEvent->Wait(milliseconds) == kWaitSignalled ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LUpdateEngineInterface::LookAfterUpdate()
{
    (void)ScanForDevices();
    return RefreshSelectedDevice();
}

std::int32_t LUpdateEngineInterface::GetUpdateStatus(bool reset)
{
    std::int32_t status = mUpdateStatus.load();
    if (reset && status >= kUpdateFailed) {
        mUpdateStatus.compare_exchange_strong(status, kUpdateIdle);
    }
    return status;
}

std::int32_t LUpdateEngineInterface::GetFirmwareFileState() const
{
    return mFileState.load();
}

ZVRESULT LUpdateEngineInterface::SetFirmwareFileWithVersion(const WideString& path, const VersionRecord& version)
{
    ForgetCheckedImage();
    {
        MutexLock lock(mFileLock);
        mFirmwareFilePath = path;
        mFirmwareFileVersion = version;
    }
    const std::int32_t state = ExamineFirmwareFile(path);
    SetFirmwareFileState(state);
    return state == kFilePresent ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LUpdateEngineInterface::SetFirmwareFile(const WideString& path)
{
    ForgetCheckedImage();
    const std::int32_t state = ExamineFirmwareFile(path);
    {
        MutexLock lock(mFileLock);
        mFirmwareFilePath = path;
        if (state == kFilePresent) {
            mFirmwareFileVersion =
                VersionRecord{0, 0, 0, kFirmwareFileBuild, WideString::Format(L"%lu", kFirmwareFileBuild)};
        }
    }
    SetFirmwareFileState(state);
    return state == kFilePresent ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LUpdateEngineInterface::GetFirmwareFilePath(WideString& path) const
{
    MutexLock lock(mFileLock);
    path = mFirmwareFilePath;
    return path.IsEmpty() ? ZV_E_FAIL : ZV_S_OK;
}

ZVRESULT LUpdateEngineInterface::GetFirmwareFileVersionText(WideString& text) const
{
    if (GetFirmwareFileState() < kFilePresent) {
        text = WideString(L"N/A");
        return ZV_E_FAIL;
    }
    MutexLock lock(mFileLock);
    text = mFirmwareFileVersion.Text;
    return ZV_S_OK;
}

ZVRESULT LUpdateEngineInterface::CheckFirmwareFile()
{
    SetUpdateFailure(UpdateFailure());
    // Let go first: the image read now takes its place, and a large one is not held twice.
    ForgetCheckedImage();
    WideString path;
    (void)GetFirmwareFilePath(path);
    auto image = std::make_shared<FirmwareImageBytes>();
    if (ExamineFirmwareFile(path, image.get()) == kFilePresent) {
        MutexLock lock(mFileLock);
        mCheckedImage = std::move(image);
        return ZV_S_OK;
    }
    if (GetUpdateFailure().Kind == FailureKind::kNone) {
        // It was there when it was chosen: gone since, or something else in its place, it cannot be read now.
        SetUpdateFailure(UpdateFailure{FailureKind::kImageUnreadable});
    }
    // The file changed since it was chosen: the window shows it as it is now.
    SetFirmwareFileState(kFileMissing);
    return ZV_E_FAIL;
}

std::int32_t LUpdateEngineInterface::ExamineFirmwareFile(const WideString& path, FirmwareImageBytes* image)
{
    if (path.IsEmpty()) {
        return kFileMissing;
    }
    if (IsFolder(path)) {
        // There, but no file: said as what it is rather than as missing.
        SetUpdateFailure(UnreadableFile(path));
        return kFileMissing;
    }
    if (!File::FileExists(path)) {
        return kFileMissing;
    }
    ImageCheck check;
    const ZVRESULT read =
        image != nullptr ? ReadFirmwareImage(path, *image, check) : CheckFirmwareImageFile(path, check);
    if (Failed(read)) {
        SetUpdateFailure(UnreadableFile(path));
        return kFileMissing;
    }
    if (check.Fault != ImageFault::kNone) {
        SetUpdateFailure(RefusalOf(check));
        return kFileMissing;
    }
    return kFilePresent;
}

SharedFirmwareImage LUpdateEngineInterface::TakeImageToSend()
{
    MutexLock lock(mFileLock);
    return std::move(mImageToSend);
}

ZVRESULT LUpdateEngineInterface::PrepareImageToSend(SharedFirmwareImage& image)
{
    {
        // Taken whatever comes of it: a start that fails leaves the next one to check the file afresh.
        MutexLock lock(mFileLock);
        image = std::move(mCheckedImage);
    }
    if (!image) {
        if (Failed(CheckFirmwareFile())) {
            return ZV_E_FAIL;
        }
        MutexLock lock(mFileLock);
        image = std::move(mCheckedImage);
        return ZV_S_OK;
    }
    // The device may have restarted into update mode since the check: whatever the file became meanwhile, only the
    // image checked may reach it, and only while the file still holds that image.
    SetUpdateFailure(UpdateFailure());
    WideString path;
    (void)GetFirmwareFilePath(path);
    bool same = false;
    if (Failed(CompareFirmwareImageFile(path, *image, same))) {
        image.reset();
        SetUpdateFailure(UnreadableFile(path));
        SetFirmwareFileState(kFileMissing);
        return ZV_E_FAIL;
    }
    if (!same) {
        image.reset();
        // Shown as it is now: unfit to send, or another image that the next start checks afresh.
        const std::int32_t state = ExamineFirmwareFile(path);
        SetUpdateFailure(UpdateFailure{FailureKind::kImageChanged});
        SetFirmwareFileState(state);
        return ZV_E_FAIL;
    }
    return ZV_S_OK;
}

void LUpdateEngineInterface::ForgetImageToSend(const SharedFirmwareImage& image)
{
    SharedFirmwareImage forgotten;
    MutexLock lock(mFileLock);
    // A task that did start has taken its own already.
    if (mImageToSend == image) {
        forgotten = std::move(mImageToSend);
    }
}

void LUpdateEngineInterface::ForgetCheckedImage()
{
    SharedFirmwareImage forgotten;
    MutexLock lock(mFileLock);
    forgotten = std::move(mCheckedImage);
}

LUpdateEngineInterface::UpdateFailure LUpdateEngineInterface::GetUpdateFailure() const
{
    MutexLock lock(mFailureLock);
    return mFailure;
}

std::string LUpdateEngineInterface::DescribeFirmwareFileFailure() const
{
    const UpdateFailure failure = GetUpdateFailure();
    WideString path;
    (void)GetFirmwareFilePath(path);
    const std::string file = "the firmware file " + Quoted(path);
    const bool deviceWaits = failure.DeviceLeft == DevicePlace::kInUpdateMode;
    const std::string waits = deviceWaits ? ", and the device waits in update mode" : "";
    switch (failure.Kind) {
    case FailureKind::kImageUnreadable:
        if (failure.Detail == FailureDetail::kFileIsFolder) {
            return deviceWaits ? file + " was a folder when the image was to be sent; nothing was sent" + waits
                               : file + " is a folder";
        }
        if (deviceWaits) {
            return file + " could not be read when the image was to be sent; nothing was sent" + waits;
        }
        return file + " could not be read";
    case FailureKind::kImageRefused:
        return file + " was refused at byte offset " + std::to_string(failure.Offset) + ": " +
               DescribeImageFault(failure.Fault) + "; nothing was sent" + waits;
    case FailureKind::kImageChanged:
        return file + " changed after it was checked; nothing was sent" + waits;
    default:
        return std::string();
    }
}

std::string LUpdateEngineInterface::DescribeSharedNameFailure() const
{
    const std::string name = Quoted(mChosenDevice.UpdateRenderPortName);
    const UpdateFailure failure = GetUpdateFailure();
    const std::string confirmed = "a device named " + name + " confirmed the image, but ";
    const std::string updateThatOne = "; connect only that one and update it";
    switch (failure.Kind) {
    case FailureKind::kDevicesShareName:
        switch (failure.Detail) {
        case FailureDetail::kNamesakeWaiting:
            return confirmed + "another device of that name waits in update mode for its image" + updateThatOne;
        case FailureDetail::kNamesakeHeld:
            return confirmed + "another program holds a device of that name, which may wait in update mode for its "
                               "image" + updateThatOne;
        case FailureDetail::kNamesakeAway:
            return confirmed + "fewer devices of that name are connected than when the device to update was sent "
                               "into update mode, and one that is away may wait in update mode for its image" +
                   updateThatOne;
        default:
            // Where two or more were seen, one of them the chosen device.
            return CountInWords(std::max<std::uint32_t>(failure.DeviceCount, 2)) + " devices named " + name +
                   " are connected; connect only the one to update";
        }
    case FailureKind::kNamesakeMissing:
        return "a device named " + name + " went missing after the one to update was sent into update mode, so the "
               "device in update mode may be another one";
    case FailureKind::kNotInUpdateMode:
        return "no device named " + name + " answered in update mode when its image was to be sent";
    default:
        return std::string();
    }
}

LUpdateEngineInterface::ProbeFailure LUpdateEngineInterface::GetDeviceProbeFailure() const
{
    return ProbeFailure();
}

std::uint32_t LUpdateEngineInterface::CountFoundDeviceNamesakes(std::int32_t) const
{
    return 0;
}

std::string LUpdateEngineInterface::DescribeDeviceProbeFailure() const
{
    const ProbeFailure failure = GetDeviceProbeFailure();
    if (failure.Request == DeviceRequest::kNone) {
        return std::string();
    }
    const std::string request =
        failure.Request == DeviceRequest::kVersion ? "the firmware version request" : "the status request";
    const std::string device =
        failure.CapturePortName == failure.RenderPortName
            ? "the device at MIDI port " + Quoted(failure.RenderPortName)
            : "the device at MIDI ports " + Quoted(failure.RenderPortName) + " (requests) and " +
                  Quoted(failure.CapturePortName) + " (replies)";
    switch (failure.Answer) {
    case DeviceAnswer::kNotSent:
        return request + " could not be sent to " + device;
    case DeviceAnswer::kNothing:
        return device + " did not answer " + request + " within " + DescribeDuration(failure.Milliseconds);
    case DeviceAnswer::kUnreadable:
        return device + " answered " + request + " with a reply that could not be read";
    case DeviceAnswer::kOtherStatus:
        return device + " answered " + request + " neither as running nor as in update mode";
    case DeviceAnswer::kPortBusy:
        return "the MIDI port " + Quoted(failure.RenderPortName) + " is in use by another program";
    }
    return std::string();
}

bool LUpdateEngineInterface::RequestCancel()
{
    CancelState expected = CancelState::kNone;
    return mCancel.compare_exchange_strong(expected, CancelState::kRequested) || expected == CancelState::kRequested;
}

bool LUpdateEngineInterface::StopTakingCancels()
{
    CancelState expected = CancelState::kNone;
    return mCancel.compare_exchange_strong(expected, CancelState::kRefused) || expected == CancelState::kRefused;
}

void LUpdateEngineInterface::SetUpdateFailure(const UpdateFailure& failure)
{
    MutexLock lock(mFailureLock);
    mFailure = failure;
}

bool LUpdateEngineInterface::AcceptImage(const FirmwareImageBytes& image)
{
    const ImageCheck check = CheckFirmwareImage(image);
    if (check.Fault == ImageFault::kNone) {
        return true;
    }
    SetUpdateFailure(RefusalOf(check));
    return false;
}

void LUpdateEngineInterface::PostUpdateProgress(std::uint32_t stage, double fraction, bool estimate,
                                                std::uint32_t timeRemaining, bool last)
{
    // A newer report replaces one that still waits, so that reports nobody takes yet do not pile up.
    const RCPtr<LNotificationCenter> center = GetApplicationNotificationCenter();
    if (center) {
        // A centre that is going away takes no more reports.
        (void)center->PostReplacingNotification(LNotification::Create(
            kNidFirmwareUpdateProgress,
            LFirmwareUpdateProgressNotificationData::Create(stage, fraction, timeRemaining, estimate, last)));
    }
}

void LUpdateEngineInterface::PostDeviceStateChange(std::int32_t newState, std::int32_t oldState)
{
    if (AreNotificationsEnabled()) {
        Post(kNidDeviceStateChange, LDeviceStateChangeNotificationData::Create(newState, oldState));
    }
}

void LUpdateEngineInterface::PostFirmwareFileStateChange(std::int32_t newState, std::int32_t oldState)
{
    if (AreNotificationsEnabled()) {
        Post(kNidFirmwareFileStateChange, LFirmwareFileStateChangeNotificationData::Create(newState, oldState));
    }
}

void LUpdateEngineInterface::PostFoundDeviceListChange()
{
    Post(kNidFoundDeviceListChange, GetFoundDeviceListChangeData());
}

void LUpdateEngineInterface::PostUpdateCompleted(bool success)
{
    if (AreNotificationsEnabled()) {
        Post(kNidFirmwareUpdateCompleted, LFirmwareUpdateCompletedNotificationData::Create(success));
    }
}

void LUpdateEngineInterface::SetDeviceState(std::int32_t state)
{
    const std::int32_t oldState = mDeviceState.exchange(state);
    if (oldState != state) {
        PostDeviceStateChange(state, oldState);
    }
}

void LUpdateEngineInterface::SetFirmwareFileState(std::int32_t state)
{
    const std::int32_t oldState = mFileState.exchange(state);
    if (oldState != state) {
        PostFirmwareFileStateChange(state, oldState);
    }
}

bool LUpdateEngineInterface::IsValidFoundIndex(std::int32_t index) const
{
    return index >= 0 && index < GetFoundDeviceCount();
}

bool LUpdateEngineInterface::GetVersionToCompare(VersionRecord& deviceVersion) const
{
    const std::int32_t index = GetSelectedDeviceIndex();
    return GetFirmwareFileState() >= kFilePresent && GetDeviceState() >= kDeviceUnusable && IsValidFoundIndex(index) &&
           Succeeded(GetFoundDeviceVersion(index, deviceVersion));
}

LUpdateEngineInterface::VersionRecord LUpdateEngineInterface::GetFirmwareFileVersion() const
{
    MutexLock lock(mFileLock);
    return mFirmwareFileVersion;
}

ZVRESULT LUpdateEngineInterface::DoWork(const ConstRCPtr<LRefCountedObject>& parameter)
{
    const ConstRCPtr<LHolder<ThreadWorkerTask>> task(parameter);
    if (task.IsNull() || task->GetValue() != kTaskFirmwareUpdate) {
        return ZV_E_FAIL;
    }
    const ZVRESULT result = RunUpdate();
    PostUpdateCompleted(Succeeded(result));
    return result;
}

void LUpdateEngineInterface::Post(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& data)
{
    const RCPtr<LNotificationCenter> center = GetApplicationNotificationCenter();
    if (center) {
        // A centre that is going away takes no more notifications.
        (void)center->PostNotification(LNotification::Create(id, data));
    }
}

void LUpdateEngineInterface::ReportStep(const std::string& step)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Update: " << step << std::endl;
}

std::string DescribeDuration(std::uint32_t milliseconds)
{
    if (milliseconds % kMillisecondsPerSecond != 0) {
        return std::to_string(milliseconds) + " ms";
    }
    return std::to_string(milliseconds / kMillisecondsPerSecond) + " s";
}
