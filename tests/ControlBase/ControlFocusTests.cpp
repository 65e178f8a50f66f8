#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/KeyParams.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::KeyRouter;
using Testing::LFakeRootWindow;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::SubControl;

// Keeps the focus once it has it.
class LStubbornControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;
    bool CanReleaseFocus() override { return false; }
};

void CollectTree(const RCPtr<LControl>& control, std::vector<RCPtr<LControl>>& controls)
{
    controls.push_back(control);
    for (std::uint32_t index = 0; index < control->GetChildren().GetCount(); ++index) {
        CollectTree(control->GetChildren().GetAt(index, LControl::kInsertionOrder), controls);
    }
}

bool Has(const LControl& control, std::uint32_t condition)
{
    return (control.GetConditions() & condition) != 0;
}

// The focus as the tree and the window hold it: the focused control's name, or "nobody"; a control that would be
// a second holder, an ancestor that does not contain the focus, a container off its path, or a window that names
// another control fails.
::testing::AssertionResult FocusIsOn(LFakeRootWindow& window, const RCPtr<LControl>& top, const std::string& name)
{
    std::vector<RCPtr<LControl>> controls;
    CollectTree(top, controls);
    std::vector<RCPtr<LControl>> focused;
    for (const RCPtr<LControl>& control : controls) {
        if (Has(*control, ConditionMask::kHasFocus)) {
            focused.push_back(control);
        }
    }
    if (focused.size() > 1) {
        return ::testing::AssertionFailure() << focused.size() << " controls have the focus";
    }
    const RCPtr<LControl> holder = focused.empty() ? nullptr : focused.front();
    const std::string holderName = holder ? std::string(holder->GetName().ToUTF8().GetData()) : "nobody";
    if (holderName != name) {
        return ::testing::AssertionFailure() << "the focus is on " << holderName;
    }
    if (window.GetFocusControl() != holder) {
        return ::testing::AssertionFailure() << "the window names another focused control";
    }
    std::vector<const LControl*> path;
    for (const LControl* ancestor = holder ? holder->GetParent().Get() : nullptr; ancestor != nullptr;
         ancestor = ancestor->GetParent().Get()) {
        path.push_back(ancestor);
    }
    for (const RCPtr<LControl>& control : controls) {
        const bool onPath = std::find(path.begin(), path.end(), control.Get()) != path.end();
        if (onPath != Has(*control, ConditionMask::kContainsFocus)) {
            return ::testing::AssertionFailure() << control->GetName().ToUTF8().GetData()
                                                 << (onPath ? " does not contain" : " contains") << " the focus";
        }
    }
    if (holder && !(Has(*holder, ConditionMask::kVisible) && Has(*holder, ConditionMask::kEnabled))) {
        return ::testing::AssertionFailure() << holderName << " is hidden or disabled";
    }
    return ::testing::AssertionSuccess();
}

// main holds a panel of a, b and c (in tab order b, c, a) and a label that takes no focus; every control is
// 50 by 50 and, but for the label, focusable.
struct FocusTree {
    explicit FocusTree(ControlHarness& harness) : window(harness.Window())
    {
        harness.LoadSkin(SubControl(
            "Test.Control", "main", "",
            SubControl("Test.Control", "panel", "",
                       SubControl("Test.Control", "a", R"(TabStop="3")") +
                           SubControl("Test.Control", "b", R"(TabStop="1")") +
                           SubControl("Test.Control", "c", R"(TabStop="2")")) +
                SubControl("Test.Control", "label")));
        main = harness.CreateRoot(L"main");
        ControlTestAccess::PlaceTree(*main, {0, 0, 50, 50});
        panel = main->FindChildByName(L"panel");
        a = panel->FindChildByName(L"a");
        b = panel->FindChildByName(L"b");
        c = panel->FindChildByName(L"c");
        label = main->FindChildByName(L"label");
        for (const RCPtr<LControl>& control : {main, panel, a, b, c}) {
            control->SetNotFocusable(false);
        }
        label->SetNotFocusable(true);
    }

