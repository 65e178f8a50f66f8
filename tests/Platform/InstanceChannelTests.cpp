#include "Platform/EventSource.h"
#include "Platform/InstanceChannel.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Platform {
namespace {

using ::testing::ElementsAre;

constexpr std::int32_t kTag = 0x465;

// A first instance listening in a folder of its own, with what it received.
class InstanceChannelTest : public ::testing::Test {
protected:
    InstanceChannelTest()
    {
        char folder[] = "/tmp/zv-channel-XXXXXX";
        mFolder = mkdtemp(folder);
        mPath = mFolder + "/handover";
        mListener = InstanceChannelListener::Listen(mPath);
        mListener->SetReceiver([this](std::int32_t tag, const char* data, std::size_t size) {
            mReceived.push_back(std::to_string(tag) + ":" + std::string(data, size));
        });
    }
    ~InstanceChannelTest() override
    {
        mListener.reset();
        rmdir(mFolder.c_str());
    }

    // Waits for a connection, as the loop does, and takes it.
    bool TakeConnection()
    {
        const int descriptor = mListener->GetDescriptor();
        while (!mListener->HasPendingEvent()) {
            WaitForDescriptors(&descriptor, 1, 1000);
        }
        return mListener->DispatchEvent();
    }

    // Connects and sends the bytes as they are, then closes its side for writing.
    int SendRaw(const std::string& bytes)
    {
        const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, mPath.c_str());
        EXPECT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t moved = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (moved <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(moved);
        }
        shutdown(connection, SHUT_WR);
        return connection;
    }

    static std::string Header(std::int32_t tag, std::uint32_t length)
    {
        std::string header;
        for (const std::uint32_t value : {static_cast<std::uint32_t>(tag), length}) {
            for (int index = 0; index < 4; ++index) {
                header += static_cast<char>(value >> (8 * index) & 0xFF);
            }
        }
        return header;
    }

    std::string mFolder;
    std::string mPath;
    std::unique_ptr<InstanceChannelListener> mListener;
    std::vector<std::string> mReceived;
};

TEST_F(InstanceChannelTest, ASecondInstanceHandsItsCommandLineOverOnceAndIsAcknowledged)
{
    ASSERT_TRUE(mListener);
    bool acknowledged = false;
    std::thread second([&] { acknowledged = SendToFirstInstance(mPath, kTag, "-SILENT -ALWAYS_UPDATE", 5000); });
    EXPECT_TRUE(TakeConnection());
    second.join();
    EXPECT_TRUE(acknowledged);
    EXPECT_THAT(mReceived, ElementsAre("1125:-SILENT -ALWAYS_UPDATE"));
    EXPECT_FALSE(mListener->HasPendingEvent());
    EXPECT_FALSE(SendToFirstInstance(mFolder + "/nobody", kTag, "x", 1000));
}

TEST_F(InstanceChannelTest, BadMessagesAreCutAtTheirLengthOrRefusedAndTheFirstInstanceGoesOn)
{
    ASSERT_TRUE(mListener);
    // Shorter than it says.
    close(SendRaw(Header(kTag, 100) + "only ten b"));
    EXPECT_FALSE(TakeConnection());
    // Longer than it says: cut at its length; no terminator needed.
    close(SendRaw(Header(kTag, 4) + "-SILENT and more"));
    EXPECT_TRUE(TakeConnection());
    // Far larger than any command line: refused without being read.
    close(SendRaw(Header(kTag, 10u << 20) + std::string(64 * 1024, 'x')));
    EXPECT_FALSE(TakeConnection());
    // A broken header, and a peer that says nothing at all.
    close(SendRaw("\x65\x04"));
    EXPECT_FALSE(TakeConnection());
    const int silent = SendRaw("");
    EXPECT_FALSE(TakeConnection());
    close(silent);
    EXPECT_THAT(mReceived, ElementsAre("1125:-SIL"));
    std::thread second([&] { EXPECT_TRUE(SendToFirstInstance(mPath, kTag, "again", 5000)); });
    EXPECT_TRUE(TakeConnection());
    second.join();
    EXPECT_THAT(mReceived, ElementsAre("1125:-SIL", "1125:again"));
}

}  // namespace
}  // namespace ZV::Platform
