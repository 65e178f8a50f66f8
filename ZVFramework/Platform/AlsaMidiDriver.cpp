#include "Platform/AlsaMidiDriver.h"

#include "Platform/CallbackGate.h"
#include "Platform/MidiInputDispatcher.h"
#include "Platform/MidiMessage.h"
#include "Platform/MidiOutputWriting.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <optional>
#include <thread>

namespace ZV::Platform {

namespace {

void FindOnCard(int card, snd_rawmidi_stream_t stream, std::vector<AlsaMidiDevice>& found)
{
    const std::string cardName = "hw:" + std::to_string(card);
    snd_ctl_t* control = nullptr;
    if (snd_ctl_open(&control, cardName.c_str(), 0) < 0) {
        return;
    }
    snd_rawmidi_info_t* info = nullptr;
    if (snd_rawmidi_info_malloc(&info) == 0) {
        int device = -1;
        while (snd_ctl_rawmidi_next_device(control, &device) == 0 && device >= 0) {
            snd_rawmidi_info_set_device(info, static_cast<unsigned>(device));
            snd_rawmidi_info_set_subdevice(info, 0);
            snd_rawmidi_info_set_stream(info, stream);
            if (snd_ctl_rawmidi_info(control, info) < 0) {
                continue;
            }
            const unsigned subdevices = snd_rawmidi_info_get_subdevices_count(info);
            for (unsigned subdevice = 0; subdevice < subdevices; ++subdevice) {
                snd_rawmidi_info_set_subdevice(info, subdevice);
                if (snd_ctl_rawmidi_info(control, info) < 0) {
                    continue;
                }
                std::string name = snd_rawmidi_info_get_subdevice_name(info);
                if (name.empty()) {
                    name = snd_rawmidi_info_get_name(info);
                }
                found.push_back({cardName + "," + std::to_string(device) + "," + std::to_string(subdevice), name});
            }
        }
        snd_rawmidi_info_free(info);
    }
    snd_ctl_close(control);
}

std::vector<AlsaMidiDevice> FindDevices(snd_rawmidi_stream_t stream)
{
    std::vector<AlsaMidiDevice> found;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        FindOnCard(card, stream, found);
    }
    return found;
}

// An open raw MIDI stream with the descriptor that wakes its thread when the owner closes it.
class RawMidiStream {
public:
    RawMidiStream(snd_rawmidi_t* handle, int wakeDescriptor) : mHandle(handle), mWakeDescriptor(wakeDescriptor) {}
    RawMidiStream(const RawMidiStream&) = delete;
    RawMidiStream& operator=(const RawMidiStream&) = delete;
    ~RawMidiStream()
    {
        snd_rawmidi_close(mHandle);
        close(mWakeDescriptor);
    }

    // Opens one direction of a device without blocking; null on failure.
    static std::unique_ptr<RawMidiStream> Open(const std::string& address, bool input)
    {
        snd_rawmidi_t* handle = nullptr;
        const int opened = input ? snd_rawmidi_open(&handle, nullptr, address.c_str(), SND_RAWMIDI_NONBLOCK)
                                 : snd_rawmidi_open(nullptr, &handle, address.c_str(), SND_RAWMIDI_NONBLOCK);
        if (opened < 0) {
            return nullptr;
        }
        const int wakeDescriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeDescriptor < 0) {
            snd_rawmidi_close(handle);
            return nullptr;
        }
        return std::make_unique<RawMidiStream>(handle, wakeDescriptor);
    }

    snd_rawmidi_t* Handle() const { return mHandle; }

    void Wake()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(mWakeDescriptor, &one, sizeof one);
    }

    // Waits until the stream is ready in its direction: false when woken to close, or when the device failed.
    bool WaitUntilReady()
    {
        const int count = snd_rawmidi_poll_descriptors_count(mHandle);
        std::vector<pollfd> descriptors(static_cast<std::size_t>(count) + 1);
        snd_rawmidi_poll_descriptors(mHandle, descriptors.data(), static_cast<unsigned>(count));
        descriptors.back() = {mWakeDescriptor, POLLIN, 0};
        while (poll(descriptors.data(), descriptors.size(), -1) < 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        if (descriptors.back().revents != 0) {
            return false;
        }
        unsigned short events = 0;
        if (snd_rawmidi_poll_descriptors_revents(mHandle, descriptors.data(), static_cast<unsigned>(count), &events) <
            0) {
            return false;
        }
        return (events & (POLLERR | POLLHUP | POLLNVAL)) == 0;
    }

private:
    snd_rawmidi_t* mHandle;
    int mWakeDescriptor;
};

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
    AlsaMidiInput(std::unique_ptr<RawMidiStream> stream, MidiInputCallback& callback)
        : mShared(std::make_shared<Shared>(*this, callback, std::move(stream)))
    {
        mReader = std::thread(Read, mShared);
    }

    ~AlsaMidiInput() override
    {
        mShared->Dispatcher.Close();
        mShared->Closing = true;
        mShared->Stream->Wake();
        JoinUnlessSelf(mReader);
    }

    bool AddSysExBuffer(MidiSysExBuffer& buffer) override { return mShared->Dispatcher.AddSysExBuffer(buffer); }
    bool Start() override { return mShared->Dispatcher.Start(); }
    void Stop() override { mShared->Dispatcher.Stop(); }

