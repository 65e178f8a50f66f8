#include "Renderer/ArgbColours.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Renderer/Polyline.h"
#include "TestSupport.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/BitmapData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace ZV {
namespace {

using Testing::Image;
using Testing::Path;

constexpr std::uint32_t kTextureBackground = 0xFF202020u;
using Testing::kArgbRed;
using Testing::kArgbGreen;
constexpr std::uint32_t kYellow = 0xFFFFFF00u;

// Every column a colour of its own: red counts the column, green its hundreds, blue the row.
RCPtr<LBitmap> ColumnsBitmap(zlong width, zlong height)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor(0, 0, 0, 1));
    const ConstRCPtr<LBitmapData> pixels = bitmap->GetPixelData();
    for (zlong y = 0; y < height; ++y) {
        for (zlong x = 0; x < width; ++x) {
            *pixels->GetPixelPointer(x, y) = 0xFF000000u | (x % 256) << 16 | (x / 100 * 60) << 8 | y * 10;
        }
    }
    return bitmap;
}

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

class GLTextureGui : public Testing::GLWindowTest {
protected:
    void StartOnBackground()
    {
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, LColor().SetFromARGB(kTextureBackground), true);
    }
};

TEST_F(GLTextureGui, A300By20BitmapGetsA512By32TextureAndShowsEveryColumnOnceUnscaled)
{
    const RCPtr<LBitmap> bitmap = ColumnsBitmap(300, 20);
    StartOnBackground();
    LGLTexture texture(nullptr);
    texture.SetBitmap(bitmap);
    EXPECT_EQ(texture.GetTextureSize(), PointT<zlong>(512, 32));
    EXPECT_EQ(texture.GetImageSize(), PointT<zlong>(300, 20));
    EXPECT_EQ(texture.ToTextureCoordinates(300, 20), PointT<double>(300.0 / 512, 20.0 / 32));
    EXPECT_EQ(texture.ToTextureCoordinates(0, 0), PointT<double>(0, 0));
    // Columns 0 to 199 at x = 0, columns 100 to 299 at x = -100 one row of bitmaps lower.
    Renderer().DrawBitmap(bitmap, {0, 0, 300, 20}, 0);
    Renderer().DrawBitmap(bitmap, {-100, 30, 300, 20}, 0);
    Finish();
    const Image image = Snapshot();
    const ConstRCPtr<LBitmap> source = bitmap;
    for (int x = 0; x < kWidth; ++x) {
        for (int y : {0, 19}) {
            ASSERT_EQ(image.At(x, y), source->GetPixelColor(x, y).ToARGB()) << x << "," << y;
            ASSERT_EQ(image.At(x, 30 + y), source->GetPixelColor(x + 100, y).ToARGB()) << x << "," << 30 + y;
        }
    }
    EXPECT_EQ(image.At(10, 20), kTextureBackground);
    EXPECT_EQ(image.At(10, 50), kTextureBackground);
}

TEST_F(GLTextureGui, TilesCutTheLastColumnAndRowAtTheDestinationAndAHugeDestinationCostsOnlyItsVisibleTiles)
{
    const RCPtr<LBitmap> halves = HalvesBitmap(20, 10);
    StartOnBackground();
    Renderer().DrawBitmap(halves, {0, 0, 50, 25}, 1);
    // Tiles from a corner a whole number of tiles to the left: the pattern starts again at x = 0.
    Renderer().DrawBitmap(halves, {-20 * 50000000, 40, 20 * 50000000 + 100, 10}, 1);
    Finish();
    const Image image = Snapshot();
    EXPECT_EQ(image.At(5, 5), kArgbRed);
    EXPECT_EQ(image.At(15, 5), kArgbGreen);
    EXPECT_EQ(image.At(25, 5), kArgbRed);
    EXPECT_EQ(image.At(35, 15), kArgbGreen);
    EXPECT_EQ(image.At(45, 5), kArgbRed) << "the third column";
    EXPECT_EQ(image.At(49, 24), kArgbRed) << "its last pixel";
    EXPECT_EQ(image.At(50, 5), kTextureBackground) << "cut at the destination's edge";
    EXPECT_EQ(image.At(45, 25), kTextureBackground) << "cut at the destination's bottom";
    EXPECT_EQ(image.At(0, 45), kArgbRed);
    EXPECT_EQ(image.At(10, 45), kArgbGreen);
    EXPECT_EQ(image.At(99, 45), kArgbGreen);
    EXPECT_EQ(image.At(100, 45), kTextureBackground);
}

