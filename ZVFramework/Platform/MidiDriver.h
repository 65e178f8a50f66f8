#pragma once

#include "Platform/MidiLongMessage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

class MidiInput;
class MidiOutput;

// A buffer for System Exclusive input. Its owner keeps it alive while the driver holds it: from AddSysExBuffer
// until the driver hands it back through OnSysExBuffer, or until the input is stopped or closed.
struct MidiSysExBuffer {
    std::uint8_t* Data = nullptr;
    std::uint32_t Size = 0;      // bytes Data can hold
    std::uint32_t Recorded = 0;  // bytes the driver wrote, F0 and F7 included; real-time bytes never
};

enum class MidiSysExFill {
    Filled,       // the buffer is full, or its last byte is the F7 that ends the message
    Interrupted,  // the message was cut short or lost bytes: drop what was collected of it, this buffer included
};

// Input callbacks come one at a time and in arrival order, on a thread of the driver, or, from a driver whose
// device answers as it takes a message, on the thread whose send that is, before the send returns.
class MidiInputCallback {
public:
    // The message packed with its status byte lowest (see MidiMessage.h); milliseconds since the input started.
    virtual void OnShortMessage(MidiInput& input, std::uint32_t packedMessage, std::uint32_t timeStamp) = 0;
    // The driver hands a buffer back; it fills no other until the owner adds buffers again.
    virtual void OnSysExBuffer(MidiInput& input, MidiSysExBuffer& buffer, MidiSysExFill fill) = 0;

protected:
    ~MidiInputCallback() = default;
};

class MidiOutputCallback {
public:
    // The long message sent with this token has left the computer (delivered), or could not be sent (its device
    // went away or the write failed). On a thread of the driver, or on the sender's own thread before
    // SendLongMessage returns when the driver is done with the message at once.
    virtual void OnLongMessageDone(MidiOutput& output, std::uint64_t token, bool delivered) = 0;
    // The driver has taken more of the long message sent with this token: taken bytes of it so far, framing
    // included. It comes now and then while the bytes move, so that a sender can tell a message that is slow to
    // go from one that has stalled; never after the message's done.
    virtual void OnLongMessageProgress(MidiOutput& output, std::uint64_t token, std::size_t taken) = 0;

protected:
    ~MidiOutputCallback() = default;
};

// An open input device. Destroying it closes it: once the destructor returns no callback runs or will run, and
// the driver holds no buffer. Closing, stopping and destroying wait for a callback under way, so the caller must
// not hold a lock that its callback takes; called from inside a callback they take effect when it returns.
class MidiInput {
public:
    virtual ~MidiInput() = default;

    // Hands a buffer to the driver (it sets Recorded to 0); false for a buffer without room or a closed input.
    virtual bool AddSysExBuffer(MidiSysExBuffer& buffer) = 0;
    // Delivery begins; time stamps count from here.
    virtual bool Start() = 0;
    // Delivery ends; the driver forgets its buffers and any message it had begun.
    virtual void Stop() = 0;
};

// An open output device. Destroying it closes it: once the destructor returns no callback runs or will run;
// long messages not yet done are abandoned without one.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    // Sends a message packed as MidiMessage.h says; false for a packing without a status byte or a driver error.
    virtual bool SendShortMessage(std::uint32_t packedMessage) = 0;
    // Queues the message; the driver reads its bytes where they lie, holding them through the message's keeper until
    // it is done with them. true: OnLongMessageDone follows with the token, or came already; false: refused at once
    // (nothing to send, device gone), and no callback follows. The caller must not hold a lock that the callback
    // takes.
    virtual bool SendLongMessage(MidiLongMessage message, std::uint64_t token) = 0;
};

// Why a device did not open.
enum class MidiOpenFailure {
    Absent,  // not in the last listing, gone since, or refused by the driver
    Busy,    // there, but another program holds it open
};

// The machine's MIDI service: numbered input and output devices with product names (UTF-8).
class MidiDriver {
public:
    virtual ~MidiDriver() = default;

    // Takes a fresh look at the devices; the numbers of the returned list open them until the next listing.
    virtual std::vector<std::string> ListInputDevices() = 0;
    virtual std::vector<std::string> ListOutputDevices() = 0;

    // Null when the device cannot be opened, with the reason in failure.
    virtual std::unique_ptr<MidiInput> OpenInput(std::size_t device, MidiInputCallback& callback,
                                                 MidiOpenFailure& failure) = 0;
    virtual std::unique_ptr<MidiOutput> OpenOutput(std::size_t device, MidiOutputCallback& callback,
                                                   MidiOpenFailure& failure) = 0;
};

using MidiDriverFactory = std::function<std::shared_ptr<MidiDriver>()>;

// Offers a back-end under a name that ZV_MIDI_DRIVER can give; a later registration of a name replaces the earlier.
// "alsa", the machine's ALSA raw MIDI devices, is always there.
void RegisterMidiDriver(std::string name, MidiDriverFactory factory);

// A new driver of the back-end registered under the name. Throws std::invalid_argument for a name that none has,
// and passes on what the back-end's factory throws (settings it cannot use).
std::shared_ptr<MidiDriver> CreateMidiDriver(std::string_view name);

// The driver that ZV_MIDI_DRIVER names ("alsa" when unset), made on first use and shared from then on, so
// that a simulated device keeps its state however often the program reopens its ports.
std::shared_ptr<MidiDriver> GetSystemMidiDriver();

}  // namespace ZV::Platform
