#include "Platform/DatagramSocket.h"
#include "Platform/DebuggerOutput.h"
#include "Platform/StandardError.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ZV::Platform {
namespace {

using Testing::ContentOf;

constexpr int kPatientMilliseconds = 5000;

TEST(DebuggerOutput, ReachesStandardErrorOnlyWhileZvDebugOutputIsSet)
{
    Testing::TemporaryFolder folder;
    const std::string captured = folder / "stderr.txt";
    {
        StandardErrorRedirection redirection(captured.c_str());
        ASSERT_TRUE(redirection.IsActive());
        setenv("ZV_DEBUG_OUTPUT", "1", 1);
        WriteDebuggerOutput("shown \xE2\x9C\x93\n");
        setenv("ZV_DEBUG_OUTPUT", "", 1);
        WriteDebuggerOutput("hidden while empty\n");
        unsetenv("ZV_DEBUG_OUTPUT");
        WriteDebuggerOutput("hidden while unset\n");
        WriteToStandardError("direct\n", 7);
    }
    EXPECT_EQ(ContentOf(captured), "shown \xE2\x9C\x93\ndirect\n");
}

TEST(DatagramSocket, DatagramSentToABoundLoopbackSocketArrivesWhole)
{
    DatagramSocket receiver;
    ASSERT_TRUE(receiver.Open());
    ASSERT_TRUE(receiver.Bind("127.0.0.1", 0));
    const std::uint16_t port = receiver.GetLocalPort();
    ASSERT_NE(port, 0);

    DatagramSocket sender;
    ASSERT_TRUE(sender.Open());
    EXPECT_FALSE(sender.Send("x", 1)) << "no destination yet";
    EXPECT_FALSE(sender.SetDestination("not an address", port));
    ASSERT_TRUE(sender.SetDestination("127.0.0.1", port));
    const std::string payload("with\0nul", 8);
    ASSERT_TRUE(sender.Send(payload.data(), payload.size()));
    std::string datagram;
    ASSERT_TRUE(receiver.Receive(datagram, kPatientMilliseconds));
    EXPECT_EQ(datagram, payload);
    EXPECT_FALSE(receiver.Receive(datagram, 10)) << "nothing more was sent";
}

TEST(DatagramSocket, NumericAndLocalNamesResolveToIpv4Text)
{
    EXPECT_EQ(ResolveHostAddress("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(ResolveHostAddress("localhost"), "127.0.0.1");
    EXPECT_EQ(ResolveHostAddress(""), "");
    EXPECT_EQ(ResolveHostAddress(nullptr), "");
}

}  // namespace
}  // namespace ZV::Platform
