#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FontDirectories.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/FontRenderer/SoftwareGlyphSink.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::LSoftwareGlyphSink;

constexpr std::uint32_t kDrawFlags = 15;

// A face opened by FreeType directly, at the size that the renderer uses: points at 96 dots per inch.
class DirectFace {
public:
    DirectFace(const WideString& family, std::int32_t style, float points)
    {
        const std::int32_t id = LFontFileInfo::GetFileID(LFont::GetFont(family, points, style));
        if (FT_Init_FreeType(&mLibrary) != 0 ||
            FT_New_Face(mLibrary, GetFontFilePath(id).ToUTF8().GetData(), GetFontFaceIndex(id), &mFace) != 0 ||
            FT_Set_Char_Size(mFace, 0, static_cast<FT_F26Dot6>(points * 64), 96, 96) != 0) {
            throw std::runtime_error("FreeType cannot open the face");
        }
    }
    DirectFace(const DirectFace&) = delete;
    DirectFace& operator=(const DirectFace&) = delete;
    ~DirectFace()
    {
        if (mFace != nullptr) {
            FT_Done_Face(mFace);
        }
        FT_Done_FreeType(mLibrary);
    }

    FT_UInt Index(wchar_t character) const { return FT_Get_Char_Index(mFace, character); }
    FT_Pos Advance(wchar_t character) const
    {
        FT_Load_Glyph(mFace, Index(character), FT_LOAD_DEFAULT);
        return mFace->glyph->advance.x;
    }
    FT_Pos Kerning(wchar_t left, wchar_t right) const
    {
        FT_Vector kerning{};
        FT_Get_Kerning(mFace, Index(left), Index(right), FT_KERNING_DEFAULT, &kerning);
        return kerning.x;
    }
    const FT_Size_Metrics& Metrics() const { return mFace->size->metrics; }

private:
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
};

// A FreeType font renderer over the installed fonts, drawing into a software sink.
class FreetypeFontRendererTest : public ::testing::Test {
protected:
    std::vector<GlyphRecord> Run(const wchar_t* text, const wchar_t* face, float points, float widthLimit = 0)
    {
        mRenderer->RenderText(text, LFont::GetFont(face, points, LFont::kRegular), mSink, 0, widthLimit, kDrawFlags);
        return mSink->GetRun();
    }

    RCPtr<LSoftwareGlyphSink> mSink{new LSoftwareGlyphSink()};
    RCPtr<LFreetypeFontRenderer> mRenderer{new LFreetypeFontRenderer(mSink, mSink)};
};

TEST_F(FreetypeFontRendererTest, LayoutFollowsFreetypesAdvancesPlusKerning)
{
    const std::wstring text = L"AVAVA W";
    const std::vector<GlyphRecord> run = Run(text.c_str(), L"DejaVu Sans", 12);
    const DirectFace face(L"DejaVu Sans", LFont::kRegular, 12);
    ASSERT_LT(face.Kerning(L'A', L'V'), 0) << "the pair must kern for the layout to show it";

    ASSERT_EQ(run.size(), text.size());
    float pen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0) {
            pen += static_cast<float>(face.Kerning(text[i - 1], text[i])) / 64.0f;
        }
        EXPECT_EQ(run[i].character, text[i]);
        EXPECT_EQ(run[i].position, static_cast<std::int32_t>(i));
        EXPECT_EQ(run[i].glyphIndex, face.Index(text[i]));
        EXPECT_EQ(run[i].advanceX, face.Advance(text[i]));
        EXPECT_FLOAT_EQ(run[i].penX, pen) << "glyph " << i;
        EXPECT_EQ(run[i].penY, 0);
        pen += static_cast<float>(face.Advance(text[i])) / 64.0f;
    }

    // A width limit ends the run before the first glyph whose right edge passes it.
    const float limit = run[2].penX + static_cast<float>(run[2].right);
    EXPECT_EQ(Run(text.c_str(), L"DejaVu Sans", 12, limit).size(), 3u);
}

