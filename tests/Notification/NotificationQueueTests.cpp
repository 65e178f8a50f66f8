#include "Notification/InternTable.h"
#include "NotificationTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace ZV {
namespace {

using ::testing::ElementsAre;

constexpr const wchar_t* kQueueId = L"NID_QUEUE_TEST";

std::vector<int> ValuesOf(const std::vector<Delivery>& log, const std::string& client)
{
    std::vector<int> values;
    for (const Delivery& delivery : log) {
        if (delivery.client == client) {
            values.push_back(delivery.value);
        }
    }
    return values;
}

class QueueTest : public ::testing::Test {
protected:
    QueueTest() { EXPECT_TRUE(Succeeded(queue->AttachDistributor(distributor))); }
    ~QueueTest() override
    {
        for (const RCPtr<LRecordingClient>& client : clients) {
            client->UnregisterAllNotifications();
        }
    }

    RCPtr<LRecordingClient> Registered(const char* name, std::uint32_t flags = 0, const wchar_t* id = kQueueId)
    {
        RCPtr<LRecordingClient> client = LRecordingClient::Create(name, log);
        client->RegisterForNotification(distributor, id, flags);
        clients.push_back(client);
        return client;
    }

    ZVRESULT Post(int value, const wchar_t* id = kQueueId)
    {
        return queue->PostNotification(MakeNotification(id, value));
    }

    std::vector<Delivery> log;
    std::vector<RCPtr<LRecordingClient>> clients;
    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor};
    RCPtr<LCountedQueue> queue{new LCountedQueue};
};

TEST_F(QueueTest, DeliversWhatWasQueuedAtEntryInPostingOrderThroughItsDistributor)
{
    const RCPtr<LRecordingClient> client = Registered("Client");
    EXPECT_EQ(queue->GetQueuedCount(), 0u);
    EXPECT_EQ(queue->GetQueueCapacity(), 256u);
    client->onReceive = [&](const auto&, const RCPtr<LNotification>& notification) {
        if (ValueOf(*notification) == 1) {
            Post(3);
        }
    };
    Post(1);
    Post(2);

    EXPECT_TRUE(queue->ProcessNotifications(false)) << "what was posted during processing still waits";
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1, 2));
    EXPECT_EQ(log[0].sender, distributor.Get());
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1, 2, 3));
}

TEST_F(QueueTest, RefusesNullAndAlreadyPostedNotificationsAndPostsWithoutADistributor)
{
    const RCPtr<LNotification> notification = MakeNotification(kQueueId, 1);
    EXPECT_EQ(queue->PostNotification(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(queue->PostNotification(notification), ZV_S_OK);
    EXPECT_TRUE(notification->IsPosted());
    EXPECT_EQ(queue->PostNotification(notification), ZV_E_INVALIDARG);
    EXPECT_EQ(queue->GetQueuedCount(), 1u);
    queue->ProcessNotifications(false);
    EXPECT_FALSE(notification->IsPosted());
    EXPECT_EQ(queue->PostNotification(notification), ZV_S_OK);
    queue->Clear();

    const RCPtr<LNotificationQueue> unattached(new LNotificationQueue);
    EXPECT_EQ(unattached->PostNotification(notification), ZV_E_FAIL);
    EXPECT_FALSE(notification->IsPosted());
    EXPECT_EQ(unattached->GetQueuedCount(), 0u);
    EXPECT_EQ(queue->AttachDistributor(distributor), ZV_E_FAIL);
    EXPECT_EQ(unattached->AttachDistributor(nullptr), ZV_S_OK);
    EXPECT_EQ(unattached->AttachDistributor(distributor), ZV_S_OK);
}

TEST_F(QueueTest, AClientThatThrowsDoesNotStopLaterProcessingAndItsNotificationIsRecycledClean)
{
    const NotificationPoolOn pool;
    const RCPtr<LRecordingClient> client = Registered("Client");
    client->onReceive = [](const auto&, const RCPtr<LNotification>& notification) {
        if (ValueOf(*notification) == 1) {
            throw std::runtime_error("client failure");
        }
    };
    const LNotification* failed = nullptr;
    {
        const RCPtr<LNotification> first = MakeNotification(kQueueId, 1);
        failed = first.Get();
        EXPECT_TRUE(Succeeded(queue->PostNotification(first)));
    }
    Post(2);
    Post(3);

    EXPECT_THROW(queue->ProcessNotifications(false), std::runtime_error);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1, 2, 3));

    // The failed notification went back to the pool first, so it comes out third.
    const RCPtr<LTestRecord> record = LTestRecord::Create(4);
    std::vector<RCPtr<LNotification>> reused;
    for (int i = 0; i < 3; ++i) {
        reused.push_back(LNotification::Create(L"NID_QUEUE_RECYCLED", record));
    }
    const RCPtr<LNotification>& recycled = reused[2];
    ASSERT_EQ(recycled.Get(), failed);
    EXPECT_EQ(recycled->GetId(), InternString(L"NID_QUEUE_RECYCLED"));
    EXPECT_EQ(recycled->GetParameter().Get(), record.Get());
    EXPECT_EQ(queue->PostNotification(recycled), ZV_S_OK);
}

