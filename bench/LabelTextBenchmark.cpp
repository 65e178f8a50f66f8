// Laying out and drawing a label in a box 300 pixels wide, the text changing before every round so that its lines
// are wrapped, measured and drawn anew. FreeType (the font renderer of the OpenGL path) measures and draws, through the
// tests' glyph sink, which keeps each glyph in an atlas as a drawing glyph processor does. Side by side with the font
// renderer measuring the same text as one run; the lengths 200, 2,000 and 4,000 show how the work grows. The goal is a
// ratio of 1.5 or less; measured_chars counts the characters laid out to measure them.
// The program's own renderer, Cairo's, measures and draws the same label into an offscreen surface, side by side with
// Cairo laying the same text out once.
#include "ControlBase/Look.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/Gdi/GDIFonts.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/Renderer.h"
#include "Renderer/FontRenderer/SoftwareGlyphSink.h"
#include "support/ScopedMeasurementRenderer.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ZV;

constexpr zlong kBoxWidth = 300;
constexpr zlong kBoxHeight = 2400;
// Upload new glyphs and draw them.
constexpr std::uint32_t kDrawFlags = 12;

// The tests' glyph sink, which keeps each glyph's coverage in an atlas the first time and serves it from there, as a
// drawing glyph processor does; it also measures the run's bounds when asked to, as the font renderer's measuring
// needs.
class LMeasuringGlyphSink : public Testing::LSoftwareGlyphSink {
public:
    void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) override
    {
        LSoftwareGlyphSink::BeginFont(font, flags);
        mMeasures = (flags & 2) != 0;
        mProcessed = false;
        mBounds = {};
    }

    void ProcessGlyph(GlyphRecord& record) override
    {
        LSoftwareGlyphSink::ProcessGlyph(record);
        if (!mMeasures) {
            return;
        }
        const RectT<float> box(
            record.penX + static_cast<float>(record.left), record.penY + static_cast<float>(record.top),
            record.penX + static_cast<float>(record.right), record.penY + static_cast<float>(record.bottom));
        mBounds = !mProcessed ? box
                              : RectT<float>(std::min(mBounds.x, box.x), std::min(mBounds.y, box.y),
                                             std::max(mBounds.width, box.width), std::max(mBounds.height, box.height));
        mProcessed = true;
    }

    // Left, top, right, bottom; all 0 for a run without glyphs.
    RectT<float> GetTextBounds() override { return mBounds; }
    const RectT<float>* GetLiveTextBounds() override { return &mBounds; }

private:
    bool mMeasures = false;
    bool mProcessed = false;
    RectT<float> mBounds;
};

class LBenchContext : public LRenderContextInfo {
public:
    using LRenderContextInfo::LRenderContextInfo;
    PointT<zlong> GetMaxSurfaceSize() const override { return {kBoxWidth, kBoxHeight}; }
};

