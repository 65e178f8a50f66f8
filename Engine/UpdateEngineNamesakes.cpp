#include "Engine/UpdateEngine.h"

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"

#include <algorithm>

using namespace ZV;

bool LUpdateEngine::IsToldFromNamesakes(const DeviceDefinitionEx& record)
{
    const RCPtr<LMidiCommInterface> midi = GetMidi();
    if (!midi) {
        // Nothing can reach any device.
        return true;
    }
    std::uint32_t captures = 0;
    std::uint32_t renders = 0;
    std::uint32_t unused = 0;
    midi->CountPorts(record.UpdateCapturePortName, captures, unused);
    midi->CountPorts(record.UpdateRenderPortName, unused, renders);
    const std::uint32_t present = std::max(captures, renders);
    const std::int32_t expected = mNamesakesInUpdateMode.load();
    if (present <= 1 && expected <= 1) {
        return true;
    }
    if (captures != renders) {
        // An input without its output, or the reverse: a device that cannot be asked as a whole.
        return false;
    }
    std::uint32_t inUpdateMode = 0;
    bool firstInUpdateMode = false;
    for (std::uint32_t place = 0; place < present; ++place) {
        DevicePorts ports;
        ProbeFailure unanswered;
        if (ReopenMidi(record.UpdateCapturePortName, record.UpdateRenderPortName, ports, unanswered, place) &&
            AskStatus(ports, mInUpdateModeReplied, unanswered)) {
            ++inUpdateMode;
            firstInUpdateMode = firstInUpdateMode || place == 0;
        }
    }
    if (inUpdateMode == 0) {
        return true;
    }
    // With fewer devices than were there when the chosen one was sent, it is still away: the one in update mode is
    // another.
    return expected != kNotSentIntoUpdateMode && inUpdateMode == 1 && firstInUpdateMode &&
           present >= static_cast<std::uint32_t>(expected);
}

std::int32_t LUpdateEngine::CountNamesakesInUpdateMode(const DeviceDefinitionEx& record) const
{
    std::uint32_t captures = 0;
    std::uint32_t renders = 0;
    std::uint32_t unused = 0;
    if (const RCPtr<LMidiCommInterface> midi = GetMidi()) {
        midi->CountPorts(record.UpdateCapturePortName, captures, unused);
        midi->CountPorts(record.UpdateRenderPortName, unused, renders);
    }
    // A device whose update-mode names are not its running names joins them only when it is back.
    const bool joins = record.NormalCapturePortName != record.UpdateCapturePortName ||
                       record.NormalRenderPortName != record.UpdateRenderPortName;
    return static_cast<std::int32_t>(std::max(captures, renders) + (joins ? 1 : 0));
}

void LUpdateEngine::MarkNameShared(DeviceDefinitionEx& record)
{
    record.ErrorCode = kDeviceErrorNoAccess;
    record.NameShared = true;
}

ZVRESULT LUpdateEngine::RefuseSharedName(std::int32_t index)
{
    {
        MutexLock lock(mFoundDevicesLock);
        if (index >= 0 && static_cast<std::uint32_t>(index) < mFoundDevices.GetCount()) {
            MarkNameShared(*mFoundDevices.GetItemPointer(static_cast<std::uint32_t>(index)));
        }
    }
    SetUpdateFailure(UpdateFailure{FailureKind::kDevicesShareName});
    SetDeviceState(kDeviceUnusable);
    return ZV_E_FAIL;
}

bool LUpdateEngine::IsFoundDeviceNameShared(std::int32_t index) const
{
    DeviceDefinitionEx record;
    return GetFoundDevice(index, record) && record.NameShared;
}
