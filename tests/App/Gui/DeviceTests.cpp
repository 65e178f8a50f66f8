// The device chosen for an update, followed by the program on the desktop from the choice to the end, against
// simulated devices.
#include "App/Gui/ProgramUnderTest.h"
#include "System/Gui/DesktopInput.h"
#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::ChosenDeviceTests {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

const std::string kWindowClass = "Corvan_DEVICE_FAMILY_NAME_String_FirmwareUpdater";
constexpr std::chrono::milliseconds kHangGuard = 60s;
constexpr int kWidth = 400;
constexpr int kHeight = 311;

struct Area {
    int x;
    int y;
    int width;
    int height;
};
// Where the status texts lie in the main window, and the buttons.
constexpr Area kTexts{0, 60, kWidth, 200};
constexpr Area kRestartButton{16, 269, 104, 30};
constexpr Area kMiddleButton{152, 269, 136, 30};
// Inside its border, which shows whether the button has the keyboard focus.
constexpr Area kMiddleButtonText{156, 273, 128, 22};

const std::string kImage("\xF0\x01\x02\xF7\xF0\x03\x04\xF7\xF0\x05\x06\xF7", 12);
const char* const kImageMessages[] = {" RX F0 01 02 F7\n", " RX F0 03 04 F7\n", " RX F0 05 06 F7\n"};

class ChosenDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
        for (const char* folder : {"home", "data", "config", "runtime"}) {
            std::filesystem::create_directory(mFolder / folder);
        }
        std::filesystem::permissions(mFolder / "runtime", std::filesystem::perms::owner_all);
        WriteContent(mFolder / "image.syx", kImage);
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitUntil([&] { return mDesktop.FindMappedWindow(kWindowClass) == 0; }, {mDesktop.GetDescriptor()},
                              kHangGuard));
    }

    // The program over the simulated devices, with a fresh log, the image and its main window shown.
    std::unique_ptr<ProgramUnderTest> Start(std::map<std::string, std::string> environment, bool automatic)
    {
        const std::map<std::string, std::string> defaults = {
            {"HOME", mFolder / "home"},        {"XDG_DATA_HOME", mFolder / "data"},
            {"XDG_CONFIG_HOME", mFolder / "config"}, {"XDG_RUNTIME_DIR", mFolder / "runtime"},
            {"ZV_DEBUG_OUTPUT", "1"},           {"ZV_MIDI_DRIVER", "simulated"},
            {"ZV_SIM_FLASH_MS", "300"},         {"ZV_SIM_LOG", Log()}};
        environment.insert(defaults.begin(), defaults.end());
        std::vector<std::string> arguments{"-ABSOLUTE_FIRMWARE_FILE_PATH=" + mFolder / "image.syx"};
        if (automatic) {
            arguments.push_back("-START_UPDATE_AUTOMATICALLY");
        }
        std::filesystem::remove(Log());
        std::filesystem::remove(Log() + ".2");
        auto program = std::make_unique<ProgramUnderTest>(ZV_TEST_PROGRAM, arguments, environment,
                                                          mFolder / ("stderr-" + std::to_string(++mStarts)));
        mWindow = 0;
        (void)WaitUntil(
            [&] {
                mWindow = mDesktop.FindMappedWindow(kWindowClass);
                return mWindow != 0 || program->CheckEnded();
            },
            {mDesktop.GetDescriptor()}, kHangGuard);
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

    std::vector<std::uint32_t> Pixels(const Area& area)
    {
        const std::vector<std::uint32_t> shown = mDesktop.ReadPixels(mWindow, kWidth, kHeight);
        std::vector<std::uint32_t> pixels;
        if (shown.size() != static_cast<std::size_t>(kWidth) * kHeight) {
            return pixels;
        }
        for (int y = area.y; y < area.y + area.height; ++y) {
            const auto row = shown.begin() + y * kWidth + area.x;
            pixels.insert(pixels.end(), row, row + area.width);
        }
        return pixels;
    }

    // Drawn: more than the background's colours, one where no control is.
    static bool IsDrawn(const std::vector<std::uint32_t>& pixels)
    {
        return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size() > 2;
    }

    // The area once it is drawn and no longer changes.
    std::vector<std::uint32_t> SettledPixels(const Area& area)
    {
        std::vector<std::uint32_t> before;
        std::vector<std::uint32_t> pixels;
        (void)WaitUntil([&] { return IsDrawn(pixels = Pixels(area)) && std::exchange(before, pixels) == pixels; }, {},
                        kHangGuard);
        return pixels;
    }

    bool WaitForButton(const Area& area)
    {
        return WaitUntil([&] { return IsDrawn(Pixels(area)); }, {}, kHangGuard);
    }

    void Click(const Area& area)
    {
        const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(mWindow);
        mInput.MoveTo(geometry.x + area.x + area.width / 2, geometry.y + area.y + area.height / 2);
        mInput.Click(1);
        mInput.MoveTo(1279, 1023);
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

    TemporaryFolder mFolder;
    DesktopWatcher mDesktop;
    DesktopInput mInput;
    unsigned long mWindow = 0;
    int mStarts = 0;
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
            Click(kMiddleButton);
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

TEST_F(ChosenDevice, OfTwoDevicesOneWhoseUpdateDidNotTakeIsFoundByNextAndOffersRestartAndSeveralAreSaidOnce)
{
    std::unique_ptr<ProgramUnderTest> program =
        Start({{"ZV_SIM_DEVICE", "two"}, {"ZV_SIM_RESTART_MS", "300"}, {"ZV_SIM_NEW_BUILD", "78500"}}, true);
    ASSERT_NE(mWindow, 0u);
    ASSERT_TRUE(WaitForLog(" STATE normal", " STATE done")) << "the device never came back";
    ASSERT_TRUE(WaitForButton(kMiddleButton)) << "no NEXT";
    Click(kMiddleButton);
    EXPECT_TRUE(WaitForButton(kRestartButton)) << "no RESTART after an update that did not take";
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
        std::vector<std::uint32_t> pixels = settled ? SettledPixels(kTexts) : Pixels(kTexts);
        const std::vector<std::uint32_t> button = Pixels(kMiddleButtonText);
        pixels.insert(pixels.end(), button.begin(), button.end());
        return pixels;
    };
    const std::vector<std::uint32_t> notFound = shown(true);
    Close(*program);

    // Back 36 s after the click: the window's wait of 60 turns of 500 ms, each with a look for the device, gives up
    // a little after 30 s, later on a slow machine.
    program = Start({{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_RESTART_MS", "36000"}}, false);
    ASSERT_NE(mWindow, 0u);
    ASSERT_TRUE(WaitForButton(kMiddleButton)) << "no UPDATE FIRMWARE";
    Click(kMiddleButton);
    ASSERT_TRUE(
        WaitUntil([&] { return shown(false) == notFound || Shows(Log(), " STATE update"); }, {}, kHangGuard));
    EXPECT_EQ(shown(true), notFound);
    ASSERT_FALSE(Shows(Log(), " STATE update")) << "the device came back before the wait gave up";

    ASSERT_TRUE(WaitForLog(" STATE update"));
    Click(kMiddleButton);
    EXPECT_TRUE(WaitForLog(" STATE done")) << "the update did not go on";
    for (const char* message : kImageMessages) {
        EXPECT_TRUE(Shows(Log(), message)) << message;
    }
    Close(*program);
}

}  // namespace
}  // namespace ZV::Testing::ChosenDeviceTests
