#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace ZV::Simulator {

using SimulatorClock = std::chrono::steady_clock;

// One thread that runs the simulation's tasks by due time (equal times in the order posted), so that the
// simulated devices are only ever touched by one thread at a time and need no locks of their own. Another thread
// may claim the simulation's turn to run a task that is due at once itself (see ClaimIdleThrough).
class Scheduler {
public:
    Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;
    ~Scheduler();

    void RunAt(SimulatorClock::time_point due, std::function<void()> task);
    void RunAfter(std::chrono::microseconds delay, std::function<void()> task);

    // Lets the calling thread run a task of its own at once, in the simulation's turn: true when no task runs or is
    // claimed and none is due by that time (which has come), and then no task runs until EndClaim; false when the
    // simulation is busy or stopping.
    bool ClaimIdleThrough(SimulatorClock::time_point time);
    void EndClaim();

    // Waits for a task under way to finish; tasks not yet run are dropped, later ones are refused.
    // Must not be called from a task.
    void Stop();

private:
    void RunTasks();

    std::mutex mMutex;
    std::condition_variable mChanged;
    std::map<std::pair<SimulatorClock::time_point, std::uint64_t>, std::function<void()>> mTasks;
    std::uint64_t mNextSequence = 0;
    // A task runs, here or on a thread that claimed the turn.
    bool mRunning = false;
    bool mStopping = false;
    std::thread mThread;
};

}  // namespace ZV::Simulator
