#include "Notification/AutoNotificationDisabler.h"
#include "Notification/NotificationHandler.h"
#include "NotificationTestSupport.h"
#include "DebuggerOutputCapture.h"
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace ZV {

// A base class whose member functions the owner binds as its own.
class LHandlerOwnerBase {
public:
    std::int32_t OnBaseNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        calls.push_back("base");
        return 1;
    }

    std::vector<std::string> calls;
};

// An owner as the controls are: the client base is virtual, the handler is held by counted pointer, notifications
// are offered to the handler, and unregistering erases the binding first.
class LHandlerOwner : public virtual LNotificationClient, public LHandlerOwnerBase {
public:
    LHandlerOwner() : handler(new LNotificationHandler<LHandlerOwner>(this)) {}

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        if (handler->HandleNotification(sender, notification) == 0) {
            calls.push_back("unhandled");
        }
    }

    ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                       const wchar_t* id) override
    {
        handler->EraseHandler(distributor, id);
        return LNotificationClient::UnregisterForNotification(distributor, id);
    }

    std::int32_t OnFirst(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        calls.push_back("first");
        return 1;
    }
    std::int32_t OnSecond(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        calls.push_back("second");
        return 0;
    }

    RCPtr<LNotificationHandler<LHandlerOwner>> handler;
};

// An owner whose registrations can be made to fail, as a registration that gives no id does.
class LRefusingOwner : public LNotificationClient {
public:
    LRefusingOwner() : handler(new LNotificationHandler<LRefusingOwner>(this)) {}

    const wchar_t* RegisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                           const wchar_t* id, std::uint32_t flags)
    {
        return refuse ? nullptr : LNotificationClient::RegisterForNotification(distributor, id, flags);
    }

    std::int32_t OnNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        return 1;
    }

    RCPtr<LNotificationHandler<LRefusingOwner>> handler;
    bool refuse = false;
};

namespace {

using ::testing::ElementsAre;
using Testing::TextMatchesThrow;
using Testing::ThrownText;

constexpr const wchar_t* kId = L"NID_HANDLER_TEST";

class HandlerTest : public ::testing::Test {
protected:
    ~HandlerTest() override { owner->UnregisterAllNotifications(); }

    RCPtr<LHandlerOwner> owner{new LHandlerOwner};
    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor};
    RCPtr<LNotificationDistributor> other{new LNotificationDistributor};
};

TEST_F(HandlerTest, CallsTheFirstFunctionBoundToTheSenderAndIdOnlyUntilTheDistributorLetsItsClientsGo)
{
    EXPECT_EQ(owner->handler->AddHandler(&LHandlerOwner::OnFirst, distributor, kId, 0), ZV_S_OK);
    EXPECT_EQ(owner->handler->AddHandler(&LHandlerOwner::OnBaseNotification, distributor, L"NID_HANDLER_BASE", 0),
              ZV_S_OK);
    owner->RegisterForNotification(other, kId, 0);

    EXPECT_TRUE(Succeeded(distributor->SendNotification(LNotification::Create(kId, nullptr))));
    EXPECT_TRUE(Succeeded(distributor->SendNotification(LNotification::Create(L"NID_HANDLER_BASE", nullptr))));
    EXPECT_TRUE(Succeeded(other->SendNotification(LNotification::Create(kId, nullptr))));

    EXPECT_THAT(owner->calls, ElementsAre("first", "base", "unhandled"));

    EXPECT_TRUE(Succeeded(owner->handler->AddHandler(&LHandlerOwner::OnSecond, distributor, kId, kNotifyLatestOnly)));
    LNotificationHandler<LHandlerOwner>::MemberFunction bound = nullptr;
    std::uint32_t flags = 0;
    EXPECT_EQ(owner->handler->GetHandler(distributor, kId, bound, flags), ZV_S_OK);
    EXPECT_EQ(bound, &LHandlerOwner::OnFirst) << "the first function bound to a pair stays";
    EXPECT_EQ(flags, kNotifyLatestOnly) << "but the new flags are taken";

    EXPECT_TRUE(Succeeded(distributor->UnregisterAllClients()));
    EXPECT_EQ(owner->handler->GetHandler(distributor, kId, bound, flags), ZV_E_FAIL)
        << "a distributor letting its clients go takes the bindings with the registrations";
    EXPECT_FALSE(owner->handler->EraseHandler(distributor, kId));
}

