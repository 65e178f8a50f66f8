#pragma once

#include "Renderer/Font.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/OpenGL/GLCachedFont.h"
#include "Renderer/OpenGL/GLObjectBin.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// The glyph processor of the OpenGL renderer: each font's glyphs are kept in an atlas of its own, an 8-bit alpha
// texture 512 pixels wide into which a glyph is copied the first time it is drawn, and every glyph is drawn as one
// textured quad in the current colour. Atlases of the 16 fonts used last are kept; one filled before a rescan of the
// font files is dropped when its font is next used, for the font may have another face now. Glyphs are taken into
// the atlas while text is measured as well; they reach the texture at the next draw, with the glyphs drawn first.
// Text is drawn from its baseline at the origin it is given. User-interface thread only; drawing needs the
// renderer's context current.
class LGLGlyphRenderer : public LGlyphProcessor {
public:
    static constexpr int kFontCacheSize = 16;
    // BeginFont's flags.
    static constexpr std::uint32_t kAccumulateBounds = 2;
    static constexpr std::uint32_t kUpload = 4;
    static constexpr std::uint32_t kDraw = 8;


    LGLGlyphRenderer();
    ~LGLGlyphRenderer() override;

    // Where the names of dropped atlases go; the renderer that draws with this processor gives it its own.
    void SetObjectBin(const RCPtr<LGLObjectBin>& bin) { mBin = bin; }
    // Where the next texts' origin (their baseline's start) lies in the current coordinates; (0, 0) at first.
    void SetOrigin(const PointT<double>& origin) { mOrigin = origin; }

    void BeginFont(const ConstRCPtr<LFont>& font, std::uint32_t flags) override;
    void EndFont() override;
    // 0 with the glyph's box, advances and index filled in when the current font's atlas has it, else 7; 0 without
    // a current font.
    std::uint32_t LookupGlyph(GlyphRecord& record) override;
    void ProcessGlyph(GlyphRecord& record) override;
    // Left, top, right, bottom of the glyph cells processed since BeginFont, with the origin.
    RectT<float> GetTextBounds() override { return mEdges; }
    const RectT<float>* GetLiveTextBounds() override { return &mEdges; }

    // Glyphs copied into atlases, and uploads of atlas pixels to textures, since the processor was made.
    std::uint32_t GetAddedGlyphCount() const { return mAddedGlyphCount; }
    std::uint32_t GetUploadCount() const { return mUploadCount; }

private:
    static std::int32_t GetFontKey(const LFont& font);

    void UploadAtlas();

    RCPtr<LGLObjectBin> mBin;
    PurgableObjectCache<LGLCachedFont, LFont, std::int32_t, &LGLGlyphRenderer::GetFontKey, 4,
                        &GetBits<4, 0, std::int32_t>>
        mFonts{kFontCacheSize};
    RCPtr<LGLCachedFont> mCurrentFont;
    // The glyph that the last lookup found, or none.
    LGLCachedFont::SCachedGlyph mCurrentGlyph;
    std::uint32_t mFlags = 0;
    PointT<double> mOrigin;
    // Whether texturing is on with the current font's atlas.
    bool mAtlasBound = false;
    // x, y, width, height.
    RectT<float> mBounds;
    // The same as left, top, right, bottom.
    RectT<float> mEdges;
    std::uint32_t mAddedGlyphCount = 0;
    std::uint32_t mUploadCount = 0;
};

}  // namespace ZV
