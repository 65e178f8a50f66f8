#include "Platform/InstanceChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace ZV::Platform {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr unsigned char kAcknowledge = 1;

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Moves count bytes, waiting for the descriptor while the deadline allows; false on an error, an end or the
// deadline.
template <class Transfer>
bool TransferAll(int descriptor, short events, std::size_t count, std::chrono::steady_clock::time_point deadline,
                 Transfer transfer)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t moved = transfer(done, count - done);
        if (moved > 0) {
            done += static_cast<std::size_t>(moved);
            continue;
        }
        if (moved == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd wait{descriptor, events, 0};
        (void)poll(&wait, 1, static_cast<int>(left.count()));
    }
    return true;
}

bool ReadAll(int descriptor, void* buffer, std::size_t count, std::chrono::steady_clock::time_point deadline)
{
    auto* bytes = static_cast<char*>(buffer);
    return TransferAll(descriptor, POLLIN, count, deadline, [&](std::size_t done, std::size_t left) {
        return recv(descriptor, bytes + done, left, MSG_DONTWAIT);
    });
}

bool WriteAll(int descriptor, const void* buffer, std::size_t count, std::chrono::steady_clock::time_point deadline)
{
    const auto* bytes = static_cast<const char*>(buffer);
    return TransferAll(descriptor, POLLOUT, count, deadline, [&](std::size_t done, std::size_t left) {
        return send(descriptor, bytes + done, left, MSG_DONTWAIT | MSG_NOSIGNAL);
    });
}

std::uint32_t ReadLittleEndian(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteLittleEndian(std::uint32_t value, unsigned char* bytes)
{
    for (int index = 0; index < 4; ++index) {
        bytes[index] = static_cast<unsigned char>(value >> (8 * index));
    }
}

}  // namespace

std::unique_ptr<InstanceChannelListener> InstanceChannelListener::Listen(const std::string& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address)) {
        return nullptr;
    }
    const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listening < 0) {
        return nullptr;
    }
    (void)unlink(path.c_str());
    if (bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listening, 8) != 0) {
        close(listening);
        return nullptr;
    }
    return std::unique_ptr<InstanceChannelListener>(new InstanceChannelListener(listening, path));
}

InstanceChannelListener::InstanceChannelListener(int socket, std::string path) : mSocket(socket), mPath(std::move(path))
{
}

InstanceChannelListener::~InstanceChannelListener()
{
    close(mSocket);
    (void)unlink(mPath.c_str());
}

bool InstanceChannelListener::HasPendingEvent()
{
    pollfd wait{mSocket, POLLIN, 0};
    return poll(&wait, 1, 0) > 0 && (wait.revents & POLLIN) != 0;
}

bool InstanceChannelListener::DispatchEvent()
{
    const int connection = accept4(mSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
    unsigned char header[kHeaderSize];
    std::vector<char> data;
    bool whole = ReadAll(connection, header, sizeof header, deadline);
    const std::uint32_t length = whole ? ReadLittleEndian(header + 4) : 0;
    if (whole && length <= kLargestMessage) {
        data.resize(length);
        whole = ReadAll(connection, data.data(), length, deadline);
    } else {
        whole = false;
    }
    if (whole) {
        (void)WriteAll(connection, &kAcknowledge, 1, deadline);
    }
    close(connection);
    if (whole && mReceiver) {
        mReceiver(static_cast<std::int32_t>(ReadLittleEndian(header)), data.data(), data.size());
    }
    return whole;
}

bool SendToFirstInstance(const std::string& path, std::int32_t tag, const std::string& data, int timeoutMs)
{
    sockaddr_un address;
    if (!MakeAddress(path, address) || data.size() > InstanceChannelListener::kLargestMessage) {
        return false;
    }
    const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned char header[kHeaderSize];
    WriteLittleEndian(static_cast<std::uint32_t>(tag), header);
    WriteLittleEndian(static_cast<std::uint32_t>(data.size()), header + 4);
    unsigned char answer = 0;
    const bool sent = connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                      WriteAll(connection, header, sizeof header, deadline) &&
                      WriteAll(connection, data.data(), data.size(), deadline) &&
                      ReadAll(connection, &answer, 1, deadline) && answer == kAcknowledge;
    close(connection);
    return sent;
}

}  // namespace ZV::Platform
