#include "Utilities/Graphics/PngDecoder.h"

#include <png.h>

#include <bit>

namespace ZV {

namespace {

static_assert(std::endian::native == std::endian::little, "pixels are read as B, G, R, A bytes into 0xAARRGGBB words");

// Frees what libpng holds for the image on every way out.
class PngReadGuard {
public:
    PngReadGuard()
    {
        mImage.version = PNG_IMAGE_VERSION;
    }
    PngReadGuard(const PngReadGuard&) = delete;
    PngReadGuard& operator=(const PngReadGuard&) = delete;
    ~PngReadGuard() { png_image_free(&mImage); }

    png_image& Image() { return mImage; }

private:
    png_image mImage{};
};

}  // namespace

std::unique_ptr<PixelImage> DecodePng(const void* data, std::size_t size, std::string& reason)
{
    PngReadGuard guard;
    png_image& image = guard.Image();
    if (png_image_begin_read_from_memory(&image, data, size) == 0) {
        reason = image.message;
        return nullptr;
    }
    // Checked before any pixel memory is asked for: the header alone may claim any size.
    const auto width = static_cast<std::int64_t>(image.width);
    const auto height = static_cast<std::int64_t>(image.height);
    if (width > PixelImage::kMaxSide || height > PixelImage::kMaxSide ||
        !PixelImage::IsAcceptableSize(static_cast<zlong>(width), static_cast<zlong>(height))) {
        reason = "the image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large";
        return nullptr;
    }
    std::unique_ptr<PixelImage> pixels = PixelImage::Create(static_cast<zlong>(width), static_cast<zlong>(height));
    if (!pixels) {
        reason = "no memory for the image";
        return nullptr;
    }
    // 8-bit output keeps the alpha straight; in memory each pixel is B, G, R, A: the word 0xAARRGGBB.
    image.format = PNG_FORMAT_BGRA;
    // 16-bit samples mean what 8-bit ones mean unless a gAMA or sRGB chunk says otherwise; left alone, libpng would
    // take them as linear light and lighten them.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    if (png_image_finish_read(&image, nullptr, pixels->GetRow(0), static_cast<png_int_32>(pixels->GetStride()),
                              nullptr) == 0) {
        reason = image.message;
        return nullptr;
    }
    return pixels;
}

}  // namespace ZV
