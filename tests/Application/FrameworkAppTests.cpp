#include "Application/ApplicationTest.h"

#include "DebuggerOutputCapture.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/StandardError.h"
#include "System/MessageLoop.h"
#include "System/WindowPlacement.h"
#include "TestSupport.h"

#include <sys/stat.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;

void PostExitRequest()
{
    ASSERT_EQ(GetApplicationNotificationCenter()->PostNotification(LNotification::Create(kExitRequestId, nullptr)),
              ZV_S_OK);
}

using FrameworkApp = ApplicationTest;

TEST_F(FrameworkApp, FolderIdsGiveTheProgramsFolderTheResourcesAndTheUsersFoldersOfCompanyAndProduct)
{
    const RCPtr<TestApplication> application = MakeApplication();
    EXPECT_EQ(Utf8(application->GetFolder(kProgramFolder)),
              std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
    EXPECT_EQ(Utf8(application->GetFolder(kResourceFolder)), "::");
    const std::string companyAndProduct = "/Corvan/Halvista Firmware Updater";
    EXPECT_EQ(Utf8(application->GetFolder(kSharedDataFolder)), mFolder / "config" + companyAndProduct);
    EXPECT_EQ(Utf8(application->GetFolder(kUserDataFolder)), mFolder / "data" + companyAndProduct);
    EXPECT_EQ(Utf8(application->GetFolder(kDocumentsFolder)), mFolder / "home/Documents");
    for (const char* made : {"config/Corvan/Halvista Firmware Updater", "data/Corvan/Halvista Firmware Updater",
                             "home/Documents"}) {
        EXPECT_TRUE(std::filesystem::is_directory(mFolder / made)) << made;
    }
    EXPECT_TRUE(TextMatchesThrow(ThrownText<std::out_of_range>([&] { (void)application->GetFolder(5); }),
                                 "Out of Range : Unknown Path ID. : "
                                 "ZV::MFCFrameworkApp<class ZV::Testing::TestApplication>::GetFolder"));

    // Names that a file name must not hold become folder names all the same.
    Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                         "\\StringFileInfo\\040904b0\\CompanyName=Cor:van/Labs\n"
                                         "\\StringFileInfo\\040904b0\\ProductName=Up*dater (beta)\n");
    EXPECT_EQ(Utf8(application->GetFolder(kUserDataFolder)), mFolder / "data/Cor_van_Labs/Up_dater _beta_");
}

// However often it is asked for, one line of the debug output names it.
TEST_F(FrameworkApp, AFolderThatCannotBeMadeIsEmptyNamedOnceAndTheProgramRunsWithItsDefaults)
{
    WriteContent(mFolder / "a file", "not a folder");
    mEnvironment.Set("XDG_DATA_HOME", (mFolder / "a file").c_str());
    const DebuggerOutputCapture capture;
    const RCPtr<TestApplication> application = MakeApplication();
    EXPECT_EQ(Utf8(application->GetFolder(kUserDataFolder)), "");
    EXPECT_EQ(application->GetIniFile(1), 0);
    EXPECT_EQ(application->RunApplicationStartup(), ZV_S_OK);
    EXPECT_EQ(application->GetCurrentSkinIndex(), 0);
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
    EXPECT_EQ(ContentOf(mFolder / "a file"), "not a folder");
    const std::string line =
        "The folder " + mFolder / "a file" + "/Corvan/Halvista Firmware Updater cannot be made: Not a directory.";
    const std::vector<std::string> texts = DebuggerOutputCapture::Texts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [&](const std::string& text) { return text.find(line) != std::string::npos; }),
              1);
}

// The framework's text could not give back such a name: a folder cut at the byte or changed would be another one.
TEST_F(FrameworkApp, FoldersWhoseNamesAreNotUtf8TextAreEmptyNamedOnceOnTheStandardErrorAndNothingIsMadeThere)
{
    const std::string config = mFolder / "config\xFF";
    const std::string data = mFolder / "data\xE4";
    const std::string home = mFolder / "home\xC3";
    mEnvironment.Set("XDG_CONFIG_HOME", config.c_str());
    mEnvironment.Set("XDG_DATA_HOME", data.c_str());
    mEnvironment.Set("HOME", home.c_str());
    const RCPtr<TestApplication> application = MakeApplication();
    const std::string captured = mFolder / "stderr";
    {
        const Platform::StandardErrorRedirection redirection(captured.c_str());
        for (const ApplicationFolderId id : {kSharedDataFolder, kUserDataFolder, kDocumentsFolder, kUserDataFolder}) {
            EXPECT_EQ(Utf8(application->GetFolder(id)), "") << id;
        }
        EXPECT_EQ(application->GetIniFile(1), 0);
    }
    const std::string companyAndProduct = "/Corvan/Halvista Firmware Updater";
    std::string expected;
    for (const std::string& folder : {config + companyAndProduct, data + companyAndProduct, home + "/Documents"}) {
        expected += Platform::EscapeForLine("The folder " + folder +
                                            " is not used, as its name is not UTF-8 text; nothing is read from or "
                                            "written to it.") +
                    "\n";
    }
    EXPECT_EQ(ContentOf(captured), expected);
    for (const std::string& folder : {config, data, home}) {
        EXPECT_FALSE(std::filesystem::exists(folder)) << "nothing made";
    }
}

