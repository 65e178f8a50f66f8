#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinTestSupport.h"
#include "Notification/Notification.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::StringTable;
using Testing::SubControl;
using Testing::ThrowsText;

// Registrations held at the control as a distributor, and held by it as a client.
std::uint32_t SubscriberCount(const LControl& control)
{
    return static_cast<const LNotificationDistributor&>(control).GetRegistrationCount();
}

std::int32_t SubscriptionCount(const LControl& control)
{
    return static_cast<const LNotificationClient&>(control).GetRegistrationCount();
}

// Subscribes to its own "NID_TEST" and sends one while it initialises; counts what reaches it.
class LEagerControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT Initialize() override
    {
        const ZVRESULT result = LRecordingControl::Initialize();
        (void)GetNotificationHandler().AddHandler(
            static_cast<LNotificationHandler<LControl>::MemberFunction>(&LEagerControl::OnTest), this, L"NID_TEST", 0);
        (void)SendNotification(LNotification::Create(L"NID_TEST", nullptr));
        return result;
    }

    std::int32_t OnTest(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        Record("OnTest");
        return 1;
    }
};

TEST(ControlCreation, ATreeIsCreatedDepthFirstAndNotificationsReachAControlOnlyOnceItsCreationHasEnded)
{
    ControlHarness harness;
    harness.Register<LEagerControl>(L"Test.Eager");
    harness.LoadSkin(SubControl("Test.Eager", "main", "",
                                SubControl("Test.Control", "a", "", SubControl("Test.Control", "a1")) +
                                    SubControl("Test.Eager", "b")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    EXPECT_EQ(ControlEvents(),
              (std::vector<std::string>{"main ApplyDescriptor", "main CreateChildControls", "a ApplyDescriptor",
                                        "a CreateChildControls", "a1 ApplyDescriptor", "a1 CreateChildControls",
                                        "a1 Initialize", "a1 OnInitialized", "a Initialize", "a OnInitialized",
                                        "b ApplyDescriptor", "b CreateChildControls", "b Initialize", "b OnInitialized",
                                        "main Initialize", "main OnInitialized"}))
        << "the notifications sent while main and b initialised were dropped, not kept";
    EXPECT_TRUE(main->IsCreated());

    ControlEvents().clear();
    (void)main->SendNotification(LNotification::Create(L"NID_TEST", nullptr));
    (void)main->FindChildByName(L"b")->SendNotification(LNotification::Create(L"NID_TEST", nullptr));
    EXPECT_EQ(ControlEvents(), (std::vector<std::string>{"main OnTest", "b OnTest"}));

    // A control made outside a create function never counts as created.
    const RCPtr<LEagerControl> bare(new LEagerControl(nullptr, L"bare"));
    EXPECT_EQ(bare->Initialize(), 0);
    ControlEvents().clear();
    (void)bare->SendNotification(LNotification::Create(L"NID_TEST", nullptr));
    EXPECT_TRUE(ControlEvents().empty());
}

TEST(ControlCreation, TheFactoryBuildsByClassNameAndRefusesAClassNobodyRegisteredEveryTime)
{
    ControlHarness harness;
    harness.LoadSkin(
        SubControl("Test.Control", "main", R"(IsVisible="False")",
                   SubControl("Test.Control", "known") + SubControl("Test.Unknown", "unknown")) +
        SubControl("Test.Control", "other", R"(XMaxSizeAbs="70" YMaxSizeToControl="Children" YMaxSizeAbs="9")") +
        SubControl("Test.Nothing", "nothing"));
    const RCPtr<LControlDescriptor> main = harness.Factory().FindControlDescriptor(L"main");
    const std::int32_t baseline = LRecordingControl::GetLiveCount();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)harness.Factory().CreateControl(main, nullptr); },
                                                   "Runtime Error : ZV::LControlFactory::GetControlCreateFunction"))
            << "attempt " << attempt;
    }
    EXPECT_EQ(LRecordingControl::GetLiveCount(), baseline) << "what was built before the throw went with it";
    EXPECT_EQ(harness.Factory().CreateControl(nullptr, nullptr), nullptr);

    (void)harness.Factory().RegisterControlCreateFunction(L"Test.Nothing", nullptr);
    EXPECT_EQ(harness.CreateRoot(L"nothing"), nullptr) << "a class registered without a function makes nothing";
    EXPECT_EQ(harness.CreateRoot(L"missing"), nullptr);

    harness.Register<LRecordingControl>(L"Test.Unknown");
    const RCPtr<LControl> root = harness.CreateRoot(L"main");
    ASSERT_TRUE(root);
    EXPECT_TRUE(main->GetLayoutDescriptor()->isVisible) << "the skin's own layout is shown from now on";
    EXPECT_TRUE(root->GetLayoutDescriptor()->isVisible);
    EXPECT_EQ(root->GetRootWindowRef().Get(), static_cast<IRootWindow*>(&harness.Window()));
    EXPECT_EQ(root->FindChildByName(L"unknown")->GetRootWindowRef(), root->GetRootWindowRef());
    EXPECT_EQ(root->GetControlDescriptor().Get(), main.Get());
    EXPECT_NE(root->GetLayoutDescriptor().Get(), main->GetLayoutDescriptor().Get()) << "a copy of its own";

    const RCPtr<LControl> other = harness.Factory().CreateControlByName(L"other", nullptr);
    EXPECT_EQ(other->GetDescriptorSize(), PointT<double>(70, 0)) << "a maximum measured against itself";
    EXPECT_EQ(harness.Factory().ApplySkinToControl(other), 0);
    EXPECT_EQ(harness.Factory().ApplySkinToControl(root->FindChildByName(L"known")), ZV_E_FAIL) << "not top-level";
    EXPECT_EQ(harness.Factory().ApplySkinToControl(nullptr), ZV_E_FAIL);
}

