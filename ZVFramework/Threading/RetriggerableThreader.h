#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Threading/LEvent.h"
#include "Threading/Thread.h"
#include "Threading/ThreadWorker.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <typeinfo>

namespace ZV {

// A long-lived thread that sleeps until it is handed a job, runs it, signals the job's done event and sleeps
// again. One job at a time: a job handed over while another is pending or running is refused.
class RetriggerableThreader : public IStringable {
public:
    static constexpr std::uint32_t kDefaultStopTimeout = 60000;

    explicit RetriggerableThreader(const WideString& name = WideString());
    RetriggerableThreader(const RetriggerableThreader&) = delete;
    RetriggerableThreader& operator=(const RetriggerableThreader&) = delete;
    // Stops the thread. A job that has not ended within the stop time-out is left to finish on its own: the thread
    // keeps everything it uses, and frees it when it ends.
    virtual ~RetriggerableThreader();

    WideString ToString() const override { return mName; }
    void SetName(const WideString& name);
    // Takes the worker's ToString, its class name, as the name; asks it only when the worker is another object than
    // the one the name came from last, since making the text costs far more than handing over a job.
    void NameAfter(const LThreadWorker& worker);

    // Hands a job to the thread, which runs worker->DoWork(parameter) at the given priority, lets go of worker and
    // parameter and then sets the done event. ZV_E_FAIL when the threader is stopping, busy, or has no thread.
    [[nodiscard]] ZVRESULT Trigger(const ConstRCPtr<LThreadWorker>& worker,
                                   const ConstRCPtr<LRefCountedObject>& parameter, const RCPtr<LEvent>& doneEvent,
                                   int priority);
    // From Trigger until the job's worker and parameter are let go, just before the done event is set.
    bool IsBusy() const;
    // Asks the thread to end after its current job and waits up to the stop time-out; true when it has ended.
    // The threader takes no job afterwards.
    bool Stop();

    // How long stopping waits for a job to end. Shortened by tests whose jobs hang on purpose.
    static void SetStopTimeout(std::uint32_t milliseconds);
    static std::uint32_t GetStopTimeout();

private:
    class LSharedState;

    static void RunJobs(void* state);
    // Lets go of the job's worker and parameter, then clears busy and sets its done event.
    static void FinishJob(LSharedState& state);

    RCPtr<LSharedState> mState;
    Thread mThread;
    WideString mName;
    // Where the name came from: compared, never followed.
    const LThreadWorker* mNamedAfter = nullptr;
    const std::type_info* mNamedAfterType = nullptr;
};

}  // namespace ZV
