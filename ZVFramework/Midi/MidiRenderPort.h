#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Platform/MidiDriver.h"
#include "Threading/Event.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace ZV {

class LMidiComm;

// An open MIDI output, shared by everybody who asked the MIDI object for it; messages go out through the MIDI
// object's SendMidiMessage. It closes when the last reference outside the MIDI object's port list goes.
class LMidiRenderPort : public virtual LRefCountedObject {
public:
    // How long a send waits for the port to become idle, and then for its long message to finish.
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
    [[nodiscard]] ZVRESULT SendLongMessage(Platform::MidiLongMessage message);
    // Waits until no message is under way and makes the port busy with a new one, under a new token; false after
    // the time-out.
    bool Claim(std::uint64_t& token);
    // The message under way has ended; the port is free. Whether the driver delivered a long message.
    bool Unclaim();
    // Under the owner's lock, from the driver: a long message has finished.
    void OnLongMessageDone(std::uint64_t token, bool delivered);

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
};

}  // namespace ZV
