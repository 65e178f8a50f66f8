#include "Controls/ControlsHarness.h"
#include "Controls/ToolTip.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::GetOriginInWindow;
using Testing::StringTable;
using Testing::Text;

// 100 characters in words, 700 pixels.
std::string WideText()
{
    std::string text;
    for (int word = 0; word < 20; ++word) {
        text += "word ";
    }
    return text;
}

// Labels whose texts do not fit: "left" and "right" side by side near the top, "corner" in the bottom right corner of
// the 400 x 300 window, each 60 x 20, and "wide" with a text wider than the window.
struct TipWindow {
    explicit TipWindow(ControlsHarness& harness) : harness(harness)
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        const auto label = [](const std::string& name, int x, int y) {
            return Testing::Wearing("Framework.Label", name, "label",
                                    "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) +
                                        R"(" XSizeAbs="60" YSizeAbs="20")");
        };
        skin.controls +=
            Testing::MainControl(label("left", 10, 10) + label("right", 80, 10) + label("corner", 340, 280) +
                                 label("wide", 10, 100));
        harness.LoadStrings(StringTable("Test.Panel|left", {{"LABEL", "Device found"}}) +
                            StringTable("Test.Panel|right", {{"LABEL", "Firmware newer"}}) +
                            StringTable("Test.Panel|corner", {{"LABEL", "Update done"}}) +
                            StringTable("Test.Panel|wide", {{"LABEL", WideText()}}));
        main = harness.CreateMain(skin);
        harness.PaintAll();
    }

    RCPtr<LControl> Label(const wchar_t* name) { return main->FindChildByName(name); }
    // The tip that the label shows, or null.
    LToolTip* TipOf(const wchar_t* name)
    {
        return dynamic_cast<LToolTip*>(Label(name)->FindChildByName(L"toolTip").Get());
    }
    bool Shows(const wchar_t* name)
    {
        LToolTip* tip = TipOf(name);
        return tip != nullptr && tip->IsVisible(true);
    }
    // Where the tip lies in the window: x, y, width, height.
    RectT<double> TipBounds(const wchar_t* name)
    {
        LToolTip* tip = TipOf(name);
        const PointT<double> origin = GetOriginInWindow(*tip);
        return {origin.x, origin.y, tip->GetSize().x, tip->GetSize().y};
    }

    ControlsHarness& harness;
    RCPtr<LControl> main;
};

TEST(ToolTip, ATipAppearsAfterItsDelayBelowThePointerAndIsRemovedAfterItsTime)
{
    ControlsHarness harness;
    TipWindow window(harness);
    harness.RunFor(1000);
    harness.MoveTo(*window.Label(L"left"), {5, 6});
    ASSERT_NE(window.TipOf(L"left"), nullptr);
    EXPECT_EQ(Text(window.TipOf(L"left")->GetText()), "Device found");
    harness.RunFor(500);
    EXPECT_FALSE(window.Shows(L"left")) << "not before more than 500 ms";
    harness.RunFor(10);
    EXPECT_TRUE(window.Shows(L"left"));
    // 12 characters and the text's insets, one line in the skin's 22 pixels.
    EXPECT_EQ(window.TipBounds(L"left"), RectT<double>(15, 36, 88, 22));
    EXPECT_EQ(harness.PaintedColourOf(*window.TipOf(L"left")), Testing::kToolTipColour) << "drawn outside its label";

    harness.RunFor(5000);
    EXPECT_TRUE(window.Shows(L"left")) << "not before more than 5000 ms";
    harness.RunFor(10);
    EXPECT_FALSE(window.Shows(L"left"));
    harness.RunFor(10);
    EXPECT_EQ(window.TipOf(L"left"), nullptr) << "removed at its label's next idle pass";
    EXPECT_EQ(window.Label(L"left")->GetIdleSubscriberCount(), 0);
}

TEST(ToolTip, TheNextTipFollowsAtOnceOnlyAfterATipThatShowed)
{
    ControlsHarness harness;
    TipWindow window(harness);
    harness.MoveTo(*window.Label(L"left"), {5, 5});
    harness.RunFor(100);
    // The first tip never showed: the next one waits.
    harness.MoveTo(*window.Label(L"right"), {5, 5});
    EXPECT_FALSE(window.Shows(L"left"));
    EXPECT_FALSE(window.Shows(L"right"));
    harness.RunFor(510);
    EXPECT_TRUE(window.Shows(L"right"));
    harness.RunFor(30);
    harness.MoveTo(*window.Label(L"left"), {5, 5});
    EXPECT_TRUE(window.Shows(L"left")) << "moved on from a tip that showed";

    harness.MoveAway();
    harness.RunFor(60);
    harness.MoveTo(*window.Label(L"right"), {5, 5});
    EXPECT_FALSE(window.Shows(L"right")) << "more than 50 ms after the last went";
    // A key hides the tip at once, and the next one follows.
    harness.RunFor(510);
    harness.Keys().Press(0x70);
    harness.RunFor(20);
    harness.MoveTo(*window.Label(L"left"), {5, 5});
    EXPECT_TRUE(window.Shows(L"left"));
}

TEST(ToolTip, ATipStaysInsideTheWindowAndNoWiderThanIt)
{
    ControlsHarness harness;
    TipWindow window(harness);
    harness.MoveTo(*window.Label(L"corner"), {55, 15});
    harness.RunFor(510);
    // 11 characters: 81 x 22, moved left and up from (395, 315).
    EXPECT_EQ(window.TipBounds(L"corner"), RectT<double>(319, 278, 81, 22));

    harness.MoveTo(*window.Label(L"wide"), {30, 5});
    harness.RunFor(510);
    const RectT<double> wide = window.TipBounds(L"wide");
    EXPECT_EQ(wide.width, 392) << "the window's width less 8";
    EXPECT_EQ(wide.x, 8) << "moved left to stay inside";
    EXPECT_GT(wide.height, 22) << "wrapped";
}

TEST(ToolTip, ATipWithoutParentOrWindowStartsAndHides)
{
    ControlsHarness harness;
    Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
    harness.LoadSkinDocument(skin.Document());
    const RCPtr<LControlDescriptor> descriptor = harness.Factory().FindControlDescriptor(L"toolTip");
    ASSERT_TRUE(descriptor);
    const RCPtr<LControl> control = harness.Factory().CreateControl(descriptor, nullptr);
    auto* tip = dynamic_cast<LToolTip*>(control.Get());
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(tip->IsFocusable());
    EXPECT_EQ(tip->Start(), 0);
    EXPECT_EQ(tip->GetState(), LToolTip::kWaiting);
    EXPECT_EQ(tip->Hide(), 0);
    EXPECT_EQ(tip->GetState(), LToolTip::kIdle);
    EXPECT_EQ(tip->GetIdleSubscriberCount(), 0);
}

}  // namespace
}  // namespace ZV
