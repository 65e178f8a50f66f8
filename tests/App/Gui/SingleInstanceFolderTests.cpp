#include "App/Gui/ProgramOnDesktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Testing {
namespace {

using ::testing::ElementsAre;
using SingleInstanceFolder = ProgramOnDesktop;

// As when root runs with another user's home, or the state folder lies in a folder open to all without the sticky
// bit: that user could move the lock away while an update runs, so the start says so, makes nothing there and goes
// on without the check.
TEST_F(SingleInstanceFolder, UnderAFolderAnotherUserCouldChangeTheStartNamesItMakesNothingThereAndUpdatesUnchecked)
{
    const bool asRoot = getuid() == 0;
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);

    for (const bool asHome : {false, true}) {
        const std::string above = mFolder / (asHome ? "home-of-another" : "shared");
        SCOPED_TRACE(above);
        ASSERT_EQ(mkdir(above.c_str(), 0755), 0);
        ASSERT_EQ(asRoot ? chown(above.c_str(), 54321, 54321) : chmod(above.c_str(), 0777), 0);
        const std::string state = above + (asHome ? "/.local/state" : "/state");
        const std::unique_ptr<ProgramUnderTest> program = Start(
            {"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
            {{"HOME", asHome ? above : mFolder / "home"},
             {"XDG_STATE_HOME", asHome ? "" : state},
             {"ZV_SIM_DEVICE", "update"},
             {"ZV_DEBUG_OUTPUT", ""},
             {"DISPLAY", ""}});
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 1);
        EXPECT_EQ(program->ReadStandardError(),
                  "The single-instance folder " + state + "/" + kWindowClass + "Prevent-" + host + " lies in " +
                      above +
                      (asRoot ? ", which belongs to another user"
                              : ", which other users may write and which has no sticky bit") +
                      "; this start goes on without the single-instance check.\n");
        EXPECT_TRUE(std::filesystem::is_empty(above));
    }
}

// Desktops give each user a private group, and a umask that lets it write what they make: their folders are 0775. By
// the account database (the tests' own, tests/data/Accounts, put in the system's place) that group is the user's
// alone, and such folders keep the one-instance guard and the window's place.
TEST_F(SingleInstanceFolder, AUsersFoldersThatTheirPrivateGroupMayWriteKeepTheGuardAndTheWindowsPlace)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "a user of the tests' account database is needed, and only root can act as one";
    }
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    constexpr uid_t kUserWithAPrivateGroup = 54321;
    ASSERT_EQ(chmod(mFolder.Path().c_str(), 0755), 0);
    for (const std::string& path : {mFolder / "home", mFolder / "data", mFolder / "config", mFolder / "state"}) {
        ASSERT_EQ(chown(path.c_str(), kUserWithAPrivateGroup, kUserWithAPrivateGroup), 0);
        ASSERT_EQ(chmod(path.c_str(), 0775), 0);
    }
    WriteContent(mDeviceLog, "");
    ASSERT_EQ(chown(mDeviceLog.c_str(), kUserWithAPrivateGroup, kUserWithAPrivateGroup), 0);
    // The user reads the account database where the checkout may be closed to them.
    const std::string accounts = mFolder / "accounts";
    std::filesystem::create_directory(accounts);
    for (const char* table : {"passwd", "group"}) {
        std::filesystem::copy_file(std::string(ZV_TEST_ACCOUNTS_DIR "/") + table, accounts + "/" + table);
    }
    const auto startAsTheUser = [&] {
        const std::string id = std::to_string(kUserWithAPrivateGroup);
        return Start({"--reuid=" + id, "--regid=" + id, "--clear-groups", ZV_TEST_PROGRAM},
                     {{"XDG_RUNTIME_DIR", ""},
                      {"LD_PRELOAD", ZV_TEST_NSS_WRAPPER},
                      {"NSS_WRAPPER_DISABLE_DEEPBIND", "1"},
                      {"NSS_WRAPPER_PASSWD", accounts + "/passwd"},
                      {"NSS_WRAPPER_GROUP", accounts + "/group"}},
                     "/usr/bin/setpriv");
    };

    const std::unique_ptr<ProgramUnderTest> first = startAsTheUser();
    const unsigned long window = WaitForMainWindow(*first);
    ASSERT_NE(window, 0u) << first->ReadStandardError();
    const std::unique_ptr<ProgramUnderTest> second = startAsTheUser();
    ASSERT_TRUE(WaitForProgramEnd(*second)) << "a second instance runs";
    EXPECT_EQ(second->GetExitCode(), 255) << second->ReadStandardError();
    EXPECT_THAT(second->LinesStartingWith("The program is running already"),
                ElementsAre("The program is running already and was asked to come to the front; this start ends."));
    ASSERT_TRUE(MoveWindow(window, 333, 222));
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*first));
    EXPECT_EQ(first->GetExitCode(), 1);

    const std::unique_ptr<ProgramUnderTest> again = startAsTheUser();
    const unsigned long reopened = WaitForMainWindow(*again);
    ASSERT_NE(reopened, 0u) << again->ReadStandardError();
    const DesktopWatcher::Geometry shown = mDesktop.GetGeometry(reopened);
    EXPECT_EQ(shown.x, 333);
    EXPECT_EQ(shown.y, 222);
    mInput.RequestClose(reopened);
    ASSERT_TRUE(WaitForProgramEnd(*again));
}

}  // namespace
}  // namespace ZV::Testing
