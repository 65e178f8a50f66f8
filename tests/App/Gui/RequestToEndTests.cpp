// The system's requests to end (SIGTERM, SIGINT, SIGHUP, SIGQUIT) at the edges of a run: in its first milliseconds,
// before a silent run's update is on its way, as its window is made, and while it shuts down; and the window's close
// box and its destruction by another client as it is made. Whenever they come, the run ends its own way and with its
// own exit code, and until its update is on its way it leaves the device as it is.
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
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
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

// A server of the test's own, watched from a client that sees the program's main window made. The program is held
// between the window it made and its next step: its start-up waits for the device's first answer (held by a cue) while
// the server stops; let go on, it waits on the server for what its window's input context asks, right after it made the
// window, and is stopped there while the server goes on and makes the window. Whatever the test does then comes before
// anything the program does next, its automatic start among it.
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

    // The program started with its device held (release lets the device go on): its main window once the server has
    // made it, with the program stopped there; 0 when the program ended or a wait ran out first.
    unsigned long HoldProgramAtItsWindow(ProgramUnderTest& program, const std::function<bool()>& deviceHolds,
                                         const std::function<void()>& release)
    {
        if (!deviceHolds()) {
            return 0;
        }
        mServer.GetProcess().Signal(SIGSTOP);
        release();
        const bool waiting = WaitUntil([&] { return program.IsWaitingOnItsDisplay() || program.CheckEnded(); }, {},
                                       kHangGuard) &&
                             !program.CheckEnded();
        if (waiting) {
            program.Signal(SIGSTOP);
        }
        mServer.GetProcess().Signal(SIGCONT);
        return waiting ? WaitForMainWindowMade(program) : 0;
    }

    // As a window manager asks when its close box is clicked; the request is on its way to the program on return.
    void RequestClose(unsigned long window) { DesktopInput(GetName().c_str()).RequestClose(window); }
    // As another program may; done on return.
    void DestroyWindow(unsigned long window)
    {
        XDestroyWindow(mWatcher, window);
        XSync(mWatcher, False);
    }

private:
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

    OwnXServer mServer;
    Display* mWatcher = nullptr;
};

TEST_F(RequestToEnd, ASilentRunAskedInItsFirstMillisecondsAnswersOnceAndUpdatesOnlyWhenItsUpdateWasOnItsWay)
{
    const Moment moments[] = {{true, 0ms, SIGTERM}, {false, 0ms, SIGINT},   {false, 2ms, SIGHUP},
                              {false, 5ms, SIGQUIT}, {false, 10ms, SIGTERM}, {false, 20ms, SIGINT}};
    const std::string beforeUpdate = "FirmwareUpdater: asked to end; the program ends without updating the device";
    const std::string duringUpdate =
        "FirmwareUpdater: asked to end; the update goes on, and the program ends when it has ended";
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
        // Before its update is on its way the run ends with the device as it is; a request held back from its first
        // line always comes before. Later, the update goes on to its end.
        const std::vector<std::string> answers = program->LinesStartingWith("FirmwareUpdater: asked");
        ASSERT_FALSE(answers.empty()) << program->ReadStandardError();
        if (moment.atSpawn || answers.front() == beforeUpdate) {
            EXPECT_THAT(answers, ElementsAre(beforeUpdate, "FirmwareUpdater: asked to end before the update began; "
                                                           "nothing was sent, and the device waits in update mode"));
            EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
            EXPECT_FALSE(DeviceLogShows("RX F0 01 02 F7"));
        } else {
            EXPECT_THAT(answers, ElementsAre(duringUpdate));
            EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
            EXPECT_TRUE(DeviceLogShows(" STATE done"));
        }
    }
}

