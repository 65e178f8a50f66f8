#include "ControlBase/VisualPart.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "Renderer/RecordingRenderer.h"
#include "TestSupport.h"
#include "Utilities/Graphics/BitmapData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::LRecordingRenderer;
using Testing::ThrowsText;

constexpr std::uint32_t kTransparent = 0x00FFFFFF;

// A bitmap whose every pixel tells where it lies: red is x, green is y.
RCPtr<LBitmap> CoordinateBitmap(zlong width, zlong height)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor(0, 0, 0, 1));
    const ConstRCPtr<LBitmapData> pixels = bitmap->GetPixelData();
    for (zlong y = 0; y < height; ++y) {
        for (zlong x = 0; x < width; ++x) {
            *pixels->GetPixelPointer(x, y) = 0xFF000000u | static_cast<zulong>(x) << 16 | static_cast<zulong>(y) << 8;
        }
    }
    return bitmap;
}

std::uint32_t Coordinate(zlong x, zlong y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8;
}

RCPtr<LColorizer> Solid(std::uint32_t argb)
{
    LColor color;
    color.SetFromARGB(argb);
    return RCPtr<LColorizer>(new LColorizer(LColorizer::kSolidFill, color, color));
}

std::uint32_t ColorAt(const LVisualPart& part, float x, float y, float width, float height)
{
    return part.GetColorAtPoint(PointT<float>(x, y), PointT<float>(width, height));
}

TEST(VisualPart, AColourPartFillsItsBoxOrSitsInItsMiddleAndAnswersItsColourWhereItLies)
{
    LRecordingRenderer renderer;
    const RCPtr<LVisualPart> centred = LVisualPart::CreateColorPart(L"dot", kResizeCenter, Solid(0xFF336699), {8, 7},
                                                                    0.5f, nullptr);
    const RCPtr<LVisualPart> stretched = LVisualPart::CreateColorPart(L"fill", kResizeStretch, Solid(0xFF336699),
                                                                      {8, 7}, 1.0f, nullptr);
    EXPECT_EQ(centred->Draw(renderer, 20, 20), 0);
    EXPECT_EQ(stretched->Draw(renderer, 20.4f, 19.5f), 0);
    EXPECT_EQ(renderer.GetOperations(),
              (std::vector<std::string>{"FillRect 6,6,8,7 #80336699 blend", "FillRect 0,0,20,20 #FF336699 blend"}))
        << "the colour's alpha times the modifier, painted over what lies below";

    EXPECT_EQ(ColorAt(*centred, 6, 6, 20, 20), 0x80336699u) << "the first pixel drawn";
    EXPECT_EQ(ColorAt(*centred, 13, 12, 20, 20), 0x80336699u) << "the last pixel drawn";
    EXPECT_EQ(ColorAt(*centred, 5, 6, 20, 20), kTransparent);
    EXPECT_EQ(ColorAt(*centred, 14, 12, 20, 20), kTransparent);
    EXPECT_EQ(ColorAt(*stretched, 19.9f, 0, 20, 20), 0xFF336699u);
    EXPECT_EQ(ColorAt(*stretched, 20, 5, 20, 20), kTransparent) << "the box ends before its width";
    EXPECT_EQ(ColorAt(*stretched, 5, 20, 20, 20), kTransparent);
    EXPECT_EQ(ColorAt(*stretched, -0.1f, 5, 20, 20), kTransparent);
    EXPECT_EQ(stretched->GetColorAtPoint(PointT<zlong>(7, 6)), 0xFF336699u) << "its own pixel at its own size";

    renderer.ClearCalls();
    const RCPtr<LVisualPart> invisible = LVisualPart::CreateColorPart(L"clear", kResizeStretch, Solid(0xFF336699),
                                                                      {8, 7}, 0.0f, nullptr);
    EXPECT_EQ(invisible->Draw(renderer, 20, 20), 0);
    EXPECT_TRUE(renderer.GetCalls().empty()) << "a part without alpha draws nothing";
    for (const float x : {0.0f, 4.0f, 19.0f}) {
        EXPECT_EQ(ColorAt(*invisible, x, x, 20, 20) >> 24, 0u) << "and is transparent everywhere";
    }

    const RCPtr<LVisualPart> colourless = LVisualPart::CreateColorPart(L"none", kResizeStretch, nullptr, {8, 7}, 1.0f,
                                                                       nullptr);
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)colourless->Draw(renderer, 20, 20); },
                                               "Runtime Error : ZV::LVisualPart::Draw"));
    EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { (void)ColorAt(*colourless, 1, 1, 20, 20); },
                                               "Runtime Error : ZV::LVisualPart::GetColorAtPoint"));
}

