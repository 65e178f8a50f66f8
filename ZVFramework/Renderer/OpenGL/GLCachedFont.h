#pragma once

#include "Renderer/FontRenderer/GlyphRecord.h"
#include "Renderer/FontRenderer/PixelBuffer.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Utilities/Storage/HashedList.h"

#include <cstdint>

namespace ZV {

class LFont;

// One font's glyph atlas and the texture it is drawn from. Glyphs are packed in rows from the left, each with one
// empty pixel around it; a glyph that does not fit the row's rest starts a row below. The atlas is 512 pixels wide
// and grows downwards to power-of-two heights, up to 4096; a glyph that would pass that starts the atlas again
// empty. A glyph wider or taller than the atlas can hold is kept cut to it. Rows taken since the last upload are
// uploaded alone.
class LGLCachedFont : public LGLTexture {
public:
    static constexpr zlong kAtlasWidth = 512;
    static constexpr zlong kMaxAtlasHeight = 4096;

    // A glyph as the atlas keeps it.
    struct SCachedGlyph {
        // The UTF-16 unit; 0 for none.
        std::int32_t character = 0;
        std::uint32_t glyphIndex = 0;
        // Pixels from the pen, y downwards.
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
        // In 1/64 pixel.
        std::int32_t advanceX = 0;
        std::int32_t advanceY = 0;
        // The coverage in the atlas: its top-left pixel and its size, which is cut to what the atlas can hold.
        std::int32_t atlasX = 0;
        std::int32_t atlasY = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;

        static std::int32_t GetUniqueID(const SCachedGlyph& glyph) { return glyph.character; }
    };

    LGLCachedFont(const ConstRCPtr<LFont>& font, const RCPtr<LGLObjectBin>& bin);
    ~LGLCachedFont() override;

    // The atlas's glyph of the character, or null.
    const SCachedGlyph* Find(std::int32_t character);
    // Keeps the glyph with its coverage copied into the atlas, and answers it with its place there.
    SCachedGlyph Add(const GlyphRecord& record);
    // Hands the atlas rows taken since the last upload to the texture (all of them when the texture has none);
    // false when there were none.
    bool Upload();

    const ConstRCPtr<LFont>& GetFont() const { return mFont; }
    // The generation of the font catalogue whose face the glyphs come from (FontCatalogue.h): the one when it was
    // made.
    std::uint64_t GetFaceGeneration() const { return mFaceGeneration; }
    zlong GetAtlasHeight() const { return mAtlas.IsNull() ? 0 : mAtlas->GetHeight(); }

private:
    // Room of the size (border included) at the row's end or in a new row, the atlas grown for it; false when the
    // atlas cannot hold it.
    bool Reserve(zlong width, zlong height);
    // An empty atlas, every glyph forgotten.
    void StartAgain();
    void MarkDirty(zlong top, zlong bottom);

    ConstRCPtr<LFont> mFont;
    std::uint64_t mFaceGeneration;
    RCPtr<LPixelBuffer<unsigned char>> mAtlas;
    zlong mRowX = 0;
    zlong mRowTop = 0;
    zlong mRowHeight = 0;
    // Rows not yet uploaded, top inclusive, bottom exclusive; the whole atlas after it grew.
    zlong mDirtyTop = 0;
    zlong mDirtyBottom = 0;
    bool mGrown = false;
    HashedList<SCachedGlyph, std::int32_t, &SCachedGlyph::GetUniqueID, 8, &GetBits<8, 0, std::int32_t>> mGlyphs;
    // What a look-up of a glyph not cached yet answers; told apart by its address.
    SCachedGlyph mNotCached;
};

}  // namespace ZV
