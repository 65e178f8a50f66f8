#include "Platform/AlsaMidiDriver.h"

#include "Platform/MidiTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ZV::Platform {
namespace {

TEST(AlsaMidiDriver, MachineWithoutSoundDevicesHasNoMidiDevicesAndNothingFails)
{
    if (std::filesystem::exists("/dev/snd")) {
        GTEST_SKIP() << "this machine has sound devices";
    }
    AlsaMidiDriver driver;
    Testing::RecordingMidiClient client;
    EXPECT_TRUE(driver.ListInputDevices().empty());
    EXPECT_TRUE(driver.ListOutputDevices().empty());
    EXPECT_EQ(driver.OpenInput(0, client), nullptr);
    EXPECT_EQ(driver.OpenOutput(0, client), nullptr);
}

}  // namespace
}  // namespace ZV::Platform
