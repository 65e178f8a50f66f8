// A control's value: normalised to 0 .. 1, and scaled into its linear or logarithmic range.
#include "ControlBase/Control.h"

#include "Notification/Notification.h"
#include "Notification/ValueParam.h"

#include <algorithm>
#include <cmath>

namespace ZV {

double LControl::SetValue(double value)
{
    // Not a value: it would pass the range test, differ from itself on every call, and reach the geometry.
    if (std::isnan(value)) {
        return mValue.value;
    }
    const double clamped = std::clamp(value, 0.0, 1.0);
    if (clamped != mValue.value) {
        mValue.value = clamped;
        OnValueChanged();
        // Only the subscribers' answers are lost when nobody takes it.
        (void)SendNotification(LNotification::Create(
            L"NID_VALUE_CHANGE", LValueParam::Create(mValue.value, NormalizedToValue(mValue.value))));
    }
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

double LControl::NormalizedToValue(double normalized) const
{
    if (mValue.scaleMode == kLogarithmicScale) {
        return mValue.minimum * std::pow(mValue.maximum / mValue.minimum, normalized);
    }
    return mValue.minimum + (mValue.maximum - mValue.minimum) * normalized;
}

double LControl::ValueToNormalized(double value) const
{
    const double clamped = std::clamp(value, std::min(mValue.minimum, mValue.maximum),
                                      std::max(mValue.minimum, mValue.maximum));
    if (mValue.minimum == mValue.maximum) {
        return 0;
    }
    if (mValue.scaleMode == kLogarithmicScale) {
        return std::log(clamped / mValue.minimum) / std::log(mValue.maximum / mValue.minimum);
    }
    return (clamped - mValue.minimum) / (mValue.maximum - mValue.minimum);
}

}  // namespace ZV
