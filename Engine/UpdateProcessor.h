#pragma once

#include "Engine/UpdateEngine.h"
#include "Engine/UpdateEngineInterface.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>
#include <functional>

// Makes the engine that the update processor drives.
using UpdateEngineFactory = std::function<ZV::RCPtr<LUpdateEngineInterface>()>;

// The owner of the update engine: it reads the update switches of the command line, creates and initialises the
// engine, chooses the firmware file, defines the devices, scans for them (going on with the first of several) and,
// when the command line asks for it, starts the update without the user.
//
//   -ALWAYS_UPDATE                  the update is wanted even when the file's build is not newer
//   -SILENT                         wait up to 30,000 ms for a device sent into update mode to come back, and up to
//                                   600,000 ms for a started update (but for its last message and confirmation),
//                                   then finish without the window
//   -SILENT_IF_UPDATE_NOT_NEEDED    finish without the window when no update is wanted
//   -START_UPDATE_AUTOMATICALLY     enter update mode and start the update without the user
//   -ABSOLUTE_FIRMWARE_FILE_PATH=p  the firmware file is p
//   -FIRMWARE_IMAGE_NAME=n          the firmware file is n in the program's folder
//
// Without a file switch the firmware file is "QR27C_AppAndAssets.syx" in the program's folder; a file switch whose
// value is empty names no file. Switches are found in any letter case; a value may be enclosed in double quotes. A
// running device is sent into update mode only when its image is fit to send.
//
// All operations run on the user-interface thread, but for work on the engine that may wait on the device's ports:
// the window runs it on a thread of its own, between BeginEngineWork and EndEngineWork, and that work may call
// Reinitialize.
class LUpdateProcessor : public ZV::LRefCountedObject {
public:
    using ZVRESULT = ZV::ZVRESULT;

    // Initialize's answer when the program is to end without its window.
    static constexpr ZVRESULT kFinishedWithoutWindow = static_cast<ZVRESULT>(0x8000A020u);
    // How long a silent run waits for its update to end before it cancels it (kDefaultSilentUpdateWait; tests shorten
    // it). An update whose last image message is on its way by then is not cancelled: it ends by its own bounds.
    static constexpr std::uint32_t kDefaultSilentUpdateWait = 600000;
    static void SetSilentUpdateWait(std::uint32_t milliseconds);
    static std::uint32_t GetSilentUpdateWait();
    // How long a silent start waits for a device to come back in update mode (kDefaultUpdateModeEntryWait; tests
    // shorten it), looking every turn.
    static constexpr std::uint32_t kDefaultUpdateModeEntryWait = 30000;
    static constexpr std::uint32_t kUpdateModeEntryTurn = 500;
    static void SetUpdateModeEntryWait(std::uint32_t milliseconds);
    static std::uint32_t GetUpdateModeEntryWait();

    // An empty factory lets the engines talk through the process's MIDI driver.
    explicit LUpdateProcessor(MidiCommFactory midiFactory = {});
    LUpdateProcessor(const LUpdateProcessor&) = delete;
    LUpdateProcessor& operator=(const LUpdateProcessor&) = delete;
    ~LUpdateProcessor() override;

    // Where the update that the switches ask for starts.
    enum class WindowedStart {
        // In Initialize, which waits for it in a silent run.
        kInInitialize,
        // As kInInitialize in a silent run; a run with its window holds it until the window stands
        // (TakeHeldStart), so that no device hears of an update that no window would follow.
        kWhenWindowStands,
        // The window stands (RESTART): held for it in every run, so that the window starts it after its look at the
        // device and follows it; Initialize waits for no update.
        kHeldForWindow,
    };

    // Builds a fresh engine and follows the switches: 0, or 0x8000A020. Throws a "Failed Result" exception when
    // the engine cannot be initialised. The first command line is kept for Reinitialize.
    [[nodiscard]] ZVRESULT Initialize(const ZV::WideString& commandLine,
                                      WindowedStart windowedStart = WindowedStart::kInInitialize);
    // Initialize with the kept command line, an automatic start held for the window; the allow-downgrade flag stays
    // as it is.
    [[nodiscard]] ZVRESULT Reinitialize();

    // Takes the automatic start that Initialize held back: true when one was held and the device and the file as
    // they are now still call for it.
    bool TakeHeldStart();

    // True unless an update is on its way or was started and has not ended, or work on the engine is under way that
    // drops an exit request.
    bool IsNotUpdating() const;
    // Whether the program may end now (IsNotUpdating). Once it may, it ends: the answer stays yes, and no update gets
    // on its way any more. Against an update getting on its way on another thread, whichever comes first wins.
    bool GrantEnd();
    // Asked, on the thread where an update is to get on its way, whether a request to end the program came that was
    // not answered yet: while one waits, no update gets on its way, so that the request ends the program instead.
    using EndAskedCheck = std::function<bool()>;
    void SetEndAskedCheck(EndAskedCheck check) { mEndAskedCheck = std::move(check); }
    // Told, on that thread, whenever an update got on its way; empty, nobody is.
    using UpdateUnderWayListener = std::function<void()>;
    void SetUpdateUnderWayListener(UpdateUnderWayListener listener) { mUpdateUnderWayListener = std::move(listener); }
    // From the request that sends the device into update mode until its update starts, or until the program stops
    // waiting for the device: whatever becomes of the window, the program carries the update on and does not end.
    bool IsUpdateOnItsWay() const { return mUpdateOnItsWay.load(); }
    // The engine's: the update gets on its way (TakeUpdateOnItsWay) at the last moment before the request goes;
    // a failure, sending nothing, when it cannot.
    [[nodiscard]] ZVRESULT EnterUpdateMode();
    // The device, sent into update mode and waited for, is back in it (a later look found it): the update is on its
    // way again.
    void ResumeUpdateOnItsWay() { mUpdateOnItsWay.store(true); }
    // The engine's, for a device in update mode; the update is on its way no more, started or refused. An update
    // that was not on its way yet is refused as EnterUpdateMode refuses.
    [[nodiscard]] ZVRESULT StartUpdate();
    // Nobody waits for the device sent into update mode any more (it did not come back in it in time, or came back
    // in no state to take the image).
    void GiveUpUpdateOnItsWay() { mUpdateOnItsWay.store(false); }
    // Thread-safe.
    bool GetAllowDowngrade() const { return mAllowDowngrade.load(); }
    // True when the last update finished (but for a device back from it on another build than the file's), or when
    // the device found runs a build that needs no update: what a silent run ends with 1 for. While work on the engine
    // is under way, whose outcome is not known yet, false, but for the look for the device after a finished update.
    bool IsNothingLeftToUpdate() const;
    // 1 when the flag had that value already, else 0.
    [[nodiscard]] ZVRESULT SetAllowDowngrade(bool allow);

