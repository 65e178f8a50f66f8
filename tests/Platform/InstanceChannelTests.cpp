#include "Platform/EventSource.h"
#include "Platform/InstanceChannel.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV::Platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

constexpr std::int32_t kTag = 0x465;
// Long enough that only a hang makes a wait fail.
constexpr auto kHangGuard = 30s;
constexpr uid_t kOtherUser = 65534;

std::string Header(std::int32_t tag, std::uint32_t length)
{
    std::string header;
    for (const std::uint32_t value : {static_cast<std::uint32_t>(tag), length}) {
        for (int index = 0; index < 4; ++index) {
            header += static_cast<char>(value >> (8 * index) & 0xFF);
        }
    }
    return header;
}

sockaddr_un AddressOf(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    return address;
}

// Whether the listener has closed the connection (after its answer, if any), without waiting.
bool IsAnswered(int connection)
{
    pollfd wait{connection, POLLIN, 0};
    return poll(&wait, 1, 0) > 0;
}

// A first instance listening in a folder of its own, with what it received.
class InstanceChannelTest : public ::testing::Test {
protected:
    InstanceChannelTest()
    {
        char folder[] = "/tmp/zv-channel-XXXXXX";
        mFolder = mkdtemp(folder);
        ListenAt(mFolder + "/handover");
    }
    ~InstanceChannelTest() override
    {
        mListener.reset();
        std::filesystem::remove_all(mFolder);
    }

    void ListenAt(const std::string& path)
    {
        mListener = nullptr;
        mPath = path;
        mListener = InstanceChannelListener::Listen(mPath);
        if (mListener) {
            mListener->SetReceiver([this](std::int32_t tag, const char* data, std::size_t size) {
                mReceived.push_back(std::to_string(tag) + ":" + std::string(data, size));
            });
        }
    }

    // Dispatches as the loop does, waking on the listener's descriptor, until the condition holds; false when the
    // guard ran out first.
    bool ServeUntil(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + kHangGuard;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            const int descriptor = mListener->GetDescriptor();
            WaitForDescriptors(&descriptor, 1, 100);
            while (mListener->HasPendingEvent()) {
                (void)mListener->DispatchEvent();
            }
        }
        return true;
    }

    // A later start on a thread of its own while the first instance serves.
    HandOver SendWhileServing(const std::string& commandLine)
    {
        std::atomic<bool> done{false};
        HandOver result = HandOver::unanswered;
        std::thread second([&] {
            result = SendToFirstInstance(mPath, kTag, commandLine, 5000);
            done = true;
        });
        EXPECT_TRUE(ServeUntil([&] { return done.load(); }));
        second.join();
        return result;
    }

    // A later start while nobody serves; nullopt when it did not return within the guard.
    std::optional<HandOver> SendUnserved(int timeoutMs)
    {
        auto sending = std::async(std::launch::async,
                                  [this, timeoutMs] { return SendToFirstInstance(mPath, kTag, "-SILENT", timeoutMs); });
        if (sending.wait_for(kHangGuard) == std::future_status::ready) {
            return sending.get();
        }
        // The channel's end wakes a sender stuck in it, so that the test can end.
        mListener.reset();
        (void)sending.get();
        return std::nullopt;
    }

    // Connects and sends the bytes as they are; the connection stays open for writing.
    int Connect(const std::string& bytes)
    {
        const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = AddressOf(mPath);
        EXPECT_EQ(connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        Send(connection, bytes);
        return connection;
    }

    static void Send(int connection, const std::string& bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t moved = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (moved <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(moved);
        }
    }

    // Sends the bytes, closes the writing side, serves until the listener is done with the connection, and gives
    // its answer: the acknowledgement or nothing.
    std::string AnswerTo(const std::string& bytes)
    {
        const int connection = Connect(bytes);
        shutdown(connection, SHUT_WR);
        EXPECT_TRUE(ServeUntil([&] { return IsAnswered(connection); }));
        char answer[2];
        const ssize_t received = recv(connection, answer, sizeof answer, MSG_DONTWAIT);
        close(connection);
        return std::string(answer, received > 0 ? static_cast<std::size_t>(received) : 0);
    }

    std::string mFolder;
    std::string mPath;
    std::unique_ptr<InstanceChannelListener> mListener;
    std::vector<std::string> mReceived;
};

