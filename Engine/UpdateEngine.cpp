#include "Engine/UpdateEngine.h"

#include "ObjectBase/Exception.h"

using namespace ZV;

LUpdateEngine::LUpdateEngine(MidiCommFactory midiFactory)
    : mMidiFactory(midiFactory ? std::move(midiFactory) : MidiCommFactory(&CreateMidiComm)),
      mHandler(new LNotificationHandler<LUpdateEngine>(this))
{
}

LUpdateEngine::~LUpdateEngine() = default;

ZVRESULT LUpdateEngine::Initialize(const WideString& commandLine)
{
    const ZVRESULT result = LUpdateEngineInterface::Initialize(commandLine);
    if (Failed(result)) {
        return result;
    }
    return ReplaceMidi() ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LUpdateEngine::GetFoundDevices(Array<DeviceDefinition>& devices) const
{
    (void)devices.Clear();
    MutexLock lock(mFoundDevicesLock);
    for (std::uint32_t index = 0; index < mFoundDevices.GetCount(); ++index) {
        if (Failed(devices.AddItem(*mFoundDevices.GetItemPointer(index)))) {
            return ZV_E_FAIL;
        }
    }
    return ZV_S_OK;
}

ZVRESULT LUpdateEngine::RefreshSelectedDevice()
{
    const std::int32_t state = GetDeviceState();
    std::int32_t index = GetSelectedDeviceIndex();
    DeviceDefinitionEx record;
    // While updating, the worker owns the device and the MIDI object.
    if (state <= kDeviceNoneSelected || state == kDeviceUpdating) {
        return ZV_E_FAIL;
    }
    if (!GetFoundDevice(index, record)) {
        // On its way into update mode the chosen device is away from the list for a while: it is looked for by its
        // names.
        DeviceDefinition chosen;
        if (state != kDeviceEnteringUpdateMode || !GetChosenDevice(chosen)) {
            return ZV_E_FAIL;
        }
        record = DeviceDefinitionEx(chosen);
        index = -1;
    }
    const bool answered = Succeeded(ProbeDevice(record));
    std::uint32_t counted = 0;
    const Namesakes namesakes = answered ? TellFromNamesakes(record, counted) : Namesakes::kTold;
    if (index >= 0) {
        StoreFoundDevice(index, record);
    } else if (answered) {
        SetSelectedIndex(AddFoundDevice(record));
    }
    if (!answered && state == kDeviceEnteringUpdateMode && record.LastProbeFailure.Answer == DeviceAnswer::kPortBusy) {
        // Back, but held by another program (one that takes every new port, say): it will not come free by waiting.
        (void)RefuseBusyPort(index, record, record.LastProbeFailure, PlaceBeforeImage());
    } else if (!answered) {
        // On its way into update mode, or back after an update, the device is away for a while.
        if (state != kDeviceEnteringUpdateMode && state != kDeviceUpdateEnded) {
            MarkFoundDeviceUnusable(index);
            SetDeviceState(kDeviceUnusable);
        }
    } else if (namesakes != Namesakes::kTold) {
        (void)RefuseSharedName(GetSelectedDeviceIndex(), namesakes, PlaceBeforeImage(namesakes), counted);
    } else if (state == kDeviceEnteringUpdateMode) {
        if (record.InUpdateMode) {
            SetDeviceState(kDeviceInUpdateMode);
        }
    } else {
        SetDeviceState(record.InUpdateMode ? kDeviceInUpdateMode : kDeviceRunning);
    }
    return ZV_S_OK;
}

bool LUpdateEngine::IsUpdateAvailable() const
{
    VersionRecord deviceVersion;
    return GetVersionToCompare(deviceVersion) && GetFirmwareFileVersion().Build > deviceVersion.Build;
}

ZVRESULT LUpdateEngine::CancelUpdate()
{
    if (GetDeviceState() != kDeviceUpdating) {
        return ZV_E_FAIL;
    }
    return RequestCancel() ? ZV_S_OK : ZV_S_FALSE;
}

std::int32_t LUpdateEngine::GetFoundDeviceCount() const
{
    MutexLock lock(mFoundDevicesLock);
    return static_cast<std::int32_t>(mFoundDevices.GetCount());
}

bool LUpdateEngine::IsFoundDeviceInUpdateMode(std::int32_t index) const
{
    DeviceDefinitionEx record;
    return GetFoundDevice(index, record) && record.InUpdateMode;
}

ZVRESULT LUpdateEngine::GetFoundDeviceError(std::int32_t index, std::uint32_t& code) const
{
    DeviceDefinitionEx record;
    if (!GetFoundDevice(index, record)) {
        code = kDeviceErrorNone;
        return ZV_E_FAIL;
    }
    code = record.ErrorCode;
    return ZV_S_OK;
}

ZVRESULT LUpdateEngine::GetFoundDeviceVersion(std::int32_t index, VersionRecord& version) const
{
    DeviceDefinitionEx record;
    if (!GetFoundDevice(index, record)) {
        return ZV_E_FAIL;
    }
    version = record.Version;
    return ZV_S_OK;
}

LUpdateEngineInterface::ProbeFailure LUpdateEngine::GetDeviceProbeFailure() const
{
    const std::int32_t state = GetDeviceState();
    DeviceDefinitionEx record;
    if (state == kDeviceUnusable && GetFoundDevice(GetSelectedDeviceIndex(), record)) {
        return record.LastProbeFailure;
    }
    MutexLock lock(mFoundDevicesLock);
    if (state == kDeviceNotFound && mUnansweredDevices.GetCount() > 0) {
        return mUnansweredDevices.GetItemPointer(0)->LastProbeFailure;
    }
    return ProbeFailure();
}

void LUpdateEngine::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification)
{
    MutexLock lock(mMidiLock);
    mHandler->HandleNotification(sender, notification);
}

