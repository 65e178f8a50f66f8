#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RectT.h"

namespace ZV {

// Rectangles (x, y, width, height) each with its colour (0xAARRGGBB), drawn scaled by the list's horizontal and
// vertical factors.
template <class T>
class ColorRectListT {
public:
    void Add(const RectT<T>& rect, zulong argb)
    {
        ZV_THROW_IF_FAILED(mRects.AddItem(rect));
        ZV_THROW_IF_FAILED(mColors.AddItem(argb));
    }
    void Clear()
    {
        mRects.SetCount(0);
        (void)mColors.SetCount(0);
    }
    std::uint32_t GetCount() const { return mRects.GetCount(); }
    const RectT<T>& GetRect(std::uint32_t index) const { return *mRects.GetItemPointer(index); }
    zulong GetColor(std::uint32_t index) const { return *mColors.GetItemPointer(index); }

    T GetScaleX() const { return mScaleX; }
    T GetScaleY() const { return mScaleY; }
    void SetScale(T x, T y)
    {
        mScaleX = x;
        mScaleY = y;
    }

private:
    Array<RectT<T>> mRects;
    Array<zulong> mColors;
    T mScaleX = T(1);
    T mScaleY = T(1);
};

}  // namespace ZV
