#include "Platform/Thread.h"

#include "Platform/Event.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace ZV::Platform {
namespace {

using Testing::kBoundedWaitMilliseconds;

bool WaitFor(Event& event)
{
    Event* events[] = {&event};
    return Event::WaitForAny(events, 1, kBoundedWaitMilliseconds) == kWaitSignalled;
}

// What a routine under test sees and does.
struct RoutineRecord {
    std::atomic<bool> ran{false};
    std::atomic<int> priority{-99};
    std::atomic<Thread*> self{nullptr};
    std::atomic<bool> isCallingThread{false};
    std::uint32_t waitOnOwnEnd = 0;
    Event started{EventReset::Manual};
    Event release{EventReset::Manual};
    Event finished{EventReset::Manual};
};

void RecordRun(void* context)
{
    auto* record = static_cast<RoutineRecord*>(context);
    record->priority = Thread::GetCallingThreadPriority();
    record->ran = true;
}

void WaitForOwnEnd(void* context)
{
    auto* record = static_cast<RoutineRecord*>(context);
    record->isCallingThread = record->self.load()->IsCallingThread();
    record->waitOnOwnEnd = record->self.load()->WaitForEnd(kWaitInfinite);
}

void RunUntilReleased(void* context)
{
    auto* record = static_cast<RoutineRecord*>(context);
    record->started.Set();
    WaitFor(record->release);
    record->ran = true;
    record->finished.Set();
}

TEST(PlatformThread, ThreadWaitingForItsOwnEndIsAnsweredAtOnce)
{
    RoutineRecord record;
    Thread thread(&WaitForOwnEnd, &record);
    record.self = &thread;
    EXPECT_FALSE(thread.IsCallingThread());
    thread.Resume();
    ASSERT_EQ(thread.WaitForEnd(kBoundedWaitMilliseconds), kWaitSignalled) << "the thread waited for itself";
    EXPECT_TRUE(record.isCallingThread);
    EXPECT_EQ(record.waitOnOwnEnd, kWaitTimedOut);
}

TEST(PlatformThread, HandleDestroyedBeforeResumeRunsNothingAndOneDestroyedWhileRunningLetsItEnd)
{
    RoutineRecord neverResumed;
    {
        Thread thread(&RecordRun, &neverResumed);
    }
    EXPECT_FALSE(neverResumed.ran);

    RoutineRecord record;
    {
        Thread thread(&RunUntilReleased, &record);
        thread.Resume();
        ASSERT_TRUE(WaitFor(record.started));
    }
    record.release.Set();
    ASSERT_TRUE(WaitFor(record.finished));
    EXPECT_TRUE(record.ran);
}

}  // namespace
}  // namespace ZV::Platform
