#include "ControlBase/Harness/ControlHarness.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::SubControl;
using Testing::ThrowsText;

std::string NameOf(const RCPtr<LControl>& control)
{
    return control ? control->GetName().ToUTF8().GetData() : "<none>";
}

// The children's names in one of the three orders.
std::vector<std::string> Names(const LControl& parent, std::int32_t order)
{
    std::vector<std::string> names;
    for (std::uint32_t index = 0; index < parent.GetChildren().GetCount(); ++index) {
        names.push_back(NameOf(parent.GetChildren().GetAt(index, order)));
    }
    return names;
}

const RCPtr<LControl>& Child(const RCPtr<LControl>& parent, const wchar_t* name)
{
    return parent->FindChildByName(name);
}

TEST(ControlTree, SkinBuiltChildrenLeaveOutDeferredAndDuplicateOnesAndSortTheirOrdersOnlyAfterAChange)
{
    ControlHarness harness;
    const std::int32_t baseline = LRecordingControl::GetLiveCount();
    harness.LoadSkin(SubControl(
        "Test.Control", "main", "",
        SubControl("Test.Control", "a", R"(LayoutOrder="1" TabStop="3" Z_Order="5")") +
            SubControl("Test.Control", "b", R"(LayoutOrder="2" TabStop="1" ClipToParent="False" Z_Order="1")",
                       SubControl("Test.Control", "b1", R"(ClipToParent="False")")) +
            SubControl("Test.Control", "c", R"(LayoutOrder="3" TabStop="2" XIsDocked="True")") +
            SubControl("Test.Control", "a", R"(LayoutOrder="4")", SubControl("Test.Control", "duplicateChild")) +
            SubControl("Test.Control", "d",
                       R"(LayoutOrder="5" TabStop="1" XIsDocked="True" YIsDocked="True" Z_Order="-1")") +
            SubControl("Test.Control", "deferred", R"(LayoutOrder="6")", "", {{"DEFER_CREATE", " TRUE\t\r\n"}}) +
            SubControl("Test.Control", "yes", R"(LayoutOrder="7")", "", {{"DEFER_CREATE", "yes"}}) +
            SubControl("Test.Control", "one", R"(LayoutOrder="8")", "", {{"DEFER_CREATE", "1"}})));
    RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);

    EXPECT_EQ(Names(*main, LControl::kInsertionOrder), (std::vector<std::string>{"a", "b", "c", "d", "yes", "one"}));
    // Clipped first, then by docked axes, then Z_Order, then insertion; tab stops ascending, ties by insertion.
    EXPECT_EQ(Names(*main, LControl::kLayoutOrder), (std::vector<std::string>{"yes", "one", "a", "c", "d", "b"}));
    EXPECT_EQ(Names(*main, LControl::kTabOrder), (std::vector<std::string>{"yes", "one", "b", "d", "c", "a"}));
    EXPECT_EQ(NameOf(Child(main, L"a")->GetParent()), "main");
    EXPECT_EQ(Child(Child(main, L"a"), L"duplicateChild"), nullptr) << "the kept a is the first one";
    EXPECT_EQ(LRecordingControl::GetLiveCount() - baseline, 8) << "main, six children and b1: the second a is gone";
    EXPECT_EQ(main->GetUnclippedDescendantCount(), 2);
    EXPECT_EQ(Child(main, L"b")->GetUnclippedDescendantCount(), 1);

    // A rule changed behind the list's back shows only once something that moves the orders happens.
    Child(main, L"a")->GetLayoutDescriptor()->zOrder = -10;
    EXPECT_EQ(NameOf(main->GetChildren().GetAt(0, LControl::kLayoutOrder)), "yes");
    const RCPtr<LControl> late(new LRecordingControl(main, L"late"));
    EXPECT_EQ(Names(*main, LControl::kLayoutOrder),
              (std::vector<std::string>{"a", "yes", "one", "late", "c", "d", "b"}));
    EXPECT_EQ(Names(*main, LControl::kTabOrder), (std::vector<std::string>{"yes", "one", "late", "b", "d", "c", "a"}));
    EXPECT_EQ(main->IndexOfChild(late.Get(), LControl::kInsertionOrder), 6);
    EXPECT_EQ(main->IndexOfChild(late.Get(), LControl::kLayoutOrder), 3);
    EXPECT_EQ(main->IndexOfChild(main.Get(), LControl::kTabOrder), -1);

    const std::uint32_t count = main->GetChildren().GetCount();
    EXPECT_TRUE(
        ThrowsText<std::runtime_error>([&] { (void)main->GetChildren().GetAt(count, LControl::kInsertionOrder); },
                                       "Runtime Error : ZV::LControl::ChildControlList::GetAt"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)main->GetChildren().GetAt(count, LControl::kTabOrder); },
                                               "Runtime Error : ZV::LControl::ChildControlList::GetAt"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)main->GetChildren().GetAt(0, 3); },
                                               "Runtime Error : ZV::LControl::ChildControlList::GetAt"));

    harness.Window().SetRootControl(nullptr);
    main = nullptr;
    EXPECT_EQ(LRecordingControl::GetLiveCount() - baseline, 1) << "only the late control held by the test is left";
    EXPECT_EQ(late->GetParent(), nullptr);
}

