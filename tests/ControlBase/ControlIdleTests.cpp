#include "ControlBase/Harness/ControlHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LFakeRootWindow;
using Testing::LRecordingControl;
using Testing::SubControl;

// How many subscriptions the window's notification side holds: the controls' "NID_IDLE" ones.
std::uint32_t IdleSubscriptions(const LFakeRootWindow& window)
{
    return static_cast<const LNotificationDistributor&>(window).GetRegistrationCount();
}

bool Happened(const std::string& event)
{
    return std::find(ControlEvents().begin(), ControlEvents().end(), event) != ControlEvents().end();
}

std::string ThreeChildren()
{
    return SubControl("Test.Control", "main", "",
                      SubControl("Test.Control", "a") + SubControl("Test.Control", "b") +
                          SubControl("Test.Control", "c"));
}

TEST(ControlIdle, ChildrenScheduledInOneTurnAreDetachedAtTheNextIdlePassWithOneSubscriptionThatGoesWithThem)
{
    ControlHarness harness;
    harness.LoadSkin(ThreeChildren());
    RCPtr<LControl> main = harness.CreateRoot(L"main");
    const std::int32_t live = LRecordingControl::GetLiveCount();

    EXPECT_EQ(main->ScheduleChildRemoval(main->FindChildByName(L"a")), 0);
    EXPECT_EQ(main->ScheduleChildRemoval(main->FindChildByName(L"c")), 0);
    EXPECT_EQ(main->GetIdleSubscriberCount(), 1);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 1u);
    EXPECT_EQ(main->GetChildren().GetCount(), 3u) << "nothing goes before the idle pass";
    EXPECT_EQ(LRecordingControl::GetLiveCount(), live);

    ControlEvents().clear();
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(ControlEvents(),
              (std::vector<std::string>{"main OnChildRemoved a 0", "main OnChildRemoved c 1", "main OnIdle"}));
    EXPECT_EQ(main->GetChildren().GetCount(), 1u);
    EXPECT_EQ(LRecordingControl::GetLiveCount(), live - 2) << "the detached children are gone";
    EXPECT_EQ(main->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);

    ControlEvents().clear();
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_TRUE(ControlEvents().empty()) << "no idle pass reaches the control any more";

    const RCPtr<LControl> stranger(new LRecordingControl(nullptr, L"stranger"));
    EXPECT_EQ(main->ScheduleChildRemoval(stranger), ZV_E_INVALIDARG);
    EXPECT_EQ(main->ScheduleChildRemoval(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(main->GetIdleSubscriberCount(), 0);
}

TEST(ControlIdle, AScheduledChildThatMovedToAnotherParentBeforeTheIdlePassStaysThere)
{
    ControlHarness harness;
    harness.LoadSkin(ThreeChildren());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> a = main->FindChildByName(L"a");
    const RCPtr<LControl> b = main->FindChildByName(L"b");
    const RCPtr<LControl> c = main->FindChildByName(L"c");

    EXPECT_EQ(main->ScheduleChildRemoval(a), 0);
    EXPECT_EQ(main->ScheduleChildRemoval(c), 0);
    EXPECT_EQ(a->SetParent(b), 0);
    EXPECT_EQ(main->ScheduleChildRemoval(a), ZV_E_INVALIDARG) << "no longer main's";

    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(a->GetParent().Get(), b.Get());
    EXPECT_EQ(c->GetParent(), nullptr);
    EXPECT_EQ(main->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);

    // Attaching a child first finishes the new parent's scheduled removals.
    EXPECT_EQ(b->ScheduleChildRemoval(a), 0);
    EXPECT_EQ(c->SetParent(b), 0);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(b->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);
}

// Schedules its sibling for removal while it is itself detached.
class LSchedulingControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void Detach() override
    {
        if (const RCPtr<LControl> parent = GetParent()) {
            (void)parent->ScheduleChildRemoval(parent->FindChildByName(L"b"));
        }
        LRecordingControl::Detach();
    }
};

