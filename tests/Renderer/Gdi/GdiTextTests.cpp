#include "Renderer/Font.h"
#include "Renderer/Gdi/GdiTestCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ZV {
namespace {

using Testing::GdiCanvas;

struct Ink {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;

    bool IsEmpty() const { return right < left; }
};

Ink FindInk(const Testing::Image& image)
{
    Ink ink;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != 0) {
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                       std::max(ink.bottom, y + 1)};
            }
        }
    }
    return ink;
}

struct TextInFont {
    const wchar_t* face;
    float size;
    std::int32_t style;
    const wchar_t* text;
};

TEST(GdiText, InkLiesInsideTheMeasuredBoxAtTheBaseline)
{
    const TextInFont cases[] = {
        {L"Arial", 8.25f, LFont::kRegular, L"UPDATE FIRMWARE"},
        {L"DejaVu Sans", 14, LFont::kBold, L"Wjgy|[]"},
        {L"Liberation Serif", 11, LFont::kItalic, L"fifth jump"},
        {L"No Such Family", 10, LFont::kBoldItalic, L"\u00c5ngstr\u00f6m \u00e9t\u00e9"},
        {L"DejaVu Sans", 10, LFont::kRegular, L"lone \xD800 surrogate"},
    };
    for (const auto& entry : cases) {
        GdiCanvas canvas(400, 80);
        LGDIRenderer& renderer = canvas.Renderer();
        const RCPtr<LFont> font = LFont::GetFont(entry.face, entry.size, entry.style);
        zlong lineHeight = 0;
        zlong top = 0;
        zlong bottom = 0;
        ASSERT_EQ(renderer.GetFontMetrics(font, lineHeight, top, bottom), ZV_S_OK);
        const RectT<float> box = renderer.MeasureText(entry.text, font);
        EXPECT_EQ(box.x, 0.0f);
        EXPECT_EQ(box.y, static_cast<float>(top));
        EXPECT_EQ(box.height, static_cast<float>(lineHeight));
        EXPECT_GE(lineHeight, bottom - top);

        const PointT<zlong> position(30, 20);
        canvas.Start();
        renderer.DrawText(entry.text, font, position, LColor(0, 0, 0, 1));
        canvas.Finish();
        const Ink ink = FindInk(canvas.Snapshot());
        ASSERT_FALSE(ink.IsEmpty()) << "nothing drawn of \"" << WideString(entry.text).ToUTF8().GetData() << "\"";
        const double baseline = position.y - 1.0 - top;
        EXPECT_GE(ink.left, position.x + box.x);
        EXPECT_LE(ink.right, position.x + box.x + box.width);
        EXPECT_GE(ink.top, baseline + box.y);
        EXPECT_LE(ink.bottom, baseline + box.y + box.height);
    }
}

TEST(GdiText, EmptyTextMeasuresNothingAndTrailingBlanksCount)
{
    const RCPtr<LGDIRenderer> renderer(new LGDIRenderer());
    const RCPtr<LFont> font = LFont::GetFont(L"Arial", 8.25f, LFont::kRegular);
    EXPECT_EQ(renderer->MeasureText(L"", font), RectT<float>());
    const RectT<float> word = renderer->MeasureText(L"NEXT", font);
    EXPECT_GT(renderer->MeasureText(L"NEXT  ", font).width, word.width);
    EXPECT_EQ(renderer->MeasureText(L"NEXT", font), word) << "measured again from the kept glyphs";
}

TEST(GdiText, AFontTooLargeForAnySurfaceHasNoMetricsAndDrawsNothing)
{
    GdiCanvas canvas(20, 20);
    LGDIRenderer& renderer = canvas.Renderer();
    const RCPtr<LFont> huge = LFont::GetFont(L"Arial", 1e30f, LFont::kRegular);
    zlong lineHeight = 0;
    zlong top = 0;
    zlong bottom = 0;
    EXPECT_EQ(renderer.GetFontMetrics(huge, lineHeight, top, bottom), ZV_E_FAIL);
    EXPECT_EQ(renderer.MeasureText(L"Hi", huge), RectT<float>());
    canvas.Start();
    renderer.DrawText(L"Hi", huge, {0, 0}, LColor(1, 0, 0, 1));
    renderer.FillRect({0, 0, 5, 5}, LColor(0, 0, 1, 1), true);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(2, 2), 0xFF0000FFu);
    EXPECT_EQ(canvas.Pixel(10, 10), 0u);
}

TEST(GdiText, EachHeadMeasuredInOnePassIsExactlyWhatMeasuringThatHeadAnswers)
{
    const RCPtr<LGDIRenderer> renderer(new LGDIRenderer());
    const TextInFont cases[] = {
        {L"DejaVu Sans", 9, LFont::kRegular, L"AVAWAY To Ty, we'll fit 1,234.56 \"firmware\" bytes -- T.V. "},
        {L"Liberation Serif", 11.5f, LFont::kItalic,
         L"ffi fl Wa Yo \u00c5ngstr\u00f6m \u00e9t\u00e9 \u0394\u03a9 lone \xD800 x"},
        {L"Arial", 8.25f, LFont::kBold, L"UPDATE FIRMWARE\ttab  two  blanks "},
    };
    for (const auto& entry : cases) {
        const RCPtr<LFont> font = LFont::GetFont(entry.face, entry.size, entry.style);
        const WideString text(entry.text);
        Array<RectT<float>> heads;
        ASSERT_TRUE(renderer->MeasureHeads(text, font, 0, heads));
        ASSERT_EQ(heads.GetCount(), text.GetLength());
        for (std::uint32_t end = 1; end <= text.GetLength(); ++end) {
            EXPECT_EQ(heads.GetData()[end - 1], renderer->MeasureText(text.Left(end), font))
                << "the first " << end << " characters of \"" << text.ToUTF8().GetData() << "\"";
        }

        const float limit = DrawnWidth(heads.GetData()[text.GetLength() / 2]) - 0.5f;
        Array<RectT<float>> limited;
        ASSERT_TRUE(renderer->MeasureHeads(text, font, limit, limited));
        ASSERT_GT(limited.GetCount(), 0u);
        EXPECT_GT(DrawnWidth(limited.GetData()[limited.GetCount() - 1]), limit) << "ends with the first head past it";
        for (std::uint32_t index = 0; index + 1 < limited.GetCount(); ++index) {
            EXPECT_LE(DrawnWidth(limited.GetData()[index]), limit);
            EXPECT_EQ(limited.GetData()[index], heads.GetData()[index]);
        }
    }

    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 10, LFont::kRegular);
    Array<RectT<float>> heads;
    EXPECT_TRUE(renderer->MeasureHeads(WideString(), font, 0, heads));
    EXPECT_EQ(heads.GetCount(), 0u);
    ASSERT_TRUE(renderer->MeasureHeads(L"abc", font, 0, heads));
    EXPECT_FALSE(renderer->MeasureHeads(L"pair \xD83D\xDE00 x", font, 0, heads))
        << "two units make one glyph: measured head by head";
    EXPECT_EQ(heads.GetCount(), 0u);
    EXPECT_FALSE(renderer->MeasureHeads(L"abc", nullptr, 0, heads));
}

}  // namespace
}  // namespace ZV
