#include "Utilities/Storage/Color.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(ColorARGB, EveryChannelValueSurvivesTheRoundTrip)
{
    for (std::uint32_t value = 0; value < 256; ++value) {
        const std::uint32_t argb = value << 24 | (255 - value) << 16 | value << 8 | (value ^ 0x5A);
        EXPECT_EQ(LColor().SetFromARGB(argb).ToARGB(), argb) << "channel value " << value;
    }
}

TEST(ColorARGB, PackingRoundsHalfAwayAndClampsEachChannel)
{
    const LColor color(1.2f, -0.1f, 0.5f, 1.0f);
    EXPECT_EQ(color.ToARGB(), 0xFFFF0080u);
}

TEST(ColorHexText, LengthDecidesWhichChannelsChange)
{
    LColor color(0.25f, 0.5f, 0.75f, 1.0f);
    color.SetFromHexString("0x80");
    EXPECT_EQ(color.ToARGB(), 0x804080BFu) << "two digits set alpha only";
    color.SetFromHexString("FF0000");
    EXPECT_EQ(color.ToARGB(), 0x80FF0000u) << "six digits keep alpha";
    color.SetFromHexString("12345");
    EXPECT_EQ(color.ToARGB(), 0x80FF0000u) << "five digits change nothing";
    color.SetFromHexString(nullptr);
    EXPECT_EQ(color.ToARGB(), 0x80FF0000u);
    color.SetFromHexString("0XC0102030");
    EXPECT_EQ(color.ToARGB(), 0xC0102030u);
    color.SetFromHexString("12zz5678");
    EXPECT_EQ(color.ToARGB(), 0x00000012u) << "a non-digit ends the number";
}

}  // namespace
}  // namespace ZV
