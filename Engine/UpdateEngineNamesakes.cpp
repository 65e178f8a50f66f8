#include "Engine/UpdateEngine.h"

#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "Platform/Clock.h"

#include <algorithm>

using namespace ZV;

namespace {

// Names that change under every count give up the binding after this many looks.
constexpr std::uint32_t kNamesakeLooks = 3;

}  // namespace

LUpdateEngine::Namesakes LUpdateEngine::TellFromNamesakes(const DeviceDefinitionEx& record, std::uint32_t& counted,
                                                          DevicePorts* chosenPorts, ProbeFailure* openFailure)
{
    for (std::uint32_t look = 0; look < kNamesakeLooks; ++look) {
        std::uint32_t present = 0;
        const Namesakes verdict = LookAtNamesakes(record, present, chosenPorts, openFailure);
        // A device sent into update mode counts while it is away.
        const std::int32_t expected = mNamesakesInUpdateMode.load();
        counted = expected > 0 ? std::max(present, static_cast<std::uint32_t>(expected)) : present;
        // A device that came or went while the chosen one's ports opened may stand before it.
        if (verdict != Namesakes::kTold || chosenPorts == nullptr || CountPresent(record) == present) {
            return verdict;
        }
    }
    *chosenPorts = DevicePorts();
    return Namesakes::kShared;
}

LUpdateEngine::Namesakes LUpdateEngine::LookAtNamesakes(const DeviceDefinitionEx& record, std::uint32_t& present,
                                                        DevicePorts* chosenPorts, ProbeFailure* openFailure)
{
    std::uint32_t captures = 0;
    std::uint32_t renders = 0;
    CountPorts(record, captures, renders);
    present = std::max(captures, renders);
    const std::int32_t expected = mNamesakesInUpdateMode.load();
    if (chosenPorts != nullptr) {
        // Ports of an earlier look would keep the chosen one from opening again.
        *chosenPorts = DevicePorts();
    }
    if (present <= 1 && expected <= 1) {
        // One device carries the names, as when the chosen one was sent into update mode, or found there: nothing
        // else can be the one in update mode, but it may be a running device in the chosen one's place.
        return chosenPorts != nullptr && present == 1 ? AskLoneDevice(record, *chosenPorts, openFailure)
                                                      : Namesakes::kTold;
    }
    if (captures != renders) {
        // An input without its output, or the reverse: a device that cannot be asked as a whole.
        return Namesakes::kShared;
    }
    std::uint32_t inUpdateMode = 0;
    bool firstInUpdateMode = false;
    bool anyHeld = false;
    ProbeFailure failure;
    // The last place first, so that the ports left open at the end are the first one's.
    for (std::uint32_t place = present; place-- > 0;) {
        DevicePorts ports;
        ProbeFailure unanswered;
        const bool opened =
            ReopenMidi(record.UpdateCapturePortName, record.UpdateRenderPortName, ports, unanswered, place);
        if (opened && AskStatus(ports, mInUpdateModeReplied, unanswered)) {
            ++inUpdateMode;
            firstInUpdateMode = firstInUpdateMode || place == 0;
        }
        anyHeld = anyHeld || (!opened && unanswered.Answer == DeviceAnswer::kPortBusy);
        if (place == 0 && chosenPorts != nullptr) {
            *chosenPorts = ports;
            failure = opened ? ProbeFailure() : unanswered;
        }
    }
    Namesakes verdict = JudgeNamesakes(present, expected, inUpdateMode, firstInUpdateMode, anyHeld);
    if (verdict == Namesakes::kTold && chosenPorts != nullptr && chosenPorts->Render && !firstInUpdateMode) {
        verdict = Namesakes::kNotInUpdateMode;
    }
    if (verdict != Namesakes::kTold) {
        if (chosenPorts != nullptr) {
            *chosenPorts = DevicePorts();
        }
        return verdict;
    }
    if (openFailure != nullptr) {
        *openFailure = failure;
    }
    return Namesakes::kTold;
}

