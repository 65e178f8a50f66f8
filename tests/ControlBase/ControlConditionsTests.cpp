#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::SubControl;
using Lines = std::vector<std::string>;

const std::initializer_list<const wchar_t*> kConditionIds = {
    L"NID_CONDITION_CHANGE",          L"NID_HAS_FOCUS_CONDITION_CHANGE",   L"NID_CONTAINS_FOCUS_CONDITION_CHANGE",
    L"NID_HOVER_CONDITION_CHANGE",    L"NID_CAPTURE_CONDITION_CHANGE",     L"NID_LEFT_DRAG_CONDITION_CHANGE",
    L"NID_MIDDLE_DRAG_CONDITION_CHANGE", L"NID_RIGHT_DRAG_CONDITION_CHANGE", L"NID_ENABLED_CONDITION_CHANGE",
    L"NID_VISIBLITY_CONDITION_CHANGE"};

// Records its condition changes and its drags; picks a tracking mode when its left press goes down.
class LConditionsControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "Conditions %x>%x", static_cast<unsigned>(conditions->GetPreviousConditions()),
                      static_cast<unsigned>(conditions->GetCurrentConditions()));
        Record(text);
        if ((conditions->GetCurrentConditions() & ConditionMask::kLeftPressed) != 0) {
            (void)SetDragMode(2, 3);
        }
    }
    void BeginDrag() override { Record("BeginDrag"); }
    void EndDrag() override { Record("EndDrag"); }
};

// main holds a container of a and b, and a button; every control is 50 by 50.
struct ConditionsTree {
    explicit ConditionsTree(ControlHarness& harness)
    {
        harness.Register<LConditionsControl>(L"Test.Conditions");
        harness.LoadSkin(SubControl("Test.Control", "main", "",
                                    SubControl("Test.Control", "container", "",
                                               SubControl("Test.Control", "a") + SubControl("Test.Control", "b")) +
                                        SubControl("Test.Conditions", "button")));
        main = harness.CreateRoot(L"main");
        ControlTestAccess::PlaceTree(*main, {0, 0, 50, 50});
        container = main->FindChildByName(L"container");
        a = container->FindChildByName(L"a");
        b = container->FindChildByName(L"b");
        button = main->FindChildByName(L"button");
        for (const RCPtr<LControl>& control : {container, a, b, button}) {
            spy->Watch(control, kConditionIds);
        }
        ControlEvents().clear();
    }

    RCPtr<LControl> main, container, a, b, button;
    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
};

TEST(ControlConditions, EachNotificationGoesOnlyWhenItsOwnBitsChangeAndAnUnchangedMaskSaysNothing)
{
    ControlHarness harness;
    ConditionsTree tree(harness);
    const RCPtr<LControl>& button = tree.button;

    button->UpdateConditions();
    button->SetHighlighted(false);
    EXPECT_EQ(tree.spy->TakeLines(), Lines{});
    EXPECT_EQ(ControlEvents(), Lines{}) << "no hook for a mask that stayed";

    // Hovering a highlighted control changes the hover bit alone, not the hover-or-highlighted one.
    button->SetHighlighted(true);
    EXPECT_EQ(button->OnMouseEnter(), 0);
    EXPECT_EQ(button->OnMouseLeave(), 0);
    button->SetHighlighted(false);
    EXPECT_EQ(tree.spy->TakeLines(), (Lines{
                                         "button NID_CONDITION_CHANGE c00>1c00",
                                         "button NID_HOVER_CONDITION_CHANGE c00>1c00",
                                         "button NID_CONDITION_CHANGE 1c00>1c04",
                                         "button NID_CONDITION_CHANGE 1c04>1c00",
                                         "button NID_CONDITION_CHANGE 1c00>c00",
                                         "button NID_HOVER_CONDITION_CHANGE 1c00>c00",
                                     }));

    // The press sets the pressed bit; the drag trades it for the dragging bit, which is one change of the left
    // drag; a mode chosen while the press changed the conditions begins the drag after they are told.
    tree.spy->OnEach(L"NID_LEFT_DRAG_CONDITION_CHANGE", [](const LNotification&) {
        ControlEvents().push_back("told");
    });
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    ControlEvents().clear();
    EXPECT_EQ(button->ProcessMouseDown(MouseButton::kLeft, 5, 5), 0);
    EXPECT_EQ(button->OnMouseMove(LPointWithModifiersParam::Create({5, 7}, 0)), 0);
    EXPECT_EQ(button->OnCaptureLost(), 0);
    EXPECT_EQ(tree.spy->TakeLines(), (Lines{
                                         "button NID_CONDITION_CHANGE c00>c18",
                                         "button NID_CAPTURE_CONDITION_CHANGE c00>c18",
                                         "button NID_LEFT_DRAG_CONDITION_CHANGE c00>c18",
                                         "button NID_CONDITION_CHANGE c18>c88",
                                         "button NID_LEFT_DRAG_CONDITION_CHANGE c18>c88",
                                         "button NID_CONDITION_CHANGE c88>c00",
                                         "button NID_CAPTURE_CONDITION_CHANGE c88>c00",
                                         "button NID_LEFT_DRAG_CONDITION_CHANGE c88>c00",
                                     }));
    EXPECT_EQ(ControlEvents(), (Lines{"button Conditions c00>c18", "told", "button Conditions c18>c88", "told",
                                      "button BeginDrag", "button EndDrag", "button Conditions c88>c00", "told"}));
}