TEST_F(QueueTest, AClientThatClearsOrLetsGoOfTheQueueDuringADeliveryEndsTheProcessingCleanly)
{
    const RCPtr<LRecordingClient> client = Registered("Client");
    client->onReceive = [&](const auto&, const RCPtr<LNotification>& notification) {
        if (ValueOf(*notification) == 1) {
            queue->Clear();
        } else if (ValueOf(*notification) == 3) {
            queue = nullptr;
        }
    };
    Post(1);
    Post(2);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1));

    Post(3);
    Post(4);
    LNotificationQueue* processing = queue.Get();
    EXPECT_FALSE(processing->ProcessNotifications(false));
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1, 3, 4));
    EXPECT_EQ(LCountedQueue::sLiving, 0);
    EXPECT_EQ(LTestRecord::sLiving, 0);
}

TEST_F(QueueTest, NotificationsLeftWithoutADistributorAreDroppedUnmarked)
{
    Registered("Client");
    const RCPtr<LNotification> notification = MakeNotification(kQueueId, 1);
    EXPECT_TRUE(Succeeded(queue->PostNotification(notification)));
    Post(2);
    queue->DetachDistributor();

    EXPECT_FALSE(queue->ProcessNotifications(true));

    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(notification->IsPosted());
    EXPECT_EQ(LTestRecord::sLiving, 1);
}

TEST_F(QueueTest, AReplacingPostTakesThePlaceOfTheWaitingOneOfItsIdAndLetsThatOneGo)
{
    constexpr const wchar_t* kProgressId = L"NID_QUEUE_PROGRESS";
    const RCPtr<LRecordingClient> client = Registered("Client");
    Registered("Progress", 0, kProgressId);
    const RCPtr<LRecordingClient> latest = Registered("Latest", kNotifyLatestOnly, kProgressId);
    const auto postProgress = [&](int value) {
        return queue->PostReplacingNotification(MakeNotification(kProgressId, value));
    };
    const RCPtr<LNotification> replaced = MakeNotification(kProgressId, 10);
    const RCPtr<LNotification> ordinary = MakeNotification(kProgressId, 20);

    Post(1);
    EXPECT_EQ(queue->PostReplacingNotification(replaced), ZV_S_OK);
    Post(2);
    EXPECT_EQ(queue->PostNotification(ordinary), ZV_S_OK);
    EXPECT_EQ(postProgress(11), ZV_S_OK);
    EXPECT_EQ(postProgress(12), ZV_S_OK);
    EXPECT_EQ(queue->GetQueuedCount(), 4u) << "each report took the place of the one before";
    EXPECT_FALSE(replaced->IsPosted()) << "a replaced notification has left the queue and may be posted again";
    EXPECT_EQ(LTestRecord::sLiving, 5) << "and what it alone held, the report 11, is gone";
    EXPECT_EQ(queue->PostReplacingNotification(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(queue->PostReplacingNotification(ordinary), ZV_E_INVALIDARG) << "it waits already";

    queue->ProcessNotifications(false);
    EXPECT_THAT(ValuesOf(log, "Client"), ElementsAre(1, 2));
    EXPECT_THAT(ValuesOf(log, "Progress"), ElementsAre(12, 20)) << "the newest report in the first one's place";
    EXPECT_THAT(ValuesOf(log, "Latest"), ElementsAre(12)) << "the newest of the id for a latest-only client";

    // Once the waiting report was taken, the next one queues anew, behind what came before it.
    Post(3);
    EXPECT_EQ(postProgress(13), ZV_S_OK);
    EXPECT_EQ(queue->GetQueuedCount(), 2u);
    log.clear();
    queue->ProcessNotifications(false);
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("Client", "Latest", "Progress"));
    EXPECT_EQ(LTestRecord::sLiving, 2);
}

TEST_F(QueueTest, AReplacingPostFindsTheWaitingOneWhereverTheRingWrappedAndGrewSince)
{
    constexpr const wchar_t* kProgressId = L"NID_QUEUE_PROGRESS";
    Registered("Client");
    Registered("Progress", 0, kProgressId);
    for (int i = 0; i < 200; ++i) {
        Post(-1);
    }
    queue->Clear();
    EXPECT_TRUE(Succeeded(queue->PostReplacingNotification(MakeNotification(kProgressId, 0))));
    for (int i = 0; i < 600; ++i) {
        Post(i);
    }
    EXPECT_GT(queue->GetQueueCapacity(), 600u);
    EXPECT_TRUE(Succeeded(queue->PostReplacingNotification(MakeNotification(kProgressId, 1))));
    queue->ProcessNotifications(false);
    ASSERT_EQ(log.size(), 601u);
    EXPECT_EQ(log.front().client, "Progress");
    EXPECT_EQ(log.front().value, 1);
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(log[static_cast<std::size_t>(i) + 1].value, i);
    }
}