    ::testing::AssertionResult FocusIsOn(const std::string& name) { return ZV::FocusIsOn(window, main, name); }

    LFakeRootWindow& window;
    RCPtr<LControl> main, panel, a, b, c, label;
};

TEST(ControlFocus, AHiddenOrDisabledHolderHandsTheFocusToItsParentsFirstFocusableChildElseToItsParent)
{
    ControlHarness harness;
    FocusTree tree(harness);

    EXPECT_EQ(tree.main->SetFocus(true), 1);
    EXPECT_TRUE(tree.FocusIsOn("b")) << "the first in tab order";
    EXPECT_EQ(tree.main->SetFocus(false), 0) << "a container that holds it keeps it where it is";
    EXPECT_EQ(tree.c->SetFocus(true), 1) << "the branch that had it let it go";
    EXPECT_TRUE(tree.FocusIsOn("c"));

    EXPECT_FALSE(tree.c->SetVisible(false));
    EXPECT_TRUE(tree.FocusIsOn("b"));
    tree.b->SetEnabled(false);
    EXPECT_TRUE(tree.FocusIsOn("a"));
    EXPECT_FALSE(tree.a->SetVisible(false));
    EXPECT_TRUE(tree.FocusIsOn("panel")) << "nothing left in it to take the focus";

    // Shown again under a parent that holds the focus, a control takes it over.
    EXPECT_TRUE(tree.a->SetVisible(true));
    EXPECT_TRUE(tree.FocusIsOn("a"));
    tree.b->SetEnabled(true);
    EXPECT_TRUE(tree.FocusIsOn("a"));

}

TEST(ControlFocus, AFocusedControlThatWillNotLetGoKeepsTheFocusAndNothingChanges)
{
    ControlHarness harness;
    harness.Register<LStubbornControl>(L"Test.Stubborn");
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Stubborn", "stubborn") + SubControl("Test.Control", "other")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ControlTestAccess::PlaceTree(*main, {0, 0, 50, 50});
    std::vector<RCPtr<LControl>> controls;
    CollectTree(main, controls);
    for (const RCPtr<LControl>& control : controls) {
        control->SetNotFocusable(false);
    }
    const RCPtr<LControl> stubborn = main->FindChildByName(L"stubborn");
    EXPECT_EQ(stubborn->SetFocus(true), 1);
    EXPECT_EQ(main->FindChildByName(L"other")->SetFocus(true), ZV_E_FAIL);
    EXPECT_TRUE(FocusIsOn(harness.Window(), main, "stubborn"));
    EXPECT_EQ(stubborn->SetFocus(true), 0) << "it has it already";
}

TEST(ControlFocus, ATopLevelControlThatLosesTheFocusLetsTheWindowGoWithoutIt)
{
    ControlHarness harness;
    FocusTree tree(harness);
    ASSERT_EQ(tree.c->SetFocus(true), 1);

    EXPECT_FALSE(tree.main->SetVisible(false));
    EXPECT_TRUE(tree.FocusIsOn("nobody"));
    EXPECT_EQ(harness.Window().GetRememberedFocusControl(), tree.c);
    EXPECT_TRUE(tree.main->SetVisible(true));
    EXPECT_TRUE(tree.FocusIsOn("nobody"));

    ASSERT_EQ(tree.c->SetFocus(true), 1);
    tree.main->SetEnabled(false);
    EXPECT_TRUE(tree.FocusIsOn("nobody"));
    tree.main->SetEnabled(true);

    // Alone, the top-level control holds the focus itself, until it may not.
    for (const RCPtr<LControl>& child : {tree.panel, tree.label}) {
        EXPECT_FALSE(child->SetVisible(false));
    }
    EXPECT_EQ(tree.main->SetFocus(true), 0);
    EXPECT_TRUE(tree.FocusIsOn("main"));
    tree.main->SetNotFocusable(true);
    EXPECT_TRUE(tree.FocusIsOn("nobody"));

    // A not-focusable top-level control holds back its children, but for a focus root; the focus root's focus
    // then has nowhere to go when it hides, and the top-level control cannot take it.
    EXPECT_TRUE(tree.panel->SetVisible(true));
    EXPECT_EQ(tree.panel->SetFocus(true), 1) << "nothing under the window has the focus";
    EXPECT_TRUE(tree.FocusIsOn("nobody"));
    tree.panel->SetFocusRoot(true);
    EXPECT_EQ(tree.panel->SetFocus(true), 1);
    EXPECT_TRUE(tree.FocusIsOn("b"));
    EXPECT_EQ(tree.main->SetFocus(true), ZV_E_FAIL);
    EXPECT_FALSE(tree.panel->SetVisible(false));
    EXPECT_TRUE(tree.FocusIsOn("nobody"));
}

