#include "Platform/Event.h"

#include "Platform/ThreadingServices.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <chrono>
#include <condition_variable>

namespace ZV::Platform {

namespace {

using Deadline = std::chrono::steady_clock::time_point;

// How often a wait looks at its events again before it goes to sleep. A signal that comes from a thread running on
// another core within these few microseconds (a job handed over, a job done) then costs no sleep and no wake-up.
constexpr int kSpinChecks = 256;

}  // namespace

// A thread blocked in a wait, woken by any of the events it is registered with.
struct Event::Waiter {
    // Under the lock of the event that wakes, which keeps the waiter registered, and so alive, meanwhile.
    void Wake()
    {
        {
            const std::lock_guard lock(mutex);
            woken = true;
        }
        wake.notify_one();
    }

    // False when the deadline (null: none) passed first.
    bool Sleep(const Deadline* deadline)
    {
        std::unique_lock lock(mutex);
        const auto isWoken = [this] { return woken; };
        if (deadline == nullptr) {
            wake.wait(lock, isWoken);
        } else if (!wake.wait_until(lock, *deadline, isWoken)) {
            return false;
        }
        woken = false;
        return true;
    }

    std::mutex mutex;
    std::condition_variable wake;
    bool woken = false;
};

// A waiting thread's entry in the list of one of the events it waits on.
struct Event::WaitLink {
    Waiter* waiter = nullptr;
    WaitLink* previous = nullptr;
    WaitLink* next = nullptr;
};

Event::Event(EventReset reset) : mAutoReset(reset == EventReset::Automatic)
{
}

Event::~Event()
{
    [[maybe_unused]] const std::lock_guard lock(mMutex);
    assert(mWaiters == nullptr && "an event is destroyed while a thread waits on it");
}

void Event::Set()
{
    const std::lock_guard lock(mMutex);
    mSignalled.store(true, std::memory_order_release);
    for (WaitLink* link = mWaiters; link != nullptr; link = link->next) {
        link->waiter->Wake();
    }
}

void Event::Reset()
{
    mSignalled.store(false, std::memory_order_relaxed);
}

std::uint32_t Event::WaitForAny(Event* const* events, std::uint32_t count, std::uint32_t timeout)
{
    if (events == nullptr || count == 0 || count > kMaximumWaitEvents ||
        std::any_of(events, events + count, [](const Event* event) { return event == nullptr; })) {
        return kWaitFailed;
    }
    std::uint32_t result = TakeLowestSignalled(events, count);
    if (result != kWaitTimedOut || timeout == 0) {
        return result;
    }
    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    if (SpinningCanHelp()) {
        for (int check = 0; check < kSpinChecks; ++check) {
            PauseWhileSpinning();
            if (AnySignalled(events, count)) {
                result = TakeLowestSignalled(events, count);
                if (result != kWaitTimedOut) {
                    return result;
                }
            }
        }
    }
    // Registered before looking again, so that a Set in between wakes this thread instead of being missed.
    Waiter waiter;
    std::array<WaitLink, kMaximumWaitEvents> links;
    for (std::uint32_t i = 0; i < count; ++i) {
        links[i].waiter = &waiter;
        events[i]->Link(links[i]);
    }
    for (;;) {
        result = TakeLowestSignalled(events, count);
        if (result != kWaitTimedOut) {
            break;
        }
        if (!waiter.Sleep(timeout == kWaitInfinite ? nullptr : &deadline)) {
            result = TakeLowestSignalled(events, count);
            break;
        }
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        events[i]->Unlink(links[i]);
    }
    return result;
}

std::uint32_t Event::TakeLowestSignalled(Event* const* events, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        if (events[i]->TakeSignal()) {
            return i;
        }
    }
    return kWaitTimedOut;
}

bool Event::AnySignalled(Event* const* events, std::uint32_t count)
{
    return std::any_of(events, events + count,
                       [](const Event* event) { return event->mSignalled.load(std::memory_order_relaxed); });
}

bool Event::TakeSignal()
{
    if (!mAutoReset) {
        return mSignalled.load(std::memory_order_acquire);
    }
    bool signalled = mSignalled.load(std::memory_order_relaxed);
    while (signalled && !mSignalled.compare_exchange_weak(signalled, false, std::memory_order_acquire)) {
    }
    return signalled;
}

void Event::Link(WaitLink& link)
{
    const std::lock_guard lock(mMutex);
    link.previous = nullptr;
    link.next = mWaiters;
    if (mWaiters != nullptr) {
        mWaiters->previous = &link;
    }
    mWaiters = &link;
}

void Event::Unlink(WaitLink& link)
{
    const std::lock_guard lock(mMutex);
    if (link.previous != nullptr) {
        link.previous->next = link.next;
    } else {
        mWaiters = link.next;
    }
    if (link.next != nullptr) {
        link.next->previous = link.previous;
    }
}

}  // namespace ZV::Platform
