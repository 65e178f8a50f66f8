#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class LFont;
class LMeasurementRenderer;

// How wide a measured text is drawn: the measured width, plus the measured x where the text does not start at 0.
inline float DrawnWidth(const RectT<float>& measured)
{
    return measured.x != 0 ? measured.width + measured.x : measured.width;
}

// The drawn width of the text in the font; 0 without a renderer.
float MeasureTextWidth(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font);

// Appends the lines of the text in a box of that width: each paragraph (the text split at line feeds) breaks after
// the longest head that fits, cut before a space or after a hyphen; a word wider than the box stays whole. The blanks
// that start a following line are dropped, unless nothing else is left: then they are the paragraph's last line.
// Every line takes at least one character, so the lines end whatever the width; a paragraph gives at least one line.
// Lines are measured a few times each, so the cost grows with the text's length.
void WrapText(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text, float boxWidth,
              WideStringArray& lines);

}  // namespace ZV
