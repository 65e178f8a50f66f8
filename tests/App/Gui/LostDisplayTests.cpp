// The program when its display goes away (another client kills its connection, as xkill does, or the server ends)
// and when its window cannot open at all: an update goes on to its end without the window, an idle window ends the
// program as its close does, and a window that cannot open leaves the device untouched.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "App/Gui/ProgramOnDesktop.h"
#include "Platform/SplashWindow.h"
#include "TestFiles.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

constexpr int kImageMessages = 200;

// A display number that no server has taken.
std::string FreeDisplayName()
{
    for (int number = 600 + getpid() % 300;; ++number) {
        const std::string suffix = std::to_string(number);
        if (!std::filesystem::exists("/tmp/.X" + suffix + "-lock") &&
            !std::filesystem::exists("/tmp/.X11-unix/X" + suffix)) {
            return ":" + suffix;
        }
    }
}

// A server of the test's own, which the test can end.
class PrivateDisplay {
public:
    explicit PrivateDisplay(const std::string& log)
        : mName(FreeDisplayName()),
          mServer("/usr/bin/Xvfb", {mName, "-screen", "0", "640x480x24", "-nolisten", "tcp"}, {}, log)
    {
        (void)WaitUntil(
            [&] {
                mWatcher = XOpenDisplay(mName.c_str());
                return mWatcher != nullptr || mServer.CheckEnded();
            },
            {}, kHangGuard);
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;
    ~PrivateDisplay() { End(); }

    bool IsOpen() const { return mWatcher != nullptr; }
    const std::string& GetName() const { return mName; }

    // Whether a top-level window shows: the program's is the only one.
    bool ShowsAWindow() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        bool shown = false;
        if (XQueryTree(mWatcher, DefaultRootWindow(mWatcher), &root, &parent, &children, &count) == 0) {
            return false;
        }
        for (unsigned int index = 0; index < count && !shown; ++index) {
            XWindowAttributes attributes{};
            shown = XGetWindowAttributes(mWatcher, children[index], &attributes) != 0 &&
                    attributes.map_state == IsViewable;
        }
        XFree(children);
        return shown;
    }

    // The server ends, as a desktop session does.
    void End()
    {
        if (mWatcher != nullptr) {
            XCloseDisplay(mWatcher);
            mWatcher = nullptr;
        }
        if (mServer.IsRunning()) {
            mServer.Signal(SIGTERM);
            (void)WaitUntil([&] { return mServer.CheckEnded(); }, {mServer.GetEndDescriptor()}, kHangGuard);
        }
    }

private:
    std::string mName;
    ProgramUnderTest mServer;
    Display* mWatcher = nullptr;
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
    std::vector<std::string> ReceivedLines() const
    {
        std::vector<std::string> lines;
        std::istringstream log(ContentOf(mLog));
        for (std::string line; std::getline(log, line);) {
            if (line.find(" RX ") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    std::size_t ImageMessagesReceived() const
    {
        std::size_t count = 0;
        for (const std::string& line : ReceivedLines()) {
            count += line.find(" RX F0 01 02 03") != std::string::npos ? 1 : 0;
        }
        return count;
    }

    bool DeviceWas(const std::string& state) const
    {
        return ContentOf(mLog).find(" STATE " + state + "\n") != std::string::npos;
    }

    // Null, with the server's words on the failure, when it did not start.
    std::unique_ptr<PrivateDisplay> OpenPrivateDisplay()
    {
        auto display = std::make_unique<PrivateDisplay>(mFolder / "xvfb.log");
        EXPECT_TRUE(display->IsOpen()) << ContentOf(mFolder / "xvfb.log");
        return display->IsOpen() ? std::move(display) : nullptr;
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
                  std::vector<std::string>{"FirmwareUpdater: the display went away; the update goes on without the "
                                           "window, and the program ends when it has ended"});
    }
}

TEST_F(LostDisplay, AnIdleWindowOrBoxWhoseDisplayGoesAwayEndsTheProgramAsItsCloseDoes)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    const std::vector<std::string> ending = {"FirmwareUpdater: the display went away; the program ends"};
    enum class Loss { kWindowKilled, kBoxKilled, kServerEnds };
    struct Case {
        const char* what;
        Loss loss;
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"a silent run that cannot update shows why; its connection is killed", Loss::kWindowKilled,
         {"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage}, 3, ending},
        {"the start-up error box's connection is killed", Loss::kBoxKilled, {"-FIRMWARE_IMAGE_NAME=\xFF\xFE.syx"}, 255,
         {}},
        {"the server of a window ends", Loss::kServerEnds, {"-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage}, 1, ending},
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
        EXPECT_EQ(program->LinesStartingWith("FirmwareUpdater:"), run.said);
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
    // Every request a device hears before an update, except the one that sends it into update mode.
    const std::regex question(R"(\d+ RX F0 47 [0-9A-F]{2} [0-9A-F]{2} 07 0[025] 00 00 F7)");
    const std::vector<std::string> switches = {"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE",
                                               "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage};
    for (const char* device : {"update", "normal"}) {
        for (const bool displayUnset : {true, false}) {
            SCOPED_TRACE(std::string("a device in ") + device + " mode, " +
                         (displayUnset ? "DISPLAY unset" : "a DISPLAY that no server answers"));
            std::filesystem::remove(mLog);
            std::vector<std::string> arguments = {"-u", "DISPLAY", ZV_TEST_PROGRAM};
            std::map<std::string, std::string> environment = {{"ZV_SIM_DEVICE", device}};
            if (!displayUnset) {
                arguments = {ZV_TEST_PROGRAM};
                environment["DISPLAY"] = FreeDisplayName();
            }
            arguments.insert(arguments.end(), switches.begin(), switches.end());
            std::unique_ptr<ProgramUnderTest> program = Start(arguments, environment, "/usr/bin/env");
            ASSERT_TRUE(WaitForProgramEnd(*program));
            EXPECT_EQ(program->GetExitCode(), 255) << program->ReadStandardError();
            const std::vector<std::string> received = ReceivedLines();
            EXPECT_FALSE(received.empty()) << "the device was never looked for";
            for (const std::string& line : received) {
                EXPECT_TRUE(std::regex_match(line, question)) << line;
            }
            EXPECT_FALSE(DeviceWas("restarting"));
        }
    }
}

}  // namespace
}  // namespace ZV::Testing
