#include "Platform/AlsaMidiDriver.h"

#include "Platform/CallbackGate.h"
#include "Platform/MidiInputDispatcher.h"
#include "Platform/MidiMessage.h"
#include "Platform/MidiOutputWriting.h"

#include <array>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <optional>
#include <thread>

namespace ZV::Platform {

namespace {

using Readiness = AlsaRawMidiStream::Readiness;

// How long an output waits for its device before it looks again how far the device has come: often enough that a
// slow device is seen moving long before a sender gives its message up.
constexpr int kProgressInterval = 200;

// Closed from its own callback, a stream's thread cannot be waited for; it lets go of the stream when it ends.
void JoinUnlessSelf(std::thread& thread)
{
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();
    } else {
        thread.join();
    }
}

class AlsaMidiInput final : public MidiInput {
public:
    AlsaMidiInput(std::unique_ptr<AlsaRawMidiStream> stream, MidiInputCallback& callback)
        : mShared(std::make_shared<Shared>(*this, callback, std::move(stream)))
    {
        mReader = std::thread(Read, mShared);
    }

    ~AlsaMidiInput() override
    {
        mShared->Dispatcher.Close();
        mShared->Stream->Wake();
        JoinUnlessSelf(mReader);
    }

    bool AddSysExBuffer(MidiSysExBuffer& buffer) override { return mShared->Dispatcher.AddSysExBuffer(buffer); }
    bool Start() override { return mShared->Dispatcher.Start(); }
    void Stop() override { mShared->Dispatcher.Stop(); }

private:
    struct Shared {
        Shared(MidiInput& input, MidiInputCallback& callback, std::unique_ptr<AlsaRawMidiStream> stream)
            : Dispatcher(input, callback), Stream(std::move(stream))
        {
        }
        MidiInputDispatcher Dispatcher;
        std::unique_ptr<AlsaRawMidiStream> Stream;
    };

    static void Read(std::shared_ptr<Shared> shared)
    {
        std::array<std::uint8_t, 256> bytes;
        while (shared->Stream->Wait(AlsaRawMidiStream::kNoTimeLimit) == Readiness::Ready) {
            const std::int64_t count = shared->Stream->Read(bytes.data(), bytes.size());
            if (count < 0) {
                return;
            }
            if (count > 0) {
                shared->Dispatcher.Deliver(bytes.data(), static_cast<std::size_t>(count));
            }
        }
    }

    std::shared_ptr<Shared> mShared;
    std::thread mReader;
};

class AlsaMidiOutput final : public MidiOutput {
public:
    AlsaMidiOutput(std::unique_ptr<AlsaRawMidiStream> stream, MidiOutputCallback& callback)
        : mShared(std::make_shared<Shared>(*this, callback, std::move(stream)))
    {
        mWriter = std::thread(Write, mShared);
    }

    ~AlsaMidiOutput() override
    {
        mShared->Gate.Shut();
        {
            std::lock_guard lock(mShared->Mutex);
            mShared->Closing = true;
            mShared->Queue.clear();
            mShared->Queued.notify_all();
        }
        // Ends the writer's wait for the device at once; the stream throws away what the kernel holds as it closes.
        mShared->Stream->Wake();
        JoinUnlessSelf(mWriter);
    }

    bool SendShortMessage(std::uint32_t packedMessage) override
    {
        std::vector<std::uint8_t> bytes = UnpackShortMessage(packedMessage);
        return !bytes.empty() && Queue({MidiLongMessage::Holding(std::move(bytes)), std::nullopt});
    }

    bool SendLongMessage(MidiLongMessage message, std::uint64_t token) override
    {
        return message.IsSendable() && Queue({std::move(message), token});
    }

private:
    struct Outgoing {
        MidiLongMessage Message;
        std::optional<std::uint64_t> Token;  // long messages only
    };

    struct Shared {
        Shared(MidiOutput& output, MidiOutputCallback& callback, std::unique_ptr<AlsaRawMidiStream> stream)
            : Output(output), Callback(callback), Stream(std::move(stream))
        {
        }
        MidiOutput& Output;
        MidiOutputCallback& Callback;
        std::unique_ptr<AlsaRawMidiStream> Stream;
        CallbackGate Gate{true};
        std::mutex Mutex;
        std::condition_variable Queued;
        std::deque<Outgoing> Queue;
        bool Closing = false;
        bool Failed = false;
    };

    bool Queue(Outgoing message)
    {
        std::lock_guard lock(mShared->Mutex);
        if (mShared->Closing || mShared->Failed) {
            return false;
        }
        mShared->Queue.push_back(std::move(message));
        mShared->Queued.notify_one();
        return true;
    }

