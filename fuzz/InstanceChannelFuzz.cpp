// The hand-over channel of the first instance, fed the bytes a later start (or anything else that can reach the
// socket) writes on one connection: the listener hands on exactly one whole message, with its tag and its bytes and
// nothing after them, acknowledges only that, and neither waits out its time-out nor reads past its bounds.
#include "FuzzTarget.h"
#include "Platform/InstanceChannel.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using ZV::Platform::InstanceChannelListener;

constexpr std::size_t kHeaderSize = 8;
// A little past the largest message, so that cut, whole and over-long messages are all reached; within what the
// socket buffers before the listener accepts.
constexpr std::size_t kMaxInput = kHeaderSize + InstanceChannelListener::kLargestMessage + 64;

struct Received {
    std::int32_t tag;
    std::string data;
};

std::uint32_t LittleEndian(const std::uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// One listener for the whole run, in a folder of its own.
class Channel {
public:
    Channel()
    {
        char folder[] = "/tmp/zv-fuzz-channel-XXXXXX";
        ZV_FUZZ_CHECK(mkdtemp(folder) != nullptr);
        mFolder = folder;
        mPath = mFolder + "/handover";
        mListener = InstanceChannelListener::Listen(mPath);
        ZV_FUZZ_CHECK(mListener != nullptr);
        mListener->SetReceiver([this](std::int32_t tag, const char* data, std::size_t size) {
            ZV_FUZZ_CHECK(!mReceived);
            mReceived = Received{tag, std::string(data, size)};
        });
    }
    ~Channel()
    {
        mListener.reset();
        rmdir(mFolder.c_str());
    }

    // Writes the bytes on a new connection and closes its writing side, then lets the listener take it.
    bool Deliver(const std::uint8_t* data, std::size_t size, bool& acknowledged)
    {
        const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ZV_FUZZ_CHECK(connection >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, mPath.c_str());
        ZV_FUZZ_CHECK(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        std::size_t sent = 0;
        while (sent < size) {
            const ssize_t moved = send(connection, data + sent, size - sent, MSG_NOSIGNAL);
            ZV_FUZZ_CHECK(moved > 0);
            sent += static_cast<std::size_t>(moved);
        }
        shutdown(connection, SHUT_WR);
        mReceived.reset();
        const bool whole = mListener->DispatchEvent();
        char answer = 0;
        acknowledged = recv(connection, &answer, 1, 0) == 1;
        close(connection);
        return whole;
    }

    const std::optional<Received>& GetReceived() const { return mReceived; }

private:
    std::string mFolder;
    std::string mPath;
    std::unique_ptr<InstanceChannelListener> mListener;
    std::optional<Received> mReceived;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Channel channel;
    size = std::min(size, kMaxInput);
    const std::uint32_t length = size >= kHeaderSize ? LittleEndian(data + 4) : 0;
    const bool whole = size >= kHeaderSize && length <= InstanceChannelListener::kLargestMessage &&
                       size - kHeaderSize >= length;

    bool acknowledged = false;
    ZV_FUZZ_CHECK(channel.Deliver(data, size, acknowledged) == whole);
    ZV_FUZZ_CHECK(acknowledged == whole);
    ZV_FUZZ_CHECK(channel.GetReceived().has_value() == whole);
    if (whole) {
        ZV_FUZZ_CHECK(channel.GetReceived()->tag == static_cast<std::int32_t>(LittleEndian(data)));
        ZV_FUZZ_CHECK(channel.GetReceived()->data ==
                      std::string(reinterpret_cast<const char*>(data) + kHeaderSize, length));
    }
    return 0;
}
