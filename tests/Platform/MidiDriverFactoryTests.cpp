#include "Platform/MidiDriver.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace ZV::Platform {
namespace {

TEST(MidiDriverFactory, NamesChooseTheBackendTheSimulatorFollowsItsVariablesAndAnUnknownNameIsRefusedByName)
{
    ASSERT_EQ(unsetenv("ZV_SIM_DEVICE"), 0);
    EXPECT_EQ(CreateMidiDriver("simulated")->ListInputDevices(),
              (std::vector<std::string>{"Midi Through Port-0", "Halvista Left"}));
    EXPECT_NE(CreateMidiDriver("alsa"), nullptr);
    EXPECT_EQ(Testing::ThrownText<std::invalid_argument>([] { CreateMidiDriver("jack"); }),
              "ZV_MIDI_DRIVER is \"jack\"; expected alsa or simulated");
    ASSERT_EQ(setenv("ZV_SIM_DEVICE", "absent", 1), 0);
    EXPECT_EQ(CreateMidiDriver("simulated")->ListOutputDevices(), std::vector<std::string>{"Midi Through Port-0"});
    ASSERT_EQ(setenv("ZV_SIM_DEVICE", "sometimes", 1), 0);
    EXPECT_THROW(CreateMidiDriver("simulated"), std::invalid_argument);
    ASSERT_EQ(unsetenv("ZV_SIM_DEVICE"), 0);

    ASSERT_EQ(setenv("ZV_MIDI_DRIVER", "simulated", 1), 0);
    const std::shared_ptr<MidiDriver> driver = GetSystemMidiDriver();
    EXPECT_EQ(GetSystemMidiDriver(), driver) << "the system driver is made once and shared";
    EXPECT_EQ(driver->ListInputDevices().front(), "Midi Through Port-0");
}

}  // namespace
}  // namespace ZV::Platform
