#include "Application/ApplicationTest.h"
#include "Application/MFCFrameworkApp.h"
#include "Application/StartupError.h"

#include "Platform/InstanceChannel.h"
#include "Platform/InstanceLock.h"
#include "Platform/StandardError.h"
#include "System/MessageLoop.h"
#include "TestSupport.h"

#include <gmock/gmock.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::int32_t kEnglish = 0x0409;
constexpr std::int32_t kGerman = 0x0407;

// The process object of the test application, run as the program's main body runs it, with what it wrote to the
// standard error.
class ProcessTest : public ApplicationTest {
protected:
    ~ProcessTest() override
    {
        TestApplication::sNextStartupResult = std::nullopt;
        TestApplication::sNextExitCode = 1;
    }

    int RunMain(const wchar_t* commandLine, std::int32_t localeId = kEnglish)
    {
        const std::string captured = mFolder / "stderr";
        int exitCode = 0;
        {
            const Platform::StandardErrorRedirection redirection(captured.c_str());
            MFCFrameworkApp<TestApplication> process;
            exitCode = process.Main(commandLine, localeId);
        }
        mStandardError = ContentOf(captured);
        return exitCode;
    }

    // The machine's own, in the user's state folder.
    std::string InstanceFolder() const
    {
        char host[256] = {};
        EXPECT_EQ(gethostname(host, sizeof host - 1), 0);
        return mFolder / "state" + "/ZVTestApplicationPrevent-" + host;
    }

    std::string mStandardError;
};

TEST_F(ProcessTest, ASkinWithoutTheMainControlEndsTheStartWithTheStartupErrorAndMinusOne)
{
    SetApplicationFolderOverride(kResourceFolder, WideString(ZV_TEST_DATA_DIR "/DemoSkin"));
    EXPECT_EQ(RunMain(L""), -1);
    EXPECT_THAT(mStandardError,
                HasSubstr("Runtime Error : Null Pointer : Invalid Control Name : "
                          "ZV::LApplicationBase<class ZV::Testing::TestApplication>::CreateMainWindow"));
    EXPECT_THAT(mStandardError,
                HasSubstr("\nError: The application encountered problems during startup and will now close.\n"));
    // The skin's framework table has no start-up texts: the built-in ones stand in.
    EXPECT_THAT(Boxes(), ElementsAre("Error: The application encountered problems during startup and will now close."));
    // The shut-down ran all the same.
    EXPECT_THAT(DebugLinesStartingWith("Shut-down:"),
                ElementsAre("Shut-down: the factory, the hot keys and the clipboard are released.",
                            "Shut-down: the settings files are written and closed.",
                            "Shut-down: the application object is released."));
}

TEST_F(ProcessTest, AFailedStartupShowsTheStartupErrorOfTheUsersLanguageInItsBoxAndEnglishOnStandardError)
{
    TestApplication::sNextStartupResult = ZV_E_INVALIDARG;
    EXPECT_EQ(RunMain(L"", kGerman), -1);
    EXPECT_THAT(mStandardError, HasSubstr("Failed Result : ZVRESULT = 80070057 : "
                                          "ZV::MFCFrameworkApp<class ZV::Testing::TestApplication>::Run"));
    EXPECT_THAT(mStandardError,
                HasSubstr("\nError: The application encountered problems during startup and will now close.\n"));
    EXPECT_THAT(mStandardError, Not(HasSubstr("Fehler")));
    EXPECT_THAT(Boxes(),
                ElementsAre("Fehler: Beim Start des Programms sind Probleme aufgetreten. Es wird jetzt beendet."));
}

TEST_F(ProcessTest, NothingLeftToDoEndsQuietlyWithTheApplicationsExitCodeAndNoWindow)
{
    TestApplication::sNextStartupResult = TestApplication::kFinishedWithoutWindow;
    TestApplication::sNextExitCode = 3;
    EXPECT_EQ(RunMain(L"-SILENT"), 3);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_EQ(mStandardError, "");
    EXPECT_THAT(DebugLinesStartingWith("Shut-down: the application"),
                ElementsAre("Shut-down: the application object is released."));
}

