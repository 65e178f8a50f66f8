#include "Platform/Event.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace ZV::Platform {

namespace {

// One lock for all events, so that a wait on several of them finds the lowest signalled one and takes its signal
// in one step. It is never destroyed: a thread left running at exit may still be waiting.
std::mutex& EventLock()
{
    static std::mutex* const lock = new std::mutex;
    return *lock;
}

}  // namespace

// A waiting thread's entry in the list of one of the events it waits on.
struct Event::WaitLink {
    std::condition_variable* wake = nullptr;
    WaitLink* previous = nullptr;
    WaitLink* next = nullptr;
};

Event::Event(EventReset reset) : mAutoReset(reset == EventReset::Automatic)
{
}

Event::~Event()
{
    [[maybe_unused]] const std::lock_guard lock(EventLock());
    assert(mWaiters == nullptr && "an event is destroyed while a thread waits on it");
}

void Event::Set()
{
    const std::lock_guard lock(EventLock());
    mSignalled = true;
    for (WaitLink* link = mWaiters; link != nullptr; link = link->next) {
        link->wake->notify_one();
    }
}

void Event::Reset()
{
    const std::lock_guard lock(EventLock());
    mSignalled = false;
}

std::uint32_t Event::WaitForAny(Event* const* events, std::uint32_t count, std::uint32_t timeout)
{
    if (events == nullptr || count == 0 || count > kMaximumWaitEvents ||
        std::any_of(events, events + count, [](const Event* event) { return event == nullptr; })) {
        return kWaitFailed;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    std::unique_lock lock(EventLock());
    std::condition_variable wake;
    std::array<WaitLink, kMaximumWaitEvents> links;
    bool linked = false;
    bool timedOut = timeout == 0;
    std::uint32_t result = kWaitTimedOut;
    for (;;) {
        result = TakeLowestSignalled(events, count);
        if (result != kWaitTimedOut || timedOut) {
            break;
        }
        if (!linked) {
            for (std::uint32_t i = 0; i < count; ++i) {
                links[i].wake = &wake;
                events[i]->Link(links[i]);
            }
            linked = true;
        }
        if (timeout == kWaitInfinite) {
            wake.wait(lock);
        } else {
            timedOut = wake.wait_until(lock, deadline) == std::cv_status::timeout;
        }
    }
    if (linked) {
        for (std::uint32_t i = 0; i < count; ++i) {
            events[i]->Unlink(links[i]);
        }
    }
    return result;
}

std::uint32_t Event::TakeLowestSignalled(Event* const* events, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        if (events[i]->mSignalled) {
            if (events[i]->mAutoReset) {
                events[i]->mSignalled = false;
            }
            return i;
        }
    }
    return kWaitTimedOut;
}

void Event::Link(WaitLink& link)
{
    link.previous = nullptr;
    link.next = mWaiters;
    if (mWaiters != nullptr) {
        mWaiters->previous = &link;
    }
    mWaiters = &link;
}

void Event::Unlink(WaitLink& link)
{
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
