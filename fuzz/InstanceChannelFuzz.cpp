// The hand-over channel of the first instance, fed the bytes a later start (or anything else that can reach the
// socket) writes on one connection: the listener hands on exactly one whole message, with its tag and its bytes and
// nothing after them, acknowledges only that, and neither waits out its time-out nor reads past its bounds.
#include "FuzzTarget.h"
#include "InstanceChannelPeer.h"
#include "Platform/InstanceChannel.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace ZV::Fuzz;
using ZV::Platform::InstanceChannelListener;

// A little past the largest message, so that cut, whole and over-long messages are all reached; within what the
// socket buffers before the listener accepts.
constexpr std::size_t kMaxInput = kChannelHeaderSize + InstanceChannelListener::kLargestMessage + 64;

struct Received {
    std::int32_t tag;
    std::string data;
};

class Channel {
public:
    Channel()
        : mChannel([this](std::int32_t tag, const char* data, std::size_t size) {
              ZV_FUZZ_CHECK(!mReceived);
              mReceived = Received{tag, std::string(data, size)};
          })
    {
    }

    // Writes the bytes on a new connection and closes its writing side, then serves the listener until it is done
    // with the connection: whether it handed a message on.
    bool Deliver(const std::string& bytes, bool& acknowledged)
    {
        const int connection = ConnectToChannel(mChannel.GetPath());
        ZV_FUZZ_CHECK(SendToChannel(connection, bytes));
        shutdown(connection, SHUT_WR);
        mReceived.reset();
        int whole = 0;
        while (!IsAnsweredByChannel(connection)) {
            // All it needs is there: nothing is left for it to wait for.
            ZV_FUZZ_CHECK(mChannel.GetListener().HasPendingEvent());
            whole += ServeChannel(mChannel.GetListener());
        }
        ZV_FUZZ_CHECK(whole <= 1);
        acknowledged = ReadChannelAnswer(connection) == "\x01";
        close(connection);
        return whole == 1;
    }

    const std::optional<Received>& GetReceived() const { return mReceived; }

private:
    std::optional<Received> mReceived;
    ListeningChannel mChannel;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Channel channel;
    const std::string bytes(reinterpret_cast<const char*>(data), std::min(size, kMaxInput));
    const std::uint32_t length = bytes.size() >= kChannelHeaderSize ? ChannelLittleEndian(bytes.data() + 4) : 0;
    const bool whole = bytes.size() >= kChannelHeaderSize && length <= InstanceChannelListener::kLargestMessage &&
                       bytes.size() - kChannelHeaderSize >= length;

    bool acknowledged = false;
    ZV_FUZZ_CHECK(channel.Deliver(bytes, acknowledged) == whole);
    ZV_FUZZ_CHECK(acknowledged == whole);
    ZV_FUZZ_CHECK(channel.GetReceived().has_value() == whole);
    if (whole) {
        ZV_FUZZ_CHECK(channel.GetReceived()->tag == static_cast<std::int32_t>(ChannelLittleEndian(bytes.data())));
        ZV_FUZZ_CHECK(channel.GetReceived()->data == bytes.substr(kChannelHeaderSize, length));
    }
    return 0;
}
