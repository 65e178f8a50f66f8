#pragma once

#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/FontRenderer/PixelBuffer.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace ZV::Testing {

// A glyph processor in memory that works as a drawing one does: it keeps each glyph of a font the first time the
// font renderer hands it over, with its coverage copied into a 512-pixel-wide atlas of rows, and serves it from
// there afterwards. It remembers the glyphs of the last run as they were handed over.
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
    };

    // Places the coverage in the current row, or in a new one below, cut to the atlas's width.
    void AddToAtlas(const LPixelBuffer<unsigned char>& coverage, KeptGlyph& kept);

    std::map<std::pair<std::int32_t, std::int32_t>, KeptGlyph> mGlyphs;
    std::int32_t mFontID = 0;
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
