#include "Simulator/SimulationSettings.h"

#include "Platform/MidiTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace ZV::Simulator {
namespace {

using namespace std::chrono_literals;

SimulationSettings ReadFrom(const std::map<std::string, std::string>& variables)
{
    return ReadSimulationSettings([&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    });
}

std::string RefusalOf(const std::map<std::string, std::string>& variables)
{
    try {
        ReadFrom(variables);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

void WriteFile(const std::string& path, const Testing::Bytes& bytes)
{
    Testing::WriteContent(path, std::string(bytes.begin(), bytes.end()));
}

TEST(SimulationSettings, EveryVariableReachesItsSettingAndTwoDevicesKeepSeparateLogs)
{
    Testing::TemporaryFolder folder;
    const std::string image = folder / "image.syx";
    WriteFile(image, Testing::ParseHex("0D F0 01 F7 55 F0 02 03 0D 0D 04 F7 F0 05"));
    const SimulationSettings settings = ReadFrom({
        {"ZV_SIM_DEVICE", "two"},
        {"ZV_SIM_BUILD", "70000"},
        {"ZV_SIM_NEW_BUILD", "80000"},
        {"ZV_SIM_RESTART_MS", "30"},
        {"ZV_SIM_FLASH_MS", "40"},
        {"ZV_SIM_EXPECT_IMAGE", image},
        {"ZV_SIM_FAULT",
         "no-version,drop-message=3,,vanish-after=9,garbage-replies,slow-restart,never-done,stuck-send,stall-after=500,"
         "late-plug=700,busy-port,busy-after-restart"},
        {"ZV_SIM_BYTES_PER_SECOND", "unlimited"},
        {"ZV_SIM_LOG", "/tmp/simulated.log"},
    });
    ASSERT_EQ(settings.Devices.size(), 2u);
    EXPECT_EQ(settings.Devices[0].PortName, "Halvista Left");
    EXPECT_EQ(settings.Devices[1].PortName, "VT5 Display Left");
    EXPECT_EQ(settings.Devices[0].LogPath, "/tmp/simulated.log");
    EXPECT_EQ(settings.Devices[1].LogPath, "/tmp/simulated.log.2");
    for (const DeviceSettings& device : settings.Devices) {
        EXPECT_EQ(device.Start, DeviceStart::Normal);
        EXPECT_EQ(device.Build, 70000u);
        EXPECT_EQ(device.NewBuild, 80000u);
        EXPECT_EQ(device.RestartTime, 30ms);
        EXPECT_EQ(device.FlashTime, 40ms);
        ASSERT_TRUE(device.ExpectedImage.has_value());
        EXPECT_EQ(*device.ExpectedImage,
                  (std::vector<Testing::Bytes>{Testing::ParseHex("F0 01 F7"), Testing::ParseHex("F0 02 03 F7"),
                                               Testing::ParseHex("F0 0D F7"), Testing::ParseHex("F0 0D 04 F7")}))
            << "split at 0x0D as the updater sends the image";
        EXPECT_TRUE(device.Faults.NoVersion && device.Faults.GarbageReplies && device.Faults.SlowRestart &&
                    device.Faults.NeverDone && device.Faults.BusyPorts && device.Faults.BusyAfterRestart);
        EXPECT_EQ(device.Faults.DropImageMessage, 3u);
        EXPECT_EQ(device.Faults.VanishAfterImageMessages, 9u);
        EXPECT_EQ(device.Faults.PlugInAfter, 700ms);
    }
    EXPECT_EQ(settings.BytesPerSecond, 0u);
    EXPECT_TRUE(settings.StuckLongMessages);
    EXPECT_EQ(settings.StallAfterBytes, 500u);

    const SimulationSettings mixed = ReadFrom({{"ZV_SIM_DEVICE", "normal,update"}});
    ASSERT_EQ(mixed.Devices.size(), 2u);
    EXPECT_EQ(mixed.Devices[0].Start, DeviceStart::Normal);
    EXPECT_EQ(mixed.Devices[1].Start, DeviceStart::Update);
    EXPECT_EQ(mixed.Devices[1].PortName, "VT5 Display Left");
    const SimulationSettings namesakes = ReadFrom({{"ZV_SIM_DEVICE", "update+normal"}, {"ZV_SIM_LOG", "/tmp/d.log"}});
    ASSERT_EQ(namesakes.Devices.size(), 2u);
    EXPECT_EQ(namesakes.Devices[0].Start, DeviceStart::Update);
    EXPECT_EQ(namesakes.Devices[1].Start, DeviceStart::Normal);
    EXPECT_EQ(namesakes.Devices[1].PortName, "Halvista Left") << "a plus makes the second one of the first's kind";
    EXPECT_EQ(namesakes.Devices[1].LogPath, "/tmp/d.log.2");
    const SimulationSettings late =
        ReadFrom({{"ZV_SIM_DEVICE", "update@2000+normal"}, {"ZV_SIM_FAULT", "late-plug=5"}});
    EXPECT_EQ(late.Devices[0].Faults.PlugInAfter, 2000ms) << "plugged in after its own time";
    EXPECT_EQ(late.Devices[1].Faults.PlugInAfter, 5ms) << "plugged in after the fault's";
    EXPECT_TRUE(ReadFrom({{"ZV_SIM_DEVICE", "normal+update@cue"}}).Devices[1].Faults.PlugInOnCue);
    EXPECT_EQ(ReadFrom({{"ZV_SIM_RELEASE", "/tmp/release"}}).ReleasePath, "/tmp/release");
    EXPECT_EQ(ReadFrom({{"ZV_SIM_DEVICE", "silent"}}).Devices.front().Start, DeviceStart::Silent);
    EXPECT_EQ(ReadFrom({{"ZV_SIM_DEVICE", "update"}}).Devices.front().Start, DeviceStart::Update);
    EXPECT_EQ(ReadFrom({{"ZV_SIM_DEVICE", "absent"}}).Devices.front().Start, DeviceStart::Absent);
    EXPECT_EQ(ReadFrom({{"ZV_SIM_BYTES_PER_SECOND", "3125"}}).BytesPerSecond, 3125u);
}

TEST(SimulationSettings, UnusableValuesAreRefusedNamingTheVariable)
{
    EXPECT_EQ(RefusalOf({{"ZV_SIM_DEVICE", "sometimes"}}),
              "ZV_SIM_DEVICE is \"sometimes\"; expected normal, update, absent, silent or two, or two starts separated "
              "by a comma or a plus, each perhaps with @ and the milliseconds until it is plugged in, or @cue");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_DEVICE", "update@soon"}}),
              "ZV_SIM_DEVICE plug-in is \"soon\"; expected a whole number from 0 to 4294967295");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_DEVICE", "update,two"}}).substr(0, 23), "ZV_SIM_DEVICE is \"two\";");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_DEVICE", "normal,update,normal"}}),
              "ZV_SIM_DEVICE is \"normal,update,normal\"; expected at most two devices");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_DEVICE", "normal+update,normal"}}),
              "ZV_SIM_DEVICE is \"normal+update,normal\"; expected at most two devices");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_BUILD", "12x"}}),
              "ZV_SIM_BUILD is \"12x\"; expected a whole number from 0 to 4294967295");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_RESTART_MS", "-5"}}),
              "ZV_SIM_RESTART_MS is \"-5\"; expected a whole number from 0 to 4294967295");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_BYTES_PER_SECOND", "99999999999"}}),
              "ZV_SIM_BYTES_PER_SECOND is \"99999999999\"; expected a whole number from 0 to 4294967295");
    EXPECT_TRUE(RefusalOf({{"ZV_SIM_FAULT", "no-version,explode"}}).starts_with("ZV_SIM_FAULT is \"explode\"; "));
    EXPECT_EQ(RefusalOf({{"ZV_SIM_FAULT", "drop-message="}}),
              "ZV_SIM_FAULT drop-message is \"\"; expected a whole number from 0 to 4294967295");

    Testing::TemporaryFolder folder;
    const std::string empty = folder / "empty.syx";
    WriteFile(empty, Testing::ParseHex("01 02 F7 F0 03"));
    EXPECT_EQ(RefusalOf({{"ZV_SIM_EXPECT_IMAGE", empty}}),
              "ZV_SIM_EXPECT_IMAGE is \"" + empty +
                  "\"; expected a file holding at least one System Exclusive message (F0 ... F7)");
    EXPECT_EQ(RefusalOf({{"ZV_SIM_EXPECT_IMAGE", "/nonexistent/image.syx"}}),
              "ZV_SIM_EXPECT_IMAGE is \"/nonexistent/image.syx\"; expected a readable .syx file");
}

}  // namespace
}  // namespace ZV::Simulator
