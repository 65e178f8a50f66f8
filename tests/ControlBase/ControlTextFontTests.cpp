#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "Renderer/Font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LookSkin;
using Testing::LSkinnedControl;
using Testing::Wearing;

std::string Describe(const RCPtr<LFont>& font)
{
    if (!font) {
        return "no font";
    }
    return std::string(font->GetFaceName().ToUTF8().GetData()) + " " + std::to_string(font->GetSize()) + " " +
           std::to_string(font->GetStyle());
}

class ControlTextFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness.Register<LSkinnedControl>(L"Test.Skinned");
        Testing::SkinDocumentBuilder skin = LookSkin();
        const std::string inherits = R"(FontInheritsFromParent="True" )";
        skin.controls = Wearing(
            "Test.Skinned", "main", "one", R"(FontName="Main Face" FontSize="10" FontStyle="1")",
            Wearing("Test.Skinned", "follower", "one", inherits + R"(FontSizeIsRelative="True" FontSize="1.5")",
                    Wearing("Test.Skinned", "grandchild", "one", inherits)) +
                Wearing("Test.Skinned", "sameSize", "one", inherits) +
                Wearing("Test.Skinned", "pinnedSize", "one", inherits + R"(FontSize="8")") +
                Wearing("Test.Skinned", "loner", "one", R"(FontName="Loner" FontSize="9")"));
        harness.LoadSkinDocument(skin.Document());
        root = RCPtr<LSkinnedControl>(harness.CreateRoot(L"main"));
        ASSERT_TRUE(root);
    }

    LControl& Named(const wchar_t* name)
    {
        const RCPtr<LControl>& child = root->FindChildByName(name);
        return child ? *child : *root->FindChildByName(L"follower")->FindChildByName(name);
    }

    std::string FontOf(const wchar_t* name) { return Describe(Named(name).GetFont()); }

    ControlHarness harness;
    RCPtr<LSkinnedControl> root;
};

TEST_F(ControlTextFontTest, FontsFollowTheParentsByTheSkinsRuleAndAChangeReachesOnlyThoseThatStillFollow)
{
    EXPECT_EQ(Describe(root->GetFont()), "Main Face 10.000000 1");
    EXPECT_EQ(FontOf(L"follower"), "Main Face 15.000000 1") << "one and a half times the parent's size";
    EXPECT_EQ(FontOf(L"grandchild"), "Main Face 15.000000 1");
    EXPECT_EQ(Named(L"sameSize").GetFont().Get(), root->GetFont().Get()) << "all three followed: the parent's own";
    EXPECT_EQ(FontOf(L"pinnedSize"), "Main Face 8.000000 1") << "its own size, the parent's face and style";
    EXPECT_EQ(Named(L"loner").GetFont()->GetFaceName(), L"Loner");
    EXPECT_EQ(Named(L"follower").GetLook(0)->GetText()->GetFont().Get(), Named(L"follower").GetFont().Get())
        << "the looks draw with the control's font";

    ControlEvents().clear();
    EXPECT_EQ(root->SetFontSpec(false, L"Other Face", 20, 0, false), 0);
    EXPECT_EQ(FontOf(L"follower"), "Other Face 30.000000 0");
    EXPECT_EQ(FontOf(L"grandchild"), "Other Face 30.000000 0") << "down the whole line that follows";
    EXPECT_EQ(Named(L"sameSize").GetFont().Get(), root->GetFont().Get());
    EXPECT_EQ(FontOf(L"pinnedSize"), "Other Face 8.000000 0");
    EXPECT_EQ(Named(L"loner").GetFont()->GetFaceName(), L"Loner") << "it does not inherit";
    EXPECT_EQ(ControlEvents().front(), "main OnFontChanged");

    // A font set outright is the control's own from then on.
    LControl& follower = Named(L"follower");
    EXPECT_EQ(follower.SetFont(LFont::GetFont(L"Fixed", 7, LFont::kItalic)), 0);
    EXPECT_EQ(FontOf(L"grandchild"), "Fixed 7.000000 2") << "its child still follows it";
    EXPECT_EQ(root->SetFontSpec(false, L"Third Face", 12, 0, false), 0);
    EXPECT_EQ(FontOf(L"follower"), "Fixed 7.000000 2");
    EXPECT_EQ(FontOf(L"grandchild"), "Fixed 7.000000 2");
    EXPECT_EQ(FontOf(L"pinnedSize"), "Third Face 8.000000 0");

    ControlEvents().clear();
    EXPECT_EQ(root->SetFont(root->GetFont()), 1) << "the font it has";
    EXPECT_EQ(root->SetFont(LFont::GetFont(L"THIRD FACE", 12, 0)), 1) << "the same face in other letters";
    EXPECT_TRUE(ControlEvents().empty());
    EXPECT_EQ(root->SetFont(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(Describe(root->GetFont()), "Third Face 12.000000 0");
}

TEST_F(ControlTextFontTest, ANewTextReachesEveryLookAndATopLevelControlsWindowTitleAndTheSameTextChangesNothing)
{
    root->invalidated.clear();
    EXPECT_EQ(root->SetText(L"Updater"), 0);
    EXPECT_EQ(root->GetText(), L"Updater");
    EXPECT_EQ(root->GetLook(0)->GetText()->GetText(), L"Updater");
    EXPECT_EQ(harness.Window().GetTitlesShown(), (std::vector<WideString>{L"Updater"}));
    EXPECT_EQ(root->invalidated.size(), 1u);

    EXPECT_EQ(root->SetText(WideString(L"Updater")), 1);
    EXPECT_FALSE(root->ApplyText(root->GetText(), true)) << "the same buffer";
    EXPECT_EQ(harness.Window().GetTitlesShown().size(), 1u) << "neither retitled";
    EXPECT_EQ(root->invalidated.size(), 1u) << "nor redrawn";

    LControl& child = Named(L"loner");
    EXPECT_TRUE(child.ApplyText(L"Child", false));
    EXPECT_EQ(child.GetLook(0)->GetText()->GetText(), L"Child");
    EXPECT_EQ(harness.Window().GetTitlesShown().size(), 1u) << "only the top-level control names the window";
}

TEST_F(ControlTextFontTest, ATextCountsAsClippedUntilItsLinesAreMeasuredAndThenWhenItsFirstLineIsWiderThanItsRoom)
{
    LControl& label = Named(L"loner");
    EXPECT_FALSE(label.IsTextClipped()) << "no text";
    EXPECT_TRUE(label.ApplyText(L"Wide text", false));
    EXPECT_TRUE(label.IsTextClipped()) << "not measured yet";
    label.GetLook(0)->SetSize(100, 20);
    EXPECT_EQ(label.GetLook(0)->GetText()->GetLineCount(), 1u);
    EXPECT_TRUE(label.IsTextClipped()) << "the room at the control's width, 0 until it is laid out, is -4";

    const RCPtr<LControl> bare(new LSkinnedControl(nullptr, L"bare"));
    EXPECT_TRUE(bare->ApplyText(L"text", false));
    EXPECT_FALSE(bare->IsTextClipped()) << "without a look";
}

}  // namespace
}  // namespace ZV
