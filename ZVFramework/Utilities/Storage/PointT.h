#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Rounding.h"

#include <cmath>

namespace ZV {

// Two values, x then y; the same pair serves as a size (width, height).
template <class T>
struct PointT {
    T x{};
    T y{};

    PointT() = default;
    PointT(T xValue, T yValue) : x(xValue), y(yValue) {}

    PointT<zlong> ToLongPoint() const { return {ZV::RoundToLong(x), ZV::RoundToLong(y)}; }
    PointT<zlong> RoundToLong() const { return ToLongPoint(); }
    PointT<double> ToDouble() const
    {
        return {ClampToExactDouble(static_cast<double>(x)), ClampToExactDouble(static_cast<double>(y))};
    }

    // Both coordinates to whole numbers, half away from zero, in place.
    void Round()
    {
        x = static_cast<T>(std::round(x));
        y = static_cast<T>(std::round(y));
    }

    // The coordinate along an axis: x for 0, y otherwise.
    T* Coordinate(int axis) { return axis == 0 ? &x : &y; }
    const T* Coordinate(int axis) const { return axis == 0 ? &x : &y; }

    bool operator==(const PointT&) const = default;
};

}  // namespace ZV
