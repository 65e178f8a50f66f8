#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "ObjectBase/RefCountedObject.h"
#include "Platform/MidiDriver.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace ZV {

class LMidiComm;

// An open MIDI input, shared by everybody who asked the MIDI object for it. Its messages reach the MIDI object's
// subscribers as "NID_MIDI_DATA_CAPTURED"; the port itself only collects them. It closes when the last reference
// outside the MIDI object's port list goes.
class LMidiCapturePort : public virtual LRefCountedObject {
public:
    static constexpr std::uint32_t kBufferCount = 3;
    static constexpr std::uint32_t kBufferSize = 256;
    // A System Exclusive message that grows past this is dropped: a device that never sends its F7 must not take
    // the whole memory.
    static constexpr std::uint32_t kMaximumMessageBytes = 1024 * 1024;

    LMidiCapturePort(const LMidiCapturePort&) = delete;
    LMidiCapturePort& operator=(const LMidiCapturePort&) = delete;
    ~LMidiCapturePort() override;

    // The device's product name as the driver reports it.
    const WideString& GetName() const { return mName; }

    // The last outside reference is going: leaves the port list, so that the port closes.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    friend class LMidiComm;

    struct CaptureBuffer {
        Platform::MidiSysExBuffer Header;
        std::uint8_t Data[kBufferSize];
    };

    LMidiCapturePort(const WideString& name, std::unique_ptr<Platform::MidiInput> input, LMidiComm& owner);

    // The rest runs under the owner's lock.
    bool IsOpenOn(const Platform::MidiInput& input) const { return mInput.get() == &input; }
    // Hands every buffer to the driver and starts the input.
    bool Start();
    RCPtr<LMidiCaptureNotificationData> TakeShortMessage(std::uint32_t packedMessage, std::uint32_t timeStamp) const;
    // Takes a buffer the driver handed back and gives it to the driver again; a message it completes is returned.
    RCPtr<LMidiCaptureNotificationData> TakeSysExBuffer(Platform::MidiSysExBuffer& buffer,
                                                        Platform::MidiSysExFill fill);
    RCPtr<LMidiCaptureNotificationData> CollectSysEx(const Platform::MidiSysExBuffer& buffer);

    WideString mName;
    std::unique_ptr<Platform::MidiInput> mInput;
    RCPtr<LMidiComm> mOwner;
    CaptureBuffer mBuffers[kBufferCount];
    // A System Exclusive message whose end has not come yet.
    RCPtr<LMidiCaptureNotificationData> mPending;
};

}  // namespace ZV
