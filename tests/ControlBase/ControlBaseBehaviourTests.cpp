#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/MenuDescriptor.h"
#include "Notification/MouseParams.h"
#include "Renderer/Font.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingControl;
using Testing::SubControl;
using Testing::ThrowsText;

// Accepts every dragged control.
class LAcceptingDropTarget : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;
    bool CanHandle(const RCPtr<LControl>&) override { return true; }
};

// Edits text.
class LEditor : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;
    bool IsTextEditor() const override { return true; }
};

TEST(ControlBase, ADropTargetIsSoughtUpTheClippedAncestorsThenUnderThePointerAndTheSearchEnds)
{
    ControlHarness harness;
    harness.Register<LAcceptingDropTarget>(L"Test.DropTarget");
    harness.LoadSkin(SubControl(
        "Test.Control", "main", "",
        SubControl("Test.DropTarget", "target", "", SubControl("Test.Control", "item")) +
            SubControl("Test.Control", "popup", R"(ClipToParent="False")", SubControl("Test.Control", "popupItem")) +
            SubControl("Test.Control", "dragged", R"(ClipToParent="False")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> target = main->FindChildByName(L"target");
    const RCPtr<LControl> popup = main->FindChildByName(L"popup");
    const RCPtr<LControl> popupItem = popup->FindChildByName(L"popupItem");
    const RCPtr<LControl> dragged = main->FindChildByName(L"dragged");

    EXPECT_EQ(target->FindChildByName(L"item")->FindHandlingAncestor(dragged, {5, 5}), target);
    EXPECT_EQ(main->FindHandlingAncestor(dragged, {5, 5}), nullptr) << "a top-level control clips to no parent";
    EXPECT_EQ(harness.Window().GetHitTestCount(), 0);

    // The dragged control and the controls looked past hide from the hit test; their marks go afterwards.
    harness.Window().SetControlsUnderPointer({dragged, popup, target});
    EXPECT_EQ(popup->FindHandlingAncestor(dragged, {5, 5}), target);
    EXPECT_FALSE(popup->IsExcludedFromHitTests());
    EXPECT_FALSE(dragged->IsExcludedFromHitTests());

    // Under the pointer lies a clipped child of a control looked past already: asking again would find it for
    // ever.
    harness.Window().SetControlsUnderPointer({popupItem, target});
    EXPECT_EQ(popup->FindHandlingAncestor(dragged, {5, 5}), nullptr);
    EXPECT_EQ(harness.Window().GetHitTestCount(), 2);
    harness.Window().SetControlsUnderPointer({});
    EXPECT_EQ(popup->FindHandlingAncestor(dragged, {5, 5}), nullptr);
}

TEST(ControlBase, OperationsThatControlsOverrideAnswerTheirBaseValues)
{
    ControlHarness harness;
    harness.Register<LEditor>(L"Test.Editor");
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Editor", "editor", "", SubControl("Test.Control", "field"))));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    const RCPtr<LControl> editor = main->FindChildByName(L"editor");
    const RCPtr<LControl> field = editor->FindChildByName(L"field");

    EXPECT_EQ(field->FindTextEditor(), editor);
    EXPECT_EQ(main->FindTextEditor(), nullptr);
    EXPECT_FALSE(main->IsTextEditor());
    EXPECT_FALSE(main->CanPerformEdit(1));
    EXPECT_TRUE(ThrowsText<std::logic_error>(
        [&] { (void)main->PerformEdit(1); },
        "Logic Error : LControl::PerformEdit must be overridden : ZV::LControl::PerformEdit"));

    EXPECT_EQ(main->SetValueRange(0, 100, kLogarithmicScale), ZV_E_INVALIDARG);
    EXPECT_EQ(main->SetValueRange(10, 1000, 2), ZV_E_INVALIDARG);
    EXPECT_EQ(main->SetValueRange(100, 0, kLinearScale), 0);
    EXPECT_EQ(main->SetValueRange(10, 1000, kLogarithmicScale), 0);

    EXPECT_EQ(main->GetScrollRange(field), RectT<double>(0, 0, 4503599627370496.0, 4503599627370496.0));
    EXPECT_EQ(main->SetDragMode(6, 1), 0);
    EXPECT_FALSE(main->CanHandle(field));
    EXPECT_EQ(main->GetDropScrollEdges(field), 0u);
    EXPECT_EQ(main->OnDrop(field), ZV_E_FAIL);
    RectT<double> bounds(1, 2, 3, 4);
    main->GetSplitterBounds(bounds);
    EXPECT_EQ(bounds, RectT<double>(1, 2, 3, 4));
    EXPECT_EQ(main->OnKeyDown(nullptr), 1);
    const RCPtr<LMouseWheelParam> wheel = LMouseWheelParam::Create({1, 1}, 0, 0);
    EXPECT_EQ(main->OnMouseWheel(wheel), 1);
    EXPECT_EQ(main->OnMouseHWheel(wheel), 1);
    MenuItemInfo state;
    EXPECT_EQ(main->IsCommandEnabled(0, 0, L"NID_EDIT_CUT_REQ", state), 1);
    EXPECT_EQ(main->OnClick(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(main->OnClick(LMouseButtonParam::Create(3, {1, 1}, 0, false, 0)), ZV_E_INVALIDARG);
    EXPECT_TRUE(main->CanReleaseFocus());
    EXPECT_EQ(main->GetContextMenuDescriptor(), nullptr);
    EXPECT_EQ(main->RenderContent(harness.Renderer()), 0);
    EXPECT_EQ(main->OnInitialized(), 0);

    // The cursor shown for a control without a cursor of its own is the default arrow.
    field->ApplyCursor();
    EXPECT_EQ(harness.Window().GetCursorsShown(), std::vector<CursorHandle>{0});

    // The harness measures text with fixed metrics, and its clocks move only when the test moves them.
    EXPECT_EQ(LFont::GetFont(L"Harness Sans", 9, LFont::kRegular)->ResolveFontInfo(), ControlHarness::kLineHeight);
    harness.AdvanceTime(1500);
    EXPECT_EQ(GetRenderingServices().GetTimeMs(), 1500u);
    EXPECT_DOUBLE_EQ(GetControlServices().GetTimeSeconds(), 1.5);
}

}  // namespace
}  // namespace ZV
