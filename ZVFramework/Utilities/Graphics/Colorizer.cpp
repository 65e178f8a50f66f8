#include "Utilities/Graphics/Colorizer.h"

namespace ZV {

bool LColorizer::IsGradient() const
{
    switch (mColorType) {
    case kSolidFill:
        return false;
    case kLinearGradient:
    case kRadialGradient:
        return mEndColor != mColor;
    default:
        return true;
    }
}

}  // namespace ZV
