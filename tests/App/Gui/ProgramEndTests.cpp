// How the program ends, started as its own process against the simulated device: a silent run's end that the
// system's requests to end cannot cut short, a silent run's window, and a main window that another client destroys.
#include "App/Gui/ProgramUnderTest.h"
#include "System/Gui/DesktopInput.h"
#include "TestFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

const std::string kMainWindowClass = "Corvan_DEVICE_FAMILY_NAME_String_FirmwareUpdater";
// Long enough that only a program that hangs makes a wait fail.
constexpr std::chrono::milliseconds kEndGuard = 60s;

class ProgramEnd : public ::testing::Test {
protected:
    ProgramEnd()
    {
        for (const char* folder : {"home", "data", "config", "runtime"}) {
            std::filesystem::create_directory(mFolder / folder);
        }
        std::filesystem::permissions(mFolder / "runtime", std::filesystem::perms::owner_all);
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitUntil([&] { return mDesktop.FindMappedWindow(kMainWindowClass) == 0; },
                              {mDesktop.GetDescriptor()}, kEndGuard));
    }

    // The program with the test's folders and the simulated device, with debug output on its standard error (a file
    // of the test's unless it names another).
    std::unique_ptr<ProgramUnderTest> Start(const std::vector<std::string>& arguments,
                                            std::map<std::string, std::string> environment = {},
                                            const std::string& standardError = "")
    {
        const std::map<std::string, std::string> defaults = {
            {"HOME", mFolder / "home"},
            {"XDG_DATA_HOME", mFolder / "data"},
            {"XDG_CONFIG_HOME", mFolder / "config"},
            {"XDG_RUNTIME_DIR", mFolder / "runtime"},
            {"ZV_DEBUG_OUTPUT", "1"},
            {"ZV_MIDI_DRIVER", "simulated"},
            {"ZV_SIM_DEVICE", "absent"},
            {"ZV_SIM_LOG", mFolder / "device.log"},
            {"ZV_SIM_RESTART_MS", "50"},
            // Whole stacks for what the program allocates, so that the leak checker of the sanitizer builds tells a
            // library's own loss from one of ours.
            {"ASAN_OPTIONS", "detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0"},
            {"LSAN_OPTIONS", "suppressions=" ZV_TEST_LEAK_SUPPRESSIONS ":print_suppressions=0"}};
        environment.insert(defaults.begin(), defaults.end());
        return std::make_unique<ProgramUnderTest>(
            ZV_TEST_PROGRAM, arguments, environment,
            standardError.empty() ? mFolder / ("stderr-" + std::to_string(++mStarts)) : standardError);
    }

    unsigned long WaitForMainWindow(ProgramUnderTest& program)
    {
        unsigned long window = 0;
        (void)WaitUntil(
            [&] {
                window = mDesktop.FindMappedWindow(kMainWindowClass);
                return window != 0 || program.CheckEnded();
            },
            {mDesktop.GetDescriptor()}, kEndGuard);
        return window;
    }

    static bool WaitForProgramEnd(ProgramUnderTest& program)
    {
        return WaitUntil([&] { return program.CheckEnded(); }, {program.GetEndDescriptor()}, kEndGuard);
    }

    TemporaryFolder mFolder;
    DesktopWatcher mDesktop;
    DesktopInput mInput;
    int mStarts = 0;
};

