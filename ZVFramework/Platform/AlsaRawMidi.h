#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Platform {

struct AlsaMidiDevice {
    std::string Address;  // "hw:card,device,subdevice"
    std::string Name;
};

// One direction of a raw MIDI device, open without blocking. Destroying it closes it, and first throws away what
// an output's kernel buffer still holds, so that closing never waits for the device.
class AlsaRawMidiStream {
public:
    enum class Readiness { Ready, TimedOut, Woken, Failed };
    static constexpr int kNoTimeLimit = -1;

    virtual ~AlsaRawMidiStream() = default;

    // Bytes moved, 0 when none can move now, or a negative errno once the device has failed (it went away).
    virtual std::int64_t Read(std::uint8_t* bytes, std::size_t count) = 0;
    virtual std::int64_t Write(const std::uint8_t* bytes, std::size_t count) = 0;
    // The bytes an output's kernel buffer holds that the device has not taken yet, or a negative errno.
    virtual std::int64_t GetUnsentOutput() = 0;
    // The size of an output's kernel buffer. A write takes bytes only once the buffer is empty, as many as fit: so
    // the whole buffer's worth, offered in one write, goes out for one wait.
    virtual std::size_t GetOutputBufferSize() const = 0;
    // Waits up to the time until an input has bytes to read, or until an output's kernel buffer is empty. Woken
    // once Wake has been called; Failed once the device has.
    virtual Readiness Wait(int milliseconds) = 0;
    // From any thread: ends the wait under way, and every later one, at once.
    virtual void Wake() = 0;
};

// The few calls of ALSA's raw MIDI that the driver makes: the devices of every card, and opening one.
class AlsaRawMidi {
public:
    virtual ~AlsaRawMidi() = default;

    virtual std::vector<AlsaMidiDevice> FindDevices(bool input) = 0;
    // 0 with the stream, or the negative errno of the refusal: -EBUSY when another program holds the device open.
    virtual int Open(const std::string& address, bool input, std::unique_ptr<AlsaRawMidiStream>& stream) = 0;
};

// The machine's own, over libasound.
std::shared_ptr<AlsaRawMidi> CreateSystemAlsaRawMidi();

}  // namespace ZV::Platform
