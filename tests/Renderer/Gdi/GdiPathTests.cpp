#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/Polyline.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::GdiCanvas;

const LColor kRed(1, 0, 0, 1);
constexpr std::uint32_t kRedPixel = 0xFFFF0000u;

void AddSquare(PolylineT<float>& path, float left)
{
    path.AddPoint({left, 0});
    path.AddPoint({left + 10, 0});
    path.AddPoint({left + 10, 10});
    path.AddPoint({left, 10});
}

TEST(GdiPath, IsBuiltAgainWhenItsPointsOrItsShapeChangeAndItsPenIsNotScaled)
{
    GdiCanvas canvas(40, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    PolylineT<float> path;
    AddSquare(path, 0);
    const auto clear = [&] { renderer.FillRect({0, 0, 40, 20}, LColor(), false); };

    canvas.Start();
    renderer.FillPolygon(path, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(canvas.Pixel(5, 5), kRedPixel);
    path.Clear();
    AddSquare(path, 20);
    clear();
    renderer.FillPolygon(path, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(canvas.Pixel(5, 5), 0u) << "the cached square is not drawn after the points changed";
    EXPECT_EQ(canvas.Pixel(25, 5), kRedPixel);
    EXPECT_FALSE(path.IsChanged());

    clear();
    renderer.DrawPolygon(path, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(canvas.Pixel(20, 5), kRedPixel) << "a polygon's closing edge";
    clear();
    renderer.DrawPolyline(path, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(canvas.Pixel(20, 5), 0u) << "the same points as a polyline are not closed";
    EXPECT_EQ(canvas.Pixel(25, 0), kRedPixel);

    PolylineT<float> line;
    line.AddPoint({0, 0});
    line.AddPoint({10, 0});
    clear();
    renderer.DrawPolyline(line, kRed, {0, 5}, {3, 3}, false);
    EXPECT_EQ(canvas.Pixel(1, 5), kRedPixel);
    EXPECT_EQ(canvas.Pixel(29, 5), kRedPixel) << "the points are scaled";
    EXPECT_EQ(canvas.Pixel(15, 4), 0u) << "the pen is not";
    EXPECT_EQ(canvas.Pixel(15, 6), 0u);
    canvas.Finish();
}

TEST(GdiPath, ACopiedAssignedOrMovedPathDrawsItsOwnPoints)
{
    GdiCanvas canvas(40, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    const auto drawn = [&](const PolylineT<float>& path) {
        renderer.FillRect({0, 0, 40, 20}, LColor(), false);
        renderer.FillPolygon(path, kRed, {0, 0}, {1, 1}, true);
        return canvas.Pixel(5, 5) == kRedPixel ? "left" : canvas.Pixel(25, 5) == kRedPixel ? "right" : "none";
    };
    PolylineT<float> left;
    AddSquare(left, 0);
    PolylineT<float> right;
    AddSquare(right, 20);
    canvas.Start();
    ASSERT_STREQ(drawn(left), "left");
    ASSERT_STREQ(drawn(right), "right");

    PolylineT<float> shape = left;
    EXPECT_STREQ(drawn(shape), "left");
    shape = right;
    EXPECT_STREQ(drawn(shape), "right") << "assigned";
    PolylineT<float> other = left;
    EXPECT_STREQ(drawn(other), "left");
    shape = std::move(other);
    EXPECT_STREQ(drawn(shape), "left") << "moved";

    // A copy made where another path lay.
    std::vector<PolylineT<float>> slot;
    slot.reserve(1);
    slot.push_back(left);
    EXPECT_STREQ(drawn(slot.back()), "left");
    slot.pop_back();
    slot.push_back(right);
    EXPECT_STREQ(drawn(slot.back()), "right") << "copied into the same place";
    canvas.Finish();
}

}  // namespace
}  // namespace ZV
