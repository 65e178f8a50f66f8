#pragma once

#include "Platform/CallbackGate.h"
#include "Platform/MidiDriver.h"
#include "Platform/MidiStreamParser.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

namespace ZV::Platform {

// The part of an input that every backend shares: turns the bytes that arrive into short messages and filled
// System Exclusive buffers and hands them to the owner's callback. A message that finds no buffer free is
// dropped whole, and the owner learns of it through an Interrupted buffer before the next message.
class MidiInputDispatcher {
public:
    MidiInputDispatcher(MidiInput& input, MidiInputCallback& callback);
    MidiInputDispatcher(const MidiInputDispatcher&) = delete;
    MidiInputDispatcher& operator=(const MidiInputDispatcher&) = delete;

    bool AddSysExBuffer(MidiSysExBuffer& buffer);
    bool Start();
    void Stop();
    // Stops for good: afterwards nothing is taken and no callback runs.
    void Close();

    // Bytes as they arrived, from the backend's one receiving thread; callbacks run on it.
    void Deliver(const std::uint8_t* bytes, std::size_t count);

private:
    using Lock = std::unique_lock<std::mutex>;

    void StoreSysExByte(Lock& lock, std::uint8_t byte);
    void EndMessageEarly(Lock& lock);
    bool HandBackOwedInterruption(Lock& lock);
    void HandBack(Lock& lock, MidiSysExFill fill);

    MidiInput& mInput;
    MidiInputCallback& mCallback;
    CallbackGate mGate{false};
    std::mutex mMutex;
    bool mStarted = false;
    bool mClosed = false;
    std::uint32_t mStartTick = 0;
    MidiStreamParser mParser;
    std::deque<MidiSysExBuffer*> mFreeBuffers;
    MidiSysExBuffer* mFilling = nullptr;
    bool mDroppingMessage = false;
    bool mInterruptionOwed = false;
};

}  // namespace ZV::Platform