TEST(ControlCreation, InitialisingReadsTheToolTipAndTheLocalHotKeysAndListensToThePartnersOfThoseKeys)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "keyed") + SubControl("Test.Control", "refused") +
                                    SubControl("Test.Control", "plain")));
    harness.LoadStrings(StringTable("|Test", {{"TITLE", "Application"}}) +
                        StringTable("Test|main", {{"TOOLTIP", "Main tip"}, {"LHK.NID_MAIN_REQ", "Ctrl+VKEY_M"}}) +
                        StringTable("Test.Control|keyed", {{"LHK.NID_FIRST_REQ", "Ctrl+VKEY_S"},
                                                           {"LHK.NID_SECOND_REQ", "Ctrl+VKEY_S"},
                                                           {"LHK.NID_HELP_REQ", "VKEY_F1"},
                                                           {"TITLE", "Keyed"}}) +
                        StringTable("Test.Control|refused", {{"LHK.", "VKEY_F2"}}));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> keyed = main->FindChildByName(L"keyed");
    const RCPtr<LControl> refused = main->FindChildByName(L"refused");
    const RCPtr<LControl> plain = main->FindChildByName(L"plain");

    EXPECT_EQ(Testing::Text(main->GetToolTipText()), "Main tip");
    EXPECT_EQ(Testing::Text(keyed->GetToolTipText()), "") << "no TOOLTIP entry";
    EXPECT_EQ(Testing::Text(keyed->GetString(L"TITLE")), "Keyed");
    EXPECT_EQ(Testing::Text(keyed->GetString(L"MISSING")), "");
    EXPECT_EQ(Testing::Text(plain->GetString(L"TITLE")), "") << "no table";

    const KeyCode ctrlS(0x53, true, 0, kModifierCtrl);
    EXPECT_TRUE(keyed->HasHotKey(ctrlS));
    EXPECT_FALSE(keyed->HasHotKey(KeyCode(0x53, true, 0, 0)));
    EXPECT_EQ(keyed->GetHotKeyCode(L"NID_FIRST_REQ").code, ctrlS.code);
    EXPECT_EQ(keyed->GetHotKeyCode(L"NID_SECOND_REQ").code, KeyCode::kNoKey) << "the key belongs to the first id";
    EXPECT_EQ(keyed->GetHotKeyCode(L"NID_HELP_REQ").code, KeyCode(0x70, true, 0, 0).code);
    EXPECT_EQ(plain->GetHotKeyCode(L"NID_FIRST_REQ").code, KeyCode::kNoKey);
    EXPECT_TRUE(main->HasHotKey(KeyCode(0x4D, true, 0, kModifierCtrl)));

    // Only a child with local hot keys listens to its parent's sibling keys; a top-level control has no parent.
    EXPECT_EQ(SubscriberCount(*main), 1u);
    EXPECT_EQ(SubscriptionCount(*keyed), 1);
    EXPECT_EQ(SubscriptionCount(*refused), 0) << "an entry whose id is empty gives no hot key";
    EXPECT_EQ(SubscriptionCount(*plain), 0);
    EXPECT_EQ(SubscriptionCount(*main), 0);
}

}  // namespace
}  // namespace ZV