    // Null until Initialize, and while work on the engine is under way.
    const ZV::RCPtr<LUpdateEngineInterface>& GetEngine() const;

    // What an exit request meets while work on the engine runs.
    enum class ExitDuringWork {
        // The work may send the device into update mode, start an update or replace the engine: the request is
        // dropped, as during an update.
        kDropped,
        // The work sends the device into update mode, then waits for it and starts its update: the request ends the
        // program until the update is on its way (then the work sends nothing), and is dropped from then on.
        kEndsWorkUntilUpdateOnItsWay,
        // The update has ended and the work only looks for the device coming back: the program may end, and its
        // owner stops the work.
        kEndsWork,
    };
    // Work on the engine away from the user-interface thread (a look for the device, a wait for it, Reinitialize),
    // begun and ended there. Until it ends the engine is the work's alone, so GetEngine answers null.
    void BeginEngineWork(ExitDuringWork exit)
    {
        mExitDuringWork.store(exit);
        mEngineWorkUnderWay.store(true);
    }
    void EndEngineWork() { mEngineWorkUnderWay.store(false); }
    bool IsEngineWorkUnderWay() const { return mEngineWorkUnderWay.load(); }
    // The engines that Initialize makes from now on come from the factory; an empty one goes back to engines over
    // MIDI.
    void SetEngineFactory(UpdateEngineFactory factory) { mEngineFactory = std::move(factory); }

    // Finds a switch ("-NAME", or "-NAME=" with a value) among the command line's arguments (CommandLineSplitter):
    // the first argument that begins with the name, letters in any case, counts. A switch without "=" is the whole
    // argument; a switch with "=" has the rest of its argument as its value, without the double quotes that enclose
    // it. The value of a "-NAME=" argument, or of "-NAME=\"\"", is empty, never the next argument.
    static bool FindSwitch(const ZV::WideString& commandLine, const ZV::WideString& name, ZV::WideString& value);
    // "Halvista Left" for device type 0, "VT5 Display Left" for 1, else empty.
    static ZV::WideString GetPortNameForDeviceType(std::int32_t type);

    // Waits in turns of kUpdateModeEntryTurn, scanning and refreshing, up to GetUpdateModeEntryWait(), for a device
    // sent into update mode to come back in it: 0 when it did, ZV_E_FAIL when it did not, became unusable, or the
    // flag asked the wait to stop.
    [[nodiscard]] ZVRESULT WaitForDeviceToEnterUpdateMode(const std::atomic<bool>* stopRequested = nullptr);
    // Of several devices found, the first is the one to update; the others are never touched. Says so on the debug
    // output, once for the processor's whole life, whichever thread finds them.
    void SelectFirstOfSeveralDevices();

private:
    ZV::WideString ChooseFirmwareFile(const ZV::WideString& commandLine) const;
    void DefineDevices();
    [[nodiscard]] ZVRESULT FollowSwitches(const ZV::WideString& commandLine, WindowedStart windowedStart);
    // A device to update and a file to send: the update could start.
    bool CanUpdate() const;
    // The device runs an older build than the file's, or the user allows any build.
    bool IsUpdateWanted() const;
    // A device in update mode starts the update; a running one is sent into update mode, and the update starts once
    // it is back in it: silent, this waits for it; with the window, the window's wait does.
    void StartAutomatically(bool silent);
    // The update gets on its way unless the program is to end (GrantEnd) or a request to end waits: false then.
    bool TakeUpdateOnItsWay();
    void TellUpdateUnderWay() const;

    MidiCommFactory mMidiFactory;
    UpdateEngineFactory mEngineFactory;
    ZV::WideString mCommandLine;
    ZV::RCPtr<LUpdateEngineInterface> mEngine;
    // The menu changes it while work on the engine may read it.
    std::atomic<bool> mAllowDowngrade{false};
    std::atomic<bool> mSeveralDevicesReported{false};
    std::atomic<bool> mEngineWorkUnderWay{false};
    std::atomic<ExitDuringWork> mExitDuringWork{ExitDuringWork::kDropped};
    // Set and cleared on the thread of the work on the engine too.
    std::atomic<bool> mUpdateOnItsWay{false};
    bool mStartHeld = false;
    EndAskedCheck mEndAskedCheck;
    UpdateUnderWayListener mUpdateUnderWayListener;
    // Held while the program's end is granted, and while an update gets on its way.
    ZV::Mutex mEndLock;
    bool mEndGranted = false;
};
