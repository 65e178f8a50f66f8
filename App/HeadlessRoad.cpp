#include "App/HeadlessRoad.h"

#include "Platform/StandardError.h"
#include "Utilities/Debug/DebugOutput.h"

#include <ostream>

using namespace ZV;

namespace {

// Long enough for a cancelled update to stop: one message send, or the rest of the final poll.
constexpr std::uint32_t kCancelledUpdateSlack = 30000;

std::string Quoted(const WideString& text)
{
    return "\"" + std::string(text.ToUTF8().GetData()) + "\"";
}

const char* DescribeUpdateStatus(std::int32_t status)
{
    switch (status) {
    case LUpdateEngineInterface::kUpdateFailed:
        return "the update failed";
    case LUpdateEngineInterface::kUpdateCancelled:
        return "the update was cancelled";
    case LUpdateEngineInterface::kUpdateFinished:
        return "the update finished";
    default:
        return nullptr;
    }
}

std::string DescribeDevice(LUpdateEngineInterface& engine)
{
    switch (engine.GetDeviceState()) {
    case LUpdateEngineInterface::kDeviceNotFound:
        return "no device was found (looked for MIDI ports named " +
               Quoted(LUpdateProcessor::GetPortNameForDeviceType(0)) + " and " +
               Quoted(LUpdateProcessor::GetPortNameForDeviceType(1)) + ")";
    case LUpdateEngineInterface::kDeviceNoneSelected:
        return "several devices were found";
    case LUpdateEngineInterface::kDeviceUnusable:
        return "the device does not answer";
    case LUpdateEngineInterface::kDeviceRunning: {
        WideString deviceVersion;
        WideString fileVersion;
        engine.GetDeviceFirmwareVersionText(deviceVersion);
        engine.GetFirmwareFileVersionText(fileVersion);
        return "the device runs build " + std::string(deviceVersion.ToUTF8().GetData()) +
               " and the firmware file holds build " + std::string(fileVersion.ToUTF8().GetData()) +
               (engine.IsUpdateAvailable() ? ", so an update is available" : ", so it needs no update");
    }
    case LUpdateEngineInterface::kDeviceEnteringUpdateMode:
        return "the device is restarting into update mode";
    case LUpdateEngineInterface::kDeviceInUpdateMode:
        return "the device is in update mode";
    default:
        return "no device is defined";
    }
}

// Waits for an update that still runs, first up to the silent wait when asked, and cancels it when it goes on.
void FinishRunningUpdate(LUpdateProcessor& processor, bool waitedAlready)
{
    const RCPtr<LUpdateEngineInterface>& engine = processor.GetEngine();
    if (engine->GetUpdateStatus(false) != LUpdateEngineInterface::kUpdateRunning ||
        (!waitedAlready && Succeeded(engine->WaitForUpdate(LUpdateProcessor::kSilentUpdateWait)))) {
        return;
    }
    if (Succeeded(engine->CancelUpdate())) {
        engine->WaitForUpdate(LUpdateEngine::GetFinalPollLimit() + kCancelledUpdateSlack);
    }
}

}  // namespace

std::string DescribeEngineState(LUpdateEngineInterface& engine)
{
    if (const char* outcome = DescribeUpdateStatus(engine.GetUpdateStatus(false))) {
        return outcome;
    }
    if (engine.GetFirmwareFileState() != LUpdateEngineInterface::kFilePresent) {
        WideString path;
        engine.GetFirmwareFilePath(path);
        return "the firmware file " + Quoted(path) + " is missing";
    }
    return DescribeDevice(engine);
}

int RunWithoutWindow(const WideString& commandLine)
{
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor());
    const ZVRESULT result = processor->Initialize(commandLine);
    const bool finished = result == LUpdateProcessor::kFinishedWithoutWindow;
    FinishRunningUpdate(*processor, finished);
    const std::string state = DescribeEngineState(*processor->GetEngine());
    if (finished) {
        gDebugOutput.GetNarrowTarget() << "FirmwareUpdater: " << state << std::endl;
        return kExitFinished;
    }
    const std::string line = "FirmwareUpdater: " + state + "; the window that goes on from here is not built yet.\n";
    Platform::WriteToStandardError(line.data(), line.size());
    return kExitWindowNeeded;
}
