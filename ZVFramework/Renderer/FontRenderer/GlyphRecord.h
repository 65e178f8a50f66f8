#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/FontRenderer/PixelBuffer.h"

#include <cstdint>

namespace ZV {

// What a font renderer hands to a glyph processor for each character of a run. The box and the advances are held
// in 32 bits: at large sizes a glyph reaches past what a byte or a 16-bit 26.6 value can hold.
struct GlyphRecord {
    // The character's index in the text while every character before it had a glyph; the run's first value before
    // the first glyph.
    std::int32_t position = 0;
    // The UTF-16 code unit; glyph processors key their caches on it.
    std::int32_t character = 0;
    // Pixels from the text's origin.
    float penX = 0;
    float penY = 0;
    // Pixels from the pen, y downwards.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // In 1/64 pixel.
    std::int32_t advanceX = 0;
    std::int32_t advanceY = 0;
    // The font renderer's index of the glyph; a processor that caches the glyph keeps it and hands it back.
    std::uint32_t glyphIndex = 0;
    // The glyph's coverage, one byte a pixel, when the processor asked for it to be rasterised; else null.
    RCPtr<LPixelBuffer<unsigned char>> bitmap;
};

}  // namespace ZV
