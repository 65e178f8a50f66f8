#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::CreateParams;
using Testing::LookSkin;
using Testing::LSkinnedControl;
using Testing::StringTable;
using Testing::Wearing;

class ControlLookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness.Register<LSkinnedControl>(L"Test.Skinned");
        Testing::SkinDocumentBuilder skin = LookSkin();
        skin.controls = Wearing(
            "Test.Skinned", "main", "four", "",
            Wearing("Test.Skinned", "label", "one", R"(TextOverflowXType="Wrap" TabStop="-1")") +
                Wearing("Test.Skinned", "button", "one", R"(TabStop="-1")", "",
                        CreateParams({{"NOT_FOCUSABLE", " False "}})) +
                Wearing("Test.Skinned", "stubborn", "one", R"(TabStop="2")", "",
                        CreateParams({{"NOT_FOCUSABLE", " TRUE "}})) +
                Wearing("Test.Skinned", "tabbed", "one", R"(TabStop="3")"));
        harness.LoadSkinDocument(skin.Document());
        harness.LoadStrings(StringTable("Test|main", {{"LABEL", "Main title"}}) +
                            StringTable("Test.Skinned|label", {{"LABEL", "A label"}}));
        ControlEvents().clear();
        root = RCPtr<LSkinnedControl>(harness.CreateRoot(L"main"));
        ASSERT_TRUE(root);
    }

    LSkinnedControl& Child(const wchar_t* name) { return dynamic_cast<LSkinnedControl&>(*root->FindChildByName(name)); }

    std::vector<float> LookWeights() const
    {
        std::vector<float> weights;
        for (std::uint32_t index = 0; index < root->GetLookCount(); ++index) {
            weights.push_back(root->GetLookWeight(index));
        }
        return weights;
    }

    // Lays every look out for the size, as the control's bounds do.
    void SizeLooks(LControl& control, zlong width, zlong height)
    {
        for (std::uint32_t index = 0; index < control.GetLookCount(); ++index) {
            if (const RCPtr<LLook> look = control.GetLook(static_cast<std::int32_t>(index))) {
                look->SetSize(width, height);
            }
        }
    }

    ControlHarness harness;
    RCPtr<LSkinnedControl> root;
};

using Weights = std::vector<float>;

TEST_F(ControlLookTest, TheSkinGivesOneLookPerLookNumberAndWeightsSelectAndBlendThem)
{
    ASSERT_EQ(root->GetLookCount(), 4u);
    EXPECT_EQ(root->GetLook(2), nullptr) << "the number the skin gives no look keeps its place";
    EXPECT_EQ(root->GetLook(1)->GetDescriptor()->GetName(), L"edged");
    EXPECT_EQ(root->GetLook(3)->GetDescriptor()->GetName(), L"plain");
    EXPECT_NE(root->GetLook(3).Get(), root->GetLook(0).Get()) << "a look of its own for each number";
    EXPECT_EQ(LookWeights(), (Weights{1, 0, 0, 0})) << "the first look shows from the start";
    EXPECT_EQ(root->ApplyLookWeight(0, 0.0f, false), 0);
    EXPECT_EQ(root->GetActiveLookIndex(), -1);
    EXPECT_EQ(root->GetLook(-1).Get(), root->GetLook(0).Get()) << "without a weighted look: the first there is";
    EXPECT_EQ(root->GetLook(99).Get(), root->GetLook(0).Get());
    EXPECT_TRUE(Child(L"label").GetLook(0)->GetText()->GetWordWrap()) << "TextOverflowXType Wrap";
    EXPECT_FALSE(root->GetLook(0)->GetText()->GetWordWrap());

    root->invalidated.clear();
    EXPECT_EQ(root->SelectLook(2), 0);
    EXPECT_EQ(LookWeights(), (Weights{0, 0, 1, 0}));
    EXPECT_EQ(root->SelectLook(2), 0);
    EXPECT_EQ(root->invalidated.size(), 1u) << "redrawn only when a weight changed";
    EXPECT_EQ(root->GetActiveLookIndex(), -1) << "an empty look is never the active one";

    EXPECT_EQ(root->ApplyLookWeight(3, 1.5f, false), 0);
    EXPECT_EQ(root->ApplyLookWeight(3, -0.5f, true), 0) << "the others still go to 0";
    EXPECT_EQ(LookWeights(), (Weights{0, 0, 0, 0})) << "a weight outside 0 .. 1 is ignored";
    EXPECT_EQ(root->ApplyLookWeight(4, 1, false), ZV_E_INVALIDARG);
    EXPECT_EQ(root->ApplyLookWeight(1, 0.3f, false), 0);
    EXPECT_EQ(root->ApplyLookWeight(3, 0.7f, false), 0);
    EXPECT_EQ(LookWeights(), (Weights{0, 0.3f, 0, 0.7f})) << "two looks cross-fade";
    EXPECT_EQ(root->GetActiveLookIndex(), 1);
    EXPECT_EQ(root->GetLook(-1).Get(), root->GetLook(1).Get());
    EXPECT_EQ(root->invalidated.size(), 4u);
    for (const RectT<double>& area : root->invalidated) {
        EXPECT_EQ(area, RectT<double>(0, 0, root->GetSize().x, root->GetSize().y)) << "the whole control";
    }
}

