#include "Engine/UpdateEngine.h"

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "Threading/WaitResults.h"

using namespace ZV;

namespace {

constexpr const wchar_t* kNidMidiDataCaptured = L"NID_MIDI_DATA_CAPTURED";

}  // namespace

ZVRESULT LUpdateEngine::EnterUpdateMode(const EnterRequestGate& mayGo)
{
    const std::int32_t state = GetDeviceState();
    if (state == kDeviceInUpdateMode) {
        return ZV_S_FALSE;
    }
    if (state != kDeviceRunning) {
        return ZV_E_FAIL;
    }
    SetUpdateFailure(UpdateFailure());
    const std::int32_t index = GetSelectedDeviceIndex();
    DeviceDefinitionEx record;
    const bool found = GetFoundDevice(index, record);
    std::uint32_t counted = 0;
    const Namesakes verdict = found ? TellFromNamesakes(record, counted) : Namesakes::kTold;
    if (verdict != Namesakes::kTold) {
        // Another device of its names went into update mode since it was chosen: this one stays as it is.
        return RefuseSharedName(index, verdict, DevicePlace::kUnsaid, counted);
    }
    // After the look at the devices of its names, which may take a while: what asked meanwhile to keep the device as
    // it is still counts.
    if (mayGo && !mayGo()) {
        return kEnterRequestKeptBack;
    }
    SetDeviceState(kDeviceEnteringUpdateMode);
    ZVRESULT result = ZV_E_FAIL;
    std::int32_t namesakes = kNotSentIntoUpdateMode;
    if (found) {
        // Counted while the device is still there.
        namesakes = CountNamesakesInUpdateMode(record);
        DevicePorts ports;
        WideString busyPortName;
        result = OpenPorts(record.NormalCapturePortName, record.NormalRenderPortName, ports, &busyPortName);
        if (result == kMidiPortBusy) {
            return RefuseBusyPort(index, record, BusyPortFailure(busyPortName), DevicePlace::kUnsaid);
        }
        if (Succeeded(result)) {
            result = SendRequest(ports, DeviceMessages::Request::EnterUpdateMode);
        }
    }
    if (Failed(result)) {
        SetUpdateFailure(UpdateFailure{FailureKind::kDeviceUnreachable});
        MarkFoundDeviceUnusable(index);
        SetDeviceState(kDeviceUnusable);
        return result;
    }
    mNamesakesInUpdateMode.store(namesakes);
    mNamesakesAfterUpdate.store(kNotSentIntoUpdateMode);
    ReportStep("sent the device into update mode");
    return ZV_S_OK;
}

ZVRESULT LUpdateEngine::SendIdentityRequest(const WideString& portName)
{
    DevicePorts ports;
    if (!OpenRenderPort(portName, ports)) {
        return ZV_E_FAIL;
    }
    return SendRequest(ports, DeviceMessages::Request::Identity);
}

ZVRESULT LUpdateEngine::ReservedSend(std::int32_t, std::int32_t, std::int32_t)
{
    return ZV_S_OK;
}

ZVRESULT LUpdateEngine::ProbeDevice(DeviceDefinitionEx& record)
{
    const WideString normalCapture = record.NormalCapturePortName;
    const WideString normalRender = record.NormalRenderPortName;
    const WideString updateCapture = record.UpdateCapturePortName;
    const WideString updateRender = record.UpdateRenderPortName;
    ProbeFailure failure;
    {
        DevicePorts ports;
        if (ProbeNormalPorts(normalCapture, normalRender, ports, failure)) {
            record.InUpdateMode = false;
            record.ErrorCode = kDeviceErrorNone;
            {
                MutexLock lock(mCurrentDeviceLock);
                mCurrentDevice = record;
            }
            const ZVRESULT result = RequestDeviceVersion(ports, failure);
            MutexLock lock(mCurrentDeviceLock);
            record = mCurrentDevice;
            record.LastProbeFailure = failure;
            return result;
        }
    }
    if (ProbeUpdatePorts(updateCapture, updateRender, failure)) {
        record.Version.Text = WideString(L"Unknown");
        record.InUpdateMode = true;
        record.ErrorCode = kDeviceErrorNone;
        record.LastProbeFailure = ProbeFailure();
        return ZV_S_OK;
    }
    record.LastProbeFailure = failure;
    return ZV_E_FAIL;
}

