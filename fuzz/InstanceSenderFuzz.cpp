// A later start handing its command line over, to a first instance that answers as the input says: it takes the
// message and answers with any bytes, hangs up after any part of it, or never takes the connection. The sender puts
// exactly its message on the wire, counts it delivered only when the first answer byte is the acknowledgement, and
// returns within its time-out whatever the other end does.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "InstanceChannelPeer.h"
#include "Platform/InstanceChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <string>

namespace {

using namespace ZV::Fuzz;
using ZV::Platform::HandOver;
using ZV::Platform::InstanceChannelListener;
using ZV::Platform::SendToFirstInstance;

// Long enough for any answer to come; short enough that a first instance that never answers costs little.
constexpr int kAnsweringTimeoutMs = 5000;
constexpr int kSilentTimeoutMs = 20;

enum class Behaviour { answer, hangUp, neverAccept };

// A first instance of the test's own, listening without the listener's rules.
class FirstInstance {
public:
    FirstInstance() : mPath(MakeChannelPath())
    {
        mSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const sockaddr_un address = ChannelAddress(mPath);
        ZV_FUZZ_CHECK(bind(mSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
        ZV_FUZZ_CHECK(listen(mSocket, 8) == 0);
    }
    ~FirstInstance()
    {
        close(mSocket);
        RemoveChannelFolder(mPath);
    }

    const std::string& GetPath() const { return mPath; }

    // Takes one connection, reads up to the count of bytes (all of a whole message at most), answers, hangs up:
    // what it read.
    std::string Serve(std::size_t count, const std::string& answer)
    {
        pollfd wait{mSocket, POLLIN, 0};
        ZV_FUZZ_CHECK(Uninterrupted([&] { return poll(&wait, 1, kAnsweringTimeoutMs); }) == 1);
        const int connection = accept4(mSocket, nullptr, nullptr, SOCK_CLOEXEC);
        ZV_FUZZ_CHECK(connection >= 0);
        std::string read;
        char buffer[4096];
        while (read.size() < count) {
            const ssize_t moved = Uninterrupted(
                [&] { return recv(connection, buffer, std::min(sizeof buffer, count - read.size()), 0); });
            if (moved <= 0) {
                break;
            }
            read.append(buffer, static_cast<std::size_t>(moved));
        }
        (void)SendToChannel(connection, answer);
        close(connection);
        return read;
    }

    // Lets go of the connections it never took.
    void Forget()
    {
        for (int connection; (connection = accept4(mSocket, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            close(connection);
        }
    }

private:
    std::string mPath;
    int mSocket = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FirstInstance first;
    FuzzInput input(data, size);
    const auto behaviour = static_cast<Behaviour>(input.TakeByte() % 3);
    const std::size_t hangUpAfter = input.Take<std::uint16_t>();
    const std::string answer = input.TakeUntil(0);
    const auto tag = static_cast<std::int32_t>(input.Take<std::uint32_t>());
    const std::string commandLine = input.TakeRest();
    const bool fits = commandLine.size() <= InstanceChannelListener::kLargestMessage;

    const std::string message =
        ChannelHeader(static_cast<std::uint32_t>(tag), static_cast<std::uint32_t>(commandLine.size())) + commandLine;

    const int timeoutMs = behaviour == Behaviour::neverAccept ? kSilentTimeoutMs : kAnsweringTimeoutMs;
    auto sending = std::async(std::launch::async,
                              [&] { return SendToFirstInstance(first.GetPath(), tag, commandLine, timeoutMs); });
    std::string read;
    if (behaviour != Behaviour::neverAccept && fits) {
        read = first.Serve(behaviour == Behaviour::answer ? message.size() : std::min(hangUpAfter, message.size()),
                           behaviour == Behaviour::answer ? answer : std::string());
    }
    const HandOver result = sending.get();
    first.Forget();

    const bool acknowledged = behaviour == Behaviour::answer && fits && !answer.empty() && answer[0] == '\x01';
    ZV_FUZZ_CHECK(result == (acknowledged ? HandOver::delivered : HandOver::unanswered));
    if (behaviour == Behaviour::answer && fits) {
        ZV_FUZZ_CHECK(read == message);
    } else if (behaviour == Behaviour::hangUp && fits) {
        ZV_FUZZ_CHECK(read == message.substr(0, read.size()));
    }
    return 0;
}
