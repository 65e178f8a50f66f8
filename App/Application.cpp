#include "App/Application.h"

#include "ControlBase/CreateControl.h"
#include "Platform/DesktopWindows.h"
#include "Platform/FileSystem.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"
#include "System/RootWindow.h"
#include "UI/MainControl.h"

#include <atomic>
#include <string>
#include <string_view>
#include <utility>

using namespace ZV;

namespace {

constexpr ZVRESULT kNothingToDoResults[] = {
    static_cast<ZVRESULT>(0x8000A020u), static_cast<ZVRESULT>(0x8000A000u), static_cast<ZVRESULT>(0x8000A001u),
    static_cast<ZVRESULT>(0x8000A002u), static_cast<ZVRESULT>(0x8000A010u), static_cast<ZVRESULT>(0x8000A003u),
};

constexpr std::string_view kSilentRunEndAnnouncement =
    "FirmwareUpdater: asked to end; the update goes on, and the program ends when it has ended\n";
constexpr std::string_view kDisplayLostEnding = "FirmwareUpdater: the display went away; the program ends\n";
constexpr std::string_view kDisplayLostDuringUpdate =
    "FirmwareUpdater: the display went away; the update goes on without the window, and the program ends when it has "
    "ended\n";

constexpr std::string_view kWindowDestroyedDuringUpdate =
    "FirmwareUpdater: another program destroyed the window; the update goes on without it, and the program ends when "
    "it has ended\n";

constexpr std::wstring_view kCursorsWithoutShape[] = {
    L"UI_CURSOR_SPLIT_V", L"UI_CURSOR_SPLIT_H",    L"UI_CURSOR_ROTATE",
    L"UI_CURSOR_MAG",     L"UI_CURSOR_MAG_PLUS", L"UI_CURSOR_MAG_MINUS",
};

struct SettingsFile {
    std::int32_t folder;
    const wchar_t* name;
};
constexpr SettingsFile kSettingsFiles[] = {
    {kSharedDataFolder, L"AppSettings.ini"},
    {kUserDataFolder, L"UserSettings.ini"},
};

}  // namespace

bool LApplication::IsFinishedWithoutWindow(ZVRESULT result)
{
    for (const ZVRESULT nothingToDo : kNothingToDoResults) {
        if (result == nothingToDo) {
            return true;
        }
    }
    return false;
}

LApplication::LApplication(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                           const WideString& commandLine, MidiCommFactory midiFactory)
    : LApplicationBase(factory, frameworkStrings, commandLine), mMidiFactory(std::move(midiFactory))
{
}

ZVRESULT LApplication::RunApplicationStartup()
{
    if (const ZVRESULT started = LApplicationBase::RunApplicationStartup(); Failed(started)) {
        return started;
    }
    // A class name keeps its first function, so registering cannot fail.
    (void)GetFactory()->RegisterControlCreateFunction(LMainControl::kClassName, &CreateControl<LMainControl>);
    mUpdateProcessor = new LUpdateProcessor(mMidiFactory);
    const WideString commandLine(GetCommandLine());
    WideString value;
    const bool silent = LUpdateProcessor::FindSwitch(commandLine, WideString(L"-SILENT"), value);
    if (silent) {
        // A silent run has no window to close as asked, and neither its update nor the end that reports it may be
        // cut short: a request to end waits for the run's end, and the exit code stays the outcome's. The window
        // that may yet open takes the requests while it is up.
        Platform::AnswerTerminationRequestsUntilExit(kSilentRunEndAnnouncement);
    }
    const ZVRESULT initialized =
        mUpdateProcessor->Initialize(commandLine, LUpdateProcessor::WindowedStart::kWhenWindowStands);
    if (IsFinishedWithoutWindow(initialized)) {
        EndWith(FinishWithoutWindow(*mUpdateProcessor));
        return initialized;
    }
    if (Succeeded(initialized) && silent) {
        if (Platform::WasTerminationRequestAnswered() || Platform::GetDesktopEventSource() == nullptr) {
            // The window would show why the silent run cannot update; one line says it instead.
            EndWith(FinishWithoutDisplay(*mUpdateProcessor));
            return LUpdateProcessor::kFinishedWithoutWindow;
        }
        // The window shows why, and the user may yet update there: the run's outcome is known when it ends.
        mSilentRunInWindow = true;
    }
    return initialized;
}

void LApplication::EndWith(const HeadlessOutcome& outcome)
{
    Platform::WriteToStandardError(outcome.ErrorLine.data(), outcome.ErrorLine.size());
    mExitCode = outcome.ExitCode;
}

ZVRESULT LApplication::RunApplicationShutdown()
{
    for (IniFileHandle& handle : mSettingsFiles) {
        if (handle != 0) {
            // What cannot be written is reported by the platform's level, which closes whatever is still open.
            (void)GetSettingsManager().CloseIniFile(handle, 1);
            handle = 0;
        }
    }
    // Nothing may wait on the device once the processor goes.
    mWaitWithoutWindow.Abandon();
    if (mSilentRunInWindow) {
        // However the window closed. RESTART replaces the engine, so the processor's engine now is the last run's.
        mExitCode = mUpdateProcessor->IsNothingLeftToUpdate() ? kExitFinished : kExitUpdateFailed;
    }
    mUpdateProcessor = nullptr;
    return LApplicationBase::RunApplicationShutdown();
}

