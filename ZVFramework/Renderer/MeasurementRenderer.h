#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LFont;

// How wide a measured text is drawn: the measured width, plus the measured x where the text does not start at 0.
inline float DrawnWidth(const RectT<float>& measured)
{
    return measured.x != 0 ? measured.width + measured.x : measured.width;
}

// A text as the renderer that measured it laid it out, from which that renderer draws a head of the text again
// without laying it out anew.
class LLaidOutText : public virtual LRefCountedObject {
public:
    // How many of the text's first characters it holds.
    virtual std::uint32_t GetCharacterCount() const = 0;
};

// What measures text: every renderer, and the one the application lends to fonts that need their metrics before
// any window draws.
class LMeasurementRenderer : public virtual LRefCountedObject {
public:
    // The font's line height and the top and bottom of its box relative to the baseline (y downwards), in pixels.
    // 0, or a failure code with the three outputs left as they were.
    [[nodiscard]] virtual ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                                  zlong& bottom) = 0;
    // The box of the text drawn at (0, 0) in the font: x, y, width, height.
    virtual RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) = 0;
    // MeasureText of the text's first 1, 2, 3... characters, heads[k - 1] for the first k, in one pass. heads ends
    // with the first head whose DrawnWidth is over widthLimit (0: no limit), or holds them all. false, with heads
    // empty, from a renderer that measures only whole texts.
    virtual bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                              Array<RectT<float>>& heads)
    {
        (void)text;
        (void)font;
        (void)widthLimit;
        (void)heads.Clear();
        return false;
    }
    // MeasureHeads, and in layout the text laid out as it was measured, for the renderer's DrawLaidOutText; null
    // from a renderer that does not keep layouts.
    virtual bool MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                       Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout)
    {
        layout = nullptr;
        return MeasureHeads(text, font, widthLimit, heads);
    }
};

}  // namespace ZV
