#include "Simulator/SimulatedMidiDriver.h"

#include "Simulator/SimulatedDeviceBench.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
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

// The output's done, once.
class DoneWatch final : public Platform::MidiOutputCallback {
public:
    void OnLongMessageDone(Platform::MidiOutput&, std::uint64_t, bool delivered) override { mDone.set_value(delivered); }
    std::future<bool> Done() { return mDone.get_future(); }

private:
    std::promise<bool> mDone;
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
    const std::unique_ptr<Platform::MidiOutput> output = driver.OpenOutput(1, watch);
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

}  // namespace
}  // namespace ZV::Simulator
