#include "Threading/Thread.h"

#include "Threading/Event.h"
#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace ZV {
namespace {

using Testing::kBoundedWait;

struct Record {
    std::atomic<int> priority{-99};
    std::atomic<bool> ran{false};
};

void RecordPriority(void* context)
{
    auto* record = static_cast<Record*>(context);
    record->priority = Thread::GetCallingThreadPriority();
    record->ran = true;
}

TEST(Thread, RunsAfterResumeAtItsRecordedPriorityAndIsSeenToEnd)
{
    Record record;
    Thread thread(&RecordPriority, &record);
    ASSERT_TRUE(thread.IsValid());
    EXPECT_TRUE(thread.SetPriorityBoost(false));
    EXPECT_TRUE(thread.SetPriority(kThreadPriorityBelowNormal));
    EXPECT_EQ(thread.GetPriority(), kThreadPriorityBelowNormal);
    EXPECT_FALSE(thread.HasEnded());
    EXPECT_FALSE(record.ran) << "made suspended";
    thread.Resume();
    EXPECT_TRUE(thread.WaitForEnd(kBoundedWait));
    EXPECT_TRUE(thread.HasEnded());
    EXPECT_EQ(record.priority, kThreadPriorityBelowNormal);
}

TEST(Thread, ThreadThePlatformCouldNotMakeNeverRunsAndNeverEnds)
{
    Testing::FailingThreadingServices services;
    services.failThreads = true;
    Record record;
    Thread thread(&RecordPriority, &record);
    EXPECT_FALSE(thread.IsValid());
    thread.Resume();
    EXPECT_FALSE(thread.SetPriority(kThreadPriorityHighest));
    EXPECT_FALSE(thread.SetPriorityBoost(false));
    EXPECT_FALSE(thread.HasEnded());
    EXPECT_FALSE(thread.WaitForEnd(10));
    EXPECT_FALSE(thread.IsCallingThread());
    EXPECT_FALSE(record.ran);
}

}  // namespace
}  // namespace ZV
