#pragma once

#include "Application/WaitCursor.h"
#include "ControlBase/Control.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateProcessor.h"
#include "System/OpenFileDialog.h"
#include "UI/BackgroundWork.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace ZV {

class LButton;
class LLabel;
class LProgressBar;

// The application's own control: the root control of the main window, registered as "FirmwareUpdater.MainControl".
// It finds the buttons, labels and progress bar that the skin places in it, drives the update engine from their
// clicks and from the menu's commands, and after every event reads the engine again and recomputes every status text
// and which controls show; it keeps no copy of the engine's state. The engine is reached through the application's
// update processor (UI/UpdateProcessorSource.h). Its notifications arrive through the "application" centre at idle
// time.
//
// What may wait on the device's ports (a look for the device, RESTART's fresh engine, the waits in turns of kWaitTurn
// up to kWaitLimit for a device sent into update mode, with the start of its update, and, in a skin without "NEXT",
// for the device to come back after an update) runs on a thread of its own, one piece at a time, under the wait
// cursor. Meanwhile the window paints and answers as ever; the engine is that work's alone, so the engine's reports
// change nothing and a click that would ask the engine is dropped, and the program may not end (but before the device
// is sent into update mode, and once an update has ended); at the first idle pass after the work the window reads the
// engine anew. Everything else runs on the user-interface thread.
class LMainControl : public LControl {
public:
    // The skin class name.
    static constexpr wchar_t kClassName[] = L"FirmwareUpdater.MainControl";
    static constexpr std::uint32_t kWaitTurn = 500;
    static constexpr std::uint32_t kWaitLimit = 30000;

    // How a wait lets one turn pass; the platform's sleep unless replaced.
    using WaitTurn = std::function<void(std::uint32_t milliseconds)>;

    LMainControl(const RCPtr<LControl>& parent, const WideString& name);
    ~LMainControl() override;

    // The base's, then: the engine's five notifications subscribed, the children found (a missing required one
    // throws "LMainControl couldn't find" and its name), the clicks subscribed, the menu bar given this control's
    // menu item updater, the engine's notifications switched on, an update that the processor started taken as the
    // window's own, and the display brought up to date. A failure of the base is answered unchanged.
    [[nodiscard]] ZVRESULT Initialize() override;
    // The base's, then the menu's commands subscribed at the window, whose queue the menus post into. Throws
    // "No Root Window!" for a tree without one.
    void ProcessRootWindowAquired() override;
    // Takes the end of the work on the engine once it has ended. The first idle pass after the window began to
    // watch an engine whose device the processor sent into update mode (an automatic start) waits for the device, as
    // a click on "UPDATE FIRMWARE" does, and starts the update; after one whose update had already finished, it
    // follows that update's end as the engine's report of it would.
    void OnIdle(const RCPtr<LNotification>& idle) override;
    // Checks "Allow Downgrade" as the processor's setting is; 0 for every command.
    [[nodiscard]] ZVRESULT IsCommandEnabled(std::uint32_t first, std::uint32_t second, const WideString& notificationId,
                                            MenuItemInfo& state) override;

    // The automatic start that the processor held back for the window, now that the window stands or has looked at
    // the device anew (RESTART), as a click on "UPDATE FIRMWARE" starts it. Nothing when none is held, or when the
    // device and the file no longer call for it.
    void StartHeldUpdate();
    // False while an update runs, or work on the engine that may touch the device: the application then drops an exit
    // request.
    bool IsNotUpdating() const;
    // From the start of work on the engine until the idle pass that takes its end.
    bool IsEngineWorkUnderWay() const { return mEngineWork.IsUnderWay(); }
    // The application's update processor; null when there is none.
    const RCPtr<::LUpdateProcessor>& GetUpdateProcessor() const { return mUpdateProcessor; }
    // The processor's engine; null without one, and while work on it is under way.
    RCPtr<::LUpdateEngineInterface> GetUpdateEngine() const;
    // Taken by each wait when it starts.
    void SetWaitTurn(WaitTurn waitTurn) { mWaitTurn = std::move(waitTurn); }

