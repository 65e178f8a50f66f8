#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Notification/Notification.h"
#include "Notification/ValueParam.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::SubControl;

// Counts the instances alive: tagged onto menus, it goes with them.
class LLiveTag : public LRefCountedObject {
public:
    LLiveTag() { ++sLive; }
    ~LLiveTag() override { --sLive; }

    static inline int sLive = 0;
};

// Counts the notifications that reach it through its handler.
class LListeningControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    std::int32_t Heard(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        ++mHeard;
        return 1;
    }

    void ListenTo(const RCPtr<LControl>& sender, const wchar_t* id)
    {
        ASSERT_EQ(
            GetNotificationHandler().AddHandler(
                static_cast<LNotificationHandler<LControl>::MemberFunction>(&LListeningControl::Heard), sender, id, 0),
            0);
    }

    int mHeard = 0;
};

RCPtr<LMenuDescriptor> TaggedMenu()
{
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    EXPECT_GE(menu->InsertNewItem(0, L"Open", L"NID_OPEN_REQ", 1, 0), 0);
    EXPECT_GE(menu->InsertSeparator(1), 0);
    EXPECT_GE(menu->InsertNewItem(2, L"Close", L"NID_CLOSE_REQ", 1, 0), 0);
    menu->SetTag(new LLiveTag());
    return menu;
}

TEST(ControlLifetime, ATreeOfFiftyControlsWithMenusAndSubscriptionsAcrossItGoesWhollyWithItsLastReference)
{
    ControlHarness harness;
    harness.Register<LListeningControl>(L"Test.Listening");
    std::string groups;
    for (int group = 0; group < 7; ++group) {
        std::string items;
        for (int item = 0; item < 6; ++item) {
            const std::string attributes = item % 3 == 0 ? R"(ClipToParent="False")" : "";
            items += SubControl("Test.Listening", "item" + std::to_string(group) + std::to_string(item), attributes);
        }
        groups += SubControl("Test.Listening", "group" + std::to_string(group), "", items);
    }
    harness.LoadSkin(SubControl("Test.Listening", "main", "", groups));
    const std::int32_t baseline = LRecordingControl::GetLiveCount();
    RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_EQ(LRecordingControl::GetLiveCount() - baseline, 50);
    EXPECT_EQ(main->GetUnclippedDescendantCount(), 14);

    // Every control gets a menu and a menu item updater; each group listens to main and to its next group, each
    // item to its group and its next sibling, and main to every group; some use idle passes; the last group is
    // scheduled for removal.
    const auto visit = [&](const RCPtr<LControl>& control) {
        control->GetContextMenuDescriptor() = TaggedMenu();
        EXPECT_TRUE(control->GetMenuItemUpdater());
    };
    visit(main);
    auto* const mainListener = dynamic_cast<LListeningControl*>(main.Get());
    const LControl::ChildControlList& groupList = main->GetChildren();
    for (std::uint32_t g = 0; g < groupList.GetCount(); ++g) {
        const RCPtr<LControl>& group = groupList.GetAt(g, LControl::kInsertionOrder);
        auto* const groupListener = dynamic_cast<LListeningControl*>(group.Get());
        visit(group);
        groupListener->ListenTo(main, L"NID_VALUE_CHANGE");
        groupListener->ListenTo(groupList.GetAt((g + 1) % groupList.GetCount(), LControl::kInsertionOrder),
                                L"NID_LEFT_CLICK");
        mainListener->ListenTo(group, L"NID_RIGHT_CLICK");
        const LControl::ChildControlList& items = group->GetChildren();
        for (std::uint32_t i = 0; i < items.GetCount(); ++i) {
            const RCPtr<LControl>& item = items.GetAt(i, LControl::kInsertionOrder);
            visit(item);
            auto* const itemListener = dynamic_cast<LListeningControl*>(item.Get());
            itemListener->ListenTo(group, L"NID_LEFT_CLICK");
            itemListener->ListenTo(items.GetAt((i + 1) % items.GetCount(), LControl::kInsertionOrder),
                                   L"NID_LEFT_CLICK");
            if (i == 1) {
                EXPECT_EQ(item->BeginIdleNotifications(), 0);
            }
        }
    }
    EXPECT_EQ(LLiveTag::sLive, 50);

    const auto heard = [&](const wchar_t* name) {
        return dynamic_cast<LListeningControl&>(*main->FindChildByName(name)).mHeard;
    };
    (void)main->SendNotification(LNotification::Create(L"NID_VALUE_CHANGE", LValueParam::Create(0.5, 5)));
    (void)main->FindChildByName(L"group0")->SendNotification(LNotification::Create(L"NID_LEFT_CLICK", nullptr));
    (void)main->FindChildByName(L"group3")->SendNotification(LNotification::Create(L"NID_RIGHT_CLICK", nullptr));
    EXPECT_EQ(heard(L"group0"), 1);
    EXPECT_EQ(heard(L"group6"), 2) << "main's value and group0's click";
    EXPECT_EQ(dynamic_cast<LListeningControl&>(*main->FindChildByName(L"group0")->FindChildByName(L"item05")).mHeard,
              1);
    EXPECT_EQ(mainListener->mHeard, 1);

    EXPECT_EQ(main->ScheduleChildRemoval(main->FindChildByName(L"group6")), 0);
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(LRecordingControl::GetLiveCount() - baseline, 43) << "the removed group went with its items";
    EXPECT_EQ(LLiveTag::sLive, 43);
    (void)main->FindChildByName(L"group0")->SendNotification(LNotification::Create(L"NID_LEFT_CLICK", nullptr));
    EXPECT_EQ(heard(L"group5"), 1) << "its subscription to the removed group went too; group0's click is not its";

    harness.Window().SetRootControl(nullptr);
    EXPECT_EQ(static_cast<const LNotificationDistributor&>(harness.Window()).GetRegistrationCount(), 0u);
    main = nullptr;
    EXPECT_EQ(LRecordingControl::GetLiveCount(), baseline);
    EXPECT_EQ(LLiveTag::sLive, 0);
}

}  // namespace
}  // namespace ZV
