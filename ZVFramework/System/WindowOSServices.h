#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

namespace Platform {
struct NativeWindow;
}  // namespace Platform

// A cursor of the desktop, opaque to the framework; 0 is none.
using CursorHandle = std::uintptr_t;

// Show commands: hide, and show in the window's current place and size.
inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShow = 5;

// What root windows and controls ask of the platform window that shows them. Rectangles are x, y, width, height;
// points and rectangles are in client coordinates unless the operation says otherwise. 0 is success, ZV_E_FAIL
// "no window". User-interface thread only.
class IWindowOSServices {
public:
    [[nodiscard]] virtual ZVRESULT SetTitle(const WideString& text) = 0;
    [[nodiscard]] virtual ZVRESULT InvalidateAll() = 0;
    [[nodiscard]] virtual ZVRESULT InvalidateRect(const RectT<zlong>& rect) = 0;
    // Leaves the rectangle as it was when the window has no sound size.
    [[nodiscard]] virtual ZVRESULT GetClientSize(RectT<zlong>& rect) = 0;
    virtual PointT<zlong> ScreenToClient(const PointT<zlong>& point) = 0;
    virtual PointT<zlong> ClientToScreen(const PointT<zlong>& point) = 0;
    // Where the client area is to lie, in screen coordinates.
    [[nodiscard]] virtual ZVRESULT SetBounds(const RectT<zlong>& rect) = 0;
    // True when the window was visible before.
    virtual bool Show(int command) = 0;
    // Paints what is invalid now, before the call returns.
    [[nodiscard]] virtual ZVRESULT Redraw() = 0;
    [[nodiscard]] virtual ZVRESULT BringToTop() = 0;
    [[nodiscard]] virtual ZVRESULT SetTopMost(bool topMost) = 0;
    // Ends the modal loop with the result, or closes a window that runs none.
    [[nodiscard]] virtual ZVRESULT EndModal(std::int32_t result) = 0;
    // Runs a loop until EndModal; the result given there, or -1 when the application quits.
    virtual std::int32_t RunModal() = 0;
    virtual bool IsModal() = 0;
    virtual bool IsActive() = 0;
    virtual bool HasFocus() = 0;
    [[nodiscard]] virtual ZVRESULT SetFocus() = 0;
    // The cursor that was set before.
    virtual CursorHandle SetCursor(CursorHandle cursor) = 0;
    virtual PointT<zlong> GetCursorPosition() = 0;
    // Mouse buttons held: 1 left, 2 middle, 4 right.
    virtual std::uint32_t GetMouseButtons() = 0;
    virtual const Platform::NativeWindow* GetWindowHandle() = 0;
    // Text editing starts or ends in a control of the window.
    virtual void OnTextEditing(bool start, std::int32_t value) = 0;

protected:
    ~IWindowOSServices() = default;
};

}  // namespace ZV
