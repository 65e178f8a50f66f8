#include "Simulator/SimulatedMidiDriver.h"

#include "Simulator/SimulatedDeviceBench.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <stdexcept>

namespace ZV::Simulator {
namespace {

TEST(SimulatedMidiDriver, RegisteredItIsChosenByNameFollowsTheSimulatorVariablesAndServesAsTheSystemDriver)
{
    RegisterSimulatedMidiDriver();
    ASSERT_EQ(unsetenv("ZV_SIM_DEVICE"), 0);
    EXPECT_EQ(Platform::CreateMidiDriver("simulated")->ListInputDevices(),
              (std::vector<std::string>{"Midi Through Port-0", "Halvista Left"}));
    ASSERT_EQ(setenv("ZV_SIM_DEVICE", "absent", 1), 0);
    EXPECT_EQ(Platform::CreateMidiDriver("simulated")->ListOutputDevices(),
              std::vector<std::string>{"Midi Through Port-0"});
    ASSERT_EQ(setenv("ZV_SIM_DEVICE", "sometimes", 1), 0);
    EXPECT_THROW(Platform::CreateMidiDriver("simulated"), std::invalid_argument);
    ASSERT_EQ(unsetenv("ZV_SIM_DEVICE"), 0);

    ASSERT_EQ(setenv("ZV_MIDI_DRIVER", "simulated", 1), 0);
    const std::shared_ptr<Platform::MidiDriver> driver = Platform::GetSystemMidiDriver();
    EXPECT_EQ(Platform::GetSystemMidiDriver(), driver) << "the system driver is made once and shared";
    EXPECT_EQ(driver->ListInputDevices().front(), "Midi Through Port-0");
}

// The output's done, once, and the progress reported before it.
class DoneWatch final : public Platform::MidiOutputCallback {
public:
    void OnLongMessageDone(Platform::MidiOutput&, std::uint64_t, bool delivered) override
    {
        mDone.set_value(delivered);
    }
    void OnLongMessageProgress(Platform::MidiOutput&, std::uint64_t, std::size_t taken) override
    {
        std::lock_guard lock(mMutex);
        mProgress.push_back(taken);
        mProgressed.notify_all();
    }
    std::future<bool> Done() { return mDone.get_future(); }

    // Waits until the driver has reported that many bytes taken; all it reported by then.
    std::vector<std::size_t> ProgressUpTo(std::size_t taken)
    {
        std::unique_lock lock(mMutex);
        mProgressed.wait_for(lock, Testing::kBoundedWait,
                             [&] { return !mProgress.empty() && mProgress.back() >= taken; });
        return mProgress;
    }

private:
    std::promise<bool> mDone;
    std::mutex mMutex;
    std::condition_variable mProgressed;
    std::vector<std::size_t> mProgress;
};

TEST(SimulatedMidiDriver, ABodyReadWhereItLiesArrivesFramedAndWholeAfterItsSenderLetItGo)
{
    const Testing::TemporaryFolder folder;
    DeviceSettings device;
    device.Start = DeviceStart::Update;
    device.LogPath = folder / "device.log";
    SimulationSettings settings;
    settings.Devices = {device};
    // Slow enough that the sender has let its bytes go long before the last of them reaches the device.
    settings.BytesPerSecond = 20000;
    SimulatedMidiDriver driver(std::make_shared<SimulatedMidiSystem>(settings));
    ASSERT_EQ(driver.ListOutputDevices().back(), "Halvista Left");
    DoneWatch watch;
    std::future<bool> done = watch.Done();
    Platform::MidiOpenFailure failure = Platform::MidiOpenFailure::Absent;
    const std::unique_ptr<Platform::MidiOutput> output = driver.OpenOutput(1, watch, failure);
    ASSERT_TRUE(output);

    auto body = std::make_shared<std::vector<std::uint8_t>>(1000);
    for (std::size_t index = 0; index < body->size(); ++index) {
        (*body)[index] = static_cast<std::uint8_t>(index % 0x80);
    }
    const std::string expected = "F0 " + Testing::ToHex(*body) + " F7";
    Platform::MidiLongMessage message;
    message.Bytes = body->data();
    message.Count = body->size();
    message.IsSysExBody = true;
    message.Keeper = std::move(body);
    ASSERT_TRUE(output->SendLongMessage(std::move(message), 1));

    ASSERT_EQ(done.wait_for(Testing::kBoundedWait), std::future_status::ready);
    EXPECT_TRUE(done.get());
    EXPECT_EQ(Testing::TextsOfKind(folder / "device.log", "RX"), std::vector<std::string>{expected});
}

TEST(SimulatedMidiDriver, LongTransferReportsTheBytesCarriedAsItGoesAndOneOnACableThatStallsStopsThereForGood)
{
    // 1000 bytes at 4000 bytes a second: a quarter of a second on the cable, reported after 100 and 200 ms.
    const Testing::Bytes message = Testing::SysExOfLength(1000);
    for (const std::uint32_t stallAfter : {0u, 600u}) {
        SCOPED_TRACE(stallAfter == 0 ? "moving" : "stalling");
        SimulationSettings settings;
        settings.Devices.front().Start = DeviceStart::Update;
        settings.BytesPerSecond = 4000;
        settings.StallAfterBytes = stallAfter;
        SimulatedMidiDriver driver(std::make_shared<SimulatedMidiSystem>(settings));
        ASSERT_EQ(driver.ListOutputDevices().back(), "Halvista Left");
        DoneWatch watch;
        std::future<bool> done = watch.Done();
        Platform::MidiOpenFailure failure = Platform::MidiOpenFailure::Absent;
        const std::unique_ptr<Platform::MidiOutput> output = driver.OpenOutput(1, watch, failure);
        ASSERT_TRUE(output);
        ASSERT_TRUE(output->SendLongMessage(Platform::MidiLongMessage::Holding(message), 1));

        if (stallAfter == 0) {
            ASSERT_EQ(done.wait_for(Testing::kBoundedWait), std::future_status::ready);
            EXPECT_TRUE(done.get());
            EXPECT_EQ(watch.ProgressUpTo(0), (std::vector<std::size_t>{400, 800}));
            continue;
        }
        EXPECT_EQ(watch.ProgressUpTo(stallAfter), (std::vector<std::size_t>{400, 600}))
            << "the bytes carried up to the stall, and then no more";
        EXPECT_EQ(done.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
            << "a message cut short by the stall is never done";
        EXPECT_TRUE(output->SendLongMessage(Platform::MidiLongMessage::Holding(message), 2))
            << "a stalled cable takes messages";
        EXPECT_EQ(watch.ProgressUpTo(stallAfter).size(), 2u) << "and carries nothing of them";
    }
}

}  // namespace
}  // namespace ZV::Simulator
