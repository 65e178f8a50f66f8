// The device chosen for an update, followed by the program on the desktop from the choice to the end, against
// simulated devices.
#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::ChosenDeviceTests {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

// Where the status texts lie in the main window.
constexpr WindowArea kTexts{0, 60, kWindowWidth, 200};

const std::string kImage("\xF0\x01\x02\xF7\xF0\x03\x04\xF7\xF0\x05\x06\xF7", 12);
const char* const kImageMessages[] = {" RX F0 01 02 F7\n", " RX F0 03 04 F7\n", " RX F0 05 06 F7\n"};

class ChosenDevice : public ProgramOnDesktop {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
        WriteContent(mFolder / "image.syx", kImage);
    }

    // The program over the simulated devices, with a fresh log, the image and its main window shown.
    std::unique_ptr<ProgramUnderTest> Start(const std::map<std::string, std::string>& environment, bool automatic)
    {
        std::vector<std::string> arguments{"-ABSOLUTE_FIRMWARE_FILE_PATH=" + mFolder / "image.syx"};
        if (automatic) {
            arguments.push_back("-START_UPDATE_AUTOMATICALLY");
        }
        std::filesystem::remove(Log());
        std::filesystem::remove(Log() + ".2");
        std::unique_ptr<ProgramUnderTest> program = ProgramOnDesktop::Start(arguments, environment);
        mWindow = WaitForMainWindow(*program);
        EXPECT_NE(mWindow, 0u) << program->ReadStandardError();
        // No button under the pointer shows its hover look.
        mInput.MoveTo(1279, 1023);
        return program;
    }

    std::string Log() const { return mFolder / "device.log"; }

    static bool Shows(const std::string& log, const std::string& text)
    {
        return ContentOf(log).find(text) != std::string::npos;
    }

    // Waits for the text in the first device's log, after the first place of another text when one is given.
    bool WaitForLog(const std::string& text, const std::string& after = {}) const
    {
        return WaitUntil(
            [&] {
                const std::string content = ContentOf(Log());
                const std::size_t from = content.find(after);
                return from != std::string::npos && content.find(text, from) != std::string::npos;
            },
            {}, kHangGuard);
    }

    bool WaitForButton(const WindowArea& area)
    {
        return WaitUntil([&] { return IsDrawn(Pixels(mWindow, area)); }, {}, kHangGuard);
    }

    // Closes the window as a window manager does, again while an update still runs: the program ends with 1.
    void Close(ProgramUnderTest& program)
    {
        for (int request = 0; request < 30 && program.IsRunning(); ++request) {
            mInput.RequestClose(mWindow);
            (void)WaitUntil([&] { return program.CheckEnded(); }, {program.GetEndDescriptor()}, 2s);
        }
        EXPECT_EQ(program.GetExitCode(), 1) << program.ReadStandardError();
    }

    unsigned long mWindow = 0;
};

TEST_F(ChosenDevice, OfARunningDeviceAndOneWaitingInUpdateModeTheRunningOneGetsTheImageOnAClickAndAnAutomaticStart)
{
    for (const bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "automatic start" : "click");
        // The first restarts for longer than a turn of the window's wait, so that meanwhile the second is the only
        // device there.
        std::unique_ptr<ProgramUnderTest> program =
            Start({{"ZV_SIM_DEVICE", "normal,update"}, {"ZV_SIM_RESTART_MS", "1200"}}, automatic);
        ASSERT_NE(mWindow, 0u);
        if (!automatic) {
            ASSERT_TRUE(WaitForButton(kMiddleButton)) << "no UPDATE FIRMWARE";
            ClickInWindow(mWindow, kMiddleButton);
        }
        ASSERT_TRUE(WaitForLog(" STATE done")) << "the chosen device was never updated";
        for (const char* message : kImageMessages) {
            EXPECT_TRUE(Shows(Log(), message)) << message;
        }
        for (const char* untouched : {" RX F0 01 02 F7", " RX F0 47 00 37 07 00 00 00 F7", " STATE done"}) {
            EXPECT_FALSE(Shows(Log() + ".2", untouched)) << "the other device went through" << untouched;
        }
        Close(*program);
    }
}

// The window waits for the device with NEXT, which finds it back from its restart.
TEST_F(ChosenDevice, OfTwoDevicesOneWhoseUpdateDidNotTakeOffersRestartOnceBackAndSeveralAreSaidOnce)
{
    std::unique_ptr<ProgramUnderTest> program =
        Start({{"ZV_SIM_DEVICE", "two"}, {"ZV_SIM_RESTART_MS", "300"}, {"ZV_SIM_NEW_BUILD", "78500"}}, true);
    ASSERT_NE(mWindow, 0u);
    ASSERT_TRUE(WaitForLog(" STATE normal", " STATE done")) << "the device never came back";
    EXPECT_TRUE(WaitForRestartAfterNext(mWindow)) << "no RESTART after an update that did not take";
    EXPECT_THAT(program->LinesStartingWith("Multiple devices found."), ElementsAre(HasSubstr("Only the first")));
    Close(*program);
}

// Waits for the window's whole wait for update mode.
class ChosenDeviceSlow : public ChosenDevice {};

TEST_F(ChosenDeviceSlow, DeviceBackAfterTheWaitForUpdateModeIsShownNotFoundWithOneTextAndOneScanFinishesTheUpdate)
{
    // What the window shows for a device that is not there: its one text, and "SCAN FOR DEVICE".
    std::unique_ptr<ProgramUnderTest> program = Start({{"ZV_SIM_DEVICE", "absent"}}, false);
    ASSERT_NE(mWindow, 0u);
    const auto shown = [&](bool settled) {
        std::vector<std::uint32_t> pixels = settled ? SettledPixels(mWindow, kTexts) : Pixels(mWindow, kTexts);
        const std::vector<std::uint32_t> button = Pixels(mWindow, kMiddleButtonText);
        pixels.insert(pixels.end(), button.begin(), button.end());
        return pixels;
    };
    const std::vector<std::uint32_t> notFound = shown(true);
    Close(*program);

    // Held in its restart until the window's wait of 60 turns of 500 ms, each with a look for the device, has given
    // up, however long that takes on the machine.
    program = Start({{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_CUES", "1.restarting:hold"}}, false);
    ASSERT_NE(mWindow, 0u);
    ASSERT_TRUE(WaitForButton(kMiddleButton)) << "no UPDATE FIRMWARE";
    ClickInWindow(mWindow, kMiddleButton);
    ASSERT_TRUE(WaitForHold(*program, 1)) << program->ReadStandardError();
    ASSERT_TRUE(WaitUntil([&] { return shown(false) == notFound; }, {}, kHangGuard))
        << "the window never gave up waiting";
    EXPECT_EQ(shown(true), notFound);
    ReleaseHold();

    ASSERT_TRUE(WaitForLog(" STATE update"));
    ClickInWindow(mWindow, kMiddleButton);
    EXPECT_TRUE(WaitForLog(" STATE done")) << "the update did not go on";
    for (const char* message : kImageMessages) {
        EXPECT_TRUE(Shows(Log(), message)) << message;
    }
    Close(*program);
}

}  // namespace
}  // namespace ZV::Testing::ChosenDeviceTests
