#include "Threading/Thread.h"

#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace ZV {
namespace {

void RecordPriority(void* context)
{
    *static_cast<std::atomic<int>*>(context) = Thread::GetCallingThreadPriority();
}

TEST(Thread, RunsAfterResumeAtItsPriorityAndOneThePlatformCouldNotMakeNeverRunsNorEnds)
{
    std::atomic<int> priority{-99};
    Thread thread(&RecordPriority, &priority);
    ASSERT_TRUE(thread.IsValid());
    EXPECT_TRUE(thread.SetPriority(kThreadPriorityBelowNormal));
    EXPECT_EQ(priority, -99) << "made suspended";
    thread.Resume();
    EXPECT_TRUE(thread.WaitForEnd(Testing::kBoundedWaitMilliseconds));
    EXPECT_TRUE(thread.HasEnded());
    EXPECT_EQ(priority, kThreadPriorityBelowNormal);

    Testing::FailingThreadingServices services;
    services.failThreads = true;
    std::atomic<int> untouched{-99};
    Thread failed(&RecordPriority, &untouched);
    EXPECT_FALSE(failed.IsValid());
    failed.Resume();
    EXPECT_FALSE(failed.SetPriority(kThreadPriorityHighest));
    EXPECT_FALSE(failed.HasEnded());
    EXPECT_FALSE(failed.WaitForEnd(10));
    EXPECT_EQ(untouched, -99);
}

}  // namespace
}  // namespace ZV
