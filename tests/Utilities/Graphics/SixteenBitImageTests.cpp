#include "TestFiles.h"
#include "Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>

namespace ZV {
namespace {

std::string BigEndian(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string Chunk(const std::string& type, const std::string& data)
{
    const std::string typed = type + data;
    const auto checksum = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return BigEndian(static_cast<std::uint32_t>(data.size())) + typed + BigEndian(static_cast<std::uint32_t>(checksum));
}

// A PNG of one pixel whose samples are the given bytes, with the colour-space chunks given before its data.
std::string OnePixelPng(char colourType, char bitDepth, const std::string& samples, const std::string& colourSpace = "")
{
    const std::string header = BigEndian(1) + BigEndian(1) + bitDepth + colourType + std::string(3, '\0');
    const std::string row = std::string(1, '\0') + samples;
    uLongf size = compressBound(static_cast<uLong>(row.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(row.data()),
             static_cast<uLong>(row.size()));
    packed.resize(size);
    return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", header) + colourSpace + Chunk("IDAT", packed) + Chunk("IEND", "");
}

constexpr char kGrey = 0;
constexpr char kRgb = 2;
constexpr char kGreyAlpha = 4;
constexpr char kRgba = 6;

TEST(SixteenBitImage, ReadsAsItsEightBitTwinUnlessAColourSpaceChunkSaysOtherwise)
{
    const std::string half16("\x80\x80", 2);
    const std::string opaque16("\xFF\xFF", 2);
    const std::string srgb = Chunk("sRGB", std::string(1, '\0'));
    const std::string linear = Chunk("gAMA", BigEndian(100000));
    const struct {
        const char* name;
        std::string png;
    } files[] = {
        {"Grey8.png", OnePixelPng(kGrey, 8, "\x80")},
        {"Grey16.png", OnePixelPng(kGrey, 16, half16)},
        {"GreyAlpha16.png", OnePixelPng(kGreyAlpha, 16, half16 + half16)},
        {"Rgb16.png", OnePixelPng(kRgb, 16, half16 + half16 + half16)},
        {"Rgba16.png", OnePixelPng(kRgba, 16, half16 + half16 + half16 + opaque16)},
        {"HalfRgba16.png", OnePixelPng(kRgba, 16, half16 + half16 + half16 + half16)},
        {"SrgbGrey16.png", OnePixelPng(kGrey, 16, half16, srgb)},
        {"LinearGrey8.png", OnePixelPng(kGrey, 8, "\x80", linear)},
        {"LinearGrey16.png", OnePixelPng(kGrey, 16, half16, linear)},
    };
    const Testing::TemporaryFolder folder;
    const auto colour = [&](const char* name) {
        const ConstRCPtr<LBitmap> bitmap = LBitmap::GetCachedBitmap(WideString((folder / name).c_str()));
        return bitmap.IsNull() ? LColor(-1, -1, -1, -1) : bitmap->GetPixelColor(0, 0);
    };
    for (const auto& file : files) {
        Testing::WriteContent(folder / file.name, file.png);
    }

    const LColor twin = colour("Grey8.png");
    ASSERT_NEAR(twin.r, 128 / 255.0f, 1e-6f);
    for (const char* name : {"Grey16.png", "GreyAlpha16.png", "Rgb16.png", "Rgba16.png", "HalfRgba16.png",
                             "SrgbGrey16.png"}) {
        const LColor read = colour(name);
        EXPECT_NEAR(read.r, twin.r, 0.01f) << name;
        EXPECT_NEAR(read.g, twin.g, 0.01f) << name;
        EXPECT_NEAR(read.b, twin.b, 0.01f) << name;
    }
    EXPECT_EQ(colour("Rgba16.png").a, 1.0f);
    EXPECT_NEAR(colour("HalfRgba16.png").a, twin.r, 0.01f) << "alpha stays straight";
    EXPECT_NEAR(colour("GreyAlpha16.png").a, twin.r, 0.01f);

    // Linear samples are made lighter to show as the file means them, at either depth.
    const LColor linear8 = colour("LinearGrey8.png");
    EXPECT_GT(linear8.r, 0.7f);
    EXPECT_NEAR(colour("LinearGrey16.png").r, linear8.r, 0.01f);
}

}  // namespace
}  // namespace ZV
