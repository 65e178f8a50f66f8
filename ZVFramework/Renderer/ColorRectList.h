#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// A number that no other colour rectangle list of the process has had: what renderers know a list by.
std::intptr_t NewColorRectListIdentity();

// Rectangles (x, y, width, height) each with its colour (0xAARRGGBB), drawn scaled by the list's horizontal and
// vertical factors. Renderers may keep what they build from a list under its identity until its changed flag is
// set; a copy or an assigned list takes an identity of its own.
template <class T>
class ColorRectListT {
public:
    ColorRectListT() = default;
    ColorRectListT(const ColorRectListT& other)
        : mRects(other.mRects), mColors(other.mColors), mScaleX(other.mScaleX), mScaleY(other.mScaleY)
    {
    }
    ColorRectListT& operator=(const ColorRectListT& other)
    {
        if (this != &other) {
            mRects = other.mRects;
            mColors = other.mColors;
            mScaleX = other.mScaleX;
            mScaleY = other.mScaleY;
            mIdentity = NewColorRectListIdentity();
            mChanged = true;
        }
        return *this;
    }

    // The key of what renderers build from this list.
    static std::intptr_t GetHandle(const ColorRectListT& list) { return list.mIdentity; }

    void Add(const RectT<T>& rect, zulong argb)
    {
        ZV_THROW_IF_FAILED(mRects.AddItem(rect));
        ZV_THROW_IF_FAILED(mColors.AddItem(argb));
        mChanged = true;
    }
    void Clear()
    {
        (void)mRects.SetCount(0);
        (void)mColors.SetCount(0);
        mChanged = true;
    }
    std::uint32_t GetCount() const { return mRects.GetCount(); }
    const RectT<T>& GetRect(std::uint32_t index) const { return *mRects.GetItemPointer(index); }
    zulong GetColor(std::uint32_t index) const { return *mColors.GetItemPointer(index); }
    // The rectangle at the index, scaled by the list's factors, in the precision renderers fill with.
    RectT<double> GetScaledRect(std::uint32_t index) const
    {
        const RectT<T>& rect = GetRect(index);
        return RectT<double>(static_cast<double>(rect.x) * mScaleX, static_cast<double>(rect.y) * mScaleY,
                             static_cast<double>(rect.width) * mScaleX, static_cast<double>(rect.height) * mScaleY);
    }

    T GetScaleX() const { return mScaleX; }
    T GetScaleY() const { return mScaleY; }
    void SetScale(T x, T y)
    {
        mScaleX = x;
        mScaleY = y;
        mChanged = true;
    }

    // Set when the rectangles, colours or scale change; the renderer that rebuilt from them clears it.
    bool IsChanged() const { return mChanged; }
    void ClearChanged() const { mChanged = false; }

private:
    Array<RectT<T>> mRects;
    Array<zulong> mColors;
    T mScaleX = T(1);
    T mScaleY = T(1);
    std::intptr_t mIdentity = NewColorRectListIdentity();
    mutable bool mChanged = true;
};

}  // namespace ZV