    // The handlers; each answers 1.
    std::int32_t OnDeviceStateChangeNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                 const RCPtr<LNotification>& notification);
    std::int32_t OnFirmwareFileStateChangeNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                       const RCPtr<LNotification>& notification);
    std::int32_t OnFoundDeviceListChangeNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                     const RCPtr<LNotification>& notification);
    std::int32_t OnFirmwareUpdateProgressNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                      const RCPtr<LNotification>& notification);
    std::int32_t OnFirmwareUpdateCompletedNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                       const RCPtr<LNotification>& notification);
    std::int32_t OnExitClick(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification);
    std::int32_t OnUpdateFirmwareClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    std::int32_t OnReinitializeClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    std::int32_t OnScanForDeviceClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification);
    std::int32_t OnManualDeviceReadyForUpdateClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                                   const RCPtr<LNotification>& notification);
    std::int32_t OnManualDeviceHasUpdatedRescanClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                                     const RCPtr<LNotification>& notification);
    std::int32_t OnMenuFileSelect(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    std::int32_t OnMenuOptionsAllowDowngrade(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification);

protected:
    // The engine's reports that come while work on the engine is under way are dropped: its end reads the engine.
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // What the engine says now: its update status (never reset by reading), device state and file state; all 0
    // without an engine.
    struct EngineState {
        std::int32_t result = 0;
        std::int32_t device = 0;
        std::int32_t file = 0;
    };
    EngineState ReadEngineState() const;

    // Initialize's steps: a failed subscription's code; the name of the first required child missing, in the
    // order of the lookups.
    [[nodiscard]] ZVRESULT SubscribeToEngine();
    [[nodiscard]] ZVRESULT FindChildren(WideString& missing);
    void GiveMenuBarTheUpdater();
    // Lets the processor's current engine post, and follows an update that the processor started as the window's
    // own, from where it is.
    void WatchEngine();
    // The text of the application's string table; empty without it.
    WideString GetApplicationString(const wchar_t* id) const;
    // The desktop window that shows the control's tree; null without one.
    OSWindow* FindOSWindow() const;

    // The status texts and which controls show, for the result, device state and file state given.
    void UpdateDisplay(std::int32_t result, std::int32_t deviceState, std::int32_t fileState);
    void UpdateDisplayFromEngine();
    void UpdateVisibility(std::int32_t result, std::int32_t deviceState, std::int32_t fileState, bool allowed);
    // The status texts: each label keeps its text for the states it has no text for.
    void UpdateDeviceInformationLabel(std::int32_t deviceState);
    void UpdateFirmwareFileInformationLabel(std::int32_t fileState);
    void UpdateProcessInformationLabel(std::int32_t result, std::int32_t deviceState);
    void UpdateCannotUpdateErrorLabel(std::int32_t deviceState, bool allowed);
    void UpdateDeviceFirmwareVersionLabel();
    void UpdateFileFirmwareVersionLabel();

    // The processor allows a downgrade, or the file's firmware is newer than the device's.
    bool IsUpdateAllowed() const;
    bool IsUpdateNeeded() const;
    // The device runs again after an update, on another build than the file's.
    bool DidUpdateNotTake() const;
    // No device was found, but ports of its name were there and left what was asked of them unanswered.
    bool IsDeviceUnanswering() const;
    bool CanStartUpdate(std::int32_t deviceState, std::int32_t fileState, bool allowed) const;
    bool IsCannotUpdateErrorShown(std::int32_t deviceState, std::int32_t fileState, bool allowed) const;
    bool IsRestartButtonShown(std::int32_t deviceState) const;
    bool IsScanButtonShown(std::int32_t deviceState) const;
    bool IsDeviceFirmwareVersionShown() const;

    // Work on the engine, on a thread of its own; what it found goes to its continuation.
    using EngineWork = std::function<bool(const std::atomic<bool>& stopRequested)>;
    using EngineWorkContinuation = std::function<void(bool found)>;
    // The wait cursor's texts, for a status bar where the skin has one.
    static constexpr wchar_t kLookingForDeviceText[] = L"Looking for Device...";
    WideString GetEnteringUpdateModeText() const;

    // Runs the work on the engine away from this thread under the wait cursor with the text; the continuation runs
    // here at the first idle pass after the work has ended, and what the work threw is thrown there instead. Nothing
    // when there is no processor or work is under way already. While work that drops an exit request runs, "EXIT" is
    // hidden, as during an update.
    void RunEngineWork(const WideString& waitText, ::LUpdateProcessor::ExitDuringWork exit, EngineWork work,
                       EngineWorkContinuation continuation);
    void FinishEngineWork();
    // The engine is the window's again: the processor answers with it, the idle passes look no more, the cursor comes
    // back.
    void GiveEngineBack();
    // While the device is looked for, the display says so and offers no button that would ask the engine.
    void ShowLookingForDevice(std::int32_t fileState);
    // After a look for the device: the first of several taken, and the display brought up to date.
    void FollowLook();

    void StartFirmwareUpdate();
    // The device in update mode: the update starts, with the display brought up to date before and after.
    void StartUpdateInUpdateMode();
    // After an update's start was tried (the processor's answer), or not (none): the update followed as the window's
    // own, or a refusal reported, or the device sent into update mode waited for no more; then the display.
    void FollowUpdateStart(const std::optional<ZVRESULT>& started);
    // The progress shown from 0, and an end that came while the engine's reports were dropped taken up.
    void FollowStartedUpdate();
    // The next idle pass looks at what the engine came to (OnIdle).
    void LookAtEngineAtIdle();
    // Before an update gets on its way: a close of the window that the desktop asked for, or the window's loss (another
    // client destroyed it, or the display went), that the loop has not taken yet is a request to end that waits, as a
    // signal that waits is. The application is asked at once, and an end it grants holds the update back; the loop then
    // takes the close or the loss, which ends the program.
    void AskAboutWaitingEnd();
    // Away from this thread: the device sent into update mode when asked, waited for unless the skin has a button for
    // the user to say it is there, and its update started if it is in update mode; back here the window follows the
    // update, or shows the device as not found if the wait ran out. A request to end that comes before the update is
    // on its way, the moment before the request goes, ends the program instead.
    void WaitForUpdateModeThenStart(bool enterFirst);
    // The outcome shown, then under the wait cursor in a skin without "NEXT" the wait for the device to run again,
    // else one look at it.
    void FollowSuccessfulUpdate();
    // "NEXT": the device looked for again, and the update road left when it runs.
    void LookForUpdatedDevice();
    void RestartUpdateProcess();
    void RequestApplicationExit();
    void ScanForDeviceInBackground();
    // Writes why the engine refused the firmware file to the standard error, when it did.
    void ReportFirmwareFileFailure();
    // Invalidates the whole window and has it painted at once.
    void RedrawWindow();

    RCPtr<LNotificationHandler<LMainControl>> mHandler;
    RCPtr<LButton> mButtonUpdateFirmware;
    RCPtr<LButton> mButtonScanForDevice;
    RCPtr<LButton> mButtonExit;
    RCPtr<LButton> mButtonReinitialize;
    RCPtr<LButton> mButtonManualDeviceReadyForUpdate;
    RCPtr<LButton> mButtonManualDeviceHasUpdatedRescan;
    RCPtr<LLabel> mLabelDeviceInformation;
    RCPtr<LLabel> mLabelFirmwareFileInformation;
    RCPtr<LLabel> mLabelUpdateProcessInformation;
    RCPtr<LLabel> mLabelFileFirmwareVersion;
    RCPtr<LLabel> mLabelDeviceFirmwareVersion;
    RCPtr<LLabel> mLabelDeviceCannotUpdateError;
    RCPtr<LProgressBar> mProgressBar;
    RCPtr<::LUpdateProcessor> mUpdateProcessor;
    // Made at its first use, owned by the window it shows over, and remembering where the last file lay.
    std::unique_ptr<LOpenFileDialog> mFileDialog;
    bool mNoScanButton = false;
    bool mUpdateStarted = false;
    // The device sent into update mode did not come back in it within the wait: the window shows it as not found,
    // and "SCAN FOR DEVICE" looks for it once more and, when it is back, goes on with the update.
    bool mUpdateModeOverdue = false;
    // "NEXT" shows during the one look at the device after its update, and a click meanwhile takes its turn after it.
    bool mNextClickedDuringLook = false;
    // The end of an update that had finished when the window began to watch the engine: the engine's report of it
    // may never come, or come after the window has taken it.
    enum class EarlyCompletion { kNone, kUnheard, kTaken };
    EarlyCompletion mEarlyCompletion = EarlyCompletion::kNone;
    // The first idle pass after the window began to watch an engine looks at what the processor left it.
    bool mLookAtEngineAtIdle = false;
    WaitTurn mWaitTurn;
    std::optional<LWaitCursor> mEngineWorkCursor;
    bool mExitHiddenForWork = false;
    std::function<void()> mAfterEngineWork;
    LBackgroundWork mEngineWork;
};

}  // namespace ZV
