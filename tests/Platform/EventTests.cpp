#include "Platform/Event.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <thread>
#include <vector>

namespace ZV::Platform {
namespace {

using Testing::kBoundedWaitMilliseconds;

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
        timed = events.WaitForAny(kBoundedWaitMilliseconds);
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
            waiters.emplace_back([&] { result = Event::WaitForAny(watched.data(), 2, kBoundedWaitMilliseconds); });
        }
        signal.Set();
        finish.Set();
        for (std::thread& waiter : waiters) {
            waiter.join();
        }
        ASSERT_EQ(results[0] + results[1], 1u) << "round " << round << ": one waiter took the signal, one saw finish";
    }
}

TEST(PlatformEvent, WaitForAnyGivesTheLowestSignalledAndTakesOnlyAnAutomaticSignal)
{
    Event first(EventReset::Automatic);
    Event manual(EventReset::Manual);
    Event last(EventReset::Automatic);
    std::array<Event*, 3> events{&first, &manual, &last};
    last.Set();
    manual.Set();
    EXPECT_EQ(Event::WaitForAny(events.data(), 3, 0), 1u);
    EXPECT_EQ(Event::WaitForAny(events.data(), 3, 0), 1u) << "a manual-reset event stays signalled";
    manual.Reset();
    EXPECT_EQ(Event::WaitForAny(events.data(), 3, kBoundedWaitMilliseconds), 2u);
    EXPECT_EQ(Event::WaitForAny(events.data(), 3, 10), kWaitTimedOut) << "the automatic signal was taken";
    EXPECT_EQ(Event::WaitForAny(events.data(), 0, 0), kWaitFailed);
}

// Every pair hands a turn back and forth through two events of its own, all pairs at once: a signal lost between a
// waiter's last look and its sleep, or a Set that wakes the wrong waiter, leaves a pair stuck.
TEST(PlatformEvent, PairsOfThreadsPassTurnsThroughTheirOwnEventsAllAtOnceWithoutLosingOne)
{
    constexpr int kPairs = 4;
    constexpr int kTurns = 2000;
    std::vector<std::unique_ptr<Event>> events;
    for (int i = 0; i < 2 * kPairs; ++i) {
        events.push_back(std::make_unique<Event>(EventReset::Automatic));
    }
    std::array<int, 2 * kPairs> turnsTaken{};
    std::vector<std::thread> players;
    for (int pair = 0; pair < kPairs; ++pair) {
        for (int side = 0; side < 2; ++side) {
            players.emplace_back([&, pair, side] {
                Event* mine = events[static_cast<std::size_t>(2 * pair + side)].get();
                Event& theirs = *events[static_cast<std::size_t>(2 * pair + 1 - side)];
                int& taken = turnsTaken[static_cast<std::size_t>(2 * pair + side)];
                for (int turn = 0; turn < kTurns; ++turn) {
                    if (Event::WaitForAny(&mine, 1, kBoundedWaitMilliseconds) != kWaitSignalled) {
                        return;
                    }
                    ++taken;
                    theirs.Set();
                }
            });
        }
        events[static_cast<std::size_t>(2 * pair)]->Set();
    }
    for (std::thread& player : players) {
        player.join();
    }
    for (const int taken : turnsTaken) {
        EXPECT_EQ(taken, kTurns);
    }
}

}  // namespace
}  // namespace ZV::Platform
