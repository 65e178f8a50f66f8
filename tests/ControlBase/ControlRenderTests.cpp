#include "ControlBase/AutoClip.h"
#include "ControlBase/ControlTreeSkin.h"
#include "ControlBase/Harness/WindowPaint.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::DrawsOf;
using Testing::LRecordingRenderer;
using Testing::PaintWindow;

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// The draw log compared with its reviewed copy in the test data; ZV_UPDATE_GOLDEN_LOGS=1 writes the copy instead.
::testing::AssertionResult MatchesGoldenLog(const std::vector<std::string>& draws, const std::string& name)
{
    const std::string path = std::string(ZV_TEST_DATA_DIR) + "/Golden/" + name;
    const char* update = std::getenv("ZV_UPDATE_GOLDEN_LOGS");
    if (update != nullptr && std::string(update) == "1") {
        Testing::WriteContent(path, Joined(draws));
        return ::testing::AssertionSuccess();
    }
    const std::string expected = Testing::ContentOf(path);
    if (expected == Joined(draws)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the draws differ from " << path << "; they are:\n" << Joined(draws);
}

TEST(ControlRender, AThreeLevelTreeDrawsItsLooksChildrenAndOutreachingControlsUnderTheReviewedClips)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    harness.Renderer().ClearCalls();
    EXPECT_EQ(PaintWindow(harness), (std::vector<RectT<zlong>>{{0, 0, 300, 200}}));
    EXPECT_TRUE(MatchesGoldenLog(DrawsOf(harness.Renderer()), "ControlTreeDraws.log"));
}

TEST(ControlRender, RepaintingOneInvalidatedControlDrawsOnlyWhatMeetsItsArea)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    (void)PaintWindow(harness);
    const RCPtr<LControl> deep = main->FindChildByName(L"sibling")->FindChildByName(L"deep");
    EXPECT_EQ(deep->InvalidateRect({0, 0, 20, 20}, true), 0);
    harness.Renderer().ClearCalls();
    EXPECT_EQ(PaintWindow(harness), (std::vector<RectT<zlong>>{{220, 105, 20, 20}}));
    // The window's own look and the sibling's still draw where they meet the area (clipped to it); the deep child
    // draws its layers; the panel and its children lie elsewhere and draw nothing. The popup reaches over the area.
    std::vector<std::string> draws = DrawsOf(harness.Renderer());
    std::vector<std::string> expected{
        "FillRect 0,0,300,200 #FF000001 blend | clip 220,105,20,20 | origin 0,0 | factor 1",
        "FrameRect 0,0,300,200 #FF000001 width 1 | clip 220,105,20,20 | origin 0,0 | factor 1",
        "DrawText \"main\" no font at 0,0 #FF000001 | clip 220,105,20,20 | origin 0,0 | factor 1",
        "FillRect 0,0,60,60 #FF000001 blend | clip 220,105,20,20 | origin 215,100 | factor 1",
        "FrameRect 0,0,60,60 #FF000001 width 1 | clip 220,105,20,20 | origin 215,100 | factor 1",
        "DrawText \"sibling\" no font at 0,0 #FF000001 | clip 220,105,20,20 | origin 215,100 | factor 1",
        "FillRect 0,0,20,20 #FF000001 blend | clip 220,105,20,20 | origin 220,105 | factor 1",
        "FrameRect 0,0,20,20 #FF000001 width 1 | clip 220,105,20,20 | origin 220,105 | factor 1",
        "DrawText \"deep\" no font at 0,0 #FF000001 | clip 220,105,20,20 | origin 220,105 | factor 1",
        "FillRect 0,0,60,50 #FF000001 blend | clip 220,112,20,13 | origin 182,112 | factor 1",
        "FrameRect 0,0,60,50 #FF000001 width 1 | clip 220,112,20,13 | origin 182,112 | factor 1",
        "DrawText \"popup\" no font at 0,0 #FF000001 | clip 220,112,20,13 | origin 182,112 | factor 1",
    };
    EXPECT_EQ(draws, expected);
}

TEST(ControlRender, TheWrongPassFlagAndAControlOutOfSightDrawNothingButWhatReachesOutStillShows)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    LRecordingRenderer& renderer = harness.Renderer();
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer.InitRenderContextInfo({0, 0, 300, 200}, nullptr, false, context), 0);
    ASSERT_EQ(renderer.RenderStart(context), 0);
    RectList region;
    region.Add({0, 0, 300, 200});
    RCPtrArray<LControl> unclipped;
    renderer.ClearCalls();
    EXPECT_EQ(panel->Render(renderer, region, unclipped, true), ZV_E_INVALIDARG);
    EXPECT_EQ(panel->FindChildByName(L"popup")->Render(renderer, region, unclipped, false), ZV_E_INVALIDARG);
    EXPECT_TRUE(renderer.GetCalls().empty());

    // Clipped away entirely: the panel draws nothing, but its popup is still handed to the second pass.
    {
        const CAutoClip away(renderer, ClipRequest({0, 0, 300, 200}, {250, 150, 40, 40}, nullptr));
        renderer.ClearCalls();
        EXPECT_EQ(panel->Render(renderer, region, unclipped, false), 0);
    }
    EXPECT_TRUE(DrawsOf(renderer).empty());
    ASSERT_EQ(unclipped.GetCount(), 1u);
    EXPECT_EQ(unclipped.GetData()[0], panel->FindChildByName(L"popup"));

    // A hidden parent stops the collection: its grandchild that would reach outside is neither drawn nor listed.
    const RCPtr<LControl> hidden = main->FindChildByName(L"hiddenParent");
    RCPtrArray<LControl> collected;
    EXPECT_EQ(main->CollectUnclipped(collected, true, true), 1u);
    EXPECT_EQ(collected.GetData()[0], panel->FindChildByName(L"popup"));
    EXPECT_EQ(main->CollectUnclipped(collected, false, true), 2u) << "hidden ones too, when asked for";
    EXPECT_EQ(hidden->GetUnclippedDescendantCount(), 1);
    ASSERT_EQ(renderer.RenderFinish(context), 0);

    EXPECT_EQ(panel->FindChildByName(L"popup")->FindChildByName(L"item")->GetEffectiveZOrder(), 5);
    EXPECT_EQ(panel->GetEffectiveZOrder(), INT32_MIN);
    ClipRequest unknown;
    unknown.kind = 3;
    EXPECT_TRUE(Testing::ThrowsText<std::runtime_error>([&] { const CAutoClip clip(renderer, unknown); },
                                                        "Runtime Error : Unknown PushClip flavor : "
                                                        "ZV::CAutoClip::CAutoClip"));
}

}  // namespace
}  // namespace ZV
