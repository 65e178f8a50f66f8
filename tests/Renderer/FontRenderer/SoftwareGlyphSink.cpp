#include "Renderer/FontRenderer/SoftwareGlyphSink.h"

#include "Renderer/Font.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace ZV::Testing {

namespace {

// A glyph keeps one empty pixel on each side in the atlas.
constexpr zlong kBorder = 1;
constexpr std::uint32_t kLoadMeasureAndRasterise = 7;

}  // namespace

void LSoftwareGlyphSink::BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t)
{
    FontSlot none;
    const std::int32_t fontID = font->GetUniqueID();
    FontSlot& slot = mFonts.GetEntry(fontID, none);
    if (&slot != &none) {
        mFont = slot.font.Get();
    } else {
        const RCPtr<LKeptFont> kept(new LKeptFont(), kNewObject);
        (void)mFonts.Add({fontID, kept});
        mFont = kept.Get();
    }
    mRun.clear();
    mLoadCount = 0;
    ++mBeginCount;
}

void LSoftwareGlyphSink::EndFont()
{
    ++mEndCount;
}

std::uint32_t LSoftwareGlyphSink::LookupGlyph(GlyphRecord& record)
{
    const KeptGlyph& kept = mFont->glyphs.GetEntry(record.character, mNotKept);
    mLookupMissed = &kept == &mNotKept;
    if (mLookupMissed) {
        return kLoadMeasureAndRasterise;
    }
    const GlyphRecord& metrics = kept.metrics;
    record.left = metrics.left;
    record.top = metrics.top;
    record.right = metrics.right;
    record.bottom = metrics.bottom;
    record.advanceX = metrics.advanceX;
    record.advanceY = metrics.advanceY;
    record.glyphIndex = metrics.glyphIndex;
    return 0;
}

void LSoftwareGlyphSink::ProcessGlyph(GlyphRecord& record)
{
    if (mLookupMissed) {
        ++mLoadCount;
        if (record.bitmap.IsNull()) {
            throw std::logic_error("a glyph to keep came without its coverage");
        }
        KeptGlyph kept;
        kept.metrics = record;
        kept.metrics.bitmap = nullptr;
        AddToAtlas(*record.bitmap, kept);
        (void)mFont->glyphs.Add(kept);
        mLookupMissed = false;
    }
    mRun.push_back(record);
}

void LSoftwareGlyphSink::AddToAtlas(const LPixelBuffer<unsigned char>& coverage, KeptGlyph& kept)
{
    const zlong width = std::min(coverage.GetWidth(), kAtlasWidth - 2 * kBorder);
    const zlong height = coverage.GetHeight();
    if (mRowX + width + 2 * kBorder > kAtlasWidth) {
        mRowX = 0;
        mRowTop += mRowHeight;
        mRowHeight = 0;
    }
    mRowHeight = std::max(mRowHeight, height + 2 * kBorder);
    if (mAtlas->GetHeight() < mRowTop + mRowHeight && Failed(mAtlas->Resize(mRowTop + mRowHeight))) {
        throw std::bad_alloc();
    }
    kept.atlasX = mRowX + kBorder;
    kept.atlasY = mRowTop + kBorder;
    for (zlong y = 0; y < height; ++y) {
        std::memcpy(mAtlas->GetPixelPointer(kept.atlasX, kept.atlasY + y), coverage.GetRow(y),
                    static_cast<std::size_t>(width));
    }
    mRowX += width + 2 * kBorder;
}

unsigned char LSoftwareGlyphSink::AtlasPixel(std::int32_t fontID, std::int32_t character, zlong x, zlong y) const
{
    const KeptGlyph* kept = FindGlyph(fontID, character);
    if (kept == nullptr) {
        throw std::out_of_range("no glyph kept for the character in the font");
    }
    return *mAtlas->GetPixelPointer(kept->atlasX + x, kept->atlasY + y);
}

const LSoftwareGlyphSink::KeptGlyph* LSoftwareGlyphSink::FindGlyph(std::int32_t fontID, std::int32_t character) const
{
    FontSlot noFont;
    const FontSlot& slot = mFonts.GetEntry(fontID, noFont);
    if (&slot == &noFont) {
        return nullptr;
    }
    const KeptGlyph& kept = slot.font->glyphs.GetEntry(character, mNotKept);
    return &kept == &mNotKept ? nullptr : &kept;
}

}  // namespace ZV::Testing
