#include "Platform/SimulatedMidiDriver.h"

#include "Platform/MidiTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

using Testing::Bytes;
using Testing::ParseHex;
using Testing::RecordingMidiClient;

Simulator::SimulationSettings UnlimitedSpeed()
{
    Simulator::SimulationSettings settings;
    settings.BytesPerSecond = 0;
    return settings;
}

// Both ends of the decoy, which sends back what it receives: a loop through the driver.
struct ThroughLoop {
    explicit ThroughLoop(const Simulator::SimulationSettings& settings, RecordingMidiClient& client)
        : System(std::make_shared<Simulator::SimulatedMidiSystem>(settings)), Driver(System)
    {
        Driver.ListInputDevices();
        Driver.ListOutputDevices();
        Input = Driver.OpenInput(0, client);
        Output = Driver.OpenOutput(0, client);
    }

    bool Send(const Bytes& message, std::uint64_t token)
    {
        return Output->SendLongMessage(message.data(), message.size(), token);
    }

    std::shared_ptr<Simulator::SimulatedMidiSystem> System;
    SimulatedMidiDriver Driver;
    std::unique_ptr<MidiInput> Input;
    std::unique_ptr<MidiOutput> Output;
};

TEST(SimulatedMidiDriver, DecoyStandsBeforeTheDevicesInBothLists)
{
    Simulator::SimulationSettings settings;
    settings.Devices.push_back(settings.Devices.front());
    settings.Devices.back().PortName = "VT5 Display Left";
    SimulatedMidiDriver driver(std::make_shared<Simulator::SimulatedMidiSystem>(settings));
    const std::vector<std::string> expected{"Midi Through Port-0", "Halvista Left", "VT5 Display Left"};
    EXPECT_EQ(driver.ListInputDevices(), expected);
    EXPECT_EQ(driver.ListOutputDevices(), expected);

    RecordingMidiClient client;
    EXPECT_NE(driver.OpenInput(2, client), nullptr);
    EXPECT_NE(driver.OpenOutput(2, client), nullptr);
    EXPECT_EQ(driver.OpenInput(3, client), nullptr) << "a number beyond the listing opens nothing";
    EXPECT_EQ(driver.OpenOutput(3, client), nullptr);
}

TEST(SimulatedMidiDriver, ShortMessagesAndSysExArriveInOrderThroughCallbacksOnADriverThread)
{
    RecordingMidiClient client;
    ThroughLoop loop(UnlimitedSpeed(), client);
    ASSERT_NE(loop.Input, nullptr);
    ASSERT_NE(loop.Output, nullptr);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    ASSERT_TRUE(loop.Input->Start());

    const Bytes longMessage = Testing::SysExOfLength(600);
    const Bytes exactlyOneBuffer = Testing::SysExOfLength(256);
    EXPECT_TRUE(loop.Output->SendShortMessage(0x7F3C90));
    EXPECT_TRUE(loop.Output->SendShortMessage(0x05C0));
    EXPECT_TRUE(loop.Output->SendShortMessage(0xF8));
    EXPECT_TRUE(loop.Send(longMessage, 7));
    EXPECT_TRUE(loop.Send(exactlyOneBuffer, 8));
    ASSERT_TRUE(client.WaitForMessages(5));
    ASSERT_TRUE(client.WaitForDones(2));

    const std::vector<Bytes> messages = client.Messages();
    EXPECT_EQ(messages[0], ParseHex("90 3C 7F"));
    EXPECT_EQ(messages[1], ParseHex("C0 05"));
    EXPECT_EQ(messages[2], ParseHex("F8"));
    EXPECT_EQ(messages[3], longMessage);
    EXPECT_EQ(messages[4], exactlyOneBuffer);
    const std::vector<RecordingMidiClient::Fill> fills = client.Fills();
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(fills[0].Recorded, 256u);
    EXPECT_EQ(fills[1].Recorded, 256u);
    EXPECT_EQ(fills[2].Recorded, 88u);
    EXPECT_EQ(fills[3].Recorded, 256u);
    const std::vector<RecordingMidiClient::Done> dones = client.Dones();
    EXPECT_EQ(dones[0].Token, 7u);
    EXPECT_EQ(dones[1].Token, 8u);
    EXPECT_TRUE(dones[0].Delivered && dones[1].Delivered);
    EXPECT_FALSE(client.CalledOn(std::this_thread::get_id())) << "callbacks must come on the driver's thread";
}

TEST(SimulatedMidiDriver, RealTimeByteInsideSysExArrivesOnItsOwnAndAStatusByteCutsTheMessageShort)
{
    RecordingMidiClient client;
    ThroughLoop loop(UnlimitedSpeed(), client);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    ASSERT_TRUE(loop.Input->Start());

    EXPECT_TRUE(loop.Send(ParseHex("F0 01 F8 02 F7"), 1));
    EXPECT_TRUE(loop.Send(ParseHex("F0 03 04 90 3C 7F"), 2));
    EXPECT_TRUE(loop.Send(ParseHex("F0 05 F7"), 3));
    ASSERT_TRUE(client.WaitForMessages(4));

    EXPECT_EQ(client.MessagesInHex(), (std::vector<std::string>{"F8", "F0 01 02 F7", "90 3C 7F", "F0 05 F7"}));
    const std::vector<RecordingMidiClient::Fill> fills = client.Fills();
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[1].Kind, MidiSysExFill::Interrupted);
    EXPECT_EQ(fills[1].Recorded, 3u) << "the cut message's bytes come back marked, not as a message";
}