TEST_F(ProcessTest, ALaterStartHandsItsCommandLineToTheFirstInstanceAndEndsWithMinusOne)
{
    // The first instance: it holds the lock and listens.
    std::filesystem::create_directories(InstanceFolder());
    std::filesystem::permissions(InstanceFolder(), std::filesystem::perms::owner_all);
    Platform::InstanceLock::Outcome outcome;
    std::string refusal;
    const std::unique_ptr<Platform::InstanceLock> lock =
        Platform::InstanceLock::TryAcquire(InstanceFolder() + "/lock", outcome, refusal);
    ASSERT_TRUE(lock);
    std::vector<std::string> received;
    const std::unique_ptr<Platform::InstanceChannelListener> listener =
        Platform::InstanceChannelListener::Listen(InstanceFolder() + "/socket");
    ASSERT_TRUE(listener);
    listener->SetReceiver([&received](std::int32_t tag, const char* data, std::size_t size) {
        received.push_back(std::to_string(tag) + ":" + std::string(data, size));
    });
    GetMessageLoop().AddSource(listener.get());

    std::atomic<int> exitCode{0};
    std::thread later([&] { exitCode = RunMain(L"-SILENT -FIRMWARE_IMAGE_NAME=\"a b.syx\""); });
    (void)GetMessageLoop().Run([&] { return received.empty(); });
    later.join();
    EXPECT_EQ(exitCode.load(), -1);
    EXPECT_EQ(mStandardError, "The program is running already and took this command line; this start ends.\n");

    std::atomic<int> emptyExitCode{0};
    std::thread empty([&] {
        MFCFrameworkApp<TestApplication> process;
        emptyExitCode = process.Main(L"", kEnglish);
    });
    (void)GetMessageLoop().Run([&] { return received.size() < 2; });
    empty.join();
    EXPECT_EQ(emptyExitCode.load(), -1);

    // Longer than the channel carries: the window only comes to the front, and the later start says why.
    const WideString huge = WideString(L"-ABSOLUTE_FIRMWARE_FILE_PATH=/") + WideString(std::string(70000, 'x').c_str());
    std::thread tooLong([&] { exitCode = RunMain(huge.GetData()); });
    (void)GetMessageLoop().Run([&] { return received.size() < 3; });
    tooLong.join();
    GetMessageLoop().RemoveSource(listener.get());
    EXPECT_EQ(exitCode.load(), -1);
    EXPECT_THAT(mStandardError, HasSubstr("too long to hand over"));

    // A command line reaches the first instance once; an empty one only brings its window to the front.
    EXPECT_THAT(received, ElementsAre("1125:-SILENT -FIRMWARE_IMAGE_NAME=\"a b.syx\"", "0:", "0:"));
    EXPECT_THAT(Boxes(), IsEmpty());

    // What stands in the channel's place is named for what it is.
    const std::string channel = InstanceFolder() + "/socket";
    std::filesystem::remove(channel);
    std::ofstream(channel) << "not a socket";
    EXPECT_EQ(RunMain(L"-SILENT"), -1);
    EXPECT_EQ(mStandardError, "The program is running already, but its hand-over channel " + channel +
                                  " is a plain file, not a socket; this start ends without handing its command line "
                                  "over.\n");
}

TEST_F(ProcessTest, ALaterStartThatMetABusyFirstInstanceEndsWithMinusOneThoughTheFirstEndsWhileItWaits)
{
    // A first instance busy with a silent update: it holds the lock, and its channel takes connections that it
    // does not read.
    std::filesystem::create_directories(InstanceFolder());
    std::filesystem::permissions(InstanceFolder(), std::filesystem::perms::owner_all);
    Platform::InstanceLock::Outcome outcome;
    std::string refusal;
    std::unique_ptr<Platform::InstanceLock> lock =
        Platform::InstanceLock::TryAcquire(InstanceFolder() + "/lock", outcome, refusal);
    ASSERT_TRUE(lock);
    std::unique_ptr<Platform::InstanceChannelListener> listener =
        Platform::InstanceChannelListener::Listen(InstanceFolder() + "/socket");
    ASSERT_TRUE(listener);

    TestApplication::sNextStartupResult = TestApplication::kFinishedWithoutWindow;
    TestApplication::sNextExitCode = 3;
    std::atomic<int> exitCode{0};
    std::thread later([&] { exitCode = RunMain(L"-SILENT"); });
    pollfd connected{listener->GetDescriptor(), POLLIN, 0};
    EXPECT_EQ(poll(&connected, 1, static_cast<int>(kBoundedWait.count())), 1) << "the later start never connected";
    // The first ends: its lock goes first, then its channel, while the later start waits for an answer.
    lock = nullptr;
    listener = nullptr;
    later.join();
    EXPECT_EQ(exitCode.load(), -1) << "the later start ran its own update after the first";
    EXPECT_EQ(mStandardError, "The program is running already but does not answer; this start ends.\n");
}

TEST_F(ProcessTest, BeforeTheResourcesAreReadTheStartupBoxIsInTheUsersLanguageAndARefusalIsItsOneEnglishLine)
{
    mEnvironment.Set("LC_ALL", "de_DE.UTF-8");
    const std::string captured = mFolder / "stderr";
    {
        const Platform::StandardErrorRedirection redirection(captured.c_str());
        RefuseStart("Argument 1 is not UTF-8 text, so it cannot name a file: a\\xFF\nFirmwareUpdater: forged");
        ShowStartupError(nullptr, "Runtime Error : cannot open \"/tmp/\x1B[2K\rskin\"");
    }
    EXPECT_EQ(ContentOf(captured),
              "Argument 1 is not UTF-8 text, so it cannot name a file: a\\xFF\\x0AFirmwareUpdater: forged\n"
              "Runtime Error : cannot open \"/tmp/\\x1B[2K\\x0Dskin\"\n"
              "Error: The application encountered problems during startup and will now close.\n");
    const std::string german = "Fehler: Beim Start des Programms sind Probleme aufgetreten. Es wird jetzt beendet.";
    EXPECT_THAT(Boxes(), ElementsAre(german, german));
}

TEST_F(ProcessTest, AnInstanceFolderOpenToOthersIsRefusedInOneLineAndTheStartGoesOnWithoutTheCheck)
{
    std::filesystem::create_directories(InstanceFolder());
    std::filesystem::permissions(InstanceFolder(), std::filesystem::perms::all);
    TestApplication::sNextStartupResult = TestApplication::kFinishedWithoutWindow;
    TestApplication::sNextExitCode = 3;
    EXPECT_EQ(RunMain(L"-SILENT"), 3);
    EXPECT_EQ(mStandardError, "The single-instance folder " + InstanceFolder() +
                                  " is open to other users; this start goes on without the single-instance check.\n");
    EXPECT_FALSE(std::filesystem::exists(InstanceFolder() + "/lock"));
}

}  // namespace
}  // namespace ZV::Testing
