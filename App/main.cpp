#include "App/CommandLine.h"
#include "App/HeadlessRoad.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/StandardError.h"
#include "Simulator/SimulatedMidiDriver.h"
#include "Utilities/Debug/DebugConsoleSwitch.h"
#include "Utilities/Debug/DebugOutput.h"

#include <exception>
#include <string>

namespace {

void WriteToStandardError(const std::string& text)
{
    ZV::Platform::WriteToStandardError(text.data(), text.size());
}

void ReportStartupFailure(const char* detail)
{
    std::string text = std::string(kStartupFailureText) + "\n";
    if (detail != nullptr && *detail != '\0') {
        text += std::string(detail) + "\n";
    }
    WriteToStandardError(text);
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    int exitCode = kExitStartupFailure;
    try {
        ZV::WideString commandLine;
        std::string refusal;
        if (!JoinCommandLine(argumentCount, arguments, commandLine, refusal)) {
            ReportStartupFailure(refusal.c_str());
            return kExitStartupFailure;
        }
        ZV::Simulator::RegisterSimulatedMidiDriver();
        ZV::EnableNotificationPool(true);
        ZV::ApplyDebugConsoleSwitch(commandLine.ToUTF8().GetData(), ZV::GetDebugOutput());
        const HeadlessOutcome outcome = RunWithoutWindow(commandLine);
        WriteToStandardError(outcome.ErrorLine);
        exitCode = outcome.ExitCode;
    } catch (const std::exception& exception) {
        ReportStartupFailure(exception.what());
    } catch (...) {
        ReportStartupFailure(nullptr);
    }
    ZV::LNotificationCenterManager::GetInstance() = nullptr;
    ZV::EnableNotificationPool(false);
    return exitCode;
}
