// An update on its way, as the program on the desktop carries it: from the request that sends the device into update
// mode on, the window's end no longer ends the program before the update has, the end is told when no window is left
// to show it, and a display that stops answering holds nothing of it.

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "App/Gui/ProgramOnDesktop.h"
#include "TestFiles.h"

#include <gmock/gmock.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A namespace of its own: the test sources of this program are built as one.
namespace ZV::Testing::UpdateOnItsWayTests {
namespace {

using ::testing::ElementsAreArray;
using ::testing::Matcher;
using ::testing::StartsWith;

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
    const std::string displayLost = "FirmwareUpdater: the display went away; the update goes on without the window, "
                                    "and the program ends when it has ended";
    const std::string destroyed = "FirmwareUpdater: another program destroyed the window; the update goes on without "
                                  "it, and the program ends when it has ended";
    const std::string finished = "FirmwareUpdater: the update finished";
    struct Case {
        const char* what;
        bool click;
        Loss loss;
        // The image messages after which the device goes for good; none when it stays.
        int vanishAfter;
        std::vector<Matcher<std::string>> said;
    };
    // What the window would have shown of the update's end is said when it has come.
    const Case cases[] = {
        {"the automatic start, the window's connection killed as xkill does", false, Loss::kConnectionKilled, 0,
         {displayLost, finished}},
        {"a click, the window destroyed by another client", true, Loss::kWindowDestroyed, 0, {destroyed, finished}},
        {"the automatic start, the window destroyed, the device gone during the update", false,
         Loss::kWindowDestroyed, 5,
         {destroyed, StartsWith("FirmwareUpdater: the device went away during the update (at byte offset ")}},
    };
    for (const Case& run : cases) {
        SCOPED_TRACE(run.what);
        std::filesystem::remove(mLog);
        std::vector<std::string> arguments{"-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage};
        if (!run.click) {
            arguments.emplace_back(std::string_view("-START_UPDATE_AUTOMATICALLY"));
        }
        std::map<std::string, std::string> environment{{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_RESTART_MS", "3000"}};
        if (run.vanishAfter > 0) {
            environment.emplace("ZV_SIM_FAULT", "vanish-after=" + std::to_string(run.vanishAfter));
        }
        // The device takes seconds to restart: the window goes well before it is back.
        std::unique_ptr<ProgramUnderTest> program = Start(arguments, environment);
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
        const int taken = run.vanishAfter > 0 ? run.vanishAfter : kImageMessages;
        EXPECT_EQ(ImageMessagesReceived(), static_cast<std::size_t>(taken)) << ContentOf(mLog);
        EXPECT_EQ(LogShows(" STATE done"), run.vanishAfter == 0) << ContentOf(mLog);
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), ElementsAreArray(run.said));
    }
}

// The device comes back in update mode beside another of its name, plugged in already in update mode, and the window's
// look at them, which refuses the update, is held there while another program destroys the window. The line said once
// the window went tells where the device was left, as a silent run's does: no later look blurs it.
TEST_F(UpdateOnItsWay, ARefusalByANamesakeAsTheWindowGoesSaysThatTheDeviceWaitsInUpdateMode)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
              {{"ZV_SIM_DEVICE", "normal+update@cue"}, {"ZV_SIM_CUES", "1.update:plug=2,1.asked-status#2:hold"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    ASSERT_TRUE(WaitForHold(*program, 1)) << ContentOf(mLog);
    XDestroyWindow(mDesktop.GetDisplay(), window);
    XSync(mDesktop.GetDisplay(), False);
    ReleaseHold();
    ASSERT_TRUE(WaitForProgramEnd(*program)) << program->ReadStandardError();
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    const std::vector<std::string> said = program->LinesStartingWith("FirmwareUpdater:");
    ASSERT_FALSE(said.empty()) << program->ReadStandardError();
    EXPECT_EQ(said.back(), "FirmwareUpdater: two devices named \"Halvista Left\" are connected; connect only the one "
                           "to update; nothing was sent, and the device waits in update mode");
    EXPECT_EQ(ImageMessagesReceived(), 0u);
}

TEST_F(UpdateOnItsWay, AServerStoppedRightAfterTheRequestIntoUpdateModeLeavesTheDeviceToTakeItsWholeImageAndBeDone)
{
    // The window may freeze with its server, as in a frozen session; the update may not.
    OwnXServer server(mFolder / "xvfb.log");
    ASSERT_FALSE(server.GetName().empty()) << ContentOf(mFolder / "xvfb.log");
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImage},
              {{"DISPLAY", server.GetName()}, {"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_RESTART_MS", "300"}});
    ASSERT_TRUE(WaitUntil([&] { return LogShows(" RX F0 47 00 37 07 00 00 00 F7") || program->CheckEnded(); }, {},
                          kHangGuard))
        << "the device was never sent into update mode";
    ASSERT_FALSE(program->CheckEnded()) << program->ReadStandardError();

    server.GetProcess().Signal(SIGSTOP);
    // Far more than the device's restarts, the wait's turns, the image and the flash take.
    const bool done = WaitUntil([&] { return LogShows(" STATE done"); }, {}, std::chrono::seconds(30));
    server.GetProcess().Signal(SIGCONT);
    EXPECT_TRUE(done) << ContentOf(mLog);
    EXPECT_EQ(ImageMessagesReceived(), static_cast<std::size_t>(kImageMessages));
    // With its window back, the program ends as asked once it has taken the update's end.
    ASSERT_TRUE(AskUntilEnded(*program, [&] { program->Signal(SIGTERM); }));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    // The server's only client, the program never left it to reset under its next connection.
    EXPECT_FALSE(server.TookAClientAfterHavingNone()) << ContentOf(mFolder / "xvfb.log");
}

}  // namespace
}  // namespace ZV::Testing::UpdateOnItsWayTests
