// The main window over the real update engine and two simulated devices of one name.

#include "UI/MainWindowHarness.h"

#include "Engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace ZV::Testing {
namespace {

using Simulator::DeviceState;

const std::string kNamesakeWaits = "A device of the same name still waits in update mode for its firmware. Connect "
                                   "only that device and press the \"RESTART\" button to update it.";

TEST(MainControlWithNamesakes, NamesakePluggedInWhileTheChosenOneRestartsTakesTheImageAndTheWindowSaysOneStillWaits)
{
    TemporaryFolder folder;
    const std::string image = folder / "image.syx";
    const Bytes bytes = MakeImage(2, 8);
    WriteContent(image, std::string(bytes.begin(), bytes.end()));
    Simulator::DeviceSettings chosen = QuickDevice(Simulator::DeviceStart::Normal, "");
    chosen.RestartTime = std::chrono::milliseconds(1000);
    // Plugged in by the test; it confirms its image only after the chosen one is back.
    Simulator::DeviceSettings newcomer = QuickDevice(Simulator::DeviceStart::Update, "");
    newcomer.Faults.PlugInAfter = std::chrono::hours(1);
    newcomer.FlashTime = std::chrono::milliseconds(1500);
    SimulatedMidiRig rig({chosen, newcomer});
    MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
    window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
    window.OpenWindow();
    ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
    window.Main().SetWaitTurn([&](std::uint32_t) {
        ASSERT_TRUE(rig.Device(0).WaitForStateEntries(DeviceState::Restarting, 1, kBoundedWait));
        rig.Device(1).PlugIn();
        ASSERT_TRUE(rig.Device(1).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    });

    window.Click(L"buttonUpdateFirmware");
    ASSERT_TRUE(window.PumpUntil([&] { return window.IsShown(L"buttonReinitialize"); }));
    EXPECT_TRUE(window.IsShown(L"labelDeviceCannotUpdateError"));
    EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kNamesakeWaits);
    EXPECT_TRUE(rig.Device(1).WaitForStateEntries(DeviceState::Done, 1, std::chrono::seconds(0)));
    EXPECT_TRUE(rig.Device(0).WaitForStateEntries(DeviceState::Update, 1, std::chrono::seconds(0)));
}

}  // namespace
}  // namespace ZV::Testing
