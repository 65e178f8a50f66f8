#pragma once

#include "Engine/DeviceMessages.h"
#include "Engine/UpdateEngineInterface.h"
#include "Midi/MidiCommInterface.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "Threading/Event.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/Array.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

// Makes the MIDI object that a probe or the update talks through.
using MidiCommFactory = std::function<ZV::RCPtr<ZV::LMidiCommInterface>()>;

// The update engine over MIDI. It finds the defined devices by their port names, asks each whether it runs normally
// or in update mode and which build it runs, switches one into update mode, and sends it the firmware image message
// by message at the device's pace.
//
// Requests go out on the calling thread, which then waits for the reply; replies arrive as "NID_MIDI_DATA_CAPTURED"
// on the MIDI object's own worker thread, where OnMidiDataCaptured only recognises them and sets an event. Every
// probe talks through a fresh MIDI object, so no port stays open between probes and a device that came back under
// other ports is found again.
class LUpdateEngine : public LUpdateEngineInterface, public ZV::LNotificationClient {
public:
    // A found device: its definition, its version, and whether it answered in update mode.
    struct DeviceDefinitionEx : DeviceDefinition {
        DeviceDefinitionEx() = default;
        explicit DeviceDefinitionEx(const DeviceDefinition& definition) : DeviceDefinition(definition) {}
        DeviceDefinitionEx(const DeviceDefinitionEx&) = default;
        DeviceDefinitionEx& operator=(const DeviceDefinitionEx&) = default;
        virtual ~DeviceDefinitionEx() = default;

        VersionRecord Version;
        bool InUpdateMode = false;
        std::uint32_t ErrorCode = kDeviceErrorNone;
        // What its ports left unanswered when it was last probed.
        ProbeFailure LastProbeFailure;
        // How many devices carry its port names when one of them waits in update mode: it cannot be told apart, so it
        // cannot be used (ErrorCode kDeviceErrorNoAccess). 0 while it can be.
        std::uint32_t NamesakeCount = 0;
    };

    static constexpr std::uint32_t kStatusReplyTimeout = 1000;
    static constexpr std::uint32_t kVersionReplyTimeout = 2000;
    static constexpr std::uint32_t kFinalPollInterval = 500;
    // How often the devices of the chosen one's names are counted while they settle after a confirmation.
    static constexpr std::uint32_t kNamesakeSettleTurn = 100;
    // A device that has not reported "update done" this long after the image gives the update up.
    static constexpr std::uint32_t kDefaultFinalPollLimit = 120000;
    static constexpr std::int64_t kPauseAfterMessageMicroseconds = 1000;
    static constexpr std::uint16_t kChunkSize = 128;

    // An empty factory makes the MIDI objects over the process's MIDI driver.
    explicit LUpdateEngine(MidiCommFactory midiFactory);
    ~LUpdateEngine() override;

    // Creates the MIDI object and subscribes to its captured messages: 0, or 0x80004005.
    [[nodiscard]] ZVRESULT Initialize(const ZV::WideString& commandLine) override;

