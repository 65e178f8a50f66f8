#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class LFont;

// What measures text: every renderer, and the one the application lends to fonts that need their metrics before
// any window draws.
class LMeasurementRenderer : public virtual LRefCountedObject {
public:
    // The font's line height and the top and bottom of its box relative to the baseline (y downwards), in pixels.
    // 0, or a failure code with the three outputs left as they were.
    [[nodiscard]] virtual ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top, zlong& bottom) = 0;
    // The box of the text drawn at (0, 0) in the font: x, y, width, height.
    virtual RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) = 0;
};

}  // namespace ZV
