#include "Threading/Event.h"

#include "Threading/LEvent.h"
#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace ZV {
namespace {

using Testing::kBoundedWait;

TEST(Event, WaitGives258OnTimeOutAnd0WhenSignalled)
{
    Event event(true);
    ASSERT_TRUE(event.IsValid());
    EXPECT_EQ(event.Wait(10), kWaitTimedOut);
    std::thread setter([&] { event.Set(); });
    EXPECT_EQ(event.Wait(kBoundedWait), kWaitSignalled);
    setter.join();
    EXPECT_EQ(event.Wait(0), kWaitTimedOut) << "the wait took the auto-reset event's signal";
}

TEST(Event, TryWaitTakesAnAutoResetSignalButLeavesATrafficLightSet)
{
    Event automatic(true);
    EXPECT_FALSE(automatic.TryWait());
    EXPECT_TRUE(automatic.Set());
    EXPECT_TRUE(automatic.TryWait());
    EXPECT_FALSE(automatic.TryWait());

    TrafficLight light;
    EXPECT_FALSE(light.TryWait());
    light.Set();
    EXPECT_TRUE(light.TryWait());
    EXPECT_TRUE(light.TryWait());
    EXPECT_EQ(light.Wait(kBoundedWait), kWaitSignalled);
    light.Reset();
    EXPECT_FALSE(light.TryWait());

    Event manual(false);
    manual.Set();
    EXPECT_TRUE(manual.Reset());
    EXPECT_FALSE(manual.TryWait());
}

TEST(Event, CountedEventIsAutoResetStartsUnsignalledAndIsShared)
{
    RCPtr<LEvent> event = LEvent::Create(true);
    ASSERT_TRUE(event->IsValid());
    EXPECT_EQ(event->GetRefCount(), 1);
    EXPECT_FALSE(event->TryWait());
    RCPtr<LEvent> elsewhere = event;
    EXPECT_TRUE(elsewhere->Set());
    EXPECT_EQ(event->Wait(0), kWaitSignalled);
    EXPECT_FALSE(event->TryWait());
    EXPECT_EQ(event->GetHandle(), elsewhere->GetHandle());
    EXPECT_EQ(event->GetRefCount(), 2);
}

TEST(Event, EventThePlatformCouldNotMakeFailsEveryOperation)
{
    Testing::FailingThreadingServices services;
    services.failEvents = true;
    Event event(true);
    RCPtr<LEvent> counted = LEvent::Create(true);
    EXPECT_FALSE(event.IsValid());
    EXPECT_EQ(event.GetHandle(), nullptr);
    EXPECT_FALSE(event.Set());
    EXPECT_FALSE(event.Reset());
    EXPECT_EQ(event.Wait(kWaitInfinite), kWaitFailed);
    EXPECT_FALSE(event.TryWait()) << "a failed wait is no signal";
    EXPECT_FALSE(counted->IsValid());
    EXPECT_FALSE(counted->Set());
    EXPECT_FALSE(counted->TryWait());
}

TEST(Event, TryWaitThatFailsIsNoSignal)
{
    Testing::FailingThreadingServices services;
    Event event(false);
    event.Set();
    services.failWaits = true;
    EXPECT_FALSE(event.TryWait());
    EXPECT_EQ(event.Wait(kBoundedWait), kWaitFailed);
    services.failWaits = false;
    EXPECT_TRUE(event.TryWait());
}

}  // namespace
}  // namespace ZV
