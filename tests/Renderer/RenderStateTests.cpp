#include "Renderer/RecordingRenderer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::LRecordingRenderer;
using Testing::ThrowsText;

class RenderStateTest : public ::testing::Test {
protected:
    RenderStateTest()
    {
        mRenderer->InitRenderContextInfo(RectT<zlong>(0, 0, 640, 480), nullptr, false, mContext);
        mRenderer->RenderStart(mContext);
        mRenderer->ClearCalls();
    }
    ~RenderStateTest() override { mRenderer->RenderFinish(mContext); }

    const RenderState& State() const { return mContext->GetState(); }

    RCPtr<LRecordingRenderer> mRenderer{new LRecordingRenderer()};
    RCPtr<LRenderContextInfo> mContext;
};

// The clip of a new state: it clips nothing.
const RectT<double> kUnbounded(-5000000136282112.0, -5000000136282112.0, 10000000272564224.0, 10000000272564224.0);

TEST_F(RenderStateTest, RelativeClipIsTheVisiblePartOfTheBoundsSeenFromTheirCorner)
{
    EXPECT_EQ(State().clip, kUnbounded);
    mRenderer->PushClip(RectT<double>(10, -3, 50, 20), RectT<double>(0, 0, 100, 100), nullptr, true);
    EXPECT_EQ(State().origin, PointT<double>(10, -3));
    EXPECT_EQ(State().clip, RectT<double>(0, 3, 50, 17));

    // Nested: the child's clip is cut by the parent's, in the child's own coordinates.
    mRenderer->PushClip(RectT<double>(40, 5, 30, 30), RectT<double>(40, 5, 30, 30), nullptr, true);
    EXPECT_EQ(State().origin, PointT<double>(50, 2));
    EXPECT_EQ(State().clip, RectT<double>(0, 0, 10, 15));
    EXPECT_EQ(State().GetDeviceClip(), RectT<double>(50, 2, 10, 15));

    mRenderer->PopState();
    EXPECT_EQ(State().origin, PointT<double>(10, -3));
    EXPECT_EQ(State().clip, RectT<double>(0, 3, 50, 17));
    mRenderer->PopState();
    EXPECT_EQ(State().origin, PointT<double>(0, 0));
    EXPECT_EQ(State().clip, kUnbounded);
    EXPECT_EQ(mContext->GetSavedStateCount(), 0u);
}

TEST_F(RenderStateTest, OriginStepsRoundHalfAwayFromZeroAndClipsSnapToPixels)
{
    mRenderer->PushClip(RectT<double>(10.4, -2.5, 5, 5), RectT<double>(0.5, 0.25, 20.75, 10.5), nullptr, false);
    EXPECT_EQ(State().origin, PointT<double>(10, -3));
    EXPECT_EQ(State().clip, RectT<double>(0, 0, 21, 10)) << "an absolute clip is taken as it is, snapped";

    mRenderer->PushOffset(PointT<double>(2.5, -2.5));
    EXPECT_EQ(State().origin, PointT<double>(13, -6));
    EXPECT_EQ(State().GetDeviceClip(), RectT<double>(10, -3, 21, 10)) << "an offset leaves the clip in place";

    mRenderer->PushClip(RectT<double>(20.5, 0, 1, 1), RectT<double>(0, 0, 1, 1), nullptr, false);
    EXPECT_EQ(State().origin, PointT<double>(21, 0)) << "absolute bounds are window coordinates";
}

TEST_F(RenderStateTest, PopRestoresEveryPushAndNothingMoreAndAnOffsetNeedsASavedState)
{
    mRenderer->PushOffset(PointT<double>(7, 7));
    EXPECT_EQ(State().origin, PointT<double>(0, 0)) << "nothing saved yet: the offset does nothing";
    EXPECT_EQ(mContext->GetSavedStateCount(), 0u);

    mRenderer->PushState();
    mRenderer->PushOffset(PointT<double>(5, 5));
    EXPECT_EQ(State().origin, PointT<double>(5, 5));
    EXPECT_EQ(State().clip.x, kUnbounded.x - 5);
    mRenderer->PopState();
    mRenderer->PopState();
    EXPECT_EQ(State().origin, PointT<double>(0, 0));
    EXPECT_EQ(State().clip, kUnbounded);
    EXPECT_EQ(mContext->GetSavedStateCount(), 0u);

    mRenderer->ClearCalls();
    mRenderer->PopState();
    EXPECT_EQ(mRenderer->GetOperations(), std::vector<std::string>{"PopState"}) << "an extra pop changes nothing";
    EXPECT_EQ(State().origin, PointT<double>(0, 0));
}