TEST_F(InstanceChannelTest, ASecondInstanceHandsItsCommandLineOverOnceAndIsAcknowledged)
{
    ASSERT_TRUE(mListener);
    EXPECT_EQ(SendWhileServing("-SILENT -ALWAYS_UPDATE"), HandOver::delivered);
    EXPECT_THAT(mReceived, ElementsAre("1125:-SILENT -ALWAYS_UPDATE"));
    EXPECT_FALSE(mListener->HasPendingEvent());
    EXPECT_EQ(SendToFirstInstance(mFolder + "/nobody", kTag, "x", 100), HandOver::unanswered);
}

TEST_F(InstanceChannelTest, AChannelInAFolderTooDeepForASocketAddressStillHandsOverAndKeepsItsChecks)
{
    // As under a long home folder: the path is longer than the 107 bytes a socket address holds.
    std::string deep = mFolder;
    while (deep.size() < 150) {
        deep += "/a-rather-long-folder-name";
    }
    std::filesystem::create_directories(deep);
    ListenAt(deep + "/socket");
    ASSERT_TRUE(mListener);
    EXPECT_TRUE(std::filesystem::is_socket(mPath));
    EXPECT_EQ(SendWhileServing("-SILENT"), HandOver::delivered);
    EXPECT_THAT(mReceived, ElementsAre("1125:-SILENT"));
    EXPECT_EQ(SendToFirstInstance(deep + "/nobody", kTag, "x", 100), HandOver::unanswered);
    std::ofstream(deep + "/file") << "not a socket";
    EXPECT_EQ(SendToFirstInstance(deep + "/file", kTag, "x", 100), HandOver::foreign);
    EXPECT_FALSE(InstanceChannelListener::Listen(deep + "/file"));
}

TEST_F(InstanceChannelTest, BadMessagesAreCutAtTheirLengthOrRefusedAndTheFirstInstanceGoesOn)
{
    ASSERT_TRUE(mListener);
    const std::string kAcknowledged = "\x01";
    // Shorter than it says.
    EXPECT_EQ(AnswerTo(Header(kTag, 100) + "only ten b"), "");
    // Longer than it says: cut at its length; no terminator needed.
    EXPECT_EQ(AnswerTo(Header(kTag, 4) + "-SILENT and more"), kAcknowledged);
    // Far larger than any command line: refused without being read.
    EXPECT_EQ(AnswerTo(Header(kTag, 10u << 20) + std::string(64 * 1024, 'x')), "");
    // A broken header, and a peer that says nothing at all.
    EXPECT_EQ(AnswerTo("\x65\x04"), "");
    EXPECT_EQ(AnswerTo(""), "");
    EXPECT_THAT(mReceived, ElementsAre("1125:-SIL"));
    EXPECT_EQ(SendWhileServing("again"), HandOver::delivered);
    EXPECT_THAT(mReceived, ElementsAre("1125:-SIL", "1125:again"));
}

TEST_F(InstanceChannelTest, ALaterStartEndsWithinItsBoundWhenTheFirstNeverReadsEvenWithAFullBacklog)
{
    ASSERT_TRUE(mListener);
    // Nobody dispatches: a first instance busy elsewhere. With room in the backlog, then with none.
    EXPECT_EQ(SendUnserved(300), HandOver::unanswered);
    std::vector<int> waiting;
    for (;;) {
        const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const sockaddr_un address = AddressOf(mPath);
        if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(connection);
            break;
        }
        waiting.push_back(connection);
        ASSERT_LT(waiting.size(), 1000u);
    }
    EXPECT_EQ(SendUnserved(300), HandOver::unanswered);
    for (const int connection : waiting) {
        close(connection);
    }
}

