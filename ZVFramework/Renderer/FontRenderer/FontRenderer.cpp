#include "Renderer/FontRenderer/FontRenderer.h"

#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/GlyphLayout.h"
#include "Renderer/FontRenderer/HeadRecording.h"
#include "Renderer/MeasurementRenderer.h"

#include <algorithm>

namespace ZV {

namespace {

// Numbers the font renderers as they are made. User-interface thread only.
std::uint64_t gLastSerialNumber = 0;

}  // namespace

LFontRenderer::LFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor,
                             const RCPtr<LGlyphProcessor>& secondProcessor)
    : mSerialNumber(++gLastSerialNumber), mFirstProcessor(firstProcessor), mSecondProcessor(secondProcessor)
{
}

RectT<float> LFontRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    RenderText(text, font, mSecondProcessor, 0, 0.0f, kMeasureFlags);
    return LHeadRecording::BoxOfBounds(GetTextBounds(), static_cast<float>(font->GetTop()),
                                       static_cast<float>(font->GetBottom()));
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
    const RCPtr<LGlyphLayout> glyphs(new LGlyphLayout(mSerialNumber, font->GetUniqueID(), GetFaceGeneration()),
                                     kNewObject);
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
    if (glyphs == nullptr || font.IsNull() ||
        !glyphs->IsFrom(mSerialNumber, font->GetUniqueID(), GetFaceGeneration()) ||
        glyphs->GetCharacterCount() < characters) {
        return nullptr;
    }
    return glyphs;
}

bool LFontRenderer::MeasureHeadsInto(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                     Array<RectT<float>>& heads, LGlyphLayout* layout)
{
    if (mSecondProcessor.IsNull() || font.IsNull()) {
        (void)heads.Clear();
        return false;
    }
    const std::uint32_t length = text.GetLength();
    const auto room = static_cast<ZVRESULT>(length);
    // The glyphs' room only grows, so that it is not cleared for every text.
    if (heads.SetCount(length) != room ||
        (layout != nullptr && mGlyphRoom.GetCount() < length && mGlyphRoom.SetCount(length) != room)) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    LHeadRecording recording(static_cast<float>(font->GetTop()), static_cast<float>(font->GetBottom()), widthLimit,
                             heads.GetData(), length, layout != nullptr ? mGlyphRoom.GetData() : nullptr);
    RecordHeads(text, font, recording);
    (void)heads.SetCount(recording.HasBegun() ? recording.GetKeptCount() : 0);
    if (layout != nullptr) {
        const std::uint32_t count = recording.GetGlyphCount();
        if (layout->GetGlyphs().SetCount(count) != static_cast<ZVRESULT>(count)) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        std::copy_n(mGlyphRoom.GetData(), count, layout->GetGlyphs().GetData());
    }
    return recording.HasBegun();
}

void LFontRenderer::RecordHeads(const WideString&, const ConstRCPtr<LFont>&, LHeadRecording&)
{
}

RectT<float> LFontRenderer::GetTextBounds()
{
    return mSecondProcessor.IsNull() ? RectT<float>() : mSecondProcessor->GetTextBounds();
}

}  // namespace ZV