TEST(SimulatedMidiDriver, MessageFindingNoFreeBufferIsDroppedWholeAndReportedBeforeTheNextOne)
{
    RecordingMidiClient client(1, 4);
    ThroughLoop loop(UnlimitedSpeed(), client);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    ASSERT_TRUE(loop.Input->Start());

    client.HandBuffersBack(false);
    EXPECT_TRUE(loop.Send(ParseHex("F0 01 02 03 04 05 F7"), 1));
    ASSERT_TRUE(client.WaitForDones(1));
    client.HandBuffersBack(true);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    EXPECT_TRUE(loop.Send(ParseHex("F0 06 F7"), 2));
    ASSERT_TRUE(client.WaitForMessages(1));

    EXPECT_EQ(client.MessagesInHex(), std::vector<std::string>{"F0 06 F7"})
        << "the message's first buffer must not be joined to the next message";
    const std::vector<RecordingMidiClient::Fill> fills = client.Fills();
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].Kind, MidiSysExFill::Filled);
    EXPECT_EQ(fills[1].Kind, MidiSysExFill::Interrupted);
    EXPECT_EQ(fills[1].Recorded, 0u);
    EXPECT_EQ(fills[2].Kind, MidiSysExFill::Filled);
}

TEST(SimulatedMidiDriver, StoppedInputDeliversNothingAndForgetsItsBuffers)
{
    RecordingMidiClient client;
    ThroughLoop loop(UnlimitedSpeed(), client);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    loop.Input->Stop();
    ASSERT_TRUE(loop.Input->Start());
    EXPECT_TRUE(loop.Send(ParseHex("F0 01 F7"), 1));
    EXPECT_TRUE(loop.Output->SendShortMessage(0xFE));
    ASSERT_TRUE(client.WaitForMessages(1));
    EXPECT_EQ(client.MessagesInHex(), std::vector<std::string>{"FE"})
        << "SysEx needs buffers given after the stop; short messages need none";
}

TEST(SimulatedMidiDriver, LongMessageTakesItsTimeOnTheCableAndAClosedOutputGetsNoDone)
{
    Simulator::SimulationSettings settings;
    settings.BytesPerSecond = 10'000;
    RecordingMidiClient client;
    ThroughLoop loop(settings, client);
    RecordingMidiClient closedClient;
    std::unique_ptr<MidiOutput> closedOutput = loop.Driver.OpenOutput(0, closedClient);
    const Bytes message = Testing::SysExOfLength(500);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_TRUE(closedOutput->SendLongMessage(message.data(), message.size(), 1));
    closedOutput.reset();

    EXPECT_TRUE(loop.Send(message, 2));
    ASSERT_TRUE(client.WaitForDones(1));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(99))
        << "two 500-byte messages at 10,000 bytes a second, one after the other on one cable";
    EXPECT_TRUE(closedClient.Dones().empty()) << "the earlier message finished first, after its output closed";
    EXPECT_FALSE(loop.Output->SendShortMessage(0x3C)) << "a packing without a status byte is refused";
    EXPECT_FALSE(loop.Output->SendLongMessage(message.data(), 0, 3)) << "so is an empty message";
}

TEST(SimulatedMidiDriver, StuckCableTakesLongMessagesAndNeverCallsDone)
{
    Simulator::SimulationSettings settings = UnlimitedSpeed();
    settings.StuckLongMessages = true;
    RecordingMidiClient client;
    ThroughLoop loop(settings, client);
    ASSERT_TRUE(client.GiveBuffersTo(*loop.Input));
    ASSERT_TRUE(loop.Input->Start());

    EXPECT_TRUE(loop.Send(ParseHex("F0 01 F7"), 1)) << "the driver takes the message";
    EXPECT_TRUE(loop.Output->SendShortMessage(0xF8));
    ASSERT_TRUE(client.WaitForMessages(1));
    EXPECT_EQ(client.MessagesInHex(), std::vector<std::string>{"F8"})
        << "short messages still pass; the long one never arrives";
    EXPECT_TRUE(client.Dones().empty());
}

// Closes its own input from inside the first callback.
class ClosingOnFirstMessage final : public MidiInputCallback {
public:
    void OnShortMessage(MidiInput&, std::uint32_t, std::uint32_t) override
    {
        ++Calls;
        Input.reset();
    }
    void OnSysExBuffer(MidiInput&, MidiSysExBuffer&, MidiSysExFill) override { ++Calls; }

    std::unique_ptr<MidiInput> Input;
    int Calls = 0;
};

TEST(SimulatedMidiDriver, InputClosedFromItsOwnCallbackGetsNoFurtherCallbacks)
{
    RecordingMidiClient witness;
    ThroughLoop loop(UnlimitedSpeed(), witness);
    ASSERT_TRUE(loop.Input->Start());
    ClosingOnFirstMessage closing;
    closing.Input = loop.Driver.OpenInput(0, closing);
    ASSERT_TRUE(closing.Input->Start());

    const Bytes messages = ParseHex("F8 FA FC");
    EXPECT_TRUE(loop.Send(messages, 1)) << "three messages in one delivery";
    EXPECT_TRUE(loop.Output->SendShortMessage(0xFE));
    ASSERT_TRUE(witness.WaitForMessages(4));
    EXPECT_EQ(closing.Calls, 1);
    EXPECT_EQ(closing.Input, nullptr);
}

}  // namespace
}  // namespace ZV::Platform
