#pragma once

#include "ControlBase/KeyParams.h"
#include "Notification/IdleProcessing.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "System/TextEditTarget.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

class RectList;

// What an OS window calls on the root window it shows: the input it routes, focus, capture, size and painting.
// Points are client coordinates; modifiers are the mask of pointer records (0x1 Ctrl, 0x8 Shift, 0x40 Alt).
// User-interface thread only.
class IRootWindowTarget : public virtual LRefCountedObject, public IIdleProcessor {
public:
    enum ButtonAction : std::uint32_t { kPress = 0, kRelease = 1, kDoubleClick = 2 };

    // Button 1 left, 2 middle, 4 right.
    virtual void RouteMouseButton(ButtonAction action, std::uint32_t button, std::uint32_t modifiers,
                                  const PointT<zlong>& point) = 0;
    virtual void RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers) = 0;
    // Direction 0 and 1 vertical (towards and away from the user), 2 and 3 horizontal (left and right).
    virtual void RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction) = 0;
    virtual void RouteKey(const RCPtr<LKeyParam>& key) = 0;
    virtual void OnCaptureLost() = 0;
    virtual void OnSetFocus() = 0;
    virtual void OnKillFocus() = 0;
    virtual void OnResize(const PointT<zlong>& size) = 0;
    // The next paint covers the whole client area.
    virtual void SetFullRepaint() = 0;
    // Whether a control of the window holds the keyboard focus.
    virtual bool HasFocusControl() const = 0;
    // Fits a proposed client size to the root control's limits; 1 when it changed, else 0.
    virtual ZVRESULT ConstrainClientSize(zlong& width, zlong& height) = 0;
    // Moves the rectangles waiting to be painted into the list.
    virtual void CollectDirtyRegion(RectList& region) = 0;
    virtual void Paint(const RectList& region) = 0;
    // The desktop asks a window that is not the application's main one to close.
    virtual void RequestClose() = 0;
    // The window, or the window that it runs modal for, has gone: the tree closes as by the close box, which nothing
    // can refuse now, and the modal loop ends with the close's result at the next idle pass. Returns that result.
    virtual std::int32_t CloseForLostWindow() = 0;
    // The text editor of the focused control (the control itself or its nearest ancestor that edits text); null
    // when no control has the focus or none of them edits text.
    virtual RCPtr<ITextEditTarget> FindFocusedTextEditor() = 0;
};

}  // namespace ZV
