#include "Platform/AlsaMidiDriver.h"

#include "Platform/MidiTestSupport.h"
#include "Platform/ScriptedAlsaRawMidi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

namespace ZV::Platform {
namespace {

using Testing::Bytes;
using Testing::ScriptedAlsaRawMidi;

constexpr const char* kDevice = "Halvista Left";
// How long a sender waits for a message that does not move before it gives the message up.
constexpr std::uint64_t kSenderPatience = 10000;

// Follows one long message through an output (the one of the token, after the others): when (on the stand-in's
// clock) the device was seen to take more of it, and how it ended.
class MessageWatch final : public MidiOutputCallback {
public:
    explicit MessageWatch(const ScriptedAlsaRawMidi& alsa, std::uint64_t token = 1) : mAlsa(alsa), mToken(token) {}

    void OnLongMessageProgress(MidiOutput&, std::uint64_t token, std::size_t taken) override
    {
        if (token != mToken) {
            return;
        }
        std::lock_guard lock(mMutex);
        mProgress.push_back({mAlsa.GetClockMilliseconds(), taken});
    }

    void OnLongMessageDone(MidiOutput&, std::uint64_t token, bool delivered) override
    {
        if (token != mToken) {
            return;
        }
        const std::uint64_t now = mAlsa.GetClockMilliseconds();
        std::lock_guard lock(mMutex);
        if (!mEnded) {
            mEnded = true;
            mDoneAt = now;
            mDone.set_value(delivered);
        }
    }

    std::future<bool> Done() { return mDone.get_future(); }

    // The longest time, from the send to the done, in which the device was not seen to take any of the message.
    std::uint64_t LongestStill() const
    {
        std::lock_guard lock(mMutex);
        std::uint64_t last = 0;
        std::uint64_t longest = 0;
        for (const auto& [at, taken] : mProgress) {
            longest = std::max(longest, at - last);
            last = at;
        }
        return std::max(longest, mDoneAt - last);
    }

    std::size_t LastTaken() const
    {
        std::lock_guard lock(mMutex);
        return mProgress.empty() ? 0 : mProgress.back().second;
    }

    std::uint64_t DoneAt() const
    {
        std::lock_guard lock(mMutex);
        return mDoneAt;
    }

private:
    const ScriptedAlsaRawMidi& mAlsa;
    const std::uint64_t mToken;
    mutable std::mutex mMutex;
    std::vector<std::pair<std::uint64_t, std::size_t>> mProgress;
    std::promise<bool> mDone;
    bool mEnded = false;
    std::uint64_t mDoneAt = 0;
};

TEST(AlsaMidiDriver, MachineWithoutSoundDevicesHasNoMidiDevicesAndNothingFails)
{
    if (std::filesystem::exists("/dev/snd")) {
        GTEST_SKIP() << "this machine has sound devices";
    }
    AlsaMidiDriver driver;
    Testing::RecordingMidiClient client;
    MidiOpenFailure failure = MidiOpenFailure::Busy;
    EXPECT_TRUE(driver.ListInputDevices().empty());
    EXPECT_TRUE(driver.ListOutputDevices().empty());
    EXPECT_EQ(driver.OpenInput(0, client, failure), nullptr);
    EXPECT_EQ(failure, MidiOpenFailure::Absent);
    EXPECT_EQ(driver.OpenOutput(0, client, failure), nullptr);
}

// The driver over the stand-in.
class AlsaMidiDriverTest : public ::testing::Test {
protected:
    // Lists the outputs, opens the one at that place with the watch, and sends it the message.
    std::unique_ptr<MidiOutput> SendThrough(std::size_t device, MessageWatch& watch, const Bytes& message)
    {
        mDriver.ListOutputDevices();
        MidiOpenFailure failure = MidiOpenFailure::Absent;
        std::unique_ptr<MidiOutput> output = mDriver.OpenOutput(device, watch, failure);
        EXPECT_TRUE(output && output->SendLongMessage(MidiLongMessage::Holding(message), 1));
        return output;
    }

