#pragma once

#include "ControlBase/SubControlSettings.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

// The rules of one axis of a layout: 0 is X, any other value Y.
inline PositionRule& AxisPosition(SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xPosition : rules.yPosition;
}

inline const PositionRule& AxisPosition(const SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xPosition : rules.yPosition;
}

inline SizeRule& AxisSize(SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xSize : rules.ySize;
}

inline const SizeRule& AxisSize(const SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xSize : rules.ySize;
}

inline LimitRule& AxisMinimum(SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xMinimum : rules.yMinimum;
}

inline const LimitRule& AxisMinimum(const SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xMinimum : rules.yMinimum;
}

inline LimitRule& AxisMaximum(SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xMaximum : rules.yMaximum;
}

inline const LimitRule& AxisMaximum(const SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xMaximum : rules.yMaximum;
}

inline bool& AxisDocked(SubControlSettings& rules, int axis)
{
    return axis == 0 ? rules.xIsDocked : rules.yIsDocked;
}

inline bool AxisDocked(const SubControlSettings& rules, int axis)
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
