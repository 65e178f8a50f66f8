#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FontDirectories.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::Image;

constexpr std::uint32_t kBackground = 0xFF000000u;

// The smallest rectangle (left, top, right, bottom, exclusive) holding every pixel unlike the background.
RectT<int> InkBox(const Image& image, std::uint32_t background)
{
    RectT<int> box(image.width, image.height, 0, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != background) {
                box = RectT<int>(std::min(box.x, x), std::min(box.y, y), std::max(box.width, x + 1),
                                 std::max(box.height, y + 1));
            }
        }
    }
    return box;
}

class GLGlyphGui : public Testing::GLWindowTest {
protected:
    // One frame drawing the text; answers the glyphs it added to atlases and the uploads it made.
    std::pair<std::uint32_t, std::uint32_t> Draw(const WideString& text, const ConstRCPtr<LFont>& font,
                                                 const PointT<zlong>& at = {10, 10})
    {
        const std::uint32_t added = mGlyphs->GetAddedGlyphCount();
        const std::uint32_t uploads = mGlyphs->GetUploadCount();
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
        Renderer().DrawText(text, font, at, LColor(1, 1, 1, 1));
        Finish();
        return {mGlyphs->GetAddedGlyphCount() - added, mGlyphs->GetUploadCount() - uploads};
    }
};

TEST_F(GLGlyphGui, TheSecondDrawOfATextAddsNoGlyphAndUploadsNothing)
{
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 11, LFont::kRegular);
    const auto first = Draw(L"Halvista", font);
    EXPECT_EQ(first.first, 7u) << "one glyph a character: H a l v i s t";
    EXPECT_GE(first.second, 1u);
    const Image drawn = Snapshot();
    EXPECT_EQ(Draw(L"Halvista", font), std::make_pair(0u, 0u));
    EXPECT_EQ(Testing::CompareImages(Snapshot(), drawn, 0).differingPixels, 0) << "and draws the same pixels";
    EXPECT_EQ(Draw(L"vital", font), std::make_pair(0u, 0u)) << "the same glyphs in another text";
    EXPECT_EQ(Draw(L"Halvista!", font), std::make_pair(1u, 1u)) << "a new glyph is uploaded alone";
}

TEST_F(GLGlyphGui, GlyphsMeasuredOutsideAFrameAreUploadedWithTheNextDraw)
{
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 10, LFont::kRegular);
    const RectT<float> box = Renderer().MeasureText(L"Update", font);
    EXPECT_GT(box.width, 20.0f);
    EXPECT_EQ(mGlyphs->GetAddedGlyphCount(), 6u);
    EXPECT_EQ(mGlyphs->GetUploadCount(), 0u) << "no context is current while measuring";
    EXPECT_EQ(Draw(L"Update", font), std::make_pair(0u, 1u));
    EXPECT_NE(InkBox(Snapshot(), kBackground).width, 0);
}

TEST_F(GLGlyphGui, TheSeventeenthFontTakesTheAtlasOfTheFontUsedLongestAgo)
{
    std::vector<RCPtr<LFont>> fonts;
    for (int index = 0; index < LGLGlyphRenderer::kFontCacheSize + 1; ++index) {
        fonts.push_back(LFont::GetFont(L"DejaVu Sans", 8.0f + static_cast<float>(index), LFont::kRegular));
    }
    for (int index = 0; index < LGLGlyphRenderer::kFontCacheSize; ++index) {
        EXPECT_EQ(Draw(L"A", fonts[index]).first, 1u);
    }
    EXPECT_EQ(Draw(L"A", fonts.back()).first, 1u);
    for (int index = 1; index < LGLGlyphRenderer::kFontCacheSize; ++index) {
        EXPECT_EQ(Draw(L"A", fonts[index]).first, 0u) << "font " << index << " kept its atlas";
    }
    EXPECT_EQ(Draw(L"A", fonts.front()).first, 1u) << "the first font's atlas went to the seventeenth";
}

TEST_F(GLGlyphGui, AGlyphOf400PointsIsDrawnCutToTheAtlasWithoutTouchingMemoryBeyondIt)
{
    const RCPtr<LFont> huge = LFont::GetFont(L"DejaVu Sans", 400, LFont::kBold);
    const auto drawn = Draw(L"W@", huge, {-100, -100});
    EXPECT_EQ(drawn.first, 2u);
    const RectT<int> ink = InkBox(Snapshot(), kBackground);
    EXPECT_EQ(ink.x, 0) << "the glyph covers the window's left edge";
    EXPECT_GT(ink.height, 100);
    EXPECT_EQ(Draw(L"W@", huge, {-100, -100}), std::make_pair(0u, 0u));
}

