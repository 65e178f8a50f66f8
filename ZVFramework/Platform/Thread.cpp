#include "Platform/Thread.h"

#include "Platform/Event.h"

#include <atomic>

namespace ZV::Platform {

// What the thread and its handle share; it lives as long as either of them.
struct Thread::SharedState {
    ThreadRoutine routine = nullptr;
    void* context = nullptr;
    Event startGate{EventReset::Manual};
    Event ended{EventReset::Manual};
    std::atomic<bool> abandoned{false};
    std::atomic<int> priority{kThreadPriorityNormal};
};

namespace {

thread_local const void* tCallingThreadState = nullptr;
thread_local const std::atomic<int>* tCallingThreadPriority = nullptr;

bool IsNamedPriority(int level)
{
    switch (level) {
    case kThreadPriorityIdle:
    case kThreadPriorityLowest:
    case kThreadPriorityBelowNormal:
    case kThreadPriorityNormal:
    case kThreadPriorityAboveNormal:
    case kThreadPriorityHighest:
    case kThreadPriorityTimeCritical:
        return true;
    default:
        return false;
    }
}

}  // namespace

Thread::Thread(ThreadRoutine routine, void* context) : mState(std::make_shared<SharedState>())
{
    mState->routine = routine;
    mState->context = context;
    mThread = std::thread([state = mState] {
        Event* gate = &state->startGate;
        Event::WaitForAny(&gate, 1, kWaitInfinite);
        if (!state->abandoned.load()) {
            tCallingThreadState = state.get();
            tCallingThreadPriority = &state->priority;
            state->routine(state->context);
            tCallingThreadState = nullptr;
            tCallingThreadPriority = nullptr;
        }
        state->ended.Set();
    });
}

Thread::~Thread()
{
    if (IsCallingThread()) {
        mThread.detach();
        return;
    }
    if (!mResumed) {
        mState->abandoned.store(true);
        mState->startGate.Set();
        mThread.join();
        return;
    }
    if (WaitForEnd(0) == kWaitSignalled) {
        mThread.join();
    } else {
        mThread.detach();
    }
}

void Thread::Resume()
{
    mResumed = true;
    mState->startGate.Set();
}

bool Thread::SetPriority(int level)
{
    if (!IsNamedPriority(level)) {
        return false;
    }
    mState->priority.store(level);
    return true;
}

int Thread::GetPriority() const
{
    return mState->priority.load();
}

bool Thread::IsCallingThread() const
{
    return tCallingThreadState == mState.get();
}

std::uint32_t Thread::WaitForEnd(std::uint32_t timeout) const
{
    if (IsCallingThread()) {
        return kWaitTimedOut;
    }
    Event* ended = &mState->ended;
    return Event::WaitForAny(&ended, 1, timeout);
}

int Thread::GetCallingThreadPriority()
{
    return tCallingThreadPriority != nullptr ? tCallingThreadPriority->load() : kThreadPriorityNormal;
}

}  // namespace ZV::Platform
