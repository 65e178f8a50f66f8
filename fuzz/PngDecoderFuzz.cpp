// PNG decoding over any bytes: an image comes out within the size limits or no image with a reason, and a decoded
// image written back as PNG decodes to the same pixels. The chunks' checksums are made right first, so that the
// fuzzer's changes get past libpng's checksum test to the header, the palette and the image data.
#include "FuzzTarget.h"
#include "Utilities/Graphics/PngDecoder.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using ZV::PixelImage;

// Images up to this many pixels are also written back and read again; larger ones would slow the fuzzing down.
constexpr std::int64_t kMaxRoundTripPixels = 1 << 20;

std::vector<std::uint8_t> EncodePng(const PixelImage& image)
{
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.GetWidth());
    description.height = static_cast<png_uint_32>(image.GetHeight());
    description.format = PNG_FORMAT_BGRA;
    const auto stride = static_cast<png_int_32>(image.GetStride());
    png_alloc_size_t size = 0;
    ZV_FUZZ_CHECK(png_image_write_to_memory(&description, nullptr, &size, 0, image.GetRow(0), stride, nullptr) != 0);
    std::vector<std::uint8_t> encoded(size);
    ZV_FUZZ_CHECK(png_image_write_to_memory(&description, encoded.data(), &size, 0, image.GetRow(0), stride,
                                            nullptr) != 0);
    encoded.resize(size);
    return encoded;
}

// Each whole chunk after the signature gets the checksum of its type and data.
void MakeChecksumsRight(std::vector<std::uint8_t>& bytes)
{
    constexpr std::size_t kSignatureSize = 8;
    std::size_t at = kSignatureSize;
    while (at <= bytes.size() && bytes.size() - at >= 12) {
        const std::uint32_t length = static_cast<std::uint32_t>(bytes[at] << 24 | bytes[at + 1] << 16 |
                                                                bytes[at + 2] << 8 | bytes[at + 3]);
        if (length > bytes.size() - at - 12) {
            return;
        }
        const auto checksum = static_cast<std::uint32_t>(crc32(0, bytes.data() + at + 4, length + 4));
        std::uint8_t* stored = bytes.data() + at + 8 + length;
        for (int index = 0; index < 4; ++index) {
            stored[index] = static_cast<std::uint8_t>(checksum >> (24 - 8 * index));
        }
        at += 12 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    MakeChecksumsRight(bytes);
    std::string reason;
    const std::unique_ptr<PixelImage> image = ZV::DecodePng(bytes.data(), bytes.size(), reason);
    if (!image) {
        ZV_FUZZ_CHECK(!reason.empty());
        return 0;
    }
    const std::int64_t width = image->GetWidth();
    const std::int64_t height = image->GetHeight();
    ZV_FUZZ_CHECK(PixelImage::IsAcceptableSize(image->GetWidth(), image->GetHeight()));
    if (width * height > kMaxRoundTripPixels) {
        return 0;
    }
    const std::vector<std::uint8_t> encoded = EncodePng(*image);
    std::string againReason;
    const std::unique_ptr<PixelImage> again = ZV::DecodePng(encoded.data(), encoded.size(), againReason);
    ZV_FUZZ_CHECK(again && again->GetWidth() == width && again->GetHeight() == height);
    ZV_FUZZ_CHECK(std::memcmp(again->GetRow(0), image->GetRow(0), static_cast<std::size_t>(width * height * 4)) == 0);
    return 0;
}