TEST_F(FreetypeFontRendererTest, ACachingSinksSecondRunLoadsNoGlyphAndLaysOutTheSame)
{
    const std::vector<GlyphRecord> first = Run(L"AVAVA W", L"DejaVu Sans", 12);
    EXPECT_EQ(mSink->GetLoadCount(), 4) << "A, V, the space and W, each once";
    const std::vector<GlyphRecord> second = Run(L"AVAVA W", L"DejaVu Sans", 12);
    EXPECT_EQ(mSink->GetLoadCount(), 0);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].penX, first[i].penX);
        EXPECT_EQ(second[i].right, first[i].right);
        EXPECT_EQ(second[i].advanceX, first[i].advanceX);
        EXPECT_TRUE(second[i].bitmap.IsNull());
    }
}

TEST_F(FreetypeFontRendererTest, SmallTextIsRasterisedInTwoLevelsAndFromEightPointsInGrey)
{
    const auto levels = [this](float points) {
        std::set<int> seen;
        for (const GlyphRecord& glyph : Run(L"Rasterised", L"DejaVu Sans", points)) {
            if (glyph.bitmap.IsNull()) {
                continue;
            }
            for (zlong y = 0; y < glyph.bitmap->GetHeight(); ++y) {
                for (zlong x = 0; x < glyph.bitmap->GetWidth(); ++x) {
                    seen.insert(*glyph.bitmap->GetPixelPointer(x, y));
                }
            }
        }
        return seen;
    };
    EXPECT_EQ(levels(7.5f), (std::set<int>{0x00, 0xFF}));
    const std::set<int> grey = levels(8.0f);
    EXPECT_GT(grey.size(), 10u);
}

TEST_F(FreetypeFontRendererTest, MetricsFollowFreetypesSizeNeverBelowTheSizeInPixelsOrTheBox)
{
    for (const float points : {6.0f, 8.25f, 12.0f, 27.5f}) {
        const DirectFace face(L"DejaVu Sans", LFont::kRegular, points);
        const FT_Size_Metrics& metrics = face.Metrics();
        zlong lineHeight = -1;
        zlong top = 0;
        zlong bottom = 0;
        ASSERT_EQ(mRenderer->GetFontMetrics(LFont::GetFont(L"DejaVu Sans", points, LFont::kRegular), lineHeight, top,
                                            bottom),
                  ZV_S_OK);
        EXPECT_EQ(top, -(metrics.ascender >> 6)) << points;
        EXPECT_EQ(bottom, -(metrics.descender >> 6)) << points;
        EXPECT_EQ(lineHeight, std::max<FT_Pos>({metrics.height >> 6, static_cast<FT_Pos>(96.0 * points / 72.0),
                                                 bottom - top}))
            << points;
        EXPECT_LT(top, 0);
        EXPECT_GT(bottom, 0);
    }
}

TEST_F(FreetypeFontRendererTest, CharactersWithoutGlyphsAreLeftOutAndOnlyAKerningFaceMovesTheFirstGlyphOntoThePen)
{
    EXPECT_TRUE(Run(L"\xE000\xD800\xE001", L"DejaVu Sans", 12).empty());
    EXPECT_EQ(mSink->GetBeginCount(), mSink->GetEndCount());

    const std::vector<GlyphRecord> run = Run(L"A\xE000V", L"DejaVu Sans", 12);
    const DirectFace face(L"DejaVu Sans", LFont::kRegular, 12);
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[1].position, 1);
    EXPECT_FLOAT_EQ(run[1].penX, static_cast<float>(face.Advance(L'A') + face.Kerning(L'A', L'V')) / 64.0f)
        << "the pair kerns across the left-out character";

    const std::vector<GlyphRecord> kerning = Run(L"j", L"DejaVu Sans", 30);
    ASSERT_EQ(kerning.size(), 1u);
    ASSERT_LT(kerning[0].left, 0) << "the glyph must reach left of the pen";
    EXPECT_EQ(kerning[0].penX, static_cast<float>(-kerning[0].left));
    const std::vector<GlyphRecord> noKerning = Run(L"_", L"Liberation Mono", 30);
    ASSERT_EQ(noKerning.size(), 1u);
    ASSERT_LT(noKerning[0].left, 0);
    EXPECT_EQ(noKerning[0].penX, 0);
}

