#pragma once

#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/FontRenderer/PixelBuffer.h"
#include "Utilities/Storage/HashedList.h"

#include <cstdint>
#include <vector>

namespace ZV::Testing {

// A glyph processor in memory that works as a drawing one does: it keeps each glyph of a font the first time the
// font renderer hands it over, with its coverage copied into a 512-pixel-wide atlas of rows, and serves it from
// there afterwards, each font's glyphs in a table keyed by character as the OpenGL glyph processor keeps them, so that
// a lookup costs what it costs there. It remembers the glyphs of the last run as they were handed over.
class LSoftwareGlyphSink : public LGlyphProcessor {
public:
    static constexpr zlong kAtlasWidth = 512;

    void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) override;
    void EndFont() override;
    std::uint32_t LookupGlyph(GlyphRecord& record) override;
    void ProcessGlyph(GlyphRecord& record) override;
    RectT<float> GetTextBounds() override { return {}; }

    const std::vector<GlyphRecord>& GetRun() const { return mRun; }
    // How many glyphs the font renderer had to load in the last run.
    int GetLoadCount() const { return mLoadCount; }
    int GetBeginCount() const { return mBeginCount; }
    int GetEndCount() const { return mEndCount; }
    // The atlas pixel at (x, y) of a kept glyph's coverage.
    unsigned char AtlasPixel(std::int32_t fontID, std::int32_t character, zlong x, zlong y) const;

private:
    struct KeptGlyph {
        GlyphRecord metrics;
        zlong atlasX = 0;
        zlong atlasY = 0;

        static std::int32_t GetCharacter(const KeptGlyph& glyph) { return glyph.metrics.character; }
    };
    class LKeptFont : public LRefCountedObject {
    public:
        HashedList<KeptGlyph, std::int32_t, &KeptGlyph::GetCharacter, 8, &GetBits<8, 0, std::int32_t>> glyphs;
    };
    struct FontSlot {
        std::int32_t fontID = 0;
        RCPtr<LKeptFont> font;

        static std::int32_t GetFontID(const FontSlot& slot) { return slot.fontID; }
    };

    // The kept glyph of the character in the font, or null.
    const KeptGlyph* FindGlyph(std::int32_t fontID, std::int32_t character) const;
    // Places the coverage in the current row, or in a new one below, cut to the atlas's width.
    void AddToAtlas(const LPixelBuffer<unsigned char>& coverage, KeptGlyph& kept);

    // Mutable as the table's look-ups are not const.
    mutable HashedList<FontSlot, std::int32_t, &FontSlot::GetFontID, 4, &GetBits<4, 0, std::int32_t>> mFonts;
    // The kept glyphs of the run's font.
    LKeptFont* mFont = nullptr;
    // What a look-up of a glyph not kept answers; told apart by its address.
    mutable KeptGlyph mNotKept;
    bool mLookupMissed = false;
    std::vector<GlyphRecord> mRun;
    int mLoadCount = 0;
    int mBeginCount = 0;
    int mEndCount = 0;
    RCPtr<LPixelBuffer<unsigned char>> mAtlas{new LPixelBuffer<unsigned char>(kAtlasWidth, 0, kAtlasWidth)};
    zlong mRowX = 0;
    zlong mRowTop = 0;
    zlong mRowHeight = 0;
};

}  // namespace ZV::Testing
