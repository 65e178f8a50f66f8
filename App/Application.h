#pragma once

#include "App/HeadlessRoad.h"
#include "Application/ApplicationBase.h"
#include "Engine/UpdateProcessor.h"
#include "Renderer/Renderer.h"
#include "UI/BackgroundWork.h"
#include "UI/UpdateProcessorSource.h"

#include <atomic>
#include <cstdint>
#include <memory>

// The firmware updater as an application: its names and files, the update processor that it makes at start-up, that
// decides whether the program ends without its window and that the main window drives, and the rule that it never
// ends while an update runs.
class LApplication : public ZV::LApplicationBase<LApplication>, public ZV::IUpdateProcessorSource {
public:
    using ZVRESULT = ZV::ZVRESULT;

    // The name that the main window, the instance lock and the window's saved place go by.
    static constexpr wchar_t kWindowClassName[] = L"Corvan_DEVICE_FAMILY_NAME_String_FirmwareUpdater";

    // The update processor's answers when there is nothing for the window to do: the program then ends quietly,
    // its work done.
    static bool IsFinishedWithoutWindow(ZVRESULT result);

    // An empty MIDI factory lets the update engine talk through the process's MIDI driver.
    LApplication(const ZV::RCPtr<ZV::LControlFactory>& factory, const ZV::RCPtr<ZV::LStringTable>& frameworkStrings,
                 const ZV::WideString& commandLine, MidiCommFactory midiFactory = {});

    // The framework's and the platform's start-up, then the main control's class, then the update processor with
    // the command line: its answer. When the processor has done all there is to do, what it came to is told as the
    // program ends without its window: a failure in one line on standard error, with the exit code 3. A silent run
    // that cannot update and has no display ends the same way; with a display it shows its window and, however that
    // closes, ends with 1 when the last update in it finished or the device found there needs none, else with 3. A
    // silent run answers the system's requests to end until the process ends: one that comes before its update is on
    // its way leaves the device as it is (a run that was to update ends with 3, saying so); a later one waits for the
    // run's own end. A run with its window holds its automatic start back until the window stands: a window that
    // cannot open leaves every device untouched.
    [[nodiscard]] ZVRESULT RunApplicationStartup() override;
    // Once an update began, a main window that went without being closed or a request from the system leaves the
    // update's end to be told: how it ended, in one line on the standard error. A silent run that showed its window
    // takes its exit code here, and with 3 says why in one line. The platform's level writes and closes the settings
    // files.
    [[nodiscard]] ZVRESULT RunApplicationShutdown() override;
    // A run with its window that starts its update automatically starts it now that the window stands.
    void OnBeforeMessageLoop() override;
    // Once an update began, the program that a request from the system ends says how the update ended. A request
    // that an update held back ends the program once the update has ended.
    void OnSystemRequestToEnd() override;
    // A lost display says so in one line on the standard error, and whether the update goes on; so does a window
    // that another program destroyed while an update holds the end back.
    void OnMainWindowLost(bool displayLost, bool ending) override;
    // The windows' idle work; then, once the main window has gone without being closed, an update on its way goes on
    // without it: the wait for the device sent into update mode, then the update, which holds the program's end back
    // as ever. A request from the system that was held back ends the program as soon as it may.
    bool ProcessIdle(bool firstPass) override;
    // Unless an update runs or is on its way: the program never ends in the middle of one. Once it answers yes, the
    // program ends: no device is sent into update mode any more, and the answer stays yes.
    bool CanExit() override;
    int GetExitCode() const override { return mExitCode; }

    ZV::WideString GetVersionKey() override { return L"1_0_0"; }
    ZV::WideString GetMainControlName() override { return L"mainControl"; }
    std::int32_t GetRendererKind() override { return ZV::LRenderer::kGdi; }
    // "AppSettings.ini" in the shared data folder (0) and "UserSettings.ini" in the user's data folder (1); 0 when
    // the folder cannot be had or the file cannot be opened (the debug output says so once), and the next call tries
    // again.
    ZV::IniFileHandle GetIniFile(std::int32_t index) override;

    // The program has no cursors for splitting, rotating or magnifying: those names give none. The others are the
    // desktop's.
    ZV::CursorHandle LoadCursor(const wchar_t* name) override;

    // Null before the start-up made it.
    const ZV::RCPtr<LUpdateProcessor>& GetUpdateProcessor() const override { return mUpdateProcessor; }

private:
    // Says what the run came to, and keeps its exit code.
    void EndWith(const HeadlessOutcome& outcome);
    // Once the main window went without being closed: waits for a device sent into update mode that nobody waits for
    // any more, to start its update.
    void CarryOnWithoutWindow();
    void EndAsTheSystemAsked();

    MidiCommFactory mMidiFactory;
    ZV::RCPtr<LUpdateProcessor> mUpdateProcessor;
    ZV::IniFileHandle mSettingsFiles[2] = {0, 0};
    bool mSettingsFileRefusalTold[2] = {false, false};
    int mExitCode = 1;
    // A silent run that showed its window ends with what the window's last update came to.
    bool mSilentRunInWindow = false;
    // Set on the thread where an update got on its way, from the request that sends the device into update mode on;
    // shared with the processor's listener, which may outlive the application.
    std::shared_ptr<std::atomic<bool>> mUpdateBegan = std::make_shared<std::atomic<bool>>(false);
    // The main window went without being closed.
    bool mMainWindowLost = false;
    // The system asked the program to end: once an update began, the window may not have shown how it ended.
    bool mSystemAskedToEnd = false;
    // The wait for the device, away from this thread, once the window that waited for it has gone.
    ZV::LBackgroundWork mWaitWithoutWindow;
};
