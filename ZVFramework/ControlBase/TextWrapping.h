#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class LFont;

// The measured box of the text in the font; empty without a renderer.
RectT<float> MeasureText(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font);
// The drawn width of the text in the font; 0 without a renderer.
float MeasureTextWidth(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font);

// Appends the lines of the text in a box of that width: each paragraph (the text split at line feeds) breaks after
// the longest head that fits, cut before a space or after a hyphen; a word wider than the box stays whole. The blanks
// that start a following line are dropped, unless nothing else is left: then they are the paragraph's last line.
// Every line takes at least one character, so the lines end whatever the width; a paragraph gives at least one line.
// With lineBoxes, the measured box of each line is appended to it as well, and with lineLayouts the line as the
// renderer laid it out when measuring it (null where it kept none). A renderer that measures the heads of a text in
// one pass measures each character about once; another measures each line a few times.
void WrapText(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text, float boxWidth,
              WideStringArray& lines, Array<RectT<float>>* lineBoxes = nullptr,
              RCPtrArray<LLaidOutText>* lineLayouts = nullptr);

}  // namespace ZV
