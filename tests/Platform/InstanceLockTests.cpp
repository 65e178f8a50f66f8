#include "Platform/InstanceLock.h"

#include "support/ScopedEnvironment.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace ZV::Platform {
namespace {

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
            std::string refusal;
            const std::unique_ptr<InstanceLock> lock = InstanceLock::TryAcquire(mPath, outcome, refusal);
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
    std::string refusal;
    std::unique_ptr<InstanceLock> first = InstanceLock::TryAcquire(mPath, outcome, refusal);
    ASSERT_TRUE(first);
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::heldElsewhere);
    first.reset();
    EXPECT_TRUE(InstanceLock::TryAcquire(mPath, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
}

TEST_F(InstanceLockTest, AHolderKilledWithoutWarningLeavesNoStaleLock)
{
    const pid_t holder = StartHolder();
    InstanceLock::Outcome outcome = InstanceLock::Outcome::failed;
    std::string refusal;
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::heldElsewhere);
    ASSERT_EQ(kill(holder, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_TRUE(InstanceLock::TryAcquire(mPath, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::acquired);
}

TEST_F(InstanceLockTest, TheFolderOfTheLockIsTheMachinesOwnInTheUsersStateFolderWhateverXdgRuntimeDirSaysOrRefused)
{
    const auto modeOf = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    };
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::string name = "ZVLockTest";
    const std::string runtime = mFolder + "/runtime";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    Testing::ScopedEnvironment environment;
    environment.Set("HOME", (mFolder + "/home").c_str());
    environment.Set("XDG_STATE_HOME", nullptr);
    // A start with a private runtime folder (the desktop's) and one without (a cron job's) meet in one folder, made
    // with the folders above it; never one under /tmp, which another user may have made first.
    const std::string underHome = mFolder + "/home/.local/state/" + name + "-" + host;
    std::string refusal;
    for (const char* runtimeFolder : {runtime.c_str(), static_cast<const char*>(nullptr)}) {
        environment.Set("XDG_RUNTIME_DIR", runtimeFolder);
        EXPECT_EQ(InstanceLock::FindFolder(name, refusal), underHome);
        EXPECT_EQ(refusal, "");
    }
    EXPECT_EQ(modeOf(underHome), 0700u);
    environment.Set("XDG_STATE_HOME", (mFolder + "/state").c_str());
    const std::string state = mFolder + "/state/" + name + "-" + host;
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), state);

    // Open to others, a link to a folder of the user's, a file: each refused, and left as it is.
    ASSERT_EQ(chmod(state.c_str(), 0705), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, state + " is open to other users");
    EXPECT_EQ(modeOf(state), 0705u);
    ASSERT_EQ(rename(state.c_str(), (state + "-real").c_str()), 0);
    ASSERT_EQ(chmod((state + "-real").c_str(), 0700), 0);
    ASSERT_EQ(symlink((state + "-real").c_str(), state.c_str()), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, state + " is a link");
    ASSERT_EQ(unlink(state.c_str()), 0);
    std::ofstream(state) << "a file";
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, state + " is not a folder");

    // Why it cannot be had: a file where a folder above it belongs; a runtime folder open to others and no home.
    environment.Set("XDG_STATE_HOME", (state + "/below").c_str());
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, state + "/below/" + name + "-" + host + " cannot be made: Not a directory");
    ASSERT_EQ(chmod(runtime.c_str(), 0755), 0);
    environment.Set("XDG_RUNTIME_DIR", runtime.c_str());
    environment.Set("XDG_STATE_HOME", nullptr);
    for (const char* home : {static_cast<const char*>(nullptr), "relative/home"}) {
        environment.Set("HOME", home);
        EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
        EXPECT_EQ(refusal, "cannot be found, as neither XDG_STATE_HOME nor HOME is set to an absolute path");
    }
    InstanceLock::Outcome outcome = InstanceLock::Outcome::acquired;
    EXPECT_FALSE(InstanceLock::TryAcquire(runtime, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::failed);
    EXPECT_EQ(refusal, "cannot be opened: Is a directory");
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed for the rest, and only root can act as one";
    }

    // Another user's folder, made first under the name, and another user's lock file in a folder of ours.
    environment.Set("XDG_STATE_HOME", (mFolder + "/state").c_str());
    ASSERT_EQ(unlink(state.c_str()), 0);
    ASSERT_EQ(mkdir(state.c_str(), 0700), 0);
    ASSERT_EQ(chown(state.c_str(), 65534, 65534), 0);
    EXPECT_EQ(InstanceLock::FindFolder(name, refusal), "");
    EXPECT_EQ(refusal, state + " belongs to another user");
    std::ofstream(mPath) << "";
    ASSERT_EQ(chown(mPath.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(InstanceLock::TryAcquire(mPath, outcome, refusal));
    EXPECT_EQ(outcome, InstanceLock::Outcome::failed);
    EXPECT_EQ(refusal, "belongs to another user");
}

TEST_F(InstanceLockTest, AFolderAboveThatAnotherUserCouldChangeIsRefusedAndNamedAndAStickyOneIsAccepted)
{
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::string name = "ZVLockTest";
    const std::string above = mFolder + "/above";
    ASSERT_EQ(mkdir(above.c_str(), 0700), 0);
    ASSERT_EQ(symlink("above", (mFolder + "/link").c_str()), 0);
    Testing::ScopedEnvironment environment;
    const auto refusalUnder = [&](const char* stateHome, mode_t mode) {
        EXPECT_EQ(chmod(above.c_str(), mode), 0);
        environment.Set("XDG_STATE_HOME", (mFolder + stateHome).c_str());
        std::string refusal;
        const std::string folder = InstanceLock::FindFolder(name, refusal);
        EXPECT_EQ(folder.empty(), !refusal.empty()) << refusal;
        return refusal;
    };
    const std::string folder = "/state/" + name + "-" + host;
    const std::string openToOthers = ", which other users may write and which has no sticky bit";
    EXPECT_EQ(refusalUnder("/above/state", 0777), mFolder + "/above" + folder + " lies in " + above + openToOthers);
    // Through a link, the folder it leads to is the one asked.
    EXPECT_EQ(refusalUnder("/link/state", 0772), mFolder + "/link" + folder + " lies in " + above + openToOthers);
    EXPECT_EQ(refusalUnder("/link/state", 01777), "");
    if (getuid() == 0) {
        ASSERT_EQ(chown(above.c_str(), 12345, 12345), 0);
        EXPECT_EQ(refusalUnder("/above/state", 0755),
                  mFolder + "/above" + folder + " lies in " + above + ", which belongs to another user");
    }
}

}  // namespace
}  // namespace ZV::Platform