// A renderer whose text is FreeType's: measured by the font renderer, drawn through the glyph sink. It draws
// nothing else.
class LFreetypeTextRenderer : public LRenderer {
public:
    LFreetypeTextRenderer() : mFontRenderer(new LFreetypeFontRenderer(mSink, mSink)) {}

    ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top, zlong& bottom) override
    {
        return mFontRenderer->GetFontMetrics(font, lineHeight, top, bottom);
    }
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override
    {
        mMeasuredCharacters += text.GetLength();
        return mFontRenderer->MeasureText(text, font);
    }
    bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                      Array<RectT<float>>& heads) override
    {
        const bool measured = mFontRenderer->MeasureHeads(text, font, widthLimit, heads);
        mMeasuredCharacters += heads.GetCount();
        return measured;
    }
    bool MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                               Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout) override
    {
        const bool measured = mFontRenderer->MeasureHeadsAndLayOut(text, font, widthLimit, heads, layout);
        mMeasuredCharacters += heads.GetCount();
        return measured;
    }
    // The sink keeps the run, whatever its place.
    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>&, const LColor&) override
    {
        mFontRenderer->RenderText(text, font, mSink, 0, 0.0f, kDrawFlags);
    }
    void DrawLaidOutText(const WideString& text, const LLaidOutText* layout, const ConstRCPtr<LFont>& font,
                         const PointT<zlong>&, const LColor&) override
    {
        if (layout == nullptr || !mFontRenderer->RenderLayout(*layout, text.GetLength(), font, mSink, kDrawFlags)) {
            mFontRenderer->RenderText(text, font, mSink, 0, 0.0f, kDrawFlags);
        }
    }

    int GetRendererType() const override { return kOpenGL; }
    ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override
    {
        context = new LBenchContext(viewport, window, offscreen);
        return ZV_S_OK;
    }
    void FrameRect(const RectT<zlong>&, const LColor&, float) override {}
    void FillRect(const RectT<zlong>&, const LColor&, bool) override {}
    void DrawColorRectList(const ColorRectListT<float>&, const PointT<float>&, bool) override {}
    void DrawLine(const PointT<float>&, const PointT<float>&, const LColor&, float) override {}
    void DrawLineSegments(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                          bool) override
    {
    }
    void DrawPolyline(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                      bool) override
    {
    }
    void DrawPolygon(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                     bool) override
    {
    }
    void FillPolygon(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                     bool) override
    {
    }
    void DrawBitmap(const ConstRCPtr<LBitmap>&, const RectT<zlong>&, int) override {}
    ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>&, const PointT<zlong>&, const RectT<zlong>&) override
    {
        return ZV_S_OK;
    }
    ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>&, const PointT<zlong>&) override { return ZV_S_OK; }

    LFontRenderer& GetFontRenderer() { return *mFontRenderer; }
    // How many characters MeasureText was given so far.
    std::uint64_t GetMeasuredCharacters() const { return mMeasuredCharacters; }

private:
    // Measured runs and drawn runs go through the same sink, as they do on the OpenGL path.
    RCPtr<LMeasuringGlyphSink> mSink{new LMeasuringGlyphSink()};
    RCPtr<LFreetypeFontRenderer> mFontRenderer;
    std::uint64_t mMeasuredCharacters = 0;
};

const std::vector<std::wstring>& Words()
{
    static const std::vector<std::wstring> kWords = {
        L"The",  L"updater", L"sends", L"the", L"firmware", L"to",   L"the",     L"device,",   L"message",
        L"by",   L"message", L"and",   L"waits", L"for",    L"it",   L"to",      L"restart;",  L"a",
        L"well-known", L"sequence", L"keeps", L"every", L"screen", L"of",    L"the",     L"display",   L"in",
        L"step", L"while",   L"the",   L"progress", L"bar",  L"moves."};
    return kWords;
}

// Prose of the given length from the words that pickWord names in turn.
template <class WordPicker>
WideString ProseOfWords(std::size_t length, WordPicker pickWord)
{
    std::wstring text;
    while (text.size() < length) {
        text += Words()[pickWord() % Words().size()];
        text += L' ';
    }
    text.resize(length);
    return WideString(text.c_str());
}

// Prose of the given length, beginning at one of its words.
WideString Prose(std::size_t length, std::size_t firstWord)
{
    return ProseOfWords(length, [word = firstWord]() mutable { return word++; });
}

// Texts of the given length that share hardly a line, in all more lines than the Cairo renderer keeps runs for.
std::vector<WideString> ManyProses(std::size_t length)
{
    constexpr std::size_t kCharacters = 400000;
    std::vector<WideString> texts;
    std::uint32_t seed = 1;
    while (texts.size() < std::max<std::size_t>(kCharacters / length, 2)) {
        texts.push_back(ProseOfWords(length, [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 16;
        }));
    }
    return texts;
}

RCPtr<LLookDescriptor> LabelLook()
{
    RCPtr<LLookDescriptor> descriptor(new LLookDescriptor(L"label"));
    TextProperties text;
    text.rightAbs = static_cast<std::int32_t>(kBoxWidth);
    text.bottomAbs = static_cast<std::int32_t>(kBoxHeight);
    LColor ink;
    ink.SetFromARGB(0xFF243040);
    text.foregroundPart = new LVisualPartDescriptor(L"ink", ImageSource(), kResizeStretch,
                                                    RCPtr<LColorizer>(new LColorizer(LColorizer::kSolidFill, ink, ink)),
                                                    PointT<float>(1, 1), 1.0f, ImageSource());
    (void)descriptor->SetTextProperties(text);
    return descriptor;
}

