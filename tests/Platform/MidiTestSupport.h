#pragma once

#include "Platform/MidiDriver.h"
#include "Platform/MidiMessage.h"
#include "Simulator/MidiBytes.h"
#include "Simulator/SimulationSettings.h"
#include "TestFiles.h"

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

// Long enough that only a bug makes a wait fail.
inline constexpr std::chrono::seconds EventTimeout{5};

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

// Takes what an input and an output hand back, the way a port would: buffers go straight back to the driver,
// System Exclusive is put together across buffers, an interrupted one is dropped.
class RecordingMidiClient final : public Platform::MidiInputCallback, public Platform::MidiOutputCallback {
public:
    struct Done {
        std::uint64_t Token;
        bool Delivered;
    };

    explicit RecordingMidiClient(std::size_t bufferCount = 3, std::uint32_t bufferSize = 256)
        : mStorage(bufferCount, Bytes(bufferSize)), mBuffers(bufferCount)
    {
        for (std::size_t index = 0; index < bufferCount; ++index) {
            mBuffers[index].Data = mStorage[index].data();
            mBuffers[index].Size = bufferSize;
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

    void OnShortMessage(Platform::MidiInput&, std::uint32_t packedMessage, std::uint32_t) override
    {
        std::lock_guard lock(mMutex);
        NoteThread();
        mMessages.push_back(Platform::UnpackShortMessage(packedMessage));
        mChanged.notify_all();
    }

    void OnSysExBuffer(Platform::MidiInput& input, Platform::MidiSysExBuffer& buffer,
                       Platform::MidiSysExFill fill) override
    {
        std::lock_guard lock(mMutex);
        NoteThread();
        if (fill == Platform::MidiSysExFill::Interrupted) {
            mPending.clear();
        } else {
            mPending.insert(mPending.end(), buffer.Data, buffer.Data + buffer.Recorded);
            if (mPending.back() == Platform::MidiSysExEnd) {
                mMessages.push_back(std::move(mPending));
                mPending.clear();
            }
        }
        input.AddSysExBuffer(buffer);
        mChanged.notify_all();
    }

    void OnLongMessageDone(Platform::MidiOutput&, std::uint64_t token, bool delivered) override
    {
        std::lock_guard lock(mMutex);
        NoteThread();
        mDones.push_back({token, delivered});
        mChanged.notify_all();
    }

    bool WaitForMessages(std::size_t count) const
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, EventTimeout, [&] { return mMessages.size() >= count; });
    }

    bool WaitForDones(std::size_t count) const
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, EventTimeout, [&] { return mDones.size() >= count; });
    }

    std::vector<Bytes> Messages() const
    {
        std::lock_guard lock(mMutex);
        return mMessages;
    }

    std::vector<std::string> MessagesInHex() const
    {
        std::vector<std::string> texts;
        for (const Bytes& message : Messages()) {
            texts.push_back(ToHex(message));
        }
        return texts;
    }

    std::vector<Done> Dones() const
    {
        std::lock_guard lock(mMutex);
        return mDones;
    }

    // Whether any callback came on the given thread.
    bool CalledOn(std::thread::id thread) const
    {
        std::lock_guard lock(mMutex);
        for (const std::thread::id& callbackThread : mThreads) {
            if (callbackThread == thread) {
                return true;
            }
        }
        return false;
    }

private:
    void NoteThread() { mThreads.push_back(std::this_thread::get_id()); }

    std::vector<Bytes> mStorage;
    std::vector<Platform::MidiSysExBuffer> mBuffers;
    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    Bytes mPending;
    std::vector<Bytes> mMessages;
    std::vector<Done> mDones;
    std::vector<std::thread::id> mThreads;
};

}  // namespace ZV::Testing
