#include "Platform/InstanceLock.h"

#include "support/ScopedEnvironment.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace ZV::Platform {
namespace {

using ::testing::HasSubstr;

class InstanceLockTest : public ::testing::Test {
protected:
    InstanceLockTest()
    {
        char folder[] = "/tmp/zv-lock-XXXXXX";
        mFolder = mkdtemp(folder);
        mPath = mFolder + "/program.lock";
    }
    ~InstanceLockTest() override { EXPECT_EQ(std::system(("rm -r " + mFolder).c_str()), 0); }

    // A process of its own that takes the lock, says so through the pipe and waits to be killed.
    pid_t StartHolder()
    {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            InstanceLock::Outcome outcome;
            const std::unique_ptr<InstanceLock> lock = InstanceLock::TryAcquire(mPath, outcome);
            const char held = lock ? 1 : 0;
            (void)!write(ready[1], &held, 1);
            for (;;) {
                pause();
            }
        }
        close(ready[1]);
        char held = 0;
        EXPECT_EQ(read(ready[0], &held, 1), 1);
        EXPECT_EQ(held, 1);
        close(ready[0]);
        return child;
    }

    std::string mFolder;
    std::string mPath;
};

TEST_F(InstanceLockTest, OneHolderAtATimeAndTheLockIsFreeAgainWhenItsHolderGoes)
{
    InstanceLock::Outcome outcome = InstanceLock::Outcome::failed;
    std::unique_ptr<InstanceLock> first = InstanceLock::TryAcquire(mPath, outcome);
    ASSERT_TRUE(first);
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome));
    EXPECT_EQ(outcome, InstanceLock::Outcome::heldElsewhere);
    first.reset();
    EXPECT_TRUE(InstanceLock::TryAcquire(mPath, outcome));
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
}

TEST_F(InstanceLockTest, AHolderKilledWithoutWarningLeavesNoStaleLock)
{
    const pid_t holder = StartHolder();
    InstanceLock::Outcome outcome = InstanceLock::Outcome::failed;
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome));
    EXPECT_EQ(outcome, InstanceLock::Outcome::heldElsewhere);
    ASSERT_EQ(kill(holder, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_TRUE(InstanceLock::TryAcquire(mPath, outcome));
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
}

TEST_F(InstanceLockTest, TheFolderOfTheLockIsTheUsersAloneOrRefusedAndARuntimeFolderOpenToOthersIsPassedOver)
{
    const auto modeOf = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    };
    Testing::ScopedEnvironment environment;
    environment.Set("XDG_RUNTIME_DIR", mFolder.c_str());
    const std::string name = "ZVLockTest";
    const std::string own = mFolder + "/" + name;
    std::string refusal;
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), own);
    EXPECT_EQ(refusal, "");
    EXPECT_EQ(modeOf(own), 0700u);

    // Open to the group, a link to a folder of the user's, a file: each refused, and left as it is.
    ASSERT_EQ(chmod(own.c_str(), 0750), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_THAT(refusal, HasSubstr(own + " is open to other users"));
    EXPECT_EQ(modeOf(own), 0750u);
    ASSERT_EQ(rename(own.c_str(), (own + "-real").c_str()), 0);
    ASSERT_EQ(chmod((own + "-real").c_str(), 0700), 0);
    ASSERT_EQ(symlink((own + "-real").c_str(), own.c_str()), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_THAT(refusal, HasSubstr(own + " is a link"));
    ASSERT_EQ(unlink(own.c_str()), 0);
    std::ofstream(own) << "a file";
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_THAT(refusal, HasSubstr(own + " is not a folder"));

    // A runtime folder that others may use is passed over for one of the machine's own in the user's state folder,
    // made with the folders above it; never for a folder under /tmp, which another user may have made first.
    ASSERT_EQ(chmod(mFolder.c_str(), 0755), 0);
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    environment.Set("HOME", (mFolder + "/home").c_str());
    environment.Set("XDG_STATE_HOME", nullptr);
    const std::string underHome = mFolder + "/home/.local/state/" + name + "-" + host;
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), underHome);
    EXPECT_EQ(modeOf(underHome), 0700u);
    environment.Set("XDG_STATE_HOME", (mFolder + "/state").c_str());
    const std::string state = mFolder + "/state/" + name + "-" + host;
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), state);
    environment.Set("HOME", nullptr);
    environment.Set("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, "cannot be found, as neither XDG_RUNTIME_DIR nor HOME is set");
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed for the rest, and only root can act as one";
    }

    // Another user's folder, made first under the name, and another user's lock file in a folder of ours.
    environment.Set("XDG_STATE_HOME", (mFolder + "/state").c_str());
    ASSERT_EQ(chown(state.c_str(), 65534, 65534), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_THAT(refusal, HasSubstr(state + " belongs to another user"));
    std::ofstream(mPath) << "";
    ASSERT_EQ(chown(mPath.c_str(), 65534, 65534), 0);
    InstanceLock::Outcome outcome = InstanceLock::Outcome::acquired;
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome));
    EXPECT_EQ(outcome, InstanceLock::Outcome::failed);
}

}  // namespace
}  // namespace ZV::Platform
