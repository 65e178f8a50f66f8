#include "Threading/RetriggerableThreader.h"

#include "ObjectBase/Holder.h"
#include "Threading/ThreadingTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace ZV {
namespace {

using Testing::kBoundedWaitMilliseconds;
using Testing::LCountingWorker;
using Testing::LGatedWorker;
using ::testing::HasSubstr;

// Records where, at which priority and with which parameter its job ran, and who else held it meanwhile.
class LRecordingWorker : public LThreadWorker {
public:
    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
    {
        threadId = std::this_thread::get_id();
        priority = Thread::GetCallingThreadPriority();
        ConstRCPtr<LHolder<int>> value(parameter);
        parameterValue = value ? value->GetValue() : -1;
        return ZV_S_OK;
    }

    std::thread::id threadId;
    int priority = -99;
    int parameterValue = 0;
};

// Owns a threader; when the threader's own job lets it go last, the threader is destroyed on its own thread.
class LThreaderOwner : public LRefCountedObject {
public:
    std::unique_ptr<RetriggerableThreader> threader = std::make_unique<RetriggerableThreader>(L"owned");
};

TEST(RetriggerableThreader, SecondTriggerWhileAJobIsPendingOrRunningIsRefusedUntilItsDoneEventFires)
{
    RetriggerableThreader threader(L"refusing");
    RCPtr<LGatedWorker> gated(new LGatedWorker);
    RCPtr<LCountingWorker> counting(new LCountingWorker);
    RCPtr<LEvent> done = LEvent::Create(true);
    ASSERT_EQ(threader.Trigger(gated, nullptr, done, kThreadPriorityNormal), ZV_S_OK);
    EXPECT_EQ(threader.Trigger(counting, nullptr, done, kThreadPriorityNormal), ZV_E_FAIL) << "pending";
    ASSERT_EQ(gated->started.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_TRUE(threader.IsBusy());
    EXPECT_EQ(threader.Trigger(counting, nullptr, done, kThreadPriorityNormal), ZV_E_FAIL) << "running";
    gated->release.Set();
    ASSERT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_FALSE(threader.IsBusy()) << "busy is cleared before the done event fires";
    ASSERT_EQ(threader.Trigger(counting, nullptr, done, kThreadPriorityNormal), ZV_S_OK);
    ASSERT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_EQ(gated->runs, 1);
    EXPECT_EQ(counting->runs, 1) << "a refused job is never queued";
}

TEST(RetriggerableThreader, JobRunsOnTheThreadersOwnThreadAtTheGivenPriorityAndIsLetGoBeforeDone)
{
    RetriggerableThreader threader;
    RCPtr<LRecordingWorker> worker(new LRecordingWorker);
    RCPtr<LHolder<int>> parameter = LHolder<int>::Create(7);
    RCPtr<LEvent> done = LEvent::Create(true);
    ASSERT_EQ(threader.Trigger(worker, parameter, done, kThreadPriorityHighest), ZV_S_OK);
    ASSERT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    const std::thread::id firstThread = worker->threadId;
    EXPECT_NE(firstThread, std::this_thread::get_id());
    EXPECT_EQ(worker->priority, kThreadPriorityHighest);
    EXPECT_EQ(worker->parameterValue, 7);
    EXPECT_EQ(worker->GetRefCount(), 1) << "the thread let go of the worker before signalling done";
    EXPECT_EQ(parameter->GetRefCount(), 1);

    ASSERT_EQ(threader.Trigger(worker, nullptr, done, kThreadPriorityLowest), ZV_S_OK);
    ASSERT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_EQ(worker->threadId, firstThread);
    EXPECT_EQ(worker->priority, kThreadPriorityLowest);
    EXPECT_EQ(worker->parameterValue, -1);
}

TEST(RetriggerableThreader, JoblessTriggerSignalsDoneOnceAndAStoppedThreaderTakesNoJob)
{
    RetriggerableThreader threader;
    RCPtr<LEvent> done = LEvent::Create(true);
    done->Set();
    ASSERT_EQ(threader.Trigger(nullptr, nullptr, done, kThreadPriorityNormal), ZV_S_OK);
    EXPECT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    EXPECT_FALSE(threader.IsBusy());
    EXPECT_FALSE(done->TryWait()) << "Trigger reset the done event, so it fired exactly once";
    EXPECT_EQ(threader.Trigger(nullptr, nullptr, nullptr, kThreadPriorityNormal), ZV_S_OK) << "no done event";

    EXPECT_TRUE(threader.Stop());
    RCPtr<LCountingWorker> worker(new LCountingWorker);
    EXPECT_EQ(threader.Trigger(worker, nullptr, LEvent::Create(true), kThreadPriorityNormal), ZV_E_FAIL);
    EXPECT_EQ(worker->GetRefCount(), 1);
}

TEST(RetriggerableThreader, HungJobOutlivesItsThreaderAfterTheStopTimeoutWithoutUsingFreedMemory)
{
    Testing::StopTimeoutOverride shortTimeout(20);
    RCPtr<LGatedWorker> worker(new LGatedWorker);
    RCPtr<LHolder<int>> parameter = LHolder<int>::Create(1);
    RCPtr<LEvent> done = LEvent::Create(true);
    auto threader = std::make_unique<RetriggerableThreader>(L"hung job");
    ASSERT_EQ(threader->Trigger(worker, parameter, done, kThreadPriorityNormal), ZV_S_OK);
    ASSERT_EQ(worker->started.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    ::testing::internal::CaptureStderr();
    threader.reset();
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("\"hung job\" has not ended within 20 ms"));
    worker->release.Set();
    ASSERT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled) << "the job finished after its threader was gone";
    EXPECT_EQ(worker->runs, 1);
    EXPECT_EQ(worker->GetRefCount(), 1);
    EXPECT_EQ(parameter->GetRefCount(), 1);
}

TEST(RetriggerableThreaderDeathTest, ProgramExitsWhileAJobStillHangsAfterItsThreaderWasDestroyed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RetriggerableThreader::SetStopTimeout(10);
            RCPtr<LGatedWorker> worker(new LGatedWorker);
            auto* threader = new RetriggerableThreader(L"never ends");
            EXPECT_TRUE(Succeeded(threader->Trigger(worker, nullptr, LEvent::Create(true), kThreadPriorityNormal)));
            worker->started.Wait(kBoundedWaitMilliseconds);
            delete threader;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "\"never ends\" has not ended within 10 ms");
}

