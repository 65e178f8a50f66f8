// The main window over the real update engine and the simulated device.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include "Engine/EngineTestSupport.h"
#include "Platform/StandardError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace ZV::Testing {
namespace {

using Engine = ::LUpdateEngineInterface;

// A firmware file of the messages in the folder; its path.
std::string WriteImage(const TemporaryFolder& folder, std::size_t messages, std::size_t bodyLength)
{
    const std::string image = folder / "image.syx";
    const Bytes bytes = MakeImage(messages, bodyLength);
    WriteContent(image, std::string(bytes.begin(), bytes.end()));
    return image;
}

TEST(MainControlWithDevice, RestartAfterAFailedUpdateBuildsAFreshEngineWhoseLaterStatesReachTheLabels)
{
    TemporaryFolder folder;
    const std::string image = WriteImage(folder, 6, 16);
    Simulator::DeviceSettings device = QuickDevice(Simulator::DeviceStart::Update, "");
    device.Faults.NeverDone = true;
    SimulatedMidiRig rig({device});
    struct ShortFinalPoll {
        ShortFinalPoll() { LUpdateEngine::SetFinalPollLimit(300); }
        ~ShortFinalPoll() { LUpdateEngine::SetFinalPollLimit(LUpdateEngine::kDefaultFinalPollLimit); }
    } shortFinalPoll;
    MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
    window.StartProcessor(WideString((std::string("-ALWAYS_UPDATE -ABSOLUTE_FIRMWARE_FILE_PATH=") + image).c_str()));
    window.OpenWindow();

    const auto updateFails = [&] {
        ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
        window.Click(L"buttonUpdateFirmware");
        EXPECT_TRUE(window.IsShown(L"progressBar"));
        ASSERT_TRUE(window.PumpUntil([&] { return window.IsShown(L"buttonReinitialize"); }));
        EXPECT_FALSE(window.IsShown(L"progressBar"));
        EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kDeviceAccessFailure);
    };
    updateFails();
    const RCPtr<Engine> first = window.GetUpdateProcessor()->GetEngine();

    window.Click(L"buttonReinitialize");
    ASSERT_NE(window.GetUpdateProcessor()->GetEngine(), first) << "a fresh engine";
    EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
    updateFails();
}

// Nothing was tried with a device that another program holds or that does not answer: the window says what stands in
// the way, as the silent line does, never that an update failed nor that a device is to be plugged in.
TEST(MainControlWithDevice, DeviceHeldByAnotherProgramOrNotAnsweringIsShownAsTheSilentLineSaysNotAsFailedNorToPlugIn)
{
    TemporaryFolder folder;
    const std::string image = WriteImage(folder, 2, 8);
    const auto shown = [&](const Simulator::DeviceSettings& device, const wchar_t* label) {
        SimulatedMidiRig rig({device});
        MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
        window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
        window.OpenWindow();
        EXPECT_FALSE(window.IsShown(L"buttonUpdateFirmware"));
        EXPECT_TRUE(window.IsShown(label));
        const std::string text = window.TextOf(label);
        EXPECT_NE(text, kNoDevice);
        EXPECT_NE(text, kDeviceAccessFailure);
        return text;
    };
    Simulator::DeviceSettings busy = QuickDevice(Simulator::DeviceStart::Normal, "");
    busy.Faults.BusyPorts = true;
    EXPECT_EQ(shown(busy, L"labelDeviceCannotUpdateError"),
              "Another program uses a MIDI port of the device's name, so the device cannot be asked anything. Close "
              "that program and press the \"RESTART\" button.");

    Simulator::DeviceSettings noVersion = QuickDevice(Simulator::DeviceStart::Normal, "");
    noVersion.Faults.NoVersion = true;
    Simulator::DeviceSettings garbage = QuickDevice(Simulator::DeviceStart::Normal, "");
    garbage.Faults.GarbageReplies = true;
    for (const Simulator::DeviceSettings& unanswering :
         {QuickDevice(Simulator::DeviceStart::Silent, ""), noVersion, garbage}) {
        EXPECT_EQ(shown(unanswering, L"labelDeviceInformation"),
                  "A MIDI port of the device's name is there, but the device does not answer.\nUnplug and replug your "
                  "device and click the \"SCAN FOR DEVICE\" button.");
    }
}

