#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

// A number that no other path of the process has had: what renderers know a path by.
std::intptr_t NewPolylineIdentity();

// A path of points that renderers draw as a line, as segments or as a polygon, with the width of its pen.
// Renderers keep what they build from it under its identity and rebuild when its changed flag is set. Every path
// has an identity of its own, and a copy or an assigned path takes a new one: it never meets what was built for
// another path, or for its own earlier points. Moves copy.
template <class T>
class PolylineT {
public:
    explicit PolylineT(T lineWidth = T(1)) : mLineWidth(lineWidth) {}
    PolylineT(const PolylineT& other) : mPoints(other.mPoints), mLineWidth(other.mLineWidth) {}
    PolylineT& operator=(const PolylineT& other)
    {
        if (this != &other) {
            mPoints = other.mPoints;
            mLineWidth = other.mLineWidth;
            mIdentity = NewPolylineIdentity();
            mChanged = true;
        }
        return *this;
    }

    // The key of what renderers build from this path.
    static std::intptr_t GetHandle(const PolylineT& polyline) { return polyline.mIdentity; }

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
    // What a renderer built holds the width too.
    void SetLineWidth(T width)
    {
        if (width != mLineWidth) {
            mLineWidth = width;
            mChanged = true;
        }
    }

    // Set when the points or the width change; the renderer that rebuilt from them clears it.
    bool IsChanged() const { return mChanged; }
    void ClearChanged() const { mChanged = false; }

private:
    Array<PointT<T>> mPoints;
    T mLineWidth;
    std::intptr_t mIdentity = NewPolylineIdentity();
    mutable bool mChanged = true;
};

}  // namespace ZV
