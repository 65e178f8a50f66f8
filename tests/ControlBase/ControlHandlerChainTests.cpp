#include "ControlBase/Harness/ControlHarness.h"
#include "Notification/Notification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::SubControl;

// A class with a handler of its own over the control's.
class LMiddleControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT Initialize() override
    {
        const ZVRESULT result = LRecordingControl::Initialize();
        mMiddleHandler = new LNotificationHandler<LMiddleControl>(this);
        (void)GetNotificationHandler().AddHandler(
            static_cast<LNotificationHandler<LControl>::MemberFunction>(&LMiddleControl::Heard<'C'>), this,
            L"NID_TEST_LOW", 0);
        (void)mMiddleHandler->AddHandler(&LMiddleControl::Heard<'M'>, this, L"NID_TEST_BOTH", 0);
        (void)mMiddleHandler->AddHandler(&LMiddleControl::Heard<'M'>, this, L"NID_TEST_MIDDLE", 0);
        return result;
    }

    template <char kLevel>
    std::int32_t Heard(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
    {
        const std::wstring id = notification->GetId();
        Record(std::string(1, kLevel) + " " + std::string(id.begin(), id.end()));
        return 1;
    }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override
    {
        return OfferToHandler(mMiddleHandler, sender, notification) ||
               LRecordingControl::OfferToNotificationHandlers(sender, notification);
    }
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override
    {
        EraseFromHandler(mMiddleHandler, distributor, id);
        LRecordingControl::EraseNotificationBindings(distributor, id);
    }

private:
    RCPtr<LNotificationHandler<LMiddleControl>> mMiddleHandler;
};

// The most derived level: it binds one notification its base binds too, and has no handler until asked.
class LTopControl : public LMiddleControl {
public:
    using LMiddleControl::LMiddleControl;

    void BindOwn()
    {
        mTopHandler = new LNotificationHandler<LTopControl>(this);
        (void)mTopHandler->AddHandler(&LTopControl::Heard<'T'>, this, L"NID_TEST_BOTH", 0);
    }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override
    {
        return OfferToHandler(mTopHandler, sender, notification) ||
               LMiddleControl::OfferToNotificationHandlers(sender, notification);
    }
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override
    {
        EraseFromHandler(mTopHandler, distributor, id);
        LMiddleControl::EraseNotificationBindings(distributor, id);
    }

private:
    RCPtr<LNotificationHandler<LTopControl>> mTopHandler;
};

TEST(ControlHandlerChain, ANotificationGoesToTheMostDerivedBindingAndUnsubscribingClearsEveryLevel)
{
    ControlHarness harness;
    harness.Register<LTopControl>(L"Test.Top");
    harness.LoadSkin(SubControl("Test.Top", "main"));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    auto& top = static_cast<LTopControl&>(*main);
    const auto send = [&](const wchar_t* id) {
        ControlEvents().clear();
        (void)main->SendNotification(LNotification::Create(id, nullptr));
        return ControlEvents();
    };
    using Events = std::vector<std::string>;

    EXPECT_EQ(send(L"NID_TEST_LOW"), (Events{"main C NID_TEST_LOW"})) << "past a level without a handler";
    EXPECT_EQ(send(L"NID_TEST_BOTH"), (Events{"main M NID_TEST_BOTH"}));
    top.BindOwn();
    EXPECT_EQ(send(L"NID_TEST_BOTH"), (Events{"main T NID_TEST_BOTH"})) << "the derived binding only";

    EXPECT_EQ(main->UnregisterForNotification(main, L"NID_TEST_BOTH"), 0);
    EXPECT_TRUE(send(L"NID_TEST_BOTH").empty()) << "gone from both levels and unsubscribed";
    EXPECT_EQ(send(L"NID_TEST_MIDDLE"), (Events{"main M NID_TEST_MIDDLE"})) << "other bindings stay";
}

}  // namespace
}  // namespace ZV