TEST_F(RenderStateTest, ClipIsSetBeforeTheOriginMovesAndRestoredAfterItMovesBack)
{
    mRenderer->PushClip(RectT<double>(10, 20, 30, 40), RectT<double>(10, 20, 30, 40), nullptr, true);
    mRenderer->PopState();
    std::vector<std::string> seen;
    for (const Testing::RecordedCall& call : mRenderer->GetCalls()) {
        seen.push_back(call.ToString());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "PushClip 10,20,30,40 10,20,30,40 no stencil relative"
                        " @ origin 0,0 clip -5e+15,-5e+15,1e+16,1e+16",
                        "SetClipRect 10,20,30,40 @ origin 0,0 clip -5e+15,-5e+15,1e+16,1e+16",
                        "SetOrigin 10,20 @ origin 0,0 clip 10,20,30,40",
                        "PopState @ origin 10,20 clip 10,20,30,40",
                        "SetOrigin -10,-20 @ origin 10,20 clip 10,20,30,40",
                        "SetClipRect -5e+15,-5e+15,1e+16,1e+16 @ origin 0,0 clip 0,0,30,40",
                        "SetStencil no stencil @ origin 0,0 clip -5e+15,-5e+15,1e+16,1e+16",
                    }));
}

TEST_F(RenderStateTest, ChildOutsideTheClipIsLeftWithNothingVisible)
{
    mRenderer->PushClip(RectT<double>(0, 0, 10, 10), RectT<double>(0, 0, 10, 10), nullptr, true);
    mRenderer->PushClip(RectT<double>(20, 20, 5, 5), RectT<double>(20, 20, 5, 5), nullptr, true);
    EXPECT_EQ(State().GetDeviceClip().width, 0);
    EXPECT_EQ(State().GetDeviceClip().height, 0);
}

TEST_F(RenderStateTest, SecondStencilIsInstalledAsAFreshCopyAndPopBringsBackTheFirst)
{
    const ConstRCPtr<LStencil> stencil(new LStencil(8, 6));
    mRenderer->PushClip(RectT<double>(0, 0, 10, 10), RectT<double>(0, 0, 10, 10), stencil, true);
    EXPECT_EQ(State().stencil, stencil);
    EXPECT_TRUE(State().stencilInstalled);

    mRenderer->PushClip(RectT<double>(1, 1, 5, 5), RectT<double>(0, 0, 5, 5), stencil, true);
    ASSERT_FALSE(State().stencil.IsNull());
    EXPECT_NE(State().stencil, stencil);
    EXPECT_EQ(State().stencil->GetSize(), PointT<zlong>(8, 6));

    mRenderer->PopState();
    EXPECT_EQ(State().stencil, stencil);
    mRenderer->PopState();
    EXPECT_TRUE(State().stencil.IsNull());
    EXPECT_FALSE(State().stencilInstalled);
    EXPECT_EQ(stencil->GetRefCount(), 1) << "the states let go of the stencil";
}

TEST_F(RenderStateTest, StateOperationsActOnTheContextStartedLast)
{
    RCPtr<LRenderContextInfo> offscreen;
    mRenderer->InitRenderContextInfo(RectT<zlong>(0, 0, 64, 64), nullptr, true, offscreen);
    mRenderer->RenderStart(offscreen);
    mRenderer->PushClip(RectT<double>(4, 4, 8, 8), RectT<double>(0, 0, 8, 8), nullptr, true);
    mRenderer->SetViewport(RectT<zlong>(0, 0, 32, 32));
    EXPECT_EQ(offscreen->GetState().origin, PointT<double>(4, 4));
    EXPECT_EQ(offscreen->GetViewport(), RectT<zlong>(0, 0, 32, 32));
    EXPECT_EQ(State().origin, PointT<double>(0, 0));
    mRenderer->PopState();
    mRenderer->RenderFinish(offscreen);

    mRenderer->PushOffset(PointT<double>(1, 1));
    mRenderer->PushState();
    EXPECT_EQ(mContext->GetSavedStateCount(), 1u) << "the window's context is current again";
    mRenderer->PopState();
}

