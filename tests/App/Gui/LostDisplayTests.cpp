// The program when its display goes away (another client kills its connection, as xkill does, or the server ends,
// also while the program starts) and when its window cannot open at all (no server, or one that never answers): an
// update goes on to its end without the window, an idle window ends the program as its close does, no start outlives
// its server by more than seconds, and a window that cannot open leaves the device untouched.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "App/Gui/ProgramOnDesktop.h"
#include "Platform/SplashWindow.h"
#include "TestFiles.h"

#include <gmock/gmock.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Matcher;
using ::testing::Not;
using ::testing::StartsWith;

constexpr int kImageMessages = 200;

// A server of the test's own, which the test can end. It takes a display number that no server has.
class PrivateDisplay {
public:
    explicit PrivateDisplay(const std::string& log) : mServer(log)
    {
        if (!mServer.GetName().empty()) {
            mWatcher = XOpenDisplay(mServer.GetName().c_str());
        }
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;
    ~PrivateDisplay() { End(); }

    bool IsOpen() const { return mWatcher != nullptr; }
    const std::string& GetName() const { return mServer.GetName(); }

    // The top-level window that shows: the program's is the only one. 0 while none does.
    unsigned long FindShownWindow() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Window shown = 0;
        if (XQueryTree(mWatcher, DefaultRootWindow(mWatcher), &root, &parent, &children, &count) == 0) {
            return 0;
        }
        for (unsigned int index = 0; index < count && shown == 0; ++index) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(mWatcher, children[index], &attributes) != 0 &&
                attributes.map_state == IsViewable) {
                shown = children[index];
            }
        }
        XFree(children);
        return shown;
    }
    bool ShowsAWindow() const { return FindShownWindow() != 0; }

    // As another program may.
    void DestroyWindow(unsigned long window)
    {
        XDestroyWindow(mWatcher, window);
        XSync(mWatcher, False);
    }

    // The server stops answering, as in a frozen session, until it ends. The watcher goes first: it would wait.
    void Stop()
    {
        if (mWatcher != nullptr) {
            XCloseDisplay(mWatcher);
            mWatcher = nullptr;
        }
        mServer.GetProcess().Signal(SIGSTOP);
    }

    // The server ends, as a desktop session does.
    void End()
    {
        if (mWatcher != nullptr) {
            XCloseDisplay(mWatcher);
            mWatcher = nullptr;
        }
        mServer.End();
    }

private:
    OwnXServer mServer;
    Display* mWatcher = nullptr;
};

// A display number that no server has, kept from servers by the lock file that a server keeps. Listening, it takes
// connections and never answers them, as a hung server or a forwarded connection whose far end died does: a socket
// where a local server's would be, that nobody reads. Otherwise nothing answers it at all.
class ServerlessDisplay {
public:
    explicit ServerlessDisplay(bool listening)
    {
        for (int number = 100 + getpid() % 400; number < 1000 && mName.empty(); ++number) {
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            const int lockFile = open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
            if (lockFile < 0) {
                continue;
            }
            const std::string pid = std::to_string(getpid()) + "\n";
            (void)!write(lockFile, pid.data(), pid.size());
            close(lockFile);
            mPaths = {lock};
            const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
            if (listening && !Listen(path)) {
                std::filesystem::remove(lock);
                continue;
            }
            mName = ":" + std::to_string(number);
        }
    }
    ServerlessDisplay(const ServerlessDisplay&) = delete;
    ServerlessDisplay& operator=(const ServerlessDisplay&) = delete;
    ~ServerlessDisplay()
    {
        if (mSocket >= 0) {
            close(mSocket);
        }
        for (const std::string& path : mPaths) {
            std::filesystem::remove(path);
        }
    }

    const std::string& GetName() const { return mName; }

private:
    bool Listen(const std::string& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        mSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(mSocket, 64) == 0) {
            mPaths.push_back(path);
            return true;
        }
        close(mSocket);
        mSocket = -1;
        return false;
    }

    std::string mName;
    std::vector<std::string> mPaths;
    int mSocket = -1;
};

class LostDisplay : public ProgramOnDesktop {
protected:
    LostDisplay()
    {
        std::string image;
        for (int message = 0; message < kImageMessages; ++message) {
            image += std::string("\xF0\x01\x02\x03\x04\x05\x06\x07\xF7", 9);
        }
        WriteContent(mImage, image);
    }

