#include "Notification/InternTable.h"
#include "Notification/NotificationLock.h"
#include "NotificationTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace ZV {
namespace {

using ::testing::ElementsAre;

constexpr const wchar_t* kDistributorId = L"NID_DISTRIBUTOR_TEST";

bool IsActive(const LNotificationDistributor* distributor)
{
    MutexLock lock(GetNotificationLock());
    const RCPtrArray<LNotificationDistributor, 1, 0>& active = GetNotificationDistributors();
    for (std::uint32_t i = 0; i < active.GetCount(); ++i) {
        if (active.GetItemPointer(i)->Get() == distributor) {
            return true;
        }
    }
    return false;
}

class DistributorTest : public ::testing::Test {
protected:
    RCPtr<LRecordingClient> Registered(const char* name, std::uint32_t flags = 0)
    {
        RCPtr<LRecordingClient> client = LRecordingClient::Create(name, log);
        client->RegisterForNotification(distributor, kDistributorId, flags);
        return client;
    }

    ZVRESULT Send(int value = 0) { return distributor->SendNotification(MakeNotification(kDistributorId, value)); }

    std::vector<Delivery> log;
    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor};
};

TEST_F(DistributorTest, DeliversToTheMostRecentlyRegisteredClientFirstWithItselfAsSender)
{
    const RCPtr<LRecordingClient> a = Registered("A");
    const RCPtr<LRecordingClient> b = Registered("B");
    const RCPtr<LRecordingClient> c = Registered("C");
    const RCPtr<LNotification> notification = MakeNotification(kDistributorId, 1);

    EXPECT_EQ(distributor->SendNotification(notification), ZV_S_OK);

    EXPECT_THAT(ClientsInOrder(log), ElementsAre("C", "B", "A"));
    for (const Delivery& delivery : log) {
        EXPECT_EQ(delivery.sender, distributor.Get());
        EXPECT_EQ(delivery.notification, notification.Get());
    }

    log.clear();
    const RCPtr<LRecordingClient> latest = Registered("Latest", kNotifyLatestOnly);
    EXPECT_EQ(distributor->SendNotification(notification), ZV_S_OK);
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("C", "B", "A")) << "a latest-only client ignores direct sends";
}

TEST_F(DistributorTest, ClientsRemovedDuringADeliveryAreNotServedOthersOnceAndOnesAddedOnlyFromTheNext)
{
    const RCPtr<LRecordingClient> a = Registered("A");
    const RCPtr<LRecordingClient> b = Registered("B");
    const RCPtr<LRecordingClient> c = Registered("C");

    // B leaves while it receives.
    b->onReceive = [&](const auto&, const auto&) { (void)b->UnregisterForNotification(distributor, kDistributorId); };
    Send();
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("C", "B", "A"));
    b->onReceive = nullptr;

    // C, served first, removes A, which is still to come.
    log.clear();
    c->onReceive = [&](const auto&, const auto&) { (void)a->UnregisterForNotification(distributor, kDistributorId); };
    Send();
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("C"));
    c->onReceive = nullptr;

    // A late client removes one that was served already.
    const RCPtr<LRecordingClient> d = Registered("D");
    const RCPtr<LRecordingClient> e = Registered("E");
    log.clear();
    d->onReceive = [&](const auto&, const auto&) { (void)e->UnregisterForNotification(distributor, kDistributorId); };
    Send();
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("E", "D", "C"));
    d->onReceive = nullptr;

    // A client registered during a delivery receives only the next notification.
    const RCPtr<LRecordingClient> late = LRecordingClient::Create("Late", log);
    c->onReceive = [&](const auto&, const auto&) { late->RegisterForNotification(distributor, kDistributorId, 0); };
    log.clear();
    Send();
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("D", "C"));
    log.clear();
    Send();
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("Late", "D", "C"));
}

TEST_F(DistributorTest, ANestedDeliveryOfTheSameIdLetsTheOuterOneServeEveryRemainingClientAndSkipsOneRemoved)
{
    const RCPtr<LRecordingClient> a = Registered("A");
    const RCPtr<LRecordingClient> b = Registered("B");
    const RCPtr<LRecordingClient> c = Registered("C");
    const RCPtr<LRecordingClient> d = Registered("D");
    bool nested = false;
    b->onReceive = [&](const auto&, const auto&) {
        if (!nested) {
            nested = true;
            Send(2);
        }
    };
    Send(1);
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("D", "C", "B", "D", "C", "B", "A", "A"));

    // A client removed inside the nested delivery is skipped by both.
    b->onReceive = nullptr;
    log.clear();
    nested = false;
    c->onReceive = [&](const auto&, const auto&) {
        if (!nested) {
            nested = true;
            Send(2);
        } else {
            EXPECT_TRUE(Succeeded(a->UnregisterForNotification(distributor, kDistributorId)));
        }
    };
    Send(1);
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("D", "C", "D", "C", "B", "B"));
}

