#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Threading/EventPool.h"
#include "Threading/LEvent.h"
#include "Threading/Mutex.h"
#include "Threading/RetriggerableThreader.h"
#include "Threading/ReuseAllocator.h"
#include "Threading/ThreadWorker.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace ZV {

// Runs jobs (a worker, a parameter and a priority) on a fixed set of worker threads. A job goes straight to a free
// worker when there is one; otherwise it waits in a queue ordered by priority, highest first and in arrival order
// within a priority, and the pool's queue thread hands the queued jobs to workers as they become free. With a single
// worker a new job never overtakes queued ones, so jobs of one priority run strictly in arrival order.
//
// Lock protocol: the pool's lock guards the queue, the choice of a worker and each hand-over, and nobody blocks while
// holding it. The job that finds the queue empty starts the next drain: after leaving the lock it waits for the
// previous drain, which has seen the queue empty and needs nothing of the pool any more, to end.
class LThreadPool : public LThreadWorker {
public:
    // One queued job. Records come from a pool of their own, made on the threads that queue jobs and let go on the
    // queue thread (or on the thread that shuts the pool down).
    class LWorkerParams : public LRefCountedObject {
    public:
        static RCPtr<LWorkerParams> Create(const ConstRCPtr<LThreadWorker>& worker,
                                           const ConstRCPtr<LRefCountedObject>& parameter, int priority);

        const ConstRCPtr<LThreadWorker>& GetWorker() const { return mWorker; }
        const ConstRCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
        int GetPriority() const { return mPriority; }

        static void* operator new(std::size_t size);
        static void operator delete(void* block);

    private:
        LWorkerParams(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                      int priority);

        ConstRCPtr<LThreadWorker> mWorker;
        ConstRCPtr<LRefCountedObject> mParameter;
        std::int32_t mPriority;
    };

    static constexpr const wchar_t* kQueueThreaderName = L"LThreadPool::mQueueThreader";

    // workerCount is brought into 0..kMaximumWaitEvents; a pool without workers drops every job. The queue thread
    // runs its drains at queuePriority.
    static RCPtr<LThreadPool> Create(int workerCount, int queuePriority);

    // Stops the threads: queued jobs are dropped, running ones end first. A thread whose job has not ended within the
    // stop time-out is left to end on its own, holding everything it still uses.
    ~LThreadPool() override;

    // Hands the job to a free worker, or queues it; drops it when the pool has no workers (any more).
    void QueueWork(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                   int priority);
    // The index of the worker that took the job, or -1 when none could (all busy, no workers, or a single worker
    // with jobs already queued).
    int TryDispatch(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                    int priority);
    // From now on jobs are dropped; queued jobs are dropped at once; waits up to the stop time-out for the queue
    // thread and then for each worker, which finish the jobs they are running.
    void Shutdown();

    int GetWorkerCount() const { return mWorkerCount.load(); }

protected:
    LThreadPool(int workerCount, int queuePriority);

private:
    using JobArray = RCPtrArray<LWorkerParams, 16, 16>;

    // The drain, run only by the queue threader: hands queued jobs to workers as they become free, until the queue
    // is empty.
    [[nodiscard]] ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override;

    // Under the lock: true when worker index took the job.
    bool HandOver(std::uint32_t index, const ConstRCPtr<LThreadWorker>& worker,
                  const ConstRCPtr<LRefCountedObject>& parameter, int priority);
    // Under the lock: a worker that is not busy, or -1.
    int FindFreeWorker() const;
    void StopTakingJobs();

    std::atomic<int> mWorkerCount{0};
    const int mQueuePriority;
    // Declared so that destruction goes: workers, event pool, lock, jobs, idle event, queue threader.
    RetriggerableThreader mQueueThreader;
    // Set while no drain runs: it is the drains' done event.
    RCPtr<LEvent> mIdleEvent;
    // Ascending priority; the next job to run is the last.
    JobArray mJobs;
    Mutex mLock;
    std::unique_ptr<EventPool> mEventPool;
    // Worker i signals event i of the event pool when it has finished a job.
    std::unique_ptr<RetriggerableThreader[]> mWorkers;
};

// Locked: records are made on the threads that queue jobs and let go on the pool's queue thread.
ReuseAllocator<LThreadPool::LWorkerParams, 1>& GetWorkerParamsPool();

}  // namespace ZV
