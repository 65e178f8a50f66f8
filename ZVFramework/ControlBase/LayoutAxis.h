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

// Whether a position or size rule measures against a control named in it.
inline bool NamesAControl(const SubControlSettings& rules)
{
    return rules.xPosition.toControlKind == kPositionToNamedControl ||
           rules.yPosition.toControlKind == kPositionToNamedControl ||
           rules.xSize.toControlKind == kSizeToNamedControl || rules.ySize.toControlKind == kSizeToNamedControl;
}

// Whether a rule can change the size that the placement gives: a limit measured against a control, a minimum or
// maximum of its own, or label text that the control grows to fit. Without one the limits leave a placement of no
// negative extent as it is.
inline bool HasSizeLimits(const SubControlSettings& rules)
{
    return rules.xMinimum.toControl || rules.yMinimum.toControl || rules.xMaximum.toControl ||
           rules.yMaximum.toControl || rules.xMinimum.abs > 0 || rules.yMinimum.abs > 0 || rules.xMaximum.abs > 0 ||
           rules.yMaximum.abs > 0 || rules.textOverflowXType == kTextOverflowExpand ||
           rules.textOverflowYType != kTextOverflowClip;
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
