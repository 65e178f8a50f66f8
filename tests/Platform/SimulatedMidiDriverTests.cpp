#include "Platform/SimulatedMidiDriver.h"

#include "Platform/MidiTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

using Testing::Bytes;
using Testing::ParseHex;
using Testing::RecordingMidiClient;

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
    ThroughLoop loop(Testing::UnlimitedSpeed(), witness);
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
