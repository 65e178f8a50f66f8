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

TEST_F(ClientTest, KeepsEachDistributorInItsSourcesUntilItsLastRegistrationThereGoesAndUnregisterAllDropsEveryOne)
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

    client->RegisterForNotification(first, L"NID_CLIENT_ONE", 0);
    client->RegisterForNotification(second, L"NID_CLIENT_ONE", 0);
    EXPECT_EQ(client->GetInternalRefCount(), 2);
    EXPECT_EQ(client->UnregisterAllNotifications(), 2);
    EXPECT_EQ(client->GetSources().GetCount(), 0u);
    EXPECT_EQ(client->GetInternalRefCount(), 0) << "every registration's internal reference goes with it";
    EXPECT_EQ(client->GetRefCount(), 1);
    EXPECT_EQ(first->GetRegistrationCount(), 0u);
}

}  // namespace
}  // namespace ZV
