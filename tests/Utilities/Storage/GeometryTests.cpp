#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <gtest/gtest.h>

#include <limits>

namespace ZV {
namespace {

TEST(GeometryRounding, HalfGoesAwayFromZeroAndOutOfRangeClamps)
{
    const RectT<double> rect(2.5, -2.5, 2.4999, -0.4);
    EXPECT_EQ(rect.ToLong(), RectT<zlong>(3, -3, 2, 0));
    const RectT<double> huge(1e12, -1e12, std::numeric_limits<double>::quiet_NaN(), 2147483647.4);
    EXPECT_EQ(huge.ToLong(), RectT<zlong>(2147483647, static_cast<zlong>(0x80000000u),
                                          static_cast<zlong>(0x80000000u), 2147483647));
    EXPECT_EQ(PointT<double>(-0.5, 0.5).ToLongPoint(), PointT<zlong>(-1, 1));
    EXPECT_EQ(PointT<double>(7.5, -7.5).RoundToLong(), PointT<zlong>(8, -8));
    PointT<double> rounded(1.5, -1.5);
    rounded.Round();
    EXPECT_EQ(rounded, PointT<double>(2.0, -2.0));
}

TEST(GeometryBounds, UnionAndIntersectionHaveAnAreaOnlyWhenBothExtentsExceedEpsilon)
{
    RectT<float> bounds;
    EXPECT_TRUE(UnionRects(bounds, RectT<float>(0, 0, 10, 10), RectT<float>(20, 5, 5, 10)));
    EXPECT_EQ(bounds, RectT<float>(0, 0, 25, 15));
    EXPECT_FALSE(UnionRects(bounds, RectT<float>(), RectT<float>()));
    EXPECT_EQ(bounds, RectT<float>());
    RectT<double> common;
    EXPECT_TRUE(RectT<double>::Intersect(common, RectT<double>(0, 0, 10, 10), RectT<double>(5, -5, 10, 10)));
    EXPECT_EQ(common, RectT<double>(5, 0, 5, 5));
    EXPECT_FALSE(RectT<double>::Intersect(common, RectT<double>(0, 0, 10, 10), RectT<double>(10, 0, 5, 5)));
}

TEST(GeometrySnap, NegativeExtentsFlipAndEdgesFloorToWholePixels)
{
    RectT<double> flipped(10.7, 10.2, -5.5, -2.0);
    flipped.SnapToPixels();
    EXPECT_EQ(flipped, RectT<double>(5, 8, 5, 2));
    RectT<double> nearlyWhole(0.9999999999999999, 2.5, 3.0, 1.0);
    nearlyWhole.SnapToPixels();
    EXPECT_EQ(nearlyWhole.x, 1.0) << "a rounding error below a whole number counts as it";
    EXPECT_EQ(nearlyWhole.width, 3.0);
    EXPECT_EQ(nearlyWhole.y, 2.0);
    EXPECT_EQ(nearlyWhole.height, 1.0);
}

}  // namespace
}  // namespace ZV
