#pragma once

#include "Engine/FirmwareImage.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Threading/LEvent.h"
#include "Threading/Mutex.h"
#include "Threading/RetriggerableThreader.h"
#include "Threading/ThreadWorker.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The update engine as its owner and the window see it: the device definitions, the device state and the selected
// device, the firmware file with its version and state, and the update task on a worker thread of its own. Every
// change is reported as a notification posted to the "application" notification centre (UpdateNotificationData.h).
//
// Operations run on the user-interface thread, the update task on the engine's worker. While the device is
// kDeviceUpdating the operations that would change the device refuse, so the worker owns the device until the task
// ends.
//
// The selected device is chosen once (SelectDevice, or a scan that finds one device) and followed from then on by its
// port names, never by its place in the list of found devices: a scan finds it again wherever it stands, and while it
// is away (restarting, or unplugged) no other device takes its place.
class LUpdateEngineInterface : private ZV::LThreadWorker, public virtual ZV::LRefCountedObject {
public:
    using ZVRESULT = ZV::ZVRESULT;

    enum DeviceState : std::int32_t {
        kDeviceNoDefinitions = 0,
        kDeviceNotFound = 1,
        kDeviceBusy = 2,  // never set; operations refuse in it as they do while updating
        kDeviceNoneSelected = 3,
        kDeviceUnusable = 4,
        kDeviceRunning = 5,
        kDeviceEnteringUpdateMode = 6,
        kDeviceInUpdateMode = 7,
        kDeviceUpdating = 8,
        // The update ended with the device's confirmation: it restarts with what it was sent, and neither its mode
        // nor its version is known until it is looked for again.
        kDeviceUpdateEnded = 9,
    };

    enum UpdateStatus : std::int32_t {
        kUpdateIdle = 0,
        kUpdateRunning = 1,
        kUpdateFailed = 2,
        kUpdateCancelled = 3,
        kUpdateFinished = 4,
    };

    // 2 is never set; checks ask for "at least 2" and "at least 3". A file whose image is refused is kFileMissing.
    enum FirmwareFileState : std::int32_t {
        kFileNone = 0,
        kFileMissing = 1,
        kFilePresent = 3,
    };

    // Why a device cannot be used.
    enum DeviceError : std::uint32_t {
        kDeviceErrorNone = 0,
        kDeviceErrorNoAccess = 4,  // it did not answer, or could not be sent to
    };

    enum ThreadWorkerTask : std::int32_t {
        kTaskFirmwareUpdate = 1,
    };

    // Why the last update, or the step before it, did not complete.
    enum class FailureKind : std::int32_t {
        kNone,
        kImageUnreadable,    // the firmware file could not be read
        kImageRefused,       // the image is not a clean run of messages: the fault and its byte offset
        kDeviceUnreachable,  // the request to enter update mode could not be sent
        kImageChanged,       // the file no longer holds the image checked before the device was touched
        kDeviceVanished,     // the device's ports went away: the offset of the body that could not go out
        kOutputStalled,      // the MIDI output took nothing of the body for the send's time-out: the body's offset
        kNotConfirmed,       // the device took the image but did not report "update done" in time
        kCancelled,
        // Another device carries the chosen one's port names while one of them waits in update mode, so the image
        // might reach another than the chosen one: nothing was sent.
        kDevicesShareName,
        // The update task began without an image handed to it: nothing was sent, and the device waits in update mode.
        kNoImageToSend,
        // Fewer devices carry the chosen one's port names than when it was sent into update mode, and one of them
        // waits in update mode: the chosen one back after another went away, or another while the chosen one is
        // still away. Nothing was sent.
        kNamesakeMissing,
        // Another program holds a port of the chosen device (GetDeviceProbeFailure names it).
        kPortBusy,
        // When the image was to go, the device that answers by the chosen one's port names was not in update mode:
        // the chosen one may have gone, and a running device of its names stand in its place. Nothing was sent.
        kNotInUpdateMode,
    };

