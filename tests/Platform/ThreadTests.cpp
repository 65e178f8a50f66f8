#include "Platform/Thread.h"

#include "Platform/Event.h"
#include "Platform/ThreadingServices.h"

#include <gtest/gtest.h>

#include <atomic>

namespace ZV::Platform {
namespace {

constexpr std::uint32_t kBoundedWait = 5000;

bool WaitFor(Event& event)
{
    Event* events[] = {&event};
    return Event::WaitForAny(events, 1, kBoundedWait) == kWaitSignalled;
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

TEST(PlatformThread, RoutineRunsOnlyAfterResumeAndItsEndIsSeen)
{
    RoutineRecord record;
    Thread thread(&RecordRun, &record);
    EXPECT_EQ(thread.WaitForEnd(20), kWaitTimedOut);
    EXPECT_FALSE(record.ran) << "a thread is made suspended";
    thread.Resume();
    EXPECT_EQ(thread.WaitForEnd(kBoundedWait), kWaitSignalled);
    EXPECT_TRUE(record.ran);
    EXPECT_EQ(thread.WaitForEnd(0), kWaitSignalled) << "an ended thread stays ended";
}

TEST(PlatformThread, PriorityIsRecordedAndReportedBackToTheThreadItself)
{
    RoutineRecord record;
    Thread thread(&RecordRun, &record);
    EXPECT_EQ(thread.GetPriority(), kThreadPriorityNormal);
    EXPECT_TRUE(thread.SetPriority(kThreadPriorityIdle));
    EXPECT_TRUE(thread.SetPriority(kThreadPriorityHighest));
    EXPECT_FALSE(thread.SetPriority(7)) << "only the named levels exist";
    EXPECT_EQ(thread.GetPriority(), kThreadPriorityHighest);
    thread.Resume();
    ASSERT_EQ(thread.WaitForEnd(kBoundedWait), kWaitSignalled);
    EXPECT_EQ(record.priority, kThreadPriorityHighest);
    EXPECT_EQ(Thread::GetCallingThreadPriority(), kThreadPriorityNormal) << "a thread the layer did not make";
}

TEST(PlatformThread, ThreadWaitingForItsOwnEndIsAnsweredAtOnce)
{
    RoutineRecord record;
    Thread thread(&WaitForOwnEnd, &record);
    record.self = &thread;
    EXPECT_FALSE(thread.IsCallingThread());
    thread.Resume();
    ASSERT_EQ(thread.WaitForEnd(kBoundedWait), kWaitSignalled) << "the thread waited for itself";
    EXPECT_TRUE(record.isCallingThread);
    EXPECT_EQ(record.waitOnOwnEnd, kWaitTimedOut);
}

TEST(PlatformThread, ThreadNeverResumedEndsWithoutRunningItsRoutine)
{
    RoutineRecord record;
    {
        Thread thread(&RecordRun, &record);
    }
    EXPECT_FALSE(record.ran);
}

TEST(PlatformThread, RoutineStillRunningWhenItsHandleIsDestroyedEndsOnItsOwn)
{
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

class CountingServices : public ThreadingServices {
public:
    std::unique_ptr<Event> CreateEvent(EventReset reset) override
    {
        ++eventsMade;
        return ThreadingServices::CreateEvent(reset);
    }
    int eventsMade = 0;
};

TEST(PlatformThreadingServices, InstalledServicesServeUntilThePreviousOnesAreBack)
{
    ThreadingServices& system = ThreadingServices::Current();
    CountingServices counting;
    ThreadingServices* previous = ThreadingServices::Install(&counting);
    EXPECT_EQ(previous, &system);
    EXPECT_EQ(&ThreadingServices::Current(), &counting);
    std::unique_ptr<Event> event = ThreadingServices::Current().CreateEvent(EventReset::Manual);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(counting.eventsMade, 1);
    RoutineRecord record;
    std::unique_ptr<Thread> thread = ThreadingServices::Current().CreateSuspendedThread(&RecordRun, &record);
    ASSERT_NE(thread, nullptr);
    thread->Resume();
    EXPECT_EQ(thread->WaitForEnd(kBoundedWait), kWaitSignalled);
    EXPECT_EQ(ThreadingServices::Install(previous), &counting);
    EXPECT_EQ(&ThreadingServices::Current(), &system);
}

}  // namespace
}  // namespace ZV::Platform
