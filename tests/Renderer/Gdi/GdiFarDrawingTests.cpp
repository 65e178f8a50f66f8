#include "DebuggerOutputCapture.h"
#include "Renderer/ArgbColours.h"
#include "Renderer/ColorRectList.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Utilities/Graphics/BitmapData.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::DebuggerOutputCapture;
using Testing::GdiCanvas;

using Testing::kArgbRed;
using Testing::kArgbGreen;
using Testing::kArgbBlue;

// Red on the left half, green on the right half.
RCPtr<LBitmap> HalvesBitmap(zlong width, zlong height)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor(1, 0, 0, 1));
    const ConstRCPtr<LBitmapData> pixels = bitmap->GetPixelData();
    for (zlong y = 0; y < height; ++y) {
        for (zlong x = width / 2; x < width; ++x) {
            *pixels->GetPixelPointer(x, y) = kArgbGreen;
        }
    }
    return bitmap;
}

TEST(GdiFarDrawing, AStretchFarAwayOrUnderAFarOffsetLeavesLaterDrawingPaintingInThisFrameAndTheNext)
{
    const RCPtr<LBitmap> bitmap = HalvesBitmap(20, 10);
    const auto farAway = [&](LGDIRenderer& renderer) { renderer.DrawBitmap(bitmap, {5000000, 0, 5000, 10}, 0); };
    const auto underFarOffset = [&](LGDIRenderer& renderer) {
        renderer.PushState();
        renderer.PushOffset({0, 5000000});
        renderer.DrawBitmap(bitmap, {0, 0, 10, 5000}, 0);
        renderer.PopState();
        renderer.PopState();
    };
    using FarDraw = std::function<void(LGDIRenderer&)>;
    for (const FarDraw& farDraw : {FarDraw(farAway), FarDraw(underFarOffset)}) {
        GdiCanvas canvas(20, 20);
        LGDIRenderer& renderer = canvas.Renderer();
        canvas.Start();
        farDraw(renderer);
        renderer.FillRect({0, 0, 10, 10}, LColor(1, 0, 0, 1), true);
        canvas.Finish();
        EXPECT_EQ(canvas.Pixel(5, 5), kArgbRed);

        canvas.Start();
        renderer.FillRect({0, 0, 10, 10}, LColor(0, 0, 1, 1), true);
        canvas.Finish();
        EXPECT_EQ(canvas.Pixel(5, 5), kArgbBlue) << "the next frame";
    }
}

TEST(GdiFarDrawing, HugeStretchesAndTilesShowThePixelsThatTheirPlaceGivesThem)
{
    GdiCanvas canvas(100, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    const RCPtr<LBitmap> halves = HalvesBitmap(20, 10);
    canvas.Start();
    // The halves meet at x = 50, two hundred million pixels from either edge of the stretch.
    renderer.DrawBitmap(halves, {50 - 200000000, 0, 400000000, 10}, 0);
    // Tiles of 20 pixels from a corner a whole number of tiles to the left: the pattern starts again at 0.
    renderer.DrawBitmap(halves, {-20 * 50000, 10, 20 * 50000 + 100, 10}, 1);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(49, 5), kArgbRed);
    EXPECT_EQ(canvas.Pixel(50, 5), kArgbGreen);
    EXPECT_EQ(canvas.Pixel(0, 15), kArgbRed);
    EXPECT_EQ(canvas.Pixel(9, 15), kArgbRed);
    EXPECT_EQ(canvas.Pixel(10, 15), kArgbGreen);
    EXPECT_EQ(canvas.Pixel(20, 15), kArgbRed);
    EXPECT_EQ(canvas.Pixel(99, 15), kArgbGreen);
}

TEST(GdiFarDrawing, AColourListAtAnOffsetTooLargeToTakeOffAgainLeavesTheOriginWhereItWas)
{
    GdiCanvas canvas(20, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    ColorRectListT<float> list;
    list.Add({0, 0, 5, 5}, 0xFF00FF00u);
    canvas.Start();
    renderer.DrawColorRectList(list, {std::numeric_limits<float>::quiet_NaN(), 0}, false);
    renderer.PushState();
    renderer.PushOffset({10, 10});
    renderer.DrawColorRectList(list, {1e30f, 0}, false);
    renderer.FillRect({0, 0, 5, 5}, LColor(1, 0, 0, 1), true);
    renderer.PopState();
    renderer.PopState();
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(12, 12), kArgbRed);
    EXPECT_EQ(canvas.Pixel(2, 2), 0u) << "nothing of the lists is seen";

    canvas.Start();
    renderer.FillRect({0, 0, 5, 5}, LColor(0, 0, 1, 1), true);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(2, 2), kArgbBlue) << "the next frame";
}

TEST(GdiFarDrawing, AContextLeftInCairosErrorStateIsMadeAnewWithOneLine)
{
    const DebuggerOutputCapture debugger;
    GdiCanvas canvas(10, 10);
    canvas.Start();
    // A call that fails puts Cairo's context in its error state, where it would draw nothing ever again.
    cairo_scale(canvas.GdiContext().GetGraphics(), 0, 0);
    canvas.Renderer().FillRect({0, 0, 10, 10}, LColor(1, 0, 0, 1), true);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(5, 5), kArgbRed);
    const std::vector<std::string> lines = debugger.Texts();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Cairo failed while drawing (invalid matrix (not invertible)); its context is made anew\n");

    canvas.Start();
    cairo_scale(canvas.GdiContext().GetGraphics(), 0, 0);
    canvas.Finish();
    canvas.Start();
    EXPECT_EQ(cairo_status(canvas.GdiContext().GetGraphics()), CAIRO_STATUS_SUCCESS) << "before the next frame";
    canvas.Finish();
    EXPECT_EQ(debugger.Texts().size(), 2u);
}

}  // namespace
}  // namespace ZV