TEST(ControlFocus, TabOrderStepsWrapSkipUnusableChildrenAndEndAfterOneRound)
{
    ControlHarness harness;
    FocusTree tree(harness);
    const RCPtr<LControl>& panel = tree.panel;

    EXPECT_EQ(panel->GetNextFocusableChild(tree.a, false), tree.b) << "from the last in tab order to the first";
    EXPECT_EQ(panel->GetNextFocusableChild(tree.b, true), tree.a);
    EXPECT_EQ(panel->GetNextFocusableChild(tree.b, false), tree.c);
    EXPECT_EQ(panel->GetNextFocusableChild(tree.label, false), nullptr) << "not a child";
    EXPECT_EQ(panel->GetNextFocusableChild(nullptr, false), nullptr);
    EXPECT_EQ(panel->GetFirstFocusableChild(), tree.b);
    EXPECT_EQ(panel->GetLastFocusableChild(), tree.a);

    tree.c->SetEnabled(false);
    EXPECT_EQ(panel->GetNextFocusableChild(tree.b, false), tree.a);
    EXPECT_EQ(panel->GetNextFocusableChild(tree.a, true), tree.b);

    // The first in tab order is hidden, the others can be used but take no focus: one round, then nothing.
    EXPECT_FALSE(tree.b->SetVisible(false));
    tree.c->SetEnabled(true);
    tree.a->SetNotFocusable(true);
    tree.c->SetNotFocusable(true);
    EXPECT_EQ(panel->GetFirstFocusableChild(), nullptr);
    EXPECT_EQ(panel->GetLastFocusableChild(), nullptr);
    EXPECT_FALSE(panel->CanTakeFocus());
    EXPECT_TRUE(panel->IsFocusable());

    // A single child is its own next.
    EXPECT_EQ(tree.main->GetChildren().GetCount(), 2u);
    EXPECT_EQ(tree.main->ScheduleChildRemoval(tree.label), 0);
    (void)harness.PumpIdle();
    EXPECT_EQ(tree.main->GetNextFocusableChild(panel, false), panel);
    EXPECT_FALSE(panel->SetVisible(false));
    EXPECT_EQ(tree.main->GetNextFocusableChild(panel, true), nullptr);
}