TEST_F(RequestToEnd, ASilentRunAskedBeforeItsUpdateIsOnItsWayEndsWith3AndSendsTheDeviceNothingMore)
{
    // The device holds at the run's first question until the run has answered the request: a running device is never
    // sent into update mode, and one in update mode gets no image.
    struct Case {
        const char* device;
        const char* said;
        const char* untouched;
    };
    const Case cases[] = {
        {"normal", "the device was not sent into update mode", "RX F0 47 00 37 07 00 00 00 F7"},
        {"update", "nothing was sent, and the device waits in update mode", "RX F0 01 02 F7"},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.device);
        std::filesystem::remove(mLog);
        std::filesystem::remove(mFolder / "release");
        std::unique_ptr<ProgramUnderTest> program = Start(
            {"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
            {{"ZV_SIM_DEVICE", run.device}, {"ZV_SIM_CUES", "1.asked-status:hold"}, {"DISPLAY", ""}});
        ASSERT_TRUE(WaitForHold(*program, 1)) << program->ReadStandardError();
        program->Signal(SIGTERM);
        ASSERT_TRUE(WaitUntil(
            [&] { return !program->LinesStartingWith("FirmwareUpdater: asked").empty() || program->CheckEnded(); },
            {program->GetEndDescriptor()}, kHangGuard));
        ReleaseHold();
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"),
                    ElementsAre("FirmwareUpdater: asked to end; the program ends without updating the device",
                                std::string("FirmwareUpdater: asked to end before the update began; ") + run.said));
        EXPECT_FALSE(DeviceLogShows(run.untouched)) << ContentOf(mLog);
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
    // The request comes once the window is made, after the program looked for one before it, and before the program
    // takes it in its loop: the automatic start sets out with the request waiting. A running device is never sent into
    // update mode, and one in update mode gets no image.
    enum class Request { kCloseBox, kSignal, kWindowDestroyed };
    const std::pair<const char*, const char*> devices[] = {{"normal", "RX F0 47 00 37 07 00 00 00 F7"},
                                                           {"update", "RX F0 01 02 F7"}};
    for (const Request request : {Request::kCloseBox, Request::kSignal, Request::kWindowDestroyed}) {
        for (const auto& [device, untouched] : devices) {
            SCOPED_TRACE(std::string(request == Request::kCloseBox ? "the close box, "
                                     : request == Request::kSignal ? "SIGTERM, "
                                                                   : "the window destroyed by another client, ") +
                         device);
            std::filesystem::remove(mLog);
            std::filesystem::remove(mSettings);
            std::filesystem::remove(mFolder / "release");
            std::unique_ptr<ProgramUnderTest> program =
                Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
                      {{"ZV_SIM_DEVICE", device},
                       {"ZV_SIM_CUES", "1.asked-status:hold"},
                       {"DISPLAY", display.GetName()}});
            const unsigned long window = display.HoldProgramAtItsWindow(
                *program, [&] { return WaitForHold(*program, 1); }, [&] { ReleaseHold(); });
            ASSERT_NE(window, 0u) << program->ReadStandardError();
            if (request == Request::kCloseBox) {
                display.RequestClose(window);
            } else if (request == Request::kSignal) {
                program->Signal(SIGTERM);
            } else {
                display.DestroyWindow(window);
            }
            program->Signal(SIGCONT);
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

TEST_F(RequestToEnd, AWindowRunAskedToEndWhileItsAutomaticStartLooksAtTheDevicesOfItsNameEndsWith1WithoutTheRequest)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    // Two devices of one name: right before the request into update mode the automatic start asks each for its mode,
    // each held there by a cue while the request to end comes.
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
              {{"ZV_SIM_DEVICE", "normal+normal"}, {"ZV_SIM_CUES", "2.asked-status#2:hold,1.asked-status#3:hold"}});
    ASSERT_NE(WaitForMainWindow(*program), 0u) << program->ReadStandardError();
    ASSERT_TRUE(WaitForHold(*program, 1, mLog + ".2")) << program->ReadStandardError();
    program->Signal(SIGTERM);
    ASSERT_TRUE(WaitUntil(
        [&] { return !program->LinesStartingWith("The system asks").empty() || program->CheckEnded(); },
        {program->GetEndDescriptor()}, kHangGuard));
    ReleaseHold();
    ReleaseHold();
    const auto requested = [&] {
        const std::string request = "RX F0 47 00 37 07 00 00 00 F7";
        return DeviceLogShows(request) || ContentOf(mLog + ".2").find(request) != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil([&] { return program->CheckEnded() || requested(); }, {program->GetEndDescriptor()},
                          kHangGuard));
    EXPECT_FALSE(requested()) << program->ReadStandardError();
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_THAT(program->LinesStartingWith("The exit request is dropped"), IsEmpty());
}

}  // namespace
}  // namespace ZV::Testing
