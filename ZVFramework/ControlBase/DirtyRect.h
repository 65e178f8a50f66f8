#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Renderer/RectNode.h"
#include "Utilities/Storage/RectT.h"

#include <algorithm>
#include <cmath>

namespace ZV {

// The whole pixels that a rectangle (x, y, width, height) touches, as edges: every pixel it covers even in part
// is painted again, so that no sliver of stale pixels stays behind. Edges stop at the ends of the 32-bit range; a
// NaN anywhere gives an empty rectangle.
inline RectEdges TouchedPixels(const RectT<double>& rect)
{
    const auto edge = [](double value) {
        return static_cast<zlong>(std::clamp(value, -2147483648.0, 2147483647.0));
    };
    const double left = std::floor(rect.x);
    const double top = std::floor(rect.y);
    const double right = std::ceil(rect.x + rect.width);
    const double bottom = std::ceil(rect.y + rect.height);
    if (!(right > left) || !(bottom > top)) {
        return {};
    }
    return {edge(left), edge(top), edge(right), edge(bottom)};
}

// The same, cut to a client area of that size; false when nothing of the rectangle lies in it.
inline bool CoveredPixels(const RectT<double>& rect, zlong clientWidth, zlong clientHeight, RectEdges& edges)
{
    edges = TouchedPixels(rect);
    edges.left = std::max<zlong>(edges.left, 0);
    edges.top = std::max<zlong>(edges.top, 0);
    edges.right = std::min(edges.right, clientWidth);
    edges.bottom = std::min(edges.bottom, clientHeight);
    return !edges.IsEmpty();
}

}  // namespace ZV
