#include "Controls/ControlsHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::StringTable;
using Testing::Text;
using Testing::Wearing;

std::string Control(const std::string& className, const std::string& name, const std::string& lookList, int x)
{
    return Wearing(className, name, lookList,
                   "XPositionAbs=\"" + std::to_string(x) + R"(" YPositionAbs="10" XSizeAbs="60" YSizeAbs="20")");
}

TEST(Label, ALabelShowsItsLookTakesNoFocusAndOffersItsTextAsTipOnlyWhenItIsClipped)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    skin.controls += Testing::MainControl(
        Control("Framework.Button", "first", "button", 10) + Control("Framework.Label", "fits", "label", 80) +
        Control("Framework.Label", "clipped", "label", 150) + Control("Framework.Label", "empty", "label", 220) +
        Control("Framework.Button", "last", "button", 290));
    harness.LoadStrings(StringTable("Test.Panel|fits", {{"LABEL", "Ready"}, {"TOOLTIP", "Device state"}}) +
                        StringTable("Test.Panel|clipped", {{"LABEL", "No firmware file"}}) +
                        StringTable("Test.Panel|empty", {{"TOOLTIP", "Device state"}}));
    const RCPtr<LControl> main = harness.CreateMain(skin);
    const auto child = [&](const wchar_t* name) { return main->FindChildByName(name); };
    EXPECT_EQ(harness.PaintedColourOf(*child(L"fits")), Testing::kLabelColour);

    EXPECT_EQ(Text(child(L"fits")->GetToolTipText()), "Device state");
    EXPECT_EQ(Text(child(L"clipped")->GetToolTipText()), "No firmware file") << "16 characters in 56 pixels";
    EXPECT_EQ(Text(child(L"empty")->GetToolTipText()), "Device state");

    // Tab goes round the buttons only, and a press on a label leaves the focus where it is.
    ASSERT_FALSE(Failed(child(L"first")->SetFocus(true)));
    harness.Keys().Tab();
    EXPECT_EQ(harness.Window().GetFocusControl(), child(L"last"));
    harness.Keys().Tab();
    EXPECT_EQ(harness.Window().GetFocusControl(), child(L"first"));
    harness.Keys().ShiftTab();
    EXPECT_EQ(harness.Window().GetFocusControl(), child(L"last"));
    harness.PressAt(*child(L"clipped"), {5, 5});
    harness.ReleaseAt(*child(L"clipped"), {5, 5});
    EXPECT_EQ(harness.Window().GetFocusControl(), child(L"last"));
}

}  // namespace
}  // namespace ZV