TEST(MainControlWithDevice, AnotherDeviceOfTheNameInUpdateModeWhileTheChosenOneRestartsEndsTheWaitAtOnce)
{
    TemporaryFolder folder;
    const std::string image = WriteImage(folder, 2, 8);
    Simulator::DeviceSettings chosen = QuickDevice(Simulator::DeviceStart::Normal, folder / "chosen.log");
    chosen.RestartTime = std::chrono::milliseconds(1500);
    SimulatedMidiRig rig({chosen, QuickDevice(Simulator::DeviceStart::Normal, folder / "other.log")});
    MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
    window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
    window.OpenWindow();
    ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
    int turns = 0;
    window.Main().SetWaitTurn([&](std::uint32_t) {
        if (turns++ == 0) {
            ASSERT_TRUE(rig.Device(0).WaitForStateEntries(Simulator::DeviceState::Restarting, 1, kBoundedWait));
            SendIntoUpdateMode(rig, 0);
            ASSERT_TRUE(rig.Device(1).WaitForStateEntries(Simulator::DeviceState::Update, 1, kBoundedWait));
        }
    });

    window.Click(L"buttonUpdateFirmware");
    window.PumpAll();
    EXPECT_LE(turns, 2) << "no waiting on for a device that cannot be told from another";
    EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kDeviceAccessFailure);
    for (const char* log : {"chosen.log", "other.log"}) {
        for (const std::string& text : TextsOfKind(folder / log, "RX")) {
            EXPECT_TRUE(text == StatusRequest || text == VersionRequest || text == EnterUpdateModeRequest) << text;
        }
    }
}

TEST(MainControlWithDevice, FirmwareFileThatChangedWhileTheDeviceRestartsIsShownAsItIsNowAndSaidOnStderrWithNothingSent)
{
    const std::string waits = "; nothing was sent, and the device waits in update mode\n";
    struct Case {
        const char* what;
        std::function<void(const std::string& image)> change;
        std::string fileText;
        bool offered;
        std::string said;
    };
    const Case cases[] = {
        {"gone", [](const std::string& image) { std::filesystem::remove(image); }, kFileInvalid, false,
         "could not be read when the image was to be sent" + waits},
        {"cut inside a message", [](const std::string& image) { WriteContent(image, "\xF0\x01\x02"); },
         kFileInvalid, false, "changed after it was checked" + waits},
        {"replaced by another image fit to send",
         [](const std::string& image) { WriteContent(image, "\xF0\x05\x06\xF7"); }, kThreeBlanks, true,
         "changed after it was checked" + waits},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        TemporaryFolder folder;
        const std::string image = WriteImage(folder, 2, 8);
        const std::string log = folder / "device.log";
        SimulatedMidiRig rig({QuickDevice(Simulator::DeviceStart::Normal, log)});
        MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
        window.StartProcessor(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + image).c_str()));
        window.OpenWindow();
        ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
        window.Main().SetWaitTurn([&](std::uint32_t) {
            run.change(image);
            EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Update, 1, kBoundedWait));
        });

        const std::string said = folder / "stderr";
        {
            const Platform::StandardErrorRedirection redirection(said.c_str());
            window.Click(L"buttonUpdateFirmware");
            window.PumpAll();
        }
        // At once, as the file is now: never as the file that was checked.
        EXPECT_EQ(window.TextOf(L"labelFirmwareFileInformation"), run.fileText);
        EXPECT_EQ(window.IsShown(L"buttonUpdateFirmware"), run.offered);
        EXPECT_FALSE(window.IsShown(L"progressBar"));
        EXPECT_EQ(window.GetUpdateProcessor()->GetEngine()->GetDeviceState(), Engine::kDeviceInUpdateMode);
        EXPECT_EQ(ContentOf(said), "FirmwareUpdater: the firmware file \"" + image + "\" " + run.said);
        for (const std::string& text : TextsOfKind(log, "RX")) {
            EXPECT_TRUE(text == StatusRequest || text == VersionRequest || text == EnterUpdateModeRequest) << text;
        }
    }
}

}  // namespace
}  // namespace ZV::Testing