private:
    struct Shared {
        Shared(MidiInput& input, MidiInputCallback& callback, std::unique_ptr<RawMidiStream> stream)
            : Dispatcher(input, callback), Stream(std::move(stream))
        {
        }
        MidiInputDispatcher Dispatcher;
        std::unique_ptr<RawMidiStream> Stream;
        std::atomic<bool> Closing = false;
    };

    static void Read(std::shared_ptr<Shared> shared)
    {
        std::array<std::uint8_t, 256> bytes;
        while (!shared->Closing && shared->Stream->WaitUntilReady()) {
            const ssize_t count = snd_rawmidi_read(shared->Stream->Handle(), bytes.data(), bytes.size());
            if (count == -EAGAIN) {
                continue;
            }
            if (count < 0) {
                return;
            }
            shared->Dispatcher.Deliver(bytes.data(), static_cast<std::size_t>(count));
        }
    }

    std::shared_ptr<Shared> mShared;
    std::thread mReader;
};

class AlsaMidiOutput final : public MidiOutput {
public:
    AlsaMidiOutput(std::unique_ptr<RawMidiStream> stream, MidiOutputCallback& callback)
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
        mShared->Stream->Wake();
        // Cuts a drain short: the kernel would otherwise wait for the device for up to ten seconds.
        snd_rawmidi_drop(mShared->Stream->Handle());
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
        Shared(MidiOutput& output, MidiOutputCallback& callback, std::unique_ptr<RawMidiStream> stream)
            : Output(output), Callback(callback), Stream(std::move(stream))
        {
        }
        MidiOutput& Output;
        MidiOutputCallback& Callback;
        std::unique_ptr<RawMidiStream> Stream;
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

    // The stream as an output that takes what room it has: a long message is taken part by part as the device drains
    // what went before, and each part taken counts as its progress.
    static PartialOutput AsPartialOutput(Shared& shared)
    {
        return PartialOutput{[&shared](const std::uint8_t* bytes, std::size_t count) -> std::int64_t {
                                 const ssize_t written = snd_rawmidi_write(shared.Stream->Handle(), bytes, count);
                                 return written == -EAGAIN ? 0 : written;
                             },
                             [&shared] { return shared.Stream->WaitUntilReady(); }};
    }

    static void Write(std::shared_ptr<Shared> shared)
    {
        const PartialOutput output = AsPartialOutput(*shared);
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
            std::function<void(std::size_t)> onTaken;
            if (message.Token) {
                onTaken = [&](std::size_t taken) {
                    RunThroughGate(shared->Gate, [&] {
                        shared->Callback.OnLongMessageProgress(shared->Output, *message.Token, taken);
                    });
                };
            }
            bool sent = WriteLongMessage(message.Message, output, onTaken);
            if (message.Token) {
                // The kernel holds no more than a page of the message by now: draining it takes a second or so even
                // at the pace of a DIN cable, well within what a sender waits for a message that stopped moving.
                sent = sent && snd_rawmidi_drain(shared->Stream->Handle()) == 0;
                RunThroughGate(shared->Gate,
                               [&] { shared->Callback.OnLongMessageDone(shared->Output, *message.Token, sent); });
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

std::vector<std::string> AlsaMidiDriver::ListInputDevices()
{
    return List(true);
}

std::vector<std::string> AlsaMidiDriver::ListOutputDevices()
{
    return List(false);
}

std::unique_ptr<MidiInput> AlsaMidiDriver::OpenInput(std::size_t device, MidiInputCallback& callback)
{
    std::string address;
    if (!FindListed(true, device, address)) {
        return nullptr;
    }
    std::unique_ptr<RawMidiStream> stream = RawMidiStream::Open(address, true);
    if (!stream) {
        return nullptr;
    }
    return std::make_unique<AlsaMidiInput>(std::move(stream), callback);
}

std::unique_ptr<MidiOutput> AlsaMidiDriver::OpenOutput(std::size_t device, MidiOutputCallback& callback)
{
    std::string address;
    if (!FindListed(false, device, address)) {
        return nullptr;
    }
    std::unique_ptr<RawMidiStream> stream = RawMidiStream::Open(address, false);
    if (!stream) {
        return nullptr;
    }
    return std::make_unique<AlsaMidiOutput>(std::move(stream), callback);
}

std::vector<std::string> AlsaMidiDriver::List(bool input)
{
    std::vector<AlsaMidiDevice> found = FindDevices(input ? SND_RAWMIDI_STREAM_INPUT : SND_RAWMIDI_STREAM_OUTPUT);
    std::vector<std::string> names;
    for (const AlsaMidiDevice& device : found) {
        names.push_back(device.Name);
    }
    std::lock_guard lock(mMutex);
    (input ? mInputs : mOutputs) = std::move(found);
    return names;
}

bool AlsaMidiDriver::FindListed(bool input, std::size_t device, std::string& address)
{
    std::lock_guard lock(mMutex);
    const std::vector<AlsaMidiDevice>& listed = input ? mInputs : mOutputs;
    if (device >= listed.size()) {
        return false;
    }
    address = listed[device].Address;
    return true;
}

}  // namespace ZV::Platform