ZVRESULT LUpdateEngine::UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                  const wchar_t* id)
{
    {
        MutexLock lock(mMidiLock);
        mHandler->EraseHandler(distributor, id);
    }
    return LNotificationClient::UnregisterForNotification(distributor, id);
}

ZVRESULT LUpdateEngine::EnumerateDevices()
{
    Array<DeviceDefinitionEx> found;
    Array<DeviceDefinitionEx> unanswered;
    const Array<DeviceDefinition>& definitions = GetDeviceDefinitions();
    for (std::uint32_t index = 0; index < definitions.GetCount(); ++index) {
        DeviceDefinitionEx record(*definitions.GetItemPointer(index));
        if (Succeeded(ProbeDevice(record))) {
            if (std::uint32_t counted = 0; TellFromNamesakes(record, counted) != Namesakes::kTold) {
                MarkNameShared(record, counted);
            }
            ZV_THROW_IF_FAILED(found.AddItem(record));
        } else if (record.LastProbeFailure.Answer == DeviceAnswer::kPortBusy) {
            // It is there, but cannot be used while another program holds its port.
            record.ErrorCode = kDeviceErrorNoAccess;
            ZV_THROW_IF_FAILED(found.AddItem(record));
        } else if (record.LastProbeFailure.Request != DeviceRequest::kNone) {
            record.ErrorCode = kDeviceErrorNoAccess;
            ZV_THROW_IF_FAILED(unanswered.AddItem(record));
        }
    }
    MutexLock lock(mFoundDevicesLock);
    mFoundDevices = found;
    mUnansweredDevices = unanswered;
    return ZV_S_OK;
}

bool LUpdateEngine::GetFoundDevice(std::int32_t index, DeviceDefinitionEx& record) const
{
    MutexLock lock(mFoundDevicesLock);
    if (index < 0 || static_cast<std::uint32_t>(index) >= mFoundDevices.GetCount()) {
        return false;
    }
    record = *mFoundDevices.GetItemPointer(static_cast<std::uint32_t>(index));
    return true;
}

std::int32_t LUpdateEngine::AddFoundDevice(const DeviceDefinitionEx& record)
{
    MutexLock lock(mFoundDevicesLock);
    ZV_THROW_IF_FAILED(mFoundDevices.AddItem(record));
    return static_cast<std::int32_t>(mFoundDevices.GetCount()) - 1;
}

void LUpdateEngine::StoreFoundDevice(std::int32_t index, const DeviceDefinitionEx& record)
{
    MutexLock lock(mFoundDevicesLock);
    if (index >= 0 && static_cast<std::uint32_t>(index) < mFoundDevices.GetCount()) {
        *mFoundDevices.GetItemPointer(static_cast<std::uint32_t>(index)) = record;
    }
}

ZVRESULT LUpdateEngine::RefuseBusyPort(std::int32_t index, const DeviceDefinitionEx& record,
                                       const ProbeFailure& failure, DevicePlace left)
{
    DeviceDefinitionEx busy = record;
    busy.ErrorCode = kDeviceErrorNoAccess;
    busy.LastProbeFailure = failure;
    DeviceDefinitionEx listed;
    if (GetFoundDevice(index, listed)) {
        StoreFoundDevice(index, busy);
    } else {
        SetSelectedIndex(AddFoundDevice(busy));
    }
    UpdateFailure busyPort{FailureKind::kPortBusy};
    busyPort.DeviceLeft = left;
    SetUpdateFailure(busyPort);
    SetDeviceState(kDeviceUnusable);
    return ZV_E_FAIL;
}

void LUpdateEngine::MarkFoundDeviceUnusable(std::int32_t index)
{
    MutexLock lock(mFoundDevicesLock);
    if (index >= 0 && static_cast<std::uint32_t>(index) < mFoundDevices.GetCount()) {
        mFoundDevices.GetItemPointer(static_cast<std::uint32_t>(index))->ErrorCode = kDeviceErrorNoAccess;
    }
}

RCPtr<LUpdateEngineInterface> CreateUpdateEngine(MidiCommFactory midiFactory)
{
    return RCPtr<LUpdateEngineInterface>(new LUpdateEngine(std::move(midiFactory)));
}