TEST_F(ControlLookTest, TheWeightedLooksDecideWhereTheControlShowsAndWhatItsClientAreaIs)
{
    SizeLooks(*root, 40, 20);
    EXPECT_EQ(root->ApplyLookWeight(0, 0.0f, false), 0);
    EXPECT_TRUE(root->IsTransparentAtPoint({10, 10})) << "no look is weighted";
    EXPECT_EQ(root->SelectLook(0), 0);
    EXPECT_FALSE(root->IsTransparentAtPoint({10, 10}));
    EXPECT_TRUE(root->IsTransparentAtPoint({1, 1})) << "the margin of the client part; text shows nowhere";
    EXPECT_EQ(root->ApplyLookWeight(1, 0.5f, false), 0);
    EXPECT_FALSE(root->IsTransparentAtPoint({1, 1})) << "the corner of the other weighted look";
    EXPECT_TRUE(root->IsTransparentAtPoint({40, 1})) << "outside every part";

    EXPECT_EQ(root->GetColorAtPoint({1, 1}, 1), 0xFFAA0000u);
    EXPECT_EQ(root->GetColorAtPoint({3, 3}, 1), 0xFFAA0000u) << "the corner lies over the client part";
    EXPECT_EQ(root->GetColorAtPoint({10, 10}, 1), 0xFF0000DDu);
    EXPECT_EQ(root->GetColorAtPoint({10, 10}, 3), 0xFF0000DDu) << "a look that is not weighted answers too";
    EXPECT_EQ(root->GetColorAtPoint({10, 10}, 2), 0x00FFFFFFu) << "the empty look";
    EXPECT_EQ(root->GetColorAtPoint({1, 1}, -1), 0x00FFFFFFu) << "the active look, 0";

    EXPECT_EQ(root->GetClientRect(0), RectT<double>(2, 2, 36, 16));
    EXPECT_EQ(root->GetClientRect(1), RectT<double>(0, 0, 40, 20));
    EXPECT_EQ(root->GetClientRect(-1), RectT<double>(2, 2, 36, 16)) << "the active look's";
    EXPECT_EQ(root->GetLookClientRect(), RectT<double>(0, 0, 36, 16));
    EXPECT_EQ(root->GetLookMargins(), RectT<double>(0, 0, 36, 16)) << "seen from the scroll offset";

    const RCPtr<LControl> bare(new LSkinnedControl(nullptr, L"bare"));
    EXPECT_EQ(bare->GetClientRect(-1), RectT<double>(0, 0, 0, 0)) << "without looks: the control's own rectangle";
    EXPECT_TRUE(bare->IsTransparentAtPoint({0, 0}));
    EXPECT_EQ(bare->GetColorAtPoint({0, 0}, 0), 0x00FFFFFFu);
    EXPECT_EQ(bare->SelectLook(0), ZV_E_INVALIDARG);
}

TEST_F(ControlLookTest, TextPartsOverlaysAndRegionsGoToTheLookTheyNameAndFailForOneThatIsMissing)
{
    const RCPtr<LVisualPart> edge =
        root->GetLook(1)->GetDescriptor()->GetNonClientParts().GetData()[0]->GetPart()->GetVisualPart();
    EXPECT_EQ(root->SetLookTextPart(edge, 2), ZV_E_FAIL) << "the empty look";
    EXPECT_EQ(root->SetLookTextPart(edge, 4), ZV_E_FAIL);
    EXPECT_EQ(root->SetLookTextPart(nullptr, 0), ZV_E_INVALIDARG);
    EXPECT_EQ(root->SetLookTextPart(edge, 0), 0);
    EXPECT_EQ(root->GetLook(0)->GetTextForegroundPart().Get(), edge.Get());

    const RCPtr<LBitmap> badge = LBitmap::CreateFilledBitmap({4, 4}, LColor(1, 0, 0, 1));
    EXPECT_EQ(root->SelectLook(0), 0);
    root->invalidated.clear();
    EXPECT_EQ(root->SetLookOverlay(badge, {0, 0}, 3, false), 0);
    EXPECT_TRUE(root->invalidated.empty()) << "look 3 does not show";
    EXPECT_EQ(root->SetLookOverlay(badge, {0, 0}, 0, true), 0);
    EXPECT_EQ(root->invalidated.size(), 1u) << "the active look changed";
    EXPECT_EQ(root->SetLookOverlay(nullptr, {}, 3, false), 0);
    EXPECT_EQ(root->SetLookOverlay(nullptr, {}, 3, false), 1) << "no overlay left to drop";
    EXPECT_EQ(root->SetLookOverlay(badge, {}, 2, false), ZV_E_FAIL);
    EXPECT_EQ(root->SetLookOverlay(badge, {}, -1, false), ZV_E_FAIL);

    RectList region;
    region.Add({0, 0, 10, 10});
    root->invalidated.clear();
    EXPECT_EQ(root->SetLookRegion(1, region), 0);
    EXPECT_EQ(root->invalidated.size(), 1u);
    EXPECT_EQ(root->GetLook(1)->GetRegion().GetCount(), 1u) << "a copy of the list";
    EXPECT_EQ(root->SetLookRegion(2, region), ZV_E_INVALIDARG);
    EXPECT_EQ(root->SetLookRegionComplement(0, 2), ZV_E_INVALIDARG);
    EXPECT_EQ(root->SetLookRegionComplement(5, 1), ZV_E_INVALIDARG);
    EXPECT_EQ(root->SetLookRegionComplement(0, 1), 0);
    const RectList& complement = root->GetLook(0)->GetRegion();
    RectEdges bounds;
    ASSERT_TRUE(complement.GetBounds(bounds));
    EXPECT_EQ(bounds, (RectEdges{0, 0, RoundToLong(root->GetSize().x), RoundToLong(root->GetSize().y)}))
        << "the whole control";
    EXPECT_FALSE(complement.Overlaps({0, 0, 10, 10})) << "less the other look's region";
    EXPECT_TRUE(complement.Overlaps({10, 0, 11, 1}));
    EXPECT_TRUE(complement.Overlaps({0, 10, 1, 11}));
    root->ClearLookRegion(1);
    EXPECT_EQ(root->GetLook(1)->GetRegion().GetCount(), 0u);
    EXPECT_EQ(root->SetLookRegion(3, region), 0);
    root->ClearLookRegions();
    EXPECT_EQ(root->GetLook(3)->GetRegion().GetCount(), 0u);
}

