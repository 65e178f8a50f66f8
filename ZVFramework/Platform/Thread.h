#pragma once

#include <cstdint>
#include <memory>
#include <thread>

namespace ZV::Platform {

inline constexpr int kThreadPriorityIdle = -15;
inline constexpr int kThreadPriorityLowest = -2;
inline constexpr int kThreadPriorityBelowNormal = -1;
inline constexpr int kThreadPriorityNormal = 0;
inline constexpr int kThreadPriorityAboveNormal = 1;
inline constexpr int kThreadPriorityHighest = 2;
inline constexpr int kThreadPriorityTimeCritical = 15;

using ThreadRoutine = void (*)(void* context);

// A thread that is made suspended and runs its routine once, after Resume.
// Priorities are recorded and reported back but not applied: a thread whose job lowered it could not be raised
// again without privileges, and nothing relies on the timing that priorities would give.
class Thread {
public:
    // Throws std::system_error when the system cannot start another thread.
    Thread(ThreadRoutine routine, void* context);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Neither waits for nor stops the routine: a thread still running is left to end on its own (it keeps what it
    // uses), one never resumed ends without running its routine.
    ~Thread();

    void Resume();
    // Accepts only the named levels above.
    bool SetPriority(int level);
    int GetPriority() const;
    bool IsCallingThread() const;
    // kWaitSignalled once the routine has returned, else kWaitTimedOut; the calling thread itself could never see its
    // own end, so for it the answer comes at once.
    std::uint32_t WaitForEnd(std::uint32_t timeout) const;

    // The recorded level of the calling thread; normal for a thread that this layer did not make.
    static int GetCallingThreadPriority();

private:
    struct SharedState;

    std::shared_ptr<SharedState> mState;
    std::thread mThread;
    bool mResumed = false;
};

}  // namespace ZV::Platform