TEST(QueueLifetime, AQueueAndItsPostingReceiverAreFreedWhenTheLastOutsideReferenceGoes)
{
    std::vector<Delivery> log;
    const RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor);
    ConstRCPtr<LNotificationReceiver> receiver;
    {
        const RCPtr<LCountedQueue> queue(new LCountedQueue);
        EXPECT_TRUE(Succeeded(queue->AttachDistributor(distributor)));
        EXPECT_TRUE(Succeeded(queue->PostNotification(MakeNotification(L"NID_QUEUE_LIFETIME", 1))));
        receiver = queue->GetPostingReceiver();
        EXPECT_EQ(queue->GetInternalRefCount(), 1);
    }
    EXPECT_EQ(LCountedQueue::sLiving, 0);
    EXPECT_EQ(LTestRecord::sLiving, 0);
    EXPECT_EQ(receiver->GetRefCount(), 1) << "the queue let its receiver go";
    EXPECT_EQ(distributor->GetRefCount(), 1);

    auto& orphan = const_cast<LNotificationReceiver&>(*receiver);
    orphan.ReceiveNotification(nullptr, MakeNotification(L"NID_QUEUE_LIFETIME", 2));
    EXPECT_EQ(LTestRecord::sLiving, 0);
}

// A queue whose client "Every" receives every notification of kId, posted by a worker thread while the test thread
// processes the queue.
class QueueThreads : public ::testing::Test {
protected:
    static constexpr const wchar_t* kId = L"NID_QUEUE_THREADS";

    QueueThreads()
    {
        EXPECT_TRUE(Succeeded(queue->AttachDistributor(distributor)));
        every->RegisterForNotification(distributor, kId, 0);
    }
    ~QueueThreads() override
    {
        if (worker.joinable()) {
            worker.join();
        }
        every->UnregisterAllNotifications();
    }

    // Posts the values 0 .. count - 1 from the worker, each with the given way of posting.
    void PostFromTheWorker(int count, ZVRESULT (LNotificationQueue::*post)(const RCPtr<LNotification>&))
    {
        worker = std::thread([this, count, post] {
            for (int i = 0; i < count; ++i) {
                (queue.Get()->*post)(MakeNotification(kId, i));
            }
            done = true;
        });
    }

    bool WorkerIsPosting() const { return !done || queue->GetQueuedCount() != 0; }

    std::vector<Delivery> log;
    const RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor};
    const RCPtr<LNotificationQueue> queue{new LNotificationQueue};
    const RCPtr<LRecordingClient> every = LRecordingClient::Create("Every", log);
    std::atomic<bool> done{false};
    std::thread worker;
};

TEST_F(QueueThreads, PostsFromAWorkerKeepLatestOnlyBookkeepingSafeWhileClientsComeAndGo)
{
    constexpr int kPosts = 3000;
    PostFromTheWorker(kPosts, &LNotificationQueue::PostNotification);
    std::vector<Delivery> latestLog;
    while (WorkerIsPosting()) {
        const RCPtr<LRecordingClient> latest = LRecordingClient::Create("Latest", latestLog);
        latest->RegisterForNotification(distributor, kId, kNotifyLatestOnly);
        queue->ProcessNotifications(false);
        latest->UnregisterAllNotifications();
    }

    const std::vector<int> values = ValuesOf(log, "Every");
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kPosts));
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_EQ(values[static_cast<std::size_t>(i)], i);
    }
    EXPECT_LE(latestLog.size(), values.size());
}

// A worker reports progress far faster than the user-interface thread takes it: the queue never holds more than
// one report, and the reports that arrive do so in the order they were made, the last one included.
TEST_F(QueueThreads, ReportsFromAWorkerNeverPileUpAndArriveNewerEachTime)
{
    constexpr int kReports = 5000;
    PostFromTheWorker(kReports, &LNotificationQueue::PostReplacingNotification);
    std::uint32_t mostQueued = 0;
    while (WorkerIsPosting()) {
        mostQueued = std::max(mostQueued, queue->GetQueuedCount());
        queue->ProcessNotifications(false);
    }

    EXPECT_LE(mostQueued, 1u);
    const std::vector<int> values = ValuesOf(log, "Every");
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back(), kReports - 1);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()) &&
                std::adjacent_find(values.begin(), values.end()) == values.end());
    EXPECT_EQ(LTestRecord::sLiving, 0) << "every replaced report was let go";
}

}  // namespace
}  // namespace ZV
