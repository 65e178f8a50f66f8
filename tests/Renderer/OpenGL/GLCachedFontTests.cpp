#include "Renderer/Font.h"
#include "Renderer/OpenGL/GLCachedFont.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Glyph = LGLCachedFont::SCachedGlyph;

// A glyph of the character with a coverage of the size, full ink.
GlyphRecord Record(std::int32_t character, zlong width, zlong height)
{
    GlyphRecord record;
    record.character = character;
    record.left = 1;
    record.top = -static_cast<std::int32_t>(height);
    record.right = static_cast<std::int32_t>(width) + 1;
    record.advanceX = static_cast<std::int32_t>(width + 2) * 64;
    record.glyphIndex = static_cast<std::uint32_t>(character) + 100;
    if (width > 0 && height > 0) {
        record.bitmap = new LPixelBuffer<unsigned char>(width, height, 0);
        for (zlong y = 0; y < height; ++y) {
            for (zlong x = 0; x < width; ++x) {
                *record.bitmap->GetPixelPointer(x, y) = 0xFF;
            }
        }
    }
    return record;
}

bool IsPowerOfTwo(zlong value)
{
    return value > 0 && (value & (value - 1)) == 0;
}

class GLCachedFontTest : public ::testing::Test {
protected:
    RCPtr<LGLCachedFont> mFont{new LGLCachedFont(LFont::GetFont(L"DejaVu Sans", 9, LFont::kRegular), nullptr)};
};

TEST_F(GLCachedFontTest, GlyphsArePackedInRowsWithABorderAndARowNeverShrinksBelowItsTallestGlyph)
{
    const Glyph first = mFont->Add(Record('A', 10, 12));
    EXPECT_EQ(first.atlasX, 1);
    EXPECT_EQ(first.atlasY, 1);
    EXPECT_EQ(mFont->GetAtlasHeight(), 16);
    const Glyph second = mFont->Add(Record('B', 20, 8));
    EXPECT_EQ(second.atlasX, 13);
    EXPECT_EQ(second.atlasY, 1);

    // 12 + 22 taken: a glyph of 478 fills the row to 512 exactly, one more pixel does not fit.
    EXPECT_EQ(mFont->Add(Record('C', 476, 5)).atlasX, 35);
    const Glyph wide = mFont->Add(Record('D', 30, 20));
    EXPECT_EQ(wide.atlasX, 1) << "a new row";
    EXPECT_EQ(wide.atlasY, 15) << "below the first row's tallest glyph and its border";
    EXPECT_EQ(mFont->Add(Record('E', 5, 5)).atlasY, 15);
    const Glyph nextRow = mFont->Add(Record('F', 500, 3));
    EXPECT_EQ(nextRow.atlasY, 15 + 22) << "the row kept the height of its tallest glyph";
    EXPECT_TRUE(IsPowerOfTwo(mFont->GetAtlasHeight()));
    EXPECT_EQ(mFont->GetAtlasHeight(), 64);

    const Glyph* found = mFont->Find('B');
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->atlasX, 13);
    EXPECT_EQ(found->glyphIndex, 'B' + 100u);
    EXPECT_EQ(found->advanceX, 22 * 64);
    EXPECT_EQ(mFont->Find('Z'), nullptr);
}

TEST_F(GLCachedFontTest, AGlyphTooLargeForTheAtlasIsKeptCutToItAndAFullAtlasStartsAgain)
{
    const Glyph huge = mFont->Add(Record('W', 600, 700));
    EXPECT_EQ(huge.width, 510);
    EXPECT_EQ(huge.height, 700);
    EXPECT_EQ(huge.right, 601) << "its metrics stay as the font renderer gave them";
    EXPECT_EQ(mFont->GetAtlasHeight(), 1024);

    const Glyph blank = mFont->Add(Record(' ', 0, 0));
    EXPECT_EQ(blank.width, 0);
    EXPECT_NE(mFont->Find(' '), nullptr) << "a glyph without ink is kept for its advance";

    for (std::int32_t character = 'a'; character < 'd'; ++character) {
        EXPECT_EQ(mFont->Add(Record(character, 400, 1000)).atlasY, 703 + (character - 'a') * 1002);
    }
    EXPECT_EQ(mFont->GetAtlasHeight(), 4096);
    const Glyph again = mFont->Add(Record('e', 400, 1000));
    EXPECT_EQ(again.atlasY, 1) << "the atlas started again";
    EXPECT_EQ(mFont->Find('W'), nullptr);
    EXPECT_EQ(mFont->Find('a'), nullptr);
    EXPECT_NE(mFont->Find('e'), nullptr);

    const Glyph tall = mFont->Add(Record('|', 3, 5000));
    EXPECT_EQ(tall.height, 4094) << "cut to what the atlas can hold";
    EXPECT_EQ(tall.atlasY, 1);
}

}  // namespace
}  // namespace ZV