    [[nodiscard]] ZVRESULT GetFoundDevices(ZV::Array<DeviceDefinition>& devices) const override;
    // Asks the chosen device again whether it answers and in which mode: 0; 0x80004005 without a selected device
    // (while it enters update mode, one that is away is looked for by its names), below kDeviceUnusable and while
    // updating. A device that does not answer is kDeviceUnusable, unless it is entering update mode or restarting
    // after its update; one back in update mode whose port another program holds is kDeviceUnusable too (kPortBusy).
    [[nodiscard]] ZVRESULT RefreshSelectedDevice() override;
    // Sends the selected running device the request that restarts it into update mode (kDeviceEnteringUpdateMode):
    // 0 sent, 1 in update mode already, 0x80004005 unless kDeviceRunning or when the request cannot be sent
    // (kDeviceUnusable). The gate is asked once the other devices of its names were looked at.
    using LUpdateEngineInterface::EnterUpdateMode;
    [[nodiscard]] ZVRESULT EnterUpdateMode(const EnterRequestGate& mayGo) override;
    // Once a device alone with its names confirmed an update that its owner does not await: probes it in turns until
    // it runs again (true, kDeviceRunning with the version it came back with), no longer than the wait for update
    // mode, a restart's bound, from the confirmation on. False at once for any other.
    bool WaitForUpdatedDeviceToRun() override;
    // Once the owner awaits the devices of the names after a confirmation: while fewer of them are there than when
    // the chosen one was sent into update mode, nothing more (kDeviceUpdateEnded or kDeviceNotFound stays); once they
    // are, one that waits in update mode or that another program holds fails the update as the update's own look
    // does, else the device is looked for.
    [[nodiscard]] ZVRESULT LookAfterUpdate() override;
    // True when the file's build is greater than the selected device's.
    bool IsUpdateAvailable() const override;
    [[nodiscard]] ZVRESULT CancelUpdate() override;
    std::int32_t GetFoundDeviceCount() const override;
    bool IsFoundDeviceInUpdateMode(std::int32_t index) const override;
    [[nodiscard]] ZVRESULT GetFoundDeviceError(std::int32_t index, std::uint32_t& code) const override;
    [[nodiscard]] ZVRESULT GetFoundDeviceVersion(std::int32_t index, VersionRecord& version) const override;
    std::uint32_t CountFoundDeviceNamesakes(std::int32_t index) const override;
    ProbeFailure GetDeviceProbeFailure() const override;

    // Refuses an image that is not a clean run of messages whole, before a byte goes out (0x80004005, the refusal in
    // GetUpdateFailure); else sends it as the update does (SendCheckedImage).
    [[nodiscard]] ZVRESULT SendFileMessages(const SharedFirmwareImage& image, const ZV::WideString& portName);
    // Sends the image as it is, in chunks of 128 bytes, with progress and a 1 ms pause after each.
    [[nodiscard]] ZVRESULT SendFileInChunks(const FirmwareImageBytes& image, const ZV::WideString& portName);
    // The universal Identity Request (F0 7E 7F 06 01 F7) to the named port: the send's result, 0x80004005 when the
    // port cannot be opened. No step of the update asks it.
    [[nodiscard]] ZVRESULT SendIdentityRequest(const ZV::WideString& portName);
    // Does nothing: 0.
    [[nodiscard]] ZVRESULT ReservedSend(std::int32_t first, std::int32_t second, std::int32_t third);

    // How long the final poll waits for "update done" (kDefaultFinalPollLimit); tests shorten it.
    static void SetFinalPollLimit(std::uint32_t milliseconds);
    static std::uint32_t GetFinalPollLimit();

    void ReceiveNotification(const ZV::ConstRCPtr<ZV::LNotificationDistributor>& sender,
                             const ZV::RCPtr<ZV::LNotification>& notification) override;
    [[nodiscard]] ZVRESULT UnregisterForNotification(const ZV::ConstRCPtr<ZV::LNotificationDistributor>& distributor,
                                       const wchar_t* id) override;

protected:
    [[nodiscard]] ZVRESULT EnumerateDevices() override;
    [[nodiscard]] ZVRESULT RunUpdate() override;

private:
    // Open ports keep the MIDI object they belong to.
    struct DevicePorts {
        ZV::RCPtr<ZV::LMidiCommInterface> Midi;
        ZV::RCPtr<ZV::LMidiCapturePort> Capture;
        ZV::RCPtr<ZV::LMidiRenderPort> Render;
    };

