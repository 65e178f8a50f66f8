#include "Platform/InstanceLock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace
}  // namespace ZV::Platform
