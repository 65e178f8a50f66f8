#include "Renderer/FontRenderer/FontRenderer.h"

#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/GlyphLayout.h"
#include "Renderer/MeasurementRenderer.h"

#include <algorithm>

namespace ZV {

namespace {

// Numbers the font renderers as they are made. User-interface thread only.
std::uint64_t gLastSerialNumber = 0;

// Asks the processor to measure only.
constexpr std::uint32_t kMeasureFlags = 3;

// The box that MeasureText answers for a run of these bounds (left, top, right, bottom) in a font of that top and
// bottom.
RectT<float> BoxOfBounds(const RectT<float>& bounds, float fontTop, float fontBottom)
{
    const float left = bounds.x;
    const float right = bounds.width;
    const float top = std::min(bounds.y, fontTop);
    const float bottom = std::max(fontBottom, bounds.height);
    return {left, top, (right + 1.0f) - left, bottom - top};
}

// Hands a run's glyphs on to the measuring processor and keeps the box of each head of the text as the run goes. A
// glyph only ever widens the bounds, so a head is whole when the next character is looked up (the font renderer looks
// up every character once, also one without a glyph), and once a head is wider than the limit so is every longer
// one: the run ends there. With a layout, it keeps each glyph handed on.
class LHeadRecorder : public LGlyphProcessor {
public:
    // heads holds room for `room` heads, one for every character, and glyphs (when not null) as many glyphs.
    LHeadRecorder(const RCPtr<LGlyphProcessor>& measurer, const LFont& font, float widthLimit, RectT<float>* heads,
                  std::uint32_t room, LGlyphLayout::Glyph* glyphs)
        : mMeasurer(measurer),
          mFontTop(static_cast<float>(font.GetTop())),
          mFontBottom(static_cast<float>(font.GetBottom())),
          mWidthLimit(widthLimit),
          mHeads(heads),
          mRoom(room),
          mGlyphs(glyphs)
    {
    }

    void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) override
    {
        mBegun = true;
        mMeasurer->BeginFont(font, flags);
    }
    void EndFont() override
    {
        KeepHead();
        mMeasurer->EndFont();
    }
    std::uint32_t LookupGlyph(GlyphRecord& record) override
    {
        KeepHead();
        if (mPastLimit) {
            return kEndOfRun;
        }
        ++mLookedUp;
        return mMeasurer->LookupGlyph(record);
    }
    void ProcessGlyph(GlyphRecord& record) override
    {
        mMeasurer->ProcessGlyph(record);
        // A character has one glyph at the most, so the glyphs fit in the room of the heads.
        if (mGlyphs != nullptr) {
            mGlyphs[mGlyphCount++] = {mLookedUp - 1, record.character, record.glyphIndex, record.penX, record.penY};
        }
    }
    RectT<float> GetTextBounds() override { return mMeasurer->GetTextBounds(); }

    bool HasBegun() const { return mBegun; }
    std::uint32_t GetKeptCount() const { return mKept; }
    std::uint32_t GetGlyphCount() const { return mGlyphCount; }

private:
    // The head that ends with the character looked up last.
    void KeepHead()
    {
        if (mPastLimit || mLookedUp == mKept || mKept == mRoom) {
            return;
        }
        const RectT<float>& box = mHeads[mKept++] = BoxOfBounds(mMeasurer->GetTextBounds(), mFontTop, mFontBottom);
        mPastLimit = mWidthLimit > 0 && DrawnWidth(box) > mWidthLimit;
    }

    RCPtr<LGlyphProcessor> mMeasurer;
    float mFontTop;
    float mFontBottom;
    float mWidthLimit;
    RectT<float>* mHeads;
    std::uint32_t mRoom;
    LGlyphLayout::Glyph* mGlyphs;
    std::uint32_t mGlyphCount = 0;
    bool mBegun = false;
    bool mPastLimit = false;
    std::uint32_t mLookedUp = 0;
    std::uint32_t mKept = 0;
};

}  // namespace

LFontRenderer::LFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor,
                             const RCPtr<LGlyphProcessor>& secondProcessor)
    : mSerialNumber(++gLastSerialNumber), mFirstProcessor(firstProcessor), mSecondProcessor(secondProcessor)
{
}

RectT<float> LFontRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    RenderText(text, font, mSecondProcessor, 0, 0.0f, kMeasureFlags);
    return BoxOfBounds(GetTextBounds(), static_cast<float>(font->GetTop()), static_cast<float>(font->GetBottom()));
}

bool LFontRenderer::MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                 Array<RectT<float>>& heads)
{
    return MeasureHeadsInto(text, font, widthLimit, heads, nullptr);
}

bool LFontRenderer::MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                          Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout)
{
    layout = nullptr;
    if (font.IsNull()) {
        return MeasureHeadsInto(text, font, widthLimit, heads, nullptr);
    }
    const RCPtr<LGlyphLayout> glyphs(new LGlyphLayout(mSerialNumber, font->GetUniqueID()), kNewObject);
    if (!MeasureHeadsInto(text, font, widthLimit, heads, glyphs.Get())) {
        return false;
    }
    glyphs->SetCharacterCount(heads.GetCount());
    layout = glyphs;
    return true;
}

bool LFontRenderer::RenderLayout(const LLaidOutText&, std::uint32_t, const ConstRCPtr<LFont>&,
                                 const RCPtr<LGlyphProcessor>&, std::uint32_t)
{
    return false;
}

const LGlyphLayout* LFontRenderer::FindOwnLayout(const LLaidOutText& layout, const ConstRCPtr<LFont>& font,
                                                 std::uint32_t characters) const
{
    const auto* glyphs = dynamic_cast<const LGlyphLayout*>(&layout);
    if (glyphs == nullptr || font.IsNull() || !glyphs->IsFrom(mSerialNumber, font->GetUniqueID()) ||
        glyphs->GetCharacterCount() < characters) {
        return nullptr;
    }
    return glyphs;
}

bool LFontRenderer::MeasureHeadsInto(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                     Array<RectT<float>>& heads, LGlyphLayout* layout)
{
    (void)heads.Clear();
    if (mSecondProcessor.IsNull() || font.IsNull()) {
        return false;
    }
    const auto room = static_cast<ZVRESULT>(text.GetLength());
    if (heads.SetCount(text.GetLength()) != room ||
        (layout != nullptr && layout->GetGlyphs().SetCount(text.GetLength()) != room)) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    const RCPtr<LHeadRecorder> recorder(
        new LHeadRecorder(mSecondProcessor, *font, widthLimit, heads.GetData(), text.GetLength(),
                          layout != nullptr ? layout->GetGlyphs().GetData() : nullptr),
        kNewObject);
    RenderText(text, font, recorder, 0, 0.0f, kMeasureFlags);
    (void)heads.SetCount(recorder->HasBegun() ? recorder->GetKeptCount() : 0);
    if (layout != nullptr) {
        (void)layout->GetGlyphs().SetCount(recorder->GetGlyphCount());
    }
    return recorder->HasBegun();
}

RectT<float> LFontRenderer::GetTextBounds()
{
    return mSecondProcessor.IsNull() ? RectT<float>() : mSecondProcessor->GetTextBounds();
}

}  // namespace ZV