TEST(RetriggerableThreader, ThreaderDestroyedByItsOwnJobDoesNotWaitForItself)
{
    RCPtr<LGatedWorker> worker(new LGatedWorker);
    RCPtr<LEvent> done = LEvent::Create(true);
    RCPtr<LThreaderOwner> owner(new LThreaderOwner);
    ASSERT_EQ(owner->threader->Trigger(worker, owner, done, kThreadPriorityNormal), ZV_S_OK);
    ASSERT_EQ(worker->started.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    owner = nullptr;
    ::testing::internal::CaptureStderr();
    worker->release.Set();
    EXPECT_EQ(done->Wait(kBoundedWaitMilliseconds), kWaitSignalled) << "the threader waited for its own thread to end";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "ending on its own thread is no hang";
    EXPECT_EQ(worker->runs, 1);
}

TEST(RetriggerableThreader, JobHandedOverJustBeforeStopIsLetGoAndSignalledEvenWhenItNeverRan)
{
    for (int repeat = 0; repeat < 200; ++repeat) {
        RetriggerableThreader threader;
        RCPtr<LCountingWorker> worker(new LCountingWorker);
        RCPtr<LHolder<int>> parameter = LHolder<int>::Create(repeat);
        RCPtr<LEvent> done = LEvent::Create(true);
        ASSERT_EQ(threader.Trigger(worker, parameter, done, kThreadPriorityNormal), ZV_S_OK);
        ASSERT_TRUE(threader.Stop());
        ASSERT_EQ(worker->GetRefCount(), 1) << "repeat " << repeat;
        ASSERT_EQ(parameter->GetRefCount(), 1) << "repeat " << repeat;
        ASSERT_TRUE(done->TryWait()) << "repeat " << repeat;
        ASSERT_FALSE(threader.IsBusy());
    }
}

TEST(RetriggerableThreader, ThreaderWithoutAThreadOrATriggerEventRefusesJobsInsteadOfDroppingThem)
{
    Testing::FailingThreadingServices services;
    services.failThreads = true;
    RetriggerableThreader noThread(L"no thread");
    services.failThreads = false;
    RCPtr<LCountingWorker> worker(new LCountingWorker);
    RCPtr<LEvent> done = LEvent::Create(true);
    EXPECT_EQ(noThread.Trigger(worker, nullptr, done, kThreadPriorityNormal), ZV_E_FAIL);
    EXPECT_FALSE(noThread.IsBusy());
    EXPECT_EQ(worker->GetRefCount(), 1) << "a refused job is not held";
    EXPECT_FALSE(noThread.Stop());

    services.failEvents = true;
    RetriggerableThreader noEvent;
    services.failEvents = false;
    EXPECT_EQ(noEvent.Trigger(nullptr, nullptr, done, kThreadPriorityNormal), ZV_E_FAIL);
    EXPECT_TRUE(noEvent.Stop()) << "a thread that cannot wait for jobs ends";
}

}  // namespace
}  // namespace ZV
