#include "Simulator/SimulatedDeviceBench.h"

#include <gtest/gtest.h>

namespace ZV::Simulator {
namespace {

using namespace std::chrono_literals;
using Testing::kBoundedWait;
using Testing::InUpdateModeReply;
using Testing::RunningReply;
using Testing::SimulatedDeviceBench;
using Testing::StatusRequest;
using Testing::UpdateDoneReply;
using Testing::VersionRequest;
using Testing::VersionReply;
using Events = std::vector<std::string>;

const std::string Build78500 = "24 65 04 00 00";
const std::string Build78822 = "66 67 04 00 00";

DeviceSettings QuickDevice()
{
    DeviceSettings device;
    device.RestartTime = 20ms;
    device.FlashTime = 0ms;
    return device;
}

bool HasFindingContaining(SimulatedDisplayDevice& device, const std::string& text)
{
    for (const std::string& finding : device.GetFindings()) {
        if (finding.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SimulatedDisplayDevice, UpdateByHandGoesNormalRestartingUpdateDoneAndBackToNormalWithTheNewBuild)
{
    Testing::TemporaryFolder folder;
    DeviceSettings settings = QuickDevice();
    settings.LogPath = folder / "device.log";
    settings.ExpectedImage = {Testing::ParseHex("F0 01 02 F7"), Testing::ParseHex("F0 03 F7")};
    SimulatedDeviceBench bench(settings);
    SimulatedDisplayDevice& device = bench.Device();

    ASSERT_TRUE(bench.Connect());
    EXPECT_EQ(bench.Ask(StatusRequest), RunningReply);
    EXPECT_EQ(bench.Ask(VersionRequest), VersionReply(Build78500));
    EXPECT_EQ(bench.Ask(Testing::EnterUpdateModeRequest), "");
    EXPECT_FALSE(bench.Send(StatusRequest)) << "the normal-mode ports are gone once the device restarts";
    ASSERT_TRUE(device.WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    EXPECT_FALSE(bench.Send(StatusRequest)) << "ports opened before the restart stay dead after it";

    ASSERT_TRUE(bench.Connect()) << "the device is back under the same name";
    EXPECT_EQ(bench.Ask(StatusRequest), InUpdateModeReply);
    EXPECT_EQ(bench.Ask("F0 01 02 F7"), "");
    EXPECT_EQ(bench.Ask("F0 03 F7"), "");
    ASSERT_TRUE(device.WaitForStateEntries(DeviceState::Done, 1, kBoundedWait));
    EXPECT_EQ(bench.Ask(StatusRequest), UpdateDoneReply);
    ASSERT_TRUE(device.WaitForStateEntries(DeviceState::Normal, 2, kBoundedWait));
    ASSERT_TRUE(bench.Connect());
    EXPECT_EQ(bench.Ask(VersionRequest), VersionReply(Build78822));

    EXPECT_TRUE(device.GetFindings().empty());
    const std::vector<std::int64_t> gaps = device.GetImageGapsMicroseconds();
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GE(gaps[0], 0);
    EXPECT_EQ(Testing::LogEventsInTimeOrder(Testing::ReadDeviceLog(folder / "device.log")),
              (Events{"STATE normal",
                      "RX " + StatusRequest,
                      "TX " + RunningReply,
                      "RX " + VersionRequest,
                      "TX " + VersionReply(Build78500),
                      "RX " + Testing::EnterUpdateModeRequest,
                      "STATE restarting",
                      "STATE update",
                      "RX " + StatusRequest,
                      "TX " + InUpdateModeReply,
                      "RX F0 01 02 F7",
                      "RX F0 03 F7",
                      "STATE done",
                      "RX " + StatusRequest,
                      "TX " + UpdateDoneReply,
                      "STATE restarting",
                      "STATE normal",
                      "RX " + VersionRequest,
                      "TX " + VersionReply(Build78822)}));
}

TEST(SimulatedDisplayDevice, DroppedImageMessageSpoilsTheExpectedImageAndNeverReachesTheLog)
{
    Testing::TemporaryFolder folder;
    DeviceSettings settings = QuickDevice();
    settings.Start = DeviceStart::Update;
    settings.LogPath = folder / "device.log";
    settings.ExpectedImage = {Testing::ParseHex("F0 01 F7"), Testing::ParseHex("F0 02 F7"),
                              Testing::ParseHex("F0 03 F7")};
    settings.Faults.DropImageMessage = 2;
    SimulatedDeviceBench bench(settings);
    ASSERT_TRUE(bench.Connect());
    for (const char* message : {"F0 01 F7", "F0 02 F7", "F0 03 F7"}) {
        EXPECT_TRUE(bench.Send(message));
    }

    EXPECT_EQ(bench.Ask(StatusRequest), InUpdateModeReply);
    EXPECT_TRUE(HasFindingContaining(bench.Device(), "image message 2 differs from the expected image"));
    EXPECT_EQ(Testing::LogEventsInTimeOrder(Testing::ReadDeviceLog(folder / "device.log")),
              (Events{"STATE update", "RX F0 01 F7", "RX F0 03 F7", "RX " + StatusRequest,
                      "TX " + InUpdateModeReply}));
}

TEST(SimulatedDisplayDevice, VanishFaultTakesTheDeviceAwayForGoodAfterThatManyImageMessages)
{
    DeviceSettings settings = QuickDevice();
    settings.Start = DeviceStart::Update;
    settings.FlashTime = std::chrono::hours(1);
    settings.Faults.VanishAfterImageMessages = 2;
    SimulatedDeviceBench bench(settings);
    ASSERT_TRUE(bench.Connect());
    EXPECT_TRUE(bench.Send("F0 01 F7"));
    EXPECT_TRUE(bench.Device().GetFindings().empty());
    EXPECT_TRUE(bench.Send("F0 02 F7"));

    EXPECT_TRUE(bench.Device().WaitForStateEntries(DeviceState::Absent, 1, 0ms));
    EXPECT_FALSE(bench.Send("F0 03 F7"));
    EXPECT_FALSE(bench.Connect());
}

TEST(SimulatedDisplayDevice, LatePlugFaultKeepsTheDeviceAbsentUntilItIsPluggedInThenItStartsAsSet)
{
    DeviceSettings settings = QuickDevice();
    settings.Start = DeviceStart::Update;
    settings.Faults.PlugInAfter = 500ms;
    SimulatedDeviceBench bench(settings);
    EXPECT_FALSE(bench.Connect());
    EXPECT_TRUE(bench.Device().WaitForStateEntries(DeviceState::Absent, 1, 0ms));

    ASSERT_TRUE(bench.Device().WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    ASSERT_TRUE(bench.Connect());
    EXPECT_EQ(bench.Ask(StatusRequest), InUpdateModeReply);
}

TEST(SimulatedDisplayDevice, FramingAndOrderFaultsOfTheComputerAreFoundAndTheMessagesIgnored)
{
    DeviceSettings settings = QuickDevice();
    SimulatedDeviceBench bench(settings);
    ASSERT_TRUE(bench.Connect());
    EXPECT_EQ(bench.Ask("F0 01 02 F7"), "");
    EXPECT_TRUE(HasFindingContaining(bench.Device(), "no request came outside update mode"));
    EXPECT_EQ(bench.Ask("F0 47 00 37 90 02 00 00 F7"), "");
    EXPECT_TRUE(HasFindingContaining(bench.Device(), "status byte 90 inside a message body"));
    EXPECT_EQ(bench.Ask("F0 47 00 37 07 02 00 00"), "") << "a request without its F7 is no request";
    EXPECT_EQ(bench.Ask(StatusRequest), RunningReply);
    EXPECT_TRUE(HasFindingContaining(bench.Device(), "began before the previous one ended"));
    EXPECT_TRUE(bench.Ask("F8 " + StatusRequest) == RunningReply) << "real-time bytes are allowed anywhere";
}

TEST(SimulatedDisplayDevice, LogThatCannotBeWrittenIsRefusedByName)
{
    DeviceSettings settings;
    settings.LogPath = "/nonexistent-folder/simulated.log";
    EXPECT_THROW(
        {
            SimulationSettings simulation;
            simulation.Devices = {settings};
            SimulatedMidiSystem system(simulation);
        },
        std::invalid_argument);
}

}  // namespace
}  // namespace ZV::Simulator
