#include "Renderer/ColorRectList.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/Polyline.h"
#include "Utilities/Graphics/BitmapTestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::GdiCanvas;
using Testing::NearPixel;

const LColor kRedColour(1, 0, 0, 1);

// Every pixel outside the rectangle (x, y, width, height) is still transparent.
::testing::AssertionResult NothingOutside(const Testing::Image& image, int left, int top, int width, int height)
{
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            if (!inside && image.At(x, y) != 0) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " changed";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(GdiClip, NestedClipsAndOriginsKeepEveryOperationInsideTheActiveClip)
{
    GdiCanvas canvas(100, 80);
    LGDIRenderer& renderer = canvas.Renderer();
    PolylineT<float> wide;
    wide.AddPoint({-3000, -3000});
    wide.AddPoint({3000, -3000});
    wide.AddPoint({0, 3000});
    PolylineT<float> distant(3);
    distant.AddPoint({0, 0});
    distant.AddPoint({10, 10});
    ColorRectListT<float> rects;
    rects.Add(RectT<float>(-500, -500, 1000, 1000), 0xFF00FF00u);

    canvas.Start();
    renderer.PushClip({10, 10, 60, 50}, {0, 0, 60, 50}, nullptr, true);
    renderer.PushClip({20, 5, 100, 100}, {0, 0, 100, 100}, nullptr, true);
    renderer.PushState();
    renderer.PushOffset({5, 5});
    // The clips are in the coordinates they are pushed in: device clip (30, 15, 30, 35), origin (35, 20).
    renderer.FillRect({-1000, -1000, 5000, 5000}, kRedColour, true);
    renderer.FrameRect({-1, -1, 200, 200}, kRedColour, 3);
    renderer.DrawLine({-5000, 0}, {5000, 40}, kRedColour, 2);
    renderer.FillPolygon(wide, kRedColour, {0, 0}, {1, 1}, true);
    renderer.DrawPolyline(distant, kRedColour, {4.5e15f, -4.5e15f}, {1, 1}, true);
    renderer.DrawColorRectList(rects, {0, 0}, false);
    renderer.DrawBitmap(LBitmap::GetCachedBitmap(Testing::kSheetName), {-50, -50, 400, 300}, 1);
    renderer.DrawText(L"clipped text that runs far beyond the clip", LFont::GetFont(L"DejaVu Sans", 30, 0), {-20, 0},
                      kRedColour);
    const Testing::Image clipped = canvas.Snapshot();
    EXPECT_TRUE(NothingOutside(clipped, 30, 15, 30, 35));
    EXPECT_NE(clipped.At(30, 15), 0u);
    EXPECT_NE(clipped.At(59, 49), 0u);

    for (int pushed = 0; pushed < 4; ++pushed) {
        renderer.PopState();
    }
    renderer.FillRect({0, 0, 2, 2}, kRedColour, true);
    EXPECT_TRUE(NearPixel(canvas.Pixel(0, 0), 0xFFFF0000u)) << "back at the unbounded clip, the corner is drawn";

    // Without blend: surface coordinates, no clip, and the surface's own edges bound it.
    renderer.PushClip({40, 40, 5, 5}, {0, 0, 5, 5}, nullptr, true);
    renderer.FillRect({90, 70, 5000, 5000}, LColor(0, 0, 1, 0.5f), false);
    renderer.FillRect({-5000, -5000, 5001, 5001}, LColor(0, 0, 1, 1), false);
    renderer.PopState();
    canvas.Finish();
    const Testing::Image image = canvas.Snapshot();
    EXPECT_TRUE(NearPixel(image.At(90, 70), 0x80000080u)) << "the colour is set, not painted over";
    EXPECT_TRUE(NearPixel(image.At(99, 79), 0x80000080u));
    EXPECT_EQ(image.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(image.At(89, 70), clipped.At(89, 70));
    EXPECT_EQ(image.At(1, 1), 0xFFFF0000u) << "a pixel past the hanging rectangle's corner";
}

TEST(GdiClip, TheStateFactorFadesColoursImagesAndText)
{
    GdiCanvas canvas(60, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    canvas.Start();
    canvas.Context()->GetState().factor = 0.5f;
    renderer.FillRect({0, 0, 10, 10}, kRedColour, true);
    renderer.DrawBitmap(LBitmap::CreateFilledBitmap({10, 10}, LColor(0, 1, 0, 1)), {10, 0, 10, 10}, 0);
    renderer.DrawBitmap(LBitmap::CreateFilledBitmap({5, 5}, LColor(0, 1, 0, 1)), {20, 0, 10, 10}, 0);
    canvas.Context()->GetState().factor = 0.0f;
    renderer.DrawText(L"invisible", LFont::GetFont(L"DejaVu Sans", 10, 0), {30, 0}, kRedColour);
    renderer.FillRect({40, 0, 10, 10}, kRedColour, true);
    canvas.Finish();
    EXPECT_TRUE(NearPixel(canvas.Pixel(5, 5), 0x80800000u));
    EXPECT_TRUE(NearPixel(canvas.Pixel(15, 5), 0x80008000u));
    EXPECT_TRUE(NearPixel(canvas.Pixel(25, 5), 0x80008000u)) << "a pre-scaled image too";
    EXPECT_TRUE(Testing::CompareImages(canvas.Snapshot(), GdiCanvas(60, 20).Snapshot(), 0).differingPixels == 300)
        << "nothing but the three faded squares";
}

TEST(GdiRenderer, IsMadeForKindOneOnceRegistered)
{
    LGDIRenderer::Register();
    EXPECT_EQ(LRenderer::Create(LRenderer::kGdi, nullptr)->GetRendererType(), LRenderer::kGdi);
    LRenderer::SetFactory(LRenderer::kGdi, nullptr);
}

TEST(GdiSurfaces, AreRemadeForANewSizeOrAWholeRepaintAndKeptOtherwise)
{
    GdiCanvas empty(0, 0);
    EXPECT_EQ(empty.GdiContext().GetBackBuffer().GetSize(), PointT<zlong>(1, 1));
    EXPECT_EQ(empty.Context()->GetMaxSurfaceSize(), PointT<zlong>(4096, 4096));

    GdiCanvas canvas(40, 30);
    RectList& dirty = canvas.Context()->GetDirtyRegion();
    canvas.Start();
    canvas.Renderer().FillRect({0, 0, 1, 1}, kRedColour, true);
    // Left in the state at the frame's end: the next frame starts from it, once.
    canvas.Renderer().PushState();
    canvas.Renderer().PushOffset({10, 10});
    canvas.Finish();

    dirty.Add({0, 0, 20, 30});
    dirty.Add({20, 0, 40, 30});
    canvas.Start();
    canvas.Renderer().FillRect({0, 0, 1, 1}, kRedColour, true);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFF0000u) << "two rectangles covering the viewport keep the back buffer";
    EXPECT_EQ(canvas.Pixel(10, 10), 0xFFFF0000u) << "drawn at the context's origin";
    EXPECT_EQ(canvas.Pixel(20, 20), 0u) << "not at twice the origin";

    dirty.Clear();
    dirty.Add({0, 0, 40, 30});
    canvas.Start();
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(0, 0), 0u) << "a dirty region of exactly the viewport starts from new surfaces";

    dirty.Clear();
    canvas.Start();
    EXPECT_TRUE(Succeeded(canvas.Renderer().SetViewport({0, 0, 70, 50})));
    canvas.Finish();
    canvas.Start();
    EXPECT_EQ(canvas.GdiContext().GetBackBuffer().GetSize(), PointT<zlong>(70, 50));
    canvas.Renderer().FillRect({55, 35, 5, 5}, kRedColour, true);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(69, 49), 0xFFFF0000u);
}

}  // namespace
}  // namespace ZV
