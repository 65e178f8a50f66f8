#include "Engine/UpdateEngine.h"

#include "Engine/UpdateProcessor.h"
#include "Midi/MidiCapturePort.h"
#include "Midi/MidiRenderPort.h"
#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"
#include "Threading/WaitResults.h"

#include <algorithm>
#include <atomic>
#include <cstring>

using namespace ZV;

namespace {

constexpr ZVRESULT kCancelled = static_cast<ZVRESULT>(0x80004004u);
constexpr std::uint32_t kNoTimeRemaining = 0xFFFFFFFF;

std::atomic<std::uint32_t> gFinalPollLimit{LUpdateEngine::kDefaultFinalPollLimit};

double Fraction(std::uint32_t done, std::uint32_t total)
{
    return std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
}

}  // namespace

void LUpdateEngine::SetFinalPollLimit(std::uint32_t milliseconds)
{
    gFinalPollLimit.store(milliseconds);
}

std::uint32_t LUpdateEngine::GetFinalPollLimit()
{
    return gFinalPollLimit.load();
}

ZVRESULT LUpdateEngine::RunUpdate()
{
    SetUpdateStatus(kUpdateRunning);
    mLoneDeviceToAwait.store(false);
    const std::int32_t index = GetSelectedDeviceIndex();
    DeviceDefinitionEx device;
    // The image checked before the device was touched; the file is not read again, so nothing it became since can
    // reach the device.
    const SharedFirmwareImage image = TakeImageToSend();
    if (!GetFoundDevice(index, device)) {
        return StopUpdate(UpdateFailure{FailureKind::kDeviceVanished});
    }
    // The last moment before the image: another device of the names may have gone into update mode meanwhile. From
    // here to the confirmation every request and every answer goes through the ports bound to the chosen device, so
    // a device of its names that comes or goes meanwhile is never asked in its place.
    DevicePorts ports;
    ProbeFailure openFailure;
    std::uint32_t counted = 0;
    const Namesakes namesakes = TellFromNamesakes(device, counted, &ports, &openFailure);
    if (namesakes == Namesakes::kNotInUpdateMode) {
        // Whatever stands in the chosen one's place gets nothing: it may be another device of its names.
        MarkFoundDeviceUnusable(index);
        UpdateFailure notThere{FailureKind::kNotInUpdateMode};
        notThere.DeviceLeft = DevicePlace::kUnknownBeforeImage;
        return StopUpdate(notThere);
    }
    if (namesakes != Namesakes::kTold) {
        SetUpdateStatus(kUpdateFailed);
        return RefuseSharedName(index, namesakes, PlaceBeforeImage(namesakes), counted);
    }
    if (!ports.Render) {
        if (openFailure.Answer == DeviceAnswer::kPortBusy) {
            SetUpdateStatus(kUpdateFailed);
            return RefuseBusyPort(index, device, openFailure, PlaceBeforeImage());
        }
        return StopUpdate(UpdateFailure{FailureKind::kDeviceVanished});
    }
    if (!image) {
        return StopForMissingImage();
    }
    const ZVRESULT sent = SendCheckedImage(image, ports);
    if (Failed(sent)) {
        MarkFoundDeviceUnusable(index);
        (void)StopUpdate(GetUpdateFailure());
        return sent;
    }
    ReportStep("the image went out whole (" + std::to_string(image->GetCount()) + " bytes); waiting for the "
               "device's confirmation");
    // Alone, the device is the one to look for once it has restarted: a device of its names that came during the send
    // is never asked in its place.
    const bool alone = CountPresent(device) == 1;
    ProbeFailure busy;
    if (!PollUntilUpdateDone(device, ports, busy)) {
        if (busy.Answer == DeviceAnswer::kPortBusy) {
            SetUpdateStatus(kUpdateFailed);
            return RefuseBusyPort(index, device, busy, DevicePlace::kUnknownAfterImage);
        }
        MarkFoundDeviceUnusable(index);
        UpdateFailure unconfirmed{FailureKind::kNotConfirmed};
        unconfirmed.DeviceLeft = DevicePlace::kUnknownAfterImage;
        return StopUpdate(unconfirmed);
    }
    const std::uint32_t confirmedAt = Platform::GetMillisecondTick();
    ReportStep("the device confirmed the image");
    // The device confirmed the image: it is the owner's again, to be looked for once it has restarted, and the
    // program may end. It is in update mode no longer, so no second image goes to it.
    const std::int32_t expected = mNamesakesInUpdateMode.exchange(kNotSentIntoUpdateMode);
    ports = DevicePorts();
    if (DoesOwnerAwaitReturn()) {
        // It looks for the devices of the names itself (LookAfterUpdate), for as long as they are away.
        mNamesakesAfterUpdate.store(expected);
        SetUpdateStatus(kUpdateFinished);
        SetDeviceState(kDeviceUpdateEnded);
        return sent;
    }
    // A device of the names plugged in already in update mode while the chosen one restarted looked like it coming
    // back and took the image; the chosen one then waits in update mode, back or still on its way, and that is said
    // rather than a completed update. A device that never restarted was bound before any other came.
    if (expected != kNotSentIntoUpdateMode) {
        // A turn first: the device that confirmed may be leaving for its restart right after its answer.
        Platform::SleepMilliseconds(kNamesakeSettleTurn);
        if (const Namesakes left = LookForNamesakeLeftWaiting(device, expected, confirmedAt,
                                                              LUpdateProcessor::GetUpdateModeEntryWait());
            left != Namesakes::kTold) {
            SetUpdateStatus(kUpdateFailed);
            return RefuseSharedName(index, left, DevicePlace::kUnsaid, static_cast<std::uint32_t>(expected));
        }
    }
    // Alone with its names, it may be looked for until it runs again (WaitForUpdatedDeviceToRun).
    mLoneDeviceConfirmedAt.store(confirmedAt);
    mLoneDeviceToAwait.store(alone && expected <= 1);
    SetUpdateStatus(kUpdateFinished);
    SetDeviceState(kDeviceUpdateEnded);
    return sent;
}

