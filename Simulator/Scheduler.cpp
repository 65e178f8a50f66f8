#include "Simulator/Scheduler.h"

namespace ZV::Simulator {

Scheduler::Scheduler() : mThread([this] { RunTasks(); })
{
}

Scheduler::~Scheduler()
{
    Stop();
}

void Scheduler::RunAt(SimulatorClock::time_point due, std::function<void()> task)
{
    std::lock_guard lock(mMutex);
    if (mStopping) {
        return;
    }
    mTasks.emplace(std::make_pair(due, mNextSequence++), std::move(task));
    mChanged.notify_one();
}

void Scheduler::RunAfter(std::chrono::microseconds delay, std::function<void()> task)
{
    RunAt(SimulatorClock::now() + delay, std::move(task));
}

bool Scheduler::ClaimIdleThrough(SimulatorClock::time_point time)
{
    std::lock_guard lock(mMutex);
    if (mStopping || mRunning || (!mTasks.empty() && mTasks.begin()->first.first <= time)) {
        return false;
    }
    mRunning = true;
    return true;
}

void Scheduler::EndClaim()
{
    std::lock_guard lock(mMutex);
    mRunning = false;
    // Only a thread with tasks waits for the claim to end; waking an idle one would cost the claimer its gain.
    if (!mTasks.empty()) {
        mChanged.notify_one();
    }
}

void Scheduler::Stop()
{
    decltype(mTasks) dropped;
    {
        std::lock_guard lock(mMutex);
        mStopping = true;
        dropped.swap(mTasks);
        mChanged.notify_one();
    }
    if (mThread.joinable()) {
        mThread.join();
    }
}

void Scheduler::RunTasks()
{
    std::unique_lock lock(mMutex);
    while (!mStopping) {
        if (mRunning || mTasks.empty()) {
            mChanged.wait(lock);
            continue;
        }
        const auto first = mTasks.begin();
        if (first->first.first > SimulatorClock::now()) {
            mChanged.wait_until(lock, first->first.first);
            continue;
        }
        std::function<void()> task = std::move(first->second);
        mTasks.erase(first);
        mRunning = true;
        lock.unlock();
        task();
        lock.lock();
        mRunning = false;
    }
}

}  // namespace ZV::Simulator