    // What a failure's kind leaves unsaid.
    enum class FailureDetail : std::int32_t {
        kNone,
        kFileIsFolder,  // kImageUnreadable: the firmware file's path names a folder
        // kDevicesShareName once a device confirmed the image: another device of the names waits in update mode, and
        // it may be the chosen one.
        kNamesakeWaiting,
        // The same for a device of the names that another program holds: it cannot be asked whether it waits.
        kNamesakeHeld,
        // The same for fewer devices of the names than when the chosen one was sent into update mode: one that is away
        // may wait there.
        kNamesakeAway,
    };

    // Where a failure left a device that was sent into update mode, or found there.
    enum class DevicePlace : std::int32_t {
        // Nothing to add: the device was not sent into update mode, or the failure's own words say where it is (it
        // went away, or another device of its names waits).
        kUnsaid,
        kInUpdateMode,  // it waits in update mode, and nothing of the image went out
        kInUpdateModeWithPartOfImage,
        kUnknownBeforeImage,  // sent into update mode, nothing of the image went out, and not known to be back
        kUnknownAfterImage,   // part or all of the image went out, and what became of it is not known
    };

    struct UpdateFailure {
        FailureKind Kind = FailureKind::kNone;
        ImageFault Fault = ImageFault::kNone;
        std::uint32_t Offset = 0;
        DevicePlace DeviceLeft = DevicePlace::kUnsaid;
        FailureDetail Detail = FailureDetail::kNone;
        // kDevicesShareName before the image: how many devices carry the names, the chosen one counted.
        std::uint32_t DeviceCount = 0;
    };

    // What a device whose ports were there was asked without a usable answer.
    enum class DeviceRequest : std::int32_t {
        kNone,  // nothing went unanswered: the device answered, or no port of its names was there
        kStatus,
        kVersion,
    };
    enum class DeviceAnswer : std::int32_t {
        kNotSent,      // the request could not be sent
        kNothing,      // nothing came back within the time
        kUnreadable,   // only messages that are none of the device's replies
        kOtherStatus,  // a status, but not the one that makes the device usable here
        kPortBusy,     // not asked: another program holds the port open (both names are that port's)
    };
    struct ProbeFailure {
        DeviceRequest Request = DeviceRequest::kNone;
        DeviceAnswer Answer = DeviceAnswer::kNothing;
        // As the driver names them: where the request went and where the reply was awaited.
        ZV::WideString RenderPortName;
        ZV::WideString CapturePortName;
        // How long the reply was awaited.
        std::uint32_t Milliseconds = 0;
    };

    // Only the build is compared; the other words stay 0 wherever this program fills a record.
    struct VersionRecord {
        std::uint32_t Major = 0;
        std::uint32_t Minor = 0;
        std::uint32_t Revision = 0;
        std::uint32_t Build = 0;
        ZV::WideString Text;
    };

    // A device the engine looks for. Port names are matched as parts of the driver's product names, in any case.
    struct DeviceDefinition {
        std::uint32_t Reserved[4] = {};
        ZV::WideString NormalCapturePortName;
        ZV::WideString UpdateCapturePortName;
        ZV::WideString NormalRenderPortName;
        ZV::WideString UpdateRenderPortName;
        ZV::WideString SpareName;
    };

    // The build of every firmware file: the file itself is not read for it.
    static constexpr std::uint32_t kFirmwareFileBuild = 78822;
    // EnterUpdateMode's answer when its gate kept the request back.
    static constexpr ZVRESULT kEnterRequestKeptBack = static_cast<ZVRESULT>(0x80004004u);

    LUpdateEngineInterface();
    LUpdateEngineInterface(const LUpdateEngineInterface&) = delete;
    LUpdateEngineInterface& operator=(const LUpdateEngineInterface&) = delete;
    ~LUpdateEngineInterface() override;

