#include "Simulator/SimulatedMidiDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace
}  // namespace ZV::Simulator