LUpdateEngine::Namesakes LUpdateEngine::AskLoneDevice(const DeviceDefinitionEx& record, DevicePorts& chosenPorts,
                                                      ProbeFailure* openFailure)
{
    ProbeFailure failure;
    if (!ReopenMidi(record.UpdateCapturePortName, record.UpdateRenderPortName, chosenPorts, failure, 0)) {
        // Gone meanwhile, or held by another program: the caller says which.
        if (openFailure != nullptr) {
            *openFailure = failure;
        }
        return Namesakes::kTold;
    }
    if (!AskStatus(chosenPorts, mInUpdateModeReplied, failure)) {
        chosenPorts = DevicePorts();
        return Namesakes::kNotInUpdateMode;
    }
    if (openFailure != nullptr) {
        *openFailure = ProbeFailure();
    }
    return Namesakes::kTold;
}

LUpdateEngine::Namesakes LUpdateEngine::JudgeNamesakes(std::uint32_t present, std::int32_t expected,
                                                       std::uint32_t inUpdateMode, bool firstInUpdateMode,
                                                       bool anyHeld)
{
    if (anyHeld) {
        // Its mode is unknown; and once the chosen one is away, the device that answers by the names may be either.
        return Namesakes::kShared;
    }
    if (inUpdateMode == 0) {
        return Namesakes::kTold;
    }
    if (expected == kNotSentIntoUpdateMode || inUpdateMode > 1 || !firstInUpdateMode) {
        return Namesakes::kShared;
    }
    // With fewer devices than were there when the chosen one was sent, it is still away, or another went away: the
    // one in update mode may be either.
    return present >= static_cast<std::uint32_t>(expected) ? Namesakes::kTold : Namesakes::kOneMissing;
}

LUpdateEngine::Namesakes LUpdateEngine::LookForNamesakeLeftWaiting(const DeviceDefinitionEx& record,
                                                                  std::int32_t expected, std::uint32_t waitFrom,
                                                                  std::uint32_t wait)
{
    std::uint32_t present = CountPresent(record);
    while (present < static_cast<std::uint32_t>(expected) && Platform::GetMillisecondTick() - waitFrom < wait) {
        Platform::SleepMilliseconds(kNamesakeSettleTurn);
        present = CountPresent(record);
    }
    Namesakes verdict = present < static_cast<std::uint32_t>(expected) ? Namesakes::kOneAway : Namesakes::kTold;
    for (std::uint32_t place = present; place-- > 0;) {
        DevicePorts ports;
        ProbeFailure unanswered;
        if (!ReopenMidi(record.UpdateCapturePortName, record.UpdateRenderPortName, ports, unanswered, place)) {
            if (unanswered.Answer == DeviceAnswer::kPortBusy) {
                verdict = Namesakes::kOneLeftHeld;
            }
        } else if (AskStatus(ports, mInUpdateModeReplied, unanswered)) {
            return Namesakes::kOneLeftWaiting;
        }
    }
    return verdict;
}

ZVRESULT LUpdateEngine::LookAfterUpdate()
{
    const std::int32_t expected = mNamesakesAfterUpdate.load();
    DeviceDefinition chosen;
    if (expected != kNotSentIntoUpdateMode && GetChosenDevice(chosen)) {
        const Namesakes left =
            LookForNamesakeLeftWaiting(DeviceDefinitionEx(chosen), expected, Platform::GetMillisecondTick(), 0);
        if (left == Namesakes::kOneAway) {
            return ZV_S_OK;
        }
        if (left != Namesakes::kTold) {
            mNamesakesAfterUpdate.store(kNotSentIntoUpdateMode);
            SetUpdateStatus(kUpdateFailed);
            return RefuseSharedName(GetSelectedDeviceIndex(), left, DevicePlace::kUnsaid,
                                    static_cast<std::uint32_t>(expected));
        }
    }
    const ZVRESULT looked = LUpdateEngineInterface::LookAfterUpdate();
    // Until the chosen one runs, the next look counts the devices of its names again: it may be the one still away.
    if (GetDeviceState() == kDeviceRunning) {
        mNamesakesAfterUpdate.store(kNotSentIntoUpdateMode);
    }
    return looked;
}