bool LUpdateEngine::ProbeNormalPorts(const WideString& captureName, const WideString& renderName, DevicePorts& ports,
                                     ProbeFailure& failure)
{
    return ReopenMidi(captureName, renderName, ports, failure) && AskStatus(ports, mRunningReplied, failure);
}

bool LUpdateEngine::ProbeUpdatePorts(const WideString& captureName, const WideString& renderName,
                                     ProbeFailure& failure)
{
    DevicePorts ports;
    return ReopenMidi(captureName, renderName, ports, failure) && AskStatus(ports, mInUpdateModeReplied, failure);
}

bool LUpdateEngine::ReopenMidi(const WideString& captureName, const WideString& renderName, DevicePorts& ports,
                               ProbeFailure& failure, std::optional<std::uint32_t> place)
{
    // The old object closes its ports only once nobody holds them.
    ports = DevicePorts();
    if (!ReplaceMidi()) {
        return false;
    }
    WideString busyPortName;
    const ZVRESULT opened = OpenPorts(captureName, renderName, ports, &busyPortName, place);
    if (opened == kMidiPortBusy) {
        failure = BusyPortFailure(busyPortName);
    }
    return Succeeded(opened);
}

LUpdateEngineInterface::ProbeFailure LUpdateEngine::BusyPortFailure(const WideString& portName)
{
    return ProbeFailure{DeviceRequest::kStatus, DeviceAnswer::kPortBusy, portName, portName, 0};
}

bool LUpdateEngine::AskStatus(const DevicePorts& ports, TrafficLight& reply, ProbeFailure& failure)
{
    return Ask(ports, DeviceRequest::kStatus, reply, mStatusReplied, kStatusReplyTimeout, failure);
}

ZVRESULT LUpdateEngine::RequestDeviceVersion(const DevicePorts& ports, ProbeFailure& failure)
{
    return Ask(ports, DeviceRequest::kVersion, mVersionReplied, mVersionReplied, kVersionReplyTimeout, failure)
               ? ZV_S_OK
               : ZV_E_FAIL;
}

bool LUpdateEngine::Ask(const DevicePorts& ports, DeviceRequest request, TrafficLight& wanted, TrafficLight& anyReply,
                        std::uint32_t milliseconds, ProbeFailure& failure)
{
    wanted.Reset();
    anyReply.Reset();
    mUnreadableReplied.Reset();
    failure = ProbeFailure{request, DeviceAnswer::kNothing, ports.Render ? ports.Render->GetName() : WideString(),
                           ports.Capture ? ports.Capture->GetName() : WideString(), milliseconds};
    if (Failed(SendRequest(ports, request == DeviceRequest::kVersion ? DeviceMessages::Request::Version
                                                                     : DeviceMessages::Request::Status))) {
        failure.Answer = DeviceAnswer::kNotSent;
        return false;
    }
    if (anyReply.Wait(milliseconds) == kWaitSignalled) {
        if (wanted.TryWait()) {
            failure = ProbeFailure();
            return true;
        }
        failure.Answer = DeviceAnswer::kOtherStatus;
        return false;
    }
    if (mUnreadableReplied.TryWait()) {
        failure.Answer = DeviceAnswer::kUnreadable;
    }
    return false;
}

bool LUpdateEngine::ReplaceMidi()
{
    RCPtr<LMidiCommInterface> previous;
    {
        MutexLock lock(mMidiLock);
        previous = std::move(mMidi);
    }
    if (previous) {
        (void)UnregisterForNotification(previous, kNidMidiDataCaptured);
        // Let go outside the lock: the old object's worker may be waiting for it to deliver a message, and the
        // object waits for its worker as it goes.
        previous = nullptr;
    }
    const RCPtr<LMidiCommInterface> fresh = mMidiFactory();
    if (!fresh) {
        return false;
    }
    MutexLock lock(mMidiLock);
    mMidi = fresh;
    return Succeeded(mHandler->AddHandler(&LUpdateEngine::OnMidiDataCaptured, fresh, kNidMidiDataCaptured, 0));
}

