// The PNG decoder checked against libpng itself: files of every colour type and bit depth, written here by libpng's
// writer, interlaced or not, with and without colour-space chunks; the decoder's pixels against the samples that
// libpng's plain row reader gives, made into straight BGRA as the decoder makes them.
#include "Utilities/Graphics/PngDecoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace ZV {
namespace {

enum class ColourSpace { none, sRGB, iccProfile, linearGamma };

struct PngFormat {
    int colourType;
    int bitDepth;
    bool transparentColour;
};

struct PngCase {
    PngFormat format;
    std::uint32_t width;
    std::uint32_t height;
    bool interlaced;
    ColourSpace colourSpace;
};

std::string Describe(const PngCase& file)
{
    static const char* const kColourSpaces[] = {"no colour-space chunk", "sRGB", "iCCP", "gAMA 1.0"};
    return "colour type " + std::to_string(file.format.colourType) + ", " + std::to_string(file.format.bitDepth) +
           " bits" + (file.format.transparentColour ? ", tRNS" : "") + (file.interlaced ? ", Adam7" : "") + ", " +
           kColourSpaces[static_cast<int>(file.colourSpace)] + ", " + std::to_string(file.width) + " x " +
           std::to_string(file.height);
}

// Samples per pixel by colour type.
constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};

png_byte NextRandomByte(std::uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return static_cast<png_byte>(seed >> 24);
}

unsigned SampleAt(const png_byte* row, std::size_t index, int depth)
{
    if (depth == 16) {
        return static_cast<unsigned>(row[2 * index] << 8 | row[2 * index + 1]);
    }
    const std::size_t bit = index * static_cast<std::size_t>(depth);
    return (row[bit / 8] >> (8 - depth - static_cast<int>(bit % 8))) & ((1u << depth) - 1);
}

// An ICC profile for the image's kind of colour with one tag of arbitrary bytes, which keep its compressed chunk above
// the length that libpng insists on.
std::vector<png_byte> SmallIccProfile(bool colour)
{
    constexpr std::size_t kHeader = 128;
    constexpr std::size_t kTagData = kHeader + 4 + 12;
    constexpr png_byte kTagSize = 80;
    std::vector<png_byte> profile(kTagData + kTagSize, 0);
    const auto put = [&profile](std::size_t at, const char* text) { std::memcpy(&profile[at], text, 4); };
    profile[3] = static_cast<png_byte>(profile.size());
    profile[8] = 2;
    put(12, "mntr");
    put(16, colour ? "RGB " : "GRAY");
    put(20, "XYZ ");
    put(36, "acsp");
    const png_byte d50[] = {0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D};
    std::memcpy(&profile[68], d50, sizeof d50);
    profile[kHeader + 3] = 1;
    put(kHeader + 4, "zvtg");
    profile[kHeader + 11] = static_cast<png_byte>(kTagData);
    profile[kHeader + 15] = kTagSize;
    std::uint32_t seed = 7;
    for (std::size_t at = kTagData; at < profile.size(); ++at) {
        profile[at] = NextRandomByte(seed);
    }
    return profile;
}

// The samples and chunks of one file.
struct PngContent {
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    png_color_16 transparentColour{};
    std::vector<png_byte> iccProfile;
};

PngContent MakeContent(const PngCase& file)
{
    PngContent content;
    const int depth = file.format.bitDepth;
    const std::size_t rowBytes =
        (file.width * static_cast<std::size_t>(kChannels[file.format.colourType] * depth) + 7) / 8;
    std::uint32_t seed = static_cast<std::uint32_t>(file.format.colourType * 131 + depth);
    for (std::uint32_t y = 0; y < file.height; ++y) {
        std::vector<png_byte> row(rowBytes);
        for (png_byte& byte : row) {
            byte = NextRandomByte(seed);
        }
        content.rows.push_back(row);
    }
    if (file.format.colourType == PNG_COLOR_TYPE_PALETTE) {
        for (unsigned index = 0; index < (1u << depth); ++index) {
            content.palette.push_back(png_color{static_cast<png_byte>(index * 67 + 5),
                                                static_cast<png_byte>(index * 151),
                                                static_cast<png_byte>(255 - index * 29)});
        }
        if (file.format.transparentColour) {
            for (std::size_t index = 0; index <= content.palette.size() / 2; ++index) {
                content.paletteAlpha.push_back(static_cast<png_byte>(index * 97));
            }
        }
    } else if (file.format.transparentColour) {
        // The first pixel's colour is transparent wherever it stands.
        const png_byte* first = content.rows[0].data();
        if (file.format.colourType == PNG_COLOR_TYPE_GRAY) {
            content.transparentColour.gray = static_cast<png_uint_16>(SampleAt(first, 0, depth));
        } else {
            content.transparentColour.red = static_cast<png_uint_16>(SampleAt(first, 0, depth));
            content.transparentColour.green = static_cast<png_uint_16>(SampleAt(first, 1, depth));
            content.transparentColour.blue = static_cast<png_uint_16>(SampleAt(first, 2, depth));
        }
    }
    if (file.colourSpace == ColourSpace::iccProfile) {
        content.iccProfile = SmallIccProfile((file.format.colourType & PNG_COLOR_MASK_COLOR) != 0);
    }
    return content;
}

