// How the program ends, started as its own process against the simulated device: a silent run's end that the
// system's requests to end cannot cut short, a silent run's window, and a main window that another client destroys.
#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ProgramEnd : public ProgramOnDesktop {};

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
              {{"ZV_SIM_DEVICE", "update"}, {"ZV_DEBUG_OUTPUT", ""}, {"DISPLAY", ""}}, ZV_TEST_PROGRAM, pipe);
    ASSERT_TRUE(WaitUntil([&] { return program->IsWritingStandardError() || program->CheckEnded(); }, {}, kHangGuard));
    ASSERT_FALSE(program->CheckEnded());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        program->Signal(signal);
    }
    std::string said;
    ASSERT_TRUE(WaitUntil(
        [&] {
            Drain(reader, said);
            return program->CheckEnded();
        },
        {reader, program->GetEndDescriptor()}, kHangGuard));
    Drain(reader, said);
    close(reader);
    EXPECT_FALSE(program->WasEndedBySignal());
    EXPECT_EQ(program->GetExitCode(), 3);
    said.erase(0, filled);
    EXPECT_THAT(said, HasSubstr("FirmwareUpdater: the firmware file \"" + image +
                                "\" was refused at byte offset 2: a message begins inside another one; nothing was "
                                "sent\n"));
    // No update was on its way: the run goes on to its end all the same.
    EXPECT_THAT(said, HasSubstr("FirmwareUpdater: asked to end; the program ends once its work is done\n"));
    EXPECT_EQ(said.find("asked to end"), said.rfind("asked to end")) << said;
}

TEST_F(ProgramEnd, ASilentRunThatCannotUpdateEndsWith3WhenItsWindowIsClosedBySIGTERMOrItsCloseBoxOrEXIT)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
    const std::string refused = mFolder / "refused.syx";
    WriteContent(refused, std::string("\xF0\x01\xF0\x02\xF7", 5));
    enum class Closing { kSignal, kCloseBox, kExit };
    struct Case {
        const char* reason;
        const char* device;
        std::string file;
        Closing closing;
        // What the one line on the standard error names: the file or the port.
        std::string named;
    };
    // Each reason the window shows why, and the line says it too.
    const std::string port = "\"Halvista Left\"";
    const Case cases[] = {
        {"no device", "absent", image, Closing::kSignal, port},
        {"no device", "absent", image, Closing::kCloseBox, port},
        {"a device that does not answer", "silent", image, Closing::kExit, port},
        {"a missing firmware file", "normal", mFolder / "missing.syx", Closing::kCloseBox, "missing.syx\""},
        {"a refused firmware file", "normal", refused, Closing::kSignal, refused + "\""},
    };
    for (const Case& run : cases) {
        const char* closing =
            run.closing == Closing::kSignal ? "SIGTERM" : run.closing == Closing::kExit ? "EXIT" : "the close box";
        SCOPED_TRACE(std::string(run.reason) + ", closed by " + closing);
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + run.file}, {{"ZV_SIM_DEVICE", run.device}});
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        if (run.closing == Closing::kSignal) {
            program->Signal(SIGTERM);
        } else if (run.closing == Closing::kCloseBox) {
            mInput.RequestClose(window);
        } else {
            ASSERT_FALSE(SettledPixels(window, kExitButton).empty()) << "no EXIT";
            ClickInWindow(window, kExitButton);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), ElementsAre(HasSubstr(run.named)));
    }
}

TEST_F(ProgramEnd, ASilentRunWhoseWindowFindsTheDeviceLaterEndsWith1WhenItWasUpdatedThereOrNeedsNoUpdate)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8));
    const std::string log = mFolder / "device.log";
    const auto logShows = [&](const std::string& text) { return ContentOf(log).find(text) != std::string::npos; };
    struct Case {
        const char* device;
        const char* build;
        bool update;
        int exitCode;
    };
    const Case cases[] = {
        {"a device with an older build, updated", "78500", true, 1},
        {"a device with a newer build", "90000", false, 1},
        {"a device with an older build, not updated", "78500", false, 3},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.device);
        std::filesystem::remove(log);
        // Plugged in well after the program looked for it.
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
                  {{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_BUILD", run.build}, {"ZV_SIM_FAULT", "late-plug=1000"},
                   {"ZV_SIM_FLASH_MS", "300"}});
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << "the device was there when the program looked for it\n"
                              << program->ReadStandardError();
        const std::vector<std::uint32_t> scanButton = SettledPixels(window, kMiddleButtonText);
        ASSERT_FALSE(scanButton.empty()) << "no SCAN FOR DEVICE";

        ASSERT_TRUE(WaitUntil([&] { return logShows(" STATE normal"); }, {}, kHangGuard)) << "never plugged in";
        ClickInWindow(window, kMiddleButtonText);
        // The scan asks for the firmware version; the window has what the device answered before it reads the close.
        ASSERT_TRUE(WaitUntil([&] { return logShows(" TX F0 47 10 33 07 06"); }, {}, kHangGuard)) << "no scan";
        if (run.update) {
            ASSERT_FALSE(SettledPixels(window, kMiddleButtonText, scanButton).empty()) << "no UPDATE FIRMWARE";
            ClickInWindow(window, kMiddleButtonText);
            // The device restarts once the engine's poll has read that it is done: the engine has seen the end.
            ASSERT_TRUE(WaitUntil(
                [&] {
                    const std::string content = ContentOf(log);
                    const std::size_t done = content.find(" STATE done");
                    return done != std::string::npos && content.find(" STATE restarting", done) != std::string::npos;
                },
                {}, kHangGuard))
                << "not updated";
        }

        // The window may still be taking what the engine did, and drops a request meanwhile: it is asked again.
        ASSERT_TRUE(AskUntilEnded(*program, [&] { mInput.RequestClose(window); }));
        EXPECT_EQ(program->GetExitCode(), run.exitCode) << program->ReadStandardError();
        EXPECT_EQ(logShows(" STATE restarting"), run.update);
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
    ASSERT_TRUE(WaitUntil([&] { return ContentOf(log).find("RX F0 03 04 F7") != std::string::npos; }, {}, kHangGuard));

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
    const unsigned long box = WaitForErrorBox(*program);
    ASSERT_NE(box, 0u) << program->ReadStandardError();
    XDestroyWindow(mDesktop.GetDisplay(), box);
    XSync(mDesktop.GetDisplay(), False);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 255) << program->ReadStandardError();
}

}  // namespace
}  // namespace ZV::Testing