TEST(ControlConditions, DisablingOrHidingAParentReachesEveryDescendantWhoseBitChanges)
{
    ControlHarness harness;
    ConditionsTree tree(harness);
    tree.b->SetEnabled(false);
    (void)tree.spy->TakeLines();

    tree.container->SetEnabled(false);
    tree.container->SetEnabled(false);
    EXPECT_EQ(tree.spy->TakeLines(), (Lines{
                                         "container NID_CONDITION_CHANGE c00>800",
                                         "container NID_ENABLED_CONDITION_CHANGE c00>800",
                                         "a NID_CONDITION_CHANGE c00>800",
                                         "a NID_ENABLED_CONDITION_CHANGE c00>800",
                                     }));
    EXPECT_TRUE(tree.b->IsEnabled(false) == false && tree.a->IsEnabled(false));
    EXPECT_FALSE(tree.a->IsEnabled(true));

    tree.container->SetEnabled(true);
    EXPECT_EQ(tree.spy->TakeLines().size(), 4u);
    EXPECT_EQ(tree.b->GetConditions(), ConditionMask::kVisible) << "its own flag keeps it disabled";

    EXPECT_FALSE(tree.container->SetVisible(false));
    EXPECT_EQ(tree.spy->TakeLines(), (Lines{
                                         "container NID_CONDITION_CHANGE c00>400",
                                         "container NID_VISIBLITY_CONDITION_CHANGE c00>400",
                                         "b NID_CONDITION_CHANGE 800>0",
                                         "b NID_VISIBLITY_CONDITION_CHANGE 800>0",
                                         "a NID_CONDITION_CHANGE c00>400",
                                         "a NID_VISIBLITY_CONDITION_CHANGE c00>400",
                                     }));
    EXPECT_TRUE(tree.container->SetVisible(true));
    EXPECT_TRUE(tree.a->IsVisible(true));
}

TEST(ControlConditions, AControlsCursorShowsWhileItIsHoveredAndTheHoverFollowsAControlThatHides)
{
    ControlHarness harness;
    ConditionsTree tree(harness);
    const RCPtr<LControl>& button = tree.button;
    button->SetCursorType(7);
    EXPECT_EQ(harness.Window().SetCursor(3), 0u);

    EXPECT_EQ(button->OnMouseEnter(), 0);
    EXPECT_EQ(button->OnMouseLeave(), 0);
    EXPECT_EQ(harness.Window().GetCursorsShown(), (std::vector<CursorHandle>{3, 7, 3}));

    // While captured the cursor stays until the capture goes off the control.
    harness.Window().SetMouseButtonState(MouseButton::kLeft);
    EXPECT_EQ(button->OnMouseEnter(), 0);
    EXPECT_EQ(button->ProcessMouseDown(MouseButton::kLeft, 5, 5), 0);
    EXPECT_EQ(button->OnMouseLeave(), 0);
    EXPECT_EQ(harness.Window().GetCursorsShown().size(), 4u);
    harness.Window().SetControlsUnderPointer({tree.a});
    EXPECT_EQ(button->OnCaptureLost(), 0);
    EXPECT_EQ(harness.Window().GetCursorsShown(), (std::vector<CursorHandle>{3, 7, 3, 7, 3}));
    EXPECT_EQ(harness.Window().GetHoverControl(), tree.a) << "the pointer lies over another control now";

    // The hovered control hides: the hover moves to what lies under the pointer.
    harness.Window().SetControlsUnderPointer({tree.b});
    const int hitTests = harness.Window().GetHitTestCount();
    EXPECT_FALSE(tree.a->SetVisible(false));
    EXPECT_EQ(harness.Window().GetHitTestCount(), hitTests + 1);
    EXPECT_EQ(harness.Window().GetHoverControl(), tree.b);
    EXPECT_EQ(tree.a->GetConditions() & ConditionMask::kHover, 0u);
}

}  // namespace
}  // namespace ZV