TEST_F(FreetypeFontRendererTest, ALargeGlyphKeepsItsWholeBoxAndAdvanceAndTheAtlasCutsItToItsWidth)
{
    const std::vector<GlyphRecord> run = Run(L"W", L"DejaVu Sans", 500);
    ASSERT_EQ(run.size(), 1u);
    const GlyphRecord& glyph = run[0];
    EXPECT_GT(glyph.bitmap->GetWidth(), LSoftwareGlyphSink::kAtlasWidth);
    EXPECT_EQ(glyph.right - glyph.left, glyph.bitmap->GetWidth());
    EXPECT_EQ(glyph.bottom - glyph.top, glyph.bitmap->GetHeight());
    EXPECT_GT(glyph.advanceX, 0x7FFF) << "past a 16-bit 26.6 advance";

    const std::int32_t font = LFont::GetFont(L"DejaVu Sans", 500, LFont::kRegular)->GetUniqueID();
    const zlong middle = glyph.bitmap->GetHeight() / 2;
    for (const zlong x : {zlong{0}, LSoftwareGlyphSink::kAtlasWidth / 2, LSoftwareGlyphSink::kAtlasWidth - 3}) {
        EXPECT_EQ(mSink->AtlasPixel(font, L'W', x, middle), *glyph.bitmap->GetPixelPointer(x, middle)) << x;
    }
}

// What a drawing processor is handed of each glyph: all but the coverage, which only a glyph new to it comes with.
void ExpectSameGlyphs(const std::vector<GlyphRecord>& replayed, const std::vector<GlyphRecord>& laidOut)
{
    ASSERT_EQ(replayed.size(), laidOut.size());
    for (std::size_t i = 0; i < laidOut.size(); ++i) {
        EXPECT_EQ(replayed[i].position, laidOut[i].position) << i;
        EXPECT_EQ(replayed[i].character, laidOut[i].character) << i;
        EXPECT_EQ(replayed[i].glyphIndex, laidOut[i].glyphIndex) << i;
        EXPECT_EQ(replayed[i].penX, laidOut[i].penX) << i;
        EXPECT_EQ(replayed[i].penY, laidOut[i].penY) << i;
        EXPECT_EQ(replayed[i].left, laidOut[i].left) << i;
        EXPECT_EQ(replayed[i].bottom, laidOut[i].bottom) << i;
        EXPECT_EQ(replayed[i].advanceX, laidOut[i].advanceX) << i;
    }
}

