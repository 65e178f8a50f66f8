#include "Engine/UpdateProcessor.h"

#include "App/CommandLine.h"
#include "EngineTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

std::string Narrow(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// The value of the switch, or "(not found)".
std::string SwitchValue(const char* commandLine, const wchar_t* name)
{
    WideString value;
    return LUpdateProcessor::FindSwitch(WideString(commandLine), WideString(name), value) ? Narrow(value)
                                                                                          : "(not found)";
}

TEST(UpdateProcessorSwitches, SwitchesMatchInAnyCaseEndAtABlankAndQuotedValuesLoseTheirQuotes)
{
    const char* line = "-silent -absolute_firmware_file_path=/Home/Ann/Image.SYX -Start_Update_Automatically";
    EXPECT_EQ(SwitchValue(line, L"-ABSOLUTE_FIRMWARE_FILE_PATH="), "/Home/Ann/Image.SYX") << "letters as typed";
    EXPECT_EQ(SwitchValue(line, L"-START_UPDATE_AUTOMATICALLY"), "");
    EXPECT_EQ(SwitchValue(line, L"-ALWAYS_UPDATE"), "(not found)");

    EXPECT_EQ(SwitchValue("-SILENT_IF_UPDATE_NOT_NEEDED", L"-SILENT"), "(not found)");
    EXPECT_EQ(SwitchValue("-SILENT -SILENT_IF_UPDATE_NOT_NEEDED", L"-SILENT_IF_UPDATE_NOT_NEEDED"), "");
    EXPECT_EQ(SwitchValue("-SILENTLY -SILENT", L"-SILENT"), "") << "a text that only holds the name is passed over";
    EXPECT_EQ(SwitchValue("-SILENT_IF_UPDATE_NOT_NEEDED -SILENT", L"-SILENT"), "");
    EXPECT_EQ(SwitchValue("-ABSOLUTE_FIRMWARE_FILE_PATH=/fw/fw-ALWAYS_UPDATE", L"-ALWAYS_UPDATE"), "(not found)")
        << "a switch starts an argument";
    EXPECT_EQ(SwitchValue("-ABSOLUTE_FIRMWARE_FILE_PATH=\"/fw/a -ALWAYS_UPDATE b.syx\"", L"-ALWAYS_UPDATE"),
              "(not found)")
        << "nor is it inside a quoted value";
    EXPECT_EQ(SwitchValue("\"/a -SILENT b\" -FIRMWARE_IMAGE_NAME=x -SILENT", L"-SILENT"), "");
    EXPECT_EQ(SwitchValue("-FIRMWARE_IMAGE_NAME= -FIRMWARE_IMAGE_NAME=b.syx", L"-FIRMWARE_IMAGE_NAME="), "")
        << "the first counts, though its value is empty";
    EXPECT_EQ(SwitchValue("-SILENT", L"SILENT"), "(not found)") << "a switch begins with '-'";
    EXPECT_EQ(SwitchValue("-", L"-"), "(not found)") << "a switch has at least two characters";

    EXPECT_EQ(SwitchValue("-ABSOLUTE_FIRMWARE_FILE_PATH=\"/tmp/my images/a.syx\" -SILENT",
                          L"-ABSOLUTE_FIRMWARE_FILE_PATH="),
              "/tmp/my images/a.syx");
    EXPECT_EQ(SwitchValue("-ABSOLUTE_FIRMWARE_FILE_PATH=\"/tmp/my images/a.syx", L"-ABSOLUTE_FIRMWARE_FILE_PATH="),
              "/tmp/my images/a.syx")
        << "a quote that is never closed runs to the end of the line";
    EXPECT_EQ(SwitchValue("-FIRMWARE_IMAGE_NAME= other.syx", L"-FIRMWARE_IMAGE_NAME="), "")
        << "the next argument is not the value";
    EXPECT_EQ(SwitchValue("-SILENT -FIRMWARE_IMAGE_NAME=", L"-FIRMWARE_IMAGE_NAME="), "") << "given, with no value";
    EXPECT_EQ(SwitchValue("-FIRMWARE_IMAGE_NAME=\"\" -SILENT", L"-FIRMWARE_IMAGE_NAME="), "");
}

class UpdateProcessor : public EngineTest {};

std::string ProgramFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

TEST_F(UpdateProcessor, FirmwareFileIsLookedForInTheProgramsFolderByDefaultOrByName)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Absent, LogPath())});
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    ASSERT_EQ(processor->Initialize(WideString()), ZV_S_OK);
    const LUpdateEngineInterface& engine = *processor->GetEngine();
    WideString path;
    EXPECT_TRUE(Succeeded(engine.GetFirmwareFilePath(path)));
    EXPECT_EQ(Narrow(path), ProgramFolder() + "/QR27C_AppAndAssets.syx");
    EXPECT_EQ(engine.GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing);
    EXPECT_EQ(engine.GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);

    const auto pathFor = [&](const wchar_t* commandLine) {
        const RCPtr<LUpdateProcessor> named(new LUpdateProcessor(rig.Factory()));
        EXPECT_EQ(named->Initialize(WideString(commandLine)), ZV_S_OK);
        WideString chosen;
        (void)named->GetEngine()->GetFirmwareFilePath(chosen);
        EXPECT_EQ(named->GetEngine()->GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing);
        return Narrow(chosen);
    };
    EXPECT_EQ(pathFor(L"-FIRMWARE_IMAGE_NAME=Other.syx"), ProgramFolder() + "/Other.syx");
    EXPECT_EQ(pathFor(L"-FIRMWARE_IMAGE_NAME= Other.syx"), "")
        << "given with an empty value: no file, neither the next argument nor the default one";
    EXPECT_EQ(pathFor(L"-SILENT -ABSOLUTE_FIRMWARE_FILE_PATH=\"\""), "")
        << "given but empty: no file at all, never the default one";
    EXPECT_EQ(pathFor(L"-SILENT -FIRMWARE_IMAGE_NAME="), "");
}

