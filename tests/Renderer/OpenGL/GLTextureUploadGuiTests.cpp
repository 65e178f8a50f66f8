#include "Renderer/ArgbColours.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/OpenGL/GLTexture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ZV {
namespace {

using Testing::kArgbGreen;
using Testing::kArgbRed;

constexpr int kImageWidth = 60;
constexpr int kImageHeight = 30;

// Red on the left half, green on the right: a size that is no power of two on either side.
std::vector<std::uint32_t> RedGreenHalves()
{
    std::vector<std::uint32_t> pixels(kImageWidth * kImageHeight);
    for (int y = 0; y < kImageHeight; ++y) {
        for (int x = 0; x < kImageWidth; ++x) {
            pixels[y * kImageWidth + x] = x < kImageWidth / 2 ? kArgbRed : kArgbGreen;
        }
    }
    return pixels;
}

// Every channel within 16 of the other's.
bool Near(std::uint32_t shown, std::uint32_t wanted)
{
    for (const int shift : {0, 8, 16}) {
        const int difference = static_cast<int>(shown >> shift & 0xFF) - static_cast<int>(wanted >> shift & 0xFF);
        if (difference > 16 || difference < -16) {
            return false;
        }
    }
    return true;
}

using GLTextureUploadGui = Testing::GLWindowTest;

TEST_F(GLTextureUploadGui, MipmappedAndRepeatingUploadsDrawTheWholeImage)
{
    const std::vector<std::uint32_t> pixels = RedGreenHalves();
    const GLPixelImage image(GL_BGRA, GL_UNSIGNED_BYTE, 4, pixels.data(), kImageWidth, kImageHeight,
                             kImageWidth * 4);
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
    // The texture's colours multiply the current colour.
    glColor4f(1, 1, 1, 1);
    LGLTexture mipmapped(nullptr);
    mipmapped.Upload(image, GL_RGBA8, LGLTexture::kMipmaps | LGLTexture::kNearest);
    mipmapped.DrawQuad({0, 0, kImageWidth, kImageHeight}, {10, 10, 70, 40});
    // Half size: drawn from a smaller level.
    mipmapped.DrawQuad({0, 0, kImageWidth, kImageHeight}, {10, 50, 40, 65});

    LGLTexture repeating(nullptr);
    repeating.Upload(image, GL_RGBA8, LGLTexture::kRepeat | LGLTexture::kNearest);
    EXPECT_EQ(repeating.GetTextureSize(), PointT<zlong>(64, 32));
    EXPECT_EQ(repeating.GetImageSize(), PointT<zlong>(64, 32)) << "rescaled to fill the texture";
    repeating.DrawQuad({0, 0, kImageWidth, kImageHeight}, {100, 10, 160, 40});
    // Twice the image across: the texture wraps.
    repeating.DrawQuad({0, 0, 2 * kImageWidth, kImageHeight}, {80, 100, 200, 130});
    Finish();

    const Testing::Image shown = Snapshot();
    // Drawn 1:1, the halves meet after the 30th column; the rescaled copy blends a little across its pixels.
    for (int y : {12, 25, 37}) {
        EXPECT_EQ(shown.At(12, y), kArgbRed) << "mipmapped, row " << y;
        EXPECT_EQ(shown.At(39, y), kArgbRed) << "mipmapped, row " << y;
        EXPECT_EQ(shown.At(40, y), kArgbGreen) << "mipmapped, row " << y;
        EXPECT_EQ(shown.At(69, y), kArgbGreen) << "mipmapped, row " << y;
        EXPECT_TRUE(Near(shown.At(102, y), kArgbRed)) << "repeating, row " << y;
        EXPECT_TRUE(Near(shown.At(128, y), kArgbRed)) << "repeating, row " << y;
        EXPECT_TRUE(Near(shown.At(132, y), kArgbGreen)) << "repeating, row " << y;
        EXPECT_TRUE(Near(shown.At(159, y), kArgbGreen)) << "repeating, row " << y;
    }
    EXPECT_EQ(shown.At(12, 57), kArgbRed) << "mipmapped, half size";
    EXPECT_EQ(shown.At(37, 57), kArgbGreen) << "mipmapped, half size";
    for (int x : {82, 107}) {
        EXPECT_TRUE(Near(shown.At(x, 115), kArgbRed)) << "repeated, column " << x;
        EXPECT_TRUE(Near(shown.At(x + 30, 115), kArgbGreen)) << "repeated, column " << x + 30;
        EXPECT_TRUE(Near(shown.At(x + 60, 115), kArgbRed)) << "repeated, column " << x + 60;
    }
}

TEST_F(GLTextureUploadGui, AnImageWiderThanTheLargestTextureIsScaledDownIntoIt)
{
    constexpr int kWide = 20000;
    std::vector<std::uint32_t> pixels(kWide * 2, kArgbRed);
    std::fill(pixels.begin() + kWide / 2, pixels.begin() + kWide, kArgbGreen);
    std::fill(pixels.begin() + kWide + kWide / 2, pixels.end(), kArgbGreen);
    Start();
    glColor4f(1, 1, 1, 1);
    LGLTexture texture(nullptr);
    texture.Upload(GLPixelImage(GL_BGRA, GL_UNSIGNED_BYTE, 4, pixels.data(), kWide, 2, kWide * 4), GL_RGBA8, 0);
    EXPECT_EQ(texture.GetTextureSize(), PointT<zlong>(16384, 2));
    texture.DrawQuad({0, 0, kWide, 2}, {0, 0, 200, 20});
    Finish();
    const Testing::Image shown = Snapshot();
    EXPECT_TRUE(Near(shown.At(5, 10), kArgbRed));
    EXPECT_TRUE(Near(shown.At(95, 10), kArgbRed));
    EXPECT_TRUE(Near(shown.At(105, 10), kArgbGreen));
    EXPECT_TRUE(Near(shown.At(195, 10), kArgbGreen));
}

}  // namespace
}  // namespace ZV
