// The main window over the real update engine and two simulated devices of one name.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include "Engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

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

// The window says of a device that it cannot tell apart what a silent run's line says: how many of its name are
// connected; that another program holds a port of its name while it waits in update mode.
TEST(MainControlWithNamesakes, DeviceThatCannotBeToldApartIsShownWithWhatTheSilentLineSays)
{
    using Simulator::DeviceStart;
    // Away for good once it restarts.
    Simulator::DeviceSettings chosen = QuickDevice(DeviceStart::Normal, "");
    chosen.RestartTime = std::chrono::hours(1);
    Simulator::DeviceSettings busy = QuickDevice(DeviceStart::Normal, "");
    busy.Faults.BusyPorts = true;
    busy.Faults.PlugInOnCue = true;
    struct Case {
        const char* what;
        std::vector<Simulator::DeviceSettings> devices;
        // The second device is plugged in while the chosen one restarts, after a click on "UPDATE FIRMWARE".
        bool plugInDuringRestart;
        std::string said;
    };
    const Case cases[] = {
        {"three of the name, one in update mode",
         {QuickDevice(DeviceStart::Normal, ""), QuickDevice(DeviceStart::Normal, ""),
          QuickDevice(DeviceStart::Update, "")},
         false,
         "3 devices of the same name are connected, and the device to update cannot be told from the others. Connect "
         "only the device to update and press the \"RESTART\" button."},
        {"a busy one plugged in during the restart", {chosen, busy}, true,
         "Another program uses a MIDI port of the device's name. Nothing was sent, and the device waits in update "
         "mode. Close that program and press the \"RESTART\" button."},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        TemporaryFolder folder;
        const std::string image = folder / "image.syx";
        const Bytes bytes = MakeImage(2, 8);
        WriteContent(image, std::string(bytes.begin(), bytes.end()));
        SimulatedMidiRig rig(run.devices);
        MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
        window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
        window.OpenWindow();
        if (run.plugInDuringRestart) {
            ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
            window.Main().SetWaitTurn([&](std::uint32_t) {
                ASSERT_TRUE(rig.Device(0).WaitForStateEntries(DeviceState::Restarting, 1, kBoundedWait));
                rig.Device(1).PlugIn();
            });
            window.Click(L"buttonUpdateFirmware");
            ASSERT_TRUE(window.PumpUntil([&] { return window.IsShown(L"buttonReinitialize"); }));
        }
        EXPECT_TRUE(window.IsShown(L"labelDeviceCannotUpdateError"));
        EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), run.said);
    }
}

// After the confirmation the window waits with "NEXT" on no clock, while fewer devices of the name are there than when
// the update began (the chosen one held away by the test, or away for good after another of its name took the image),
// and "NEXT" shows what the chosen one came back to.
TEST(MainControlWithNamesakes, DeviceAwayAfterTheConfirmationIsWaitedForWithNextWhichShowsWhatItCameBackTo)
{
    // The update's own wait for the device, had the window left it the wait.
    struct ShortWaitForUpdateMode {
        ShortWaitForUpdateMode() { LUpdateProcessor::SetUpdateModeEntryWait(300); }
        ~ShortWaitForUpdateMode()
        {
            LUpdateProcessor::SetUpdateModeEntryWait(LUpdateProcessor::kDefaultUpdateModeEntryWait);
        }
    } shortWait;
    TemporaryFolder folder;
    const std::string image = folder / "image.syx";
    const Bytes bytes = MakeImage(2, 8);
    WriteContent(image, std::string(bytes.begin(), bytes.end()));
    Simulator::DeviceSettings chosen = QuickDevice(Simulator::DeviceStart::Normal, "");
    chosen.NewBuild = 78500;
    Simulator::DeviceSettings newcomer = QuickDevice(Simulator::DeviceStart::Update, "");
    newcomer.Faults.PlugInOnCue = true;
    newcomer.RestartTime = std::chrono::hours(1);
    for (const bool newcomerTakesTheImage : {false, true}) {
        SCOPED_TRACE(newcomerTakesTheImage ? "another took the image" : "held away");
        // Away after its first restart when another comes, else after its second until the test lets it go.
        SimulatedMidiRig rig({chosen, newcomer}, 0,
                             newcomerTakesTheImage ? "1.restarting:plug=2,1.restarting:hold" : "1.restarting#2:hold",
                             folder / "release");
        MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
        window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
        window.OpenWindow();
        ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
        window.Click(L"buttonUpdateFirmware");
        for (int look = 0; look < 2; ++look) {
            ASSERT_TRUE(window.PumpUntil([&] { return window.IsShown(L"buttonManualDeviceHasUpdatedRescanButton"); }));
            EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kAfterUpdate);
            EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
            EXPECT_FALSE(window.IsShown(L"labelDeviceCannotUpdateError"));
            window.Click(L"buttonManualDeviceHasUpdatedRescanButton");
        }
        if (!newcomerTakesTheImage) {
            WriteContent(folder / "release", "1\n");
            ASSERT_TRUE(rig.Device(0).WaitForStateEntries(DeviceState::Normal, 2, kBoundedWait));
            window.Click(L"buttonManualDeviceHasUpdatedRescanButton");
            EXPECT_EQ(window.TextOf(L"labelUpdateProcessInformation"), kNotSuccessful);
            EXPECT_TRUE(window.IsShown(L"buttonReinitialize"));
        }
        std::filesystem::remove(folder / "release");
    }
}

}  // namespace
}  // namespace ZV::Testing
