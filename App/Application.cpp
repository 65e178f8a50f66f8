#include "App/Application.h"

#include "ControlBase/CreateControl.h"
#include "Platform/DesktopWindows.h"
#include "Platform/FileSystem.h"
#include "Platform/SaidOnce.h"
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

// What a silent run answers the first request to end with: before its update is on its way, while it is on its way
// or runs, and once it has ended.
constexpr std::string_view kSilentRunEndsBeforeUpdate =
    "FirmwareUpdater: asked to end; the program ends without updating the device\n";
constexpr std::string_view kSilentRunUpdateGoesOn =
    "FirmwareUpdater: asked to end; the update goes on, and the program ends when it has ended\n";
constexpr std::string_view kSilentRunWorkGoesOn =
    "FirmwareUpdater: asked to end; the program ends once its work is done\n";
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
    bool silentRunAskedToEnd = false;
    if (silent) {
        // A silent run has no window to close as asked: a request to end is answered at once, and the run goes on to
        // its own end and exit code. Until its update is on its way the request ends the run, the device left as it
        // is; from then on neither the update nor the end that reports it may be cut short. The window that may yet
        // open takes the requests while it is up.
        Platform::AnswerTerminationRequestsUntilExit(&kSilentRunEndsBeforeUpdate);
        mUpdateProcessor->SetEndAskedCheck([&silentRunAskedToEnd] {
            silentRunAskedToEnd = !Platform::ChangeAnnouncementUnlessAnswered(&kSilentRunUpdateGoesOn);
            return silentRunAskedToEnd;
        });
    }
    const ZVRESULT initialized =
        mUpdateProcessor->Initialize(commandLine, LUpdateProcessor::WindowedStart::kWhenWindowStands);
    // From here on an update begins in the window alone: once one began, a window that goes first leaves its end to
    // be told as the program ends.
    mUpdateProcessor->SetEndAskedCheck(&Platform::IsTerminationRequestWaiting);
    mUpdateProcessor->SetUpdateUnderWayListener([began = mUpdateBegan] { began->store(true); });
    if (silent) {
        // The silent update has ended, or was never wanted.
        Platform::AnswerTerminationRequestsUntilExit(&kSilentRunWorkGoesOn);
    }
    if (IsFinishedWithoutWindow(initialized)) {
        EndWith(silentRunAskedToEnd ? FinishAskedToEndBeforeUpdate(*mUpdateProcessor)
                                    : FinishWithoutWindow(*mUpdateProcessor));
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
    // The platform's level writes and closes them, and says whether they were written.
    for (IniFileHandle& handle : mSettingsFiles) {
        handle = 0;
    }
    if (!mUpdateProcessor) {
        return LApplicationBase::RunApplicationShutdown();
    }
    if (mSilentRunInWindow) {
        // However the window closed. RESTART replaces the engine, so the processor's engine now is the last run's.
        mExitCode = mUpdateProcessor->IsNothingLeftToUpdate() ? kExitFinished : kExitUpdateFailed;
    }
    // Nothing may wait on the device once the processor goes.
    mWaitWithoutWindow.Abandon();
    // No window is left to show how an update that began ended, or it may not have shown it: a request from the system
    // may have come while the window was frozen, and waited until the update had ended. A silent run that could not
    // update says why.
    const bool endOwed = mUpdateBegan->load() && (mMainWindowLost || mSystemAskedToEnd);
    const bool silentRunFailed = mSilentRunInWindow && mExitCode == kExitUpdateFailed;
    if ((endOwed || silentRunFailed) && mUpdateProcessor->GetEngine()) {
        // Unless the window said it already (a refused firmware file).
        std::string line = DescribeUpdateEnd(*mUpdateProcessor);
        line.pop_back();
        Platform::WriteLineOnceToStandardError(line);
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

void LApplication::OnSystemRequestToEnd()
{
    mSystemAskedToEnd = true;
}

void LApplication::OnMainWindowLost(bool displayLost, bool ending)
{
    mMainWindowLost = true;
    if (displayLost) {
        const std::string_view line = ending ? kDisplayLostEnding : kDisplayLostDuringUpdate;
        Platform::WriteToStandardError(line.data(), line.size());
    } else if (!ending) {
        // The update goes on, and its end is told once it has come.
        Platform::WriteToStandardError(kWindowDestroyedDuringUpdate.data(), kWindowDestroyedDuringUpdate.size());
    }
}

bool LApplication::ProcessIdle(bool firstPass)
{
    const bool more = LApplicationBase::ProcessIdle(firstPass);
    CarryOnWithoutWindow();
    EndAsTheSystemAsked();
    return more;
}

void LApplication::EndAsTheSystemAsked()
{
    // The request was held back by an update on its way or running, or by work on the engine that may start one: it
    // ends the program once that is over, rather than leave the window up with nothing said.
    if (mSystemAskedToEnd && !IsExitRequested() && CanExit()) {
        ExitApplication();
    }
}

void LApplication::CarryOnWithoutWindow()
{
    if (IsExitRequested() || !mMainWindowLost || !mUpdateProcessor) {
        return;
    }
    if (mWaitWithoutWindow.IsUnderWay()) {
        if (mWaitWithoutWindow.HasEnded()) {
            (void)mWaitWithoutWindow.Finish();
            mUpdateProcessor->EndEngineWork();
            // Started, refused, or not back in update mode: nobody waits for the device any more.
            mUpdateProcessor->GiveUpUpdateOnItsWay();
        }
        return;
    }
    if (!mUpdateProcessor->IsUpdateOnItsWay() || mUpdateProcessor->IsEngineWorkUnderWay()) {
        return;
    }
    const std::int32_t deviceState = mUpdateProcessor->GetEngine()->GetDeviceState();
    if (deviceState != LUpdateEngineInterface::kDeviceEnteringUpdateMode &&
        deviceState != LUpdateEngineInterface::kDeviceInUpdateMode) {
        // The window's work settled it before it stopped: the request never went, or what came back was refused. A
        // look now would only blur what it found.
        mUpdateProcessor->GiveUpUpdateOnItsWay();
        return;
    }
    // The window's own wait, if one ran, was stopped when the window went: this one starts afresh, and starts the
    // update there too.
    mUpdateProcessor->BeginEngineWork(LUpdateProcessor::ExitDuringWork::kDropped);
    try {
        (void)mWaitWithoutWindow.Start([processor = mUpdateProcessor](const std::atomic<bool>& stopRequested) {
            if (Succeeded(processor->WaitForDeviceToEnterUpdateMode(&stopRequested))) {
                (void)processor->StartUpdate();
            }
        });
    } catch (...) {
        // Without a thread nothing can wait for the device.
        mUpdateProcessor->EndEngineWork();
        mUpdateProcessor->GiveUpUpdateOnItsWay();
        throw;
    }
}

bool LApplication::CanExit()
{
    return !mUpdateProcessor || mUpdateProcessor->GrantEnd();
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
        // A file that another user could turn elsewhere has been named on the standard error already.
        if (result != kIniFileUnsafe && !std::exchange(mSettingsFileRefusalTold[index], true)) {
            WriteDebugLine("The settings file " + std::string(path.ToUTF8().GetData()) +
                           " cannot be used; the defaults stand in for it (" + FormatResultCode(result) + ").");
        }
        return 0;
    }
    handle = opened;
    return handle;
}
