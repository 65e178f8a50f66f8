#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

// A path of points that renderers draw as a line, as segments or as a polygon, with the width of its pen.
// Renderers keep what they build from it by its identity and rebuild when its changed flag is set; a new path
// starts changed, so it never meets what was built for another path at the same address.
template <class T>
class PolylineT {
public:
    explicit PolylineT(T lineWidth = T(1)) : mLineWidth(lineWidth) {}

    // The key of what renderers build from this path: its address.
    static std::intptr_t GetHandle(const PolylineT& polyline) { return reinterpret_cast<std::intptr_t>(&polyline); }

    void AddPoint(const PointT<T>& point)
    {
        ZV_THROW_IF_FAILED(mPoints.AddItem(point));
        mChanged = true;
    }
    void Clear()
    {
        (void)mPoints.SetCount(0);
        mChanged = true;
    }
    std::uint32_t GetCount() const { return mPoints.GetCount(); }
    const PointT<T>& GetPoint(std::uint32_t index) const { return *mPoints.GetItemPointer(index); }

    T GetLineWidth() const { return mLineWidth; }
    void SetLineWidth(T width) { mLineWidth = width; }

    // Set when the points change; the renderer that rebuilt from them clears it.
    bool IsChanged() const { return mChanged; }
    void ClearChanged() const { mChanged = false; }

private:
    Array<PointT<T>> mPoints;
    T mLineWidth;
    mutable bool mChanged = true;
};

}  // namespace ZV
