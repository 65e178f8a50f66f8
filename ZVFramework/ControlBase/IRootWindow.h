#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LControl;
class LGlobalHotKeyManager;
class LKeyParam;
class LNotificationDistributor;

// A cursor of the window system, opaque to the controls; 0 stands for the default arrow.
using CursorHandle = std::uintptr_t;

// What controls need of the window that shows their tree. Only the top-level control of a tree holds its root
// window; the others reach it through their ancestors. User-interface thread only.
class IRootWindow : public virtual LRefCountedObject {
public:
    // The window's own notification side: among others it sends "NID_IDLE" at every idle pass.
    virtual ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const = 0;
    // Gives the control the mouse capture; the control that held it loses it first (UITarget::OnCaptureLost).
    // ZV_E_INVALIDARG for a null control, else 0.
    [[nodiscard]] virtual ZVRESULT SetCapture(const RCPtr<LControl>& control) = 0;
    // No control holds the capture afterwards. 0.
    [[nodiscard]] virtual ZVRESULT ReleaseCapture() = 0;
    // The control that has the keyboard focus; null when none has.
    virtual RCPtr<LControl> GetFocusControl() const = 0;
    virtual void SetFocusControl(const RCPtr<LControl>& control) = 0;
    // The focused control let the focus go: the window remembers it, and no control has the focus.
    virtual void ClearFocusControl() = 0;
    // The mouse buttons held now (MouseButton bits).
    virtual std::uint32_t GetMouseButtonState() = 0;
    // The pointer, in client coordinates.
    virtual PointT<zlong> GetCursorPosition() = 0;
    // Asks the window's modal loop to end with the result; ZV_E_FAIL when no OS window shows the window.
    [[nodiscard]] virtual ZVRESULT EndModal(std::int32_t result) = 0;
    // The control under a point of the client area, not counting controls marked as excluded, with the point in
    // that control's coordinates; null when none is hit. With updateHover the hit control becomes the hovered one.
    virtual RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) = 0;
    // Shows the cursor over the window; 0 shows the default arrow. Answers the cursor shown before.
    virtual CursorHandle SetCursor(CursorHandle cursor) = 0;
    // Shows the text as the window's title. 0, or a failure code when the window cannot show it.
    [[nodiscard]] virtual ZVRESULT SetTitle(const WideString& title) = 0;

    // Adds the rectangle (client coordinates), cut to the client area and grown to the whole pixels it touches, to
    // the area that the next paint draws.
    virtual void InvalidateRect(const RectT<double>& rect) = 0;
    // Has the whole client area drawn afresh at once, for moments when no idle pass will come soon. A window that
    // draws only when its paint comes draws it then. 0.
    [[nodiscard]] virtual ZVRESULT RedrawAll()
    {
        const RectT<zlong> client = GetScreenBounds();
        InvalidateRect({0, 0, static_cast<double>(client.width), static_cast<double>(client.height)});
        return ZV_S_OK;
    }
    // The client area: its origin on the screen, then its size.
    virtual RectT<zlong> GetScreenBounds() = 0;
    // Moves and sizes the window so that its client area covers the rectangle (screen coordinates); nothing when it
    // does already. 0.
    [[nodiscard]] virtual ZVRESULT SetBounds(const RectT<zlong>& rect) = 0;
    // The part of the screen that windows may take, in screen coordinates.
    virtual RectT<zlong> GetWorkArea() = 0;

    // --- Keys and named cursors ---

    // The window's own hot keys; what they send goes into the window's queue. Null when the window has none.
    virtual RCPtr<LGlobalHotKeyManager> GetHotKeyManager() = 0;
    // A Tab that left the top-level control: the focus goes round to the tree's first control (Shift: its last), or
    // on to another window of the application.
    virtual void MoveFocusOnTab(const RCPtr<LKeyParam>& key) = 0;
    // The modifier keys held now: 0x1 Ctrl, 0x8 Shift, 0x40 Alt.
    virtual std::uint32_t GetModifierState() = 0;
    // The cursor registered under a name ("UI_CURSOR_DROP_MOVE"); 0, the default arrow, for a name without one.
    virtual CursorHandle GetNamedCursor(const wchar_t* name) = 0;
};

}  // namespace ZV
