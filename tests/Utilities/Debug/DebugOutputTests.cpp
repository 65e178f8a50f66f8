#include "Utilities/Debug/DebugOutput.h"

#include "Platform/DatagramSocket.h"
#include "DebuggerOutputCapture.h"
#include "Utilities/Storage/StringT.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace ZV {
namespace {

using ::testing::ElementsAre;

constexpr int kPatientMilliseconds = 5000;

std::string Letters(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    return text;
}

// Debugger output is captured, and every test starts without a datagram socket.
class DebugOutputTest : public ::testing::Test {
protected:
    DebugOutputTest() { ResetDebugDatagramSender(); }
    ~DebugOutputTest() override { ResetDebugDatagramSender(); }

    // A socket on the loopback address that the debug output can send to.
    struct Receiver {
        Receiver()
        {
            EXPECT_TRUE(socket.Open());
            EXPECT_TRUE(socket.Bind("127.0.0.1", 0));
            port = socket.GetLocalPort();
        }
        std::string Next()
        {
            std::string datagram;
            return socket.Receive(datagram, kPatientMilliseconds) ? datagram : "<no datagram>";
        }
        Platform::DatagramSocket socket;
        int port = 0;
    };

    Testing::DebuggerOutputCapture mDebugger;
};

TEST_F(DebugOutputTest, WithoutAPortEachFlushHandsOneMessageToTheDebugger)
{
    DebugOutput output;
    output.GetNarrowTarget() << "update started " << 42 << std::endl;
    output.GetNarrowTarget().flush();
    output.GetWideTarget() << L"Gr\u00fc\u00dfe " << WideString("\xF0\x9F\x98\x80").GetData() << std::endl;
    EXPECT_THAT(mDebugger.Texts(), ElementsAre("update started 42\n", "", "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\n"))
        << "an empty flush hands on an empty text; wide text arrives as UTF-8";
}

TEST_F(DebugOutputTest, LongTextGoesOutInPiecesOf1023CharactersWrittenInBulkOrOneByOne)
{
    DebugOutput output;
    const std::string text = Letters(2500);
    output.GetNarrowTarget().write(text.data(), static_cast<std::streamsize>(text.size()));
    EXPECT_EQ(mDebugger.Texts().size(), 2u) << "the remainder waits for the flush";
    output.GetNarrowTarget().flush();
    EXPECT_THAT(mDebugger.Texts(), ElementsAre(text.substr(0, 1023), text.substr(1023, 1023), text.substr(2046)));

    mDebugger.Clear();
    for (int i = 0; i < 1030; ++i) {
        output.GetNarrowTarget().put('x');
    }
    output.GetNarrowTarget().flush();
    EXPECT_THAT(mDebugger.Texts(), ElementsAre(std::string(1023, 'x'), std::string(7, 'x'))) << "one by one too";
}

TEST_F(DebugOutputTest, NulEndsTheMessageAndWhatIsLeftIsSentWhenTheOutputGoes)
{
    {
        DebugOutput output;
        output.GetNarrowTarget().write("cut\0off", 7);
        output.GetNarrowTarget().flush();
        output.GetNarrowTarget() << "unflushed";
    }
    EXPECT_THAT(mDebugger.Texts(), ElementsAre("cut", "unflushed"));
}

TEST_F(DebugOutputTest, UdpTargetGetsTheBannerThenTheTextInDatagramsOfAtMost1023)
{
    Receiver receiver;
    SetDebugTarget("127.0.0.1", receiver.port);
    const std::string text = Letters(2500);
    GetDebugOutput().GetNarrowTarget().write(text.data(), static_cast<std::streamsize>(text.size()));
    GetDebugOutput().GetNarrowTarget().flush();
    SetDebugTarget(nullptr, -1);

    EXPECT_EQ(receiver.Next(), "*** APPLICATION Launched on ");
    EXPECT_EQ(receiver.Next(), "127.0.0.1");
    EXPECT_EQ(receiver.Next(), "***\n");
    EXPECT_EQ(receiver.Next(), text.substr(0, 1023));
    EXPECT_EQ(receiver.Next(), text.substr(1023, 1023));
    EXPECT_EQ(receiver.Next(), text.substr(2046));
    EXPECT_TRUE(mDebugger.Texts().empty()) << "nothing went to the debugger";
}

TEST_F(DebugOutputTest, ThreadsSharingAStreamNeverMixCharactersOfTheirWrites)
{
    DebugOutput output;
    constexpr int kThreads = 6;
    constexpr int kLines = 300;
    std::vector<std::thread> writers;
    for (int thread = 0; thread < kThreads; ++thread) {
        writers.emplace_back([&output, thread] {
            std::ostream& stream = output.GetNarrowTarget();
            for (int line = 0; line < kLines; ++line) {
                const std::string text = "thread " + std::to_string(thread) + " line " + std::to_string(line) + "\n";
                stream.write(text.data(), static_cast<std::streamsize>(text.size()));
                if (line % 7 == 0) {
                    stream.flush();
                }
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    output.GetNarrowTarget().flush();

    std::string all;
    for (const std::string& message : mDebugger.Texts()) {
        EXPECT_LE(message.size(), 1023u);
        all += message;
    }
    std::vector<std::string> lines;
    std::istringstream split(all);
    for (std::string line; std::getline(split, line);) {
        lines.push_back(line);
    }
    std::vector<std::string> expected;
    for (int thread = 0; thread < kThreads; ++thread) {
        for (int line = 0; line < kLines; ++line) {
            expected.push_back("thread " + std::to_string(thread) + " line " + std::to_string(line));
        }
    }
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace ZV