bool LUpdateEngine::WaitForUpdatedDeviceToRun()
{
    const bool awaited = mLoneDeviceToAwait.exchange(false);
    const std::uint32_t confirmedAt = mLoneDeviceConfirmedAt.load();
    const std::int32_t index = GetSelectedDeviceIndex();
    DeviceDefinitionEx record;
    if (!awaited || GetDeviceState() != kDeviceUpdateEnded || !GetFoundDevice(index, record)) {
        return false;
    }
    for (;;) {
        const bool present = CountPresent(record) == 1;
        if (present && Succeeded(ProbeDevice(record))) {
            if (record.InUpdateMode) {
                // Back in update mode, it runs no build.
                return false;
            }
            StoreFoundDevice(index, record);
            SetDeviceState(kDeviceRunning);
            return true;
        }
        if (Platform::GetMillisecondTick() - confirmedAt >= LUpdateProcessor::GetUpdateModeEntryWait()) {
            return false;
        }
        // Counted often while it restarts; asked at the final poll's pace while it answers otherwise.
        Platform::SleepMilliseconds(present ? kFinalPollInterval : kNamesakeSettleTurn);
    }
}

ZVRESULT LUpdateEngine::SendFileMessages(const SharedFirmwareImage& image, const WideString& portName)
{
    if (!AcceptImage(*image)) {
        return ZV_E_FAIL;
    }
    DevicePorts ports;
    if (!OpenRenderPort(portName, ports)) {
        SetUpdateFailure(UpdateFailure{FailureKind::kDeviceVanished});
        return ZV_E_FAIL;
    }
    return SendCheckedImage(image, ports);
}

ZVRESULT LUpdateEngine::SendCheckedImage(const SharedFirmwareImage& image, const DevicePorts& ports)
{
    const std::uint32_t total = image->GetCount();
    FirmwareImageWalker walker;
    walker.Feed(image->GetData(), total);
    ImageMessage message;
    bool anySent = false;
    while (walker.Next(message)) {
        // Once the last message goes, the update ends by its own bounds: whatever the device confirms counts.
        const bool last = message.EndOffset + 1 == total;
        if (last ? !StopTakingCancels() : IsCancelRequested()) {
            UpdateFailure cancelled{FailureKind::kCancelled};
            cancelled.DeviceLeft =
                anySent ? DevicePlace::kInUpdateModeWithPartOfImage : DevicePlace::kInUpdateMode;
            SetUpdateFailure(cancelled);
            return kCancelled;
        }
        const ZVRESULT sent = SendSysExBody(image, message, ports);
        if (Failed(sent)) {
            // The device's ports went away with it; an output that stalled leaves it wherever it got to.
            UpdateFailure failure{FailureKind::kDeviceVanished, ImageFault::kNone, message.BodyOffset};
            if (sent == kMidiOutputStalled) {
                failure.Kind = FailureKind::kOutputStalled;
                failure.DeviceLeft = DevicePlace::kUnknownAfterImage;
            }
            SetUpdateFailure(failure);
            return ZV_E_FAIL;
        }
        anySent = true;
        const std::int64_t sentAt = Platform::GetMicrosecondTime();
        PostUpdateProgress(0, Fraction(message.EndOffset, total), true, kNoTimeRemaining, false);
        PauseAfterMessage(sentAt);
    }
    return ZV_S_OK;
}

