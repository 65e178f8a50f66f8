#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

// FreeType laying out for the OpenGL renderer's glyph processor, which measures glyph cells; measuring only, so no
// context is needed.
class FontRendererHeadsTest : public ::testing::Test {
protected:
    RCPtr<LGLGlyphRenderer> mGlyphs{new LGLGlyphRenderer()};
    RCPtr<LFreetypeFontRenderer> mRenderer{new LFreetypeFontRenderer(mGlyphs, mGlyphs)};
    RCPtr<LFont> mFont = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
};

TEST_F(FontRendererHeadsTest, EveryHeadMeasuresAsItWouldAloneAndTheHeadsEndWithTheFirstPastTheLimit)
{
    // Kerning pairs, characters without a glyph first, inside and at the end.
    const WideString text(L"\xE000AVAVA Wj \xE000To.\r");
    Array<RectT<float>> heads;
    ASSERT_TRUE(mRenderer->MeasureHeads(text, mFont, 0, heads));
    ASSERT_EQ(heads.GetCount(), text.GetLength());
    for (std::uint32_t length = 1; length <= text.GetLength(); ++length) {
        EXPECT_EQ(heads.GetData()[length - 1], mRenderer->MeasureText(text.Left(length), mFont)) << length;
    }

    const float limit = DrawnWidth(heads.GetData()[3]);
    Array<RectT<float>> limited;
    ASSERT_TRUE(mRenderer->MeasureHeads(text, mFont, limit, limited));
    ASSERT_EQ(limited.GetCount(), 5u) << "the fifth head is the first wider than the fourth";
    EXPECT_EQ(limited.GetData()[4], heads.GetData()[4]);
    RCPtr<LLaidOutText> layout;
    ASSERT_TRUE(mRenderer->MeasureHeadsAndLayOut(text, mFont, limit, limited, layout));
    EXPECT_EQ(limited.GetCount(), 5u);
    EXPECT_EQ(layout->GetCharacterCount(), 5u) << "the layout holds the heads kept";

    const std::uint32_t glyphsBefore = mGlyphs->GetAddedGlyphCount();
    ASSERT_TRUE(mRenderer->MeasureHeads(WideString(L"AAAAAAAA bcdefghik"), mFont, limit, limited));
    EXPECT_EQ(mGlyphs->GetAddedGlyphCount(), glyphsBefore) << "past the limit no glyph is laid out";

    EXPECT_TRUE(mRenderer->MeasureHeads(WideString(), mFont, 0, limited));
    EXPECT_EQ(limited.GetCount(), 0u);
    EXPECT_FALSE(mRenderer->MeasureHeads(text, nullptr, 0, limited)) << "no font: whole texts only";
}

}  // namespace
}  // namespace ZV