void LUpdateEngine::CountPorts(const DeviceDefinitionEx& record, std::uint32_t& captures,
                               std::uint32_t& renders) const
{
    captures = 0;
    renders = 0;
    std::uint32_t unused = 0;
    if (const RCPtr<LMidiCommInterface> midi = GetMidi()) {
        midi->CountPorts(record.UpdateCapturePortName, captures, unused);
        midi->CountPorts(record.UpdateRenderPortName, unused, renders);
    }
}

std::uint32_t LUpdateEngine::CountPresent(const DeviceDefinitionEx& record) const
{
    std::uint32_t captures = 0;
    std::uint32_t renders = 0;
    CountPorts(record, captures, renders);
    return std::max(captures, renders);
}

std::int32_t LUpdateEngine::CountNamesakesInUpdateMode(const DeviceDefinitionEx& record) const
{
    // A device whose update-mode names are not its running names joins them only when it is back.
    const bool joins = record.NormalCapturePortName != record.UpdateCapturePortName ||
                       record.NormalRenderPortName != record.UpdateRenderPortName;
    return static_cast<std::int32_t>(CountPresent(record) + (joins ? 1 : 0));
}

void LUpdateEngine::MarkNameShared(DeviceDefinitionEx& record, std::uint32_t counted)
{
    record.ErrorCode = kDeviceErrorNoAccess;
    // However many were seen, the chosen one is one of at least two.
    record.NamesakeCount = std::max<std::uint32_t>(counted, 2);
}

ZVRESULT LUpdateEngine::RefuseSharedName(std::int32_t index, Namesakes verdict, DevicePlace left,
                                         std::uint32_t counted)
{
    {
        MutexLock lock(mFoundDevicesLock);
        if (index >= 0 && static_cast<std::uint32_t>(index) < mFoundDevices.GetCount()) {
            MarkNameShared(*mFoundDevices.GetItemPointer(static_cast<std::uint32_t>(index)), counted);
        }
    }
    UpdateFailure failure{verdict == Namesakes::kOneMissing ? FailureKind::kNamesakeMissing
                                                            : FailureKind::kDevicesShareName};
    if (verdict == Namesakes::kOneLeftWaiting) {
        failure.Detail = FailureDetail::kNamesakeWaiting;
    } else if (verdict == Namesakes::kOneLeftHeld) {
        failure.Detail = FailureDetail::kNamesakeHeld;
    } else if (verdict == Namesakes::kOneAway) {
        failure.Detail = FailureDetail::kNamesakeAway;
    }
    failure.DeviceLeft = left;
    failure.DeviceCount = std::max<std::uint32_t>(counted, 2);
    SetUpdateFailure(failure);
    SetDeviceState(kDeviceUnusable);
    return ZV_E_FAIL;
}

LUpdateEngineInterface::DevicePlace LUpdateEngine::PlaceBeforeImage(Namesakes verdict) const
{
    switch (GetDeviceState()) {
    case kDeviceEnteringUpdateMode:
    case kDeviceUpdating:
        // With one of the names missing, the device in update mode may be another one than the chosen.
        return verdict == Namesakes::kOneMissing ? DevicePlace::kUnknownBeforeImage : DevicePlace::kInUpdateMode;
    case kDeviceInUpdateMode:
        return DevicePlace::kInUpdateMode;
    default:
        return DevicePlace::kUnsaid;
    }
}

std::uint32_t LUpdateEngine::CountFoundDeviceNamesakes(std::int32_t index) const
{
    DeviceDefinitionEx record;
    return GetFoundDevice(index, record) ? record.NamesakeCount : 0;
}
