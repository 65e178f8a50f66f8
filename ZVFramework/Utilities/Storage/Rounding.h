#pragma once

#include "ObjectBase/ResultCodes.h"

#include <cmath>

namespace ZV {

// Half away from zero, clamped to the 32-bit range; a NaN gives the lowest value, as the window system's
// conversion does.
inline zlong RoundToLong(double value)
{
    if (std::isnan(value) || value < -2147483648.0) {
        return static_cast<zlong>(0x80000000u);
    }
    if (value > 2147483647.0) {
        return 0x7FFFFFFF;
    }
    return static_cast<zlong>(value < 0 ? value - 0.5 : value + 0.5);
}

// Doubles of this magnitude and below hold every whole number exactly (2^52).
constexpr double kExactDoubleLimit = 4503599627370496.0;

// Coordinates handed from integers to floating point stay where doubles are exact.
inline double ClampToExactDouble(double value)
{
    return value < -kExactDoubleLimit ? -kExactDoubleLimit : value > kExactDoubleLimit ? kExactDoubleLimit : value;
}

}  // namespace ZV
