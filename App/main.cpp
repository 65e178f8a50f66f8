#include "App/CommandLine.h"
#include "App/HeadlessRoad.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/StandardError.h"
#include "Utilities/Debug/DebugConsoleSwitch.h"
#include "Utilities/Debug/DebugOutput.h"

#include <exception>
#include <string>

namespace {

void ReportStartupFailure(const char* detail)
{
    std::string text = std::string(kStartupFailureText) + "\n";
    if (detail != nullptr && *detail != '\0') {
        text += std::string(detail) + "\n";
    }
    ZV::Platform::WriteToStandardError(text.data(), text.size());
}

}  // namespace

int main(int argumentCount, char** arguments)
{
    int exitCode = kExitStartupFailure;
    try {
        const ZV::WideString commandLine = JoinCommandLine(argumentCount, arguments);
        ZV::EnableNotificationPool(true);
        ZV::ApplyDebugConsoleSwitch(commandLine.ToUTF8().GetData(), ZV::gDebugOutput);
        exitCode = RunWithoutWindow(commandLine);
    } catch (const std::exception& exception) {
        ReportStartupFailure(exception.what());
    } catch (...) {
        ReportStartupFailure(nullptr);
    }
    ZV::LNotificationCenterManager::GetInstance() = nullptr;
    ZV::EnableNotificationPool(false);
    return exitCode;
}
