// The system's requests to end (SIGTERM, SIGINT, SIGHUP, SIGQUIT) at the edges of a run: in its first milliseconds,
// as its window is made, and while it shuts down; and the window's close box as it is made. Whenever they come, the
// run ends its own way and with its own exit code.
#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <pthread.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// After Google Test: the desktop's headers define None.
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Matcher;
using namespace std::chrono_literals;

// When a request is sent: as soon as the process exists (it is started with the requests blocked, as a launcher may
// start it, so the request waits for the program's first line), or that long after the program's main began.
struct Moment {
    bool atSpawn;
    std::chrono::milliseconds afterMain;
    int signal;
};

class RequestToEnd : public ProgramOnDesktop {
protected:
    RequestToEnd() { WriteContent(mImage, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8)); }

    // The program started and sent the request at the moment; null when it ended before.
    std::unique_ptr<ProgramUnderTest> StartAndAsk(const Moment& moment, const std::vector<std::string>& arguments,
                                                  const std::map<std::string, std::string>& environment)
    {
        sigset_t requests;
        sigset_t before;
        sigemptyset(&requests);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
            sigaddset(&requests, signal);
        }
        // WaitForMain tells the program's main from the loader before it by SIGPIPE, which main ignores first thing:
        // the program starts with it at its default.
        pthread_sigmask(moment.atSpawn ? SIG_BLOCK : SIG_UNBLOCK, &requests, &before);
        std::unique_ptr<ProgramUnderTest> program = Start(arguments, environment);
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (!moment.atSpawn) {
            if (!WaitForMain(*program)) {
                return nullptr;
            }
            std::this_thread::sleep_for(moment.afterMain);
        }
        program->Signal(moment.signal);
        return program;
    }

    // Whether the program's main began, looked for without pause: the moments after it count in milliseconds.
    static bool WaitForMain(ProgramUnderTest& program)
    {
        const std::uint64_t sigpipe = std::uint64_t{1} << (SIGPIPE - 1);
        const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
        while (std::chrono::steady_clock::now() < deadline && !program.CheckEnded()) {
            std::ifstream status("/proc/" + std::to_string(program.GetPid()) + "/status");
            for (std::string line; std::getline(status, line);) {
                if (line.rfind("SigIgn:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) & sigpipe) != 0) {
                    return true;
                }
            }
        }
        return false;
    }

    bool DeviceLogShows(const std::string& text) const { return ContentOf(mLog).find(text) != std::string::npos; }

    std::string Settings() const { return ContentOf(mSettings); }

    const std::string mImage = mFolder / "image.syx";
    const std::string mLog = mFolder / "device.log";
    const std::string mSettings = mFolder / "data/Corvan/Halvista Firmware Updater/UserSettings.ini";
};

// A server of the test's own, watched from a client that sees the program's main window made: the program has
// checked for a request to end before it makes its window, and needs the server again before the window stands and
// its automatic start sets out. The server can be held meanwhile.
class WindowMadeOnOwnServer {
public:
    explicit WindowMadeOnOwnServer(const std::string& log) : mServer(log)
    {
        if (!mServer.GetName().empty()) {
            mWatcher = XOpenDisplay(mServer.GetName().c_str());
        }
        if (mWatcher != nullptr) {
            XSelectInput(mWatcher, DefaultRootWindow(mWatcher), SubstructureNotifyMask);
            XSync(mWatcher, False);
        }
    }
    WindowMadeOnOwnServer(const WindowMadeOnOwnServer&) = delete;
    WindowMadeOnOwnServer& operator=(const WindowMadeOnOwnServer&) = delete;
    ~WindowMadeOnOwnServer()
    {
        if (mWatcher != nullptr) {
            XCloseDisplay(mWatcher);
        }
    }

    bool IsOpen() const { return mWatcher != nullptr; }
    const std::string& GetName() const { return mServer.GetName(); }
    ProgramUnderTest& GetServerProcess() { return mServer.GetProcess(); }

    // The program's main window as soon as the server has made it; 0 when the program ended or the wait ran out.
    unsigned long WaitForMainWindowMade(ProgramUnderTest& program)
    {
        unsigned long made = 0;
        (void)WaitUntil(
            [&] {
                while (made == 0 && XPending(mWatcher) > 0) {
                    XEvent event;
                    XNextEvent(mWatcher, &event);
                    const XCreateWindowEvent& creation = event.xcreatewindow;
                    if (event.type == CreateNotify && creation.width == kWindowWidth &&
                        creation.height == kWindowHeight) {
                        made = creation.window;
                    }
                }
                return made != 0 || program.CheckEnded();
            },
            {ConnectionNumber(mWatcher), program.GetEndDescriptor()}, kHangGuard);
        return made;
    }

    // As a window manager asks when its close box is clicked; the request is on its way to the program on return.
    void RequestClose(unsigned long window) { DesktopInput(GetName().c_str()).RequestClose(window); }

private:
    OwnXServer mServer;
    Display* mWatcher = nullptr;
};

