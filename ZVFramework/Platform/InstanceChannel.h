#pragma once

#include "Platform/EventSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Platform {

// How a second instance hands its command line to the first: over a UNIX-domain socket beside the single-instance
// lock, one message per connection: a tag (4 bytes), a length (4 bytes, little-endian) and that many bytes, answered
// by one byte of acknowledgement. Which instance is first is decided by the lock, not here. Both ends talk only to
// processes of their own user.
class InstanceChannelListener final : public IEventSource {
public:
    // Messages longer than this are refused unread.
    static constexpr std::uint32_t kLargestMessage = 64 * 1024;
    // How long one connection may take to deliver its message, from when it is taken, before it is dropped.
    static constexpr int kReadTimeoutMs = 500;
    // Connections read side by side; a new one beyond them drops the oldest.
    static constexpr std::size_t kMostConnections = 8;

    using Receiver = std::function<void(std::int32_t tag, const char* data, std::size_t size)>;

    // Listens at the path, replacing a socket of this user's that a crashed first instance left; null when it
    // cannot, or when anything else stands at the path. Connections wait unread until the loop dispatches.
    static std::unique_ptr<InstanceChannelListener> Listen(const std::string& path);
    InstanceChannelListener(const InstanceChannelListener&) = delete;
    InstanceChannelListener& operator=(const InstanceChannelListener&) = delete;
    ~InstanceChannelListener();

    void SetReceiver(Receiver receiver) { mReceiver = std::move(receiver); }

    // Readable when a connection comes, one sends, or the time of one is up.
    int GetDescriptor() const override { return mEvents; }
    bool HasPendingEvent() override;
    // One step that never waits: takes a new connection, reads what one has sent so far, or drops those whose time
    // is up. True when a whole message was acknowledged and handed to the receiver.
    bool DispatchEvent() override;

private:
    struct Connection;

    InstanceChannelListener(int socket, int timer, int events, std::string path);
    void Accept();
    // True, with the message, once the connection's message is whole.
    bool Read(std::uint64_t id, std::int32_t& tag, std::string& data);
    void Drop(std::size_t index);
    void DropExpired();
    void ArmTimer();

    int mSocket;
    int mTimer;
    int mEvents;
    std::string mPath;
    Receiver mReceiver;
    // Oldest first.
    std::vector<Connection> mConnections;
    std::uint64_t mNextId;
};

enum class HandOver {
    // The first instance acknowledged the message.
    delivered,
    // Nobody took the message in time: the first instance is busy, not listening yet, or gone.
    unanswered,
    // What stands at the path is not a socket of this user's, or another user listens there: nothing was sent.
    foreign,
};

// Sends one message to the instance listening at the path within the time-out (milliseconds) all told: connecting,
// waiting while the listener's backlog is full or nobody listens yet, sending and hearing the acknowledgement. When
// the answer is foreign and found is not null, found says what stands at the path, as the end of a sentence about
// it ("is a plain file, not a socket").
HandOver SendToFirstInstance(const std::string& path, std::int32_t tag, const std::string& data, int timeoutMs,
                             std::string* found = nullptr);

}  // namespace ZV::Platform
