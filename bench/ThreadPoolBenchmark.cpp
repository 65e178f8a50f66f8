#include "SideBySide.h"

#include "Notification/MouseParams.h"
#include "Notification/ValueParam.h"
#include "Threading/CountingPoolAllocator.h"
#include "Threading/Event.h"
#include "Threading/ReuseAllocator.h"
#include "Utilities/Storage/Allocator.h"
#include "Threading/ThreadPool.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace ZV;

constexpr int kWarmPeak = 8;
constexpr int kMillion = 1000000;

// Mouse moves: a pooled record made and let go, after warm-up.
void PooledRecordCreateRelease(benchmark::State& state)
{
    std::vector<RCPtr<LPointWithModifiersParam>> warm;
    for (int i = 0; i < kWarmPeak; ++i) {
        warm.push_back(LPointWithModifiersParam::Create({i, i}, 0));
    }
    warm.clear();
    Testing::CountingPoolAllocator heap;
    std::int32_t x = 0;
    for (auto _ : state) {
        RCPtr<LPointWithModifiersParam> record = LPointWithModifiersParam::Create({++x, 0}, 1);
        benchmark::DoNotOptimize(record.Get());
    }
    state.counters["heap calls"] = heap.GetCalls();
}
BENCHMARK(PooledRecordCreateRelease);

// A million create and release cycles of three pooled record classes, up to eight alive at once, after warm-up:
// the pools' heap calls are counted through their allocator.
void MillionPooledRecordCycles(benchmark::State& state)
{
    std::vector<RCPtr<LRefCountedObject>> live;
    for (int i = 0; i < kWarmPeak; ++i) {
        live.push_back(LValueParam::Create(0.5, 5.0));
        live.push_back(LMouseButtonParam::Create(MouseButton::kLeft, {i, i}, 0, false, 1));
        live.push_back(LPointWithModifiersParam::Create({i, i}, 0));
    }
    live.clear();
    Testing::CountingPoolAllocator heap;
    std::int64_t misaligned = 0;
    for (auto _ : state) {
        for (int cycle = 0; cycle < kMillion; ++cycle) {
            RCPtr<LRefCountedObject> record;
            switch (cycle % 3) {
            case 0:
                record = LValueParam::Create(0.25, 2.5);
                break;
            case 1:
                record = LMouseButtonParam::Create(MouseButton::kLeft, {cycle, 0}, 0, false, 1);
                break;
            default:
                record = LPointWithModifiersParam::Create({cycle, 1}, 8);
                break;
            }
            // The block starts where the whole record does, not where its counted base lies inside it.
            const void* block = dynamic_cast<const void*>(record.Get());
            misaligned += reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t) != 0;
            if (cycle % 64 == 0) {
                live.assign(kWarmPeak - 1, record);
                live.clear();
            }
        }
    }
    state.counters["heap calls"] = heap.GetCalls();
    state.counters["misaligned"] = static_cast<double>(misaligned);
    state.counters["cycles/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kMillion,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(MillionPooledRecordCycles)->Unit(benchmark::kMillisecond);

struct BlockOf48 {
    double values[6];
};

// Allocate and free through a pool with its lock (argument 1) and without (0).
void PoolAllocateFree(benchmark::State& state)
{
    ReuseAllocator<BlockOf48, 4> pool(state.range(0) != 0);
    for (auto _ : state) {
        void* block = pool.Allocate(sizeof(BlockOf48));
        benchmark::DoNotOptimize(block);
        pool.Free(block);
    }
}
BENCHMARK(PoolAllocateFree)->Arg(1)->Arg(0);

// The general heap for blocks of the same size, for comparison.
void HeapAllocateFree(benchmark::State& state)
{
    for (auto _ : state) {
        void* block = GetSystemAllocator().Alloc(ReuseAllocator<BlockOf48, 4>::kHeaderSize + sizeof(BlockOf48));
        benchmark::DoNotOptimize(block);
        GetSystemAllocator().Free(block);
    }
}
BENCHMARK(HeapAllocateFree);

class LCountdownJob : public LThreadWorker {
public:
    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        if (--remaining == 0) {
            done.Set();
        }
        return ZV_S_OK;
    }

    std::atomic<int> remaining{0};
    TrafficLight done;
};

// An auto-reset or manual-reset event made of a standard mutex and condition variable.
class StdEvent {
public:
    explicit StdEvent(bool autoReset) : mAutoReset(autoReset) {}

    void Set()
    {
        {
            const std::lock_guard lock(mMutex);
            mSignalled = true;
        }
        mChanged.notify_one();
    }
    void Reset()
    {
        const std::lock_guard lock(mMutex);
        mSignalled = false;
    }
    void Wait()
    {
        std::unique_lock lock(mMutex);
        mChanged.wait(lock, [this] { return mSignalled; });
        if (mAutoReset) {
            mSignalled = false;
        }
    }

private:
    const bool mAutoReset;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mSignalled = false;
};

