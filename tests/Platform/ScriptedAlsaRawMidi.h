#pragma once

#include "Platform/AlsaRawMidi.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZV::Testing {

// ALSA's raw MIDI as the kernel behaves, scripted by a test: devices that come and go (one plugged in again may sit
// on another card), devices that another program holds open (EBUSY, as is a second open of one direction), and
// outputs with the kernel's 4 KiB buffer that the device empties at its own pace and that takes a write only once it
// is empty (the driver asks the kernel so), as much of it as fits.
//
// The devices take bytes on the stand-in's own clock: a wait on an output moves that clock on to the moment the
// buffer is empty, or by the time the wait was given, instead of taking that time, so that a slow device costs no
// real seconds. A wait that nothing on that clock can end (a device that takes nothing, an input with nothing to
// read) blocks for real until the stream is woken, the device goes or the test changes it (an input's, at most for
// its time). Paced in real time, the clock is the machine's, and a device takes its bytes as real time passes.
class ScriptedAlsaRawMidi final : public Platform::AlsaRawMidi {
public:
    using Bytes = std::vector<std::uint8_t>;
    enum class Pace { OwnClock, RealTime };

    static constexpr std::size_t kBufferSize = 4096;

    explicit ScriptedAlsaRawMidi(Pace pace = Pace::OwnClock);

    // Plugs the device in as device 0 of the card, with one input and one output; it takes bytes at that pace
    // (0: none at all). Held elsewhere, another program has both opened the moment the device is there.
    void Plug(int card, const std::string& name, std::uint32_t bytesPerSecond, bool heldElsewhere = false);
    // The device goes away: it is no longer listed, and its open streams fail.
    void Unplug(const std::string& name);
    // Another program opens one direction of the device, or lets it go.
    void HoldElsewhere(const std::string& name, bool input, bool held);
    // The device sends the bytes to the computer; a device unplugged meanwhile sends them nowhere.
    void SendToComputer(const std::string& name, const Bytes& bytes);
    // Hands what the device of the name takes from the computer to the listener, part by part, on the thread that
    // moves the stand-in's clock and under its lock (so the listener must not call the stand-in); one listener per
    // name, kept when the device is plugged in again; an empty one ends the listening.
    void ListenToDevice(const std::string& name, std::function<void(const Bytes&)> listener);
    // What the device has taken from the computer so far.
    Bytes GetReceived(const std::string& name) const;
    // How many bytes each write to the device's output put into the kernel's buffer, in order.
    std::vector<std::size_t> GetWriteSizes(const std::string& name) const;
    // Milliseconds on the stand-in's clock.
    std::uint64_t GetClockMilliseconds() const;
    // Waits, bounded, until the computer has read what the device sent it, or the device has no open input.
    bool WaitUntilRead(const std::string& name) const;
    // Waits, bounded, until a wait on the device's output blocks for real.
    bool WaitUntilOutputBlocks(const std::string& name) const;

    std::vector<Platform::AlsaMidiDevice> FindDevices(bool input) override;
    int Open(const std::string& address, bool input, std::unique_ptr<Platform::AlsaRawMidiStream>& stream) override;

    struct Device;
    struct State;

private:
    std::shared_ptr<State> mState;
};

}  // namespace ZV::Testing