TEST_F(FrameworkApp, ElapsedSecondsAddUpTheClocksStepsAcrossItsWrap)
{
    const RCPtr<TestApplication> application = MakeApplication();
    application->mClock = 1000;
    const double start = application->GetElapsedSeconds();
    application->mClock = 2500;
    EXPECT_NEAR(application->GetElapsedSeconds() - start, 1.5, 1e-9);
    application->mClock = 0xFFFFFF00u;
    const double beforeWrap = application->GetElapsedSeconds();
    application->mClock = 0x100u;
    EXPECT_NEAR(application->GetElapsedSeconds() - beforeWrap, 0.512, 1e-9);
    EXPECT_DOUBLE_EQ(application->GetTimeSeconds(), application->GetElapsedSeconds());
    EXPECT_EQ(application->GetTimeMs(), 0x100u);

    const SystemTime now = application->GetSystemTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31 && now.dayOfWeek <= 6);
    EXPECT_TRUE(now.hour < 24 && now.minute < 60 && now.second < 61 && now.milliseconds < 1000);
}

TEST_F(FrameworkApp, TheRememberedSkinIsReadAtStartKeptWithinTheSkinsAndWrittenAndClosedAtShutDown)
{
    if (!std::filesystem::exists(std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                 "libIniFileManager.so")) {
        GTEST_SKIP() << "the settings library is not beside the test program";
    }
    std::filesystem::create_directories(std::filesystem::path(UserSettingsPath()).parent_path());
    WriteContent(UserSettingsPath(), "[Halvista Firmware Updater]\nCurrentSkinIndex=7\nWindowTheme=dark\n");
    const RCPtr<TestApplication> application = MakeApplication();
    EXPECT_EQ(application->GetCurrentSkinIndex(), 7);
    EXPECT_EQ(application->RunApplicationStartup(), ZV_S_OK);
    EXPECT_EQ(application->GetFactory()->GetCurrentSkinIndex(), 0);
    ASSERT_TRUE(application->GetDefaultFont());
    EXPECT_EQ(Utf8(application->GetDefaultFont()->GetFaceName()), "Arial");
    // Nothing reaches the disk before the shut-down.
    EXPECT_NE(ContentOf(UserSettingsPath()).find("CurrentSkinIndex=7"), std::string::npos);

    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
    const std::string written = ContentOf(UserSettingsPath());
    EXPECT_NE(written.find("CurrentSkinIndex=0"), std::string::npos) << written;
    EXPECT_NE(written.find("WindowTheme=dark"), std::string::npos) << written;
    EXPECT_FALSE(application->GetFactory());
    EXPECT_FALSE(application->GetClipboard());
    EXPECT_THAT(DebugLinesStartingWith("Shut-down:"),
                ElementsAre("Shut-down: the factory, the hot keys and the clipboard are released.",
                            "Shut-down: the settings files are written and closed."));
}

