#include "Renderer/ArgbColours.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/OpenGL/GLTestWindow.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::Image;

using Testing::kArgbRed;
using Testing::kArgbGreen;
using Testing::kArgbBlue;
constexpr std::uint32_t kGrey = 0xFF404040u;

class GLOffscreenGui : public Testing::GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        ASSERT_EQ(Renderer().InitRenderContextInfo({0, 0, 40, 40}, &GetNativeWindow(), true, mOffscreen), ZV_S_OK);
    }

    // The offscreen image: blue above, green below.
    void DrawHalves()
    {
        ASSERT_EQ(Renderer().RenderStart(mOffscreen), ZV_S_OK);
        Renderer().FillRect({0, 0, 40, 20}, LColor(0, 0, 1, 1), true);
        Renderer().FillRect({0, 20, 40, 20}, LColor(0, 1, 0, 1), true);
        ASSERT_EQ(Renderer().RenderFinish(mOffscreen), ZV_S_OK);
    }

    void FillWindow(const LColor& color)
    {
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, color, true);
        Finish();
    }

    RCPtr<LRenderContextInfo> mOffscreen;
};

TEST_F(GLOffscreenGui, AnOffscreenContextDrawsIntoItsOwnImageAndNeverReachesTheWindow)
{
    FillWindow(LColor(1, 0, 0, 1));
    DrawHalves();
    const Image untouched = Snapshot();
    EXPECT_EQ(untouched.At(10, 10), kArgbRed);
    EXPECT_EQ(untouched.At(30, 30), kArgbRed) << "no swap, no copy";

    Start();
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {100, 50}, {0, 0, 40, 40}), ZV_S_OK);
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {10, 100}, {5, 15, 20, 10}), ZV_S_OK);
    Finish();
    const Image image = Snapshot();
    EXPECT_EQ(image.At(100, 50), kArgbBlue) << "the image's top is drawn at the top";
    EXPECT_EQ(image.At(139, 69), kArgbBlue);
    EXPECT_EQ(image.At(100, 70), kArgbGreen);
    EXPECT_EQ(image.At(139, 89), kArgbGreen);
    EXPECT_EQ(image.At(140, 70), kArgbRed);
    EXPECT_EQ(image.At(120, 90), kArgbRed);
    EXPECT_EQ(image.At(10, 100), kArgbBlue) << "the part from (5, 15): five rows of blue";
    EXPECT_EQ(image.At(29, 104), kArgbBlue);
    EXPECT_EQ(image.At(10, 105), kArgbGreen);
    EXPECT_EQ(image.At(29, 109), kArgbGreen);
    EXPECT_EQ(image.At(30, 105), kArgbRed);
    EXPECT_EQ(image.At(10, 110), kArgbRed);
}

TEST_F(GLOffscreenGui, AnOffscreenFrameInsideAWindowFrameHandsTheWindowItsTargetClipAndOriginBack)
{
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0.25f, 0.25f, 0.25f, 1), true);
    Renderer().PushClip({50, 50, 100, 50}, {50, 50, 100, 50}, nullptr, true);
    DrawHalves();
    Renderer().FillRect({0, 0, 10, 10}, LColor(1, 0, 0, 1), true);
    Renderer().FillRect({-20, 0, 10, 10}, LColor(1, 0, 0, 1), true);
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {20, 0}, {0, 10, 40, 20}), ZV_S_OK);
    Renderer().PopState();
    Finish();
    const Image image = Snapshot();
    EXPECT_EQ(image.At(55, 55), kArgbRed) << "drawn at the window's origin after the offscreen frame";
    EXPECT_EQ(image.At(35, 55), kGrey) << "and within its clip";
    EXPECT_EQ(image.At(75, 55), kArgbBlue);
    EXPECT_EQ(image.At(75, 65), kArgbGreen);
    EXPECT_EQ(image.At(10, 10), kGrey);
}

TEST_F(GLOffscreenGui, TheImageMovesWithinItselfAndTranslucentDrawingKeepsItsCoverage)
{
    DrawHalves();
    EXPECT_EQ(Renderer().DrawOffscreenImage(mOffscreen, {10, 0}), ZV_S_OK);
    FillWindow(LColor(0.25f, 0.25f, 0.25f, 1));
    Start();
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {0, 0}, {0, 0, 40, 40}), ZV_S_OK);
    Finish();
    Image image = Snapshot();
    EXPECT_EQ(image.At(5, 5), kGrey) << "what moved in is transparent";
    EXPECT_EQ(image.At(15, 5), kArgbBlue);
    EXPECT_EQ(image.At(39, 35), kArgbGreen);

    // Half-transparent red drawn into the image and the image drawn over grey: as if drawn over the grey directly.
    ASSERT_EQ(Renderer().RenderStart(mOffscreen), ZV_S_OK);
    Renderer().FillRect({0, 0, 40, 40}, LColor(0, 0, 0, 1), false);
    Renderer().FillRect({0, 0, 40, 40}, LColor(1, 0, 0, 0.5f), true);
    ASSERT_EQ(Renderer().RenderFinish(mOffscreen), ZV_S_OK);
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0.25f, 0.25f, 0.25f, 1), true);
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {0, 0}, {0, 0, 40, 40}), ZV_S_OK);
    Renderer().FillRect({50, 0, 40, 40}, LColor(1, 0, 0, 0.5f), true);
    Finish();
    image = Snapshot();
    EXPECT_TRUE(Testing::NearPixel(image.At(20, 20), image.At(70, 20)));
    EXPECT_NE(image.At(20, 20), kGrey);
}

TEST_F(GLOffscreenGui, OnlyAnOffscreenContextOfThisRendererIsDrawnFromAndOnlyWithinAFrame)
{
    DrawHalves();
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {0, 0}, {0, 0, 10, 10}), ZV_E_FAIL) << "outside a frame";
    Start();
    EXPECT_EQ(Renderer().DrawBitmapPart(mContext, {0, 0}, {0, 0, 10, 10}), ZV_E_INVALIDARG) << "a window's context";
    EXPECT_EQ(Renderer().DrawBitmapPart(nullptr, {0, 0}, {0, 0, 10, 10}), ZV_E_INVALIDARG);
    EXPECT_EQ(Renderer().DrawOffscreenImage(mContext, {0, 0}), ZV_E_INVALIDARG);
    Finish();
    ASSERT_EQ(Renderer().RenderStart(mOffscreen), ZV_S_OK);
    EXPECT_EQ(Renderer().DrawBitmapPart(mOffscreen, {0, 0}, {0, 0, 10, 10}), ZV_E_INVALIDARG) << "onto itself";
    EXPECT_EQ(Renderer().DrawOffscreenImage(mOffscreen, {0, 5}), ZV_S_OK) << "within its own frame";
    ASSERT_EQ(Renderer().RenderFinish(mOffscreen), ZV_S_OK);
}

}  // namespace
}  // namespace ZV