TEST_F(ControlLookTest, TheSkinGivesFocusabilityFontAndLabelAndAppliedAgainKeepsWhatTheControlHad)
{
    const auto events = [](const std::string& name) {
        std::vector<std::string> found;
        for (const std::string& event : ControlEvents()) {
            // Applying the descriptor and reading the create parameters both decide it, alike.
            if (event.rfind(name + " SetNotFocusable", 0) == 0 &&
                (found.empty() || found.back() != event.substr(name.size() + 1))) {
                found.push_back(event.substr(name.size() + 1));
            }
        }
        return found;
    };
    using Events = std::vector<std::string>;
    EXPECT_EQ(events("label"), (Events{"SetNotFocusable true"})) << "TabStop below 0";
    EXPECT_EQ(events("tabbed"), (Events{"SetNotFocusable false"}));
    EXPECT_EQ(events("button"), (Events{"SetNotFocusable false"})) << "the parameter wins over TabStop";
    EXPECT_EQ(events("stubborn"), (Events{"SetNotFocusable true"})) << "read trimmed and in any letter case";

    EXPECT_EQ(root->GetText(), L"Main title") << "LABEL of the control's string table";
    EXPECT_EQ(root->GetLook(3)->GetText()->GetText(), L"Main title");
    EXPECT_EQ(Child(L"label").GetLook(0)->GetText()->GetText(), L"A label");
    EXPECT_TRUE(harness.Window().GetTitlesShown().empty()) << "the window was not there yet";

    // The text and the enablement survive a new skin; the skin's visibility is taken as any change of it is.
    LSkinnedControl& label = Child(L"label");
    EXPECT_EQ(label.SetText(L"~"), 0);
    (void)label.SetVisible(false);
    label.GetLayoutDescriptor()->isEnabled = false;
    const RCPtr<LLook> oldLook = label.GetLook(0);
    ControlEvents().clear();
    EXPECT_EQ(label.ApplyDescriptor(label.GetControlDescriptor()), 0);
    EXPECT_NE(label.GetLook(0).Get(), oldLook.Get()) << "new looks";
    EXPECT_EQ(label.GetLook(0)->GetText()->GetText(), L"~") << "the new looks show the text the label had";
    EXPECT_EQ(label.GetText(), L"~");
    EXPECT_FALSE(label.GetLayoutDescriptor()->isEnabled);
    EXPECT_EQ(std::count(ControlEvents().begin(), ControlEvents().end(), "label SetVisible true while hidden"), 1);
    EXPECT_TRUE(label.GetLayoutDescriptor()->isVisible);
    EXPECT_TRUE(label.GetControlDescriptor()->GetLayoutDescriptor()->isVisible) << "the skin's rules stay the skin's";
    EXPECT_EQ(label.GetLook(0)->GetText()->GetFont().Get(), label.GetFont().Get()) << "and the control's font";

    harness.Window().SetClientArea({10, 20, 321, 123});
    EXPECT_EQ(harness.Factory().ApplySkinToControl(root), 0);
    EXPECT_EQ(root->GetLayoutDescriptor()->xSize.abs, 321) << "the window keeps its size under a new skin";
    EXPECT_EQ(root->GetLayoutDescriptor()->ySize.abs, 123);
    EXPECT_TRUE(root->GetLayoutDescriptor()->isVisible);
    EXPECT_EQ(root->GetText(), L"Main title");
    EXPECT_EQ(root->GetLook(0)->GetText()->GetText(), L"Main title");
    EXPECT_EQ(root->ApplyDescriptor(nullptr), ZV_E_INVALIDARG);
}

}  // namespace
}  // namespace ZV
