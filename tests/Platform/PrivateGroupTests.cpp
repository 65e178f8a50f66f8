#include "Platform/CheckedFolder.h"
#include "Platform/InstanceLock.h"
#include "Platform/JudgedPaths.h"
#include "Platform/PrivateGroup.h"

#include "TestFiles.h"
#include "support/ScopedEnvironment.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace ZV::Platform {
namespace {

// Runs under the account database of tests/data/Accounts, which ctest puts in the system's place.
TEST(PrivateGroupAccounts, OnlyAGroupOfItsOwnersAloneWritesAsTheOwnerAndARefusalSaysWhoElseMayWrite)
{
    const passwd* ann = getpwnam("ann");
    ASSERT_TRUE(ann != nullptr && ann->pw_uid == 54321) << "the tests' account database is not in use";
    EXPECT_TRUE(IsPrivateGroup(0, 0));
    EXPECT_TRUE(IsPrivateGroup(54321, 54321)) << "its member list names its owner alone";
    EXPECT_TRUE(IsPrivateGroup(54325, 54325));
    EXPECT_FALSE(IsPrivateGroup(54324, 54324)) << "another member";
    EXPECT_FALSE(IsPrivateGroup(54322, 54330)) << "another account's primary group as well";
    EXPECT_FALSE(IsPrivateGroup(54321, 54325)) << "another user's private group";
    EXPECT_FALSE(IsPrivateGroup(54321, 54340)) << "nobody's group, as those of set-group-id programs are";
    EXPECT_FALSE(IsPrivateGroup(54321, 54399)) << "a group the database does not know";
    EXPECT_FALSE(IsPrivateGroup(54398, 54321)) << "an owner the database does not know";
    if (getuid() != 0) {
        GTEST_SKIP() << "the rest needs files of groups of the database's, and only root can give them";
    }

    const Testing::TemporaryFolder folder;
    const auto judge = [&](const std::string& name, gid_t group, mode_t mode) {
        const std::string path = folder / name;
        EXPECT_EQ(mkdir(path.c_str(), 0700), 0);
        EXPECT_EQ(chown(path.c_str(), 0, group), 0);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        const CheckedFolder checked = CheckedFolder::Open(path, CheckedFolder::Missing::refuse);
        return JudgeLibraryPath(path).Refused.Exposure + " / " + checked.GetExposure() + " / " + checked.GetRefusal();
    };
    EXPECT_EQ(judge("roots", 0, 0775), " /  / ");
    EXPECT_EQ(judge("shared", 54330, 0775),
              "is not its owner's alone: its group, which other users share, may write it / has no sticky bit and its "
              "group, which other users share, may write it / lies in " +
                  folder / "shared" +
                  ", which has no sticky bit and whose group, which other users share, may write it");
    EXPECT_EQ(judge("everyones", 0, 0777),
              "is not its owner's alone: other users may write it / has no sticky bit and other users may write it / "
              "lies in " +
                  folder / "everyones" + ", which other users may write and which has no sticky bit");

    // The one-instance guard's own folder, which nobody but the user may use.
    Testing::ScopedEnvironment environment;
    environment.Set("XDG_STATE_HOME", (folder / "roots").c_str());
    std::string refusal;
    const std::string guard = InstanceLock::FindFolder("PrivateGroupTest", refusal);
    ASSERT_NE(guard, "") << refusal;
    ASSERT_EQ(chmod(guard.c_str(), 0770), 0);
    EXPECT_EQ(InstanceLock::FindFolder("PrivateGroupTest", refusal), guard) << refusal;
    ASSERT_EQ(chown(guard.c_str(), 0, 54330), 0);
    EXPECT_EQ(InstanceLock::FindFolder("PrivateGroupTest", refusal), "");
    EXPECT_EQ(refusal, guard + " is open to other users");
}

}  // namespace
}  // namespace ZV::Platform
