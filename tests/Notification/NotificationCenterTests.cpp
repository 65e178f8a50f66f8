#include "Notification/IdleProcessing.h"
#include "Notification/InternTable.h"
#include "Notification/NotificationCenterManager.h"
#include "NotificationTestSupport.h"
#include "Utilities/Storage/ArrayBuffer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace ZV {
namespace {

using ::testing::ElementsAre;

// A root window's share of idle processing, recorded into the same log as the clients.
class RecordingRootWindow : public IIdleProcessor {
public:
    RecordingRootWindow(std::string name, std::vector<Delivery>& log, bool pending)
        : mName(std::move(name)), mLog(log), mPending(pending)
    {
    }

    bool OnIdle(bool sendIdle) override
    {
        mLog.push_back({mName + (sendIdle ? " idle" : ""), nullptr, nullptr, nullptr, -1});
        return mPending;
    }

private:
    std::string mName;
    std::vector<Delivery>& mLog;
    bool mPending;
};

// Every test starts and ends without the process-wide manager.
class CenterManagerTest : public ::testing::Test {
protected:
    CenterManagerTest() { LNotificationCenterManager::GetInstance() = nullptr; }
    ~CenterManagerTest() override
    {
        for (const RCPtr<LRecordingClient>& client : clients) {
            client->UnregisterAllNotifications();
        }
        LNotificationCenterManager::GetInstance() = nullptr;
    }

    RCPtr<LRecordingClient> RegisteredAt(const RCPtr<LNotificationCenter>& centre, const char* name, const wchar_t* id)
    {
        RCPtr<LRecordingClient> client = LRecordingClient::Create(name, log);
        client->RegisterForNotification(ConstRCPtr<LNotificationDistributor>(centre), id, 0);
        clients.push_back(client);
        return client;
    }

    std::vector<Delivery> log;
    std::vector<RCPtr<LRecordingClient>> clients;
};

TEST_F(CenterManagerTest, FindsOrMakesCentresByExactNameAndRefusesAnEmptyOne)
{
    LNotificationCenterManager& manager = *LNotificationCenterManager::GetInstance();
    EXPECT_FALSE(manager.FindNotificationCenter(L"first"));
    const RCPtr<LNotificationCenter> first = manager.GetNotificationCenter(L"first");
    ASSERT_TRUE(first);
    EXPECT_EQ(manager.GetNotificationCenter(L"first").Get(), first.Get());
    EXPECT_EQ(manager.FindNotificationCenter(L"first").Get(), first.Get());
    const RCPtr<LNotificationCenter> upper = manager.GetNotificationCenter(L"FIRST");
    EXPECT_NE(upper.Get(), first.Get());
    EXPECT_FALSE(manager.GetNotificationCenter(L""));
    EXPECT_EQ(manager.GetNotificationCenter(L"application").Get(), GetApplicationNotificationCenter().Get());
}

TEST_F(CenterManagerTest, IdleProcessingDrainsTheCentresLastCreatedFirstThenTheRootWindowsLastFirst)
{
    LNotificationCenterManager& manager = *LNotificationCenterManager::GetInstance();
    const RCPtr<LNotificationCenter> older = manager.GetNotificationCenter(L"older");
    const RCPtr<LNotificationCenter> newer = manager.GetNotificationCenter(L"newer");
    RegisteredAt(older, "Older", L"NID_CENTRE_ORDER");
    RegisteredAt(newer, "Newer", L"NID_CENTRE_ORDER");
    RegisteredAt(older, "Older idle", L"NID_IDLE");
    EXPECT_TRUE(Succeeded(older->PostNotification(MakeNotification(L"NID_CENTRE_ORDER", 1))));
    EXPECT_TRUE(Succeeded(newer->PostNotification(MakeNotification(L"NID_CENTRE_ORDER", 2))));
    RecordingRootWindow firstWindow("First window", log, false);
    RecordingRootWindow secondWindow("Second window", log, false);
    ArrayBuffer<IIdleProcessor*> windows;
    EXPECT_TRUE(Succeeded(windows.AddItem(&firstWindow)));
    EXPECT_TRUE(Succeeded(windows.AddItem(&secondWindow)));

    EXPECT_FALSE(ProcessIdleNotifications(true, windows));
    EXPECT_THAT(ClientsInOrder(log),
                ElementsAre("Newer", "Older", "Older idle", "Second window idle", "First window idle"));

    log.clear();
    RecordingRootWindow busyWindow("Busy window", log, true);
    EXPECT_TRUE(Succeeded(windows.AddItem(&busyWindow)));
    EXPECT_TRUE(ProcessIdleNotifications(false, windows));
    EXPECT_THAT(ClientsInOrder(log), ElementsAre("Busy window", "Second window", "First window"));
}

TEST_F(CenterManagerTest, ReleasingTheManagerLetsEveryCentreGoWithoutUnsubscribing)
{
    const RCPtr<LRecordingClient> client =
        RegisteredAt(GetApplicationNotificationCenter(), "Client", L"NID_CENTRE_END");
    EXPECT_TRUE(
        Succeeded(GetApplicationNotificationCenter()->PostNotification(MakeNotification(L"NID_CENTRE_END", 1))));
    const ConstRCPtr<LNotificationReceiver> receiver = GetApplicationNotificationCenter()->GetPostingReceiver();

    LNotificationCenterManager::GetInstance() = nullptr;

    EXPECT_EQ(client->GetRegistrationCount(), 0);
    EXPECT_EQ(client->GetRefCount(), 2);
    EXPECT_EQ(receiver->GetRefCount(), 1);
    EXPECT_EQ(LTestRecord::sLiving, 0);
    EXPECT_TRUE(log.empty());
}

TEST(CenterLifetime, ACentreWithClientsAndQueuedNotificationsIsFreedWhenItsLastOutsideReferenceGoes)
{
    std::vector<Delivery> log;
    const RCPtr<LRecordingClient> client = LRecordingClient::Create("Client", log);
    {
        const RCPtr<LCountedCenter> centre(new LCountedCenter(L"counted"));
        EXPECT_EQ(centre->GetInternalRefCount(), 2);
        client->RegisterForNotification(ConstRCPtr<LNotificationDistributor>(centre), L"NID_CENTRE_COUNTED", 0);
        EXPECT_TRUE(Succeeded(centre->PostNotification(MakeNotification(L"NID_CENTRE_COUNTED", 1))));
        EXPECT_EQ(LCountedCenter::sLiving, 1);
    }
    EXPECT_EQ(LCountedCenter::sLiving, 0);
    EXPECT_EQ(client->GetRegistrationCount(), 0);
    EXPECT_EQ(client->GetInternalRefCount(), 0);
    EXPECT_EQ(LTestRecord::sLiving, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(CenterManagerTest, ThreadsLookingUpCentresAtOnceAllGetTheSameOnes)
{
    constexpr int kThreads = 4;
    std::vector<const LNotificationCenter*> application(kThreads);
    std::vector<const LNotificationCenter*> shared(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &application, &shared] {
            application[static_cast<std::size_t>(t)] = GetApplicationNotificationCenter().Get();
            shared[static_cast<std::size_t>(t)] =
                LNotificationCenterManager::GetInstance()->GetNotificationCenter(L"shared").Get();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 1; t < kThreads; ++t) {
        EXPECT_EQ(application[static_cast<std::size_t>(t)], application[0]);
        EXPECT_EQ(shared[static_cast<std::size_t>(t)], shared[0]);
    }
    EXPECT_NE(application[0], shared[0]);
}

}  // namespace
}  // namespace ZV
