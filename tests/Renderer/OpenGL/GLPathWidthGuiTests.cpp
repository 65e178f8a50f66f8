#include "Renderer/ArgbColours.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/Polyline.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::kArgbRed;

class GLPathWidthGui : public Testing::GLWindowTest {
protected:
    // A polyline at y = 20 and separate segments at y = 80, both from their cached lists.
    Testing::Image DrawnCached()
    {
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
        Renderer().DrawPolyline(mPolyline, LColor(1, 0, 0, 1), {0, 0}, {1, 1}, true);
        Renderer().DrawLineSegments(mSegments, LColor(1, 0, 0, 1), {0, 0}, {1, 1}, true);
        Finish();
        return Snapshot();
    }

    PolylineT<float> mPolyline = Testing::Path({{10, 20}, {90, 20}});
    PolylineT<float> mSegments = Testing::Path({{10, 80}, {90, 80}});
};

TEST_F(GLPathWidthGui, ACachedPathDrawnAgainAfterItsWidthChangedShowsTheNewWidth)
{
    const Testing::Image thin = DrawnCached();
    EXPECT_EQ(thin.At(50, 20), kArgbRed);
    EXPECT_NE(thin.At(50, 22), kArgbRed);

    mPolyline.SetLineWidth(7);
    mSegments.SetLineWidth(7);
    EXPECT_TRUE(mPolyline.IsChanged());
    const Testing::Image wide = DrawnCached();
    for (int y = 18; y <= 22; ++y) {
        EXPECT_EQ(wide.At(50, y), kArgbRed) << "polyline row " << y;
        EXPECT_EQ(wide.At(50, 60 + y), kArgbRed) << "segments row " << 60 + y;
    }

    mPolyline.SetLineWidth(7);
    EXPECT_FALSE(mPolyline.IsChanged()) << "the same width again is no change";
}

}  // namespace
}  // namespace ZV