    // Discovery. Each probe and request says what went unanswered in the failure it is given; a probe whose ports
    // cannot be opened leaves it as it was, so that a device without ports is not found rather than unanswering,
    // unless another program holds one of them: that is the failure.
    [[nodiscard]] ZVRESULT ProbeDevice(DeviceDefinitionEx& record);
    bool ProbeNormalPorts(const ZV::WideString& captureName, const ZV::WideString& renderName, DevicePorts& ports,
                          ProbeFailure& failure);
    bool ProbeUpdatePorts(const ZV::WideString& captureName, const ZV::WideString& renderName,
                          ProbeFailure& failure);
    // A fresh MIDI object with both ports open (those at the place among the ports of the names, when given), or
    // false; a port that another program holds is the failure.
    bool ReopenMidi(const ZV::WideString& captureName, const ZV::WideString& renderName, DevicePorts& ports,
                    ProbeFailure& failure, std::optional<std::uint32_t> place = std::nullopt);
    // Asks for the status and waits for any status reply: true when it is the one wanted.
    bool AskStatus(const DevicePorts& ports, ZV::TrafficLight& reply, ProbeFailure& failure);
    [[nodiscard]] ZVRESULT RequestDeviceVersion(const DevicePorts& ports, ProbeFailure& failure);
    // Sends the request and waits up to the time for any of the replies that answer it: true when the one wanted
    // came; else what came instead.
    bool Ask(const DevicePorts& ports, DeviceRequest request, ZV::TrafficLight& wanted, ZV::TrafficLight& anyReply,
             std::uint32_t milliseconds, ProbeFailure& failure);

    // The MIDI object and the replies.
    bool ReplaceMidi();
    ZV::RCPtr<ZV::LMidiCommInterface> GetMidi() const;
    // 0; or the failed open's result (kMidiPortBusy with the name of the port another program holds, when asked).
    // Without a place, the ports of the names that LMidiCommInterface opens by name.
    [[nodiscard]] ZVRESULT OpenPorts(const ZV::WideString& captureName, const ZV::WideString& renderName,
                                     DevicePorts& ports, ZV::WideString* busyPortName = nullptr,
                                     std::optional<std::uint32_t> place = std::nullopt) const;
    bool OpenRenderPort(const ZV::WideString& renderName, DevicePorts& ports) const;
    [[nodiscard]] ZVRESULT SendRequest(const DevicePorts& ports, DeviceMessages::Request request) const;
    [[nodiscard]] ZVRESULT Send(const DevicePorts& ports, const ZV::MidiMessageBytes& message) const;
    std::int32_t OnMidiDataCaptured(const ZV::ConstRCPtr<ZV::LNotificationDistributor>& sender,
                                    const ZV::RCPtr<ZV::LNotification>& notification);