    // The lines of the device's log that show a message it received.
    std::vector<std::string> ReceivedLines() const { return ReceivedLines(mLog); }
    static std::vector<std::string> ReceivedLines(const std::string& logPath)
    {
        std::vector<std::string> lines;
        std::istringstream log(ContentOf(logPath));
        for (std::string line; std::getline(log, line);) {
            if (line.find(" RX ") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    std::size_t ImageMessagesReceived() const { return ImageMessagesReceived(mLog); }
    static std::size_t ImageMessagesReceived(const std::string& log)
    {
        std::size_t count = 0;
        for (const std::string& line : ReceivedLines(log)) {
            count += line.find(" RX F0 01 02 03") != std::string::npos ? 1 : 0;
        }
        return count;
    }

    bool DeviceWas(const std::string& state) const { return DeviceWas(mLog, state); }
    bool DeviceWasAskedIntoUpdateMode() const
    {
        return ContentOf(mLog).find(" RX F0 47 00 37 07 00 00 00 F7") != std::string::npos;
    }
    static bool DeviceWas(const std::string& log, const std::string& state)
    {
        return ContentOf(log).find(" STATE " + state + "\n") != std::string::npos;
    }

    // The device's log shows the lines, each after the one before, once the device came back in update mode.
    bool LogShowsInOrder(const std::vector<std::string>& steps) const
    {
        const std::string log = ContentOf(mLog);
        std::size_t at = log.find(" STATE update");
        for (const std::string& step : steps) {
            at = at == std::string::npos ? at : log.find(step, at);
        }
        return at != std::string::npos;
    }

    // The device heard nothing but the requests it hears before an update, except the one that sends it into update
    // mode; each line it heard else is added to the failure.
    static ::testing::AssertionResult OnlyAsked(const std::string& log)
    {
        const std::regex question(R"(\d+ RX F0 47 [0-9A-F]{2} [0-9A-F]{2} 07 0[025] 00 00 F7)");
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        for (const std::string& line : ReceivedLines(log)) {
            if (!std::regex_match(line, question)) {
                result = ::testing::AssertionFailure() << line << "\n";
            }
        }
        return DeviceWas(log, "restarting") ? ::testing::AssertionFailure() << "restarted" : result;
    }

    // Null, with the server's words on the failure, when it did not start.
    std::unique_ptr<PrivateDisplay> OpenPrivateDisplay(const std::string& log = "xvfb.log")
    {
        auto display = std::make_unique<PrivateDisplay>(mFolder / log);
        EXPECT_TRUE(display->IsOpen()) << ContentOf(mFolder / log);
        return display->IsOpen() ? std::move(display) : nullptr;
    }

    // A run beside others at once on the display: folders, an instance lock and a device log of its own.
    std::map<std::string, std::string> RunOfItsOwn(const std::string& name, const std::string& display) const
    {
        const std::filesystem::path folder = mFolder / name;
        for (const char* part : {"home", "data", "config", "runtime", "state"}) {
            std::filesystem::create_directories(folder / part);
        }
        std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
        return {{"DISPLAY", display},
                {"HOME", folder / "home"},
                {"XDG_DATA_HOME", folder / "data"},
                {"XDG_CONFIG_HOME", folder / "config"},
                {"XDG_RUNTIME_DIR", folder / "runtime"},
                {"XDG_STATE_HOME", folder / "state"},
                {"ZV_SIM_LOG", folder / "device.log"}};
    }

    // The program's display: the test's own server, or the desktop of the tests.
    static std::map<std::string, std::string> OnDisplay(const PrivateDisplay* own)
    {
        return own ? std::map<std::string, std::string>{{"DISPLAY", own->GetName()}}
                   : std::map<std::string, std::string>{};
    }

    // As xkill does: the server ends the connection of the client that made the window.
    void KillConnectionOf(unsigned long window)
    {
        XKillClient(mDesktop.GetDisplay(), window);
        XSync(mDesktop.GetDisplay(), False);
    }

    const std::string mImage = mFolder / "image.syx";
    const std::string mLog = mFolder / "device.log";
};

TEST_F(LostDisplay, AnUpdateWhoseDisplayGoesAwayGoesOnToItsEndWithoutTheWindowAndEndsWith1)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    for (const bool serverEnds : {false, true}) {
        SCOPED_TRACE(serverEnds ? "the server ends" : "another client kills the connection");
        std::filesystem::remove(mLog);
        const std::unique_ptr<PrivateDisplay> own = serverEnds ? OpenPrivateDisplay() : nullptr;
        ASSERT_TRUE(!serverEnds || own);
        std::map<std::string, std::string> environment = OnDisplay(own.get());
        environment.insert({{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_BYTES_PER_SECOND", "600"}});
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                  environment);
        const unsigned long window = own ? 0 : WaitForMainWindow(*program);
        ASSERT_TRUE(own || window != 0) << program->ReadStandardError();
        ASSERT_TRUE(WaitUntil([&] { return ImageMessagesReceived() >= 10 || program->CheckEnded(); }, {},
                              kHangGuard));
        ASSERT_FALSE(program->CheckEnded()) << program->ReadStandardError();

        if (own) {
            own->End();
        } else {
            KillConnectionOf(window);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_EQ(ImageMessagesReceived(), static_cast<std::size_t>(kImageMessages));
        EXPECT_TRUE(DeviceWas("done")) << ContentOf(mLog);
        EXPECT_EQ(program->LinesStartingWith("FirmwareUpdater:"),
                  std::vector<std::string>({"FirmwareUpdater: the display went away; the update goes on without the "
                                            "window, and the program ends when it has ended",
                                            "FirmwareUpdater: the update finished"}));
    }
}

// The update ends while nothing can show it: the window froze with its server right after the request into update mode
// and the server ends once the update is over (the device confirmed and is back from its restart, or went away), or
// another program destroys the window then. The end is said in one line all the same; the line before it may still
// see the update going on, as the program takes in its end a moment after the device's last answer.
TEST_F(LostDisplay, AnUpdateThatEndsWhileTheWindowIsFrozenOrJustBeforeItGoesSaysHowItEnded)
{
    const std::string ending = "FirmwareUpdater: the display went away; the program ends";
    const std::string goesOn = "FirmwareUpdater: the display went away; the update goes on without the window, and the "
                               "program ends when it has ended";
    const std::string destroyed = "FirmwareUpdater: another program destroyed the window; the update goes on without "
                                  "it, and the program ends when it has ended";
    const std::string finished = "FirmwareUpdater: the update finished";
    const auto wentAway = StartsWith("FirmwareUpdater: the device went away during the update");
    // The update is over once the device is back from its restart: the window awaits it with "NEXT".
    const std::vector<std::string> backRunning = {" STATE done", " STATE normal"};
    struct Case {
        const char* what;
        bool frozen;
        const char* fault;
        // What the device's log shows, in this order, after it came back in update mode, once the update is over.
        std::vector<std::string> end;
        Matcher<std::vector<std::string>> said;
    };
    const Case cases[] = {
        {"the server stopped, then ended once the update is over", true, "", backRunning,
         ElementsAre(AnyOf(ending, goesOn), finished)},
        {"the server stopped, then ended once the device went away", true, "vanish-after=5", {" STATE absent"},
         ElementsAre(AnyOf(ending, goesOn), wentAway)},
        {"the window destroyed once the update is over", false, "", backRunning,
         AnyOf(ElementsAre(finished), ElementsAre(destroyed, finished))},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        std::filesystem::remove(mLog);
        const std::unique_ptr<PrivateDisplay> own = OpenPrivateDisplay();
        ASSERT_TRUE(own);
        std::map<std::string, std::string> environment = OnDisplay(own.get());
        environment.insert({{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_RESTART_MS", "300"}, {"ZV_SIM_FLASH_MS", "300"}});
        if (*run.fault != '\0') {
            environment.emplace("ZV_SIM_FAULT", run.fault);
        }
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                  environment);
        ASSERT_TRUE(WaitUntil([&] { return DeviceWasAskedIntoUpdateMode() || program->CheckEnded(); }, {},
                              kHangGuard));
        ASSERT_FALSE(program->CheckEnded()) << program->ReadStandardError();
        if (run.frozen) {
            own->Stop();
        }
        // A program that ended early is told by its end, not by a device that waits for it.
        (void)WaitUntil([&] { return LogShowsInOrder(run.end) || program->CheckEnded(); },
                        {program->GetEndDescriptor()}, kHangGuard);
        if (run.frozen) {
            own->End();
        } else {
            const unsigned long window = own->FindShownWindow();
            ASSERT_NE(window, 0u) << program->ReadStandardError();
            own->DestroyWindow(window);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), run.said);
        EXPECT_TRUE(LogShowsInOrder(run.end)) << ContentOf(mLog);
    }
}

// The window froze with its server during the send, a request to end came from the system, and the server ends once
// the update is over (the device is back from its restart, or went away): the request waited, and ends the program
// once the update has ended, which one line says.
TEST_F(LostDisplay, ARequestToEndWhileTheWindowIsFrozenDuringTheSendEndsTheProgramAfterTheUpdateWithItsEndSaid)
{
    const std::string finished = "FirmwareUpdater: the update finished";
    const std::vector<std::string> backRunning = {" STATE done", " STATE normal"};
    struct Case {
        const char* what;
        const char* fault;
        std::vector<std::string> end;
        Matcher<std::string> said;
    };
    const Case cases[] = {
        {"the update finished", "", backRunning, finished},
        {"the device went away", "vanish-after=10", {" STATE absent"},
         StartsWith("FirmwareUpdater: the device went away during the update (at byte offset ")},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        std::filesystem::remove(mLog);
        std::filesystem::remove(mFolder / "release");
        const std::unique_ptr<PrivateDisplay> own = OpenPrivateDisplay();
        ASSERT_TRUE(own);
        std::map<std::string, std::string> environment = OnDisplay(own.get());
        environment.insert({{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_CUES", "1.image#5:hold"}});
        if (*run.fault != '\0') {
            environment.emplace("ZV_SIM_FAULT", run.fault);
        }
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                  environment);
        ASSERT_TRUE(WaitForHold(*program, 1)) << program->ReadStandardError();
        own->Stop();
        ReleaseHold();
        // The window shows the send's progress, and the first change of it waits on the server.
        ASSERT_TRUE(WaitUntil([&] { return program->IsWaitingOnItsDisplay() || program->CheckEnded(); }, {},
                              kHangGuard));
        program->Signal(SIGTERM);
        (void)WaitUntil([&] { return LogShowsInOrder(run.end) || program->CheckEnded(); },
                        {program->GetEndDescriptor()}, kHangGuard);
        own->End();
        ASSERT_TRUE(WaitForProgramEnd(*program)) << program->ReadStandardError();
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        // Before it, the line that the display went away when the program took that first.
        const std::vector<std::string> said = program->LinesStartingWith("FirmwareUpdater:");
        EXPECT_THAT(said, Not(IsEmpty())) << program->ReadStandardError();
        if (!said.empty()) {
            EXPECT_THAT(said.back(), run.said) << program->ReadStandardError();
        }
        EXPECT_TRUE(LogShowsInOrder(run.end)) << ContentOf(mLog);
    }
}

TEST_F(LostDisplay, AnIdleWindowOrBoxWhoseDisplayGoesAwayEndsTheProgramAsItsCloseDoes)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    const std::string ending = "FirmwareUpdater: the display went away; the program ends";
    enum class Loss { kWindowKilled, kBoxKilled, kServerEnds };
    struct Case {
        const char* what;
        Loss loss;
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<Matcher<std::string>> said;
    };
    const Case cases[] = {
        // Its exit code 3 says why in one line too: no device answers to the name.
        {"a silent run that cannot update shows why; its connection is killed", Loss::kWindowKilled,
         {"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage}, 3, {ending, HasSubstr("\"Halvista Left\"")}},
        {"the start-up error box's connection is killed", Loss::kBoxKilled, {"-FIRMWARE_IMAGE_NAME=\xFF\xFE.syx"}, 255,
         {}},
        {"the server of a window ends", Loss::kServerEnds, {"-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage}, 1, {ending}},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        const std::unique_ptr<PrivateDisplay> own = run.loss == Loss::kServerEnds ? OpenPrivateDisplay() : nullptr;
        ASSERT_TRUE(run.loss != Loss::kServerEnds || own);
        std::unique_ptr<ProgramUnderTest> program = Start(run.arguments, OnDisplay(own.get()));
        if (own) {
            ASSERT_TRUE(WaitUntil([&] { return own->ShowsAWindow() || program->CheckEnded(); }, {}, kHangGuard));
            own->End();
        } else {
            const unsigned long window =
                run.loss == Loss::kBoxKilled ? WaitForErrorBox(*program) : WaitForMainWindow(*program);
            ASSERT_NE(window, 0u) << program->ReadStandardError();
            KillConnectionOf(window);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), run.exitCode) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), ElementsAreArray(run.said));
    }
}

TEST_F(LostDisplay, TheSplashsLostConnectionEndsItsWindowAndNotTheProcess)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    Platform::SplashPicture picture{40, 30, std::vector<std::uint32_t>(40 * 30, 0xFF204060)};
    Platform::SplashWindow splash(std::move(picture), "Splash");
    ASSERT_TRUE(splash.Open(static_cast<std::uint32_t>(kHangGuard.count())));
    unsigned long window = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            window = mDesktop.FindMappedWindow(Platform::SplashWindow::kWindowClass);
            return window != 0;
        },
        {mDesktop.GetDescriptor()}, kHangGuard));
    KillConnectionOf(window);
    ASSERT_TRUE(WaitUntil([&] { return mDesktop.FindMappedWindow(Platform::SplashWindow::kWindowClass) == 0; },
                          {mDesktop.GetDescriptor()}, kHangGuard));
    // Steps that the splash's thread takes without its connection.
    splash.StartProgress(0, 100, 1);
    splash.Close();
}

// Environment variables are only added to the program's: it is started by env, which takes DISPLAY away.
TEST_F(LostDisplay, AnAutomaticStartWhoseWindowCannotOpenEndsWith255AndTouchesNoDevice)
{
    const std::vector<std::string> switches = {"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE",
                                               "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage};
    const ServerlessDisplay nowhere(false);
    ASSERT_FALSE(nowhere.GetName().empty());
    for (const char* device : {"update", "normal"}) {
        for (const bool displayUnset : {true, false}) {
            SCOPED_TRACE(std::string("a device in ") + device + " mode, " +
                         (displayUnset ? "DISPLAY unset" : "a DISPLAY that no server answers"));
            std::filesystem::remove(mLog);
            std::vector<std::string> arguments = {"-u", "DISPLAY", ZV_TEST_PROGRAM};
            std::map<std::string, std::string> environment = {{"ZV_SIM_DEVICE", device}};
            if (!displayUnset) {
                arguments = {ZV_TEST_PROGRAM};
                environment["DISPLAY"] = nowhere.GetName();
            }
            arguments.insert(arguments.end(), switches.begin(), switches.end());
            std::unique_ptr<ProgramUnderTest> program = Start(arguments, environment, "/usr/bin/env");
            ASSERT_TRUE(WaitForProgramEnd(*program));
            EXPECT_EQ(program->GetExitCode(), 255) << program->ReadStandardError();
            EXPECT_FALSE(ReceivedLines().empty()) << "the device was never looked for";
            EXPECT_TRUE(OnlyAsked(mLog));
        }
    }
}

// The server ends at moments spread over the first 50 ms of the start, while the program makes its window, sets its
// icon, draws its first frame or shows a window that says why it cannot update: every run ends within seconds, and the
// device has all of the image or none of it. Runs go a few at once, each on a server of its own.
TEST_F(LostDisplay, AServerThatEndsWhileTheProgramStartsEndsItWithinSecondsWithAllOfTheImageOrNone)
{
    struct Road {
        const char* what;
        std::vector<std::string> arguments;
        const char* device;
        // Before the window stood, and after.
        std::pair<int, int> exitCodes;
    };
    const Road roads[] = {
        {"an automatic start of a device in update mode",
         {"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
         "update",
         {255, 1}},
        {"a silent run without a device", {"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage}, "absent", {3, 3}},
    };
    // Each road with the server ending 0, 5, 10... 50 ms in.
    constexpr int kRuns = 22;
    constexpr int kRunsAtOnce = 6;
    struct Run {
        const Road& road;
        std::chrono::milliseconds moment;
        std::map<std::string, std::string> environment;
        std::unique_ptr<PrivateDisplay> display;
        std::unique_ptr<ProgramUnderTest> program;
    };
    for (int first = 0; first < kRuns; first += kRunsAtOnce) {
        std::vector<Run> batch;
        for (int index = first; index < std::min(kRuns, first + kRunsAtOnce); ++index) {
            Run& run = batch.emplace_back(Run{roads[index % 2], index / 2 * std::chrono::milliseconds(5), {}, {}, {}});
            const std::string name = "run" + std::to_string(index);
            run.display = OpenPrivateDisplay(name + "-xvfb.log");
            ASSERT_TRUE(run.display);
            run.environment = RunOfItsOwn(name, run.display->GetName());
            run.environment["ZV_SIM_DEVICE"] = run.road.device;
        }
        // In the order they start, the later a run the later its moment.
        std::vector<std::chrono::steady_clock::time_point> serverEnds;
        for (Run& run : batch) {
            run.program = Start(run.road.arguments, run.environment);
            serverEnds.push_back(std::chrono::steady_clock::now() + run.moment);
        }
        for (std::size_t index = 0; index < batch.size(); ++index) {
            // The moment of the fault, not a wait for the program.
            std::this_thread::sleep_until(serverEnds[index]);
            batch[index].display->End();
        }
        for (Run& run : batch) {
            SCOPED_TRACE(std::string(run.road.what) + ", the server ending " + std::to_string(run.moment.count()) +
                         " ms in");
            EXPECT_TRUE(WaitUntil([&] { return run.program->CheckEnded(); }, {run.program->GetEndDescriptor()},
                                  std::chrono::seconds(15)));
            const std::optional<int> exitCode = run.program->GetExitCode();
            EXPECT_TRUE(exitCode == run.road.exitCodes.first || exitCode == run.road.exitCodes.second)
                << run.program->ReadStandardError();
            const std::size_t received = ImageMessagesReceived(run.environment["ZV_SIM_LOG"]);
            EXPECT_TRUE(received == 0 || received == static_cast<std::size_t>(kImageMessages)) << received;
        }
    }
}

class DisplayThatNeverAnswersSlow : public LostDisplay {};

// DISPLAY names a display that takes the connection and never answers (a hung server, a forwarded connection whose
// far end died): once the program has waited out its answer, a silent run updates without it and a windowed
// automatic start ends as one whose window cannot open, touching no device. Both runs go at once.
TEST_F(DisplayThatNeverAnswersSlow, ASilentRunUpdatesWithoutItAndAWindowedAutomaticStartEndsWith255)
{
    const ServerlessDisplay silent(true);
    ASSERT_FALSE(silent.GetName().empty());
    const std::vector<std::string> automatic = {"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE",
                                                "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage};
    std::map<std::string, std::string> silentRun = RunOfItsOwn("silent", silent.GetName());
    std::map<std::string, std::string> windowedRun = RunOfItsOwn("windowed", silent.GetName());
    silentRun["ZV_SIM_DEVICE"] = windowedRun["ZV_SIM_DEVICE"] = "update";
    std::vector<std::string> silentArguments = automatic;
    silentArguments.push_back("-SILENT");
    const std::unique_ptr<ProgramUnderTest> silentProgram = Start(silentArguments, silentRun);
    const std::unique_ptr<ProgramUnderTest> windowedProgram = Start(automatic, windowedRun);
    for (ProgramUnderTest* program : {silentProgram.get(), windowedProgram.get()}) {
        ASSERT_TRUE(WaitUntil([&] { return program->CheckEnded(); }, {program->GetEndDescriptor()},
                              std::chrono::seconds(30)));
    }
    EXPECT_EQ(silentProgram->GetExitCode(), 1) << silentProgram->ReadStandardError();
    EXPECT_EQ(ImageMessagesReceived(silentRun["ZV_SIM_LOG"]), static_cast<std::size_t>(kImageMessages));
    EXPECT_TRUE(DeviceWas(silentRun["ZV_SIM_LOG"], "done")) << ContentOf(silentRun["ZV_SIM_LOG"]);
    EXPECT_EQ(windowedProgram->GetExitCode(), 255) << windowedProgram->ReadStandardError();
    EXPECT_TRUE(OnlyAsked(windowedRun["ZV_SIM_LOG"]));
}

}  // namespace
}  // namespace ZV::Testing