RCPtr<LMidiCommInterface> LUpdateEngine::GetMidi() const
{
    MutexLock lock(mMidiLock);
    return mMidi;
}

ZVRESULT LUpdateEngine::OpenPorts(const WideString& captureName, const WideString& renderName, DevicePorts& ports,
                                  WideString* busyPortName, std::optional<std::uint32_t> place) const
{
    ports = DevicePorts();
    ports.Midi = GetMidi();
    if (!ports.Midi) {
        return ZV_E_FAIL;
    }
    ZVRESULT opened = place ? ports.Midi->OpenCapturePortAt(captureName, *place, ports.Capture)
                            : ports.Midi->OpenCapturePort(captureName, ports.Capture);
    const WideString* tried = &captureName;
    if (Succeeded(opened) && ports.Capture) {
        opened = place ? ports.Midi->OpenRenderPortAt(renderName, *place, ports.Render)
                       : ports.Midi->OpenRenderPort(renderName, ports.Render);
        tried = &renderName;
    }
    if (Failed(opened) || !ports.Capture || !ports.Render) {
        ports = DevicePorts();
        if (opened == kMidiPortBusy && busyPortName != nullptr) {
            *busyPortName = *tried;
        }
        return Failed(opened) ? opened : ZV_E_FAIL;
    }
    return ZV_S_OK;
}

bool LUpdateEngine::OpenRenderPort(const WideString& renderName, DevicePorts& ports) const
{
    ports = DevicePorts();
    ports.Midi = GetMidi();
    if (!ports.Midi || Failed(ports.Midi->OpenRenderPort(renderName, ports.Render)) || !ports.Render) {
        ports = DevicePorts();
        return false;
    }
    return true;
}

ZVRESULT LUpdateEngine::SendRequest(const DevicePorts& ports, DeviceMessages::Request request) const
{
    MidiMessageBytes message;
    DeviceMessages::BuildRequest(request, message);
    return Send(ports, message);
}

ZVRESULT LUpdateEngine::Send(const DevicePorts& ports, const MidiMessageBytes& message) const
{
    if (!ports.Midi || !ports.Render) {
        return ZV_E_FAIL;
    }
    return ports.Midi->SendMidiMessage(ConstRCPtr<LRefCountedObject>(ports.Render), message);
}

std::int32_t LUpdateEngine::OnMidiDataCaptured(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LMidiCaptureNotificationData> data(notification->GetParameter());
    // Replies that a replaced MIDI object still delivers belong to an earlier probe.
    if (!data || !mMidi || sender.Get() != static_cast<const LNotificationDistributor*>(mMidi.Get())) {
        return 0;
    }
    switch (DeviceMessages::RecognizeReply(data->GetBytes())) {
    case DeviceMessages::Reply::Version: {
        const std::uint32_t build = DeviceMessages::DecodeBuildNumber(data->GetBytes());
        {
            MutexLock lock(mCurrentDeviceLock);
            mCurrentDevice.Version = VersionRecord{0, 0, 0, build, WideString::Format(L"%lu", build)};
        }
        mVersionReplied.Set();
        break;
    }
    case DeviceMessages::Reply::InUpdateMode:
        mInUpdateModeReplied.Set();
        mStatusReplied.Set();
        break;
    case DeviceMessages::Reply::Running:
        mRunningReplied.Set();
        mStatusReplied.Set();
        break;
    case DeviceMessages::Reply::UpdateDone:
        mUpdateDoneReplied.Set();
        mStatusReplied.Set();
        break;
    case DeviceMessages::Reply::None:
        if (DeviceMessages::IsSystemExclusive(data->GetBytes())) {
            mUnreadableReplied.Set();
        }
        break;
    }
    return 0;
}