TEST_F(FreetypeFontRendererTest, AHeadOfALaidOutTextIsDrawnAsRenderTextDrawsItOnlyByItsRendererAndInItsFont)
{
    // Kerning pairs, a first glyph that reaches left of the pen, and characters without glyphs.
    const WideString text(L"jAVAVA W\xE000To.\r");
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 30, LFont::kRegular);
    Array<RectT<float>> heads;
    RCPtr<LLaidOutText> layout;
    ASSERT_TRUE(mRenderer->MeasureHeadsAndLayOut(text, font, 0, heads, layout));
    ASSERT_FALSE(layout.IsNull());
    EXPECT_EQ(heads.GetCount(), text.GetLength());
    EXPECT_EQ(layout->GetCharacterCount(), text.GetLength());
    for (const std::uint32_t length : {0u, 1u, 3u, 9u, 12u, text.GetLength()}) {
        mRenderer->RenderText(text.Left(length), font, mSink, 0, 0, kDrawFlags);
        const std::vector<GlyphRecord> laidOut = mSink->GetRun();
        ASSERT_TRUE(mRenderer->RenderLayout(*layout, length, font, mSink, kDrawFlags)) << length;
        EXPECT_EQ(mSink->GetLoadCount(), 0);
        ExpectSameGlyphs(mSink->GetRun(), laidOut);
    }

    // A processor that lets a glyph go gets it loaded again by the index laid out.
    const RCPtr<LSoftwareGlyphSink> forgetful(new LSoftwareGlyphSink());
    ASSERT_TRUE(mRenderer->RenderLayout(*layout, text.GetLength(), font, forgetful, kDrawFlags));
    EXPECT_EQ(forgetful->GetLoadCount(), 8) << "j A V space W T o . and nothing for the characters without glyphs";
    ExpectSameGlyphs(forgetful->GetRun(), mSink->GetRun());

    // Anything else is laid out anew, and nothing reaches the processor.
    const int begun = mSink->GetBeginCount();
    EXPECT_FALSE(mRenderer->RenderLayout(*layout, text.GetLength() + 1, font, mSink, kDrawFlags))
        << "more than it holds";
    EXPECT_FALSE(mRenderer->RenderLayout(*layout, 3, LFont::GetFont(L"DejaVu Sans", 31, LFont::kRegular), mSink,
                                         kDrawFlags))
        << "another font";
    const RCPtr<LFreetypeFontRenderer> other(new LFreetypeFontRenderer(mSink, mSink));
    EXPECT_FALSE(other->RenderLayout(*layout, 3, font, mSink, kDrawFlags)) << "another renderer";
    EXPECT_EQ(mSink->GetBeginCount(), begun);
    EXPECT_FALSE(mRenderer->MeasureHeadsAndLayOut(text, nullptr, 0, heads, layout));
    EXPECT_TRUE(layout.IsNull());
}

// A sink that takes the glyphs of a run's first `count` characters only.
class LShortRunSink : public LSoftwareGlyphSink {
public:
    explicit LShortRunSink(int count) : mCount(count) {}
    void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) override
    {
        LSoftwareGlyphSink::BeginFont(font, flags);
        mLookups = 0;
    }
    std::uint32_t LookupGlyph(GlyphRecord& record) override
    {
        return ++mLookups > mCount ? kEndOfRun : LSoftwareGlyphSink::LookupGlyph(record);
    }

private:
    int mCount;
    int mLookups = 0;
};

TEST_F(FreetypeFontRendererTest, AProcessorEndsARunLaidOutOrDrawnFromItsLayoutAtTheCharacterItTakesNoMoreOf)
{
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
    const RCPtr<LShortRunSink> sink(new LShortRunSink(3));
    mRenderer->RenderText(L"AVAVA W", font, sink, 0, 0, kDrawFlags);
    EXPECT_EQ(sink->GetRun().size(), 3u);
    EXPECT_EQ(sink->GetEndCount(), 1);
    Array<RectT<float>> heads;
    RCPtr<LLaidOutText> layout;
    ASSERT_TRUE(mRenderer->MeasureHeadsAndLayOut(L"AVAVA W", font, 0, heads, layout));
    EXPECT_TRUE(mRenderer->RenderLayout(*layout, 7, font, sink, kDrawFlags));
    EXPECT_EQ(sink->GetRun().size(), 3u);
    EXPECT_EQ(sink->GetEndCount(), 2);
}

TEST_F(FreetypeFontRendererTest, AFontThatNoFileServesFailsBeforeTheProcessorIsCalled)
{
    Testing::TemporaryFolder empty;
    WideStringArray folders;
    EXPECT_TRUE(Succeeded(folders.AddItem(WideString(empty.Path().c_str()))));
    OverrideFontDirectories(folders);
    const RCPtr<LFreetypeFontRenderer> renderer(new LFreetypeFontRenderer(mSink, mSink));
    OverrideFontDirectories(std::nullopt);
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
    EXPECT_TRUE(Testing::ThrowsText<std::runtime_error>(
        [&] { renderer->RenderText(L"A", font, mSink, 0, 0, kDrawFlags); },
        "Runtime Error : ZV::LFontFileInfo::GetFileID"));
    EXPECT_EQ(mSink->GetBeginCount(), 0);
}

