#include "Threading/EventPool.h"

#include "Threading/RetriggerableThreader.h"
#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::kBoundedWaitMilliseconds;

TEST(EventPool, WaitAnyOf64GivesTheLowestSignalledIndexAndTakesOnlyThatSignal)
{
    EventPool pool(kMaximumWaitEvents);
    EXPECT_EQ(pool.WaitAny(0), -1);
    pool.GetEvent(63)->Set();
    pool.GetEvent(17)->Set();
    pool.GetEvent(17)->Set();
    pool.GetEvent(2)->Set();
    EXPECT_EQ(pool.WaitAny(0), 2);
    EXPECT_EQ(pool.WaitAny(0), 17);
    EXPECT_EQ(pool.WaitAny(kBoundedWaitMilliseconds), 63);
    EXPECT_EQ(pool.WaitAny(10), -1) << "each signal was taken exactly once";

    RetriggerableThreader threader;
    RCPtr<Testing::LCountingWorker> worker(new Testing::LCountingWorker);
    ASSERT_EQ(threader.Trigger(worker, nullptr, pool.GetEvent(40), kThreadPriorityNormal), ZV_S_OK);
    EXPECT_EQ(pool.WaitAny(kBoundedWaitMilliseconds), 40) << "a threader's done event wakes the wait";
}

TEST(EventPool, WaitAnyGivesMinusOneWhenTheWaitFailsAndTakesNoSignalThen)
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

    services.failEvents = true;
    EventPool broken(2);
    services.failEvents = false;
    EXPECT_EQ(broken.WaitAny(kWaitInfinite), -1) << "an event the platform could not make fails the wait";
}

}  // namespace
}  // namespace ZV
