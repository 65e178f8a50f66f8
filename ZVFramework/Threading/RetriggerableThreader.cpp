#include "Threading/RetriggerableThreader.h"

#include <atomic>
#include <cstdio>

namespace ZV {

namespace {
std::atomic<std::uint32_t> gStopTimeout{RetriggerableThreader::kDefaultStopTimeout};
}  // namespace

// What the threader and its thread share. The thread holds its own reference, so a threader destroyed while its
// job still runs (after the stop time-out, or from inside the job) frees nothing that the thread uses.
class RetriggerableThreader::LSharedState : public LRefCountedObject {
public:
    Event mTrigger{true};
    // Written in this order: busy is cleared before the done event is set, stop is set before the trigger is.
    std::atomic<bool> mBusy{false};
    std::atomic<bool> mStop{false};
    // Written by Trigger only while not busy, read and emptied by the thread only while busy.
    RCPtr<LEvent> mDoneEvent;
    ConstRCPtr<LThreadWorker> mWorker;
    ConstRCPtr<LRefCountedObject> mParameter;
};

RetriggerableThreader::RetriggerableThreader(const WideString& name)
    : mState(new LSharedState), mThread(&RunJobs, mState.Get()), mName(name)
{
    mThread.SetPriorityBoost(false);
    if (mThread.IsValid()) {
        mState->AddRef();
        mThread.Resume();
    }
}

RetriggerableThreader::~RetriggerableThreader()
{
    if (!Stop() && mThread.IsValid() && !mThread.IsCallingThread()) {
        std::fprintf(stderr, "ZV::RetriggerableThreader: the job of \"%s\" has not ended within %u ms; its thread is "
                             "left to end on its own\n",
                     mName.ToUTF8().GetData(), GetStopTimeout());
    }
}

void RetriggerableThreader::SetName(const WideString& name)
{
    mName = name;
    mNamedAfter = nullptr;
    mNamedAfterType = nullptr;
}

void RetriggerableThreader::NameAfter(const LThreadWorker& worker)
{
    const std::type_info& type = typeid(worker);
    if (&worker == mNamedAfter && mNamedAfterType != nullptr && type == *mNamedAfterType) {
        return;
    }
    mName = worker.ToString();
    mNamedAfter = &worker;
    mNamedAfterType = &type;
}

ZVRESULT RetriggerableThreader::Trigger(const ConstRCPtr<LThreadWorker>& worker,
                                        const ConstRCPtr<LRefCountedObject>& parameter, const RCPtr<LEvent>& doneEvent,
                                        int priority)
{
    LSharedState& state = *mState;
    if (state.mStop.load() || state.mBusy.load() || !state.mTrigger.IsValid() || !mThread.IsValid() ||
        mThread.HasEnded()) {
        return ZV_E_FAIL;
    }
    mThread.SetPriority(priority);
    state.mWorker = worker;
    state.mParameter = parameter;
    state.mDoneEvent = doneEvent;
    if (doneEvent) {
        doneEvent->Reset();
    }
    state.mBusy.store(true);
    return state.mTrigger.Set() ? ZV_S_OK : ZV_E_FAIL;
}

bool RetriggerableThreader::IsBusy() const
{
    return mState->mBusy.load();
}

bool RetriggerableThreader::Stop()
{
    mState->mStop.store(true);
    mState->mTrigger.Set();
    return mThread.WaitForEnd(GetStopTimeout());
}

void RetriggerableThreader::SetStopTimeout(std::uint32_t milliseconds)
{
    gStopTimeout.store(milliseconds);
}

std::uint32_t RetriggerableThreader::GetStopTimeout()
{
    return gStopTimeout.load();
}

void RetriggerableThreader::RunJobs(void* context)
{
    LSharedState* state = static_cast<LSharedState*>(context);
    // A trigger that cannot be waited on would never wake the thread again: the thread ends instead.
    while (!state->mStop.load() && state->mTrigger.Wait(kWaitInfinite) == kWaitSignalled) {
        if (!state->mStop.load() && state->mWorker) {
            // Callers hand the worker over read-only, but it is theirs to run as it is.
            // The job reports its outcome itself.
            (void)const_cast<LThreadWorker*>(state->mWorker.Get())->DoWork(state->mParameter);
        }
        FinishJob(*state);
    }
    // A job handed over just before the stop was never run: it is let go all the same, or whatever it holds (a
    // thread pool holds itself) would live on in the shared state.
    FinishJob(*state);
    state->Release();
}

void RetriggerableThreader::FinishJob(LSharedState& state)
{
    state.mParameter = nullptr;
    state.mWorker = nullptr;
    RCPtr<LEvent> doneEvent = std::move(state.mDoneEvent);
    state.mBusy.store(false);
    if (doneEvent) {
        doneEvent->Set();
    }
}

}  // namespace ZV
