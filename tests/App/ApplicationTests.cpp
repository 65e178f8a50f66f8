#include "App/Application.h"

#include "Engine/EngineTestSupport.h"
#include "Platform/VersionInfo.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

// The program's application over its own skin, with folders of the test's own, talking to one simulated device.
class ProgramApplication : public EngineTest {
protected:
    ProgramApplication()
    {
        Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                             "\\StringFileInfo\\040904b0\\CompanyName=Corvan\n"
                                             "\\StringFileInfo\\040904b0\\ProductName=Halvista Firmware Updater\n");
        for (const char* folder : {"data", "config"}) {
            std::filesystem::create_directory(mFolder / folder);
        }
        mEnvironment.Set("XDG_DATA_HOME", (mFolder / "data").c_str());
        mEnvironment.Set("XDG_CONFIG_HOME", (mFolder / "config").c_str());
    }
    ~ProgramApplication() override { Platform::OverrideProgramVersionInfo(std::nullopt); }

    RCPtr<LApplication> MakeApplication(const std::string& commandLine, SimulatedMidiRig& rig)
    {
        const RCPtr<LControlFactory> factory(new LControlFactory(L"Halvista Firmware Updater"));
        EXPECT_EQ(factory->LoadResources(WideString(ZV_TEST_PROGRAM_SKIN_DIR), 0x0409), ZV_S_OK);
        return RCPtr<LApplication>(
            new LApplication(factory, factory->GetFrameworkStringTable(), Wide(commandLine), rig.Factory()));
    }

    ScopedEnvironment mEnvironment;
};

TEST(ProgramResults, TheProcessorsSixNothingToDoResultsEndTheProgramWithoutItsWindowAndNoOtherDoes)
{
    for (const std::uint32_t result : {0x8000A020u, 0x8000A000u, 0x8000A001u, 0x8000A002u, 0x8000A010u, 0x8000A003u}) {
        EXPECT_TRUE(LApplication::IsFinishedWithoutWindow(static_cast<ZVRESULT>(result))) << std::hex << result;
    }
    for (const std::uint32_t result : {0u, 1u, 0x80004005u, 0x80070057u, 0x8000A004u, 0x8000A021u}) {
        EXPECT_FALSE(LApplication::IsFinishedWithoutWindow(static_cast<ZVRESULT>(result))) << std::hex << result;
    }
}

TEST_F(ProgramApplication, ARunningUpdateHoldsTheExitBackUntilItEnds)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.FlashTime = std::chrono::milliseconds(1000);
    SimulatedMidiRig rig({device});
    const std::string image = WriteFile("image.syx", MakeImage(4, 8));
    const RCPtr<LApplication> application = MakeApplication(
        "-START_UPDATE_AUTOMATICALLY -ALWAYS_UPDATE -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + image + "\"", rig);
    ASSERT_EQ(application->RunApplicationStartup(), ZV_S_OK);
    // The main window finds the processor through the controls' services, which the application is.
    ASSERT_EQ(FindApplicationUpdateProcessor(), application->GetUpdateProcessor());
    // A run with its window starts the update once the window stands.
    ASSERT_TRUE(application->GetUpdateProcessor()->TakeHeldStart());
    ASSERT_EQ(application->GetUpdateProcessor()->StartUpdate(), ZV_S_OK);
    const RCPtr<LUpdateEngineInterface> engine = application->GetUpdateProcessor()->GetEngine();
    ASSERT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateRunning);
    EXPECT_FALSE(application->CanExit());

    ASSERT_EQ(engine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_TRUE(application->CanExit());
    EXPECT_EQ(application->GetExitCode(), 1);
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
}

TEST_F(ProgramApplication, OnlyTheTwoSettingsFilesExistAndAUsersFolderThatCannotBeMadeGivesNone)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Absent, LogPath())});
    WriteContent(mFolder / "a file", "");
    mEnvironment.Set("XDG_DATA_HOME", (mFolder / "a file").c_str());
    const RCPtr<LApplication> application = MakeApplication("", rig);
    for (const std::int32_t index : {-1, 1, 2}) {
        EXPECT_EQ(application->GetIniFile(index), 0) << index;
    }
    EXPECT_EQ(ContentOf(mFolder / "a file"), "");
}

}  // namespace
}  // namespace ZV::Testing
