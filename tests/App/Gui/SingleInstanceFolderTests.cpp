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
// bit: that user could move the lock away while an update runs, so the start says so and goes on without the check.
TEST_F(SingleInstanceFolder, UnderAFolderAnotherUserCouldChangeTheStartNamesItAndUpdatesWithoutTheCheck)
{
    const std::string shared = mFolder / "shared";
    ASSERT_EQ(mkdir(shared.c_str(), 0755), 0);
    const bool asRoot = getuid() == 0;
    ASSERT_EQ(asRoot ? chown(shared.c_str(), 12345, 12345) : chmod(shared.c_str(), 0777), 0);
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);

    const std::unique_ptr<ProgramUnderTest> program =
        Start({"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
              {{"XDG_STATE_HOME", shared + "/state"}, {"ZV_SIM_DEVICE", "update"}, {"ZV_DEBUG_OUTPUT", ""},
               {"DISPLAY", ""}});
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1);
    EXPECT_EQ(program->ReadStandardError(),
              "The single-instance folder " + shared + "/state/" + kWindowClass + "Prevent-" + host + " lies in " +
                  shared +
                  (asRoot ? ", which belongs to another user"
                          : ", which other users may write and which has no sticky bit") +
                  "; this start goes on without the single-instance check.\n");
}

}  // namespace
}  // namespace ZV::Testing