TEST_F(RequestToEnd, ASilentRunAskedInItsFirstMillisecondsAnswersOnceAndUpdatesToItsOwnEnd)
{
    const Moment moments[] = {{true, 0ms, SIGTERM}, {false, 0ms, SIGINT},   {false, 2ms, SIGHUP},
                              {false, 5ms, SIGQUIT}, {false, 10ms, SIGTERM}, {false, 20ms, SIGINT}};
    for (const Moment& moment : moments) {
        SCOPED_TRACE(std::string(moment.atSpawn ? "at its start" : "after main began, ms: ") +
                     std::to_string(moment.afterMain.count()) + ", signal " + std::to_string(moment.signal));
        std::filesystem::remove(mLog);
        std::unique_ptr<ProgramUnderTest> program =
            StartAndAsk(moment, {"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                        {{"ZV_SIM_DEVICE", "update"}, {"DISPLAY", ""}});
        ASSERT_TRUE(program) << "the program ended before its main began";
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        // Before its update starts the run says only that it ends once its work is done; a request held back from
        // its first line always comes before.
        const std::string beforeUpdate = "FirmwareUpdater: asked to end; the program ends once its work is done";
        const std::string duringUpdate =
            "FirmwareUpdater: asked to end; the update goes on, and the program ends when it has ended";
        const Matcher<std::string> answer =
            moment.atSpawn ? Matcher<std::string>(beforeUpdate) : AnyOf(beforeUpdate, duringUpdate);
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater: asked"), ElementsAre(answer));
        EXPECT_TRUE(DeviceLogShows(" STATE done"));
    }
}

TEST_F(RequestToEnd, AWindowRunAskedBeforeItsWindowOrAgainWhileItShutsDownEndsWith1WithTheSettingsWritten)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    // Before the window: the run ends as its close would, and its automatic start never touches the device.
    for (const Moment& moment : {Moment{false, 0ms, SIGINT}, Moment{false, 3ms, SIGTERM}}) {
        SCOPED_TRACE("after main began, ms: " + std::to_string(moment.afterMain.count()));
        std::filesystem::remove(mLog);
        std::filesystem::remove(mSettings);
        std::unique_ptr<ProgramUnderTest> program = StartAndAsk(
            moment, {"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
            {{"ZV_SIM_DEVICE", "update"}});
        ASSERT_TRUE(program) << "the program ended before its main began";
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("The system asks"),
                    ElementsAre("The system asks the program to end before its window opens."));
        EXPECT_THAT(Settings(), HasSubstr("CurrentSkinIndex=0"));
        EXPECT_FALSE(DeviceLogShows("RX F0 01 02 F7"));
    }

    // On an idle window: SIGTERM closes it, and SIGINT after it, again and again until the process is gone, finds
    // the program shutting down.
    for (const std::chrono::milliseconds gap : {0ms, 2ms, 5ms}) {
        SCOPED_TRACE("SIGINT after SIGTERM, ms: " + std::to_string(gap.count()));
        std::filesystem::remove(mSettings);
        std::unique_ptr<ProgramUnderTest> program = Start({});
        ASSERT_NE(WaitForMainWindow(*program), 0u) << program->ReadStandardError();
        program->Signal(SIGTERM);
        std::this_thread::sleep_for(gap);
        const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
        while (!program->CheckEnded() && std::chrono::steady_clock::now() < deadline) {
            program->Signal(SIGINT);
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(program->CheckEnded());
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("Shut-down: the settings"),
                    ElementsAre("Shut-down: the settings files are written and closed."));
        EXPECT_THAT(Settings(), HasSubstr("CurrentSkinIndex=0"));
    }
}

TEST_F(RequestToEnd, AnAutomaticStartAskedToEndAsItsWindowAppearsEndsWith1AndNeverTouchesTheDevice)
{
    WindowMadeOnOwnServer display(mFolder / "xvfb.log");
    ASSERT_TRUE(display.IsOpen()) << ContentOf(mFolder / "xvfb.log");
    // The request comes as the window is made, after the program looked for one before it, and before the loop can
    // read it: the server is held until the signal is sent, and the close is queued before the program's next answer
    // from the server. The automatic start sets out with the request waiting: a running device is never sent into
    // update mode, and one in update mode gets no image.
    const std::pair<const char*, const char*> devices[] = {{"normal", "RX F0 47 00 37 07 00 00 00 F7"},
                                                           {"update", "RX F0 01 02 F7"}};
    for (const bool closeBox : {false, true}) {
        for (const auto& [device, untouched] : devices) {
            SCOPED_TRACE(std::string(closeBox ? "the close box, " : "SIGTERM, ") + device);
            std::filesystem::remove(mLog);
            std::filesystem::remove(mSettings);
            std::unique_ptr<ProgramUnderTest> program =
                Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                      {{"ZV_SIM_DEVICE", device}, {"DISPLAY", display.GetName()}});
            const unsigned long window = display.WaitForMainWindowMade(*program);
            ASSERT_NE(window, 0u) << program->ReadStandardError();
            if (closeBox) {
                display.RequestClose(window);
            } else {
                display.GetServerProcess().Signal(SIGSTOP);
                program->Signal(SIGTERM);
                display.GetServerProcess().Signal(SIGCONT);
            }
            ASSERT_TRUE(WaitUntil(
                [&] {
                    return program->CheckEnded() || !program->LinesStartingWith("The exit request is dropped").empty();
                },
                {program->GetEndDescriptor()}, kHangGuard));
            ASSERT_TRUE(program->CheckEnded()) << program->ReadStandardError();
            EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
            EXPECT_FALSE(DeviceLogShows(untouched)) << ContentOf(mLog);
            EXPECT_THAT(Settings(), HasSubstr("CurrentSkinIndex=0"));
        }
    }
}

}  // namespace
}  // namespace ZV::Testing
