#include "Renderer/ColorRectList.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/Polyline.h"
#include "Renderer/TestScene.h"
#include "Utilities/Graphics/BitmapTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace ZV {
namespace {

using Testing::GdiCanvas;
using Testing::kSheetName;
using Testing::NearPixel;

using Testing::Color;
using Testing::Path;

using Testing::kSceneBackground;
using Testing::kSceneRed;
using Testing::kSceneGreen;
using Testing::kSceneBlue;
constexpr std::uint32_t kWhite = Testing::kSceneWhite;

// A premultiplied pixel painted over an opaque one.
std::uint32_t Over(std::uint32_t below, std::uint32_t above)
{
    const std::uint32_t keep = 255 - (above >> 24);
    std::uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        result |= ((above >> shift & 0xFF) + ((below >> shift & 0xFF) * keep + 127) / 255) << shift;
    }
    return result;
}

// Every drawing operation once on an opaque background, checked at points where the result is certain and as a
// whole against the reviewed golden image.
TEST(GdiScene, EveryOperationDrawsWhereTheSkinSays)
{
    GdiCanvas canvas(200, 150);
    LGDIRenderer& renderer = canvas.Renderer();
    canvas.Start();
    Testing::DrawTestScene(renderer);
    canvas.Finish();

    const Testing::Image image = canvas.Snapshot();
    const struct {
        int x, y;
        std::uint32_t argb;
        const char* what;
    } points[] = {
        {25, 20, kSceneRed, "fill"},
        {9, 20, kSceneBackground, "left of the fill"},
        {40, 20, kSceneBackground, "a fill's right edge is exclusive"},
        {50, 20, kSceneGreen, "frame, left"},
        {80, 20, kSceneGreen, "frame, right: the pen runs on x + width"},
        {65, 30, kSceneGreen, "frame, bottom"},
        {65, 20, kSceneBackground, "frame, inside"},
        {105, 20, kSceneBlue, "rectangle's fill"},
        {90, 15, kWhite, "rectangle's frame"},
        {35, 40, 0xFFFFFF00u, "line"},
        {35, 41, kSceneBackground, "below the line"},
        {145, 25, kSceneRed, "the first coloured rectangle ends on top"},
        {155, 35, kSceneGreen, "second coloured rectangle"},
        {140, 45, 0xFF00FFFFu, "first segment"},
        {140, 50, 0xFF00FFFFu, "second segment"},
        {160, 50, kSceneBackground, "an odd last point makes no segment"},
        {15, 80, 0xFFFF00FFu, "polygon, left leg"},
        {35, 85, 0xFFFF00FFu, "polygon, right leg"},
        {25, 65, 0xFFFF00FFu, "polygon, bridge"},
        {25, 80, kSceneBackground, "polygon's notch stays empty"},
        {65, 60, kWhite, "triangle, top edge, moved by its translation"},
        {50, 75, kWhite, "triangle, left edge"},
        {58, 68, kSceneBackground, "triangle, inside"},
        {100, 60, 0xFFFF8000u, "polyline"},
        {110, 70, 0xFFFF8000u, "polyline, second leg"},
        {100, 70, kSceneBackground, "a polyline is not closed"},
        {130, 70, kSceneRed, "stretched sheet, red cell"},
        {150, 70, kSceneGreen, "stretched sheet, green cell"},
        {170, 70, kSceneBlue, "stretched sheet, blue cell"},
        {190, 70, Over(kSceneBackground, 0x80800000u), "stretched sheet, half-transparent red over the background"},
        {130, 90, kWhite, "stretched sheet, white cell"},
        {170, 90, kSceneBackground, "stretched sheet, transparent cell"},
        {15, 105, kSceneRed, "tile 1"},
        {25, 105, kSceneGreen, "tile 1, green half"},
        {35, 105, kSceneRed, "tile 2"},
        {55, 105, kSceneRed, "tile 3, cut at the destination's edge"},
        {60, 105, kSceneBackground, "right of the tiles"},
        {80, 105, kSceneBlue, "centred cell's corner: half the difference of the sizes"},
        {89, 114, kSceneBlue, "centred cell's far corner"},
        {79, 105, kSceneBackground, "left of the centred cell"},
        {90, 110, kSceneBackground, "right of the centred cell"},
    };
    for (const auto& point : points) {
        EXPECT_TRUE(NearPixel(image.At(point.x, point.y), point.argb)) << point.what << " at " << point.x << ","
                                                                        << point.y;
    }
    int ink = 0;
    for (int y = 110; y < 150; ++y) {
        for (int x = 108; x < 200; ++x) {
            ink += image.At(x, y) != kSceneBackground ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 40) << "the text left ink";
    EXPECT_TRUE(Testing::MatchesGoldenImage(image, "OffscreenScene.png", 2, 150));
}

}  // namespace
}  // namespace ZV
