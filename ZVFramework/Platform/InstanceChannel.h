#pragma once

#include "Platform/EventSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ZV::Platform {

// How a second instance hands its command line to the first: over a UNIX-domain socket beside the single-instance
// lock, one message per connection: a tag (4 bytes), a length (4 bytes, little-endian) and that many bytes, answered
// by one byte of acknowledgement. Which instance is first is decided by the lock, not here.
class InstanceChannelListener final : public IEventSource {
public:
    // Messages longer than this are refused unread.
    static constexpr std::uint32_t kLargestMessage = 64 * 1024;
    // How long one connection may take to deliver its message before it is dropped.
    static constexpr int kReadTimeoutMs = 500;

    using Receiver = std::function<void(std::int32_t tag, const char* data, std::size_t size)>;

    // Listens at the path, replacing a socket a crashed first instance left; null when it cannot.
    static std::unique_ptr<InstanceChannelListener> Listen(const std::string& path);
    InstanceChannelListener(const InstanceChannelListener&) = delete;
    InstanceChannelListener& operator=(const InstanceChannelListener&) = delete;
    ~InstanceChannelListener();

    void SetReceiver(Receiver receiver) { mReceiver = std::move(receiver); }

    int GetDescriptor() const override { return mSocket; }
    bool HasPendingEvent() override;
    // Takes one connection: reads its message within the bounds, acknowledges a whole one and hands it on.
    bool DispatchEvent() override;

private:
    InstanceChannelListener(int socket, std::string path);

    int mSocket;
    std::string mPath;
    Receiver mReceiver;
};

// Sends one message to the instance listening at the path; true when it acknowledged the message in time.
bool SendToFirstInstance(const std::string& path, std::int32_t tag, const std::string& data, int timeoutMs);

}  // namespace ZV::Platform