void LApplication::OnBeforeMessageLoop()
{
    if (!GetMainWindow() || Platform::IsDesktopLost()) {
        return;
    }
    if (const RCPtr<LRootWindow> root = GetMainRootWindow()) {
        if (auto* mainControl = dynamic_cast<LMainControl*>(root->GetRootControl().Get())) {
            mainControl->StartHeldUpdate();
        }
    }
}

void LApplication::OnDisplayLost(bool ending)
{
    const std::string_view line = ending ? kDisplayLostEnding : kDisplayLostDuringUpdate;
    Platform::WriteToStandardError(line.data(), line.size());
}

bool LApplication::ProcessIdle(bool firstPass)
{
    const bool more = LApplicationBase::ProcessIdle(firstPass);
    CarryOnWithoutWindow();
    return more;
}

void LApplication::CarryOnWithoutWindow()
{
    const RCPtr<OSWindow>& window = GetWindows().GetMainWindow();
    if (IsExitRequested() || !window || window->GetBackEnd().Exists() || !mUpdateProcessor) {
        return;
    }
    // A lost display says so itself.
    if (!std::exchange(mWindowLossTold, true) && !Platform::IsDesktopLost() && !CanExit()) {
        Platform::WriteToStandardError(kWindowDestroyedDuringUpdate.data(), kWindowDestroyedDuringUpdate.size());
    }
    if (mWaitWithoutWindow.IsUnderWay()) {
        if (mWaitWithoutWindow.HasEnded()) {
            FinishWaitWithoutWindow();
        }
        return;
    }
    if (!mUpdateProcessor->IsUpdateOnItsWay() || mUpdateProcessor->IsEngineWorkUnderWay()) {
        return;
    }
    // The window's own wait, if one ran, was stopped when the window went: this one starts afresh.
    mUpdateProcessor->BeginEngineWork(LUpdateProcessor::ExitDuringWork::kDropped);
    try {
        (void)mWaitWithoutWindow.Start([processor = mUpdateProcessor](const std::atomic<bool>& stopRequested) {
            (void)processor->WaitForDeviceToEnterUpdateMode(&stopRequested);
        });
    } catch (...) {
        // Without a thread nothing can wait for the device.
        mUpdateProcessor->EndEngineWork();
        mUpdateProcessor->GiveUpUpdateOnItsWay();
        throw;
    }
}

void LApplication::FinishWaitWithoutWindow()
{
    const bool failed = mWaitWithoutWindow.Finish() != nullptr;
    mUpdateProcessor->EndEngineWork();
    const RCPtr<LUpdateEngineInterface>& engine = mUpdateProcessor->GetEngine();
    if (failed || engine->GetDeviceState() != LUpdateEngineInterface::kDeviceInUpdateMode) {
        mUpdateProcessor->GiveUpUpdateOnItsWay();
        return;
    }
    if (Failed(mUpdateProcessor->StartUpdate())) {
        std::string reason = engine->DescribeFirmwareFileFailure();
        if (reason.empty()) {
            reason = "the update could not be started; nothing was sent, and the device waits in update mode";
        }
        const std::string line = "FirmwareUpdater: " + reason + "\n";
        Platform::WriteToStandardError(line.data(), line.size());
    }
}

bool LApplication::CanExit()
{
    return !mUpdateProcessor || mUpdateProcessor->IsNotUpdating();
}

CursorHandle LApplication::LoadCursor(const wchar_t* name)
{
    for (const std::wstring_view withoutShape : kCursorsWithoutShape) {
        if (name != nullptr && withoutShape == name) {
            return 0;
        }
    }
    return LApplicationBase::LoadCursor(name);
}

IniFileHandle LApplication::GetIniFile(std::int32_t index)
{
    if (index < 0 || index >= static_cast<std::int32_t>(std::size(kSettingsFiles))) {
        return 0;
    }
    IniFileHandle& handle = mSettingsFiles[index];
    if (handle != 0) {
        return handle;
    }
    const WideString folder = GetFolder(kSettingsFiles[index].folder);
    if (folder.IsEmpty()) {
        // Never a file beside the root of the file system instead.
        return 0;
    }
    const WideString path = folder + WideString(static_cast<wchar_t>(Platform::kPathSeparator)) +
                            WideString(kSettingsFiles[index].name);
    IniFileHandle opened = 0;
    if (const ZVRESULT result = GetSettingsManager().OpenIniFile(path, GetVersionKey(), GetProductName(), opened);
        Failed(result)) {
        WriteDebugLine("The settings file " + std::string(path.ToUTF8().GetData()) +
                       " cannot be used; the defaults stand in for it (" + FormatResultCode(result) + ").");
        return 0;
    }
    handle = opened;
    return handle;
}
