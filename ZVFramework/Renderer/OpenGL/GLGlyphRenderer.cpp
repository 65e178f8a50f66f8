#include "Renderer/OpenGL/GLGlyphRenderer.h"

#include "Renderer/FontRenderer/FontCatalogue.h"

#include <cmath>

namespace ZV {

namespace {

// What the font renderer must supply for a glyph the atlas lacks: its box, advances and coverage.
constexpr std::uint32_t kLoadMeasureAndRasterise = 7;

}  // namespace

LGLGlyphRenderer::LGLGlyphRenderer() = default;

LGLGlyphRenderer::~LGLGlyphRenderer() = default;

std::int32_t LGLGlyphRenderer::GetFontKey(const LFont& font)
{
    return font.GetUniqueID();
}

void LGLGlyphRenderer::BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags)
{
    mFlags = flags;
    mAtlasBound = false;
    mBounds = {};
    mEdges = {};
    mCurrentGlyph = {};
    mCurrentFont = nullptr;
    if (font.IsNull()) {
        return;
    }
    RCPtr<LGLCachedFont>& slot = mFonts.Get(*font, false);
    // After a rescan the font may be served by another face: one text never mixes glyphs of two.
    if (slot.IsNull() || slot->GetFaceGeneration() != GetFontCatalogueGeneration()) {
        slot = new LGLCachedFont(font, mBin);
    }
    mCurrentFont = slot;
    UploadAtlas();
}

void LGLGlyphRenderer::EndFont()
{
    mCurrentFont = nullptr;
}

std::uint32_t LGLGlyphRenderer::LookupGlyph(GlyphRecord& record)
{
    if (mCurrentFont.IsNull()) {
        return 0;
    }
    const LGLCachedFont::SCachedGlyph* glyph = mCurrentFont->Find(record.character);
    if (glyph == nullptr) {
        mCurrentGlyph = {};
        return kLoadMeasureAndRasterise;
    }
    mCurrentGlyph = *glyph;
    record.left = glyph->left;
    record.top = glyph->top;
    record.right = glyph->right;
    record.bottom = glyph->bottom;
    record.advanceX = glyph->advanceX;
    record.advanceY = glyph->advanceY;
    record.glyphIndex = glyph->glyphIndex;
    return 0;
}

void LGLGlyphRenderer::ProcessGlyph(GlyphRecord& record)
{
    if (mCurrentFont.IsNull()) {
        return;
    }
    if (mCurrentGlyph.character == 0) {
        mCurrentGlyph = mCurrentFont->Add(record);
        ++mAddedGlyphCount;
        UploadAtlas();
    }
    const LGLCachedFont::SCachedGlyph& glyph = mCurrentGlyph;
    if ((mFlags & kDraw) != 0 && glyph.width > 0 && glyph.height > 0) {
        // On whole pixels, where the glyph was rasterised.
        const double x = mOrigin.x + std::floor(record.penX + 0.5) + glyph.left;
        const double y = mOrigin.y + glyph.top - std::floor(record.penY + 0.5);
        // The run's glyphs follow one another with no change of state between them.
        if (!mAtlasBound) {
            mCurrentFont->Bind();
            mAtlasBound = true;
        }
        mCurrentFont->AddQuad({static_cast<double>(glyph.atlasX), static_cast<double>(glyph.atlasY),
                                static_cast<double>(glyph.atlasX + glyph.width),
                                static_cast<double>(glyph.atlasY + glyph.height)},
                               {x, y, x + glyph.width, y + glyph.height});
    }
    if ((mFlags & kAccumulateBounds) != 0) {
        const RectT<float> cell(record.penX, static_cast<float>(glyph.top) + record.penY,
                                static_cast<float>(glyph.advanceX / 64), static_cast<float>(glyph.bottom - glyph.top));
        UnionRects(mBounds, mBounds, cell);
        mEdges = {mBounds.x, mBounds.y, mBounds.x + mBounds.width, mBounds.y + mBounds.height};
    }
    mCurrentGlyph = {};
}

void LGLGlyphRenderer::UploadAtlas()
{
    if ((mFlags & kUpload) != 0 && mCurrentFont->Upload()) {
        ++mUploadCount;
    }
}

}  // namespace ZV
