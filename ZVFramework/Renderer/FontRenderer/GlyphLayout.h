#pragma once

#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>

namespace ZV {

// The glyphs of a text as a font renderer handed them to the glyph processor while measuring it, with their pen
// positions, so that the renderer that made it draws them again without looking characters up or kerning pairs.
class LGlyphLayout : public LLaidOutText {
public:
    // Trivial, so that room for a text's glyphs is set aside at the cost of clearing it.
    struct Glyph {
        // The index in the text of the character the glyph draws.
        std::uint32_t characterIndex;
        std::int32_t character;
        std::uint32_t glyphIndex;
        float penX;
        float penY;
    };

    LGlyphLayout(std::uint64_t maker, std::int32_t fontID, std::uint64_t faceGeneration)
        : mMaker(maker), mFontID(fontID), mFaceGeneration(faceGeneration)
    {
    }

    std::uint32_t GetCharacterCount() const override { return mCharacterCount; }
    void SetCharacterCount(std::uint32_t count) { mCharacterCount = count; }

    // Whether the renderer of that serial number made it, in the font of that id, from the faces of that generation.
    bool IsFrom(std::uint64_t maker, std::int32_t fontID, std::uint64_t faceGeneration) const
    {
        return maker == mMaker && fontID == mFontID && faceGeneration == mFaceGeneration;
    }

    Array<Glyph>& GetGlyphs() { return mGlyphs; }
    const Array<Glyph>& GetGlyphs() const { return mGlyphs; }

private:
    std::uint64_t mMaker;
    std::int32_t mFontID;
    std::uint64_t mFaceGeneration;
    std::uint32_t mCharacterCount = 0;
    Array<Glyph> mGlyphs;
};

}  // namespace ZV
