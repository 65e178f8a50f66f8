#include "Renderer/ColorRectList.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/Polyline.h"
#include "Renderer/TestScene.h"
#include "Utilities/Graphics/BitmapTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace ZV {
namespace {

using Testing::GdiCanvas;
using Testing::Image;
using Testing::Path;
using Testing::kSheetName;

using Testing::Color;
using Testing::DrawTestScene;

using Testing::kSceneBackground;
using Testing::kSceneRed;
using Testing::kSceneGreen;
using Testing::kSceneBlue;
constexpr std::uint32_t kWhite = Testing::kSceneWhite;

Image CairoScene()
{
    GdiCanvas canvas(200, 150);
    canvas.Start();
    DrawTestScene(canvas.Renderer());
    canvas.Finish();
    return canvas.Snapshot();
}

class GLSceneGui : public Testing::GLWindowTest {};

TEST_F(GLSceneGui, TheCairoScenesFillsAndUnscaledBitmapsAreEqualAndTheWholeIsClose)
{
    Start();
    DrawTestScene(Renderer());
    Finish();
    const Image ours = Snapshot();
    const Image cairo = CairoScene();

    // Where both renderers must agree exactly: inside fills and on unscaled bitmap pixels.
    const struct {
        int x, y;
        const char* what;
    } exact[] = {
        {25, 20, "fill"},
        {10, 10, "fill's corner"},
        {39, 29, "fill's far corner"},
        {40, 20, "a fill's right edge is exclusive"},
        {105, 20, "rectangle's fill"},
        {145, 25, "the first coloured rectangle ends on top"},
        {155, 35, "second coloured rectangle"},
        {15, 80, "polygon, left leg"},
        {35, 85, "polygon, right leg"},
        {25, 65, "polygon, bridge"},
        {25, 80, "polygon's notch stays empty"},
        {15, 105, "tile 1"},
        {25, 105, "tile 1, green half"},
        {35, 105, "tile 2"},
        {55, 105, "tile 3, cut at the destination's edge"},
        {59, 109, "tile 3's last pixel"},
        {60, 105, "right of the tiles"},
        {80, 105, "centred cell's corner"},
        {89, 114, "centred cell's far corner"},
        {79, 105, "left of the centred cell"},
        {90, 110, "right of the centred cell"},
        {80, 115, "below the centred cell"},
        {130, 70, "stretched sheet, red cell"},
        {150, 70, "stretched sheet, green cell"},
        {170, 70, "stretched sheet, blue cell"},
        {130, 90, "stretched sheet, white cell"},
        {170, 90, "stretched sheet, transparent cell"},
    };
    for (const auto& point : exact) {
        EXPECT_EQ(ours.At(point.x, point.y), cairo.At(point.x, point.y))
            << point.what << " at " << point.x << "," << point.y;
    }
    // Lines land on the pixels the 2D renderer's pen covers.
    const struct {
        int x, y;
        std::uint32_t argb;
        const char* what;
    } lines[] = {
        {50, 20, kSceneGreen, "frame, left"},
        {80, 20, kSceneGreen, "frame, right: the pen runs on x + width"},
        {65, 30, kSceneGreen, "frame, bottom"},
        {65, 10, kSceneGreen, "frame, top"},
        {65, 20, kSceneBackground, "frame, inside"},
        {90, 15, kWhite, "rectangle's frame"},
        {35, 40, 0xFFFFFF00u, "line"},
        {35, 41, kSceneBackground, "below the line"},
        {140, 45, 0xFF00FFFFu, "first segment"},
        {140, 50, 0xFF00FFFFu, "second segment"},
        {160, 50, kSceneBackground, "an odd last point makes no segment"},
        {65, 60, kWhite, "triangle, top edge, moved by its translation"},
        {50, 75, kWhite, "triangle, left edge: the outline is closed"},
        {58, 68, kSceneBackground, "triangle, inside"},
        {100, 60, 0xFFFF8000u, "polyline"},
        {110, 70, 0xFFFF8000u, "polyline, second leg"},
        {100, 70, kSceneBackground, "a polyline is not closed"},
    };
    for (const auto& point : lines) {
        EXPECT_EQ(ours.At(point.x, point.y), point.argb) << point.what << " at " << point.x << "," << point.y;
    }
    int ink = 0;
    for (int y = 110; y < 150; ++y) {
        for (int x = 108; x < 200; ++x) {
            ink += ours.At(x, y) != kSceneBackground ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 40) << "the text left ink";

    // The stretched sheet is filtered linearly here and by nearest pixel in the 2D renderer, so the edges between its
    // cells blend; the glyphs come from another rasteriser, without the 2D renderer's padding. Nothing else may differ
    // but a diagonal falling on a neighbouring pixel.
    const Testing::ImageDifference difference = Testing::CompareImages(ours, cairo, 8);
    EXPECT_LE(difference.differingPixels, 1000) << "largest difference " << difference.largestDifference;
    int elsewhere = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool text = x >= 100 && y >= 110;
            const bool stretched = x >= 120 && x < 200 && y >= 60 && y < 100;
            elsewhere += !text && !stretched && ours.At(x, y) != cairo.At(x, y) ? 1 : 0;
        }
    }
    EXPECT_LE(elsewhere, 4);
}

TEST_F(GLSceneGui, DrawingAfterPoppingBackToTheDefaultClipIsVisible)
{
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, Color(kSceneBackground), true);
    Renderer().PushClip({10, 10, 20, 20}, {0, 0, 20, 20}, nullptr, true);
    Renderer().FillRect({0, 0, 100, 100}, Color(kSceneRed), true);
    Renderer().PopState();
    Renderer().FillRect({100, 100, 10, 10}, Color(kSceneBlue), true);
    // A cleared rectangle puts the default clip back as well.
    Renderer().FillRect({0, 0, 5, 5}, Color(kWhite), false);
    Renderer().FillRect({150, 20, 10, 10}, Color(kSceneGreen), true);
    Finish();

    const Image image = Snapshot();
    EXPECT_EQ(image.At(15, 15), kSceneRed);
    EXPECT_EQ(image.At(35, 35), kSceneBackground) << "the pushed clip held";
    EXPECT_EQ(image.At(105, 105), kSceneBlue) << "after the pop";
    EXPECT_EQ(image.At(2, 2), 0xFF000000u) << "cleared to transparent black, which the window shows black";
    EXPECT_EQ(image.At(155, 25), kSceneGreen) << "after the clear";
}

TEST_F(GLSceneGui, AClipOutsideTheWindowOrEmptyDrawsNothingAndALeftOverhangIsCut)
{
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, Color(kSceneBackground), true);
    Renderer().PushClip({0, 0, 0, 50}, {0, 0, 0, 50}, nullptr, false);
    Renderer().FillRect({0, 0, 100, 100}, Color(kSceneRed), true);
    Renderer().PopState();
    Renderer().PushClip({-30, 40, 50, 10}, {-30, 40, 50, 10}, nullptr, true);
    Renderer().FillRect({0, 0, 100, 10}, Color(kSceneGreen), true);
    Renderer().PopState();
    Finish();

    const Image image = Snapshot();
    EXPECT_EQ(image.At(5, 5), kSceneBackground) << "a clip of zero width";
    EXPECT_EQ(image.At(0, 45), kSceneGreen);
    EXPECT_EQ(image.At(19, 45), kSceneGreen);
    EXPECT_EQ(image.At(20, 45), kSceneBackground) << "the clip ends 20 pixels right of the window's edge";
}

}  // namespace
}  // namespace ZV
