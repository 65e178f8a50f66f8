#include "Threading/ThreadPool.h"

#include "Threading/ThreadPoolTestSupport.h"
#include "Threading/ThreadingTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

namespace ZV {
namespace {

using Testing::JobLog;
using Testing::kBoundedWaitMilliseconds;
using Testing::LGatedWorker;
using Testing::LLoggingWorker;
using Testing::LReleaseSignal;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

RCPtr<LThreadWorker> Logging(JobLog& log, int label)
{
    return RCPtr<LThreadWorker>(new LLoggingWorker(log, label));
}

// Occupies every worker of the pool with a gated job and waits until all of them run.
std::vector<RCPtr<LGatedWorker>> OccupyEveryWorker(LThreadPool& pool)
{
    std::vector<RCPtr<LGatedWorker>> gates;
    for (int i = 0; i < pool.GetWorkerCount(); ++i) {
        gates.emplace_back(new LGatedWorker);
        pool.QueueWork(gates.back(), nullptr, kThreadPriorityNormal);
    }
    for (const RCPtr<LGatedWorker>& gate : gates) {
        EXPECT_EQ(gate->started.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    }
    return gates;
}

// Says on which thread it was destroyed.
class LObservedPool : public LThreadPool {
public:
    LObservedPool(int workerCount, TrafficLight& destroyed, std::thread::id& destroyedOn)
        : LThreadPool(workerCount, kThreadPriorityHighest), mDestroyed(destroyed), mDestroyedOn(destroyedOn)
    {
    }
    ~LObservedPool() override
    {
        mDestroyedOn = std::this_thread::get_id();
        mDestroyed.Set();
    }

private:
    TrafficLight& mDestroyed;
    std::thread::id& mDestroyedOn;
};

// Fails every wait on exactly count events, which with two or more workers is only the pool's own wait.
class FailingMultipleWaits : public Platform::ThreadingServices {
public:
    explicit FailingMultipleWaits(std::uint32_t count) : mCount(count), mPrevious(Install(this)) {}
    ~FailingMultipleWaits() override { Install(mPrevious); }

    std::uint32_t WaitForAnyEvent(Platform::Event* const* events, std::uint32_t count, std::uint32_t timeout) override
    {
        if (count == mCount) {
            failed.Set();
            return kWaitFailed;
        }
        return ThreadingServices::WaitForAnyEvent(events, count, timeout);
    }

    TrafficLight failed;

private:
    const std::uint32_t mCount;
    ThreadingServices* mPrevious;
};

// The job of priority 2 runs first, then the two of priority 0 in the order they were queued. Only one worker is
// let free, so the order in which the queue hands the jobs over is the order in which they run.
void ExpectPriorityOrderOnEveryRepeat(int workerCount)
{
    JobLog log;
    RCPtr<LThreadPool> pool = LThreadPool::Create(workerCount, kThreadPriorityHighest);
    for (int repeat = 0; repeat < 1000; ++repeat) {
        log.Clear();
        std::vector<RCPtr<LGatedWorker>> gates = OccupyEveryWorker(*pool);
        pool->QueueWork(Logging(log, 1), nullptr, kThreadPriorityNormal);
        pool->QueueWork(Logging(log, 2), nullptr, kThreadPriorityHighest);
        pool->QueueWork(Logging(log, 3), nullptr, kThreadPriorityNormal);
        gates[0]->release.Set();
        ASSERT_TRUE(log.WaitForEntries(3)) << "repeat " << repeat;
        ASSERT_THAT(log.GetLabels(), ElementsAre(2, 1, 3)) << "repeat " << repeat;
        for (const RCPtr<LGatedWorker>& gate : gates) {
            gate->release.Set();
        }
    }
}

TEST(LThreadPool, PriorityTwoRunsBeforeTwoQueuedZerosInTheirOrderOnEveryRepeatWithOneWorkerAndWithFour)
{
    for (const int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        ExpectPriorityOrderOnEveryRepeat(workers);
    }
}

// Several threads queue at once on one worker, as the MIDI callbacks do: every job must run exactly once (none lost
// while a drain ends and the next starts, none run twice), and each thread's jobs in the order it queued them.
TEST(LThreadPool, JobsQueuedFromSeveralThreadsAtOnceRunOnceEachAndEachThreadsInItsOrder)
{
    constexpr int kProducers = 4;
    constexpr int kJobs = 500;
    JobLog log;
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, kThreadPriorityHighest);
    std::vector<std::thread> producers;
    for (int producer = 0; producer < kProducers; ++producer) {
        producers.emplace_back([&, producer] {
            for (int job = 0; job < kJobs; ++job) {
                pool->QueueWork(Logging(log, producer * kJobs + job), nullptr, kThreadPriorityNormal);
            }
        });
    }
    for (std::thread& producer : producers) {
        producer.join();
    }
    ASSERT_TRUE(log.WaitForEntries(kProducers * kJobs));
    const std::vector<int> labels = log.GetLabels();
    EXPECT_EQ(labels.size(), static_cast<std::size_t>(kProducers * kJobs));
    std::vector<int> next(kProducers, 0);
    for (const int label : labels) {
        int& expected = next[static_cast<std::size_t>(label / kJobs)];
        ASSERT_EQ(label % kJobs, expected) << "producer " << label / kJobs;
        ++expected;
    }
}

TEST(LThreadPool, ShutdownDiscardsQueuedJobsAndReturnsOnceTheRunningOnesEnd)
{
    JobLog log;
    RCPtr<LThreadPool> pool = LThreadPool::Create(2, kThreadPriorityNormal);
    std::vector<RCPtr<LGatedWorker>> gates = OccupyEveryWorker(*pool);
    TrafficLight discarded;
    pool->QueueWork(Logging(log, 1), RCPtr<LReleaseSignal>(new LReleaseSignal(discarded)), kThreadPriorityNormal);
    pool->QueueWork(Logging(log, 2), nullptr, kThreadPriorityHighest);

    TrafficLight shutDown;
    std::thread closer([&] {
        pool->Shutdown();
        shutDown.Set();
    });
    EXPECT_EQ(discarded.Wait(kBoundedWaitMilliseconds), kWaitSignalled) << "the queued jobs were let go";
    EXPECT_EQ(shutDown.Wait(0), kWaitTimedOut) << "Shutdown waits for the running jobs";
    for (const RCPtr<LGatedWorker>& gate : gates) {
        gate->release.Set();
    }
    EXPECT_EQ(shutDown.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    closer.join();
    for (const RCPtr<LGatedWorker>& gate : gates) {
        EXPECT_EQ(gate->runs, 1) << "running jobs end";
    }
    EXPECT_TRUE(log.GetLabels().empty()) << "queued jobs never run";

    EXPECT_EQ(pool->GetWorkerCount(), 0);
    EXPECT_EQ(pool->TryDispatch(Logging(log, 3), nullptr, kThreadPriorityNormal), -1);
    RCPtr<LGatedWorker> late(new LGatedWorker);
    pool->QueueWork(late, nullptr, kThreadPriorityNormal);
    EXPECT_EQ(late->GetRefCount(), 1) << "a job queued after Shutdown is dropped at once";
    EXPECT_EQ(late->runs, 0);
}

TEST(LThreadPool, PoolWithoutWorkersDropsEveryJobAndPoolSizeIsBoundedByOneWait)
{
    JobLog log;
    RCPtr<LThreadPool> none = LThreadPool::Create(0, kThreadPriorityNormal);
    RCPtr<LThreadWorker> job = Logging(log, 1);
    none->QueueWork(job, nullptr, kThreadPriorityNormal);
    EXPECT_EQ(job->GetRefCount(), 1);
    EXPECT_EQ(LThreadPool::Create(-3, kThreadPriorityNormal)->GetWorkerCount(), 0);
    EXPECT_EQ(LThreadPool::Create(100, kThreadPriorityNormal)->GetWorkerCount(),
              static_cast<int>(kMaximumWaitEvents));
}

TEST(LThreadPool, PoolLetGoByItsOwnerWhileDrainingIsDestroyedOnItsQueueThreadWithoutWaitingForItself)
{
    JobLog log;
    TrafficLight destroyed;
    std::thread::id destroyedOn;
    RCPtr<LThreadPool> pool(new LObservedPool(1, destroyed, destroyedOn));
    std::vector<RCPtr<LGatedWorker>> gates = OccupyEveryWorker(*pool);
    TrafficLight jobReleased;
    pool->QueueWork(Logging(log, 1), RCPtr<LReleaseSignal>(new LReleaseSignal(jobReleased)), kThreadPriorityNormal);
    pool = nullptr;
    EXPECT_EQ(destroyed.Wait(0), kWaitTimedOut) << "the drain still holds the pool";

    gates[0]->release.Set();
    EXPECT_EQ(destroyed.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_NE(destroyedOn, std::this_thread::get_id()) << "the drain let the pool go last";
    // Handed to the worker just before the pool stopped it, the job ran or was dropped; either way it is let go.
    EXPECT_EQ(jobReleased.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
}

TEST(LThreadPool, PoolShutDownRightAfterADrainWasStartedIsLeftHeldByNothing)
{
    for (int repeat = 0; repeat < 200; ++repeat) {
        JobLog log;
        RCPtr<LThreadPool> pool = LThreadPool::Create(1, kThreadPriorityNormal);
        std::vector<RCPtr<LGatedWorker>> gates = OccupyEveryWorker(*pool);
        pool->QueueWork(Logging(log, 1), nullptr, kThreadPriorityNormal);
        gates[0]->release.Set();
        pool->Shutdown();
        ASSERT_EQ(pool->GetRefCount(), 1) << "repeat " << repeat << ": a drain that never ran still holds the pool";
    }
}

TEST(LThreadPool, HungJobOutlivesItsPoolAfterTheStopTimeoutWithoutUsingFreedMemory)
{
    Testing::StopTimeoutOverride shortTimeout(20);
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, kThreadPriorityNormal);
    RCPtr<LGatedWorker> hung(new LGatedWorker);
    TrafficLight parameterReleased;
    pool->QueueWork(hung, RCPtr<LReleaseSignal>(new LReleaseSignal(parameterReleased)), kThreadPriorityNormal);
    ASSERT_EQ(hung->started.Wait(kBoundedWaitMilliseconds), kWaitSignalled);

    ::testing::internal::CaptureStderr();
    pool = nullptr;
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("has not ended within 20 ms"));
    hung->release.Set();
    EXPECT_EQ(parameterReleased.Wait(kBoundedWaitMilliseconds), kWaitSignalled)
        << "the job ended after its pool was gone";
    EXPECT_EQ(hung->runs, 1);
}

TEST(LThreadPoolDeathTest, ProgramExitsWhileAJobStillHangsAfterItsPoolWasShutDownAndLetGo)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RetriggerableThreader::SetStopTimeout(200);
            RCPtr<LThreadPool> pool = LThreadPool::Create(1, kThreadPriorityNormal);
            RCPtr<LGatedWorker> hung(new LGatedWorker);
            pool->QueueWork(hung, nullptr, kThreadPriorityNormal);
            hung->started.Wait(kBoundedWaitMilliseconds);
            JobLog log;
            pool->QueueWork(Logging(log, 1), nullptr, kThreadPriorityNormal);
            pool->Shutdown();
            pool = nullptr;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "has not ended within 200 ms");
}

// Both workers busy, one job queued, and every wait of the drain failing at once.
class LThreadPoolWithFailingDrainWaits : public ::testing::Test {
protected:
    void SetUp() override
    {
        gates = OccupyEveryWorker(*pool);
        pool->QueueWork(Logging(log, 1), nullptr, kThreadPriorityNormal);
        ASSERT_EQ(services.failed.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    }
    void TearDown() override
    {
        for (const RCPtr<LGatedWorker>& gate : gates) {
            gate->release.Set();
        }
        // The queue thread may still hold the pool when the test lets it go: the pool's threads must have ended
        // before the services they wait through go.
        pool->Shutdown();
    }

    FailingMultipleWaits services{2};
    JobLog log;
    RCPtr<LThreadPool> pool = LThreadPool::Create(2, kThreadPriorityNormal);
    std::vector<RCPtr<LGatedWorker>> gates;
};

TEST_F(LThreadPoolWithFailingDrainWaits, DrainHandsTheJobToAFreeWorkerInsteadOfIndexingWithTheFailure)
{
    gates[1]->release.Set();
    ASSERT_TRUE(log.WaitForEntries(1));
    EXPECT_EQ(gates[1]->runs, 1);
}

TEST_F(LThreadPoolWithFailingDrainWaits, ShutdownEndsTheDrain)
{
    TrafficLight shutDown;
    std::thread closer([&] {
        pool->Shutdown();
        shutDown.Set();
    });
    for (const RCPtr<LGatedWorker>& gate : gates) {
        gate->release.Set();
    }
    EXPECT_EQ(shutDown.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    closer.join();
    // The gates open while the shutdown starts, so the queued job may or may not have been handed over first.
    EXPECT_LE(log.GetLabels().size(), 1u);
}

}  // namespace
}  // namespace ZV
