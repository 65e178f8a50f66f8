#include "Platform/CheckedFolder.h"

#include "TestFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Platform {
namespace {

namespace fs = std::filesystem;

// Links on the way: the user's are followed, relative ones from the folder they lie in, and a loop ends; another
// user's link, even in a sticky folder where that user may put it, is not.
TEST(CheckedFolder, OnlyTheUsersOrRootsLinksAreFollowedAndALoopOfLinksEnds)
{
    Testing::TemporaryFolder folder;
    const std::string real = folder / "real";
    fs::create_directories(real + "/inner");
    fs::create_symlink("real/inner/..", folder / "up");
    fs::create_symlink("loop", folder / "loop");

    const CheckedFolder made = CheckedFolder::Open(folder / "up/made/below", CheckedFolder::Missing::make);
    ASSERT_TRUE(made.IsOpen()) << made.GetRefusal();
    EXPECT_EQ(made.GetPath(), real + "/made/below");
    EXPECT_TRUE(fs::is_directory(real + "/made/below"));
    EXPECT_EQ(fs::status(real + "/made").permissions(), fs::perms::owner_all);

    const CheckedFolder looped = CheckedFolder::Open(folder / "loop/below", CheckedFolder::Missing::make);
    EXPECT_FALSE(looped.IsOpen());
    EXPECT_FALSE(looped.IsUnsafe());
    EXPECT_EQ(looped.GetRefusal(), "cannot be opened: Too many levels of symbolic links");
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed for the rest, and only root can act as one";
    }

    const std::string sticky = folder / "sticky";
    fs::create_directory(sticky);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    const std::string theirs = sticky + "/theirs";
    fs::create_symlink(real, theirs);
    ASSERT_EQ(lchown(theirs.c_str(), 54321, 54321), 0);
    const CheckedFolder behind = CheckedFolder::Open(theirs + "/made", CheckedFolder::Missing::make);
    EXPECT_TRUE(behind.IsUnsafe());
    EXPECT_EQ(behind.GetRefusal(), "lies behind " + theirs + ", a link of another user");
    std::string name;
    const CheckedFolder file = CheckedFolder::OpenFileFolder(theirs, CheckedFolder::Missing::refuse, name);
    EXPECT_TRUE(file.IsUnsafe());
    EXPECT_EQ(file.GetExposedPath(), theirs);
    EXPECT_EQ(file.GetExposure(), "is a link of another user");
}

}  // namespace
}  // namespace ZV::Platform