    // How the chosen device stands among the devices that carry its update-mode names.
    enum class Namesakes {
        kTold,  // an image sent by those names now reaches the chosen device
        // Another device of the names waits in update mode, or may be the one that does; or another program holds
        // one of them, which cannot be asked.
        kShared,
        // Fewer devices carry the names than when the chosen one was sent into update mode, one of them in update
        // mode: the chosen one back after another went away, or another while the chosen one is still away.
        kOneMissing,
        // A device of the names confirmed an image, and another waits in update mode: perhaps the chosen one, which
        // another took the place of while it restarted.
        kOneLeftWaiting,
        // A device of the names confirmed an image, and another program holds one of them, which may wait so.
        kOneLeftHeld,
        // A device of the names confirmed an image, and fewer of them are there than when the chosen one was sent
        // into update mode: one that is away may wait so.
        kOneAway,
        // The device at the chosen one's place does not answer in update mode: a running device of the names, or one
        // that does not answer, where the chosen one came back.
        kNotInUpdateMode,
    };
    // Devices of one model carry one name, so the chosen device is told from the others only by how they answer. It
    // is told apart when none of the devices carrying the record's update-mode names waits in update mode; or when
    // this engine sent the chosen one there, every device that carried the names then is there again, and the chosen
    // one is the only one in update mode and stands first. Each device of the names is asked when there are several,
    // or were when the chosen one was sent into update mode; one that another program holds cannot be, so the chosen
    // one is not told from it, neither now nor once it restarts.
    // With ports given, the chosen device is the one at its place (the first of the names), and it is told apart only
    // when it answers there in update mode (kNotInUpdateMode otherwise), even alone: it is then left bound to the
    // ports, and the names are counted again once they are open, so that a device that came in meanwhile before it is
    // never taken for it; when they could not be opened, openFailure says whether another program holds one of them.
    // counted is how many devices carry the names, the chosen one counted while it is away.
    Namesakes TellFromNamesakes(const DeviceDefinitionEx& record, std::uint32_t& counted,
                                DevicePorts* chosenPorts = nullptr, ProbeFailure* openFailure = nullptr);
    // One look of TellFromNamesakes, with the number of devices of the names that it saw.
    Namesakes LookAtNamesakes(const DeviceDefinitionEx& record, std::uint32_t& present, DevicePorts* chosenPorts,
                              ProbeFailure* openFailure);
    // The look of LookAtNamesakes when one device carries the names: told when it answers in update mode at its ports,
    // left open in chosenPorts; when they cannot be opened, openFailure says whether another program holds them.
    Namesakes AskLoneDevice(const DeviceDefinitionEx& record, DevicePorts& chosenPorts, ProbeFailure* openFailure);
    static Namesakes JudgeNamesakes(std::uint32_t present, std::int32_t expected, std::uint32_t inUpdateMode,
                                    bool firstInUpdateMode, bool anyHeld);
    // Once a device of the record's update-mode names confirmed the image, after the chosen one was sent into update
    // mode as one of the expected devices of the names: waits until that many are there again (the one that
    // confirmed may restart, the chosen one may still be on its way back), but no longer than the wait from the tick
    // given on; then asks each. kOneLeftWaiting when one answers in update mode: it waits for an image, and may be the
    // chosen one; kOneLeftHeld when another program holds one; kOneAway when fewer are there than expected; else
    // kTold.
    Namesakes LookForNamesakeLeftWaiting(const DeviceDefinitionEx& record, std::int32_t expected,
                                         std::uint32_t waitFrom, std::uint32_t wait);
    // The input and output devices that carry the record's update-mode names now, and the larger of the two.
    void CountPorts(const DeviceDefinitionEx& record, std::uint32_t& captures, std::uint32_t& renders) const;
    std::uint32_t CountPresent(const DeviceDefinitionEx& record) const;
    // The number of devices that will carry the record's update-mode names once its device is back in update mode.
    std::int32_t CountNamesakesInUpdateMode(const DeviceDefinitionEx& record) const;
    static void MarkNameShared(DeviceDefinitionEx& record, std::uint32_t counted);
    // Marks the found device at the index as one that cannot be told from the counted devices of its names,
    // kDeviceUnusable: 0x80004005. The failure says where that left the device.
    [[nodiscard]] ZVRESULT RefuseSharedName(std::int32_t index, Namesakes verdict, DevicePlace left,
                                            std::uint32_t counted);
    // Where a refusal before any of the image went out (at a scan, a refresh, the request into update mode, the
    // update's start) leaves the device.
    DevicePlace PlaceBeforeImage(Namesakes verdict = Namesakes::kShared) const;
    // What a port that another program holds leaves unanswered.
    static ProbeFailure BusyPortFailure(const ZV::WideString& portName);
    // Keeps that another program holds a port of the found device at the index (added to the list when it is away
    // from it), as the reason it cannot be used: kDeviceUnusable, 0x80004005. The failure says where that left the
    // device.
    [[nodiscard]] ZVRESULT RefuseBusyPort(std::int32_t index, const DeviceDefinitionEx& record,
                                          const ProbeFailure& failure, DevicePlace left);