TEST_F(InstanceChannelTest, HalfSentHandOversNeverHoldTheFirstInstanceAndGoAtTheirDeadlineOrForNewerOnes)
{
    ASSERT_TRUE(mListener);
    // Each taken as it comes, as the loop takes them.
    const auto connectServed = [&](const std::string& bytes) {
        const int connection = Connect(bytes);
        EXPECT_TRUE(ServeUntil([&] { return !mListener->HasPendingEvent(); }));
        return connection;
    };
    // One more than the listener reads side by side, each stopping in the middle of its header.
    std::vector<int> stalled;
    for (std::size_t index = 0; index <= InstanceChannelListener::kMostConnections; ++index) {
        stalled.push_back(connectServed(Header(kTag, 5).substr(0, 4)));
    }
    // A whole message that comes in pieces among them; taking it pushes out the second oldest.
    const std::string message = Header(kTag, 5) + "-AUTO";
    const int pieces = connectServed(message.substr(0, 3));
    ASSERT_TRUE(ServeUntil([&] { return IsAnswered(stalled[0]) && IsAnswered(stalled[1]); }));
    Send(pieces, message.substr(3, 6));
    ASSERT_TRUE(ServeUntil([&] { return !mListener->HasPendingEvent(); }));
    Send(pieces, message.substr(9));
    ASSERT_TRUE(ServeUntil([&] { return !mReceived.empty(); }));
    EXPECT_THAT(mReceived, ElementsAre("1125:-AUTO"));
    EXPECT_TRUE(IsAnswered(pieces));
    // None of the others was waited for: all are still open, until their time is up.
    for (std::size_t index = 2; index < stalled.size(); ++index) {
        EXPECT_FALSE(IsAnswered(stalled[index])) << index;
    }
    EXPECT_TRUE(ServeUntil([&] {
        return std::all_of(stalled.begin(), stalled.end(), [](int connection) { return IsAnswered(connection); });
    }));
    for (const int connection : stalled) {
        char answer = 0;
        EXPECT_LE(recv(connection, &answer, 1, MSG_DONTWAIT), 0);
        close(connection);
    }
    close(pieces);
    EXPECT_THAT(mReceived, ElementsAre("1125:-AUTO"));
}

TEST_F(InstanceChannelTest, NeitherEndTalksThroughAnythingButASocketOfItsOwnUserNorToAnotherUser)
{
    ASSERT_TRUE(mListener);
    const std::string file = mFolder + "/file";
    std::ofstream(file) << "not a socket";
    const std::string link = mFolder + "/link";
    ASSERT_EQ(symlink(mPath.c_str(), link.c_str()), 0);
    const std::pair<std::string, std::string> planted[] = {{file, "is a plain file, not a socket"},
                                                           {link, "is a link"},
                                                           {mFolder, "is a folder, not a socket"}};
    for (const auto& [path, said] : planted) {
        EXPECT_FALSE(InstanceChannelListener::Listen(path)) << path;
        std::string found;
        EXPECT_EQ(SendToFirstInstance(path, kTag, "-SILENT", 5000, &found), HandOver::foreign) << path;
        EXPECT_EQ(found, said);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed for the rest, and only root can act as one";
    }

    // Another user that listens on a socket file of ours.
    const std::string theirs = mFolder + "/theirs";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t listener = fork();
    if (listener == 0) {
        const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = AddressOf(theirs);
        // Bound as this user, listening as the other.
        const bool ok = bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                        setresuid(kOtherUser, kOtherUser, kOtherUser) == 0 && listen(listening, 8) == 0;
        const char state = ok ? 1 : 0;
        (void)!write(ready[1], &state, 1);
        for (;;) {
            pause();
        }
    }
    close(ready[1]);
    char state = 0;
    EXPECT_EQ(read(ready[0], &state, 1), 1);
    close(ready[0]);
    EXPECT_EQ(state, 1);
    std::string found;
    EXPECT_EQ(SendToFirstInstance(theirs, kTag, "-SILENT", 5000, &found), HandOver::foreign);
    EXPECT_EQ(found, "is listened on by another user");
    kill(listener, SIGKILL);
    waitpid(listener, nullptr, 0);

    // Another user that reaches our socket and sends a whole message: never read, never acknowledged.
    ASSERT_EQ(chmod(mFolder.c_str(), 0711), 0);
    ASSERT_EQ(chmod(mPath.c_str(), 0777), 0);
    const pid_t sender = fork();
    if (sender == 0) {
        if (setresuid(kOtherUser, kOtherUser, kOtherUser) != 0) {
            _exit(2);
        }
        const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = AddressOf(mPath);
        if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            _exit(3);
        }
        const std::string message = Header(kTag, 4) + "evil";
        (void)!send(connection, message.data(), message.size(), MSG_NOSIGNAL);
        char answer = 0;
        _exit(recv(connection, &answer, 1, 0) == 1 ? 1 : 0);
    }
    int status = -1;
    EXPECT_TRUE(ServeUntil([&] { return waitpid(sender, &status, WNOHANG) == sender; }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_THAT(mReceived, IsEmpty());
}

}  // namespace
}  // namespace ZV::Platform
