#include "Renderer/FontRenderer/FontRenderer.h"

#include "Renderer/Font.h"

#include <algorithm>

namespace ZV {

namespace {

// Asks the processor to measure only.
constexpr std::uint32_t kMeasureFlags = 3;

}  // namespace

LFontRenderer::LFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor,
                             const RCPtr<LGlyphProcessor>& secondProcessor)
    : mFirstProcessor(firstProcessor), mSecondProcessor(secondProcessor)
{
}

RectT<float> LFontRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    RenderText(text, font, mSecondProcessor, 0, 0.0f, kMeasureFlags);
    const RectT<float> bounds = GetTextBounds();
    const float left = bounds.x;
    const float right = bounds.width;
    const float top = std::min(bounds.y, static_cast<float>(font->GetTop()));
    const float bottom = std::max(static_cast<float>(font->GetBottom()), bounds.height);
    return {left, top, (right + 1.0f) - left, bottom - top};
}

RectT<float> LFontRenderer::GetTextBounds()
{
    return mSecondProcessor.IsNull() ? RectT<float>() : mSecondProcessor->GetTextBounds();
}

}  // namespace ZV
