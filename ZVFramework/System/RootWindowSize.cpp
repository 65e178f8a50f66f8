// The root window's place and size: the client area as the OS window has it, and the root control's limits that the
// window is held to.
#include "System/RootWindow.h"

#include "System/WindowHost.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>

namespace ZV {

RectT<zlong> LRootWindow::GetScreenBounds()
{
    if (mServices != nullptr) {
        RectT<zlong> client(0, 0, mBounds.width, mBounds.height);
        (void)mServices->GetClientSize(client);
        const PointT<zlong> origin = mServices->ClientToScreen({0, 0});
        mBounds = {origin.x, origin.y, client.width, client.height};
    }
    return mBounds;
}

ZVRESULT LRootWindow::SetBounds(const RectT<zlong>& rect)
{
    if (rect == GetScreenBounds() || mServices == nullptr) {
        return ZV_S_OK;
    }
    (void)mServices->SetBounds(rect);
    if (const RCPtr<LControl> root = mRootControl) {
        const PointT<double> size = root->GetSize();
        (void)root->InvalidateRect(RectT<double>(0, 0, size.x, size.y), false);
    }
    return ZV_S_OK;
}

RectT<zlong> LRootWindow::GetWorkArea()
{
    IWindowHost* host = GetWindowHost();
    return host != nullptr ? host->GetWorkArea() : RectT<zlong>();
}

void LRootWindow::OnResize(const PointT<zlong>& size)
{
    mBounds.width = size.x;
    mBounds.height = size.y;
    if (const RCPtr<LControl> root = mRootControl) {
        (void)root->ProcessRelayout(size);
    }
}

// The root control's rectangle for the proposed client size, as its rules place a top-level control, within its
// minimum and maximum sizes.
ZVRESULT LRootWindow::ConstrainClientSize(zlong& width, zlong& height)
{
    const zlong proposedWidth = width;
    const zlong proposedHeight = height;
    const RCPtr<LControl> root = mRootControl;
    const LLayoutDescriptor* layout = root ? root->GetLayoutDescriptor().Get() : nullptr;
    if (layout != nullptr) {
        const RectT<zlong> client = GetScreenBounds();
        const RectT<zlong> workArea = GetWorkArea();
        const RectT<double> screenFrame(ClampToExactDouble(-static_cast<double>(client.x)),
                                        ClampToExactDouble(-static_cast<double>(client.y)),
                                        ClampToExactDouble(workArea.width), ClampToExactDouble(workArea.height));
        const PointT<zlong> cursor = GetCursorPosition();
        RectT<double> placement;
        if (Succeeded(LControl::CalculatePlacement(layout, nullptr, screenFrame,
                                                   {ClampToExactDouble(width), ClampToExactDouble(height)},
                                                   {ClampToExactDouble(cursor.x), ClampToExactDouble(cursor.y)},
                                                   placement))) {
            placement.SnapToPixels();
            PointT<double> position(placement.x, placement.y);
            PointT<double> size(placement.width, placement.height);
            (void)root->ApplyMinimumSize(position, size);
            (void)root->ApplyMaximumSize(position, size);
            RectT<double> fitted(position.x, position.y, size.x, size.y);
            fitted.SnapToPixels();
            width = RoundToLong(fitted.width);
            height = RoundToLong(fitted.height);
        }
    }
    width = std::max<zlong>(width, 1);
    height = std::max<zlong>(height, 1);
    return width != proposedWidth || height != proposedHeight ? 1 : 0;
}

}  // namespace ZV
