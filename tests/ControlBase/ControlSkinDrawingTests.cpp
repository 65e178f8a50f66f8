#include "ControlBase/Harness/WindowPaint.h"
#include "ControlBase/SkinnedControlSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LookSkin;
using Testing::LSkinnedControl;
using Testing::StringTable;
using Testing::Wearing;

// A window 120 x 40 whose root control wears the look "plain" with a label inside: the skin's looks as the window
// draws, hit tests and lays them out.
class ControlSkinDrawingTest : public ::testing::Test {
protected:
    void Load(const std::string& labelAttributes)
    {
        harness.Register<LSkinnedControl>(L"Test.Skinned");
        Testing::SkinDocumentBuilder skin = LookSkin();
        skin.controls =
            Wearing("Test.Skinned", "main", "one", "", Wearing("Test.Skinned", "label", "one", labelAttributes));
        harness.LoadSkinDocument(skin.Document());
        harness.LoadStrings(StringTable("Test|main", {{"LABEL", "Main"}}) +
                            StringTable("Test.Skinned|label", {{"LABEL", "Hi"}}));
        harness.Window().SetClientArea({0, 0, 120, 40});
        root = harness.CreateRoot(L"main");
        ASSERT_TRUE(root);
        label = root->FindChildByName(L"label");
    }

    ControlHarness harness;
    RCPtr<LControl> root;
    RCPtr<LControl> label;
};

TEST_F(ControlSkinDrawingTest, TheWindowDrawsTheWeightedLooksPartsAndLabelsOfTheTreeUnderTheirClips)
{
    Load(R"(XPositionAbs="10" YPositionAbs="5" XSizeAbs="60" YSizeAbs="20")");
    EXPECT_EQ(root->GetSize(), PointT<double>(120, 40));
    EXPECT_EQ(label->GetLook(0)->GetClientRect(), RectT<zlong>(2, 2, 56, 16)) << "sized with the control";
    EXPECT_EQ(root->ApplyLookWeight(0, 0.0f, false), 0);
    EXPECT_EQ(label->ApplyLookWeight(0, 0.0f, false), 0);
    (void)PaintWindow(harness);
    EXPECT_TRUE(Testing::DrawsOf(harness.Renderer()).empty()) << "no look is weighted";

    EXPECT_EQ(root->SelectLook(0), 0);
    EXPECT_EQ(label->SelectLook(0), 0);
    harness.Renderer().ClearCalls();
    (void)PaintWindow(harness);
    const std::string font = "\"Harness Sans\" 9 style 0";
    EXPECT_EQ(Testing::DrawsOf(harness.Renderer()),
              (std::vector<std::string>{
                  "FillRect 0,0,116,36 #FF0000DD blend | clip 2,2,116,36 | origin 2,2 | factor 1",
                  "DrawText \"Main\" " + font + " at 0,0 #FF112233 | clip 2,0,116,40 | origin 2,0 | factor 1",
                  "FillRect 0,0,56,16 #FF0000DD blend | clip 14,9,56,16 | origin 14,9 | factor 1",
                  "DrawText \"Hi\" " + font + " at 0,0 #FF112233 | clip 14,7,56,20 | origin 14,7 | factor 1"}))
        << "the root's client part and label, then the child's inside the root's client area";

    // Half weighted, the label is drawn at half the opacity.
    EXPECT_EQ(label->ApplyLookWeight(0, 0.5f, false), 0);
    harness.Renderer().ClearCalls();
    (void)PaintWindow(harness);
    const std::vector<std::string> draws = Testing::DrawsOf(harness.Renderer());
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_NE(draws[2].find("factor 0.5"), std::string::npos) << draws[2];
}

TEST_F(ControlSkinDrawingTest, ThePointerFindsAControlOnlyWhereOneOfItsWeightedLooksShows)
{
    Load(R"(XPositionAbs="10" YPositionAbs="5" XSizeAbs="60" YSizeAbs="20")");
    harness.Window().HitTestThroughRootControl();
    const auto hit = [&](zlong x, zlong y) {
        PointT<zlong> local;
        const RCPtr<LControl> control = harness.Window().HitTest({x, y}, local, false);
        return control ? std::string(control->GetName().ToUTF8().GetData()) : std::string("nothing");
    };
    EXPECT_EQ(root->ApplyLookWeight(0, 0.0f, false), 0);
    EXPECT_EQ(label->ApplyLookWeight(0, 0.0f, false), 0);
    EXPECT_EQ(hit(50, 30), "nothing") << "no look is weighted";
    EXPECT_EQ(root->SelectLook(0), 0);
    EXPECT_EQ(hit(50, 30), "main");
    EXPECT_EQ(hit(1, 1), "nothing") << "the margin round the client part shows nothing";
    EXPECT_EQ(hit(20, 12), "main") << "the label's looks are not weighted";
    EXPECT_EQ(label->SelectLook(0), 0);
    EXPECT_EQ(hit(20, 12), "label");
    EXPECT_EQ(hit(11, 6), "main") << "the label's margin lets the root show through";
}

TEST_F(ControlSkinDrawingTest, ALabelTheSkinLetsGrowWidensForItsTextUpToItsMaximumAndThenWraps)
{
    Load(R"(XSizeAbs="30" YSizeAbs="16" TextOverflowXType="Expand" TextOverflowYType="Expand" XMaxSizeAbs="80")");
    EXPECT_EQ(label->GetSize(), PointT<double>(30, 16)) << "\"Hi\" fits";
    EXPECT_EQ(label->SetText(L"Longer"), 0);
    EXPECT_EQ(label->GetSize(), PointT<double>(46, 16)) << "42 pixels of text in a box 4 narrower than the label";
    EXPECT_EQ(label->SetText(L"A text too wide for eighty"), 0);
    EXPECT_EQ(label->GetSize().x, 80) << "held at its maximum";
    EXPECT_TRUE(label->GetLook(0)->GetText()->GetWordWrap()) << "and the text wraps instead";
    EXPECT_EQ(label->GetLook(0)->GetText()->GetLineCount(), 3u);
    EXPECT_EQ(label->GetSize().y, 48) << "three lines high";
}

}  // namespace
}  // namespace ZV
