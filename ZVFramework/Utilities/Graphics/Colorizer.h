#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// Where a gradient runs, as a skin gives it; 0 where it gives nothing.
struct GradientGeometry {
    float startX = 0;
    float startY = 0;
    float endX = 0;
    float endY = 0;

    bool operator==(const GradientGeometry&) const = default;
};

// A skin's colour for tinting images and filling parts: a solid colour, or a gradient between two colours, which
// this program does not draw.
class LColorizer : public virtual LRefCountedObject {
public:
    static constexpr std::int32_t kSolidFill = 0;
    static constexpr std::int32_t kLinearGradient = 1;
    static constexpr std::int32_t kRadialGradient = 2;

    LColorizer(std::int32_t colorType, const LColor& color, const LColor& endColor)
        : mColorType(colorType), mColor(color), mEndColor(endColor)
    {
    }
    LColorizer(const WideString& name, std::int32_t colorType, const LColor& color, const LColor& endColor,
               const GradientGeometry& gradient)
        : mName(name), mColorType(colorType), mColor(color), mEndColor(endColor), mGradient(gradient)
    {
    }

    const WideString& GetName() const { return mName; }
    std::int32_t GetColorType() const { return mColorType; }
    const LColor& GetColor() const { return mColor; }
    const LColor& GetEndColor() const { return mEndColor; }
    const GradientGeometry& GetGradient() const { return mGradient; }

    // True when the colorizer is no single colour: a gradient between two different colours, or a colour type this
    // program does not know. A gradient whose two colours are equal is that colour.
    bool IsGradient() const;

private:
    WideString mName;
    std::int32_t mColorType;
    LColor mColor;
    LColor mEndColor;
    GradientGeometry mGradient;
};

}  // namespace ZV
