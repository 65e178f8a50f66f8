#include "Notification/InternTable.h"
#include "Notification/Notification.h"
#include "NotificationTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace ZV {
namespace {

std::uint32_t SpareCount()
{
    return GetNotificationSparePool().GetCount();
}

TEST(NotificationPool, AReleasedNotificationLetsItsParameterGoAtOnceAndComesBackWithTheNewIdAndParameter)
{
    const NotificationPoolOn pool;
    const LNotification* released = nullptr;
    {
        const RCPtr<LNotification> notification = MakeNotification(L"NID_POOL_FIRST", 1);
        released = notification.Get();
    }
    EXPECT_EQ(SpareCount(), 1u);
    EXPECT_EQ(LTestRecord::sLiving, 0);

    const RCPtr<LTestRecord> record = LTestRecord::Create(2);
    const RCPtr<LNotification> reused = LNotification::Create(L"NID_POOL_SECOND", record);
    EXPECT_EQ(reused.Get(), released);
    EXPECT_EQ(reused->GetId(), InternString(L"NID_POOL_SECOND"));
    EXPECT_EQ(reused->GetParameter().Get(), record.Get());
    EXPECT_EQ(reused->GetRefCount(), 1);
    EXPECT_EQ(SpareCount(), 0u);

    RCPtr<LNotification> first = LNotification::Create(L"NID_POOL_ORDER", nullptr);
    RCPtr<LNotification> second = LNotification::Create(L"NID_POOL_ORDER", nullptr);
    const LNotification* secondAddress = second.Get();
    first = nullptr;
    second = nullptr;
    EXPECT_EQ(LNotification::Create(L"NID_POOL_ORDER", nullptr).Get(), secondAddress) << "last released, first reused";
}

TEST(NotificationPool, SwitchingItOffDestroysEverySpareAndLaterReleasesDestroyToo)
{
    {
        const NotificationPoolOn pool;
        std::vector<RCPtr<LNotification>> notifications;
        for (int i = 0; i < 5; ++i) {
            notifications.push_back(LNotification::Create(L"NID_POOL_SWITCH", nullptr));
        }
        notifications.clear();
        EXPECT_EQ(SpareCount(), 5u);
    }
    EXPECT_EQ(SpareCount(), 0u);
    LNotification::Create(L"NID_POOL_SWITCH", nullptr);
    EXPECT_EQ(SpareCount(), 0u);
}

TEST(NotificationPool, ExitWithTheSwitchStillOnIsClean)
{
    EXPECT_EXIT(
        {
            EnableNotificationPool(true);
            std::vector<RCPtr<LNotification>> notifications;
            for (int i = 0; i < 3; ++i) {
                notifications.push_back(MakeNotification(L"NID_POOL_EXIT", i));
            }
            notifications.clear();
            std::exit(SpareCount() == 3 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(NotificationPool, ThreadsCreatingAndReleasingShareThePoolSafely)
{
    const NotificationPoolOn pool;
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < kRounds; ++i) {
                const RCPtr<LNotification> notification = MakeNotification(L"NID_POOL_THREADS", t * kRounds + i);
                if (ValueOf(*notification) != t * kRounds + i) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_LE(SpareCount(), static_cast<std::uint32_t>(kThreads));
    EXPECT_EQ(LTestRecord::sLiving, 0);
}

// A notification shared by two threads (a queue's reader and a sender) whose last two references go at the same
// moment: one of the two releases must return it to the pool; it is never destroyed while the pool is on.
TEST(NotificationPool, TwoHoldersLettingGoAtOnceReturnTheNotificationToThePool)
{
    const NotificationPoolOn pool;
    const LNotification* pooled = LNotification::Create(L"NID_POOL_LAST_TWO", nullptr).Get();
    for (int round = 0; round < 2000; ++round) {
        RCPtr<LNotification> notification = MakeNotification(L"NID_POOL_LAST_TWO", round);
        ASSERT_EQ(notification.Get(), pooled) << "round " << round;
        std::vector<RCPtr<LNotification>> holders(2, notification);
        notification = nullptr;
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (RCPtr<LNotification>& holder : holders) {
            threads.emplace_back([&ready, &holder] {
                ++ready;
                while (ready.load() < 2) {
                }
                holder = nullptr;
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        ASSERT_EQ(SpareCount(), 1u) << "round " << round;
        ASSERT_EQ(LTestRecord::sLiving, 0) << "round " << round;
    }
}

// The user-interface thread lets go of what a worker made, as with every notification posted to a queue.
TEST(NotificationPool, NotificationsLetGoOnOneThreadAreHandedOutOnAnotherEachToOneHolderAtATime)
{
    const NotificationPoolOn pool;
    constexpr int kBatches = 300;
    constexpr int kBatch = 8;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<RCPtr<LNotification>> handedOver;
    bool done = false;
    std::atomic<int> sharedSpares{0};
    std::thread maker([&] {
        for (int batch = 0; batch < kBatches; ++batch) {
            std::vector<RCPtr<LNotification>> made;
            for (int i = 0; i < kBatch; ++i) {
                made.push_back(MakeNotification(L"NID_POOL_HANDOVER", batch * kBatch + i));
            }
            for (std::size_t i = 0; i < made.size(); ++i) {
                for (std::size_t j = 0; j < i; ++j) {
                    sharedSpares += made[i].Get() == made[j].Get();
                }
            }
            const std::lock_guard lock(mutex);
            handedOver.insert(handedOver.end(), made.begin(), made.end());
            changed.notify_one();
        }
        const std::lock_guard lock(mutex);
        done = true;
        changed.notify_one();
    });
    int expected = 0;
    std::unique_lock lock(mutex);
    while (!done || !handedOver.empty()) {
        changed.wait(lock, [&] { return done || !handedOver.empty(); });
        for (const RCPtr<LNotification>& notification : handedOver) {
            EXPECT_EQ(ValueOf(*notification), expected++);
        }
        handedOver.clear();
    }
    lock.unlock();
    maker.join();
    EXPECT_EQ(expected, kBatches * kBatch);
    EXPECT_EQ(sharedSpares, 0) << "a spare was handed to two holders at once";
    EXPECT_LE(SpareCount(), static_cast<std::uint32_t>(kBatches * kBatch));
    EXPECT_EQ(LTestRecord::sLiving, 0);
}

}  // namespace
}  // namespace ZV