// What is left in the pipe, appended to the text.
void Drain(int reader, std::string& text)
{
    char buffer[4096];
    for (ssize_t got; (got = read(reader, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

TEST_F(ProgramEnd, SignalsThatComeWhileASilentRunReportsItsOutcomeAreAnsweredAndTheRunEndsWithItsOwnExitCode)
{
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\xF0\x02\xF7", 5));
    // A pipe that is full before the program starts: the outcome's line, the one text the run writes, holds it at
    // its end until the test reads. Without a display, no window shows the refusal instead.
    const std::string pipe = mFolder / "stderr-pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const int filler = open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(filler, 0);
    std::size_t filled = 0;
    const std::string block(4096, '.');
    for (ssize_t written; (written = write(filler, block.data(), block.size())) > 0;) {
        filled += static_cast<std::size_t>(written);
    }
    close(filler);

    std::unique_ptr<ProgramUnderTest> program =
        Start({"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
              {{"ZV_SIM_DEVICE", "update"}, {"ZV_DEBUG_OUTPUT", ""}, {"DISPLAY", ""}}, pipe);
    ASSERT_TRUE(WaitUntil([&] { return program->IsWritingStandardError() || program->CheckEnded(); }, {}, kEndGuard));
    ASSERT_FALSE(program->CheckEnded());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        program->Signal(signal);
    }
    std::string said;
    ASSERT_TRUE(WaitUntil(
        [&] {
            Drain(reader, said);
            return program->CheckEnded();
        },
        {reader, program->GetEndDescriptor()}, kEndGuard));
    Drain(reader, said);
    close(reader);
    EXPECT_FALSE(program->WasEndedBySignal());
    EXPECT_EQ(program->GetExitCode(), 3);
    said.erase(0, filled);
    EXPECT_THAT(said, HasSubstr("FirmwareUpdater: the firmware file \"" + image +
                                "\" was refused at byte offset 2: a message begins inside another one; nothing was "
                                "sent\n"));
    EXPECT_THAT(said, HasSubstr("FirmwareUpdater: asked to end; the update goes on, and the program ends when it has "
                                "ended"));
    EXPECT_EQ(said.find("asked to end"), said.rfind("asked to end")) << said;
}

TEST_F(ProgramEnd, ASilentRunThatCannotUpdateEndsWith3WhenItsWindowIsClosedBySIGTERMOrItsCloseBox)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    for (const bool bySignal : {true, false}) {
        SCOPED_TRACE(bySignal ? "SIGTERM" : "close box");
        // No device: the window shows why.
        std::unique_ptr<ProgramUnderTest> program = Start({"-SILENT"});
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        if (bySignal) {
            program->Signal(SIGTERM);
        } else {
            mInput.RequestClose(window);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
    }
}

TEST_F(ProgramEnd, AMainWindowThatAnotherClientDestroysEndsTheProgramWith1OnceTheUpdateHasEndedAndTheNextStartShowsIt)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8));
    const std::string log = mFolder / "device.log";
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
              {{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_FLASH_MS", "1500"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    ASSERT_TRUE(WaitUntil([&] { return ContentOf(log).find("RX F0 03 04 F7") != std::string::npos; }, {}, kEndGuard));

    // As another program may: the window goes while the device takes the image.
    XDestroyWindow(mDesktop.GetDisplay(), window);
    XSync(mDesktop.GetDisplay(), False);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_NE(ContentOf(log).find(" STATE done"), std::string::npos) << "the update was cut short";
    EXPECT_THAT(program->LinesStartingWith("The main window was destroyed"),
                ElementsAre("The main window was destroyed from outside; the program ends once the update has ended.",
                            "The main window was destroyed from outside."));

    // The one-instance guard is free again: the next start is a first one, and without an update its window's loss
    // ends it at once.
    std::unique_ptr<ProgramUnderTest> next = Start({});
    const unsigned long reopened = WaitForMainWindow(*next);
    ASSERT_NE(reopened, 0u) << next->ReadStandardError();
    XDestroyWindow(mDesktop.GetDisplay(), reopened);
    XSync(mDesktop.GetDisplay(), False);
    ASSERT_TRUE(WaitForProgramEnd(*next));
    EXPECT_EQ(next->GetExitCode(), 1) << next->ReadStandardError();
    EXPECT_THAT(next->LinesStartingWith("The main window was destroyed"),
                ElementsAre("The main window was destroyed from outside."));
}

TEST_F(ProgramEnd, AStartupErrorBoxThatAnotherClientDestroysEndsTheStartAsItsOKDoes)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    std::unique_ptr<ProgramUnderTest> program = Start({"-FIRMWARE_IMAGE_NAME=\xFF\xFE.syx"});
    unsigned long box = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            box = mDesktop.FindMappedWindowTitled("Error");
            return box != 0 || program->CheckEnded();
        },
        {mDesktop.GetDescriptor(), program->GetEndDescriptor()}, kEndGuard));
    ASSERT_NE(box, 0u) << program->ReadStandardError();
    XDestroyWindow(mDesktop.GetDisplay(), box);
    XSync(mDesktop.GetDisplay(), False);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 255) << program->ReadStandardError();
}

}  // namespace
}  // namespace ZV::Testing
