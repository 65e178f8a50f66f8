#pragma once

#include "Threading/Thread.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

namespace ZV {

// One piece of work at a time on a thread of its own, so that the thread that starts it goes on meanwhile and looks
// now and then whether it has ended. Started, looked at and finished on that one thread.
class LBackgroundWork {
public:
    // The work looks at the flag between its steps: its owner is going, and no one waits for what it finds.
    using Work = std::function<void(const std::atomic<bool>& stopRequested)>;

    LBackgroundWork() = default;
    LBackgroundWork(const LBackgroundWork&) = delete;
    LBackgroundWork& operator=(const LBackgroundWork&) = delete;
    ~LBackgroundWork() { Abandon(); }

    // False when work is under way already. Throws when no thread can be had for it.
    [[nodiscard]] bool Start(Work work);
    // From Start until Finish.
    bool IsUnderWay() const { return mThread != nullptr; }
    bool HasEnded() const { return mThread != nullptr && mThread->HasEnded(); }
    // Waits for the end and lets the thread go: what the work threw, else null.
    std::exception_ptr Finish();
    // Asks the work to stop, waits for its end and lets the thread go; what it threw is dropped.
    void Abandon();

private:
    static void Run(void* context);

    // The work's thread alone touches the work and its failure until the thread has ended.
    Work mWork;
    std::exception_ptr mFailure;
    std::atomic<bool> mStopRequested{false};
    std::unique_ptr<Thread> mThread;
};

}  // namespace ZV
