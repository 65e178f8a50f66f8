#pragma once

#include "Renderer/FontRenderer/GlyphLayout.h"
#include "Renderer/FontRenderer/GlyphProcessor.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/RectT.h"

#include <algorithm>
#include <cstdint>

namespace ZV {

// Keeps the box of each head of a text while a font renderer lays the text out through the measuring processor. A
// glyph only ever widens the bounds, so a head is whole when the next character is looked up (every character is
// looked up once, also one without a glyph), and once a head is wider than the limit so is every longer one: the run
// ends there. With room for glyphs, it keeps each glyph handed to the processor.
class LHeadRecording {
public:
    // heads holds room for `room` heads, one for every character, and glyphs (when not null) as many glyphs.
    LHeadRecording(float fontTop, float fontBottom, float widthLimit, RectT<float>* heads, std::uint32_t room,
                   LGlyphLayout::Glyph* glyphs)
        : mFontTop(fontTop),
          mFontBottom(fontBottom),
          mWidthLimit(widthLimit),
          mHeads(heads),
          mRoom(room),
          mGlyphs(glyphs)
    {
    }

    // The box that measuring a run of these bounds (left, top, right, bottom) answers in a font of that top and
    // bottom.
    static RectT<float> BoxOfBounds(const RectT<float>& bounds, float fontTop, float fontBottom)
    {
        const float left = bounds.x;
        const float right = bounds.width;
        const float top = std::min(bounds.y, fontTop);
        const float bottom = std::max(fontBottom, bounds.height);
        return {left, top, (right + 1.0f) - left, bottom - top};
    }

    // After the processor began the run.
    void BeginRun(LGlyphProcessor& measurer)
    {
        mBegun = true;
        mLiveBounds = measurer.GetLiveTextBounds();
    }
    // Before the next character is looked up; false when the run is to end instead.
    bool BeginCharacter(LGlyphProcessor& measurer)
    {
        KeepHead(measurer);
        if (mPastLimit) {
            return false;
        }
        ++mLookedUp;
        return true;
    }
    // After the processor took the glyph of the character looked up last.
    void EndGlyph(const GlyphRecord& record)
    {
        // A character has one glyph at the most, so the glyphs fit in the room of the heads.
        if (mGlyphs != nullptr) {
            mGlyphs[mGlyphCount++] = {mLookedUp - 1, record.character, record.glyphIndex, record.penX, record.penY};
        }
    }
    // Before the processor ends the run.
    void EndRun(LGlyphProcessor& measurer) { KeepHead(measurer); }

    bool HasBegun() const { return mBegun; }
    std::uint32_t GetKeptCount() const { return mKept; }
    std::uint32_t GetGlyphCount() const { return mGlyphCount; }

private:
    // The head that ends with the character looked up last.
    void KeepHead(LGlyphProcessor& measurer)
    {
        if (mPastLimit || mLookedUp == mKept || mKept == mRoom) {
            return;
        }
        const RectT<float> bounds = mLiveBounds != nullptr ? *mLiveBounds : measurer.GetTextBounds();
        const RectT<float>& box = mHeads[mKept++] = BoxOfBounds(bounds, mFontTop, mFontBottom);
        mPastLimit = mWidthLimit > 0 && DrawnWidth(box) > mWidthLimit;
    }

    float mFontTop;
    float mFontBottom;
    float mWidthLimit;
    RectT<float>* mHeads;
    std::uint32_t mRoom;
    LGlyphLayout::Glyph* mGlyphs;
    const RectT<float>* mLiveBounds = nullptr;
    std::uint32_t mGlyphCount = 0;
    bool mBegun = false;
    bool mPastLimit = false;
    std::uint32_t mLookedUp = 0;
    std::uint32_t mKept = 0;
};

}  // namespace ZV