    [[nodiscard]] virtual ZVRESULT Initialize(const ZV::WideString& commandLine);
    virtual std::int32_t GetDeviceState() const;
    [[nodiscard]] virtual ZVRESULT ReservedOperation(std::int32_t argument);
    // 0x80004005 while busy, entering update mode or updating; else replaces the list, clears the selection:
    // kDeviceNotFound.
    [[nodiscard]] virtual ZVRESULT SetDeviceDefinitions(const ZV::Array<DeviceDefinition>& definitions);
    // Lists the devices again. With a device chosen: selects it wherever it stands now, and kDeviceNotFound while it
    // is away; while it enters update mode only its place is looked up. Without one: kDeviceNotFound, the one device
    // selected, or kDeviceNoneSelected for several. 0x80004005 while busy or updating.
    [[nodiscard]] virtual ZVRESULT ScanForDevices();
    [[nodiscard]] virtual ZVRESULT GetFoundDevices(ZV::Array<DeviceDefinition>& devices) const = 0;
    // Chooses the found device at the index: 0 (kDeviceInUpdateMode, kDeviceRunning or kDeviceUnusable by the
    // device); 0x80070057 for an index not below the found count (kDeviceNoneSelected, nothing chosen); 0x80004005
    // below kDeviceNoneSelected, while entering update mode, while updating and once the update ended (the list
    // describes the device as it was before).
    [[nodiscard]] virtual ZVRESULT SelectDevice(std::int32_t index);
    // The chosen device's place in the list of found devices; -1 for none, and while it is away.
    virtual std::int32_t GetSelectedDeviceIndex() const;
    // In kDeviceUnusable the selected device's error code; else code 0 and 0x80004005.
    [[nodiscard]] virtual ZVRESULT GetSelectedDeviceError(std::uint32_t& code) const;
    // "N/A" unless a device is selected and its version is known.
    [[nodiscard]] virtual ZVRESULT GetDeviceFirmwareVersionText(ZV::WideString& text) const;
    [[nodiscard]] virtual ZVRESULT RefreshSelectedDevice() = 0;
    virtual std::int32_t GetReservedValue() const;
    // Asked on the thread that sends the device into update mode, at the last moment before the request goes: false
    // keeps the request back, and the device stays as it is.
    using EnterRequestGate = std::function<bool()>;
    // Sends the selected running device the request that restarts it into update mode, once the gate (when given)
    // lets it go: kEnterRequestKeptBack when it does not.
    [[nodiscard]] virtual ZVRESULT EnterUpdateMode(const EnterRequestGate& mayGo) = 0;
    [[nodiscard]] ZVRESULT EnterUpdateMode() { return EnterUpdateMode(EnterRequestGate()); }
    virtual bool IsUpdateAvailable() const;
    // The selected device runs, and another build than the firmware file's: once it took an update, one that did not
    // take. False while its build is not known.
    virtual bool RunsOtherBuildThanFile() const;
    virtual bool GetReservedFlag() const;
    // Hands the update to the worker thread with the image to send: the one CheckFirmwareFile held, when the file
    // still holds it, else the file as it is now. 0x80004005 unless a firmware file is there and fit to send and the
    // device is kDeviceInUpdateMode, when the file has changed since it was checked, or when the worker is busy.
    [[nodiscard]] virtual ZVRESULT StartUpdate();
    // While an update runs, waits up to the time for it to end: 0x80004005 when it is still running.
    [[nodiscard]] virtual ZVRESULT WaitForUpdate(std::uint32_t milliseconds);
    // 0 when the update stops before its next image message, 1 when its last message is on its way already: the
    // update then ends by its own bounds, and a confirmation from the device always counts. 0x80004005 unless
    // updating.
    [[nodiscard]] virtual ZVRESULT CancelUpdate() = 0;
    // Once an update finished: looks for the device again (ScanForDevices, then RefreshSelectedDevice), to find it
    // running with the build it came back with. The state tells what was found.
    [[nodiscard]] virtual ZVRESULT LookAfterUpdate();
    // Once an update finished: waits for its device to run again, so that the build it came back with is known; true
    // when it runs. False at once where the device cannot be told from another.
    virtual bool WaitForUpdatedDeviceToRun() { return false; }
    // Whether the owner waits for the device, and the other devices of its names, to come back after it confirmed an
    // image (the window, whose user presses "NEXT"): the update then ends at the confirmation, and LookAfterUpdate
    // tells whether they are back. Otherwise the update waits for them itself, no longer than a restart's bound.
    void SetOwnerAwaitsReturn(bool awaits) { mOwnerAwaitsReturn.store(awaits); }
    bool DoesOwnerAwaitReturn() const { return mOwnerAwaitsReturn.load(); }
    // With reset, a final status (kUpdateFailed or later) reads back as kUpdateIdle from then on.
    virtual std::int32_t GetUpdateStatus(bool reset);
    virtual std::int32_t GetFirmwareFileState() const;
    [[nodiscard]] virtual ZVRESULT SetFirmwareFileWithVersion(const ZV::WideString& path, const VersionRecord& version);
    // The file's version is build 78822 whatever the file holds. 0x80004005 (kFileMissing) when it does not exist, or
    // when its image is refused or cannot be read (the reason in GetUpdateFailure).
    [[nodiscard]] virtual ZVRESULT SetFirmwareFile(const ZV::WideString& path);
    [[nodiscard]] virtual ZVRESULT GetFirmwareFilePath(ZV::WideString& path) const;
    [[nodiscard]] virtual ZVRESULT GetFirmwareFileVersionText(ZV::WideString& text) const;
    // Reads the firmware file again and walks its messages, so that a file unfit to send is refused before the
    // device is touched: 0, or 0x80004005 (kFileMissing) with the reason in GetUpdateFailure. The image checked is
    // held: it is the one the next update sends, and the file must still hold it then.
    [[nodiscard]] virtual ZVRESULT CheckFirmwareFile();
    // Set afresh by CheckFirmwareFile, EnterUpdateMode and StartUpdate; set by the device's return into update mode
    // when it cannot be used, and by a confirmed update after which another device of its names waits in update mode.
    UpdateFailure GetUpdateFailure() const;
    // Why the firmware file cannot be sent, in words for the user; empty when the last failure is not the file's.
    std::string DescribeFirmwareFileFailure() const;
    // That another device carries, or carried, the chosen one's port names, or stands in the chosen one's place, in
    // words for the user; empty when that is not the last failure.
    std::string DescribeSharedNameFailure() const;
    // Why no usable device is there although its ports are: in kDeviceUnusable what the selected device left
    // unanswered when it was last asked (or that another program holds its port), in kDeviceNotFound what the first
    // defined device whose ports were there left unanswered in the last scan. Request kNone otherwise, and when no
    // port of the names was there.
    virtual ProbeFailure GetDeviceProbeFailure() const;
    // The same in words for the user; empty when there is none.
    std::string DescribeDeviceProbeFailure() const;

