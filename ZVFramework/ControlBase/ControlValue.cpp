// Values, text, fonts and tool tips.
#include "ControlBase/Control.h"

namespace ZV {

ZVRESULT LControl::SetText(const WideString&)
{
    return ZV_E_NOTIMPL;
}

double LControl::SetValue(double)
{
    return mValue.value;
}

void LControl::OnValueChanged() {}

ZVRESULT LControl::SetValueRange(double minimum, double maximum, std::int32_t scaleMode)
{
    const bool accepted = scaleMode == kLinearScale || (scaleMode == kLogarithmicScale && minimum > 0 && maximum > 0);
    if (!accepted) {
        return ZV_E_INVALIDARG;
    }
    mValue.minimum = minimum;
    mValue.maximum = maximum;
    mValue.scaleMode = scaleMode;
    return ZV_S_OK;
}

void LControl::OnParentFontChanged() {}

void LControl::OnFontChanged() {}

}  // namespace ZV