TEST(ControlIdle, AChildScheduledWhileOthersAreDetachedWaitsForTheNextPassWithItsOwnSubscription)
{
    ControlHarness harness;
    harness.Register<LSchedulingControl>(L"Test.Scheduling");
    harness.LoadSkin(
        SubControl("Test.Control", "main", "", SubControl("Test.Scheduling", "a") + SubControl("Test.Control", "b")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    EXPECT_EQ(main->ScheduleChildRemoval(main->FindChildByName(L"a")), 0);

    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(main->GetChildren().GetCount(), 1u);
    EXPECT_EQ(main->GetIdleSubscriberCount(), 1);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 1u);

    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(main->GetChildren().GetCount(), 0u);
    EXPECT_EQ(main->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);
}

TEST(ControlIdle, EndingMoreOftenThanBegunChangesNothingAndDetachingEndsEveryUse)
{
    ControlHarness harness;
    harness.LoadSkin(ThreeChildren());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> a = main->FindChildByName(L"a");

    EXPECT_EQ(a->EndIdleNotifications(), 1);
    EXPECT_EQ(a->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(a->BeginIdleNotifications(), 0) << "subscribes at once, owing nothing";
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 1u);
    EXPECT_EQ(a->BeginIdleNotifications(), 0);
    EXPECT_EQ(a->EndIdleNotifications(), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 1u) << "one user is left";
    ControlEvents().clear();
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_EQ(ControlEvents(), (std::vector<std::string>{"a OnIdle"}));

    EXPECT_EQ(a->BeginIdleNotifications(), 0);
    EXPECT_EQ(a->BeginIdleNotifications(), 0);
    a->Detach();
    EXPECT_EQ(a->GetIdleSubscriberCount(), 0);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);
    EXPECT_EQ(a->EndIdleNotifications(), 1);

    harness.Window().SetRootControl(nullptr);
    EXPECT_EQ(main->GetRootWindowRef(), nullptr) << "a top-level control that is detached lets its window go";
}

TEST(ControlIdle, AControlWithoutAWindowCountsItsUsersAndSubscribesWhereverItsTreeArrives)
{
    ControlHarness harness;
    harness.LoadSkin(ThreeChildren() + SubControl("Test.Control", "loose"));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> loose =
        harness.Factory().CreateControl(harness.Factory().FindControlDescriptor(L"loose"), nullptr);
    EXPECT_EQ(loose->BeginIdleNotifications(), 0);
    EXPECT_EQ(loose->GetIdleSubscriberCount(), 1);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);

    EXPECT_EQ(loose->SetParent(main->FindChildByName(L"b")), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 1u);
    ControlEvents().clear();
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_TRUE(Happened("loose OnIdle"));

    // Moved into a tree in another window, it is served there and no longer here.
    const RCPtr<LFakeRootWindow> other = LFakeRootWindow::Create();
    const RCPtr<LControl> otherRoot(new LRecordingControl(nullptr, L"otherRoot"));
    other->SetRootControl(otherRoot);
    EXPECT_EQ(loose->SetParent(otherRoot), 0);
    EXPECT_EQ(IdleSubscriptions(harness.Window()), 0u);
    EXPECT_EQ(IdleSubscriptions(*other), 1u);
    ControlEvents().clear();
    EXPECT_FALSE(harness.PumpIdle());
    EXPECT_FALSE(Happened("loose OnIdle"));
    EXPECT_FALSE(other->OnIdle(true));
    EXPECT_TRUE(Happened("loose OnIdle"));

    // A whole tree that changes windows takes its subscriptions along.
    const RCPtr<LFakeRootWindow> third = LFakeRootWindow::Create();
    EXPECT_EQ(otherRoot->SetRootWindow(third), 0);
    EXPECT_EQ(IdleSubscriptions(*other), 0u);
    EXPECT_EQ(IdleSubscriptions(*third), 1u);
    EXPECT_EQ(loose->EndIdleNotifications(), 0);
    EXPECT_EQ(IdleSubscriptions(*third), 0u);
    other->SetRootControl(nullptr);
}

}  // namespace
}  // namespace ZV
