#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Platform/MidiDriver.h"
#include "Threading/Event.h"
#include "Utilities/Storage/StringT.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace ZV {

class LMidiComm;

// An open MIDI output, shared by everybody who asked the MIDI object for it; messages go out through the MIDI
// object's SendMidiMessage. It closes when the last reference outside the MIDI object's port list goes.
class LMidiRenderPort : public virtual LRefCountedObject {
public:
    // How long a send waits for the port to become idle, and then for its long message to finish, while the driver
    // takes nothing of the message under way.
    static constexpr std::uint32_t kSendTimeout = 10000;

    LMidiRenderPort(const LMidiRenderPort&) = delete;
    LMidiRenderPort& operator=(const LMidiRenderPort&) = delete;
    ~LMidiRenderPort() override;

    // The device's product name as the driver reports it.
    const WideString& GetName() const { return mName; }

    // The last outside reference is going: leaves the port list, so that the port closes.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    friend class LMidiComm;

    LMidiRenderPort(const WideString& name, std::unique_ptr<Platform::MidiOutput> output, LMidiComm& owner);

    bool IsOpenOn(const Platform::MidiOutput& output) const { return mOutput.get() == &output; }
    // On the sender's thread; blocks until the driver has taken the message.
    [[nodiscard]] ZVRESULT Send(const MidiMessageBytes& bytes);
    [[nodiscard]] ZVRESULT SendShortMessage(const MidiMessageBytes& bytes);
    // The message's size, 0x80004005, or kMidiOutputStalled.
    [[nodiscard]] ZVRESULT SendLongMessage(Platform::MidiLongMessage message);
    // Waits until no message is under way and makes the port busy with a new one, under a new token; false once
    // the port has been busy the time-out long without its message moving.
    bool Claim(std::uint64_t& token);
    // Waits for the driver to finish the long message under way: false once it has taken nothing of it for the
    // time-out.
    bool WaitWhileMoving();
    // Milliseconds since the message under way last moved, or since the wait began when that was later.
    std::uint32_t GetStillTime(std::uint32_t waitStart) const;
    static std::uint32_t TicksSince(std::uint32_t then, std::uint32_t now);
    // The message under way has ended; the port is free. Whether the driver delivered a long message.
    bool Unclaim();
    // Under the owner's lock, from the driver: a long message has finished, or has moved on.
    void OnLongMessageDone(std::uint64_t token, bool delivered);
    void OnLongMessageProgress(std::uint64_t token);

    WideString mName;
    std::unique_ptr<Platform::MidiOutput> mOutput;
    RCPtr<LMidiComm> mOwner;
    // Set while no message is under way.
    TrafficLight mIdle;
    // Set when the driver is done with the long message under way.
    TrafficLight mDone;
    // The message under way (0: none); a done for any other long message comes too late and is ignored.
    std::uint64_t mClaimToken = 0;
    std::uint64_t mLastToken = 0;
    bool mLongMessageDelivered = false;
    // When the message under way was sent or the driver last took bytes of it (the millisecond tick).
    std::atomic<std::uint32_t> mLastMoved{0};
};

}  // namespace ZV
