#include "Platform/InstanceChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace ZV::Platform {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr unsigned char kAcknowledge = 1;
constexpr int kBacklog = 8;
// How often a later start tries again while the first instance does not take connections.
constexpr int kConnectRetryMs = 25;
constexpr std::uint64_t kListeningId = 0;
constexpr std::uint64_t kTimerId = 1;
constexpr std::uint64_t kFirstConnectionId = 2;

using Nanoseconds = std::int64_t;

Nanoseconds Now()
{
    timespec now{};
    (void)clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<Nanoseconds>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

Nanoseconds FromMilliseconds(int milliseconds)
{
    return static_cast<Nanoseconds>(milliseconds) * 1'000'000;
}

// Whole milliseconds left until the deadline, rounded up; 0 once it has passed.
int MillisecondsUntil(Nanoseconds deadline)
{
    const Nanoseconds left = deadline - Now();
    return left <= 0 ? 0 : static_cast<int>((left + 999'999) / 1'000'000);
}

// A socket's address holds a path of at most 107 bytes. A longer one, in a folder under a long home folder, is
// reached through a descriptor of its folder, as /proc/self/fd/<descriptor>/<name>, while the address lives.
class SocketAddress {
public:
    explicit SocketAddress(const std::string& path)
    {
        mAddress.sun_family = AF_UNIX;
        const std::size_t slash = path.rfind('/');
        if (path.size() < sizeof mAddress.sun_path) {
            mValid = !path.empty() && Place(path);
        } else if (slash != std::string::npos && slash > 0) {
            mFolder = open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            mValid = mFolder >= 0 && Place("/proc/self/fd/" + std::to_string(mFolder) + path.substr(slash));
        }
    }
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;
    ~SocketAddress()
    {
        if (mFolder >= 0) {
            close(mFolder);
        }
    }

    // False when the path is empty, or too long even through its folder, or its folder cannot be opened.
    bool IsValid() const { return mValid; }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&mAddress); }
    socklen_t GetSize() const { return sizeof mAddress; }

private:
    bool Place(const std::string& path)
    {
        if (path.size() >= sizeof mAddress.sun_path) {
            return false;
        }
        std::memcpy(mAddress.sun_path, path.c_str(), path.size() + 1);
        return true;
    }

    sockaddr_un mAddress{};
    int mFolder = -1;
    bool mValid = false;
};

// What stands at the path in place of a socket of this user's, said as the end of a sentence about the path; empty
// when nothing stands there or such a socket does: nothing another user could have put there to listen in on command
// lines.
std::string DescribeForeignChannel(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? std::string() : std::string("cannot be examined: ") + std::strerror(errno);
    }
    if (S_ISLNK(status.st_mode)) {
        return "is a link";
    }
    if (S_ISREG(status.st_mode)) {
        return "is a plain file, not a socket";
    }
    if (S_ISDIR(status.st_mode)) {
        return "is a folder, not a socket";
    }
    if (!S_ISSOCK(status.st_mode)) {
        return "is not a socket";
    }
    return status.st_uid == getuid() ? std::string() : "is a socket of another user";
}

bool IsOwnUserAtOtherEnd(int connection)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

// Moves count bytes, waiting for the descriptor while the deadline allows; false on an error, an end or the
// deadline.
template <class Transfer>
bool TransferAll(int descriptor, short events, std::size_t count, Nanoseconds deadline, Transfer transfer)
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
        const int left = MillisecondsUntil(deadline);
        if (left == 0) {
            return false;
        }
        pollfd wait{descriptor, events, 0};
        (void)poll(&wait, 1, left);
    }
    return true;
}

bool ReadAll(int descriptor, void* buffer, std::size_t count, Nanoseconds deadline)
{
    auto* bytes = static_cast<char*>(buffer);
    return TransferAll(descriptor, POLLIN, count, deadline, [&](std::size_t done, std::size_t left) {
        return recv(descriptor, bytes + done, left, MSG_DONTWAIT);
    });
}

bool WriteAll(int descriptor, const void* buffer, std::size_t count, Nanoseconds deadline)
{
    const auto* bytes = static_cast<const char*>(buffer);
    return TransferAll(descriptor, POLLOUT, count, deadline, [&](std::size_t done, std::size_t left) {
        return send(descriptor, bytes + done, left, MSG_DONTWAIT | MSG_NOSIGNAL);
    });
}

