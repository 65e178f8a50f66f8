#pragma once

#include <cstdint>
#include <string>

namespace ZV::Platform {

struct NativeWindow;

// Whole pixels; a rectangle is x, y, width, height.
struct WindowPoint {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPoint&) const = default;
};

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Virtual-key numbers that the platform reports and answers for (the original platform's numbering).
namespace VirtualKey {
inline constexpr std::uint8_t kLeftButton = 0x01;
inline constexpr std::uint8_t kRightButton = 0x02;
inline constexpr std::uint8_t kMiddleButton = 0x04;
inline constexpr std::uint8_t kShift = 0x10;
inline constexpr std::uint8_t kControl = 0x11;
inline constexpr std::uint8_t kMenu = 0x12;
inline constexpr std::uint8_t kLeftWindows = 0x5B;
inline constexpr std::uint8_t kRightWindows = 0x5C;
inline constexpr std::uint8_t kLeftShift = 0xA0;
inline constexpr std::uint8_t kRightShift = 0xA1;
inline constexpr std::uint8_t kLeftControl = 0xA2;
inline constexpr std::uint8_t kRightControl = 0xA3;
inline constexpr std::uint8_t kLeftMenu = 0xA4;
inline constexpr std::uint8_t kRightMenu = 0xA5;
}  // namespace VirtualKey

// What a window back-end reports, in the order the desktop delivers it; points are in client coordinates.
class IWindowEventSink {
public:
    // Button 1 left, 2 middle, 4 right; time in milliseconds of the desktop's clock.
    virtual void OnButton(bool press, std::uint32_t button, WindowPoint point, std::uint32_t time) = 0;
    // Also when the pointer left the window with no button held: then the point lies outside the client area.
    virtual void OnPointerMoved(WindowPoint point) = 0;
    // One notch is 120; axis 0 vertical (positive away from the user), 1 horizontal (positive to the right).
    virtual void OnWheel(int axis, int delta, WindowPoint point) = 0;
    // A key went down or up while the window had the keyboard focus. Repeated: it was down already. Alt held is
    // the context bit of the original key messages; system keys are those typed with Alt, and F10.
    virtual void OnKey(std::uint8_t virtualKey, bool down, bool repeated, bool altHeld, bool system) = 0;
    // One UTF-16 unit of typed text; a character beyond the first plane comes as two.
    virtual void OnCharacter(std::uint16_t unit, bool altHeld) = 0;
    virtual void OnFocusChanged(bool gained) = 0;
    virtual void OnResized(int width, int height) = 0;
    virtual void OnMoved() = 0;
    // A part of the client area must be drawn again; several may come before the queue is empty.
    virtual void OnExposed(WindowRect rect) = 0;
    // The desktop asks to close the window (its close box, or the window manager's close key).
    virtual void OnCloseRequested() = 0;
    // The window went away without being asked to (another client destroyed it).
    virtual void OnLost() = 0;

protected:
    ~IWindowEventSink() = default;
};

// One top-level window of the desktop as the framework's OS window uses it: geometry, visibility, focus, pointer and
// key state, cursor, title and size limits. The client area is the whole window: its frame belongs to the window
// manager. User-interface thread only.
class IWindowBackEnd {
public:
    virtual ~IWindowBackEnd() = default;

    // Where the window's events go; null stops them.
    virtual void SetEventSink(IWindowEventSink* sink) = 0;
    // The record renderers draw through; null once the window is gone.
    virtual const NativeWindow* GetNativeWindow() const = 0;
    virtual bool Exists() const = 0;

    virtual bool SetTitle(const std::string& utf8Title) = 0;
    // The picture the desktop shows for the window: straight 0xAARRGGBB pixels, rows from the top.
    virtual void SetIcon(int width, int height, const std::uint32_t* pixels) = 0;
    virtual WindowPoint GetClientSize() const = 0;
    // Where the client area's corner lies on the screen.
    virtual WindowPoint GetClientOrigin() const = 0;
    virtual WindowRect GetWorkArea() const = 0;
    // The client area's place and size on the screen.
    virtual void MoveResize(const WindowRect& screenRect) = 0;
    // Sizes the window manager lets the user drag the window to; equal limits fix the size.
    virtual void SetSizeLimits(WindowPoint minimum, WindowPoint maximum) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Show(bool show) = 0;
    virtual void Raise() = 0;
    virtual void SetTopMost(bool topMost) = 0;
    // Keeps the window above the other one and tells the window manager it is modal to it; null for none.
    virtual void SetModalFor(const IWindowBackEnd* owner) = 0;

    // Active: the window has the keyboard focus or was just clicked.
    virtual bool IsActive() const = 0;
    virtual bool HasFocus() const = 0;
    virtual void TakeFocus() = 0;

    virtual void SetCursor(std::uintptr_t cursor) = 0;
    // A cursor by its framework name ("UI_CURSOR_ARROW"); the arrow for a name without a cursor of its own.
    virtual std::uintptr_t LoadCursor(const char* name) = 0;
    virtual WindowPoint GetPointerPosition() const = 0;
    // Whether the key (or mouse button, by its virtual key) is down now, as this program saw it.
    virtual bool IsKeyDown(std::uint8_t virtualKey) const = 0;

    virtual void Destroy() = 0;
};

}  // namespace ZV::Platform
