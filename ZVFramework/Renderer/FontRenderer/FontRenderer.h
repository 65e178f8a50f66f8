#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/FontRenderer/GlyphLayout.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LFont;
class LHeadRecording;
class LLaidOutText;

// Lays text out glyph by glyph for a renderer that draws text itself; it owns no pixels and hands each glyph to a
// glyph processor. Measuring runs through the second processor.
class LFontRenderer : public virtual LRefCountedObject {
public:
    LFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor, const RCPtr<LGlyphProcessor>& secondProcessor);

    // The box of the text in the font: x, y, width, height. The height is never less than the font's, and the width
    // counts the last pixel column, so an empty text measures 1 pixel wide and a full line high.
    virtual RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font);
    // As LMeasurementRenderer::MeasureHeads, the text laid out once; false without a second processor or when the
    // font cannot be laid out.
    bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                      Array<RectT<float>>& heads);
    // MeasureHeads, and in layout the glyphs as they were laid out, for RenderLayout; layout is null when MeasureHeads
    // answers false.
    bool MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                               Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout);
    // As LMeasurementRenderer::GetFontMetrics.
    [[nodiscard]] virtual ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                                  zlong& bottom) = 0;
    // Walks the text, handing every glyph to the processor. callerValue is the position of the first glyph; flags
    // go to the processor's BeginFont; a width limit of 0 sets none.
    virtual void RenderText(const WideString& text, const ConstRCPtr<LFont>& font,
                            const RCPtr<LGlyphProcessor>& processor, std::int32_t callerValue, float widthLimit,
                            std::uint32_t flags) = 0;
    // RenderText of the text's first `characters` characters from a layout of the text that MeasureHeadsAndLayOut
    // made, with no width limit and a caller's value of 0. false, with nothing handed to the processor, for a layout
    // of another renderer or font, or one that holds fewer characters; then the text is to be laid out anew.
    virtual bool RenderLayout(const LLaidOutText& layout, std::uint32_t characters, const ConstRCPtr<LFont>& font,
                              const RCPtr<LGlyphProcessor>& processor, std::uint32_t flags);
    // The second processor's bounds (left, top, right, bottom); all 0 without a second processor.
    virtual RectT<float> GetTextBounds();

    // The processor that measuring and drawing run through.
    const RCPtr<LGlyphProcessor>& GetSecondProcessor() const { return mSecondProcessor; }

protected:
    // Asks the processor to measure only.
    static constexpr std::uint32_t kMeasureFlags = 3;

    // Lays the text out through the second processor as MeasureText does, with the recording told of the run, of
    // each character before it is looked up (the run ends when it answers false) and of each glyph processed. A
    // renderer that records no heads leaves the recording untold, and its heads are measured one text at a time.
    virtual void RecordHeads(const WideString& text, const ConstRCPtr<LFont>& font, LHeadRecording& recording);

    // Changes when the faces that fonts are laid out in may have changed: a layout made before is not drawn from.
    virtual std::uint64_t GetFaceGeneration() const { return 0; }

    // The glyphs of a layout that this renderer made in the font, from its faces of now, and that holds that many
    // characters; else null.
    const LGlyphLayout* FindOwnLayout(const LLaidOutText& layout, const ConstRCPtr<LFont>& font,
                                      std::uint32_t characters) const;

private:
    bool MeasureHeadsInto(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                          Array<RectT<float>>& heads, LGlyphLayout* layout);

    // Tells this renderer's layouts from those of renderers before it, which may have found other font files.
    std::uint64_t mSerialNumber;
    // Held for the renderer's lifetime; no operation uses it.
    RCPtr<LGlyphProcessor> mFirstProcessor;
    RCPtr<LGlyphProcessor> mSecondProcessor;
    // Where a measuring keeps the glyphs it lays out, before its layout takes as many as there are. It grows to the
    // longest text measured with a layout, which wrapping keeps near a line's length.
    Array<LGlyphLayout::Glyph> mGlyphRoom;
};

}  // namespace ZV
