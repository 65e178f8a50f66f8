#pragma once

// What the instance channel's fuzz targets do as the other end: a folder of their own for the socket, connections
// that write as a peer writes, and the listener served as the user-interface loop serves it.
#include "FuzzTarget.h"
#include "Platform/InstanceChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace ZV::Fuzz {

constexpr std::size_t kChannelHeaderSize = 8;

// libFuzzer's timer signal comes every few seconds and breaks off whatever system call waits then: make it again.
template <class Call>
auto Uninterrupted(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

inline std::uint32_t ChannelLittleEndian(const char* bytes)
{
    const auto* value = reinterpret_cast<const std::uint8_t*>(bytes);
    return value[0] | value[1] << 8 | value[2] << 16 | static_cast<std::uint32_t>(value[3]) << 24;
}

inline std::string ChannelHeader(std::uint32_t tag, std::uint32_t length)
{
    std::string header(kChannelHeaderSize, '\0');
    for (int index = 0; index < 4; ++index) {
        header[index] = static_cast<char>(tag >> (8 * index));
        header[4 + index] = static_cast<char>(length >> (8 * index));
    }
    return header;
}

// A path for a socket in a folder made for the run; libFuzzer ends without the destructors that remove it.
inline std::string MakeChannelPath()
{
    char folder[] = "/tmp/zv-fuzz-channel-XXXXXX";
    ZV_FUZZ_CHECK(mkdtemp(folder) != nullptr);
    return std::string(folder) + "/handover";
}

inline void RemoveChannelFolder(const std::string& path)
{
    (void)unlink(path.c_str());
    (void)rmdir(path.substr(0, path.rfind('/')).c_str());
}

// The first instance's listener for the whole run, in a folder of its own.
class ListeningChannel {
public:
    explicit ListeningChannel(Platform::InstanceChannelListener::Receiver receiver)
        : mPath(MakeChannelPath()), mListener(Platform::InstanceChannelListener::Listen(mPath))
    {
        ZV_FUZZ_CHECK(mListener != nullptr);
        mListener->SetReceiver(std::move(receiver));
    }
    ListeningChannel(const ListeningChannel&) = delete;
    ListeningChannel& operator=(const ListeningChannel&) = delete;
    ~ListeningChannel()
    {
        mListener.reset();
        RemoveChannelFolder(mPath);
    }

    const std::string& GetPath() const { return mPath; }
    Platform::InstanceChannelListener& GetListener() { return *mListener; }

private:
    std::string mPath;
    std::unique_ptr<Platform::InstanceChannelListener> mListener;
};

inline sockaddr_un ChannelAddress(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ZV_FUZZ_CHECK(path.size() < sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

inline int ConnectToChannel(const std::string& path)
{
    const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ZV_FUZZ_CHECK(connection >= 0);
    const sockaddr_un address = ChannelAddress(path);
    ZV_FUZZ_CHECK(Uninterrupted([&] {
                      return connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address);
                  }) == 0);
    return connection;
}

// Writes the bytes whole; false when the other end has gone.
inline bool SendToChannel(int connection, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t moved =
            Uninterrupted([&] { return send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL); });
        if (moved <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(moved);
    }
    return true;
}

// Whether the listener is done with the connection: it answered and closed it, or closed it, or reset it.
inline bool IsAnsweredByChannel(int connection)
{
    pollfd wait{connection, POLLIN, 0};
    return poll(&wait, 1, 0) > 0;
}

// The acknowledgement byte, or nothing.
inline std::string ReadChannelAnswer(int connection)
{
    char answer[2];
    const ssize_t received = recv(connection, answer, sizeof answer, MSG_DONTWAIT);
    return std::string(answer, received > 0 ? static_cast<std::size_t>(received) : 0);
}

// Dispatches everything the listener can take now, without waiting; how many messages it handed on.
inline int ServeChannel(Platform::InstanceChannelListener& listener)
{
    int whole = 0;
    while (listener.HasPendingEvent()) {
        whole += listener.DispatchEvent() ? 1 : 0;
    }
    return whole;
}

}  // namespace ZV::Fuzz