TEST(ControlFocus, NotFocusableTurnsTheTabStopNegativeAndBackAndTheTabOrderFollows)
{
    ControlHarness harness;
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "zero", R"(TabStop="0")") +
                                    SubControl("Test.Control", "five", R"(TabStop="5")") +
                                    SubControl("Test.Control", "lowest", R"(TabStop="-2147483648")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const auto tabStop = [&](const wchar_t* name) {
        return main->FindChildByName(name)->GetLayoutDescriptor()->tabStop;
    };
    const auto tabOrder = [&] {
        std::string names;
        for (std::uint32_t index = 0; index < main->GetChildren().GetCount(); ++index) {
            names += main->GetChildren().GetAt(index, LControl::kTabOrder)->GetName().ToUTF8().GetData();
            names += ' ';
        }
        return names;
    };
    ASSERT_EQ(tabOrder(), "lowest zero five ");

    main->FindChildByName(L"zero")->SetNotFocusable(true);
    EXPECT_EQ(tabStop(L"zero"), -1);
    EXPECT_EQ(tabOrder(), "lowest zero five ");
    main->FindChildByName(L"zero")->SetNotFocusable(false);
    EXPECT_EQ(tabStop(L"zero"), 1);
    main->FindChildByName(L"five")->SetNotFocusable(true);
    EXPECT_EQ(tabStop(L"five"), -5);
    EXPECT_EQ(tabOrder(), "lowest five zero ");
    main->FindChildByName(L"lowest")->SetNotFocusable(false);
    EXPECT_EQ(tabStop(L"lowest"), INT_MAX) << "the lowest number has no opposite";
    EXPECT_EQ(tabOrder(), "five zero lowest ");
}

TEST(ControlFocus, ASiblingKeyGoesFirstToOtherReceiversThenRoundTheTabOrderFromAfterTheCurrentControl)
{
    ControlHarness harness;
    FocusTree tree(harness);
    tree.c->SetNotFocusable(true);
    const RCPtr<LNotificationSpy> outsider = LNotificationSpy::Create();
    RCPtrArray<LNotificationClient> receivers;
    for (const RCPtr<LNotificationClient>& receiver : std::initializer_list<RCPtr<LNotificationClient>>{
             tree.a, outsider, tree.b, tree.c}) {
        (void)receivers.AddItem(receiver);
    }
    KeyCode key;
    key.code = 0x41;
    const auto order = [&](const RCPtr<LControl>& current) {
        Array<std::uint32_t> indices;
        tree.panel->SortByTabOrder(LSiblingKeyParam::Create(key, current), receivers, indices);
        return std::vector<std::uint32_t>(indices.GetData(), indices.GetData() + indices.GetCount());
    };
    // Tab order c (not focusable now, its tab stop negative), b, a: the receivers up to the first focusable one in
    // that order go first, then from after the current control round to that one.
    EXPECT_EQ(order(tree.b), (std::vector<std::uint32_t>{1, 3, 0, 2}));
    EXPECT_EQ(order(tree.a), (std::vector<std::uint32_t>{1, 3, 2, 0}));
    EXPECT_EQ(order(nullptr), (std::vector<std::uint32_t>{1, 3, 2, 0}));
}

TEST(ControlFocus, APressGivesTheFocusToTheNearestControlThatTakesItAndMovingAHolderAwayLeavesItBehind)
{
    ControlHarness harness;
    FocusTree tree(harness);
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    const RCPtr<LMouseButtonParam> press = LMouseButtonParam::Create(MouseButton::kLeft, {1, 1}, 0, false, 1);

    EXPECT_EQ(tree.label->OnMouseDown(press), 0);
    EXPECT_TRUE(tree.FocusIsOn("b")) << "the label passed the press to its parent, which passes the focus on";
    EXPECT_EQ(tree.label->OnCaptureLost(), 0);
    EXPECT_EQ(tree.a->OnMouseDown(press), 0);
    EXPECT_TRUE(tree.FocusIsOn("a"));
    EXPECT_EQ(tree.a->OnCaptureLost(), 0);

    // The focused control moves to another parent: the focus stays behind and goes on as when it hides.
    EXPECT_EQ(tree.a->SetParent(tree.label), 0);
    EXPECT_TRUE(tree.FocusIsOn("b"));
    EXPECT_EQ(tree.panel->SetParent(tree.label), 0);
    EXPECT_TRUE(tree.FocusIsOn("main")) << "the label holds back what it holds";
    EXPECT_EQ(tree.panel->SetParent(tree.main), 0);
    EXPECT_TRUE(tree.FocusIsOn("main"));
    EXPECT_EQ(tree.main->SetFocus(true), 1);
    EXPECT_TRUE(tree.FocusIsOn("b"));
}

