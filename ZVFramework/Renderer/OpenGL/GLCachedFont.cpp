#include "Renderer/OpenGL/GLCachedFont.h"

#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"

#include <algorithm>
#include <cstring>

namespace ZV {

namespace {

// Empty pixels around each glyph, so that filtering never takes in a neighbour.
constexpr zlong kBorder = 1;

}  // namespace

LGLCachedFont::LGLCachedFont(const ConstRCPtr<LFont>& font, const RCPtr<LGLObjectBin>& bin)
    : LGLTexture(bin), mFont(font), mFaceGeneration(GetFontCatalogueGeneration())
{
}

LGLCachedFont::~LGLCachedFont() = default;

const LGLCachedFont::SCachedGlyph* LGLCachedFont::Find(std::int32_t character)
{
    const SCachedGlyph& glyph = mGlyphs.GetEntry(character, mNotCached);
    return &glyph == &mNotCached ? nullptr : &glyph;
}

LGLCachedFont::SCachedGlyph LGLCachedFont::Add(const GlyphRecord& record)
{
    SCachedGlyph glyph;
    glyph.character = record.character;
    glyph.glyphIndex = record.glyphIndex;
    glyph.left = record.left;
    glyph.top = record.top;
    glyph.right = record.right;
    glyph.bottom = record.bottom;
    glyph.advanceX = record.advanceX;
    glyph.advanceY = record.advanceY;
    const LPixelBuffer<unsigned char>* coverage = record.bitmap.Get();
    if (coverage != nullptr) {
        glyph.width = static_cast<std::int32_t>(std::min(coverage->GetWidth(), kAtlasWidth - 2 * kBorder));
        glyph.height = static_cast<std::int32_t>(std::min(coverage->GetHeight(), kMaxAtlasHeight - 2 * kBorder));
    }
    if (glyph.width > 0 && glyph.height > 0) {
        const zlong width = glyph.width + 2 * kBorder;
        const zlong height = glyph.height + 2 * kBorder;
        if (!Reserve(width, height)) {
            StartAgain();
            if (!Reserve(width, height)) {
                glyph.width = glyph.height = 0;
            }
        }
    }
    if (glyph.width > 0 && glyph.height > 0) {
        glyph.atlasX = static_cast<std::int32_t>(mRowX + kBorder);
        glyph.atlasY = static_cast<std::int32_t>(mRowTop + kBorder);
        for (std::int32_t y = 0; y < glyph.height; ++y) {
            std::memcpy(mAtlas->GetPixelPointer(glyph.atlasX, glyph.atlasY + y), coverage->GetRow(y),
                        static_cast<std::size_t>(glyph.width));
        }
        MarkDirty(mRowTop, glyph.atlasY + glyph.height + kBorder);
        mRowX += glyph.width + 2 * kBorder;
    }
    (void)mGlyphs.Add(glyph);
    return glyph;
}

bool LGLCachedFont::Reserve(zlong width, zlong height)
{
    if (mRowX + width > kAtlasWidth) {
        mRowX = 0;
        mRowTop += mRowHeight;
        mRowHeight = 0;
    }
    const zlong needed = mRowTop + height;
    if (needed > kMaxAtlasHeight) {
        return false;
    }
    if (mAtlas.IsNull() || mAtlas->GetHeight() < needed) {
        const zlong grown = NearestPowerOfTwo(needed);
        if (mAtlas.IsNull()) {
            mAtlas = new LPixelBuffer<unsigned char>(kAtlasWidth, grown, kAtlasWidth);
            if (mAtlas->GetHeight() != grown) {
                mAtlas = nullptr;
                return false;
            }
        } else if (Failed(mAtlas->Resize(grown))) {
            return false;
        }
        mGrown = true;
    }
    mRowHeight = std::max(mRowHeight, height);
    return true;
}

void LGLCachedFont::StartAgain()
{
    mGlyphs.RemoveAll();
    mRowX = mRowTop = mRowHeight = 0;
    if (!mAtlas.IsNull()) {
        std::memset(mAtlas->GetRow(0), 0, static_cast<std::size_t>(mAtlas->GetStride() * mAtlas->GetHeight()));
        mGrown = true;
    }
}

void LGLCachedFont::MarkDirty(zlong top, zlong bottom)
{
    if (mDirtyBottom <= mDirtyTop) {
        mDirtyTop = top;
        mDirtyBottom = bottom;
        return;
    }
    mDirtyTop = std::min(mDirtyTop, top);
    mDirtyBottom = std::max(mDirtyBottom, bottom);
}

bool LGLCachedFont::Upload()
{
    if (mAtlas.IsNull()) {
        return false;
    }
    const GLPixelImage rows(GL_ALPHA, GL_UNSIGNED_BYTE, 1, mAtlas->GetRow(0), static_cast<int>(kAtlasWidth),
                            static_cast<int>(mAtlas->GetHeight()), static_cast<int>(mAtlas->GetStride()));
    const bool whole = mGrown || !IsValid();
    const bool some = mDirtyBottom > mDirtyTop;
    if (whole) {
        LGLTexture::Upload(rows, GL_ALPHA, kNearest);
    } else if (some) {
        UploadRows(rows, static_cast<int>(mDirtyTop), static_cast<int>(mDirtyBottom - mDirtyTop));
    }
    mGrown = false;
    mDirtyTop = mDirtyBottom = 0;
    return whole || some;
}

}  // namespace ZV