ZVRESULT LUpdateEngine::SendFileInChunks(const FirmwareImageBytes& image, const WideString& portName)
{
    DevicePorts ports;
    if (!OpenRenderPort(portName, ports)) {
        return ZV_E_FAIL;
    }
    const std::uint8_t* bytes = image.GetData();
    const std::uint32_t total = image.GetCount();
    for (std::uint32_t start = 0; start < total && !IsCancelRequested(); start += kChunkSize) {
        const std::uint32_t length = std::min<std::uint32_t>(kChunkSize, total - start);
        MidiMessageBytes chunk;
        if (chunk.SetCount(length) != static_cast<ZVRESULT>(length)) {
            return ZV_E_FAIL;
        }
        std::memcpy(chunk.GetData(), bytes + start, length);
        if (Failed(Send(ports, chunk))) {
            return ZV_E_FAIL;
        }
        const std::int64_t sentAt = Platform::GetMicrosecondTime();
        PostUpdateProgress(0, Fraction(start + length, total), true, kNoTimeRemaining, false);
        PauseAfterMessage(sentAt);
    }
    return IsCancelRequested() ? kCancelled : ZV_S_OK;
}

bool LUpdateEngine::PollUntilUpdateDone(const DeviceDefinitionEx& device, DevicePorts& ports, ProbeFailure& busy)
{
    const std::uint32_t started = Platform::GetMillisecondTick();
    for (;;) {
        if (!ports.Render) {
            ReopenLoneDevice(device, ports, busy);
            if (busy.Answer == DeviceAnswer::kPortBusy) {
                return false;
            }
        }
        mUpdateDoneReplied.Reset();
        if (ports.Render && Failed(SendRequest(ports, DeviceMessages::Request::Status))) {
            // The device went; it may come back.
            ports = DevicePorts();
        }
        if (mUpdateDoneReplied.Wait(kFinalPollInterval) == kWaitSignalled) {
            return true;
        }
        if (Platform::GetMillisecondTick() - started >= GetFinalPollLimit()) {
            return false;
        }
    }
}

void LUpdateEngine::ReopenLoneDevice(const DeviceDefinitionEx& device, DevicePorts& ports, ProbeFailure& busy)
{
    // With another device of the names there, the one back cannot be told from it.
    if (CountPresent(device) != 1) {
        return;
    }
    WideString busyPortName;
    if (OpenPorts(device.UpdateCapturePortName, device.UpdateRenderPortName, ports, &busyPortName, 0) ==
        kMidiPortBusy) {
        busy = BusyPortFailure(busyPortName);
    } else if (CountPresent(device) != 1) {
        ports = DevicePorts();
    }
}

ZVRESULT LUpdateEngine::SendSysExBody(const SharedFirmwareImage& image, const ImageMessage& message,
                                      const DevicePorts& ports) const
{
    if (!ports.Midi || !ports.Render) {
        return ZV_E_FAIL;
    }
    // A message can be as large as the image: it goes out from the image, which the driver holds while it reads.
    Platform::MidiLongMessage body;
    body.Keeper = image;
    body.Bytes = image->GetData() + message.BodyOffset;
    body.Count = message.Length;
    body.IsSysExBody = true;
    return ports.Midi->SendLongMidiMessage(ConstRCPtr<LRefCountedObject>(ports.Render), std::move(body));
}

void LUpdateEngine::PauseAfterMessage(std::int64_t sentAt) const
{
    Platform::SleepUntilMicroseconds(sentAt + kPauseAfterMessageMicroseconds);
}

ZVRESULT LUpdateEngine::StopUpdate(const UpdateFailure& failure)
{
    SetUpdateFailure(failure);
    SetUpdateStatus(kUpdateFailed);
    SetDeviceState(kDeviceUnusable);
    return ZV_E_FAIL;
}

ZVRESULT LUpdateEngine::StopForFirmwareFile(const UpdateFailure& failure)
{
    // The file is what failed.
    SetFirmwareFileState(kFileMissing);
    return StopWithDeviceWaiting(failure);
}

ZVRESULT LUpdateEngine::StopForMissingImage()
{
    // Nothing was handed over to send: the file may be as fit as it was when it was checked.
    return StopWithDeviceWaiting(UpdateFailure{FailureKind::kNoImageToSend});
}

ZVRESULT LUpdateEngine::StopWithDeviceWaiting(const UpdateFailure& failure)
{
    // Nothing went out: the device waits in update mode as before.
    UpdateFailure waiting = failure;
    waiting.DeviceLeft = DevicePlace::kInUpdateMode;
    SetUpdateFailure(waiting);
    SetUpdateStatus(kUpdateFailed);
    SetDeviceState(kDeviceInUpdateMode);
    return ZV_E_FAIL;
}
