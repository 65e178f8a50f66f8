#include "Threading/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace ZV {
namespace {

TEST(Mutex, HolderMayTakeItAgainAndOthersWaitUntilItIsFree)
{
    Mutex mutex;
    long counter = 0;
    {
        MutexLock outer(mutex);
        MutexLock inner(&mutex);
        ++counter;
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                MutexLock lock(mutex);
                MutexLock again(mutex);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 40001);
    MutexLock none(static_cast<Mutex*>(nullptr));
}

}  // namespace
}  // namespace ZV
