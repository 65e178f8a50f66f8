#include "Platform/AlsaRawMidi.h"

#include "Platform/SoundLibraryConfiguration.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace ZV::Platform {

namespace {

void FindOnCard(const SoundLibraryConfiguration& configuration, int card, snd_rawmidi_stream_t stream,
                std::vector<AlsaMidiDevice>& found)
{
    const std::string cardName = "hw:" + std::to_string(card);
    snd_ctl_t* control = nullptr;
    if (configuration.OpenControl(&control, cardName.c_str()) < 0) {
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

// Makes an output ready, for a poll and for a write alike, only once its kernel buffer is empty (the buffer's size as
// the least room that counts): waiting for room and waiting for the device to take everything are one wait, and the
// buffer is filled whole each time. 0, or a negative errno.
int WakeOnlyWhenEmpty(snd_rawmidi_t* handle, std::size_t& bufferSize)
{
    snd_rawmidi_params_t* params = nullptr;
    int result = snd_rawmidi_params_malloc(&params);
    if (result < 0) {
        return result;
    }
    result = snd_rawmidi_params_current(handle, params);
    if (result == 0) {
        bufferSize = snd_rawmidi_params_get_buffer_size(params);
        result = snd_rawmidi_params_set_avail_min(handle, params, bufferSize);
    }
    if (result == 0) {
        result = snd_rawmidi_params(handle, params);
    }
    snd_rawmidi_params_free(params);
    return result;
}

class SystemRawMidiStream final : public AlsaRawMidiStream {
public:
    SystemRawMidiStream(snd_rawmidi_t* handle, int wakeDescriptor, snd_rawmidi_status_t* status,
                        std::size_t bufferSize)
        : mHandle(handle), mWakeDescriptor(wakeDescriptor), mStatus(status), mBufferSize(bufferSize)
    {
    }
    SystemRawMidiStream(const SystemRawMidiStream&) = delete;
    SystemRawMidiStream& operator=(const SystemRawMidiStream&) = delete;

    ~SystemRawMidiStream() override
    {
        if (mStatus != nullptr) {
            // The kernel drains an output as it closes it, for up to ten seconds; nothing is left to drain.
            snd_rawmidi_drop(mHandle);
            snd_rawmidi_status_free(mStatus);
        }
        snd_rawmidi_close(mHandle);
        close(mWakeDescriptor);
    }

    std::int64_t Read(std::uint8_t* bytes, std::size_t count) override
    {
        return Moved(snd_rawmidi_read(mHandle, bytes, count));
    }

    std::int64_t Write(const std::uint8_t* bytes, std::size_t count) override
    {
        return Moved(snd_rawmidi_write(mHandle, bytes, count));
    }

    std::int64_t GetUnsentOutput() override
    {
        const int result = snd_rawmidi_status(mHandle, mStatus);
        if (result < 0) {
            return result;
        }
        const std::size_t room = snd_rawmidi_status_get_avail(mStatus);
        return room < mBufferSize ? static_cast<std::int64_t>(mBufferSize - room) : 0;
    }

    std::size_t GetOutputBufferSize() const override { return mBufferSize; }

    Readiness Wait(int milliseconds) override
    {
        const int count = snd_rawmidi_poll_descriptors_count(mHandle);
        std::vector<pollfd> descriptors(static_cast<std::size_t>(count) + 1);
        snd_rawmidi_poll_descriptors(mHandle, descriptors.data(), static_cast<unsigned>(count));
        descriptors.back() = {mWakeDescriptor, POLLIN, 0};
        int ready = 0;
        while ((ready = poll(descriptors.data(), descriptors.size(), milliseconds)) < 0) {
            if (errno != EINTR) {
                return Readiness::Failed;
            }
        }
        if (descriptors.back().revents != 0) {
            return Readiness::Woken;
        }
        if (ready == 0) {
            return Readiness::TimedOut;
        }
        unsigned short events = 0;
        if (snd_rawmidi_poll_descriptors_revents(mHandle, descriptors.data(), static_cast<unsigned>(count),
                                                 &events) < 0 ||
            (events & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return Readiness::Failed;
        }
        return (events & (POLLIN | POLLOUT)) != 0 ? Readiness::Ready : Readiness::TimedOut;
    }

    void Wake() override
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(mWakeDescriptor, &one, sizeof one);
    }

private:
    static std::int64_t Moved(ssize_t result) { return result == -EAGAIN ? 0 : result; }

    snd_rawmidi_t* mHandle;
    int mWakeDescriptor;
    // An output's status, read again for every look at its buffer; null for an input.
    snd_rawmidi_status_t* mStatus;
    std::size_t mBufferSize;
};

class SystemRawMidi final : public AlsaRawMidi {
public:
    std::vector<AlsaMidiDevice> FindDevices(bool input) override
    {
        std::vector<AlsaMidiDevice> found;
        int card = -1;
        while (snd_card_next(&card) == 0 && card >= 0) {
            FindOnCard(mConfiguration, card, input ? SND_RAWMIDI_STREAM_INPUT : SND_RAWMIDI_STREAM_OUTPUT, found);
        }
        return found;
    }

    int Open(const std::string& address, bool input, std::unique_ptr<AlsaRawMidiStream>& stream) override
    {
        snd_rawmidi_t* handle = nullptr;
        int result = mConfiguration.OpenRawMidi(input ? &handle : nullptr, input ? nullptr : &handle, address.c_str(),
                                                SND_RAWMIDI_NONBLOCK);
        if (result < 0) {
            return result;
        }
        snd_rawmidi_status_t* status = nullptr;
        std::size_t bufferSize = 0;
        if (!input) {
            result = snd_rawmidi_status_malloc(&status);
            if (result == 0) {
                result = WakeOnlyWhenEmpty(handle, bufferSize);
            }
        }
        int wakeDescriptor = -1;
        if (result == 0) {
            wakeDescriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            result = wakeDescriptor < 0 ? -errno : 0;
        }
        if (result < 0) {
            if (status != nullptr) {
                snd_rawmidi_status_free(status);
            }
            snd_rawmidi_close(handle);
            return result;
        }
        stream = std::make_unique<SystemRawMidiStream>(handle, wakeDescriptor, status, bufferSize);
        return 0;
    }

private:
    const SoundLibraryConfiguration mConfiguration;
};

}  // namespace

std::shared_ptr<AlsaRawMidi> CreateSystemAlsaRawMidi()
{
    return std::make_shared<SystemRawMidi>();
}

}  // namespace ZV::Platform
