#pragma once

#include "ControlBase/SubControlSettings.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

// The rules of one axis of a layout, const or not as the layout is: 0 is X, any other value Y.
template <class Rules>
auto& AxisPosition(Rules& rules, int axis)
{
    return axis == 0 ? rules.xPosition : rules.yPosition;
}

template <class Rules>
auto& AxisSize(Rules& rules, int axis)
{
    return axis == 0 ? rules.xSize : rules.ySize;
}

template <class Rules>
auto& AxisMinimum(Rules& rules, int axis)
{
    return axis == 0 ? rules.xMinimum : rules.yMinimum;
}

template <class Rules>
auto& AxisMaximum(Rules& rules, int axis)
{
    return axis == 0 ? rules.xMaximum : rules.yMaximum;
}

template <class Rules>
auto& AxisDocked(Rules& rules, int axis)
{
    return axis == 0 ? rules.xIsDocked : rules.yIsDocked;
}

// The minimum and maximum rules of an axis: 0, or ZV_E_INVALIDARG for an axis other than 0 and 1.
[[nodiscard]] inline ZVRESULT GetAxisLimits(const SubControlSettings& rules, int axis, LimitRule& minimum,
                                            LimitRule& maximum)
{
    if (axis != 0 && axis != 1) {
        return ZV_E_INVALIDARG;
    }
    minimum = AxisMinimum(rules, axis);
    maximum = AxisMaximum(rules, axis);
    return ZV_S_OK;
}

}  // namespace ZV