std::uint32_t ReadLittleEndian(const char* bytes)
{
    const auto* unsignedBytes = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::uint32_t>(unsignedBytes[0]) | static_cast<std::uint32_t>(unsignedBytes[1]) << 8 |
           static_cast<std::uint32_t>(unsignedBytes[2]) << 16 | static_cast<std::uint32_t>(unsignedBytes[3]) << 24;
}

void WriteLittleEndian(std::uint32_t value, unsigned char* bytes)
{
    for (int index = 0; index < 4; ++index) {
        bytes[index] = static_cast<unsigned char>(value >> (8 * index));
    }
}

bool Watch(int events, int descriptor, std::uint64_t id)
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = id;
    return epoll_ctl(events, EPOLL_CTL_ADD, descriptor, &event) == 0;
}

void CloseAll(std::initializer_list<int> descriptors)
{
    for (const int descriptor : descriptors) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
}

}  // namespace

// A connection whose message is not whole yet: the header first, then as many bytes as it gives.
struct InstanceChannelListener::Connection {
    int descriptor;
    std::uint64_t id;
    Nanoseconds deadline;
    std::string received;
    std::size_t filled;
};

std::unique_ptr<InstanceChannelListener> InstanceChannelListener::Listen(const std::string& path)
{
    const SocketAddress address(path);
    if (!address.IsValid() || !DescribeForeignChannel(path).empty()) {
        return nullptr;
    }
    (void)unlink(path.c_str());
    const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    const int events = epoll_create1(EPOLL_CLOEXEC);
    if (listening < 0 || timer < 0 || events < 0) {
        CloseAll({listening, timer, events});
        return nullptr;
    }
    if (bind(listening, address.Get(), address.GetSize()) != 0) {
        CloseAll({listening, timer, events});
        return nullptr;
    }
    if (listen(listening, kBacklog) != 0 || !Watch(events, listening, kListeningId) ||
        !Watch(events, timer, kTimerId)) {
        CloseAll({listening, timer, events});
        (void)unlink(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<InstanceChannelListener>(new InstanceChannelListener(listening, timer, events, path));
}

InstanceChannelListener::InstanceChannelListener(int socket, int timer, int events, std::string path)
    : mSocket(socket), mTimer(timer), mEvents(events), mPath(std::move(path)), mNextId(kFirstConnectionId)
{
}

InstanceChannelListener::~InstanceChannelListener()
{
    for (const Connection& connection : mConnections) {
        close(connection.descriptor);
    }
    CloseAll({mEvents, mTimer, mSocket});
    (void)unlink(mPath.c_str());
}

bool InstanceChannelListener::HasPendingEvent()
{
    epoll_event event{};
    return epoll_wait(mEvents, &event, 1, 0) > 0;
}

bool InstanceChannelListener::DispatchEvent()
{
    epoll_event event{};
    std::int32_t tag = 0;
    std::string data;
    bool whole = false;
    if (epoll_wait(mEvents, &event, 1, 0) > 0) {
        if (event.data.u64 == kListeningId) {
            Accept();
        } else if (event.data.u64 == kTimerId) {
            std::uint64_t expirations = 0;
            (void)!read(mTimer, &expirations, sizeof expirations);
        } else {
            whole = Read(event.data.u64, tag, data);
        }
    }
    DropExpired();
    ArmTimer();
    if (!whole) {
        return false;
    }
    // Last, on copies: the receiver may run a loop that dispatches again, or end the listener.
    const Receiver receiver = mReceiver;
    if (receiver) {
        receiver(tag, data.data(), data.size());
    }
    return true;
}

void InstanceChannelListener::Accept()
{
    const int descriptor = accept4(mSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (descriptor < 0) {
        return;
    }
    if (!IsOwnUserAtOtherEnd(descriptor)) {
        close(descriptor);
        return;
    }
    if (mConnections.size() >= kMostConnections) {
        Drop(0);
    }
    const std::uint64_t id = mNextId++;
    if (!Watch(mEvents, descriptor, id)) {
        close(descriptor);
        return;
    }
    mConnections.push_back(
        {descriptor, id, Now() + FromMilliseconds(kReadTimeoutMs), std::string(kHeaderSize, '\0'), 0});
}

bool InstanceChannelListener::Read(std::uint64_t id, std::int32_t& tag, std::string& data)
{
    const auto found = std::find_if(mConnections.begin(), mConnections.end(),
                                    [id](const Connection& connection) { return connection.id == id; });
    if (found == mConnections.end()) {
        return false;
    }
    const auto index = static_cast<std::size_t>(found - mConnections.begin());
    Connection& connection = *found;
    const ssize_t moved = recv(connection.descriptor, connection.received.data() + connection.filled,
                               connection.received.size() - connection.filled, MSG_DONTWAIT);
    if (moved < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return false;
    }
    if (moved <= 0) {
        // Ended or broken before its message was whole.
        Drop(index);
        return false;
    }
    const bool hadHeader = connection.filled >= kHeaderSize;
    connection.filled += static_cast<std::size_t>(moved);
    if (!hadHeader && connection.filled == kHeaderSize) {
        const std::uint32_t length = ReadLittleEndian(connection.received.data() + 4);
        if (length > kLargestMessage) {
            Drop(index);
            return false;
        }
        connection.received.resize(kHeaderSize + length);
    }
    if (connection.filled < connection.received.size()) {
        return false;
    }
    tag = static_cast<std::int32_t>(ReadLittleEndian(connection.received.data()));
    data.assign(connection.received, kHeaderSize);
    // A fresh connection's buffer has room for one byte; one that cannot take it has gone.
    (void)send(connection.descriptor, &kAcknowledge, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    Drop(index);
    return true;
}

void InstanceChannelListener::Drop(std::size_t index)
{
    close(mConnections[index].descriptor);
    mConnections.erase(mConnections.begin() + static_cast<std::ptrdiff_t>(index));
}

void InstanceChannelListener::DropExpired()
{
    const Nanoseconds now = Now();
    for (std::size_t index = mConnections.size(); index-- > 0;) {
        if (mConnections[index].deadline <= now) {
            Drop(index);
        }
    }
}

void InstanceChannelListener::ArmTimer()
{
    itimerspec due{};
    if (!mConnections.empty()) {
        // The oldest comes first, and all have the same time.
        const Nanoseconds deadline = mConnections.front().deadline;
        due.it_value.tv_sec = static_cast<time_t>(deadline / 1'000'000'000);
        due.it_value.tv_nsec = static_cast<long>(deadline % 1'000'000'000);
    }
    (void)timerfd_settime(mTimer, TFD_TIMER_ABSTIME, &due, nullptr);
}

HandOver SendToFirstInstance(const std::string& path, std::int32_t tag, const std::string& data, int timeoutMs,
                             std::string* found)
{
    const auto foreign = [found](std::string what) {
        if (found != nullptr) {
            *found = std::move(what);
        }
        return HandOver::foreign;
    };
    const SocketAddress address(path);
    if (!address.IsValid() || data.size() > InstanceChannelListener::kLargestMessage) {
        return HandOver::unanswered;
    }
    const Nanoseconds deadline = Now() + FromMilliseconds(timeoutMs);
    int connection = -1;
    for (;;) {
        if (std::string what = DescribeForeignChannel(path); !what.empty()) {
            return foreign(std::move(what));
        }
        connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (connection < 0) {
            return HandOver::unanswered;
        }
        if (connect(connection, address.Get(), address.GetSize()) == 0) {
            break;
        }
        const int error = errno;
        close(connection);
        // Nobody listens yet, or the backlog is full: the first instance is starting or busy, and may take it soon.
        const bool worthAnotherTry = error == ENOENT || error == ECONNREFUSED || error == EAGAIN || error == EINTR;
        const int left = MillisecondsUntil(deadline);
        if (!worthAnotherTry || left == 0) {
            return HandOver::unanswered;
        }
        (void)poll(nullptr, 0, std::min(left, kConnectRetryMs));
    }
    if (!IsOwnUserAtOtherEnd(connection)) {
        close(connection);
        return foreign("is listened on by another user");
    }
    unsigned char header[kHeaderSize];
    WriteLittleEndian(static_cast<std::uint32_t>(tag), header);
    WriteLittleEndian(static_cast<std::uint32_t>(data.size()), header + 4);
    unsigned char answer = 0;
    const bool acknowledged = WriteAll(connection, header, sizeof header, deadline) &&
                              WriteAll(connection, data.data(), data.size(), deadline) &&
                              ReadAll(connection, &answer, 1, deadline) && answer == kAcknowledge;
    close(connection);
    return acknowledged ? HandOver::delivered : HandOver::unanswered;
}

}  // namespace ZV::Platform
