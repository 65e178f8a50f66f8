#include "Notification/InternTable.h"
#include "NotificationTestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

class ClientTest : public ::testing::Test {
protected:
    std::vector<Delivery> log;
    RCPtr<LNotificationDistributor> first{new LNotificationDistributor};
    RCPtr<LNotificationDistributor> second{new LNotificationDistributor};
    RCPtr<LRecordingClient> client = LRecordingClient::Create("Client", log);
};

TEST_F(ClientTest, KeepsEachDistributorItIsRegisteredAtInItsSourcesUntilItsLastRegistrationThereGoes)
{
    client->RegisterForNotification(first, L"NID_CLIENT_ONE", 0);
    client->RegisterForNotification(second, L"NID_CLIENT_ONE", 0);
    client->RegisterForNotification(first, L"NID_CLIENT_TWO", 0);
    ASSERT_EQ(client->GetSources().GetCount(), 2u);
    EXPECT_EQ(*client->GetSources().GetItemPointer(0), first.Get());
    EXPECT_EQ(*client->GetSources().GetItemPointer(1), second.Get());

    EXPECT_EQ(client->UnregisterForNotification(second, InternString(L"NID_CLIENT_ONE")), ZV_S_OK);
    ASSERT_EQ(client->GetSources().GetCount(), 1u);
    EXPECT_EQ(client->UnregisterForNotification(first, InternString(L"NID_CLIENT_ONE")), ZV_S_OK);
    EXPECT_EQ(client->GetSources().GetCount(), 1u);
    EXPECT_EQ(client->UnregisterForNotification(first, InternString(L"NID_CLIENT_TWO")), ZV_S_OK);
    EXPECT_EQ(client->GetSources().GetCount(), 0u);
    EXPECT_EQ(client->GetRegistrationCount(), 0);
}

TEST_F(ClientTest, RegisteringTwiceCountsOnceAndGivesTheCanonicalIdBothTimes)
{
    const wchar_t* id = client->RegisterForNotification(first, L"NID_CLIENT_TWICE", 0);
    EXPECT_EQ(id, InternString(L"NID_CLIENT_TWICE"));
    EXPECT_EQ(client->RegisterForNotification(first, L"NID_CLIENT_TWICE", kNotifyLatestOnly), id);
    EXPECT_EQ(client->GetRegistrationCount(), 1);
    EXPECT_EQ(client->GetInternalRefCount(), 1);
    EXPECT_EQ(client->GetSources().GetCount(), 1u);

    EXPECT_EQ(client->RegisterForNotification(nullptr, L"NID_CLIENT_TWICE", 0), nullptr);
    EXPECT_EQ(client->RegisterForNotification(first, L"", 0), nullptr);
}

TEST_F(ClientTest, UnregisteringAnswersOneWithoutRegistrationsAndRefusesNullArgumentsOtherwise)
{
    EXPECT_EQ(client->UnregisterForNotification(nullptr, nullptr), ZV_S_FALSE);
    client->RegisterForNotification(first, L"NID_CLIENT_ARGUMENTS", 0);
    EXPECT_EQ(client->UnregisterForNotification(nullptr, InternString(L"NID_CLIENT_ARGUMENTS")), ZV_E_INVALIDARG);
    EXPECT_EQ(client->UnregisterForNotification(first, nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(client->UnregisterForNotification(second, InternString(L"NID_CLIENT_ARGUMENTS")), ZV_S_FALSE);
    EXPECT_EQ(client->GetRegistrationCount(), 1);
}

TEST_F(ClientTest, UnregisterAllNotificationsDropsEveryRegistrationAndItsInternalReferences)
{
    client->RegisterForNotification(first, L"NID_CLIENT_ALL_ONE", 0);
    client->RegisterForNotification(first, L"NID_CLIENT_ALL_TWO", 0);
    client->RegisterForNotification(second, L"NID_CLIENT_ALL_ONE", 0);
    EXPECT_EQ(client->GetInternalRefCount(), 3);
    EXPECT_EQ(client->GetRefCount(), 4);

    EXPECT_EQ(client->UnregisterAllNotifications(), 3);

    EXPECT_EQ(client->GetRegistrationCount(), 0);
    EXPECT_EQ(client->GetSources().GetCount(), 0u);
    EXPECT_EQ(client->GetInternalRefCount(), 0);
    EXPECT_EQ(client->GetRefCount(), 1);
    EXPECT_EQ(first->GetRegistrationCount(), 0u);
    EXPECT_EQ(second->GetRegistrationCount(), 0u);
    EXPECT_EQ(client->UnregisterAllNotifications(), 0);
}

TEST_F(ClientTest, ReleasingTheLastOutsideReferenceUnregistersTheClientEverywhereAndFreesIt)
{
    client->RegisterForNotification(first, L"NID_CLIENT_RELEASE", 0);
    client->RegisterForNotification(second, L"NID_CLIENT_RELEASE", 0);
    ASSERT_EQ(LRecordingClient::sLiving, 1);

    client = nullptr;

    EXPECT_EQ(LRecordingClient::sLiving, 0);
    EXPECT_EQ(first->GetRegistrationCount(), 0u);
    EXPECT_EQ(second->GetRegistrationCount(), 0u);
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(first->SendNotification(LNotification::Create(L"NID_CLIENT_RELEASE", nullptr)), ZV_S_FALSE);
}

}  // namespace
}  // namespace ZV
