#include "App/HeadlessRoad.h"

#include "Midi/MidiRenderPort.h"
#include "Platform/StandardError.h"
#include "Threading/WaitResults.h"
#include "Utilities/Debug/DebugOutput.h"

#include <ostream>

using namespace ZV;

namespace {

std::string Narrow(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// Outside text (a path, a port name) in the one line: nothing in it may start another.
std::string Quoted(const WideString& text)
{
    return "\"" + Platform::EscapeForLine(Narrow(text)) + "\"";
}

std::string DescribeFirmwareFile(const LUpdateEngineInterface& engine)
{
    WideString path;
    (void)engine.GetFirmwareFilePath(path);
    return path.IsEmpty() ? std::string("no firmware file is named (a file switch names none, or the program's folder, "
                                        "where it looks for one, is not UTF-8 text)")
                          : "the firmware file " + Quoted(path) + " is missing";
}

std::string DescribeDevice(LUpdateEngineInterface& engine)
{
    switch (engine.GetDeviceState()) {
    case LUpdateEngineInterface::kDeviceNotFound:
        // Ports of the name were there, but what was asked of them went unanswered.
        if (std::string unanswered = engine.DescribeDeviceProbeFailure(); !unanswered.empty()) {
            return unanswered;
        }
        return "no device was found (looked for MIDI ports named " +
               Quoted(LUpdateProcessor::GetPortNameForDeviceType(0)) + " and " +
               Quoted(LUpdateProcessor::GetPortNameForDeviceType(1)) + ")";
    case LUpdateEngineInterface::kDeviceNoneSelected:
        return "several devices were found";
    case LUpdateEngineInterface::kDeviceUnusable:
        // Among others, a port that another program holds.
        if (std::string unusable = engine.DescribeDeviceProbeFailure(); !unusable.empty()) {
            return unusable;
        }
        return "the device does not answer";
    case LUpdateEngineInterface::kDeviceRunning: {
        WideString deviceVersion;
        WideString fileVersion;
        (void)engine.GetDeviceFirmwareVersionText(deviceVersion);
        (void)engine.GetFirmwareFileVersionText(fileVersion);
        return "the device runs build " + Narrow(deviceVersion) + " and the firmware file holds build " +
               Narrow(fileVersion) +
               (engine.IsUpdateAvailable() ? ", so an update is available" : ", so it needs no update");
    }
    case LUpdateEngineInterface::kDeviceEnteringUpdateMode:
        return "the device is restarting into update mode";
    case LUpdateEngineInterface::kDeviceInUpdateMode:
        return "the device is in update mode";
    case LUpdateEngineInterface::kDeviceUpdating:
        return "the update is still running";
    case LUpdateEngineInterface::kDeviceUpdateEnded:
        return "the device took the image and restarts with it";
    default:
        return "no device is defined";
    }
}

using DevicePlace = LUpdateEngineInterface::DevicePlace;

// Where a failure left the device sent into update mode, as the end of its line; "" when that is not to be said.
std::string WhereDeviceWasLeft(DevicePlace place)
{
    switch (place) {
    case DevicePlace::kInUpdateMode:
        return "; nothing was sent, and the device waits in update mode";
    case DevicePlace::kInUpdateModeWithPartOfImage:
        return "; the device waits in update mode with part of its image";
    case DevicePlace::kUnknownBeforeImage:
        return "; nothing was sent, and where the device is now is unknown";
    case DevicePlace::kUnknownAfterImage:
        return "; where the device is now is unknown";
    case DevicePlace::kUnsaid:
        break;
    }
    return "";
}

// What failed, and where that left the device; "" for no failure.
std::string DescribeWhatFailed(LUpdateEngineInterface& engine, const LUpdateEngineInterface::UpdateFailure& failure,
                               bool timedOut)
{
    const std::string where = WhereDeviceWasLeft(failure.DeviceLeft);
    switch (failure.Kind) {
    case LUpdateEngineInterface::FailureKind::kImageUnreadable:
    case LUpdateEngineInterface::FailureKind::kImageRefused:
    case LUpdateEngineInterface::FailureKind::kImageChanged:
        // Its words say where the device waits.
        return engine.DescribeFirmwareFileFailure();
    case LUpdateEngineInterface::FailureKind::kDevicesShareName:
    case LUpdateEngineInterface::FailureKind::kNamesakeMissing:
    case LUpdateEngineInterface::FailureKind::kNotInUpdateMode:
        return engine.DescribeSharedNameFailure() + where;
    case LUpdateEngineInterface::FailureKind::kPortBusy:
        return engine.DescribeDeviceProbeFailure() + where;
    case LUpdateEngineInterface::FailureKind::kNoImageToSend:
        return "the update began without an image to send" + where;
    case LUpdateEngineInterface::FailureKind::kDeviceUnreachable:
        return "the device could not be asked to enter update mode" + where;
    case LUpdateEngineInterface::FailureKind::kDeviceVanished:
        return "the device went away during the update (at byte offset " + std::to_string(failure.Offset) +
               " of the image)" + where;
    case LUpdateEngineInterface::FailureKind::kOutputStalled:
        // The device may still be there: it is the computer's output that stopped taking the image.
        return "the MIDI output stalled during the update: the driver took nothing for " +
               DescribeDuration(LMidiRenderPort::kSendTimeout) + " (at byte offset " + std::to_string(failure.Offset) +
               " of the image)" + where;
    case LUpdateEngineInterface::FailureKind::kNotConfirmed:
        return "the device took the image but did not confirm the update within " +
               DescribeDuration(LUpdateEngine::GetFinalPollLimit()) + where;
    case LUpdateEngineInterface::FailureKind::kCancelled:
        return (timedOut ? "the update did not end within " +
                               DescribeDuration(LUpdateProcessor::GetSilentUpdateWait()) + " and was cancelled"
                         : std::string("the update was cancelled")) +
               where;
    case LUpdateEngineInterface::FailureKind::kNone:
        break;
    }
    return "";
}

// Why the update did not complete, and where that left the device; "" when nothing failed.
std::string DescribeFailure(LUpdateEngineInterface& engine, bool timedOut)
{
    if (std::string failed = DescribeWhatFailed(engine, engine.GetUpdateFailure(), timedOut); !failed.empty()) {
        return failed;
    }
    if (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceEnteringUpdateMode) {
        return "the device did not come back in update mode within " +
               DescribeDuration(LUpdateProcessor::GetUpdateModeEntryWait()) +
               WhereDeviceWasLeft(DevicePlace::kUnknownBeforeImage);
    }
    const std::int32_t status = engine.GetUpdateStatus(false);
    if (status == LUpdateEngineInterface::kUpdateFailed || status == LUpdateEngineInterface::kUpdateCancelled) {
        return "the update failed";
    }
    return "";
}

// A device back from its update on another build than the file's, in words; "" for any other.
std::string DescribeUpdateNotTaken(LUpdateEngineInterface& engine)
{
    if (engine.GetUpdateStatus(false) != LUpdateEngineInterface::kUpdateFinished || !engine.RunsOtherBuildThanFile()) {
        return "";
    }
    WideString deviceVersion;
    WideString fileVersion;
    (void)engine.GetDeviceFirmwareVersionText(deviceVersion);
    (void)engine.GetFirmwareFileVersionText(fileVersion);
    return "the device confirmed the update, but came back running build " + Narrow(deviceVersion) +
           ", not the firmware file's build " + Narrow(fileVersion) + "; the update did not take";
}

// Where the processor left things: the failure, else the file and the device.
std::string DescribeEngineState(LUpdateEngineInterface& engine)
{
    if (engine.GetUpdateStatus(false) == LUpdateEngineInterface::kUpdateFinished) {
        return "the update finished";
    }
    if (const std::string failure = DescribeFailure(engine, false); !failure.empty()) {
        return failure;
    }
    if (engine.GetFirmwareFileState() != LUpdateEngineInterface::kFilePresent) {
        return DescribeFirmwareFile(engine);
    }
    return DescribeDevice(engine);
}

// Why the update did not complete, also when its start was refused or it did not take; "" when nothing failed.
std::string DescribeUnfinished(LUpdateEngineInterface& engine, bool timedOut)
{
    if (std::string failure = DescribeFailure(engine, timedOut); !failure.empty()) {
        return failure;
    }
    if (std::string notTaken = DescribeUpdateNotTaken(engine); !notTaken.empty()) {
        return notTaken;
    }
    if (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceInUpdateMode &&
        engine.GetUpdateStatus(false) == LUpdateEngineInterface::kUpdateIdle) {
        // A device in update mode always wants the image, so its update was started: it was refused.
        return "the update could not be started" + WhereDeviceWasLeft(DevicePlace::kInUpdateMode);
    }
    return "";
}

// Cancels an update that still runs after the processor's wait: true when it had to. An update whose last image
// message is on its way goes on; either way, what it came to is read from the engine once it has ended.
bool CancelRunningUpdate(LUpdateProcessor& processor)
{
    const RCPtr<LUpdateEngineInterface>& engine = processor.GetEngine();
    if (engine->GetUpdateStatus(false) != LUpdateEngineInterface::kUpdateRunning) {
        return false;
    }
    (void)engine->CancelUpdate();
    // No time is set here: every step of the update has a bound of its own (a message's send stops when the output
    // takes nothing for its time-out, the confirmation at the final poll's limit, the look at the devices of its
    // name at the restart wait).
    (void)engine->WaitForUpdate(kWaitInfinite);
    return true;
}

std::string ErrorLine(const std::string& text)
{
    return "FirmwareUpdater: " + text + "\n";
}

}  // namespace

HeadlessOutcome FinishWithoutWindow(LUpdateProcessor& processor)
{
    const bool timedOut = CancelRunningUpdate(processor);
    LUpdateEngineInterface& engine = *processor.GetEngine();
    if (engine.GetUpdateStatus(false) == LUpdateEngineInterface::kUpdateFinished) {
        // The device said "update done"; the build it runs once back says whether the update took.
        (void)engine.WaitForUpdatedDeviceToRun();
    }
    if (const std::string unfinished = DescribeUnfinished(engine, timedOut); !unfinished.empty()) {
        return HeadlessOutcome{kExitUpdateFailed, ErrorLine(unfinished)};
    }
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "FirmwareUpdater: " << DescribeEngineState(engine) << std::endl;
    return HeadlessOutcome{kExitFinished, std::string()};
}

HeadlessOutcome FinishWithoutDisplay(LUpdateProcessor& processor)
{
    return HeadlessOutcome{kExitUpdateFailed, ErrorLine(DescribeEngineState(*processor.GetEngine()))};
}

HeadlessOutcome FinishAskedToEndBeforeUpdate(LUpdateProcessor& processor)
{
    const bool inUpdateMode = processor.GetEngine()->GetDeviceState() == LUpdateEngineInterface::kDeviceInUpdateMode;
    return HeadlessOutcome{kExitUpdateFailed,
                           ErrorLine("asked to end before the update began" +
                                     (inUpdateMode ? WhereDeviceWasLeft(DevicePlace::kInUpdateMode)
                                                   : std::string("; the device was not sent into update mode")))};
}

std::string DescribeUpdateEnd(LUpdateProcessor& processor)
{
    LUpdateEngineInterface& engine = *processor.GetEngine();
    const std::string unfinished = DescribeUnfinished(engine, false);
    return ErrorLine(unfinished.empty() ? DescribeEngineState(engine) : unfinished);
}
