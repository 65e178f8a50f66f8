#pragma once

#include "Platform/MidiDriver.h"
#include "Platform/MidiMessage.h"
#include "Simulator/MidiBytes.h"
#include "Simulator/SimulationSettings.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Testing {

using Bytes = std::vector<std::uint8_t>;

// "F0 47 00 F7" -> its bytes.
inline Bytes ParseHex(const std::string& text)
{
    Bytes bytes;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

// The simulated system with the cable at unlimited speed.
inline Simulator::SimulationSettings UnlimitedSpeed()
{
    Simulator::SimulationSettings settings;
    settings.BytesPerSecond = 0;
    return settings;
}

inline std::string ToHex(const Bytes& bytes)
{
    return Simulator::FormatHexBytes(bytes);
}

inline Bytes SysExOfLength(std::size_t length)
{
    Bytes message(length);
    for (std::size_t index = 0; index < length; ++index) {
        message[index] = static_cast<std::uint8_t>(index % 0x80);
    }
    message.front() = Platform::MidiSysExStart;
    message.back() = Platform::MidiSysExEnd;
    return message;
}

// Takes what an input hands back, the way a port would: buffers go straight back to the driver, System Exclusive
// is put together across buffers, an interrupted one is dropped; and remembers the threads it was called on.
class RecordingMidiClient final : public Platform::MidiInputCallback, public Platform::MidiOutputCallback {
public:
    RecordingMidiClient() : mStorage(3, Bytes(256))
    {
        for (std::size_t index = 0; index < mStorage.size(); ++index) {
            mBuffers[index].Data = mStorage[index].data();
            mBuffers[index].Size = static_cast<std::uint32_t>(mStorage[index].size());
        }
    }

    bool GiveBuffersTo(Platform::MidiInput& input)
    {
        bool taken = true;
        for (Platform::MidiSysExBuffer& buffer : mBuffers) {
            taken = input.AddSysExBuffer(buffer) && taken;
        }
        return taken;
    }

    void OnShortMessage(Platform::MidiInput&, std::uint32_t, std::uint32_t) override { Received(true); }

    void OnSysExBuffer(Platform::MidiInput& input, Platform::MidiSysExBuffer& buffer,
                       Platform::MidiSysExFill fill) override
    {
        const bool complete = fill != Platform::MidiSysExFill::Interrupted && buffer.Recorded != 0 &&
                              buffer.Data[buffer.Recorded - 1] == Platform::MidiSysExEnd;
        input.AddSysExBuffer(buffer);
        Received(complete);
    }

    void OnLongMessageDone(Platform::MidiOutput&, std::uint64_t, bool) override {}
    void OnLongMessageProgress(Platform::MidiOutput&, std::uint64_t, std::size_t) override {}

    bool WaitForMessages(std::size_t count) const
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, kBoundedWait, [&] { return mMessages >= count; });
    }

    bool CalledOn(std::thread::id thread) const
    {
        std::lock_guard lock(mMutex);
        return std::find(mThreads.begin(), mThreads.end(), thread) != mThreads.end();
    }

private:
    void Received(bool wholeMessage)
    {
        std::lock_guard lock(mMutex);
        mThreads.push_back(std::this_thread::get_id());
        mMessages += wholeMessage ? 1 : 0;
        mChanged.notify_all();
    }

    std::vector<Bytes> mStorage;
    Platform::MidiSysExBuffer mBuffers[3] = {};
    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    std::size_t mMessages = 0;
    std::vector<std::thread::id> mThreads;
};

}  // namespace ZV::Testing