    // The update.
    // Sends the image, checked whole when it was read, message by message through the ports (FirmwareImage.h), each
    // framed again where it lies in the image, then progress and a 1 ms pause. 0; 0x80004004 when cancelled before
    // its last message began to go out (from then on a cancel changes nothing); 0x80004005 when a send fails, with
    // the reason in GetUpdateFailure.
    [[nodiscard]] ZVRESULT SendCheckedImage(const SharedFirmwareImage& image, const DevicePorts& ports);
    // Asks the device through its ports until it reports "update done" (true) or the poll's time is over. Ports that
    // fail are opened again only while the device's names stand for one device alone; false with the port in busy
    // when another program holds it then.
    bool PollUntilUpdateDone(const DeviceDefinitionEx& device, DevicePorts& ports, ProbeFailure& busy);
    // The ports of the record's update-mode names, opened only while the names stand for one device, or none.
    void ReopenLoneDevice(const DeviceDefinitionEx& device, DevicePorts& ports, ProbeFailure& busy);
    [[nodiscard]] ZVRESULT SendSysExBody(const SharedFirmwareImage& image, const ImageMessage& message,
                                         const DevicePorts& ports) const;
    // Waits until the pause has passed since the message left (sentAt, GetMicrosecondTime), so that what was done
    // meanwhile, such as posting the progress, does not lengthen the gap before the next message.
    void PauseAfterMessage(std::int64_t sentAt) const;
    // Gives the update up with the device kDeviceUnusable: 0x80004005.
    [[nodiscard]] ZVRESULT StopUpdate(const UpdateFailure& failure);
    // Gives the update up before a byte went out, for a file that cannot be read or sent: 0x80004005.
    [[nodiscard]] ZVRESULT StopForFirmwareFile(const UpdateFailure& failure);
    // The same for a task that began without an image to send.
    [[nodiscard]] ZVRESULT StopForMissingImage();
    // Gives the update up before a byte went out, with the device waiting in update mode: 0x80004005.
    [[nodiscard]] ZVRESULT StopWithDeviceWaiting(const UpdateFailure& failure);

    // The found devices' records, copied in and out under the lock.
    bool GetFoundDevice(std::int32_t index, DeviceDefinitionEx& record) const;
    void StoreFoundDevice(std::int32_t index, const DeviceDefinitionEx& record);
    // Its place at the end of the list.
    std::int32_t AddFoundDevice(const DeviceDefinitionEx& record);
    void MarkFoundDeviceUnusable(std::int32_t index);

    MidiCommFactory mMidiFactory;
    mutable ZV::Mutex mFoundDevicesLock;
    ZV::Array<DeviceDefinitionEx> mFoundDevices;
    // The devices of the last scan whose ports were there but left a request unanswered.
    ZV::Array<DeviceDefinitionEx> mUnansweredDevices;
    // Guards the MIDI object and the handler's bindings, which the MIDI worker reads while it delivers.
    mutable ZV::Mutex mMidiLock;
    ZV::RCPtr<ZV::LNotificationHandler<LUpdateEngine>> mHandler;
    ZV::RCPtr<ZV::LMidiCommInterface> mMidi;
    ZV::TrafficLight mVersionReplied;
    ZV::TrafficLight mInUpdateModeReplied;
    ZV::TrafficLight mRunningReplied;
    ZV::TrafficLight mUpdateDoneReplied;
    // Any of the three status replies: a probe need not wait out its time when the device answered otherwise.
    ZV::TrafficLight mStatusReplied;
    // A System Exclusive message that is none of the replies: what a device that garbles its replies sends.
    ZV::TrafficLight mUnreadableReplied;
    // The record being probed; the reply handler writes the version it reads into it.
    mutable ZV::Mutex mCurrentDeviceLock;
    DeviceDefinitionEx mCurrentDevice;
    // How many devices carry the chosen one's update-mode names once it is back in update mode, counted when it was
    // sent there; kNotSentIntoUpdateMode before that and once it confirmed an image. The worker reads it.
    static constexpr std::int32_t kNotSentIntoUpdateMode = -1;
    std::atomic<std::int32_t> mNamesakesInUpdateMode{kNotSentIntoUpdateMode};
    // That count once the chosen one confirmed an image, while the owner awaits the devices of its names
    // (LookAfterUpdate) and has not found it running yet; else kNotSentIntoUpdateMode.
    std::atomic<std::int32_t> mNamesakesAfterUpdate{kNotSentIntoUpdateMode};
    // The last update's device was alone with its names and not awaited by the owner, until WaitForUpdatedDeviceToRun
    // takes it; and when it confirmed the update (written first).
    std::atomic<bool> mLoneDeviceToAwait{false};
    std::atomic<std::uint32_t> mLoneDeviceConfirmedAt{0};
};

// A new engine held by the caller.
ZV::RCPtr<LUpdateEngineInterface> CreateUpdateEngine(MidiCommFactory midiFactory = {});
