#include "App/Gui/ProgramOnDesktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Testing {
namespace {

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

}  // namespace
}  // namespace ZV::Testing