    virtual std::int32_t GetFoundDeviceCount() const = 0;
    virtual bool IsFoundDeviceInUpdateMode(std::int32_t index) const = 0;
    // How many devices carry the found device's port names when it cannot be used because it cannot be told from
    // them (kDevicesShareName), itself counted; 0 when it can be.
    virtual std::uint32_t CountFoundDeviceNamesakes(std::int32_t index) const;
    [[nodiscard]] virtual ZVRESULT GetFoundDeviceError(std::int32_t index, std::uint32_t& code) const = 0;
    [[nodiscard]] virtual ZVRESULT GetFoundDeviceVersion(std::int32_t index, VersionRecord& version) const = 0;

    // While false (from construction until the window has subscribed) no device-state, file-state or completion
    // notification is posted; progress always is. The window sets it again for every new engine.
    void SetNotificationsEnabled(bool enabled) { mNotificationsEnabled.store(enabled); }
    bool AreNotificationsEnabled() const { return mNotificationsEnabled.load(); }

protected:
    virtual void PostUpdateProgress(std::uint32_t stage, double fraction, bool estimate, std::uint32_t timeRemaining,
                                    bool last);
    virtual void PostDeviceStateChange(std::int32_t newState, std::int32_t oldState);
    virtual void PostFirmwareFileStateChange(std::int32_t newState, std::int32_t oldState);
    virtual void PostFoundDeviceListChange();
    virtual void PostUpdateCompleted(bool success);
    // Each posts its change when the value differs from the current one.
    virtual void SetDeviceState(std::int32_t state);
    virtual void SetFirmwareFileState(std::int32_t state);

    [[nodiscard]] virtual ZVRESULT EnumerateDevices() = 0;
    // On the worker thread, with the device kDeviceUpdating: 0 done, 0x80004005 failed, 0x80004004 cancelled.
    [[nodiscard]] virtual ZVRESULT RunUpdate() = 0;

