#include "Threading/ThreadPool.h"

#include "Platform/Clock.h"

#include <algorithm>

namespace ZV {

namespace {
// A multiple wait that fails at once would otherwise spin a core while every worker is busy.
constexpr std::uint32_t kFailedWaitPause = 1;
}  // namespace

LThreadPool::LWorkerParams::LWorkerParams(const ConstRCPtr<LThreadWorker>& worker,
                                          const ConstRCPtr<LRefCountedObject>& parameter, int priority)
    : mWorker(worker), mParameter(parameter), mPriority(priority)
{
}

RCPtr<LThreadPool::LWorkerParams> LThreadPool::LWorkerParams::Create(const ConstRCPtr<LThreadWorker>& worker,
                                                                     const ConstRCPtr<LRefCountedObject>& parameter,
                                                                     int priority)
{
    return RCPtr<LWorkerParams>(new LWorkerParams(worker, parameter, priority));
}

void* LThreadPool::LWorkerParams::operator new(std::size_t size)
{
    return GetWorkerParamsPool().Allocate(size);
}

void LThreadPool::LWorkerParams::operator delete(void* block)
{
    GetWorkerParamsPool().Free(block);
}

ReuseAllocator<LThreadPool::LWorkerParams, 1>& GetWorkerParamsPool()
{
    return LastingReusePool<LThreadPool::LWorkerParams, 1, true>();
}

RCPtr<LThreadPool> LThreadPool::Create(int workerCount, int queuePriority)
{
    return RCPtr<LThreadPool>(new LThreadPool(workerCount, queuePriority));
}

LThreadPool::LThreadPool(int workerCount, int queuePriority)
    : mQueuePriority(queuePriority), mIdleEvent(LEvent::Create(true))
{
    const int count = std::clamp(workerCount, 0, static_cast<int>(kMaximumWaitEvents));
    mEventPool = std::make_unique<EventPool>(static_cast<std::uint32_t>(count));
    mWorkers = std::make_unique<RetriggerableThreader[]>(mEventPool->GetCount());
    mWorkerCount.store(static_cast<int>(mEventPool->GetCount()));
    mIdleEvent->Set();
    mQueueThreader.SetName(WideString(kQueueThreaderName));
}

LThreadPool::~LThreadPool()
{
    // Each threader waits for its own job as it goes; on the queue thread itself the last one does not wait.
    StopTakingJobs();
    mWorkers.reset();
    mEventPool.reset();
}

void LThreadPool::QueueWork(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                            int priority)
{
    if (TryDispatch(worker, parameter, priority) >= 0 || mWorkerCount.load() <= 0) {
        return;
    }
    // Made before the lock is taken, and let go after it is left when it was not queued.
    RCPtr<LWorkerParams> job = LWorkerParams::Create(worker, parameter, priority);
    {
        MutexLock lock(mLock);
        if (mWorkerCount.load() <= 0) {
            return;
        }
        const std::uint32_t queued = mJobs.GetCount();
        std::uint32_t index = 0;
        while (index < queued && mJobs.GetData()[index]->GetPriority() < priority) {
            ++index;
        }
        if (Failed(mJobs.InsertItem(index, job)) || queued != 0) {
            return;
        }
    }
    // The queue was empty, so no drain runs, or the last one is just ending: wait until it has let the pool go, then
    // start the next. Jobs queued meanwhile wait for that drain.
    mIdleEvent->Wait(kWaitInfinite);
    // Refused only once the pool stops, and then its jobs are dropped anyway.
    (void)mQueueThreader.Trigger(ConstRCPtr<LThreadWorker>(this), ConstRCPtr<LRefCountedObject>(this), mIdleEvent,
                           mQueuePriority);
}

int LThreadPool::TryDispatch(const ConstRCPtr<LThreadWorker>& worker, const ConstRCPtr<LRefCountedObject>& parameter,
                             int priority)
{
    for (int index = 0; index < mWorkerCount.load(); ++index) {
        MutexLock lock(mLock);
        // Read again under the lock: after Shutdown has taken it, no worker is handed a job any more.
        const int workerCount = mWorkerCount.load();
        if (index >= workerCount || (workerCount == 1 && mJobs.GetCount() != 0)) {
            return -1;
        }
        if (HandOver(static_cast<std::uint32_t>(index), worker, parameter, priority)) {
            return index;
        }
    }
    return -1;
}

void LThreadPool::Shutdown()
{
    StopTakingJobs();
    mQueueThreader.Stop();
    for (std::uint32_t index = mEventPool->GetCount(); index > 0; --index) {
        mWorkers[index - 1].Stop();
    }
}

ZVRESULT LThreadPool::DoWork(const ConstRCPtr<LRefCountedObject>&)
{
    for (;;) {
        const int signalled = mEventPool->WaitAny(kWaitInfinite);
        RCPtr<LWorkerParams> job;
        bool drained = false;
        {
            MutexLock lock(mLock);
            const std::uint32_t queued = mJobs.GetCount();
            if (queued == 0) {
                return ZV_S_OK;
            }
            // A failed wait names no worker: look for a free one instead.
            const int index = signalled >= 0 ? signalled : FindFreeWorker();
            if (index >= 0 && !mWorkers[index].IsBusy() && Succeeded(mJobs.RemoveLast(job))) {
                HandOver(static_cast<std::uint32_t>(index), job->GetWorker(), job->GetParameter(),
                         job->GetPriority());
                drained = queued == 1;
            }
        }
        // The job record, and what it alone still held, is let go outside the lock.
        if (drained) {
            return ZV_S_OK;
        }
        if (signalled < 0 && !job) {
            Platform::SleepMilliseconds(kFailedWaitPause);
        }
    }
}

bool LThreadPool::HandOver(std::uint32_t index, const ConstRCPtr<LThreadWorker>& worker,
                           const ConstRCPtr<LRefCountedObject>& parameter, int priority)
{
    RetriggerableThreader& threader = mWorkers[index];
    if (threader.IsBusy()) {
        return false;
    }
    if (worker) {
        threader.NameAfter(*worker);
    }
    return Succeeded(threader.Trigger(worker, parameter, mEventPool->GetEvent(index), priority));
}

int LThreadPool::FindFreeWorker() const
{
    for (std::uint32_t index = 0; index < mEventPool->GetCount(); ++index) {
        if (!mWorkers[index].IsBusy()) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

void LThreadPool::StopTakingJobs()
{
    mWorkerCount.store(0);
    // One record at a time, and nothing allocated, since the destructor comes this way and must not throw. The
    // record, and whatever it alone holds, is let go after the lock is left: it is declared first.
    for (bool taken = true; taken;) {
        RCPtr<LWorkerParams> discarded;
        MutexLock lock(mLock);
        taken = mJobs.GetCount() != 0 && Succeeded(mJobs.RemoveLast(discarded));
    }
    // A drain waiting for a free worker finds the queue empty and ends, instead of waiting for a running job.
    if (mEventPool->GetCount() != 0) {
        mEventPool->GetEvent(0)->Set();
    }
}

}  // namespace ZV