// A worker thread and a queue thread made of standard threads, one mutex and condition variables, working as the
// pool does: a job goes straight to the worker when it is free and nothing waits; otherwise it waits in a queue, and
// the queue thread hands the oldest to the worker each time the worker has finished one.
class StdHandOverPool {
public:
    StdHandOverPool() : mWorker([this] { RunWorker(); }), mQueueThread([this] { RunQueue(); }) {}
    StdHandOverPool(const StdHandOverPool&) = delete;
    StdHandOverPool& operator=(const StdHandOverPool&) = delete;
    ~StdHandOverPool()
    {
        {
            const std::lock_guard lock(mMutex);
            mStopping = true;
        }
        mWorkerChanged.notify_one();
        mQueueChanged.notify_one();
        mWorker.join();
        mQueueThread.join();
    }

    void Queue(std::function<void()> job)
    {
        const std::lock_guard lock(mMutex);
        if (!mWorkerBusy && mWaiting.empty()) {
            HandOverLocked(std::move(job));
            return;
        }
        mWaiting.push_back(std::move(job));
        mQueueChanged.notify_one();
    }

private:
    void HandOverLocked(std::function<void()> job)
    {
        mHandedOver = std::move(job);
        mWorkerBusy = true;
        mWorkerChanged.notify_one();
    }

    void RunWorker()
    {
        std::unique_lock lock(mMutex);
        for (;;) {
            mWorkerChanged.wait(lock, [this] { return mStopping || mHandedOver; });
            if (mStopping) {
                return;
            }
            std::function<void()> job = std::move(mHandedOver);
            mHandedOver = nullptr;
            lock.unlock();
            job();
            lock.lock();
            mWorkerBusy = false;
            mQueueChanged.notify_one();
        }
    }

    void RunQueue()
    {
        std::unique_lock lock(mMutex);
        for (;;) {
            mQueueChanged.wait(lock, [this] { return mStopping || (!mWorkerBusy && !mWaiting.empty()); });
            if (mStopping) {
                return;
            }
            std::function<void()> job = std::move(mWaiting.front());
            mWaiting.pop_front();
            HandOverLocked(std::move(job));
        }
    }

    std::mutex mMutex;
    std::condition_variable mWorkerChanged;
    std::condition_variable mQueueChanged;
    std::deque<std::function<void()>> mWaiting;
    std::function<void()> mHandedOver;
    bool mWorkerBusy = false;
    bool mStopping = false;
    std::thread mWorker;
    std::thread mQueueThread;
};

// One producer queues a burst of jobs on a one-worker pool (the MIDI capture road) and waits for the last; against
// the same work done by standard threads handing the jobs over in the same way. Goal: a ratio of 1.0 or less.
void ThreadPoolQueueBurst(benchmark::State& state)
{
    const int burst = static_cast<int>(state.range(0));
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, kThreadPriorityHighest);
    RCPtr<LCountdownJob> job(new LCountdownJob);
    StdHandOverPool standard;
    StdEvent standardDone(false);
    int standardRemaining = 0;
    bench::RunRoundsSideBySide(
        state, burst,
        [&] {
            job->done.Reset();
            job->remaining = burst;
            for (int i = 0; i < burst; ++i) {
                pool->QueueWork(job, nullptr, kThreadPriorityNormal);
            }
            if (job->done.Wait(60000) != kWaitSignalled) {
                state.SkipWithError("a job was lost");
            }
        },
        [&] {
            standardDone.Reset();
            standardRemaining = burst;
            for (int i = 0; i < burst; ++i) {
                standard.Queue([&] {
                    if (--standardRemaining == 0) {
                        standardDone.Set();
                    }
                });
            }
            standardDone.Wait();
        });
}
BENCHMARK(ThreadPoolQueueBurst)->Arg(1)->Arg(1000)->UseManualTime();

constexpr int kExchanges = 2000;

// range(0) pairs of threads hand a turn back and forth through two auto-reset events each, all pairs at once;
// against events made of a standard mutex and condition variable. Goal: a ratio of 1.0 or less.
void EventPingPong(benchmark::State& state)
{
    const int pairs = static_cast<int>(state.range(0));
    const auto playPairs = [pairs](auto makeEvent, auto set, auto wait) {
        std::vector<std::thread> players;
        for (int pair = 0; pair < pairs; ++pair) {
            auto ping = makeEvent();
            auto pong = makeEvent();
            players.emplace_back([=] {
                for (int i = 0; i < kExchanges; ++i) {
                    set(*ping);
                    wait(*pong);
                }
            });
            players.emplace_back([=] {
                for (int i = 0; i < kExchanges; ++i) {
                    wait(*ping);
                    set(*pong);
                }
            });
        }
        for (std::thread& player : players) {
            player.join();
        }
    };
    bench::RunRoundsSideBySide(
        state, static_cast<double>(pairs) * kExchanges,
        [&] {
            playPairs([] { return std::make_shared<Event>(true); }, [](Event& event) { event.Set(); },
                      [](Event& event) { event.Wait(kWaitInfinite); });
        },
        [&] {
            playPairs([] { return std::make_shared<StdEvent>(true); }, [](StdEvent& event) { event.Set(); },
                      [](StdEvent& event) { event.Wait(); });
        });
}
BENCHMARK(EventPingPong)->Arg(1)->Arg(4)->UseManualTime();

}  // namespace
