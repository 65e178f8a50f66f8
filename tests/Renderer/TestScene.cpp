#include "Renderer/TestScene.h"

#include "Renderer/ColorRectList.h"
#include "Renderer/Font.h"
#include "Utilities/Graphics/BitmapTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Testing {

PolylineT<float> Path(std::initializer_list<PointT<float>> points)
{
    PolylineT<float> path;
    for (const PointT<float>& point : points) {
        path.AddPoint(point);
    }
    return path;
}

void DrawTestScene(LRenderer& renderer)
{
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
    ASSERT_FALSE(sheet.IsNull());
    const PolylineT<float> segments = Path({{130, 45}, {150, 45}, {130, 50}, {150, 50}, {170, 50}});
    const PolylineT<float> notched =
        Path({{10, 60}, {40, 60}, {40, 90}, {30, 90}, {30, 70}, {20, 70}, {20, 90}, {10, 90}});
    const PolylineT<float> triangle = Path({{0, 0}, {30, 0}, {0, 30}});
    const PolylineT<float> corner = Path({{90, 60}, {110, 60}, {110, 80}});
    ColorRectListT<float> rects;
    rects.Add(RectT<float>(0, 0, 20, 20), kSceneRed);
    rects.Add(RectT<float>(10, 10, 20, 20), kSceneGreen);

    renderer.FillRect({0, 0, 200, 150}, Color(kSceneBackground), true);
    renderer.FillRect({10, 10, 30, 20}, Color(kSceneRed), true);
    renderer.FrameRect({50, 10, 30, 20}, Color(kSceneGreen), 1);
    renderer.DrawRect({90, 10, 30, 20}, Color(kSceneBlue), Color(kSceneWhite), 1);
    renderer.DrawLine({10, 40}, {60, 40}, Color(0xFFFFFF00u), 1);
    renderer.DrawColorRectList(rects, {130, 10}, false);
    renderer.DrawLineSegments(segments, Color(0xFF00FFFFu), {0, 0}, {1, 1}, true);
    renderer.FillPolygon(notched, Color(0xFFFF00FFu), {0, 0}, {1, 1}, true);
    renderer.DrawPolygon(triangle, Color(kSceneWhite), {50, 60}, {1, 1}, true);
    renderer.DrawPolyline(corner, Color(0xFFFF8000u), {0, 0}, {1, 1}, false);
    renderer.DrawBitmap(sheet, {120, 60, 80, 40}, 0);
    renderer.DrawBitmap(sheet->CreateSubBitmap(0, 0, 20, 10), {10, 100, 50, 10}, 1);
    renderer.DrawBitmap(sheet->CreateSubBitmap(20, 0, 10, 10), {70, 100, 30, 20}, 2);
    renderer.DrawText(L"Halvista 17", LFont::GetFont(L"DejaVu Sans", 9, LFont::kRegular), {108, 118},
                      Color(kSceneWhite));
}

}  // namespace ZV::Testing
