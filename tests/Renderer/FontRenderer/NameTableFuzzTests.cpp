#include "Renderer/FontRenderer/FontNameTable.h"
#include "Renderer/FontRenderer/MemoryFontBytes.h"
#include "Renderer/FontRenderer/SyntheticFontWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::MacName;
using Testing::MemoryFontBytes;
using Testing::WindowsFace;
using Testing::WindowsName;

std::vector<std::string> Seeds()
{
    return {
        Testing::WriteFontFile({{MacName(1, "Mac Family"), MacName(2, "Bold"), WindowsName(1, "Windows Family"),
                                 WindowsName(2, "Italic")}}),
        Testing::WriteCollection({WindowsFace("First", "Regular"), WindowsFace("Second", "Bold")}, 1),
        Testing::WriteCollection({WindowsFace("Third", "Bold Italic"), WindowsFace("Fourth", "Oblique")}, 2),
    };
}

// One random change of the kinds that corrupt font files show: flipped bytes, a count or an offset set to an edge
// value, a cut, or bytes put in.
void Mutate(std::string& bytes, std::mt19937& random)
{
    const auto anywhere = [&] { return std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random); };
    static const std::uint32_t kEdgeValues[] = {0, 1, 0x7F, 0x80, 0xFFFF, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF};
    switch (std::uniform_int_distribution<int>(0, 4)(random)) {
    case 0:
        bytes[anywhere()] ^= static_cast<char>(1 << std::uniform_int_distribution<int>(0, 7)(random));
        break;
    case 1:
        if (const std::size_t at = anywhere() & ~std::size_t{1}; at + 2 <= bytes.size()) {
            Testing::PutU16(bytes, at, static_cast<std::uint16_t>(kEdgeValues[random() % 8]));
        }
        break;
    case 2:
        if (const std::size_t at = anywhere() & ~std::size_t{3}; at + 4 <= bytes.size()) {
            Testing::PutU32(bytes, at, kEdgeValues[random() % 8] - static_cast<std::uint32_t>(random() % 3));
        }
        break;
    case 3:
        bytes.resize(anywhere());
        break;
    default:
        bytes.insert(anywhere(), std::string(1 + random() % 16, static_cast<char>(random())));
        break;
    }
}

TEST(FontNameTableFuzz, MutatedFontFilesAreReadOnlyWithinTheirBytesAndGiveOnlyWholeNames)
{
    constexpr int kCases = 5000;
    std::mt19937 random(26);
    const std::vector<std::string> seeds = Seeds();
    Array<FontFaceName> names;
    int filesWithNames = 0;
    for (int test = 0; test < kCases; ++test) {
        std::string bytes = seeds[static_cast<std::size_t>(test) % seeds.size()];
        const int mutations = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < mutations && !bytes.empty(); ++i) {
            Mutate(bytes, random);
        }
        MemoryFontBytes font(bytes);
        ReadFontFaceNames(font, names);
        ASSERT_FALSE(font.ReadOutside()) << "case " << test;
        for (std::uint32_t index = 0; index < names.GetCount(); ++index) {
            const FontFaceName& name = *names.GetItemPointer(index);
            ASSERT_FALSE(name.family.IsEmpty()) << "case " << test;
            ASSERT_FALSE(name.subfamily.IsEmpty()) << "case " << test;
            ASSERT_GE(name.faceIndex, 0) << "case " << test;
            ASSERT_LT(name.faceIndex, 0x10000) << "case " << test;
        }
        filesWithNames += names.GetCount() > 0;
    }
    // The mutations leave many files readable, so the reader's whole path is exercised, not only its refusals.
    EXPECT_GT(filesWithNames, kCases / 4);
}

}  // namespace
}  // namespace ZV