// The label's look in a frame of the renderer's offscreen context, for as long as it lives.
class LabelFrame {
public:
    LabelFrame(LRenderer& renderer, const RCPtr<LFont>& font) : mRenderer(renderer)
    {
        mLook->SetSize(kBoxWidth, kBoxHeight);
        (void)mLook->SetFont(font);
        (void)mRenderer.InitRenderContextInfo({0, 0, kBoxWidth, kBoxHeight}, nullptr, true, mContext);
        (void)mRenderer.RenderStart(mContext);
        mDirty.Add({0, 0, kBoxWidth, kBoxHeight});
    }
    LabelFrame(const LabelFrame&) = delete;
    LabelFrame& operator=(const LabelFrame&) = delete;
    ~LabelFrame() { (void)mRenderer.RenderFinish(mContext); }

    void LayOutAndDraw(const WideString& text)
    {
        (void)mLook->SetText(text);
        (void)mLook->DrawLabelText(mRenderer, mDirty, PointT<double>());
    }
    LLook& Look() { return *mLook; }

private:
    LRenderer& mRenderer;
    RCPtr<LLook> mLook = LLook::Create(LabelLook(), true);
    RCPtr<LRenderContextInfo> mContext;
    RectList mDirty;
};

void LayOutAndDrawALabel(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    const RCPtr<LFreetypeTextRenderer> renderer(new LFreetypeTextRenderer());
    const Testing::ScopedMeasurementRenderer services(renderer);
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 9, LFont::kRegular);
    const WideString texts[2] = {Prose(length, 0), Prose(length, 1)};
    LabelFrame label(*renderer, font);

    // Each round lays out the other text: nothing is left from the round before.
    std::size_t round = 0;
    std::size_t baselineRound = 0;
    bench::RunSideBySide(
        state, [&] { label.LayOutAndDraw(texts[++round % 2]); },
        [&] { benchmark::DoNotOptimize(renderer->GetFontRenderer().MeasureText(texts[++baselineRound % 2], font)); });
    const std::uint64_t before = renderer->GetMeasuredCharacters();
    (void)label.Look().SetText(texts[++round % 2]);
    state.counters["lines"] = static_cast<double>(label.Look().GetText()->GetLineCount());
    state.counters["measured_chars"] = static_cast<double>(renderer->GetMeasuredCharacters() - before);
    state.counters["ours_ns_per_char"] = state.counters["ours_ns"] / static_cast<double>(length);
}
BENCHMARK(LayOutAndDrawALabel)->Arg(200)->Arg(2000)->Arg(4000)->Unit(benchmark::kMicrosecond);

void LayOutAndDrawALabelWithCairo(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    const RCPtr<LGDIRenderer> renderer(new LGDIRenderer());
    const Testing::ScopedMeasurementRenderer services(renderer);
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 9, LFont::kRegular);
    const RCPtr<LGDIFont> face = LGDIFont::Create(*font);
    const std::vector<WideString> texts = ManyProses(length);
    LabelFrame label(*renderer, font);

    std::size_t round = 0;
    std::size_t baselineRound = 0;
    bench::RunSideBySide(
        state, [&] { label.LayOutAndDraw(texts[++round % texts.size()]); },
        [&] { benchmark::DoNotOptimize(LTextRun::Create(*face, texts[++baselineRound % texts.size()])); });
    state.counters["lines"] = static_cast<double>(label.Look().GetText()->GetLineCount());
    state.counters["ours_ns_per_char"] = state.counters["ours_ns"] / static_cast<double>(length);
}
BENCHMARK(LayOutAndDrawALabelWithCairo)->Arg(200)->Arg(2000)->Arg(4000)->Unit(benchmark::kMicrosecond);

}  // namespace
