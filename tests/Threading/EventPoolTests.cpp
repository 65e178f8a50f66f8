#include "Threading/EventPool.h"

#include "Threading/RetriggerableThreader.h"
#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace ZV {
namespace {

using Testing::kBoundedWait;

TEST(EventPool, HoldsDistinctUnsignalledAutoResetEvents)
{
    EventPool pool(kMaximumWaitEvents);
    ASSERT_EQ(pool.GetCount(), kMaximumWaitEvents);
    std::set<const LEvent*> distinct;
    for (std::uint32_t i = 0; i < pool.GetCount(); ++i) {
        ASSERT_TRUE(pool.GetEvent(i)->IsValid());
        distinct.insert(pool.GetEvent(i).Get());
    }
    EXPECT_EQ(distinct.size(), kMaximumWaitEvents);
    EXPECT_EQ(pool.WaitAny(0), -1);
}

TEST(EventPool, WaitAnyOf64GivesTheLowestSignalledIndexAndTakesOnlyThatSignal)
{
    EventPool pool(kMaximumWaitEvents);
    pool.GetEvent(63)->Set();
    pool.GetEvent(17)->Set();
    pool.GetEvent(17)->Set();
    pool.GetEvent(2)->Set();
    EXPECT_EQ(pool.WaitAny(0), 2);
    EXPECT_EQ(pool.WaitAny(0), 17);
    EXPECT_EQ(pool.WaitAny(kBoundedWait), 63);
    EXPECT_EQ(pool.WaitAny(10), -1) << "each signal was taken exactly once";
}

TEST(EventPool, WaitAnyWakesWhenAThreaderSignalsItsJobDone)
{
    EventPool pool(4);
    RetriggerableThreader threader;
    RCPtr<Testing::LCountingWorker> worker(new Testing::LCountingWorker);
    ASSERT_EQ(threader.Trigger(worker, nullptr, pool.GetEvent(3), kThreadPriorityNormal), ZV_S_OK);
    EXPECT_EQ(pool.WaitAny(kBoundedWait), 3);
    EXPECT_EQ(worker->runs, 1);
}

TEST(EventPool, WaitAnyGivesMinusOneWhenTheWaitFails)
{
    EventPool tooMany(kMaximumWaitEvents + 1);
    tooMany.GetEvent(0)->Set();
    EXPECT_EQ(tooMany.WaitAny(0), -1) << "more events than one wait may watch";

    EventPool pool(3);
    pool.GetEvent(1)->Set();
    Testing::FailingThreadingServices services;
    services.failWaits = true;
    EXPECT_EQ(pool.WaitAny(kWaitInfinite), -1);
    services.failWaits = false;
    EXPECT_EQ(pool.WaitAny(0), 1) << "the failed wait took no signal";
}

TEST(EventPool, PoolWithAnEventThePlatformCouldNotMakeFailsItsWaits)
{
    Testing::FailingThreadingServices services;
    services.failEvents = true;
    EventPool pool(2);
    EXPECT_EQ(pool.GetCount(), 2u);
    EXPECT_EQ(pool.WaitAny(kWaitInfinite), -1);
}

}  // namespace
}  // namespace ZV
