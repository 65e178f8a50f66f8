#pragma once

#include "ControlBase/SubControlSettings.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/Rounding.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace ZV {

// Extents at or below this count as empty.
inline constexpr double kEmptyExtent = DBL_EPSILON;
// Sizes that differ by less than this are the same.
inline constexpr double kSizeTolerance = 2.220446049250313e-15;
// The z-order of a control that clips to its parent: below every control that does not.
inline constexpr std::int32_t kLowestZOrder = INT32_MIN;

inline bool HasArea(const RectT<double>& rect)
{
    return rect.width > kEmptyExtent && rect.height > kEmptyExtent;
}

// ClipToParent of a control's settings, read straight where every control laid out asks it; without settings the
// default, true.
inline bool ClipsToParent(const SubControlSettings* settings)
{
    return settings == nullptr || settings->clipToParent;
}

inline int DockedAxes(const SubControlSettings& settings)
{
    return (settings.xIsDocked ? 1 : 0) + (settings.yIsDocked ? 1 : 0);
}

// Half away from zero, kept where doubles are exact. Without a library call: layout rounds every edge it places.
inline double RoundCoordinate(double value)
{
    if (!(std::fabs(value) < kExactDoubleLimit)) {
        // Already whole, infinite or not a number.
        return ClampToExactDouble(value);
    }
    const double whole = static_cast<double>(static_cast<std::int64_t>(value));
    const double fraction = value - whole;
    const double rounded = fraction >= 0.5 ? whole + 1 : fraction <= -0.5 ? whole - 1 : whole;
    // -0.3 rounds to -0, as the library's rounding gives.
    return std::copysign(rounded, value);
}

// Whether a value is whole and where doubles are exact: a sum of such values is whole, or infinite or not a number.
inline bool IsWholeCoordinate(double value)
{
    // Most absolute parts are 0.
    return value == 0 ||
           (std::fabs(value) < kExactDoubleLimit && static_cast<double>(static_cast<std::int64_t>(value)) == value);
}

inline PointT<zlong> RoundSize(const PointT<double>& size)
{
    return {RoundToLong(size.x), RoundToLong(size.y)};
}

inline RectT<double> MovedBy(const RectT<double>& rect, double dx, double dy)
{
    return {rect.x + dx, rect.y + dy, rect.width, rect.height};
}

}  // namespace ZV