TEST_F(GLTextureGui, ABitmapDrawnAtItsOwnSizeTakesAnyResizeTypeAndOtherSizesRefuseUnknownTypes)
{
    const RCPtr<LBitmap> halves = HalvesBitmap(20, 10);
    StartOnBackground();
    Renderer().DrawBitmap(halves, {0, 0, 20, 10}, 7);
    EXPECT_TRUE(Testing::ThrowsText<std::logic_error>([&] { Renderer().DrawBitmap(halves, {0, 20, 30, 10}, 7); },
                                                      "Logic Error : Invalid ResizeType passed to DrawBitmap! : "
                                                      "ZV::LGLRenderer::DrawBitmap"));
    EXPECT_TRUE(Testing::ThrowsText<FailedResultException>(
        [&] { Renderer().DrawBitmap(nullptr, {0, 20, 30, 10}, 0); },
        "Failed Result : ZVRESULT = 80070057 : ZV::LGLRenderer::DrawBitmap"));
    // A centred bitmap larger than its destination is cut to it.
    Renderer().DrawBitmap(halves, {100, 0, 10, 10}, 2);
    Finish();
    const Image image = Snapshot();
    EXPECT_EQ(image.At(5, 5), kArgbRed);
    EXPECT_EQ(image.At(15, 5), kArgbGreen);
    EXPECT_EQ(image.At(104, 5), kArgbRed) << "the middle of the bitmap at the middle of the destination";
    EXPECT_EQ(image.At(105, 5), kArgbGreen);
    EXPECT_EQ(image.At(99, 5), kTextureBackground);
    EXPECT_EQ(image.At(110, 5), kTextureBackground);
}

TEST_F(GLTextureGui, AnAlphaUploadKeepsTheDarknessOfEachPixelAndTheZeroPixelTransparent)
{
    const std::uint32_t pixels[] = {0xFF000000u, 0xFFFFFFFFu, 0x00000000u, 0xFF102030u};
    Start();
    LGLTexture texture(nullptr);
    texture.Upload(GLPixelImage(GL_BGRA, GL_UNSIGNED_BYTE, 4, pixels, 4, 1, 16), GL_ALPHA8, 0);
    EXPECT_EQ(texture.GetTextureSize(), PointT<zlong>(4, 1));
    std::vector<unsigned char> alpha(4, 7);
    glBindTexture(GL_TEXTURE_2D, texture.GetName());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    Finish();
    // 255 - (0.3 * 16 + 0.59 * 32 + 0.11 * 48), the fraction cut off.
    EXPECT_EQ(alpha, (std::vector<unsigned char>{255, 0, 0, 227}));
}

TEST_F(GLTextureGui, AOnePixelImageGetsAOnePixelTexture)
{
    const std::uint32_t pixel = 0xFF00FF00u;
    Start();
    LGLTexture texture(nullptr);
    texture.Upload(GLPixelImage(GL_BGRA, GL_UNSIGNED_BYTE, 4, &pixel, 1, 1, 4), GL_RGBA8, 0);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetTextureSize(), PointT<zlong>(1, 1));
    texture.DrawQuad({0, 0, 1, 1}, {10, 10, 30, 30});
    Finish();
    EXPECT_EQ(Pixel(20, 20), kArgbGreen);
}

TEST_F(GLTextureGui, PolygonsFillByTheOddRuleConcaveAndCrossingThemselves)
{
    const PolylineT<float> star =
        Path({{100, 10}, {123, 80}, {63, 36}, {137, 36}, {77, 80}});
    const PolylineT<float> bowTie = Path({{10, 100}, {50, 140}, {50, 100}, {10, 140}});
    StartOnBackground();
    Renderer().FillPolygon(star, LColor(1, 1, 0, 1), {0, 0}, {1, 1}, false);
    Renderer().FillPolygon(bowTie, LColor(1, 1, 0, 1), {0, 0}, {1, 1}, true);
    Finish();
    const Image image = Snapshot();
    EXPECT_EQ(image.At(100, 20), kYellow) << "a point of the star";
    EXPECT_EQ(image.At(70, 38), kYellow) << "another";
    EXPECT_EQ(image.At(100, 48), kTextureBackground) << "the middle, inside twice";
    EXPECT_EQ(image.At(15, 120), kYellow) << "the bow tie's left wing";
    EXPECT_EQ(image.At(45, 120), kYellow) << "its right wing";
    EXPECT_EQ(image.At(30, 105), kTextureBackground) << "above the crossing";
}

TEST(GLTexture, SidesGrowToTheNearestPowerOfTwoUpTo16384)
{
    const struct {
        zlong n, power;
    } cases[] = {{-3, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 4}, {300, 512}, {512, 512}, {513, 1024}, {16384, 16384},
                 {16385, 16384}, {100000, 16384}};
    for (const auto& entry : cases) {
        EXPECT_EQ(NearestPowerOfTwo(entry.n), entry.power) << entry.n;
    }
}

}  // namespace
}  // namespace ZV