TEST_F(UpdateProcessor, AllowDowngradeComesFromTheFirstCommandLineOnly)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Absent, LogPath())});
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    EXPECT_FALSE(processor->GetAllowDowngrade());
    ASSERT_EQ(processor->Initialize(WideString(L"-always_update")), ZV_S_OK);
    EXPECT_TRUE(processor->GetAllowDowngrade());
    EXPECT_EQ(processor->SetAllowDowngrade(true), ZV_S_FALSE);
    EXPECT_EQ(processor->SetAllowDowngrade(false), ZV_S_OK);

    const RCPtr<LUpdateEngineInterface> first = processor->GetEngine();
    ASSERT_EQ(processor->Reinitialize(), ZV_S_OK);
    EXPECT_FALSE(processor->GetAllowDowngrade()) << "the menu's choice outlives a restart";
    EXPECT_NE(processor->GetEngine(), first) << "a restart builds a fresh engine";
    EXPECT_TRUE(processor->IsNotUpdating());
}

TEST_F(UpdateProcessor, EngineThatCannotStartIsAFailedResult)
{
    const RCPtr<LUpdateProcessor> processor(
        new LUpdateProcessor([] { return RCPtr<LMidiCommInterface>(); }));
    EXPECT_TRUE(TextMatchesThrow(
        ThrownText<FailedResultException>([&] { (void)processor->Initialize(WideString(L"-SILENT")); }),
        "Failed Result : ZVRESULT = 80004005 : LUpdateProcessor::Initialize"));
}

TEST_F(UpdateProcessor, DeviceRunningTheFilesBuildEndsWithoutWindowUnlessTheUpdateIsAlwaysWanted)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Normal, LogPath());
    device.Build = 78822;
    SimulatedMidiRig rig({device});
    const std::string file = "-ABSOLUTE_FIRMWARE_FILE_PATH=" + WriteFile("image.syx", MakeImage(2, 8));

    const RCPtr<LUpdateProcessor> notNeeded(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(notNeeded->Initialize(Wide(file + " -SILENT_IF_UPDATE_NOT_NEEDED")),
              LUpdateProcessor::kFinishedWithoutWindow);

    const RCPtr<LUpdateProcessor> always(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(always->Initialize(Wide(file + " -SILENT_IF_UPDATE_NOT_NEEDED -ALWAYS_UPDATE")), ZV_S_OK);
    EXPECT_EQ(always->GetEngine()->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);

    const RCPtr<LUpdateProcessor> automatic(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(automatic->Initialize(Wide(file + " -ALWAYS_UPDATE -START_UPDATE_AUTOMATICALLY")), ZV_S_OK);
    EXPECT_EQ(automatic->GetEngine()->GetDeviceState(), LUpdateEngineInterface::kDeviceEnteringUpdateMode)
        << "a running device is only sent into update mode; the window starts the update when it is back";
    EXPECT_EQ(TextsOfKind(LogPath(), "RX").back(), EnterUpdateModeRequest);
}

TEST_F(UpdateProcessor, RunningDeviceIsNotSentIntoUpdateModeForAnImageThatWouldBeRefused)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Normal, LogPath())});
    const std::string file = "-ABSOLUTE_FIRMWARE_FILE_PATH=" + WriteFile("image.syx", ParseHex("F0 01 F7 F0 02"));
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(processor->Initialize(Wide(file + " -SILENT -START_UPDATE_AUTOMATICALLY")), ZV_S_OK)
        << "the window shows the file as missing or invalid";
    const LUpdateEngineInterface& engine = *processor->GetEngine();
    EXPECT_EQ(engine.GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);
    EXPECT_EQ(engine.GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing);
    EXPECT_EQ(engine.GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kImageRefused);
    EXPECT_EQ(engine.GetUpdateFailure().Offset, 3u);
    EXPECT_EQ(TextsOfKind(LogPath(), "RX"), (std::vector<std::string>{StatusRequest, VersionRequest}));
}

