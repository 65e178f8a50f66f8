#include "Platform/Event.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <thread>
#include <vector>

namespace ZV::Platform {
namespace {

constexpr std::uint32_t kBoundedWait = 5000;

struct EventSet {
    explicit EventSet(std::uint32_t count, EventReset reset = EventReset::Automatic)
    {
        for (std::uint32_t i = 0; i < count; ++i) {
            owned.push_back(std::make_unique<Event>(reset));
            pointers.push_back(owned.back().get());
        }
    }
    std::uint32_t WaitForAny(std::uint32_t timeout)
    {
        return Event::WaitForAny(pointers.data(), static_cast<std::uint32_t>(pointers.size()), timeout);
    }

    std::vector<std::unique_ptr<Event>> owned;
    std::vector<Event*> pointers;
};

TEST(PlatformEvent, ThreadBlockedOnManyEventsWakesForTheOneAnotherThreadSets)
{
    EventSet events(kMaximumWaitEvents);
    std::uint32_t untimed = kWaitFailed;
    std::uint32_t timed = kWaitFailed;
    std::thread waiter([&] {
        untimed = events.WaitForAny(kWaitInfinite);
        timed = events.WaitForAny(kBoundedWait);
    });
    events.owned[37]->Set();
    events.owned[12]->Set();
    waiter.join();
    EXPECT_EQ(untimed + timed, 37u + 12u) << "each of the two signals woke exactly one wait";
    EXPECT_EQ(events.WaitForAny(0), kWaitTimedOut);
}

TEST(PlatformEvent, OneSignalOfAnAutoResetEventLetsExactlyOneOfTwoWaitersThrough)
{
    for (int round = 0; round < 200; ++round) {
        Event signal(EventReset::Automatic);
        Event finish(EventReset::Manual);
        std::array<Event*, 2> watched{&signal, &finish};
        std::array<std::uint32_t, 2> results{kWaitFailed, kWaitFailed};
        std::vector<std::thread> waiters;
        for (std::uint32_t& result : results) {
            waiters.emplace_back([&] { result = Event::WaitForAny(watched.data(), 2, kBoundedWait); });
        }
        signal.Set();
        finish.Set();
        for (std::thread& waiter : waiters) {
            waiter.join();
        }
        ASSERT_EQ(results[0] + results[1], 1u) << "round " << round << ": one waiter took the signal, one saw finish";
    }
}

}  // namespace
}  // namespace ZV::Platform
