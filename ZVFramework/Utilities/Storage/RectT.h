#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace ZV {

// Four values kept in order; by use they are left, top, right, bottom or x, y, width, height. The operations below
// that need a form name it.
template <class T>
struct RectT {
    T x{};
    T y{};
    T width{};
    T height{};

    RectT() = default;
    RectT(T xValue, T yValue, T widthValue, T heightValue)
        : x(xValue), y(yValue), width(widthValue), height(heightValue)
    {
    }

    RectT<zlong> ToLong() const { return {RoundToLong(x), RoundToLong(y), RoundToLong(width), RoundToLong(height)}; }
    RectT<double> ToDouble() const
    {
        return {ClampToExactDouble(static_cast<double>(x)), ClampToExactDouble(static_cast<double>(y)),
                ClampToExactDouble(static_cast<double>(width)), ClampToExactDouble(static_cast<double>(height))};
    }

    // x, y, width, height form: the common part of a and b; true only when it has an area.
    static bool Intersect(RectT& out, const RectT& a, const RectT& b)
    {
        const T left = std::max(a.x, b.x);
        const T top = std::max(a.y, b.y);
        const T right = std::min(a.x + a.width, b.x + b.width);
        const T bottom = std::min(a.y + a.height, b.y + b.height);
        out = RectT(left, top, right - left, bottom - top);
        return out.width > DBL_EPSILON && out.height > DBL_EPSILON;
    }

    // x, y, width, height form, in place: negative extents flipped to the other edge, then every edge floored to a
    // whole pixel (a value a rounding error below a whole number counts as that number).
    void SnapToPixels()
    {
        if (width < 0) {
            x += width;
            width = -width;
        }
        if (height < 0) {
            y += height;
            height = -height;
        }
        const T left = SnapDown(x);
        const T top = SnapDown(y);
        const T right = SnapDown(x + width);
        const T bottom = SnapDown(y + height);
        *this = RectT(left, top, right - left, bottom - top);
    }

    bool operator==(const RectT&) const = default;

private:
    static T SnapDown(T value)
    {
        const T floored = std::floor(value);
        const T next = floored + 1;
        return next - value <= std::fabs(value) * DBL_EPSILON ? next : floored;
    }
};

// x, y, width, height form: the bounding rectangle of a and b; true when it has an area.
inline bool UnionRects(RectT<float>& out, const RectT<float>& a, const RectT<float>& b)
{
    const float left = b.x < a.x ? b.x : a.x;
    const float top = b.y < a.y ? b.y : a.y;
    const float right = std::max(a.x + a.width, b.x + b.width);
    const float bottom = std::max(a.y + a.height, b.y + b.height);
    out = RectT<float>(left, top, right - left, bottom - top);
    return out.width > FLT_EPSILON && out.height > FLT_EPSILON;
}

}  // namespace ZV
