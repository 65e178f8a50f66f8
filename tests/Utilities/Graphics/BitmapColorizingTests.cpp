#include "BitmapTestSupport.h"
#include "TestSupport.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::kSheetCells;
using Testing::kSheetName;
using Testing::PixelAt;
using Testing::ThrowsText;

RCPtr<LColorizer> Solid(const LColor& color)
{
    return RCPtr<LColorizer>(new LColorizer(LColorizer::kSolidFill, color, LColor()));
}

// Every pixel of the bitmap's part.
std::vector<zulong> Pixels(const ConstRCPtr<LBitmap>& bitmap)
{
    std::vector<zulong> pixels;
    for (zlong y = 0; y < bitmap->GetPart().height; ++y) {
        for (zlong x = 0; x < bitmap->GetPart().width; ++x) {
            pixels.push_back(PixelAt(bitmap, x, y));
        }
    }
    return pixels;
}

TEST(ColorizedBitmap, IsAFillOfTheColourWithItsAlphaScaledAndShowsItsWholeImage)
{
    const RCPtr<LColorizer> orange(new LColorizer(LColorizer::kRadialGradient, LColor(1, 0.5f, 0, 0.8f),
                                                  LColor(1, 0.5f, 0, 0.8f)));
    const RCPtr<LBitmap> fill = LBitmap::CreateColorizedBitmap(orange, 0.5f, PointT<zlong>(3, 2));
    EXPECT_EQ(fill->GetPart(), RectT<zlong>(0, 0, 3, 2)) << "a gradient of one colour is that colour";
    EXPECT_EQ(Pixels(fill), std::vector<zulong>(6, 0x66FF8000u));
    EXPECT_EQ(fill->GetPixelData()->GetWidth(), 3);
    EXPECT_EQ(fill->GetPixelData()->GetHeight(), 2);
}