// Nothing changed since the start: the file stays the one it was. A place that cannot be kept is said, not dropped.
TEST_F(FrameworkApp, TheShutDownSaysWrittenOnlyWhenAFileWasAndAPlaceThatCannotBeKeptIsSaidInOneLine)
{
    if (!std::filesystem::exists(std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                 "libIniFileManager.so")) {
        GTEST_SKIP() << "the settings library is not beside the test program";
    }
    std::filesystem::create_directories(std::filesystem::path(UserSettingsPath()).parent_path());
    const std::string kept = "[Halvista Firmware Updater]\nCurrentSkinIndex=0\n";
    WriteContent(UserSettingsPath(), kept);
    struct stat before {};
    ASSERT_EQ(stat(UserSettingsPath().c_str(), &before), 0);
    const RCPtr<TestApplication> application = MakeApplication();
    EXPECT_EQ(application->RunApplicationStartup(), ZV_S_OK);
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
    struct stat after {};
    ASSERT_EQ(stat(UserSettingsPath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ContentOf(UserSettingsPath()), kept);
    EXPECT_THAT(DebugLinesStartingWith("Shut-down: the settings"),
                ElementsAre("Shut-down: the settings files are closed unwritten, as nothing in them changed."));

    // A file of the user's at the name of the place's folder.
    const std::string blocking = mFolder.Write("data/ZVTestApplication", "not a folder");
    EXPECT_FALSE(WindowPlacementStore(TestApplication::kWindowClassName).Save({10, 20, 400, 300}));
    EXPECT_EQ(ContentOf(blocking), "not a folder");
    EXPECT_THAT(DebugLinesStartingWith("The window's place"),
                ElementsAre("The window's place is not kept, as the folder of " + blocking +
                            "/WindowPlacement cannot be made: Not a directory."));
}

TEST_F(FrameworkApp, AnExitRequestWhileTheApplicationMustNotEndIsDroppedAndALaterOneEndsTheLoop)
{
    const RCPtr<TestApplication> application = MakeApplication();
    bool updating = true;
    application->mCanExit = [&updating] { return !updating; };
    ASSERT_EQ(application->RunApplicationStartup(), ZV_S_OK);

    PostExitRequest();
    (void)application->ProcessIdle(true);
    EXPECT_FALSE(application->IsExitRequested());
    EXPECT_FALSE(GetMessageLoop().IsQuitting());

    updating = false;
    PostExitRequest();
    (void)application->ProcessIdle(true);
    EXPECT_TRUE(application->IsExitRequested());
    EXPECT_TRUE(GetMessageLoop().IsQuitting());
    // From now on idle passes do nothing, not even deliver what was posted.
    PostExitRequest();
    EXPECT_FALSE(application->ProcessIdle(true));
    EXPECT_THAT(DebugLinesStartingWith("The exit request"),
                ElementsAre("The exit request is dropped: the application may not end now.",
                            "The exit request is honoured."));
    GetMessageLoop().ClearQuit();
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
}

TEST_F(FrameworkApp, ARootWindowIsRefusedToAControlWithoutADescriptorOrWithOneTheSkinDoesNotHave)
{
    const RCPtr<TestApplication> application = MakeApplication();
    ASSERT_EQ(application->RunApplicationStartup(), ZV_S_OK);
    RCPtr<LControl> toolTip;
    application->CreateControlByName(toolTip, L"toolTip", nullptr);
    ASSERT_TRUE(toolTip);
    EXPECT_EQ(Utf8(toolTip->GetName()), "toolTip");
    RCPtr<LControl> missing(toolTip);
    application->CreateControlByName(missing, L"noSuchControl", nullptr);
    EXPECT_FALSE(missing);

    const std::string function = "ZV::LApplicationBase<class ZV::Testing::TestApplication>::CreateRootWindow";
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)application->CreateRootWindow(nullptr, true, true, true); },
                                               "Runtime Error : Null Pointer : Control descriptor is null : " +
                                                   function));
    const RCPtr<LControl> stranger = application->GetFactory()->CreateControl(
        LControlFactory::DeriveControlDescriptor(toolTip->GetControlDescriptor(), toolTip->GetLayoutDescriptor(),
                                                 L"noSuchControl"),
        nullptr);
    ASSERT_TRUE(stranger);
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)application->RunModalRootWindow(stranger, true); },
                                               "Runtime Error : Null Pointer : Invalid Control Name : " + function));
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
}

// The first turn of its loop fails.
class FailingLoopApplication : public TestApplication {
public:
    using TestApplication::TestApplication;

    void PumpMessages() override
    {
        if (!mFailed) {
            mFailed = true;
            throw std::runtime_error("the loop broke");
        }
        TestApplication::PumpMessages();
    }

private:
    bool mFailed = false;
};

TEST_F(FrameworkApp, AFailureThatLeavesTheLoopShowsTheBuiltInTextsAndTheLoopGoesOnUntilTheExitIsAllowed)
{
    // A framework string table without the start-up texts.
    const RCPtr<LControlFactory> factory(new LControlFactory(L"SkinDemo"));
    ASSERT_EQ(factory->LoadResources(WideString(ZV_TEST_DATA_DIR "/DemoSkin"), 0x0409), ZV_S_OK);
    ASSERT_TRUE(factory->GetFrameworkStringTable());
    const RCPtr<FailingLoopApplication> application(
        new FailingLoopApplication(factory, factory->GetFrameworkStringTable(), L""));
    std::atomic<bool> updating{true};
    application->mCanExit = [&updating] { return !updating.load(); };
    ASSERT_EQ(application->RunApplicationStartup(), ZV_S_OK);

    // Turns of the loop come without a window while the tick runs.
    GetMessageLoop().StartTick();
    std::thread updateEnds([&] {
        const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
        while (DebugLinesStartingWith("The exit request is dropped").empty() &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        updating = false;
        PostExitRequest();
    });
    application->RunMessageLoop();
    updateEnds.join();
    GetMessageLoop().StopTick();

    EXPECT_THAT(Boxes(), ElementsAre("Error: The application encountered problems during startup and will now close."));
    EXPECT_TRUE(application->IsExitRequested());
    EXPECT_FALSE(GetMessageLoop().IsQuitting());
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
}

}  // namespace
}  // namespace ZV::Testing