TEST(VisualPart, ATileAnswersThePixelOfItsRepeatFarFromItsFirstAndAPartWithoutExtentIsTransparent)
{
    const RCPtr<LVisualPart> tile =
        LVisualPart::Create(L"tile", CoordinateBitmap(64, 64), kResizeTile, nullptr, 1.0f, nullptr);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->GetSize(), PointT<zlong>(64, 64)) << "the bitmap's size";
    EXPECT_EQ(ColorAt(*tile, 130, 5, 1000, 1000), Coordinate(2, 5));
    EXPECT_EQ(ColorAt(*tile, 6402.4f, 703.6f, 8000, 8000), Coordinate(2, 0)) << "100 repeats on, rounded";
    EXPECT_EQ(ColorAt(*tile, 999, 999, 1000, 1000), Coordinate(39, 39));
    EXPECT_EQ(ColorAt(*tile, 1000, 0, 1000, 1000), kTransparent);

    LRecordingRenderer renderer;
    EXPECT_EQ(tile->Draw(renderer, 1000, 999.5f), 0);
    EXPECT_EQ(renderer.GetOperations(),
              (std::vector<std::string>{"DrawBitmap bitmap part 0,0,64,64 to 0,0,1000,1000 resize 1"}));

    // A skin may declare a part of width 0; asking it for a colour must not divide by its extent.
    for (const std::uint32_t resize : {kResizeTile, kResizeCenter, kResizeStretch}) {
        const RCPtr<LVisualPart> flat =
            LVisualPart::CreateColorPart(L"flat", resize, Solid(0xFF00FF00), {0, 5}, 1.0f, nullptr);
        EXPECT_EQ(ColorAt(*flat, 3, 3, 10, 10), kTransparent) << "resize " << resize;
        EXPECT_EQ(ColorAt(*flat, 0, 0, 0, 5), kTransparent) << "resize " << resize;
    }
    const RCPtr<LVisualPartDescriptor> skinPart(new LVisualPartDescriptor(
        L"seam", ImageSource(), kResizeTile, Solid(0xFF00FF00), PointT<float>(0, 0), 1.0f, ImageSource()));
    EXPECT_EQ(ColorAt(*skinPart->GetVisualPart(), 7, 2, 30, 30), kTransparent);
}

TEST(VisualPart, AStretchedPartAnswersItsScaledPixelAndWhenShrunkTheFirstPixelThatShowsAmongThoseThePointCovers)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({8, 8}, LColor(0, 0, 0, 0));
    *bitmap->GetPixelData()->GetPixelPointer(5, 6) = 0xFF102030u;
    *bitmap->GetPixelData()->GetPixelPointer(7, 5) = 0x80405060u;
    const RCPtr<LVisualPart> part = LVisualPart::Create(L"dots", bitmap, kResizeStretch, nullptr, 1.0f, nullptr);

    EXPECT_EQ(ColorAt(*part, 1, 1, 2, 2), 0x80405060u) << "row 5 comes before row 6 in the 4 x 4 pixels covered";
    EXPECT_EQ(ColorAt(*part, 0, 0, 2, 2), kTransparent);
    EXPECT_EQ(ColorAt(*part, 1.5f, 1.5f, 2, 2), kTransparent) << "rows and columns 6 and 7: none shows";
    EXPECT_EQ(ColorAt(*part, 2, 3, 4, 4), 0xFF102030u) << "2 x 2 pixels from (4, 6)";
    EXPECT_EQ(ColorAt(*part, 7, 1, 8, 2), 0x80405060u) << "shrunk on one axis only: rows 4 to 7 of column 7";

    EXPECT_EQ(ColorAt(*part, 11, 13, 16, 16), 0xFF102030u) << "enlarged: the pixel the point falls in";
    EXPECT_EQ(ColorAt(*part, 10.9f, 12.9f, 16, 16), 0xFF102030u);
    EXPECT_EQ(ColorAt(*part, 9.9f, 13, 16, 16) >> 24, 0u) << "the image's own transparent pixel";
    EXPECT_EQ(ColorAt(*part, 5.4f, 6.4f, 8, 8), 0xFF102030u) << "at its own size, the rounded pixel";
}

