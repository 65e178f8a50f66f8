#include "Utilities/Graphics/PngDecoder.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ZV {

namespace {

static_assert(std::endian::native == std::endian::little, "pixels are read as B, G, R, A bytes into 0xAARRGGBB words");

// What libpng's callbacks share with the decoder: the bytes still to read and the text of the error that stopped it.
struct PngSource {
    const png_byte* next;
    std::size_t left;
    char error[256];
};

void ReadPngBytes(png_structp png, png_bytep target, std::size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->left) {
        png_error(png, "read beyond end of data");
    }
    std::memcpy(target, source->next, count);
    source->next += count;
    source->left -= count;
}

[[noreturn]] void StopReading(png_structp png, png_const_charp message)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->error, sizeof source->error, "%s", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng's reading state, freed on every way out.
class PngReader {
public:
    explicit PngReader(PngSource& source)
        : mPng(png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, StopReading, IgnoreWarning))
    {
        if (mPng != nullptr) {
            mInfo = png_create_info_struct(mPng);
            png_set_read_fn(mPng, &source, ReadPngBytes);
        }
    }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
    ~PngReader() { png_destroy_read_struct(&mPng, mInfo != nullptr ? &mInfo : nullptr, nullptr); }

    bool IsReady() const { return mPng != nullptr && mInfo != nullptr; }
    png_structp Png() const { return mPng; }
    png_infop Info() const { return mInfo; }

private:
    png_structp mPng;
    png_infop mInfo = nullptr;
};

// libpng leaves a failing call by a long jump to here. These functions hold nothing that needs destroying, so that
// the jump skips no destructor; the reader, the image and the rows live in the caller.
bool ReadHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    // Faults that libpng counts as benign, such as a damaged ancillary chunk, are passed over as its image reader
    // passes them.
    png_set_benign_errors(png, 1);
    png_read_info(png, info);
    return true;
}

// Every file comes out as 8-bit straight B, G, R, A, whole rows however it is interlaced. 16-bit samples are taken as
// sRGB, as 8-bit ones are, unless a gAMA or sRGB chunk gives them another gamma; left to its own default, libpng would
// take them as linear light and lighten them.
bool AskForStraightBgra(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_expand(png);
    if ((png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    if (png_get_bit_depth(png, info) == 16) {
        png_set_scale_16(png);
    }
    if ((png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) == 0 && png_get_valid(png, info, PNG_INFO_tRNS) == 0) {
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_read_image(png, rows);
    return true;
}

}  // namespace

std::unique_ptr<PixelImage> DecodePng(const void* data, std::size_t size, std::string& reason)
{
    PngSource source{static_cast<const png_byte*>(data), size, {}};
    const PngReader reader(source);
    if (!reader.IsReady()) {
        reason = "no memory for the PNG reader";
        return nullptr;
    }
    png_structp png = reader.Png();
    png_infop info = reader.Info();
    if (!ReadHeader(png, info)) {
        reason = source.error;
        return nullptr;
    }
    // Checked before any pixel memory is asked for: the header alone may claim any size.
    const auto width = static_cast<std::int64_t>(png_get_image_width(png, info));
    const auto height = static_cast<std::int64_t>(png_get_image_height(png, info));
    if (width > PixelImage::kMaxSide || height > PixelImage::kMaxSide ||
        !PixelImage::IsAcceptableSize(static_cast<zlong>(width), static_cast<zlong>(height))) {
        reason = "the image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large";
        return nullptr;
    }
    if (!AskForStraightBgra(png, info)) {
        reason = source.error;
        return nullptr;
    }
    std::unique_ptr<PixelImage> pixels = PixelImage::Create(static_cast<zlong>(width), static_cast<zlong>(height));
    if (!pixels) {
        reason = "no memory for the image";
        return nullptr;
    }
    // libpng writes whole rows: they must be exactly the image's.
    if (png_get_rowbytes(png, info) != pixels->GetStride()) {
        reason = "the image's rows do not come out as 32-bit pixels";
        return nullptr;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = reinterpret_cast<png_bytep>(pixels->GetRow(static_cast<zlong>(y)));
    }
    if (!ReadRows(png, rows.data())) {
        reason = source.error;
        return nullptr;
    }
    return pixels;
}

}  // namespace ZV
