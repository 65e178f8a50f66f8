#include "Notification/InternTable.h"
#include "NotificationTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace ZV {
namespace {

using ::testing::ElementsAre;

constexpr const wchar_t* kId = L"NID_QUEUE_TEST";

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
    QueueTest() { queue->AttachDistributor(distributor); }
    ~QueueTest() override
    {
        for (const RCPtr<LRecordingClient>& client : clients) {
            client->UnregisterAllNotifications();
        }
    }

    RCPtr<LRecordingClient> Registered(const char* name, std::uint32_t flags = 0, const wchar_t* id = kId)
    {
        RCPtr<LRecordingClient> client = LRecordingClient::Create(name, log);
        client->RegisterForNotification(distributor, id, flags);
        clients.push_back(client);
        return client;
    }

    ZVRESULT Post(int value, const wchar_t* id = kId) { return queue->PostNotification(MakeNotification(id, value)); }

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
    const RCPtr<LNotification> notification = MakeNotification(kId, 1);
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
        const RCPtr<LNotification> first = MakeNotification(kId, 1);
        failed = first.Get();
        queue->PostNotification(first);
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
    const RCPtr<LNotification> notification = MakeNotification(kId, 1);
    queue->PostNotification(notification);
    Post(2);
    queue->DetachDistributor();

    EXPECT_FALSE(queue->ProcessNotifications(true));

    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(notification->IsPosted());
    EXPECT_EQ(LTestRecord::sLiving, 1);
}

TEST(QueueLifetime, AQueueAndItsPostingReceiverAreFreedWhenTheLastOutsideReferenceGoes)
{
    std::vector<Delivery> log;
    const RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor);
    ConstRCPtr<LNotificationReceiver> receiver;
    {
        const RCPtr<LCountedQueue> queue(new LCountedQueue);
        queue->AttachDistributor(distributor);
        queue->PostNotification(MakeNotification(L"NID_QUEUE_LIFETIME", 1));
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

TEST(QueueThreads, PostsFromAWorkerKeepLatestOnlyBookkeepingSafeWhileClientsComeAndGo)
{
    constexpr int kPosts = 3000;
    std::vector<Delivery> log;
    const RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor);
    const RCPtr<LNotificationQueue> queue(new LNotificationQueue);
    queue->AttachDistributor(distributor);
    const RCPtr<LRecordingClient> every = LRecordingClient::Create("Every", log);
    every->RegisterForNotification(distributor, L"NID_QUEUE_THREADS", 0);

    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kPosts; ++i) {
            queue->PostNotification(MakeNotification(L"NID_QUEUE_THREADS", i));
        }
        done = true;
    });
    std::vector<Delivery> latestLog;
    while (!done || queue->GetQueuedCount() != 0) {
        const RCPtr<LRecordingClient> latest = LRecordingClient::Create("Latest", latestLog);
        latest->RegisterForNotification(distributor, L"NID_QUEUE_THREADS", kNotifyLatestOnly);
        queue->ProcessNotifications(false);
        latest->UnregisterAllNotifications();
    }
    worker.join();

    const std::vector<int> values = ValuesOf(log, "Every");
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kPosts));
    for (int i = 0; i < kPosts; ++i) {
        ASSERT_EQ(values[static_cast<std::size_t>(i)], i);
    }
    EXPECT_LE(latestLog.size(), values.size());
    every->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
