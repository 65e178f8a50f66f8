#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/FontRenderer/GlyphRecord.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

class LFont;

// Where a font renderer sends the glyphs of a text run: a sink that caches, measures or draws them.
class LGlyphProcessor : public virtual LRefCountedObject {
public:
    // Flags: 2 accumulate the text's bounds, 4 upload new glyphs, 8 draw them; a measuring run passes 3.
    virtual void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) = 0;
    virtual void EndFont() = 0;
    // 0 when the processor knows the glyph and has filled in its box, advances and index; kEndOfRun when it takes no
    // more glyphs of the run; otherwise the mask of what the font renderer must supply (7: load, measure and
    // rasterise it).
    static constexpr std::uint32_t kEndOfRun = 0x80000000u;
    virtual std::uint32_t LookupGlyph(GlyphRecord& record) = 0;
    virtual void ProcessGlyph(GlyphRecord& record) = 0;
    // The bounds of the glyphs processed since BeginFont, as left, top, right, bottom.
    virtual RectT<float> GetTextBounds() = 0;
    // Where the processor keeps what GetTextBounds answers, current after every glyph until the run ends, so that a
    // measuring that needs the bounds after each glyph reads them without a call; null when the processor works them
    // out only when asked. Asked after BeginFont.
    virtual const RectT<float>* GetLiveTextBounds() { return nullptr; }
};

}  // namespace ZV