    const std::shared_ptr<ScriptedAlsaRawMidi> mAlsa = std::make_shared<ScriptedAlsaRawMidi>();
    AlsaMidiDriver mDriver{mAlsa};
};

TEST_F(AlsaMidiDriverTest, DeviceThatTakes300BytesASecondTakesA3500ByteMessageWholeAndIsSeenMovingAllTheWay)
{
    mAlsa->Plug(1, kDevice, 300);
    MessageWatch watch(*mAlsa);
    std::future<bool> done = watch.Done();
    const Bytes message = Testing::SysExOfLength(3500);
    const std::unique_ptr<MidiOutput> output = SendThrough(0, watch, message);

    ASSERT_EQ(done.wait_for(Testing::kBoundedWait), std::future_status::ready);
    EXPECT_TRUE(done.get()) << "a message that keeps moving is sent, however long it takes";
    EXPECT_EQ(mAlsa->GetReceived(kDevice), message);
    EXPECT_GE(watch.DoneAt(), 3500 * 1000 / 300) << "done once the device has taken the last byte, not before";
    EXPECT_LT(watch.LongestStill(), kSenderPatience) << "the device was seen taking bytes all the way";
    EXPECT_EQ(watch.LastTaken(), message.size());
}

// The kernel takes a write only into an empty buffer: a message whose F0, body and F7 went out as three writes would
// wait for the device three times.
TEST_F(AlsaMidiDriverTest, EachMessageGoesOutInOneWriteFramingWithItsBodyAndOneLargerThanTheBufferABufferfulAtATime)
{
    constexpr std::uint32_t kBytesPerSecond = 31250;
    mAlsa->Plug(1, kDevice, kBytesPerSecond);
    // Bodies read where they lie, as the update's are, in an image that the output holds while it reads them.
    const auto image = std::make_shared<Bytes>(100 + 10000);
    for (std::size_t index = 0; index < image->size(); ++index) {
        (*image)[index] = static_cast<std::uint8_t>(index % 0x80);
    }
    const auto body = [&](std::size_t offset, std::size_t count) {
        MidiLongMessage message;
        message.Keeper = image;
        message.Bytes = image->data() + offset;
        message.Count = count;
        message.IsSysExBody = true;
        return message;
    };
    const Bytes note{0x90, 0x3C, 0x7F};
    const Bytes whole = Testing::ParseHex("F0 01 02 F7");
    MessageWatch watch(*mAlsa, 3);
    std::future<bool> done = watch.Done();
    mDriver.ListOutputDevices();
    MidiOpenFailure failure = MidiOpenFailure::Absent;
    const std::unique_ptr<MidiOutput> output = mDriver.OpenOutput(0, watch, failure);
    ASSERT_TRUE(output);
    ASSERT_TRUE(output->SendLongMessage(body(0, 100), 1));
    ASSERT_TRUE(output->SendShortMessage(PackShortMessage(note.data(), note.size())));
    ASSERT_TRUE(output->SendLongMessage(body(100, 10000), 2));
    ASSERT_TRUE(output->SendLongMessage(MidiLongMessage::Holding(whole), 3));
    ASSERT_EQ(done.wait_for(Testing::kBoundedWait), std::future_status::ready);
    EXPECT_TRUE(done.get());

    Bytes expected{0xF0};
    expected.insert(expected.end(), image->begin(), image->begin() + 100);
    expected.insert(expected.end(), {0xF7, 0x90, 0x3C, 0x7F, 0xF0});
    expected.insert(expected.end(), image->begin() + 100, image->end());
    expected.push_back(0xF7);
    expected.insert(expected.end(), whole.begin(), whole.end());
    EXPECT_EQ(mAlsa->GetReceived(kDevice), expected);
    EXPECT_EQ(mAlsa->GetWriteSizes(kDevice), (std::vector<std::size_t>{102, 3, 4096, 4096, 1810, 4}));
    EXPECT_GE(watch.DoneAt(), expected.size() * 1000 / kBytesPerSecond) << "done once the device took the last byte";
}

TEST_F(AlsaMidiDriverTest, DeviceThatAnotherProgramHoldsIsBusyAndOneThatIsNotThereIsAbsent)
{
    mAlsa->Plug(1, kDevice, 3125);
    // A sequencer client subscribed to the device keeps its input open.
    mAlsa->HoldElsewhere(kDevice, true, true);
    Testing::RecordingMidiClient client;
    ASSERT_EQ(mDriver.ListInputDevices(), std::vector<std::string>{kDevice});
    ASSERT_EQ(mDriver.ListOutputDevices(), std::vector<std::string>{kDevice});

    MidiOpenFailure failure = MidiOpenFailure::Absent;
    EXPECT_EQ(mDriver.OpenInput(0, client, failure), nullptr);
    EXPECT_EQ(failure, MidiOpenFailure::Busy);
    std::unique_ptr<MidiOutput> output = mDriver.OpenOutput(0, client, failure);
    EXPECT_TRUE(output) << "the other direction is free";
    EXPECT_EQ(mDriver.OpenOutput(0, client, failure), nullptr);
    EXPECT_EQ(failure, MidiOpenFailure::Busy) << "a direction opens once at a time";
    output.reset();

    EXPECT_EQ(mDriver.OpenInput(1, client, failure), nullptr);
    EXPECT_EQ(failure, MidiOpenFailure::Absent) << "not listed";
    mAlsa->HoldElsewhere(kDevice, true, false);
    mAlsa->Unplug(kDevice);
    EXPECT_EQ(mDriver.OpenInput(0, client, failure), nullptr);
    EXPECT_EQ(failure, MidiOpenFailure::Absent) << "gone since it was listed";
}

TEST_F(AlsaMidiDriverTest, OutputClosedWhileItWaitsForADeviceThatTakesNothingClosesAtOnceWithoutADone)
{
    mAlsa->Plug(1, kDevice, 0);
    MessageWatch watch(*mAlsa);
    std::future<bool> done = watch.Done();
    std::unique_ptr<MidiOutput> output = SendThrough(0, watch, Testing::SysExOfLength(3500));
    ASSERT_TRUE(mAlsa->WaitUntilOutputBlocks(kDevice));

    const auto closing = std::chrono::steady_clock::now();
    output.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(1));
    EXPECT_EQ(done.wait_for(std::chrono::seconds(0)), std::future_status::timeout) << "no done after the close";
}

TEST_F(AlsaMidiDriverTest, UnplugFailsTheMessageUnderWayAndTheDeviceBackOnANewCardIsOpenedThereBothWays)
{
    mAlsa->Plug(1, kDevice, 0);
    MessageWatch lostWatch(*mAlsa);
    std::future<bool> lost = lostWatch.Done();
    const std::unique_ptr<MidiOutput> oldOutput = SendThrough(0, lostWatch, Testing::SysExOfLength(100));
    ASSERT_TRUE(mAlsa->WaitUntilOutputBlocks(kDevice));
    mAlsa->Unplug(kDevice);
    ASSERT_EQ(lost.wait_for(Testing::kBoundedWait), std::future_status::ready);
    EXPECT_FALSE(lost.get());

    // The device restarts, and comes back on another card.
    mAlsa->Plug(2, "Midi Through Port-0", 0);
    mAlsa->Plug(3, kDevice, 100000);
    ASSERT_EQ(mDriver.ListInputDevices(), (std::vector<std::string>{"Midi Through Port-0", kDevice}));
    Testing::RecordingMidiClient client;
    MidiOpenFailure failure = MidiOpenFailure::Absent;
    const std::unique_ptr<MidiInput> input = mDriver.OpenInput(1, client, failure);
    ASSERT_TRUE(input && client.GiveBuffersTo(*input) && input->Start());
    MessageWatch watch(*mAlsa);
    std::future<bool> done = watch.Done();
    const Bytes message = Testing::SysExOfLength(600);
    const std::unique_ptr<MidiOutput> output = SendThrough(1, watch, message);
    ASSERT_EQ(done.wait_for(Testing::kBoundedWait), std::future_status::ready);
    EXPECT_TRUE(done.get());
    EXPECT_EQ(mAlsa->GetReceived(kDevice), message);
    mAlsa->SendToComputer(kDevice, Testing::ParseHex("F0 47 00 37 07 03 00 01 05 F7"));
    EXPECT_TRUE(client.WaitForMessages(1));
}

}  // namespace
}  // namespace ZV::Platform
