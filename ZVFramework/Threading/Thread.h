#pragma once

#include "Platform/Thread.h"

#include <cstdint>
#include <memory>

namespace ZV {

using Platform::kThreadPriorityAboveNormal;
using Platform::kThreadPriorityBelowNormal;
using Platform::kThreadPriorityHighest;
using Platform::kThreadPriorityIdle;
using Platform::kThreadPriorityLowest;
using Platform::kThreadPriorityNormal;
using Platform::kThreadPriorityTimeCritical;

// A thread made suspended, so that its owner can finish setting up before the routine runs. When the platform
// could not make it, it is not valid: it never runs, and it never counts as ended.
class Thread {
public:
    using Routine = Platform::ThreadRoutine;

    Thread(Routine routine, void* context);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Neither waits for nor stops the thread.
    virtual ~Thread();

    bool IsValid() const { return mHandle != nullptr; }
    void Resume();
    bool SetPriority(int level);
    int GetPriority() const;
    // The platform has no dynamic boost to switch: accepted and ignored.
    bool SetPriorityBoost(bool enable);
    bool HasEnded() const { return WaitForEnd(0); }
    // False when the time-out passed first; at once when called on this thread itself.
    bool WaitForEnd(std::uint32_t timeout) const;
    bool IsCallingThread() const;

    static int GetCallingThreadPriority() { return Platform::Thread::GetCallingThreadPriority(); }

private:
    std::unique_ptr<Platform::Thread> mHandle;
};

}  // namespace ZV