    // The stream as a buffer that the device empties: a wait for it ends when the buffer is empty, or after a
    // while, so that a slow device is seen to move.
    static BufferedOutput AsBufferedOutput(AlsaRawMidiStream& stream)
    {
        return BufferedOutput{
            stream.GetOutputBufferSize(),
            [&stream](const std::uint8_t* bytes, std::size_t count) { return stream.Write(bytes, count); },
            [&stream] { return stream.GetUnsentOutput(); },
            [&stream] {
                const Readiness readiness = stream.Wait(kProgressInterval);
                return readiness == Readiness::Ready || readiness == Readiness::TimedOut;
            }};
    }

    static void Write(std::shared_ptr<Shared> shared)
    {
        const BufferedOutput output = AsBufferedOutput(*shared->Stream);
        while (true) {
            Outgoing message;
            {
                std::unique_lock lock(shared->Mutex);
                shared->Queued.wait(lock, [&] { return shared->Closing || !shared->Queue.empty(); });
                if (shared->Closing) {
                    return;
                }
                message = std::move(shared->Queue.front());
                shared->Queue.pop_front();
            }
            bool sent = false;
            if (message.Token) {
                // Done once the device has taken the whole message from the kernel's buffer; each part it takes on
                // the way counts as progress, however slowly it goes.
                sent = SendMessage(message.Message, output, [&](std::size_t taken) {
                    RunThroughGate(shared->Gate, [&] {
                        shared->Callback.OnLongMessageProgress(shared->Output, *message.Token, taken);
                    });
                });
                RunThroughGate(shared->Gate,
                               [&] { shared->Callback.OnLongMessageDone(shared->Output, *message.Token, sent); });
            } else {
                sent = WriteMessage(message.Message, output);
            }
            if (!sent) {
                // Later messages are still written and fail on their own; new ones are refused at once.
                std::lock_guard lock(shared->Mutex);
                shared->Failed = true;
            }
        }
    }

    std::shared_ptr<Shared> mShared;
    std::thread mWriter;
};

}  // namespace

AlsaMidiDriver::AlsaMidiDriver() : AlsaMidiDriver(CreateSystemAlsaRawMidi()) {}

AlsaMidiDriver::AlsaMidiDriver(std::shared_ptr<AlsaRawMidi> rawMidi) : mRawMidi(std::move(rawMidi)) {}

std::vector<std::string> AlsaMidiDriver::ListInputDevices()
{
    return List(true);
}

std::vector<std::string> AlsaMidiDriver::ListOutputDevices()
{
    return List(false);
}

std::unique_ptr<MidiInput> AlsaMidiDriver::OpenInput(std::size_t device, MidiInputCallback& callback,
                                                     MidiOpenFailure& failure)
{
    std::unique_ptr<AlsaRawMidiStream> stream = OpenListed(true, device, failure);
    if (!stream) {
        return nullptr;
    }
    return std::make_unique<AlsaMidiInput>(std::move(stream), callback);
}

std::unique_ptr<MidiOutput> AlsaMidiDriver::OpenOutput(std::size_t device, MidiOutputCallback& callback,
                                                       MidiOpenFailure& failure)
{
    std::unique_ptr<AlsaRawMidiStream> stream = OpenListed(false, device, failure);
    if (!stream) {
        return nullptr;
    }
    return std::make_unique<AlsaMidiOutput>(std::move(stream), callback);
}

std::vector<std::string> AlsaMidiDriver::List(bool input)
{
    std::vector<AlsaMidiDevice> found = mRawMidi->FindDevices(input);
    std::vector<std::string> names;
    for (const AlsaMidiDevice& device : found) {
        names.push_back(device.Name);
    }
    std::lock_guard lock(mMutex);
    (input ? mInputs : mOutputs) = std::move(found);
    return names;
}

std::unique_ptr<AlsaRawMidiStream> AlsaMidiDriver::OpenListed(bool input, std::size_t device,
                                                              MidiOpenFailure& failure)
{
    std::string address;
    {
        std::lock_guard lock(mMutex);
        const std::vector<AlsaMidiDevice>& listed = input ? mInputs : mOutputs;
        if (device >= listed.size()) {
            failure = MidiOpenFailure::Absent;
            return nullptr;
        }
        address = listed[device].Address;
    }
    std::unique_ptr<AlsaRawMidiStream> stream;
    const int opened = mRawMidi->Open(address, input, stream);
    if (opened < 0 || !stream) {
        // A sequencer client subscribed to the device, among others, keeps it open.
        failure = opened == -EBUSY ? MidiOpenFailure::Busy : MidiOpenFailure::Absent;
        return nullptr;
    }
    return stream;
}

}  // namespace ZV::Platform