void AppendBytes(png_structp png, png_bytep data, std::size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void NoFlush(png_structp) {}

// libpng leaves a failing call by a long jump: the functions that catch it hold nothing to destroy.
bool WriteFile(png_structp png, png_infop info, const PngCase& file, PngContent& content, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_IHDR(png, info, file.width, file.height, file.format.bitDepth, file.format.colourType,
                 file.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!content.palette.empty()) {
        png_set_PLTE(png, info, content.palette.data(), static_cast<int>(content.palette.size()));
    }
    if (!content.paletteAlpha.empty()) {
        png_set_tRNS(png, info, content.paletteAlpha.data(), static_cast<int>(content.paletteAlpha.size()), nullptr);
    } else if (file.format.transparentColour) {
        png_set_tRNS(png, info, nullptr, 1, &content.transparentColour);
    }
    switch (file.colourSpace) {
    case ColourSpace::sRGB:
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
        break;
    case ColourSpace::iccProfile:
        png_set_iCCP(png, info, "small", PNG_COMPRESSION_TYPE_BASE, content.iccProfile.data(),
                     static_cast<png_uint_32>(content.iccProfile.size()));
        break;
    case ColourSpace::linearGamma:
        png_set_gAMA_fixed(png, info, PNG_FP_1);
        break;
    case ColourSpace::none:
        break;
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

std::string WritePng(const PngCase& file, PngContent& content)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, AppendBytes, NoFlush);
    std::vector<png_bytep> rows;
    for (std::vector<png_byte>& row : content.rows) {
        rows.push_back(row.data());
    }
    const bool written = WriteFile(png, info, file, content, rows.data());
    png_destroy_write_struct(&png, &info);
    return written ? bytes : std::string();
}

struct MemoryInput {
    const png_byte* next;
    std::size_t left;
};

void ReadBytes(png_structp png, png_bytep target, std::size_t count)
{
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (count > input->left) {
        png_error(png, "read beyond end of data");
    }
    std::memcpy(target, input->next, count);
    input->next += count;
    input->left -= count;
}

bool ReadPlainRows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_read_image(png, rows);
    return true;
}

// The file's samples as libpng's row reader gives them with no transformation but the interlace's, and the
// colour-space chunks that it took in.
struct PlainRead {
    std::vector<std::vector<png_byte>> rows;
    png_uint_32 colourSpaceChunks = 0;
};

PlainRead ReadPlain(const std::string& bytes, const PngCase& file)
{
    constexpr std::size_t kMostBytesPerPixel = 8;
    PlainRead read;
    read.rows.assign(file.height, std::vector<png_byte>(file.width * kMostBytesPerPixel));
    std::vector<png_bytep> rows;
    for (std::vector<png_byte>& row : read.rows) {
        rows.push_back(row.data());
    }
    MemoryInput input{reinterpret_cast<const png_byte*>(bytes.data()), bytes.size()};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &input, ReadBytes);
    if (ReadPlainRows(png, info, rows.data())) {
        read.colourSpaceChunks = png_get_valid(png, info, PNG_INFO_sRGB | PNG_INFO_iCCP | PNG_INFO_gAMA);
    } else {
        read.rows.clear();
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return read;
}

std::uint8_t EightBits(unsigned sample, int depth)
{
    const unsigned top = (1u << depth) - 1;
    return static_cast<std::uint8_t>((sample * 255 + top / 2) / top);
}

// The samples as straight 0xAARRGGBB: each cut or stretched to 8 bits, grey spread over red, green and blue, the
// palette looked up, and alpha from the alpha samples or the tRNS chunk.
std::vector<std::uint32_t> StraightBgra(const PlainRead& read, const PngCase& file, const PngContent& content)
{
    const int type = file.format.colourType;
    const int depth = file.format.bitDepth;
    const int channels = kChannels[type];
    const bool colour = (type & PNG_COLOR_MASK_COLOR) != 0;
    std::vector<std::uint32_t> pixels;
    for (const std::vector<png_byte>& row : read.rows) {
        for (std::size_t x = 0; x < file.width; ++x) {
            unsigned samples[4] = {};
            for (int channel = 0; channel < channels; ++channel) {
                samples[channel] = SampleAt(
                    row.data(), x * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel), depth);
            }
            std::uint32_t red;
            std::uint32_t green;
            std::uint32_t blue;
            std::uint32_t alpha = 255;
            if (type == PNG_COLOR_TYPE_PALETTE) {
                const png_color entry = content.palette[samples[0]];
                red = entry.red;
                green = entry.green;
                blue = entry.blue;
                if (samples[0] < content.paletteAlpha.size()) {
                    alpha = content.paletteAlpha[samples[0]];
                }
            } else {
                red = EightBits(samples[0], depth);
                green = colour ? EightBits(samples[1], depth) : red;
                blue = colour ? EightBits(samples[2], depth) : red;
                if ((type & PNG_COLOR_MASK_ALPHA) != 0) {
                    alpha = EightBits(samples[channels - 1], depth);
                } else if (file.format.transparentColour) {
                    const png_color_16& key = content.transparentColour;
                    const bool keyed = colour
                                           ? samples[0] == key.red && samples[1] == key.green && samples[2] == key.blue
                                           : samples[0] == key.gray;
                    alpha = keyed ? 0 : 255;
                }
            }
            pixels.push_back(alpha << 24 | red << 16 | green << 8 | blue);
        }
    }
    return pixels;
}