TEST(RendererFrames, BadStartsAndFinishesThrowAndLeaveTheFramesAsTheyWere)
{
    const RCPtr<LRenderer> renderer(new Testing::LRecordingRenderer());
    RCPtr<LRenderContextInfo> first;
    RCPtr<LRenderContextInfo> second;
    EXPECT_TRUE(Succeeded(renderer->InitRenderContextInfo(RectT<zlong>(0, 0, 10, 10), nullptr, false, first)));
    EXPECT_TRUE(Succeeded(renderer->InitRenderContextInfo(RectT<zlong>(0, 0, 10, 10), nullptr, true, second)));

    EXPECT_EQ(renderer->RenderFinish(first), ZV_S_OK) << "no frame running";
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)renderer->RenderStart(nullptr); },
                                               "Runtime Error : Render context is NULL : ZV::LRenderer::RenderStart"));
    EXPECT_TRUE(Succeeded(renderer->RenderStart(first)));
    EXPECT_TRUE(
        ThrowsText<std::runtime_error>([&] { (void)renderer->RenderStart(first); },
                                       "Runtime Error : Render context reentered. : ZV::LRenderer::RenderStart"));
    EXPECT_TRUE(Succeeded(renderer->RenderStart(second)));
    EXPECT_TRUE(ThrowsText<std::runtime_error>(
        [&] { (void)renderer->RenderFinish(first); },
        "Runtime Error : RenderFinish context does not match RenderStart context : ZV::LRenderer::RenderFinish"));
    EXPECT_EQ(renderer->RenderFinish(second), ZV_S_OK);
    EXPECT_EQ(renderer->RenderFinish(first), ZV_S_OK);
    EXPECT_EQ(first->GetRefCount(), 1) << "finished frames let go of their contexts";
}

TEST(RendererFrames, StateOperationsOutsideAFrameDoNothing)
{
    const RCPtr<LRenderer> renderer(new Testing::LRecordingRenderer());
    renderer->PushState();
    renderer->PushClip(RectT<double>(1, 2, 3, 4), RectT<double>(0, 0, 3, 4), ConstRCPtr<LStencil>(new LStencil(1, 1)),
                       true);
    renderer->PushOffset(PointT<double>(5, 5));
    renderer->SetOrigin(PointT<double>(5, 5));
    renderer->SetClipRect(RectT<double>(1, 1, 1, 1));
    EXPECT_TRUE(Succeeded(renderer->SetStencil(nullptr)));
    EXPECT_TRUE(Succeeded(renderer->SetViewport(RectT<zlong>(1, 1, 1, 1))));
    renderer->PopState();

    RCPtr<LRenderContextInfo> context;
    EXPECT_TRUE(Succeeded(renderer->InitRenderContextInfo(RectT<zlong>(0, 0, 10, 10), nullptr, false, context)));
    EXPECT_EQ(context->GetState().origin, PointT<double>(0, 0));
    EXPECT_EQ(context->GetViewport(), RectT<zlong>(0, 0, 10, 10));
}

TEST(RendererDrawing, DrawRectFillsAndFramesOnlyWithColoursThatShow)
{
    Testing::LRecordingRenderer renderer;
    const LColor clear(1, 0, 0, 0);
    const LColor red(1, 0, 0, 1);
    const LColor blue(0, 0, 1, 0.5f);
    renderer.DrawRect(RectT<zlong>(1, 2, 3, 4), red, blue, 2);
    renderer.DrawRect(RectT<zlong>(1, 2, 3, 4), clear, blue, 1);
    renderer.DrawRect(RectT<zlong>(1, 2, 3, 4), red, clear, 1);
    EXPECT_EQ(renderer.GetOperations(), (std::vector<std::string>{
                                            "DrawRect 1,2,3,4 #FFFF0000 #800000FF width 2",
                                            "FillRect 1,2,3,4 #FFFF0000 blend",
                                            "FrameRect 1,2,3,4 #800000FF width 2",
                                            "DrawRect 1,2,3,4 #00FF0000 #800000FF width 1",
                                            "FrameRect 1,2,3,4 #800000FF width 1",
                                            "DrawRect 1,2,3,4 #FFFF0000 #00FF0000 width 1",
                                            "FillRect 1,2,3,4 #FFFF0000 blend",
                                        }));
}

}  // namespace
}  // namespace ZV
