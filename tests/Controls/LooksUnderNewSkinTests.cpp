#include "Controls/ComboBox.h"
#include "Controls/ComboTestSkin.h"
#include "Controls/NewSkin.h"
#include "Controls/Splitter.h"
#include "Controls/TextBoxTestSkin.h"

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

// Placed in the first column, at the row and in the place of the tab order given.
std::string Tabbed(int tabStop, int y)
{
    return "TabStop=\"" + std::to_string(tabStop) + "\" YPositionAbs=\"" + std::to_string(y) +
           "\" XSizeAbs=\"100\" YSizeAbs=\"20\"";
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

TEST(LooksUnderNewSkin, AButtonAndATextBoxDisabledUnderASkinOfOneLookShowTheDisabledLooksOfTheNext)
{
    const auto skinWearing = [](const std::string& buttonLooks, const std::string& boxLooks) {
        Testing::SkinDocumentBuilder skin = SkinWith(
            Wearing("Framework.Button", "button", buttonLooks, R"(XSizeAbs="100" YSizeAbs="20")") +
            Wearing("Framework.TextBox", "box", boxLooks, R"(YPositionAbs="50" XSizeAbs="100" YSizeAbs="20")"));
        Testing::AddTextBoxLooks(skin);
        return skin;
    };
    ControlsHarness harness;
    const RCPtr<LControl> main = harness.CreateMain(skinWearing("label", "plain"));
    ASSERT_TRUE(main);
    const RCPtr<LControl> button = main->FindChildByName(L"button");
    const RCPtr<LControl> box = main->FindChildByName(L"box");
    ASSERT_TRUE(button && box);
    button->SetEnabled(false);
    box->SetEnabled(false);
    ASSERT_EQ(button->GetActiveLookIndex(), 0) << "the one look there is";
    ASSERT_EQ(box->GetActiveLookIndex(), 0);

    const Testing::SkinDocumentBuilder full = skinWearing("button", "textBox");
    Testing::ApplyNewSkin(harness, full, *button);
    Testing::ApplyNewSkin(harness, full, *box);
    EXPECT_EQ(button->GetActiveLookIndex(), 6);
    EXPECT_EQ(harness.PaintedColourOf(*button), Testing::ButtonLookColour(6));
    EXPECT_EQ(box->GetActiveLookIndex(), 6);
    EXPECT_EQ(harness.PaintedColourOf(*box), 0xFF404040u) << "the text box's disabled face";
}

TEST(FocusUnderNewSkin, LabelsBarsAndMetersGivenANewSkinStayOutOfTheTabOrder)
{
    // The skin numbers them all in the tab order, between two buttons: their classes take them out of it.
    const Testing::SkinDocumentBuilder skin = SkinWith(
        Wearing("Framework.Button", "first", "button", Tabbed(1, 0)) +
        Wearing("Framework.Label", "label", "label", Tabbed(2, 30)) +
        Wearing("Framework.StatusBar", "status", "panel", Tabbed(3, 60),
                Wearing("Framework.Label", "label1", "label", R"(XSizeAbs="100" YSizeAbs="20")")) +
        Wearing("Framework.ScrollBar", "scroll", "panel", Tabbed(4, 90)) +
        Wearing("Framework.ProgressBar", "progress", "panel", Tabbed(5, 120)) +
        Wearing("Framework.LevelMeter", "meter", "panel", Tabbed(6, 150)) +
        Wearing("Framework.Button", "last", "button", Tabbed(7, 180)));
    ControlsHarness harness;
    const RCPtr<LControl> main = harness.CreateMain(skin);
    ASSERT_TRUE(main);
    const RCPtr<LControl> first = main->FindChildByName(L"first");
    const RCPtr<LControl> last = main->FindChildByName(L"last");
    const auto tabFromFirst = [&] {
        EXPECT_GE(first->SetFocus(true), 0);
        harness.Keys().Tab();
        return harness.Window().GetFocusControl();
    };
    ASSERT_EQ(tabFromFirst(), last);

    for (const wchar_t* name : {L"label", L"status", L"scroll", L"progress", L"meter"}) {
        Testing::ApplyNewSkin(harness, skin, *main->FindChildByName(name));
        EXPECT_FALSE(main->FindChildByName(name)->IsFocusable());
    }
    EXPECT_EQ(tabFromFirst(), last);
}

}  // namespace
}  // namespace ZV
