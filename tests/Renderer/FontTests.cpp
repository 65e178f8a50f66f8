#include "Renderer/D3D9Renderer.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/RecordingRenderer.h"
#include "Renderer/RenderingServices.h"
#include "support/ScopedMeasurementRenderer.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ScopedMeasurementRenderer;

TEST(Fonts, OneFontPerFaceInAnyLetterCaseSizeAndStyle)
{
    const RCPtr<LFont> font = LFont::GetFont(L"Shared Face", 12, LFont::kRegular);
    EXPECT_EQ(LFont::GetFont(L"Shared Face", 12, LFont::kRegular), font);
    EXPECT_EQ(LFont::GetFont(L"SHARED face", 12, LFont::kRegular), font);

    const RCPtr<LFont> larger = LFont::GetFont(L"Shared Face", 12.5f, LFont::kRegular);
    const RCPtr<LFont> bold = LFont::GetFont(L"Shared Face", 12, LFont::kBold);
    EXPECT_NE(larger, font);
    EXPECT_NE(bold, font);

    const std::int32_t index = LFont::FindFont(L"shared face", 12, LFont::kBold);
    ASSERT_GE(index, 0);
    EXPECT_EQ(*LFont::GetFontList().GetItemPointer(static_cast<std::uint32_t>(index)), bold);
    EXPECT_EQ(LFont::FindFont(L"Shared Face", 13, LFont::kRegular), -1);
}

TEST(Fonts, LastOutsideReleaseTakesTheFontOutOfTheListAndANewOneGetsANewID)
{
    const std::uint32_t listed = LFont::GetFontList().GetCount();
    RCPtr<LFont> font = LFont::GetFont(L"Released Face", 10, LFont::kItalic);
    RCPtr<LFont> again = LFont::GetFont(L"Released Face", 10, LFont::kItalic);
    const std::int32_t firstID = font->GetUniqueID();
    EXPECT_EQ(LFont::GetFontList().GetCount(), listed + 1);

    font = nullptr;
    EXPECT_GE(LFont::FindFont(L"Released Face", 10, LFont::kItalic), 0) << "still held";
    again = nullptr;
    EXPECT_EQ(LFont::FindFont(L"Released Face", 10, LFont::kItalic), -1);
    EXPECT_EQ(LFont::GetFontList().GetCount(), listed);

    font = LFont::GetFont(L"Released Face", 10, LFont::kItalic);
    EXPECT_GT(font->GetUniqueID(), firstID);
}

TEST(Fonts, MetricsAreAskedOfTheMeasurementRendererOnce)
{
    const RCPtr<Testing::LRecordingRenderer> renderer(new Testing::LRecordingRenderer());
    renderer->SetFontMetrics(15, -12, 3);
    const ScopedMeasurementRenderer services(renderer);

    const RCPtr<LFont> font = LFont::GetFont(L"Measured Face", 8.25f, LFont::kRegular);
    EXPECT_EQ(font->GetTop(), -12);
    EXPECT_EQ(font->ResolveFontInfo(), 15);
    EXPECT_EQ(font->GetBottom(), 3);
    EXPECT_EQ(font->GetTop(), -12);
    EXPECT_EQ(renderer->GetOperations(),
              std::vector<std::string>{"GetFontMetrics \"Measured Face\" 8.25 style 0"});
}

TEST(Fonts, WithoutMetricsAFontStaysUnresolvedAndAsksAgainLater)
{
    const RCPtr<LFont> font = LFont::GetFont(L"Unmeasured Face", 11, LFont::kRegular);
    EXPECT_EQ(font->ResolveFontInfo(), -1) << "no measurement renderer";
    EXPECT_EQ(font->GetTop(), 0);
    EXPECT_EQ(font->GetBottom(), 0);
    {
        const RCPtr<LD3D9Renderer> placeholder(new LD3D9Renderer());
        const ScopedMeasurementRenderer services(placeholder);
        EXPECT_EQ(font->ResolveFontInfo(), -1) << "a renderer that gives no metrics";
        EXPECT_EQ(placeholder->MeasureText(L"text", font), RectT<float>());
    }
    const RCPtr<Testing::LRecordingRenderer> renderer(new Testing::LRecordingRenderer());
    renderer->SetFontMetrics(14, -11, 3);
    const ScopedMeasurementRenderer services(renderer);
    EXPECT_EQ(font->ResolveFontInfo(), 14);
    EXPECT_EQ(font->GetBottom(), 3);
}

// Reports fixed text bounds and what the font renderer asked of it.
class LFixedBoundsProcessor : public LGlyphProcessor {
public:
    explicit LFixedBoundsProcessor(const RectT<float>& bounds) : mBounds(bounds) {}

    void BeginFont(const ConstRCPtr<LFont>&, std::uint32_t flags) override { mFlags = flags; }
    void EndFont() override {}
    std::uint32_t LookupGlyph(GlyphRecord&) override { return 0; }
    void ProcessGlyph(GlyphRecord&) override {}
    RectT<float> GetTextBounds() override { return mBounds; }

    std::uint32_t mFlags = 0;

private:
    RectT<float> mBounds;
};

// Lays out nothing itself: it only opens and closes the run on the processor it is given.
class LEmptyRunFontRenderer : public LFontRenderer {
public:
    using LFontRenderer::LFontRenderer;

    ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>&, zlong&, zlong&, zlong&) override { return ZV_E_NOTIMPL; }
    void RenderText(const WideString&, const ConstRCPtr<LFont>& font, const RCPtr<LGlyphProcessor>& processor,
                    std::int32_t, float, std::uint32_t flags) override
    {
        if (!processor.IsNull()) {
            processor->BeginFont(font, flags);
            processor->EndFont();
        }
    }
};

TEST(FontRendererMeasureText, CoversTheFontsHeightAndTheLastPixelColumn)
{
    const RCPtr<Testing::LRecordingRenderer> measurement(new Testing::LRecordingRenderer());
    measurement->SetFontMetrics(15, -12, 3);
    const ScopedMeasurementRenderer services(measurement);
    const RCPtr<LFont> font = LFont::GetFont(L"Laid Out Face", 9, LFont::kRegular);

    const RCPtr<LFixedBoundsProcessor> unused(new LFixedBoundsProcessor(RectT<float>(0, -99, 99, 99)));
    const RCPtr<LFixedBoundsProcessor> empty(new LFixedBoundsProcessor(RectT<float>()));
    const RCPtr<LFontRenderer> emptyRun(new LEmptyRunFontRenderer(unused, empty));
    EXPECT_EQ(emptyRun->MeasureText(L"", font), RectT<float>(0, -12, 1, 15));
    EXPECT_EQ(empty->mFlags, 3u) << "measured through the second processor, measuring only";
    EXPECT_EQ(unused->mFlags, 0u);

    // Left, top, right, bottom from the processor, widened to the font's box.
    const RCPtr<LFixedBoundsProcessor> tall(new LFixedBoundsProcessor(RectT<float>(2, -14, 30, 5)));
    EXPECT_EQ(RCPtr<LFontRenderer>(new LEmptyRunFontRenderer(unused, tall))->MeasureText(L"Tg", font),
              RectT<float>(2, -14, 29, 19));

    const RCPtr<LFontRenderer> noProcessor(new LEmptyRunFontRenderer(unused, nullptr));
    EXPECT_EQ(noProcessor->GetTextBounds(), RectT<float>());
    EXPECT_EQ(noProcessor->MeasureText(L"x", font), RectT<float>(0, -12, 1, 15));
}

}  // namespace
}  // namespace ZV
