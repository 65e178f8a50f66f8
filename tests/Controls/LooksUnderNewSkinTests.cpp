#include "Controls/ComboBox.h"
#include "Controls/ComboTestSkin.h"
#include "Controls/NewSkin.h"
#include "Controls/Splitter.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::RecolouredButtonLook;
using Testing::Wearing;

// The skin of "main" holding the controls, which wear the fourteen button looks.
Testing::SkinDocumentBuilder SkinWith(const std::string& controls)
{
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(controls);
    return skin;
}

TEST(LooksUnderNewSkin, ASplitterKeepsTheLookOfItsFocusAndOfBeingDisabled)
{
    const std::string fillHeight = R"(YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0" )";
    const Testing::SkinDocumentBuilder skin =
        SkinWith(Wearing("Test.Panel", "left", "label", R"(XSizeAbs="100" )" + fillHeight) +
                 Wearing("Framework.SplitterV", "split", "button",
                         R"(XPositionToControl="left" XPositionRel="1" XSizeAbs="6" )" + fillHeight));
    ControlsHarness harness;
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LControl> split = main->FindChildByName(L"split");
    ASSERT_TRUE(dynamic_cast<LSplitterV*>(split.Get()));

    harness.MoveTo(*split, {3, 150});
    harness.PressAt(*split, {3, 150});
    harness.ReleaseAt(*split, {3, 150});
    ASSERT_EQ(split->GetActiveLookIndex(), 4) << "hovered, with the focus the press gave";
    Testing::ApplyNewSkin(harness, Testing::RecolouredButtons(skin), *split);
    EXPECT_EQ(split->GetActiveLookIndex(), 4);
    EXPECT_EQ(harness.PaintedColourOf(*split), RecolouredButtonLook(4));
    harness.MoveAway();
    EXPECT_EQ(split->GetActiveLookIndex(), 3) << "the bar goes on choosing among the new looks";

    split->SetEnabled(false);
    ASSERT_EQ(split->GetActiveLookIndex(), 6);
    Testing::ApplyNewSkin(harness, skin, *split);
    EXPECT_EQ(split->GetActiveLookIndex(), 6);
    EXPECT_EQ(harness.PaintedColourOf(*split), Testing::ButtonLookColour(6));
}

TEST(LooksUnderNewSkin, AComboKeepsTheLookOfItsOpenListAndOfBeingDisabled)
{
    const Testing::SkinDocumentBuilder skin = SkinWith(Testing::ComboAt("Framework.ComboBox", "pick", 20, 100));
    ControlsHarness harness;
    harness.LoadStrings(Testing::ComboItems("pick", {{"ITEM.0", "Item 0"}, {"ITEM.1", "Item 1"}}));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    auto* combo = dynamic_cast<LComboBox*>(main->FindChildByName(L"pick").Get());
    ASSERT_TRUE(combo);

    harness.MoveTo(*combo, {10, 10});
    harness.PressAt(*combo, {10, 10});
    harness.ReleaseAt(*combo, {10, 10});
    ASSERT_TRUE(combo->IsDropDownOpen());
    ASSERT_EQ(combo->GetActiveLookIndex(), 5);
    Testing::ApplyNewSkin(harness, Testing::RecolouredButtons(skin), *combo);
    EXPECT_TRUE(combo->IsDropDownOpen());
    EXPECT_EQ(combo->GetActiveLookIndex(), 5);
    EXPECT_EQ(harness.PaintedColourOf(*combo), RecolouredButtonLook(5));

    harness.PressAt(*combo, {10, 10});
    harness.ReleaseAt(*combo, {10, 10});
    harness.MoveAway();
    combo->SetEnabled(false);
    ASSERT_EQ(combo->GetActiveLookIndex(), 6);
    Testing::ApplyNewSkin(harness, skin, *combo);
    EXPECT_EQ(combo->GetActiveLookIndex(), 6);
    EXPECT_EQ(harness.PaintedColourOf(*combo), Testing::ButtonLookColour(6));
}

}  // namespace
}  // namespace ZV