TEST_F(DistributorTest, RegisteringAgainKeepsOneEntryWithTheNewFlagsAndBadArgumentsAreRefused)
{
    EXPECT_EQ(Send(), ZV_S_FALSE);
    EXPECT_EQ(distributor->SendNotification(nullptr), ZV_E_INVALIDARG);
    {
        const RCPtr<LRecordingClient> a = Registered("A");
        EXPECT_TRUE(Succeeded(a->UnregisterForNotification(distributor, kDistributorId)));
    }
    EXPECT_EQ(Send(), ZV_S_FALSE);

    const RCPtr<LRecordingClient> b = LRecordingClient::Create("B", log);
    const ConstRCPtr<LNotificationClient> client(b);
    std::uint32_t flags = 0;
    EXPECT_EQ(distributor->RegisterClient(client, kDistributorId, 0), ZV_S_OK);
    EXPECT_EQ(distributor->RegisterClient(client, kDistributorId, kNotifyLatestOnly), ZV_S_FALSE);
    EXPECT_EQ(distributor->GetClientFlags(client, kDistributorId, flags), ZV_S_OK);
    EXPECT_EQ(flags, kNotifyLatestOnly);
    EXPECT_EQ(distributor->GetRegistrationCount(), 1u);
    EXPECT_EQ(distributor->UnregisterClient(client, kDistributorId), ZV_S_OK);

    EXPECT_EQ(distributor->RegisterClient(nullptr, kDistributorId, 0), ZV_E_INVALIDARG);
    EXPECT_EQ(distributor->RegisterClient(client, L"", 0), ZV_S_FALSE);
    EXPECT_EQ(distributor->UnregisterClient(client, L"NID_NEVER_REGISTERED"), ZV_S_FALSE);
    EXPECT_EQ(distributor->UnregisterClient(client, nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(distributor->UnregisterClient(nullptr, kDistributorId), ZV_E_INVALIDARG);
    EXPECT_EQ(distributor->UnregisterClientFromAll(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(distributor->GetClientFlags(client, kDistributorId, flags), ZV_E_FAIL);
    EXPECT_EQ(distributor->GetClientFlags(client, L"", flags), ZV_E_FAIL);
    EXPECT_TRUE(log.empty());
}

TEST(DistributorLifetime, ADistributorAndItsClientsAreFreedWhenTheirOwnersLetGoInEitherOrder)
{
    std::vector<Delivery> log;
    for (const bool distributorFirst : {true, false}) {
        RCPtr<LCountedDistributor> distributor(new LCountedDistributor);
        RCPtr<LRecordingClient> a = LRecordingClient::Create("A", log);
        RCPtr<LRecordingClient> b = LRecordingClient::Create("B", log);
        a->RegisterForNotification(distributor, L"NID_LIFETIME_ONE", 0);
        a->RegisterForNotification(distributor, L"NID_LIFETIME_TWO", 0);
        b->RegisterForNotification(distributor, L"NID_LIFETIME_ONE", 0);
        const LNotificationDistributor* address = distributor.Get();
        EXPECT_TRUE(IsActive(address));

        if (distributorFirst) {
            distributor = nullptr;
            EXPECT_EQ(LCountedDistributor::sLiving, 1) << "its clients still point at it";
            a = nullptr;
            b = nullptr;
        } else {
            a = nullptr;
            b = nullptr;
            EXPECT_EQ(LRecordingClient::sLiving, 0);
            EXPECT_FALSE(IsActive(address));
            distributor = nullptr;
        }
        EXPECT_EQ(LCountedDistributor::sLiving, 0);
        EXPECT_EQ(LRecordingClient::sLiving, 0);
    }
}

TEST(DistributorThreads, ASenderOnAnotherThreadReachesEveryRegisteredClientWhileRegistrationsChange)
{
    constexpr int kSends = 5000;
    const RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor);
    std::atomic<int> steadyReceived{0};
    std::atomic<int> comingAndGoingReceived{0};

    // Clients that record only counts: they are called on the sender's thread.
    class LCountingClient : public LNotificationClient {
    public:
        explicit LCountingClient(std::atomic<int>& received) : mReceived(received) {}
        void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
        {
            ++mReceived;
        }

    private:
        std::atomic<int>& mReceived;
    };
    const RCPtr<LCountingClient> steady(new LCountingClient(steadyReceived));
    steady->RegisterForNotification(distributor, L"NID_THREADED_SEND", 0);

    std::thread sender([&] {
        const RCPtr<LNotification> notification = LNotification::Create(L"NID_THREADED_SEND", nullptr);
        for (int i = 0; i < kSends; ++i) {
            EXPECT_TRUE(Succeeded(distributor->SendNotification(notification)));
        }
    });
    while (steadyReceived < kSends) {
        const RCPtr<LCountingClient> comingAndGoing(new LCountingClient(comingAndGoingReceived));
        comingAndGoing->RegisterForNotification(distributor, L"NID_THREADED_SEND", 0);
        comingAndGoing->RegisterForNotification(distributor, L"NID_THREADED_OTHER", 0);
        EXPECT_TRUE(
            Succeeded(comingAndGoing->UnregisterForNotification(distributor, InternString(L"NID_THREADED_SEND"))));
        // Two threads letting a client's last outside references go at once would race in the release rule.
        comingAndGoing->UnregisterAllNotifications();
    }
    sender.join();

    EXPECT_EQ(steadyReceived, kSends);
    EXPECT_EQ(distributor->GetRegistrationCount(), 1u);
}

}  // namespace
}  // namespace ZV
