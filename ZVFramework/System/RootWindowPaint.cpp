// The root window's dirty region and its painting of the tree.
#include "System/RootWindow.h"

#include "ControlBase/ControlTreePaint.h"
#include "ControlBase/DirtyRect.h"
#include "ControlBase/ScopedFlag.h"

namespace ZV {

void LRootWindow::InvalidateRect(const RectT<double>& rect)
{
    RectEdges pixels;
    if (!CoveredPixels(rect, mBounds.width, mBounds.height, pixels)) {
        return;
    }
    mDirtyRegion.Add(pixels);
    if (mServices != nullptr) {
        (void)mServices->InvalidateRect(
            {pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top});
    }
}

ZVRESULT LRootWindow::RedrawAll()
{
    const RectT<zlong> bounds = GetScreenBounds();
    InvalidateRect(RectT<double>(0, 0, bounds.width, bounds.height));
    return mServices != nullptr ? mServices->Redraw() : ZV_E_FAIL;
}

void LRootWindow::CollectDirtyRegion(RectList& region)
{
    if (std::exchange(mFullRepaint, false)) {
        const RectT<zlong> bounds = GetScreenBounds();
        InvalidateRect(RectT<double>(0, 0, bounds.width, bounds.height));
    }
    mDirtyRegion.Normalize();
    region.Clear();
    region.AppendCopies(mDirtyRegion);
    mDirtyRegion.Clear();
}

void LRootWindow::Paint(const RectList& region)
{
    if (!mRootControl || region.GetHead() == nullptr) {
        return;
    }
    if (mPainting) {
        if (mServices != nullptr) {
            (void)mServices->InvalidateAll();
        }
        return;
    }
    // Held: drawing may end the window.
    const RCPtr<LRootWindow> self(this);
    const ScopedFlag painting(mPainting);
    PaintControlTree(*mRenderer, mRootControl, region);
}

}  // namespace ZV
