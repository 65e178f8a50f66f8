#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/Font.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"
#include "Utilities/Storage/StringT.h"

#include <cairo.h>

#include <cstdint>

namespace ZV {

// A font's face as fontconfig matches it (an absent family falls to a face that is there), at the font's size in
// pixels at 96 dpi, with fixed rendering options so that text looks and measures the same on every desktop.
class LGDIFont : public virtual LRefCountedObject {
public:
    // Null when fontconfig has no face at all, or for a size beyond 16384 pixels or not a number.
    static RCPtr<LGDIFont> Create(const LFont& font);
    ~LGDIFont() override;

    cairo_scaled_font_t* GetScaledFont() const { return mScaledFont; }
    // The cell's top (negative) and bottom around the baseline and the line height, in whole pixels, from the
    // font's tables: the cell's ascent and descent, and the line spacing, never less than the cell.
    zlong GetLineHeight() const { return mLineHeight; }
    zlong GetTop() const { return mTop; }
    zlong GetBottom() const { return mBottom; }
    // Text starts this far right of its position, leaving room for glyphs that reach left of their origin.
    zlong GetPadding() const { return mPadding; }

private:
    explicit LGDIFont(cairo_scaled_font_t* scaledFont) : mScaledFont(scaledFont) {}
    void ReadMetrics(double pixelSize);

    cairo_scaled_font_t* mScaledFont;
    zlong mLineHeight = 0;
    zlong mTop = 0;
    zlong mBottom = 0;
    zlong mPadding = 0;
};

// The glyphs of one text in one font, laid out from the origin along the baseline.
class LTextRun : public virtual LRefCountedObject {
public:
    // Null when the font cannot lay the text out.
    static RCPtr<LTextRun> Create(const LGDIFont& font, const WideString& text);
    ~LTextRun() override;

    const cairo_glyph_t* GetGlyphs() const { return mGlyphs; }
    int GetGlyphCount() const { return mGlyphCount; }
    // Where the pen stands after the last glyph, trailing blanks included.
    double GetAdvance() const { return mAdvance; }

private:
    LTextRun() = default;

    cairo_glyph_t* mGlyphs = nullptr;
    int mGlyphCount = 0;
    double mAdvance = 0;
};

// The faces of fonts and the glyphs of texts drawn lately, so that a label drawn every frame is laid out once.
class GDIFontCache {
public:
    static constexpr int kFontCount = 32;
    static constexpr int kTextRunCount = 256;

    // The face of the font, or null when there is none.
    const LGDIFont* GetFont(const ConstRCPtr<LFont>& font);
    // The glyphs of the text in the font (which GetFont gave), or null when it has none; empty text has none.
    const LTextRun* GetTextRun(const ConstRCPtr<LFont>& font, const LGDIFont& face, const WideString& text);

private:
    struct TextRunKey {
        std::int32_t fontId = 0;
        WideString text;

        bool operator==(const TextRunKey& other) const { return fontId == other.fontId && text == other.text; }
        static TextRunKey GetSelf(const TextRunKey& key) { return key; }
        static unsigned GetHashBits(const TextRunKey& key);
    };
    static std::intptr_t GetFontId(const ConstRCPtr<LFont>& font);

    PurgableObjectCache<LGDIFont, ConstRCPtr<LFont>, std::intptr_t, &GDIFontCache::GetFontId, 8,
                        &GetBits<8, 0, std::intptr_t>>
        mFonts{kFontCount};
    PurgableObjectCache<LTextRun, TextRunKey, TextRunKey, &TextRunKey::GetSelf, 8, &TextRunKey::GetHashBits> mRuns{
        kTextRunCount};
};

}  // namespace ZV