TEST_F(HandlerTest, AMappedIdIsHandledOnlyWhenTheNotificationHasNoSenderUntilItIsUnmapped)
{
    EXPECT_EQ(owner->handler->MapHandler(&LHandlerOwner::OnSecond, L"NID_HANDLER_DIRECT"), ZV_S_OK);
    owner->RegisterForNotification(distributor, L"NID_HANDLER_DIRECT", 0);
    const RCPtr<LNotification> notification = LNotification::Create(L"NID_HANDLER_DIRECT", nullptr);

    owner->ReceiveNotification(nullptr, notification);
    EXPECT_TRUE(Succeeded(distributor->SendNotification(notification)));
    EXPECT_EQ(owner->handler->HandleNotification(nullptr, notification), 0) << "the mapped function answers 0";

    EXPECT_EQ(owner->handler->UnmapHandler(L"NID_HANDLER_DIRECT"), ZV_S_OK);
    EXPECT_EQ(owner->handler->UnmapHandler(L"NID_HANDLER_DIRECT"), ZV_E_FAIL);
    owner->ReceiveNotification(nullptr, notification);
    EXPECT_THAT(owner->calls, ElementsAre("second", "unhandled", "unhandled", "second", "unhandled"));
}

TEST_F(HandlerTest, ADisablerTakesTheSubscriptionAwayForItsScopeAndPutsItBackServedFirst)
{
    std::vector<Delivery> log;
    const RCPtr<LRecordingClient> before = LRecordingClient::Create("Before", log);
    EXPECT_TRUE(Succeeded(owner->handler->AddHandler(&LHandlerOwner::OnFirst, distributor, kId, kNotifyLatestOnly)));
    before->RegisterForNotification(distributor, kId, 0);
    {
        const CAutoNotificationDisabler<LHandlerOwner> disabler(owner->handler, distributor, kId);
        EXPECT_EQ(owner->GetRegistrationCount(), 0);
        LNotificationHandler<LHandlerOwner>::MemberFunction bound = nullptr;
        std::uint32_t flags = 0;
        EXPECT_EQ(owner->handler->GetHandler(distributor, kId, bound, flags), ZV_E_FAIL);
    }
    LNotificationHandler<LHandlerOwner>::MemberFunction bound = nullptr;
    std::uint32_t flags = 0;
    EXPECT_EQ(owner->handler->GetHandler(distributor, kId, bound, flags), ZV_S_OK);
    EXPECT_EQ(bound, &LHandlerOwner::OnFirst);
    EXPECT_EQ(flags, kNotifyLatestOnly);
    const RCPtr<LNotificationDistributor::LNotificationClientPool> pool =
        distributor->FindClientPool(InternString(kId));
    EXPECT_EQ(pool->IndexOfClient(ConstRCPtr<LNotificationClient>(owner)), 1);
}

TEST_F(HandlerTest, ADisablerForASubscriptionThatDoesNotExistThrowsFailedResult)
{
    using Disabler = CAutoNotificationDisabler<LHandlerOwner>;
    EXPECT_TRUE(TextMatchesThrow(
        ThrownText<FailedResultException>([&] { const Disabler disabler(owner->handler, distributor, kId); }),
        "Failed Result : ZVRESULT = 80004005 : ZV::CAutoNotificationDisabler<class ZV::LHandlerOwner>"
        "::CAutoNotificationDisabler"));
}

TEST(AutoNotificationDisabler, AFailedRestoreThrowsUnlessAnExceptionIsPassingThenItGoesToTheDebugOutput)
{
    const RCPtr<LRefusingOwner> owner(new LRefusingOwner);
    const RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor);
    const std::string expected = "Failed Result : ZVRESULT = 80004005 : "
                                 "ZV::CAutoNotificationDisabler<class ZV::LRefusingOwner>::~CAutoNotificationDisabler";

    EXPECT_TRUE(Succeeded(owner->handler->AddHandler(&LRefusingOwner::OnNotification, distributor, kId, 0)));
    bool thrown = false;
    try {
        const CAutoNotificationDisabler<LRefusingOwner> disabler(owner->handler, distributor, kId);
        owner->refuse = true;
    } catch (const FailedResultException& exception) {
        thrown = true;
        EXPECT_TRUE(TextMatchesThrow(exception.what(), expected));
    }
    EXPECT_TRUE(thrown);

    owner->refuse = false;
    EXPECT_TRUE(Succeeded(owner->handler->AddHandler(&LRefusingOwner::OnNotification, distributor, kId, 0)));
    Testing::DebuggerOutputCapture debugger;
    try {
        const CAutoNotificationDisabler<LRefusingOwner> disabler(owner->handler, distributor, kId);
        owner->refuse = true;
        throw std::runtime_error("the first failure");
    } catch (const std::runtime_error& exception) {
        EXPECT_STREQ(exception.what(), "the first failure");
    }
    ASSERT_EQ(debugger.Texts().size(), 1u);
    std::string text = debugger.Texts()[0];
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    EXPECT_TRUE(TextMatchesThrow(text, expected));
    owner->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
