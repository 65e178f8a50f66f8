// An update on its way, as the program on the desktop carries it: from the request that sends the device into update
// mode on, the window's end no longer ends the program before the update has.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <gmock/gmock.h>

#include <X11/Xlib.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::UpdateOnItsWayTests {
namespace {

using ::testing::ElementsAre;

constexpr int kImageMessages = 20;
constexpr char kImageMessage[] = "\xF0\x01\x02\x03\x04\xF7";

class UpdateOnItsWay : public ProgramOnDesktop {
protected:
    UpdateOnItsWay()
    {
        std::string image;
        for (int message = 0; message < kImageMessages; ++message) {
            image += kImageMessage;
        }
        WriteContent(mImage, image);
    }

    bool LogShows(const std::string& text) const { return ContentOf(mLog).find(text) != std::string::npos; }

    std::size_t ImageMessagesReceived() const
    {
        const std::string log = ContentOf(mLog);
        std::size_t count = 0;
        for (std::size_t at = log.find(" RX F0 01 02 03 04 F7"); at != std::string::npos;
             at = log.find(" RX F0 01 02 03 04 F7", at + 1)) {
            ++count;
        }
        return count;
    }

    const std::string mImage = mFolder / "image.syx";
    const std::string mLog = mFolder / "device.log";
};

TEST_F(UpdateOnItsWay, AWindowThatGoesWhileTheDeviceRestartsIntoUpdateModeLeavesTheUpdateToGoOnToItsEndAndEndsWith1)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    mInput.MoveTo(1279, 1023);
    enum class Loss { kConnectionKilled, kWindowDestroyed };
    struct Case {
        const char* what;
        bool click;
        Loss loss;
        std::string said;
    };
    const Case cases[] = {
        {"the automatic start, the window's connection killed as xkill does", false, Loss::kConnectionKilled,
         "FirmwareUpdater: the display went away; the update goes on without the window, and the program ends when "
         "it has ended"},
        {"a click, the window destroyed by another client", true, Loss::kWindowDestroyed,
         "FirmwareUpdater: another program destroyed the window; the update goes on without it, and the program ends "
         "when it has ended"},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        std::filesystem::remove(mLog);
        std::vector<std::string> arguments{"-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage};
        if (!run.click) {
            arguments.emplace_back(std::string_view("-START_UPDATE_AUTOMATICALLY"));
        }
        // The device takes seconds to restart: the window goes well before it is back.
        std::unique_ptr<ProgramUnderTest> program =
            Start(arguments, {{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_RESTART_MS", "3000"}});
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        if (run.click) {
            ASSERT_FALSE(SettledPixels(window, kMiddleButton).empty()) << "no UPDATE FIRMWARE";
            ClickInWindow(window, kMiddleButton);
        }
        ASSERT_TRUE(WaitUntil([&] { return LogShows(" STATE restarting") || program->CheckEnded(); }, {}, kHangGuard))
            << "the device was never sent into update mode";

        if (run.loss == Loss::kConnectionKilled) {
            XKillClient(mDesktop.GetDisplay(), window);
        } else {
            XDestroyWindow(mDesktop.GetDisplay(), window);
        }
        XSync(mDesktop.GetDisplay(), False);
        ASSERT_TRUE(WaitForProgramEnd(*program)) << program->ReadStandardError();
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_EQ(ImageMessagesReceived(), static_cast<std::size_t>(kImageMessages)) << ContentOf(mLog);
        EXPECT_TRUE(LogShows(" STATE done")) << "the update was not confirmed";
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), ElementsAre(run.said));
    }
}

}  // namespace
}  // namespace ZV::Testing::UpdateOnItsWayTests