// Keeps which bitmap each DrawBitmap drew.
class LBitmapLoggingRenderer : public LRecordingRenderer {
public:
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType) override
    {
        drawn.push_back(bitmap);
        LRecordingRenderer::DrawBitmap(bitmap, destination, resizeType);
    }

    std::vector<ConstRCPtr<LBitmap>> drawn;
};

TEST(VisualPart, ATintIsAppliedOnceWhenThePartIsMadeAndEveryDrawShowsThatOneTintedImage)
{
    const RCPtr<LBitmap> source = LBitmap::CreateFilledBitmap({4, 3}, LColor(1, 1, 1, 1));
    const RCPtr<LVisualPart> part =
        LVisualPart::Create(L"tinted", source, kResizeStretch, Solid(0xFF0000FF), 0.5f, nullptr);
    ASSERT_NE(part->GetBitmap().Get(), source.Get()) << "the part shows a tinted copy";
    EXPECT_EQ(source->GetPixelColor(1, 1).ToARGB(), 0xFFFFFFFFu) << "and leaves the skin's image as it was";
    EXPECT_EQ(part->GetColorAtPoint(PointT<zlong>(3, 2)), 0xFF8080FFu) << "white tinted half way to blue";

    LBitmapLoggingRenderer renderer;
    for (int draw = 0; draw < 3; ++draw) {
        EXPECT_EQ(part->Draw(renderer, 40, 30), 0);
    }
    ASSERT_EQ(renderer.drawn.size(), 3u);
    for (const ConstRCPtr<LBitmap>& drawn : renderer.drawn) {
        EXPECT_EQ(drawn.Get(), part->GetBitmap().Get()) << "no draw tints again";
    }
    EXPECT_EQ(part->GetBitmap()->GetPixelColor(0, 0).ToARGB(), 0xFF8080FFu) << "nor tints the tinted image further";

    const RCPtr<LVisualPart> plain = LVisualPart::Create(L"plain", source, kResizeCenter, nullptr, 1.0f, nullptr);
    EXPECT_EQ(plain->GetBitmap().Get(), source.Get()) << "without a colorizer the image is shown as it is";
    EXPECT_EQ(LVisualPart::Create(L"nothing", nullptr, kResizeStretch, Solid(0xFF0000FF), 1.0f, nullptr), nullptr);
}

// A skin part that counts its living instances.
class LCountedPartDescriptor : public LVisualPartDescriptor {
public:
    static inline int sLiving = 0;

    explicit LCountedPartDescriptor(const RCPtr<LColorizer>& colorizer)
        : LVisualPartDescriptor(L"edge", ImageSource(), kResizeStretch, colorizer, PointT<float>(3, 4), 1.0f,
                                ImageSource())
    {
        ++sLiving;
    }
    ~LCountedPartDescriptor() override { --sLiving; }
};

TEST(VisualPart, ADescriptorKeepsItsPartWhileItIsUsedAndBothGoWhenNothingElseHoldsThem)
{
    RCPtr<LVisualPartDescriptor> descriptor(new LCountedPartDescriptor(Solid(0xFF445566)));
    RCPtr<LVisualPart> part = descriptor->GetVisualPart();
    ASSERT_TRUE(part);
    EXPECT_EQ(part->GetSize(), PointT<zlong>(3, 4)) << "a colour part takes the skin's size";
    EXPECT_EQ(descriptor->GetVisualPart().Get(), part.Get()) << "shared by every look that names it";
    EXPECT_EQ(descriptor->GetRefCount(), 2) << "the part holds its descriptor";

    part = nullptr;
    EXPECT_EQ(descriptor->GetRefCount(), 1) << "the last user let the part go, and the part its descriptor";
    part = descriptor->GetVisualPart();
    ASSERT_TRUE(part) << "made again on the next use";

    // The skin goes first: the part still shows, and its descriptor goes with it.
    descriptor = nullptr;
    EXPECT_EQ(LCountedPartDescriptor::sLiving, 1);
    EXPECT_EQ(part->GetFillColor().ToARGB(), 0xFF445566u);
    part = nullptr;
    EXPECT_EQ(LCountedPartDescriptor::sLiving, 0);

    const RCPtr<LVisualPartDescriptor> empty(new LCountedPartDescriptor(nullptr));
    EXPECT_EQ(empty->GetVisualPart(), nullptr) << "neither an image nor a colour";
}

}  // namespace
}  // namespace ZV