TEST(ControlTree, AttachingAndDetachingASubtreeMovesEveryAncestorsUnclippedCountByItsUnclippedControls)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "middle", "", SubControl("Test.Control", "leaf"))) +
                     SubControl("Test.Control", "sub", "",
                                SubControl("Test.Control", "u1", R"(ClipToParent="False")",
                                           SubControl("Test.Control", "u2", R"(ClipToParent="False")")) +
                                    SubControl("Test.Control", "u3", R"(ClipToParent="False")") +
                                    SubControl("Test.Control", "clipped")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> middle = Child(main, L"middle");
    const RCPtr<LControl> leaf = Child(middle, L"leaf");
    const RCPtr<LControl> sub =
        harness.Factory().CreateControl(harness.Factory().FindControlDescriptor(L"sub"), nullptr);
    ASSERT_TRUE(sub);
    const RCPtr<LControl> u1 = Child(sub, L"u1");
    const RCPtr<LControl> u2 = Child(u1, L"u2");
    EXPECT_EQ(sub->GetUnclippedDescendantCount(), 3);
    EXPECT_EQ(u1->GetUnclippedDescendantCount(), 1);

    const auto counts = [&] {
        return std::vector<std::int32_t>{main->GetUnclippedDescendantCount(), middle->GetUnclippedDescendantCount(),
                                         leaf->GetUnclippedDescendantCount()};
    };
    EXPECT_EQ(sub->SetParent(leaf), 0);
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{3, 3, 3}));
    EXPECT_EQ(sub->SetParent(leaf), 1) << "already there";

    EXPECT_TRUE(u2->SetStateFlag(true));
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{2, 2, 2}));
    EXPECT_EQ(u1->GetUnclippedDescendantCount(), 0);
    EXPECT_FALSE(u2->SetStateFlag(false));
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{3, 3, 3}));

    // A skin applied again whose layout clips the control takes it out of the counts; its descendants stay in.
    const RCPtr<LLayoutDescriptor> clipping(new LLayoutDescriptor());
    EXPECT_EQ(
        u1->ApplyDescriptor(LControlFactory::DeriveControlDescriptor(u1->GetControlDescriptor(), clipping, L"u1")), 0);
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{2, 2, 2}));
    EXPECT_EQ(u1->ApplyDescriptor(u1->GetControlDescriptor()), 0);
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{2, 2, 2})) << "the descriptor kept is the clipping one";
    EXPECT_EQ(u1->ApplyDescriptor(harness.Factory().FindControlDescriptor(L"sub")->GetSubControls().GetData()[0]), 0);
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{3, 3, 3}));

    EXPECT_EQ(sub->SetParent(nullptr), 0);
    EXPECT_EQ(counts(), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(sub->GetUnclippedDescendantCount(), 3);
}

