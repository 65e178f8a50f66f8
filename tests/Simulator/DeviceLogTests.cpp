#include "Simulator/DeviceLog.h"
#include "TestFiles.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace ZV::Simulator {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using Testing::ContentOf;
using Testing::TemporaryFolder;
namespace fs = std::filesystem;

// A link of the user's own at the log's name is followed; root never writes through a link that another user put
// there, which could lead into any file of root's.
TEST(DeviceLog, IsWrittenThroughTheUsersOwnLinkButNeverThroughAnotherUsersLink)
{
    TemporaryFolder folder;
    const std::string target = folder.Write("target.log", "an earlier run's log, longer than this one's\n");
    const std::string ownLink = folder / "own-link.log";
    fs::create_symlink(target, ownLink);
    DeviceLog(ownLink, SimulatorClock::now()).State("update");
    EXPECT_TRUE(fs::is_symlink(ownLink));
    EXPECT_THAT(ContentOf(target), MatchesRegex("[0-9]+ STATE update\n"));

    if (getuid() != 0) {
        GTEST_SKIP() << "another user's link is made by root alone";
    }
    const std::string rootsFile = folder.Write("roots-file", "root's own\n");
    const std::string theirLink = folder / "their-link.log";
    fs::create_symlink(rootsFile, theirLink);
    ASSERT_EQ(lchown(theirLink.c_str(), 54321, 54321), 0);
    try {
        DeviceLog log(theirLink, SimulatorClock::now());
        ADD_FAILURE() << "the log was opened through another user's link";
    } catch (const std::invalid_argument& refusal) {
        EXPECT_THAT(refusal.what(), HasSubstr("(it is a link of another user)"));
    }
    EXPECT_EQ(ContentOf(rootsFile), "root's own\n");
}

}  // namespace
}  // namespace ZV::Simulator
