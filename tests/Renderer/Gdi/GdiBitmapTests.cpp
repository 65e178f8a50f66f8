#include "Renderer/ArgbColours.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/RenderingServices.h"
#include "TestSupport.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/BitmapTestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::GdiCanvas;
using Testing::kSheetName;
using Testing::ThrowsText;

using Testing::kArgbBlue;

TEST(GdiBitmap, ResizeTypesKeepTheirOwnPreScaledCopies)
{
    GdiCanvas canvas(30, 20);
    const RCPtr<LBitmap> cell = LBitmap::GetCachedBitmap(kSheetName)->CreateSubBitmap(20, 0, 10, 10);
    canvas.Start();
    canvas.Renderer().DrawBitmap(cell, {0, 0, 30, 20}, 0);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(0, 0), kArgbBlue);

    GdiCanvas centred(30, 20);
    centred.Start();
    centred.Renderer().DrawBitmap(cell, {0, 0, 30, 20}, 0);
    centred.Renderer().FillRect({0, 0, 30, 20}, LColor(), false);
    centred.Renderer().DrawBitmap(cell, {0, 0, 30, 20}, 2);
    centred.Finish();
    EXPECT_EQ(centred.Pixel(0, 0), 0u) << "the centred drawing is not the stretched one from the cache";
    EXPECT_EQ(centred.Pixel(10, 5), kArgbBlue);
    EXPECT_EQ(centred.Pixel(20, 5), 0u);
}

TEST(GdiBitmap, RefusesWhatCannotBeDrawnAndDrawsTheRest)
{
    GdiCanvas canvas(60, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    const RCPtr<LBitmap> cell = LBitmap::GetCachedBitmap(kSheetName)->CreateSubBitmap(20, 0, 10, 10);
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { renderer.DrawBitmap(cell, {0, 0, 10, 10}, 0); },
                                               "Runtime Error : ZV::LGDIRenderer::DrawBitmap"))
        << "outside a frame";
    canvas.Start();
    EXPECT_TRUE(ThrowsText<std::invalid_argument>(
        [&] { renderer.DrawBitmap(cell, {0, 0, 20, 10}, 7); },
        "Invalid Argument : Invalid ResizeType passed to DrawBitmap. : ZV::LGDIRenderer::DrawBitmap"));
    EXPECT_TRUE(ThrowsText<FailedResultException>(
        [&] {
            renderer.DrawBitmap(nullptr, {0, 0, 20, 10}, 0);
        },
        "Failed Result : ZVRESULT = 80070057 : ZV::LGDIRenderer::DrawBitmap"));
    renderer.DrawBitmap(cell, {0, 0, 10, 10}, 7);
    renderer.DrawBitmap(cell, {10, 0, 0, 10}, 0);
    // Too large to keep pre-scaled: stretched straight into the frame.
    renderer.DrawBitmap(LBitmap::GetCachedBitmap(kSheetName)->CreateSubBitmap(0, 0, 20, 10), {20, 0, 10000, 10}, 0);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(5, 5), kArgbBlue) << "at its own size any resize type draws it as it is";
    EXPECT_EQ(canvas.Pixel(10, 5), 0u) << "an empty destination draws nothing";
    EXPECT_EQ(canvas.Pixel(59, 5), 0xFFFF0000u) << "the first 5000 pixels of the huge stretch are red";
}

TEST(GdiOffscreenImage, MovesWithinItsOwnSurfaceAndIsDrawnInPartsIntoAFrame)
{
    GdiCanvas canvas(30, 20);
    RCPtr<LRenderContextInfo> image;
    EXPECT_TRUE(Succeeded(canvas.Renderer().InitRenderContextInfo({0, 0, 10, 10}, nullptr, true, image)));
    RCPtr<LRenderContextInfo> window;
    EXPECT_TRUE(Succeeded(canvas.Renderer().InitRenderContextInfo({0, 0, 10, 10}, nullptr, false, window)));
    EXPECT_TRUE(Succeeded(canvas.Renderer().RenderStart(image)));
    canvas.Renderer().FillRect({0, 0, 2, 2}, LColor(0, 0, 1, 1), true);
    EXPECT_TRUE(Succeeded(canvas.Renderer().RenderFinish(image)));

    EXPECT_EQ(canvas.Renderer().DrawOffscreenImage(window, {1, 1}), ZV_E_INVALIDARG) << "not offscreen";
    EXPECT_EQ(canvas.Renderer().DrawOffscreenImage(image, {3, 4}), ZV_S_OK);
    EXPECT_EQ(canvas.Renderer().DrawBitmapPart(image, {0, 0}, {0, 0, 5, 5}), ZV_E_FAIL) << "outside a frame";

    canvas.Start();
    EXPECT_EQ(canvas.Renderer().DrawBitmapPart(window, {0, 0}, {0, 0, 5, 5}), ZV_E_INVALIDARG);
    EXPECT_EQ(canvas.Renderer().DrawBitmapPart(image, {20, 10}, {3, 4, 2, 2}), ZV_S_OK);
    EXPECT_EQ(canvas.Renderer().DrawBitmapPart(image, {0, 0}, {0, 0, 10, 10}), ZV_S_OK);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(20, 10), kArgbBlue);
    EXPECT_EQ(canvas.Pixel(21, 11), kArgbBlue);
    EXPECT_EQ(canvas.Pixel(22, 12), 0u);
    EXPECT_EQ(canvas.Pixel(3, 4), kArgbBlue) << "the square moved from (0, 0) to (3, 4)";
    EXPECT_EQ(canvas.Pixel(4, 5), kArgbBlue);
    EXPECT_EQ(canvas.Pixel(0, 0), 0u) << "what moved in is transparent";
    EXPECT_EQ(canvas.Pixel(5, 6), 0u);
}

}  // namespace
}  // namespace ZV