    bool IsCancelRequested() const { return mCancel.load() == CancelState::kRequested; }
    // False, changing nothing, once the update stopped taking cancels.
    bool RequestCancel();
    // From now on a cancel changes nothing: false when one came first.
    bool StopTakingCancels();
    void SetUpdateStatus(std::int32_t status) { mUpdateStatus.store(status); }
    const ZV::Array<DeviceDefinition>& GetDeviceDefinitions() const { return mDeviceDefinitions; }
    bool IsValidFoundIndex(std::int32_t index) const;
    // The port names of the chosen device; false when none is chosen.
    bool GetChosenDevice(DeviceDefinition& device) const;
    // Where the chosen device stands in the list of found devices once it was added to it.
    void SetSelectedIndex(std::int32_t index) { mSelectedIndex.store(index); }
    // The selected device's version when an update could be asked about: a file present, a device selected.
    bool GetVersionToCompare(VersionRecord& deviceVersion) const;
    VersionRecord GetFirmwareFileVersion() const;
    void SetUpdateFailure(const UpdateFailure& failure);
    // True when the image is fit to send; otherwise the refusal is recorded and written to the debug output.
    bool AcceptImage(const FirmwareImageBytes& image);
    // kFilePresent for a file that can be read and whose image is fit to send; else kFileMissing, with the reason in
    // GetUpdateFailure when the file is there. With an image, the file's bytes are kept in it.
    std::int32_t ExamineFirmwareFile(const ZV::WideString& path, FirmwareImageBytes* image = nullptr);
    // On the worker: the image that StartUpdate handed over, taken once.
    SharedFirmwareImage TakeImageToSend();
    // One step of the update in one line of the debug output.
    static void ReportStep(const std::string& step);

private:
    [[nodiscard]] ZVRESULT DoWork(const ZV::ConstRCPtr<ZV::LRefCountedObject>& parameter) override;
    // Selects the found device at a valid index; its record tells the device state.
    void SelectFoundDevice(std::int32_t index);
    // The device chosen, and how it was found, as a step of the update.
    void ReportFoundDevice() const;
    // The chosen device's place among the found devices, -1 when it is not among them or none is chosen.
    std::int32_t FindChosenDevice() const;
    // The image the update is to send: the checked one while the file still holds it, else the file read and checked
    // now. 0x80004005 with the reason in GetUpdateFailure when there is none fit to send.
    [[nodiscard]] ZVRESULT PrepareImageToSend(SharedFirmwareImage& image);
    void ForgetCheckedImage();
    void ForgetImageToSend(const SharedFirmwareImage& image);
    void Post(const wchar_t* id, const ZV::ConstRCPtr<ZV::LRefCountedObject>& data);

    ZV::RetriggerableThreader mWorkerThread;
    ZV::RCPtr<ZV::LEvent> mDoneEvent;
    // The worker writes the device state and the update status while the window reads them.
    std::atomic<std::int32_t> mDeviceState{kDeviceNoDefinitions};
    ZV::Array<DeviceDefinition> mDeviceDefinitions;
    std::atomic<std::int32_t> mSelectedIndex{-1};
    // User-interface thread only.
    bool mDeviceChosen = false;
    DeviceDefinition mChosenDevice;
    std::atomic<std::int32_t> mUpdateStatus{kUpdateIdle};
    enum class CancelState : std::int32_t { kNone, kRequested, kRefused };
    std::atomic<CancelState> mCancel{CancelState::kNone};
    std::atomic<std::int32_t> mFileState{kFileNone};
    // Guards the firmware file's path and version, which the worker reads.
    mutable ZV::Mutex mFileLock;
    ZV::WideString mFirmwareFilePath;
    VersionRecord mFirmwareFileVersion;
    // The image of the last CheckFirmwareFile, until an update takes it as its image to send. Only one of the two is
    // held at a time, so that a large image is never held twice.
    SharedFirmwareImage mCheckedImage;
    SharedFirmwareImage mImageToSend;
    std::atomic<bool> mNotificationsEnabled{false};
    std::atomic<bool> mOwnerAwaitsReturn{false};
    // Written by the worker while the window reads it.
    mutable ZV::Mutex mFailureLock;
    UpdateFailure mFailure;
};

// A time in words for the user: whole seconds as "2 s", else "300 ms".
std::string DescribeDuration(std::uint32_t milliseconds);