TEST(FreetypeFontRenderers, TwoLiveAndDieInEitherOrderAndTheLastTakesTheCatalogueWithIt)
{
    const RCPtr<LSoftwareGlyphSink> sink(new LSoftwareGlyphSink());
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 10, LFont::kBold);
    for (const bool firstDiesFirst : {true, false}) {
        RCPtr<LFreetypeFontRenderer> first(new LFreetypeFontRenderer(sink, sink));
        first->RenderText(L"AV", font, sink, 0, 0, kDrawFlags);
        RCPtr<LFreetypeFontRenderer> second(new LFreetypeFontRenderer(sink, sink));
        RCPtr<LFreetypeFontRenderer>& dying = firstDiesFirst ? first : second;
        RCPtr<LFreetypeFontRenderer>& living = firstDiesFirst ? second : first;
        dying = nullptr;
        living->RenderText(L"AVW", font, sink, 0, 0, kDrawFlags);
        EXPECT_EQ(sink->GetRun().size(), 3u);
        zlong lineHeight = 0;
        zlong top = 0;
        zlong bottom = 0;
        EXPECT_EQ(living->GetFontMetrics(font, lineHeight, top, bottom), ZV_S_OK);
        EXPECT_GT(GetFontFamilies().GetCount(), 0u);
        living = nullptr;
        EXPECT_EQ(GetFontFamilies().GetCount(), 0u);
        EXPECT_EQ(GetFontMap().GetCount(), 0);
    }
}

// The installed file of a family's regular face.
std::string RegularFacePath(const wchar_t* family)
{
    return GetFontFilePath(LFontFileInfo::GetFileID(LFont::GetFont(family, 12, LFont::kRegular))).ToUTF8().GetData();
}

void ScanOnly(const Testing::TemporaryFolder& folder)
{
    WideStringArray folders;
    EXPECT_TRUE(Succeeded(folders.AddItem(WideString(folder.Path().c_str()))));
    OverrideFontDirectories(folders);
}

TEST(FreetypeFontRenderers, AfterARescanARendererAlreadyAliveDrawsWithTheFacesTheFileIdsNowName)
{
    const RCPtr<LSoftwareGlyphSink> sink(new LSoftwareGlyphSink());
    // Two families of different widths, each alone in a folder, so that each is file id 0 after its folder's scan.
    Testing::TemporaryFolder sans;
    Testing::TemporaryFolder mono;
    {
        const RCPtr<LFreetypeFontRenderer> installed(new LFreetypeFontRenderer(sink, sink));
        std::filesystem::copy_file(RegularFacePath(L"DejaVu Sans"), sans / "Sans.ttf");
        std::filesystem::copy_file(RegularFacePath(L"Liberation Mono"), mono / "Mono.ttf");
    }

    ScanOnly(sans);
    const RCPtr<LFreetypeFontRenderer> first(new LFreetypeFontRenderer(sink, sink));
    const RCPtr<LFont> sansFont = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
    ASSERT_EQ(LFontFileInfo::GetFileID(sansFont), 0);
    first->RenderText(L"A", sansFont, sink, 0, 0, kDrawFlags);
    ASSERT_EQ(sink->GetRun().size(), 1u);
    const std::int32_t sansAdvance = sink->GetRun()[0].advanceX;

    ScanOnly(mono);
    const RCPtr<LFreetypeFontRenderer> second(new LFreetypeFontRenderer(sink, sink));
    OverrideFontDirectories(std::nullopt);
    const RCPtr<LFont> monoFont = LFont::GetFont(L"Liberation Mono", 12, LFont::kRegular);
    ASSERT_EQ(LFontFileInfo::GetFileID(monoFont), 0) << "the file id that DejaVu Sans had";
    first->RenderText(L"A", monoFont, sink, 0, 0, kDrawFlags);
    ASSERT_EQ(sink->GetRun().size(), 1u);
    const DirectFace face(L"Liberation Mono", LFont::kRegular, 12);
    EXPECT_EQ(sink->GetRun()[0].advanceX, face.Advance(L'A')) << "not the face cached before the rescan";
    EXPECT_NE(sink->GetRun()[0].advanceX, sansAdvance);
}

}  // namespace
}  // namespace ZV