TEST_F(UpdateProcessor, SilentAutomaticStartWaitsForARunningDeviceToComeBackInUpdateModeAndUpdatesIt)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Normal, LogPath())});
    const std::string file = "-ABSOLUTE_FIRMWARE_FILE_PATH=" + WriteFile("image.syx", MakeImage(4, 8));
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(processor->Initialize(Wide(file + " -SILENT -START_UPDATE_AUTOMATICALLY")),
              LUpdateProcessor::kFinishedWithoutWindow);
    EXPECT_EQ(processor->GetEngine()->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, kBoundedWait));
    const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");
    EXPECT_EQ(std::count(received.begin(), received.end(), EnterUpdateModeRequest), 1);
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                            [](const std::string& text) { return text.starts_with("F0 00 "); }),
              1)
        << "the image's first message, once";
    EXPECT_TRUE(rig.Device().GetFindings().empty());
}

TEST_F(UpdateProcessor, SilentAutomaticStartGivesUpOnADeviceThatDoesNotComeBackInUpdateMode)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Normal, LogPath());
    device.RestartTime = std::chrono::milliseconds(60000);
    SimulatedMidiRig rig({device});
    LUpdateProcessor::SetUpdateModeEntryWait(2 * LUpdateProcessor::kUpdateModeEntryTurn);
    const std::string file = "-ABSOLUTE_FIRMWARE_FILE_PATH=" + WriteFile("image.syx", MakeImage(4, 8));
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(processor->Initialize(Wide(file + " -SILENT -START_UPDATE_AUTOMATICALLY")),
              LUpdateProcessor::kFinishedWithoutWindow);
    EXPECT_EQ(processor->GetEngine()->GetDeviceState(), LUpdateEngineInterface::kDeviceEnteringUpdateMode);
    EXPECT_EQ(processor->GetEngine()->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateIdle);
}

TEST_F(UpdateProcessor, SilentAutomaticStartUpdatesADeviceInUpdateModeWithEachMessageAsTheImageHoldsIt)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    std::filesystem::create_directory(mFolder.Path() / "my firmware");
    const std::string imagePath = WriteFile("my firmware/image one.syx",
                                        ParseHex("F0 01 02 03 F7 F0 10 11 0D 12 13 F7 F0 20 F7 F0 30 0D 0D 31 F7 "
                                                      "F0 40 41 42 43 44 F7"));
    const std::string pathSwitch = "-ABSOLUTE_FIRMWARE_FILE_PATH=" + imagePath;
    const char* arguments[] = {"FirmwareUpdater", "-SILENT", "-START_UPDATE_AUTOMATICALLY", pathSwitch.c_str()};
    WideString commandLine;
    std::string refusal;
    ASSERT_TRUE(JoinCommandLine(4, arguments, commandLine, refusal));

    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    EXPECT_EQ(processor->Initialize(commandLine), LUpdateProcessor::kFinishedWithoutWindow);

    EXPECT_EQ(processor->GetEngine()->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished)
        << "the silent start waits for the update";
    EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, kBoundedWait));
    const std::vector<DeviceLogLine> log = ReadDeviceLog(LogPath());
    std::vector<DeviceLogLine> image;
    std::copy_if(log.begin(), log.end(), std::back_inserter(image),
                 [](const DeviceLogLine& line) { return line.Kind == "RX" && line.Text != StatusRequest; });
    std::vector<std::string> received;
    for (const DeviceLogLine& line : image) {
        received.push_back(line.Text);
    }
    EXPECT_EQ(received, (std::vector<std::string>{"F0 01 02 03 F7", "F0 10 11 F7", "F0 0D 12 13 F7", "F0 20 F7",
                                                  "F0 30 F7", "F0 0D F7", "F0 0D 31 F7", "F0 40 41 42 43 44 F7"}))
        << "bodies as the image holds them, split at 0x0D";
    for (std::size_t index = 1; index < image.size(); ++index) {
        EXPECT_GE(image[index].Microseconds - image[index - 1].Microseconds, 1000)
            << "a pause of at least 1 ms before image message " << index + 1;
    }
    const std::vector<std::string> states = TextsOfKind(LogPath(), "STATE");
    EXPECT_NE(std::find(states.begin(), states.end(), "done"), states.end());
    EXPECT_TRUE(rig.Device().GetFindings().empty());
}

}  // namespace
}  // namespace ZV::Testing
