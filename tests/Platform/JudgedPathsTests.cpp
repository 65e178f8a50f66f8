#include "Platform/JudgedPaths.h"

#include "TestFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Platform {
namespace {

namespace fs = std::filesystem;

void ExpectRefused(const std::string& path, const std::string& refusedPath, const std::string& exposure)
{
    const PathJudgement judged = JudgeLibraryPath(path);
    EXPECT_EQ(judged.Refused.Path, refusedPath) << path;
    EXPECT_EQ(judged.Refused.Exposure, exposure) << path;
}

// What a library may read of a user-level place: only what nobody but the user and root can change, every file and
// folder of it, and nothing that another user can still put there.
TEST(JudgedPaths, OnlyWhatNobodyButTheUserAndRootCanChangePassesLookedAtWhole)
{
    const Testing::TemporaryFolder folder;
    folder.Write("own/fonts/sub/Font.ttf", "font");
    fs::create_symlink("fonts/sub/Font.ttf", folder / "own/link");
    const PathJudgement own = JudgeLibraryPath(folder / "own");
    EXPECT_TRUE(own.Exists);
    EXPECT_FALSE(own.Refused.IsRefused()) << own.Refused.Path << " " << own.Refused.Exposure;
    const PathJudgement missing = JudgeLibraryPath(folder / "own/missing/below");
    EXPECT_FALSE(missing.Exists);
    EXPECT_FALSE(missing.Refused.IsRefused());
    ExpectRefused("own/fonts", "own/fonts", "is not an absolute path");

    const std::string pipe = folder / "piped/sub/pipe";
    fs::create_directories(folder / "piped/sub");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ExpectRefused(folder / "piped", pipe, "is neither a file nor a folder");
    const std::string open = folder.Write("open/settings", "");
    ASSERT_EQ(chmod(open.c_str(), 0666), 0);
    const std::string writtenByOthers = "is not its owner's alone: other users may write it";
    ExpectRefused(folder / "open", open, writtenByOthers);
    const std::string sticky = folder / "sticky";
    fs::create_directory(sticky);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    ExpectRefused(sticky + "/missing", sticky, writtenByOthers);
    ExpectRefused(sticky, sticky, writtenByOthers);
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed for the rest, and only root can act as one";
    }

    const std::string theirs = folder.Write("mixed/Theirs.ttf", "font");
    ASSERT_EQ(lchown(theirs.c_str(), 54321, 54321), 0);
    ExpectRefused(folder / "mixed", theirs, "belongs to another user");
    const std::string theirLink = sticky + "/link";
    fs::create_symlink(folder / "own", theirLink);
    ASSERT_EQ(lchown(theirLink.c_str(), 54321, 54321), 0);
    ExpectRefused(theirLink, theirLink, "is a link of another user");
}

}  // namespace
}  // namespace ZV::Platform