TEST(ControlTree, AParentThatWouldCloseARingOrHasTheNameIsRefusedAndTheListReportsWhatItDid)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "a", "", SubControl("Test.Control", "inner")) +
                                    SubControl("Test.Control", "b")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> a = Child(main, L"a");
    const RCPtr<LControl> inner = Child(a, L"inner");

    EXPECT_EQ(a->SetParent(inner), ZV_E_INVALIDARG);
    EXPECT_EQ(a->SetParent(a), ZV_E_INVALIDARG);
    EXPECT_EQ(main->SetParent(inner), ZV_E_INVALIDARG);
    EXPECT_EQ(NameOf(a->GetParent()), "main");
    EXPECT_EQ(NameOf(inner->GetTopControl()), "main");

    const RCPtr<LControl> stranger(new LRecordingControl(nullptr, L"b"));
    EXPECT_EQ(stranger->SetParent(main), 0) << "the parent's answer is not passed on";
    EXPECT_EQ(stranger->GetParent(), nullptr) << "a child has the name";
    EXPECT_EQ(main->GetChildren().Add(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(main->GetChildren().Remove(stranger), -1);
    EXPECT_EQ(main->GetChildren().Add(stranger.Get()), ZV_E_FAIL);

    EXPECT_EQ(inner->SetParent(main), 0);
    EXPECT_EQ(a->GetChildren().Clear(), 1) << "already empty";
    EXPECT_EQ(main->GetChildren().Clear(), 0);
    EXPECT_EQ(Testing::ControlEvents().back(), "main OnChildRemoved a 0") << "removed from the last to the first";
    EXPECT_EQ(inner->GetParent(), nullptr);
    EXPECT_EQ(main->GetChildren().GetCount(), 0u);
}

// Lets go of its previous sibling when its tree reaches a window, as a hook may.
class LSiblingDropper : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void ProcessRootWindowAquired() override
    {
        Record("ProcessRootWindowAquired");
        if (const RCPtr<LControl> parent = GetParent()) {
            const std::int32_t index = parent->IndexOfChild(this, kInsertionOrder);
            if (index > 0) {
                (void)parent->GetChildren()
                    .GetAt(static_cast<std::uint32_t>(index) - 1, kInsertionOrder)
                    ->SetParent(nullptr);
            }
        }
        LRecordingControl::ProcessRootWindowAquired();
    }
};

TEST(ControlTree, AHookThatChangesTheChildrenWhileTheyAreWalkedSkipsTheOnesItTookAway)
{
    ControlHarness harness;
    harness.Register<LSiblingDropper>(L"Test.SiblingDropper");
    harness.LoadSkin(SubControl("Test.SiblingDropper", "main", "",
                                SubControl("Test.SiblingDropper", "first") +
                                    SubControl("Test.SiblingDropper", "second") +
                                    SubControl("Test.SiblingDropper", "third")));
    const RCPtr<LControl> main =
        harness.Factory().CreateControl(harness.Factory().FindControlDescriptor(L"main"), nullptr);
    Testing::ControlEvents().clear();

    EXPECT_EQ(main->SetRootWindow(harness.WindowRef()), 0);
    // From the last child to the first: third drops second, which is not asked; first drops nothing.
    EXPECT_EQ(Testing::ControlEvents(),
              (std::vector<std::string>{"main ProcessRootWindowAquired", "third ProcessRootWindowAquired",
                                        "main OnChildRemoved second 1", "first ProcessRootWindowAquired"}));
    EXPECT_EQ(Names(*main, LControl::kInsertionOrder), (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(Child(main, L"first")->SetRootWindow(harness.WindowRef()), ZV_E_FAIL) << "a child has no window";
}

}  // namespace
}  // namespace ZV
