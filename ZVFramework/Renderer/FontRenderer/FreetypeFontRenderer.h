#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/FontRenderer/FontRenderer.h"

#include <cstdint>

namespace ZV {

class LFreetypeState;

// The font renderer of the OpenGL path: finds each font's file through the font catalogue, lays text out with
// FreeType's glyph indices, advances and kerning at 96 dots per inch, and rasterises a glyph when the glyph
// processor asks for it (in two levels below 8 points, in grey from 8 points on). User-interface thread only.
class LFreetypeFontRenderer : public LFontRenderer {
public:
    // Rescans the font directories; the FreeType state is shared with the other FreeType font renderers alive.
    LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor, const RCPtr<LGlyphProcessor>& secondProcessor);
    ~LFreetypeFontRenderer() override;

    // The line height is FreeType's, but never less than the font's size in pixels nor than bottom - top. Throws
    // the catalogue's runtime error for a font that no file serves.
    [[nodiscard]] ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                          zlong& bottom) override;
    // Characters without a glyph, or whose glyph cannot be loaded or rasterised, are left out without moving the
    // pen. With a width limit, the run ends before the first glyph whose right edge passes it. Throws the
    // catalogue's runtime error, before the processor is called, for a font that no file serves.
    void RenderText(const WideString& text, const ConstRCPtr<LFont>& font, const RCPtr<LGlyphProcessor>& processor,
                    std::int32_t callerValue, float widthLimit, std::uint32_t flags) override;
    // Glyphs that the processor no longer holds are loaded by the index kept in the layout.
    bool RenderLayout(const LLaidOutText& layout, std::uint32_t characters, const ConstRCPtr<LFont>& font,
                      const RCPtr<LGlyphProcessor>& processor, std::uint32_t flags) override;

protected:
    // Records in the loop that RenderText runs.
    void RecordHeads(const WideString& text, const ConstRCPtr<LFont>& font, LHeadRecording& recording) override;
    // The font catalogue's: every rescan may file other faces under the file ids.
    std::uint64_t GetFaceGeneration() const override;

private:
    RCPtr<LFreetypeState> mState;
};

}  // namespace ZV