TEST_F(GLGlyphGui, AHeadDrawnFromTheLayoutItsMeasuringKeptHasThePixelsOfTheHeadDrawnAnewInTheFontItIsDrawnIn)
{
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
    const WideString text(L"jolt AVAWAY Halvista, again and again");
    Array<RectT<float>> heads;
    RCPtr<LLaidOutText> layout;
    ASSERT_TRUE(Renderer().MeasureHeadsAndLayOut(text, font, 0, heads, layout));
    ASSERT_FALSE(layout.IsNull());
    const auto drawn = [&](const ConstRCPtr<LFont>& drawnIn, const LLaidOutText* from) {
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
        Renderer().DrawLaidOutText(text.Left(21), from, drawnIn, {10, 10}, LColor(1, 1, 1, 1));
        Finish();
        return Snapshot();
    };
    const Image anew = drawn(font, nullptr);
    EXPECT_NE(InkBox(anew, kBackground).width, 0);
    EXPECT_EQ(Testing::CompareImages(drawn(font, layout.Get()), anew, 0).differingPixels, 0);

    // A layout of another font is not drawn from.
    const RCPtr<LFont> larger = LFont::GetFont(L"DejaVu Sans", 16, LFont::kRegular);
    const Image largerAnew = drawn(larger, nullptr);
    EXPECT_NE(Testing::CompareImages(largerAnew, anew, 0).differingPixels, 0);
    EXPECT_EQ(Testing::CompareImages(drawn(larger, layout.Get()), largerAnew, 0).differingPixels, 0);
}

TEST_F(GLGlyphGui, TextSitsOnTheLineTheCairoRendererPutsItOn)
{
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 12, LFont::kRegular);
    Draw(L"Halvista Left", font, {20, 40});
    const RectT<int> ours = InkBox(Snapshot(), kBackground);

    Testing::GdiCanvas canvas(kWidth, kHeight);
    canvas.Start();
    canvas.Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
    canvas.Renderer().DrawText(L"Halvista Left", font, {20, 40}, LColor(1, 1, 1, 1));
    canvas.Finish();
    const RectT<int> cairo = InkBox(canvas.Snapshot(), kBackground);

    EXPECT_NEAR(ours.y, cairo.y, 1) << "the tops of the capitals";
    EXPECT_NEAR(ours.height, cairo.height, 1) << "the baseline";
    EXPECT_NEAR(ours.x, cairo.x, 3) << "the 2D renderer pads the start";
    EXPECT_NEAR(ours.width - ours.x, cairo.width - cairo.x, 3) << "the run's length";

    const RectT<float> measured = Renderer().MeasureText(L"Halvista Left", font);
    EXPECT_LE(ours.width - ours.x, static_cast<int>(measured.width) + 1) << "the ink lies within the measured width";
}


// The installed file of a style of DejaVu Sans.
std::string InstalledFacePath(std::int32_t style)
{
    const RCPtr<LGLGlyphRenderer> glyphs(new LGLGlyphRenderer());
    const RCPtr<LFreetypeFontRenderer> installed(new LFreetypeFontRenderer(glyphs, glyphs));
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 12, style);
    return GetFontFilePath(LFontFileInfo::GetFileID(font)).ToUTF8().GetData();
}

// The renderer is made while the font folder holds only the regular face of DejaVu Sans.
class GLGlyphRescanGui : public GLGlyphGui {
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(InstalledFacePath(LFont::kRegular), mFolder / "Sans.ttf");
        mBoldPath = InstalledFacePath(LFont::kBold);
        WideStringArray folders;
        ASSERT_TRUE(Succeeded(folders.AddItem(WideString(mFolder.Path().c_str()))));
        OverrideFontDirectories(folders);
        GLGlyphGui::SetUp();
    }
    void TearDown() override
    {
        OverrideFontDirectories(std::nullopt);
        GLGlyphGui::TearDown();
    }

    Testing::TemporaryFolder mFolder;
    std::string mBoldPath;
};

TEST_F(GLGlyphRescanGui, ARendererMadeBeforeARescanThatAddsTheBoldFaceDrawsAndMeasuresEveryTextInIt)
{
    const RCPtr<LFont> bold = LFont::GetFont(L"DejaVu Sans", 12, LFont::kBold);
    const WideString text(L"WWWW");
    Array<RectT<float>> heads;
    RCPtr<LLaidOutText> layout;
    ASSERT_TRUE(Renderer().MeasureHeadsAndLayOut(text, bold, 0, heads, layout));
    Draw(text, bold);
    const int regularInk = InkBox(Snapshot(), kBackground).width;

    std::filesystem::copy_file(mBoldPath, mFolder / "SansBold.ttf");
    const RCPtr<LGLGlyphRenderer> glyphs(new LGLGlyphRenderer());
    const RCPtr<LFreetypeFontRenderer> rescanning(new LFreetypeFontRenderer(glyphs, glyphs));
    for (const wchar_t* measured : {L"WWWW", L"xxxx"}) {
        EXPECT_EQ(Renderer().MeasureText(measured, bold).width, rescanning->MeasureText(measured, bold).width)
            << "measured in the bold face, as the renderer made after the rescan measures it";
    }
    Draw(text, bold);
    const Image anew = Snapshot();
    EXPECT_GT(InkBox(anew, kBackground).width, regularInk) << "the glyphs of the regular face were dropped";
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
    Renderer().DrawLaidOutText(text, layout.Get(), bold, {10, 10}, LColor(1, 1, 1, 1));
    Finish();
    EXPECT_EQ(Testing::CompareImages(Snapshot(), anew, 0).differingPixels, 0)
        << "the layout of the regular face is not drawn from";
}

}  // namespace
}  // namespace ZV
