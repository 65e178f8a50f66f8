#include "Platform/MidiOutputWriting.h"

#include <algorithm>
#include <vector>

namespace ZV::Platform {

namespace {

// How much of one message the device has taken: its bytes written, less those the buffer still holds (the
// buffer's older bytes leave it first).
class SentBytes {
public:
    SentBytes(const BufferedOutput& output, const std::function<void(std::size_t sent)>& onSent)
        : mOutput(output), mOnSent(onSent)
    {
    }

    void AddWritten(std::size_t count) { mWritten += count; }

    // Looks at the buffer and tells what more has left it: the bytes it still holds, or negative on failure.
    std::int64_t Check()
    {
        const std::int64_t unsent = mOutput.GetUnsent();
        if (unsent < 0) {
            return unsent;
        }
        const std::size_t held = static_cast<std::size_t>(unsent);
        const std::size_t sent = mWritten > held ? mWritten - held : 0;
        if (sent > mReported) {
            mReported = sent;
            if (mOnSent) {
                mOnSent(sent);
            }
        }
        return unsent;
    }

private:
    const BufferedOutput& mOutput;
    const std::function<void(std::size_t sent)>& mOnSent;
    std::size_t mWritten = 0;
    std::size_t mReported = 0;
};

bool Write(const MidiLongMessage& message, const BufferedOutput& output, SentBytes* sent)
{
    const std::size_t size = message.GetSize();
    // A buffer that tells no size still takes a byte at a time.
    const std::size_t mostPerWrite = std::max<std::size_t>(output.BufferSize, 1);
    // Holds at most a bufferful, and only where the framing goes out with the body.
    std::vector<std::uint8_t> staging;
    std::size_t offset = 0;
    while (offset < size) {
        const std::size_t count = std::min(size - offset, mostPerWrite);
        const std::int64_t taken = output.Write(message.GetBytesAt(offset, count, staging), count);
        if (taken < 0) {
            return false;
        }
        if (taken > 0) {
            offset += static_cast<std::size_t>(taken);
            if (sent != nullptr) {
                sent->AddWritten(static_cast<std::size_t>(taken));
            }
        } else if (!output.Wait() || (sent != nullptr && sent->Check() < 0)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteMessage(const MidiLongMessage& message, const BufferedOutput& output)
{
    return Write(message, output, nullptr);
}

bool SendMessage(const MidiLongMessage& message, const BufferedOutput& output,
                 const std::function<void(std::size_t sent)>& onSent)
{
    SentBytes sent(output, onSent);
    if (!Write(message, output, &sent)) {
        return false;
    }
    for (;;) {
        const std::int64_t unsent = sent.Check();
        if (unsent <= 0) {
            return unsent == 0;
        }
        if (!output.Wait()) {
            return false;
        }
    }
}

}  // namespace ZV::Platform
