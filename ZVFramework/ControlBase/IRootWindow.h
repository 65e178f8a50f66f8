#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

class LControl;
class LNotificationDistributor;

// A cursor of the window system, opaque to the controls; 0 stands for the default arrow.
using CursorHandle = std::uintptr_t;

// What controls need of the window that shows their tree. Only the top-level control of a tree holds its root
// window; the others reach it through their ancestors. User-interface thread only.
class IRootWindow : public virtual LRefCountedObject {
public:
    // The window's own notification side: among others it sends "NID_IDLE" at every idle pass.
    virtual ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const = 0;
    // The control under a point of the client area, not counting controls marked as excluded, with the point in
    // that control's coordinates; null when none is hit. With updateHover the hit control becomes the hovered one.
    virtual RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) = 0;
    // Shows the cursor over the window; 0 shows the default arrow. Answers the cursor shown before.
    virtual CursorHandle SetCursor(CursorHandle cursor) = 0;

    // Adds the rectangle (client coordinates), cut to the client area and grown to the whole pixels it touches, to
    // the area that the next paint draws.
    virtual void InvalidateRect(const RectT<double>& rect) = 0;
    // The client area: its origin on the screen, then its size.
    virtual RectT<zlong> GetScreenBounds() = 0;
    // Moves and sizes the window so that its client area covers the rectangle (screen coordinates); nothing when it
    // does already. 0.
    [[nodiscard]] virtual ZVRESULT SetBounds(const RectT<zlong>& rect) = 0;
    // The pointer, in client coordinates.
    virtual PointT<zlong> GetCursorPosition() = 0;
    // The part of the screen that windows may take, in screen coordinates.
    virtual RectT<zlong> GetWorkArea() = 0;
};

}  // namespace ZV