// The pixels as libpng's simplified reader gives them with the flags that the decoder used before: what the decoder
// made of a file that is not interlaced.
std::vector<std::uint32_t> ReadAsBefore(const std::string& bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_BGRA;
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        return {};
    }
    return pixels;
}

std::vector<std::uint32_t> Decode(const std::string& bytes)
{
    std::string reason;
    const std::unique_ptr<PixelImage> image = DecodePng(bytes.data(), bytes.size(), reason);
    if (!image) {
        ADD_FAILURE() << "not decoded: " << reason;
        return {};
    }
    const std::uint32_t* first = image->GetRow(0);
    return std::vector<std::uint32_t>(first, first + image->GetWidth() * image->GetHeight());
}

::testing::AssertionResult SamePixels(const std::vector<std::uint32_t>& decoded,
                                      const std::vector<std::uint32_t>& expected, std::uint32_t width)
{
    if (decoded.size() != expected.size()) {
        return ::testing::AssertionFailure() << decoded.size() << " pixels where " << expected.size() << " were due";
    }
    for (std::size_t index = 0; index < decoded.size(); ++index) {
        if (decoded[index] != expected[index]) {
            return ::testing::AssertionFailure()
                   << "pixel (" << index % width << ", " << index / width << ") is 0x" << std::hex << decoded[index]
                   << " where 0x" << expected[index] << " was due";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(PngDecoder, EveryColourTypeAndDepthInterlacedOrNotGivesTheFilesSamplesAndGammaOnlyAsBefore)
{
    const PngFormat formats[] = {
        {PNG_COLOR_TYPE_GRAY, 1, false},       {PNG_COLOR_TYPE_GRAY, 2, true},
        {PNG_COLOR_TYPE_GRAY, 4, false},       {PNG_COLOR_TYPE_GRAY, 8, false},
        {PNG_COLOR_TYPE_GRAY, 16, false},      {PNG_COLOR_TYPE_GRAY, 16, true},
        {PNG_COLOR_TYPE_PALETTE, 1, false},    {PNG_COLOR_TYPE_PALETTE, 2, true},
        {PNG_COLOR_TYPE_PALETTE, 4, false},    {PNG_COLOR_TYPE_PALETTE, 8, true},
        {PNG_COLOR_TYPE_RGB, 8, false},        {PNG_COLOR_TYPE_RGB, 8, true},
        {PNG_COLOR_TYPE_RGB, 16, false},       {PNG_COLOR_TYPE_RGB, 16, true},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}, {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, false},  {PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
    };
    const std::uint32_t sizes[][2] = {{13, 11}, {3, 2}};
    constexpr png_uint_32 kChunkOf[] = {0, PNG_INFO_sRGB, PNG_INFO_iCCP, PNG_INFO_gAMA};
    for (const PngFormat& format : formats) {
        for (const auto& size : sizes) {
            for (const ColourSpace colourSpace :
                 {ColourSpace::none, ColourSpace::sRGB, ColourSpace::iccProfile, ColourSpace::linearGamma}) {
                for (const bool interlaced : {false, true}) {
                    const PngCase file{format, size[0], size[1], interlaced, colourSpace};
                    SCOPED_TRACE(Describe(file));
                    PngContent content = MakeContent(file);
                    const std::string bytes = WritePng(file, content);
                    const PlainRead plain = ReadPlain(bytes, file);
                    ASSERT_EQ(plain.rows.size(), file.height);
                    const png_uint_32 chunk = kChunkOf[static_cast<int>(colourSpace)];
                    ASSERT_EQ(chunk == 0 ? plain.colourSpaceChunks : plain.colourSpaceChunks & chunk, chunk)
                        << "libpng takes the chunk in";

                    const std::vector<std::uint32_t> decoded = Decode(bytes);
                    PngCase twin = file;
                    twin.interlaced = false;
                    // A gamma other than sRGB's changes the samples as it always did; every other file shows them.
                    const std::vector<std::uint32_t> expected = colourSpace == ColourSpace::linearGamma
                                                                    ? ReadAsBefore(WritePng(twin, content))
                                                                    : StraightBgra(plain, file, content);
                    EXPECT_TRUE(SamePixels(decoded, expected, file.width));
                    if (!interlaced) {
                        EXPECT_TRUE(SamePixels(decoded, ReadAsBefore(bytes), file.width)) << "as before";
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ZV
