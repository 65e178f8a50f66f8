#include "Threading/Event.h"

#include "Threading/LEvent.h"
#include "Threading/ThreadingTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace ZV {
namespace {

using Testing::kBoundedWaitMilliseconds;

TEST(Event, AutoResetWaitTakesTheSignalWhileATrafficLightStaysSetAndTimeOutsGive258)
{
    Event event(true);
    ASSERT_TRUE(event.IsValid());
    EXPECT_EQ(event.Wait(10), kWaitTimedOut);
    std::thread setter([&] { event.Set(); });
    EXPECT_EQ(event.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    setter.join();
    EXPECT_FALSE(event.TryWait()) << "the wait took the auto-reset event's signal";

    TrafficLight light;
    light.Set();
    EXPECT_TRUE(light.TryWait());
    EXPECT_EQ(light.Wait(kBoundedWaitMilliseconds), kWaitSignalled);
    light.Reset();
    EXPECT_FALSE(light.TryWait());

    RCPtr<LEvent> counted = LEvent::Create(true);
    RCPtr<LEvent> elsewhere = counted;
    EXPECT_TRUE(elsewhere->Set());
    EXPECT_TRUE(counted->TryWait()) << "a counted event is one shared auto-reset event";
    EXPECT_FALSE(counted->TryWait());
}

TEST(Event, EventThePlatformCouldNotMakeOrAWaitThatFailsIsNoSignal)
{
    Testing::FailingThreadingServices services;
    services.failEvents = true;
    Event broken(true);
    RCPtr<LEvent> counted = LEvent::Create(true);
    services.failEvents = false;
    EXPECT_FALSE(broken.IsValid());
    EXPECT_FALSE(broken.Set());
    EXPECT_EQ(broken.Wait(kWaitInfinite), kWaitFailed);
    EXPECT_FALSE(broken.TryWait());
    EXPECT_FALSE(counted->Set());
    EXPECT_FALSE(counted->TryWait());

    Event event(false);
    event.Set();
    services.failWaits = true;
    EXPECT_FALSE(event.TryWait());
    EXPECT_EQ(event.Wait(kBoundedWaitMilliseconds), kWaitFailed);
    services.failWaits = false;
    EXPECT_TRUE(event.TryWait());
}

}  // namespace
}  // namespace ZV