TEST(ColorizedBitmap, BadSizesGradientsAndUnknownKindsAreRefused)
{
    const RCPtr<LColorizer> red = Solid(LColor(1, 0, 0, 1));
    EXPECT_TRUE(ThrowsText<std::runtime_error>(
        [&] { LBitmap::CreateColorizedBitmap(red, 1, PointT<zlong>(0, 5)); },
        "Runtime Error : ZV::LBitmap::CreateColorizedBitmap"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>(
        [&] { LBitmap::CreateColorizedBitmap(nullptr, 1, PointT<zlong>(5, 5)); },
        "Runtime Error : ZV::LBitmap::CreateColorizedBitmap"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>(
        [&] { LBitmap::CreateFilledBitmap(PointT<zlong>(30000, 30000), LColor()); },
        "Runtime Error : ZV::LBitmap::CreateFilledBitmap"))
        << "past the largest image";

    const std::string refused = "Domain Error : ZV::LBitmap::CreateGradientFilledBitmap";
    const RCPtr<LColorizer> gradient(
        new LColorizer(LColorizer::kLinearGradient, LColor(1, 0, 0, 1), LColor(0, 0, 1, 1)));
    const RCPtr<LColorizer> unknown(new LColorizer(7, LColor(1, 0, 0, 1), LColor(1, 0, 0, 1)));
    const RCPtr<LBitmap> target = LBitmap::CreateFilledBitmap(PointT<zlong>(2, 2), LColor(0, 0, 0, 1));
    for (const RCPtr<LColorizer>& colorizer : {gradient, unknown}) {
        EXPECT_TRUE(ThrowsText<std::domain_error>(
            [&] { LBitmap::CreateColorizedBitmap(colorizer, 1, PointT<zlong>(2, 2)); }, refused));
        EXPECT_TRUE(ThrowsText<std::domain_error>([&] { LBitmap::ApplyColorizer(target, colorizer, 1); }, refused));
    }
    EXPECT_EQ(Pixels(target), std::vector<zulong>(4, 0xFF000000u)) << "a refused tint changes nothing";
}

TEST(ApplyColorizer, TintsByAlphaTimesAmountKeepsAlphaAndStaysInsideTheByte)
{
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
    const struct {
        LColor color;
        float amount;
        zulong red;
        zulong transparent;
        zulong halfRed;
        zulong grey;
    } cases[] = {
        {LColor(0, 0, 1, 1), 1, 0xFF0000FFu, 0x000000FFu, 0x800000FFu, 0xFF0000FFu},
        {LColor(0, 0, 1, 1), 0, 0xFFFF0000u, 0x00000000u, 0x80FF0000u, 0xFF808080u},
        {LColor(0, 0, 1, 1), 0.5f, 0xFF800080u, 0x00000080u, 0x80800080u, 0xFF4040C0u},
        {LColor(0, 0, 1, 0.5f), 1, 0xFF800080u, 0x00000080u, 0x80800080u, 0xFF4040C0u},
        // Twice the colour: red overshoots up, green and blue below 0; both stop at the byte's ends.
        {LColor(1, 0, 0, 1), 2, 0xFFFF0000u, 0x00FF0000u, 0x80FF0000u, 0xFFFF0000u},
    };
    for (const auto& tint : cases) {
        const RCPtr<LBitmap> copy = sheet->Clone();
        LBitmap::ApplyColorizer(copy, Solid(tint.color), tint.amount);
        EXPECT_EQ(PixelAt(copy, 5, 5), tint.red) << "amount " << tint.amount;
        EXPECT_EQ(PixelAt(copy, 25, 15), tint.transparent) << "amount " << tint.amount;
        EXPECT_EQ(PixelAt(copy, 35, 5), tint.halfRed) << "amount " << tint.amount;
        EXPECT_EQ(PixelAt(copy, 35, 15), tint.grey) << "amount " << tint.amount;
    }
    EXPECT_EQ(PixelAt(sheet, 5, 5), kSheetCells[0][0]) << "a clone owns its pixels";

    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { LBitmap::ApplyColorizer(nullptr, Solid(LColor()), 1); },
                                               "Runtime Error : ZV::LBitmap::ApplyColorizer"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { LBitmap::ApplyColorizer(sheet->Clone(), nullptr, 1); },
                                               "Runtime Error : ZV::LBitmap::ApplyColorizer"));
}

TEST(PartBitmap, FillsTintsACopyOfOneImageAndRefusesAnImageWithAMask)
{
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
    const RCPtr<LColorizer> blue = Solid(LColor(0, 0, 1, 1));

    const RCPtr<LBitmap> fill = LBitmap::CreatePartBitmap(blue, 0.5f, PointT<zlong>(4, 1), nullptr, nullptr);
    EXPECT_EQ(Pixels(fill), std::vector<zulong>(4, 0x800000FFu));

    const RCPtr<LBitmap> cell = sheet->CreateSubBitmap(10, 0, 10, 10);
    for (const RCPtr<LBitmap>& part : {LBitmap::CreatePartBitmap(blue, 1, PointT<zlong>(99, 99), cell, nullptr),
                                       LBitmap::CreatePartBitmap(blue, 1, PointT<zlong>(99, 99), nullptr, cell)}) {
        EXPECT_EQ(part->GetPart(), RectT<zlong>(0, 0, 10, 10)) << "the image's size, not the one asked for";
        EXPECT_EQ(Pixels(part), std::vector<zulong>(100, 0xFF0000FFu));
    }
    EXPECT_EQ(PixelAt(cell, 0, 0), kSheetCells[0][1]) << "the cached image is not tinted";

    EXPECT_TRUE(ThrowsText<std::domain_error>(
        [&] { LBitmap::CreatePartBitmap(blue, 1, PointT<zlong>(10, 10), cell, cell); },
        "Domain Error : ZV::LBitmap::ApplyColorizer"));
}

}  // namespace
}  // namespace ZV
