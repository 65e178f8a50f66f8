// The hand-over channel of the first instance, fed by several peers at once whose messages come in pieces of any
// size, in any order, with the listener served between the pieces as the user-interface loop serves it: it never
// waits on a peer, hands on each whole message once as soon as its last byte comes, drops a message that claims to
// be too long or ends early, pushes out the oldest peer beyond the number it reads side by side, and acknowledges
// exactly the messages it handed on.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "InstanceChannelPeer.h"
#include "Platform/InstanceChannel.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace ZV::Fuzz;
using ZV::Platform::InstanceChannelListener;

// Enough to push out the oldest twice.
constexpr std::size_t kMostPeers = InstanceChannelListener::kMostConnections + 2;
// A step byte from here on opens a new peer.
constexpr std::uint8_t kOpenStep = 0xF0;

// One peer as the listener should see it.
struct Peer {
    int connection;
    std::string sent;
    // The listener still reads it.
    bool open = true;
    bool delivered = false;
};

// What the listener has of a peer's bytes decides it: whole, refused as too long, or still waiting.
void Judge(Peer& peer, std::vector<std::string>& expected)
{
    if (!peer.open || peer.sent.size() < kChannelHeaderSize) {
        return;
    }
    const std::uint32_t length = ChannelLittleEndian(peer.sent.data() + 4);
    if (length > InstanceChannelListener::kLargestMessage) {
        peer.open = false;
    } else if (peer.sent.size() - kChannelHeaderSize >= length) {
        peer.open = false;
        peer.delivered = true;
        expected.push_back(peer.sent.substr(0, kChannelHeaderSize + length));
    }
}

class Channel {
public:
    Channel()
        : mChannel([this](std::int32_t tag, const char* data, std::size_t size) {
              mReceived.push_back(ChannelHeader(static_cast<std::uint32_t>(tag), static_cast<std::uint32_t>(size)) +
                                  std::string(data, size));
          })
    {
    }

    void Run(FuzzInput& input)
    {
        mReceived.clear();
        std::vector<Peer> peers;
        std::vector<std::string> expected;
        while (!input.IsEmpty()) {
            const std::uint8_t step = input.TakeByte();
            if (step >= kOpenStep || peers.empty()) {
                if (peers.size() < kMostPeers) {
                    Open(peers);
                }
                continue;
            }
            Peer& peer = peers[step % peers.size()];
            std::string piece;
            for (std::uint8_t size = input.TakeByte(); size > 0 && !input.IsEmpty(); --size) {
                piece += static_cast<char>(input.TakeByte());
            }
            (void)SendToChannel(peer.connection, piece);
            peer.sent += piece;
            ServeChannel(mChannel.GetListener());
            Judge(peer, expected);
            ZV_FUZZ_CHECK(mReceived == expected);
        }
        // The peers end: what is not whole by now never will be.
        for (const Peer& peer : peers) {
            shutdown(peer.connection, SHUT_WR);
        }
        while (!std::all_of(peers.begin(), peers.end(),
                            [](const Peer& peer) { return IsAnsweredByChannel(peer.connection); })) {
            ZV_FUZZ_CHECK(mChannel.GetListener().HasPendingEvent());
            ServeChannel(mChannel.GetListener());
        }
        ZV_FUZZ_CHECK(mReceived == expected);
        for (const Peer& peer : peers) {
            ZV_FUZZ_CHECK((ReadChannelAnswer(peer.connection) == "\x01") == peer.delivered);
            close(peer.connection);
        }
    }

private:
    void Open(std::vector<Peer>& peers)
    {
        peers.push_back({ConnectToChannel(mChannel.GetPath()), std::string()});
        ServeChannel(mChannel.GetListener());
        const auto open = [](const Peer& peer) { return peer.open; };
        if (static_cast<std::size_t>(std::count_if(peers.begin(), peers.end(), open)) >
            InstanceChannelListener::kMostConnections) {
            std::find_if(peers.begin(), peers.end(), open)->open = false;
        }
    }

    std::vector<std::string> mReceived;
    ListeningChannel mChannel;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Channel channel;
    FuzzInput input(data, size);
    channel.Run(input);
    return 0;
}
