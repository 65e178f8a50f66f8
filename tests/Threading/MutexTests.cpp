#include "Threading/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace ZV {
namespace {

bool TakenOnAnotherThread(Mutex& mutex)
{
    bool taken = false;
    std::thread([&] {
        taken = mutex.TryEnter();
        if (taken) {
            mutex.Leave();
        }
    }).join();
    return taken;
}

TEST(Mutex, ItsHolderTakesItAgainAndOthersGetItOnlyWhenEveryHoldIsLetGo)
{
    Mutex mutex;
    mutex.Enter();
    EXPECT_TRUE(mutex.TryEnter()) << "the holder takes it again";
    mutex.Enter();
    EXPECT_FALSE(TakenOnAnotherThread(mutex));
    mutex.Leave();
    mutex.Leave();
    EXPECT_FALSE(TakenOnAnotherThread(mutex)) << "one hold is left";
    mutex.Leave();
    EXPECT_TRUE(TakenOnAnotherThread(mutex));
    EXPECT_TRUE(mutex.TryEnter()) << "free again after the other thread let it go";
    mutex.Leave();
}

// Threads that meet at the lock all the time, each taking it twice over: no change is lost.
TEST(Mutex, ThreadsThatMeetAtItChangeWhatItGuardsOneAtATime)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    Mutex mutex;
    long long guarded = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                const MutexLock outer(mutex);
                const MutexLock inner(mutex);
                guarded = guarded + 1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(guarded, static_cast<long long>(kThreads) * kRounds);
}

}  // namespace
}  // namespace ZV
