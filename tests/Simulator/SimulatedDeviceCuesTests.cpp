#include "Simulator/SimulatedDeviceBench.h"

#include <gtest/gtest.h>

namespace ZV::Simulator {
namespace {

using namespace std::chrono_literals;
using Testing::kBoundedWait;

// A test orders its steps by the devices' moments: a device plugged in as the other restarts, one unplugged once it
// said it is in update mode, and one held on a request until the test appends the line that releases it.
TEST(SimulatedDeviceCues, PlugUnplugAndHoldHappenAtTheirMomentsAndAHoldLastsUntilItsReleaseLine)
{
    Testing::TemporaryFolder folder;
    const std::string log = folder / "device.log";
    const std::string release = folder / "release";
    const std::map<std::string, std::string> variables{
        {"ZV_SIM_DEVICE", "normal,update@cue"},
        {"ZV_SIM_RESTART_MS", "20"},
        {"ZV_SIM_BYTES_PER_SECOND", "unlimited"},
        {"ZV_SIM_LOG", log},
        {"ZV_SIM_CUES", "1.restarting:plug=2,1.said-update:unplug=1,2.asked-status#2:hold"},
        {"ZV_SIM_RELEASE", release},
    };
    SimulatedMidiSystem system(ReadSimulationSettings([&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    }));
    Testing::PortBench first(system, "Halvista Left");
    Testing::PortBench second(system, "VT5 Display Left");
    EXPECT_FALSE(second.Connect()) << "waits for its cue";

    ASSERT_TRUE(first.Connect());
    EXPECT_EQ(first.Ask(Testing::EnterUpdateModeRequest), "");
    ASSERT_TRUE(system.GetDevice(1).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    ASSERT_TRUE(system.GetDevice(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    ASSERT_TRUE(first.Connect());
    EXPECT_EQ(first.Ask(Testing::StatusRequest), Testing::InUpdateModeReply);
    EXPECT_TRUE(system.GetDevice(0).WaitForStateEntries(DeviceState::Absent, 1, 0ms)) << "gone right after its answer";
    EXPECT_FALSE(first.Connect());

    ASSERT_TRUE(second.Connect());
    EXPECT_EQ(second.Ask(Testing::StatusRequest), Testing::InUpdateModeReply);
    EXPECT_EQ(second.Ask(Testing::StatusRequest), "") << "held before it answers";
    EXPECT_EQ(second.Ask("F0 01 F7"), "");
    folder.Write("release", "go\n");
    EXPECT_TRUE(second.WaitForSent(Testing::InUpdateModeReply, 2));
    // A request after the release is answered only once everything before it was taken.
    EXPECT_TRUE(second.Send(Testing::StatusRequest));
    EXPECT_TRUE(second.WaitForSent(Testing::InUpdateModeReply, 3));
    const std::vector<std::string> taken = Testing::TextsOfKind(log + ".2", "RX");
    ASSERT_GE(taken.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(taken.end() - 3, taken.end()),
              (std::vector<std::string>{Testing::StatusRequest, "F0 01 F7", Testing::StatusRequest}))
        << "what waited is taken in order";
    EXPECT_EQ(Testing::TextsOfKind(log, "CUE"),
              (std::vector<std::string>{"1.restarting:plug=2", "1.said-update:unplug=1"}));
    EXPECT_EQ(Testing::TextsOfKind(log + ".2", "CUE"), std::vector<std::string>{"2.asked-status#2:hold"});
    EXPECT_EQ(Testing::TextsOfKind(log + ".2", "HOLD"), std::vector<std::string>{"1"});
    EXPECT_EQ(Testing::TextsOfKind(log + ".2", "RELEASE"), std::vector<std::string>{"1"});

    for (const char* refused :
         {"3.update:hold", "1.sleeping:hold", "1.update#0:hold", "1.update:unplug=3", "1.update"}) {
        EXPECT_THROW(ReadSimulationSettings([&](const char* name) -> const char* {
                         return std::string(name) == "ZV_SIM_CUES" ? refused : nullptr;
                     }),
                     std::invalid_argument)
            << refused;
    }
}

}  // namespace
}  // namespace ZV::Simulator