// A tree that no window shows holds no focus at all: no control of it has or contains the focus.
::testing::AssertionResult HoldsNoFocus(const RCPtr<LControl>& top)
{
    std::vector<RCPtr<LControl>> controls;
    CollectTree(top, controls);
    for (const RCPtr<LControl>& control : controls) {
        if (Has(*control, ConditionMask::kHasFocus | ConditionMask::kContainsFocus)) {
            return ::testing::AssertionFailure() << control->GetName().ToUTF8().GetData() << " holds the focus";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ControlFocus, ATreeOutOfEveryWindowTakesNoFocusSoTheWindowItJoinsKeepsOneHolderWhateverTheOrderOfChanges)
{
    ControlHarness harness;
    FocusTree tree(harness);
    KeyRouter keys(harness.Window());
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    const auto press = [](const RCPtr<LControl>& control) {
        (void)control->OnMouseDown(LMouseButtonParam::Create(MouseButton::kLeft, {1, 1}, 0, false, 1));
        (void)control->OnCaptureLost();
    };
    ASSERT_EQ(tree.c->SetFocus(true), 1);

    // Removed, the panel takes the focus with it out of the window; there it refuses it.
    ASSERT_EQ(tree.panel->SetParent(nullptr), 0);
    EXPECT_TRUE(tree.FocusIsOn("main"));
    EXPECT_EQ(tree.a->SetFocus(true), ZV_E_FAIL);
    press(tree.b);
    EXPECT_TRUE(HoldsNoFocus(tree.panel));
    EXPECT_TRUE(tree.FocusIsOn("main"));

    // Put back under the window's focused control, before and after a Tab.
    ASSERT_EQ(tree.panel->SetParent(tree.main), 0);
    EXPECT_TRUE(tree.FocusIsOn("main"));
    keys.Tab();
    EXPECT_TRUE(tree.FocusIsOn("b"));
    keys.Tab();
    EXPECT_TRUE(tree.FocusIsOn("c"));

    // Detached while it holds the focus.
    press(tree.a);
    ASSERT_TRUE(tree.FocusIsOn("a"));
    tree.panel->Detach();
    EXPECT_TRUE(HoldsNoFocus(tree.panel));
    EXPECT_TRUE(tree.FocusIsOn("main"));

    // The root replaced by the panel: the old root leaves with nothing.
    press(tree.main);
    harness.Window().SetRootControl(tree.panel);
    EXPECT_TRUE(tree.panel->SetVisible(true)) << "hidden when it was detached";
    EXPECT_TRUE(HoldsNoFocus(tree.main));
    EXPECT_TRUE(FocusIsOn(harness.Window(), tree.panel, "nobody"));
    press(tree.c);
    EXPECT_TRUE(FocusIsOn(harness.Window(), tree.panel, "c"));
    EXPECT_EQ(tree.main->SetFocus(true), ZV_E_FAIL);

    // The holder moved out of the window, into the old root.
    ASSERT_EQ(tree.c->SetParent(tree.main), 0);
    EXPECT_TRUE(HoldsNoFocus(tree.main));
    EXPECT_TRUE(FocusIsOn(harness.Window(), tree.panel, "b"));

    // The top-level control itself leaves the window.
    ASSERT_EQ(tree.panel->SetRootWindow(nullptr), 0);
    EXPECT_TRUE(HoldsNoFocus(tree.panel));
    EXPECT_EQ(harness.Window().GetFocusControl(), nullptr);
    ASSERT_EQ(tree.panel->SetRootWindow(harness.WindowRef()), 0);
    keys.Tab();
    EXPECT_TRUE(FocusIsOn(harness.Window(), tree.panel, "nobody")) << "no control had the key";
    press(tree.a);
    keys.Tab();
    EXPECT_TRUE(FocusIsOn(harness.Window(), tree.panel, "b"));

    // A tree made for the window takes the focus before the window shows it: the window's holder lets it go, and
    // once shown, the tree's holder is the window's again.
    const RCPtr<LControl> made = harness.Factory().CreateControlByName(L"main", harness.WindowRef());
    ControlTestAccess::PlaceTree(*made, {0, 0, 50, 50});
    std::vector<RCPtr<LControl>> madeControls;
    CollectTree(made, madeControls);
    for (const RCPtr<LControl>& control : madeControls) {
        control->SetNotFocusable(control->GetName() == L"label");
    }
    press(made->FindChildByName(L"panel")->FindChildByName(L"c"));
    EXPECT_TRUE(HoldsNoFocus(tree.panel));
    EXPECT_TRUE(FocusIsOn(harness.Window(), made, "c"));
    harness.Window().SetRootControl(made);
    EXPECT_EQ(made->SetFocus(true), 0);
    EXPECT_TRUE(FocusIsOn(harness.Window(), made, "c"));
    keys.Tab();
    EXPECT_TRUE(FocusIsOn(harness.Window(), made, "a"));
}

TEST(ControlFocus, RandomFocusHideDisableAndMoveOperationsKeepOneHolderWhoseAncestorsContainIt)
{
    ControlHarness harness;
    std::string leaves;
    for (int index = 0; index < 3; ++index) {
        leaves += SubControl("Test.Control", "leaf" + std::to_string(index));
    }
    harness.LoadSkin(SubControl(
        "Test.Control", "main", "",
        SubControl("Test.Control", "left", "", leaves + SubControl("Test.Control", "deep", "",
                                                                       SubControl("Test.Control", "d1") +
                                                                           SubControl("Test.Control", "d2"))) +
            SubControl("Test.Control", "right", "",
                       SubControl("Test.Control", "r1") + SubControl("Test.Control", "r2", R"(TabStop="-1")")) +
            SubControl("Test.Control", "single")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ControlTestAccess::PlaceTree(*main, {0, 0, 20, 20});
    std::vector<RCPtr<LControl>> controls;
    CollectTree(main, controls);
    for (const RCPtr<LControl>& control : controls) {
        // The skin's not-focusable controls stay so.
        control->SetNotFocusable(control->GetLayoutDescriptor()->tabStop < 0);
    }
    ASSERT_EQ(main->SetFocus(true), 1);

    std::mt19937 random(20240611);
    const auto pick = [&](std::size_t from) {
        return controls[std::uniform_int_distribution<std::size_t>(from, controls.size() - 1)(random)];
    };
    for (int step = 0; step < 200; ++step) {
        const RCPtr<LControl> control = pick(0);
        const RCPtr<LControl> other = pick(1);
        const bool flag = random() % 2 == 0;
        std::string operation;
        switch (random() % 4) {
        case 0:
            operation = "SetFocus";
            (void)control->SetFocus(flag);
            break;
        case 1:
            operation = "SetVisible";
            (void)other->SetVisible(flag);
            break;
        case 2:
            operation = "SetEnabled";
            other->SetEnabled(flag);
            break;
        default:
            // A ring is refused, and nothing changes then.
            operation = "SetParent";
            (void)other->SetParent(control);
            break;
        }
        std::vector<RCPtr<LControl>> reachable;
        CollectTree(main, reachable);
        std::string holder;
        for (const RCPtr<LControl>& candidate : reachable) {
            if (Has(*candidate, ConditionMask::kHasFocus)) {
                holder = candidate->GetName().ToUTF8().GetData();
            }
        }
        ASSERT_EQ(reachable.size(), controls.size()) << "step " << step;
        ASSERT_FALSE(holder.empty()) << "step " << step << ": nobody holds the focus after " << operation;
        ASSERT_TRUE(FocusIsOn(harness.Window(), main, holder)) << "step " << step << " after " << operation;
    }
}

}  // namespace
}  // namespace ZV
