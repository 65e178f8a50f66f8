#pragma once

#include "Platform/ClipboardService.h"
#include "Platform/EventSource.h"
#include "Platform/WindowBackEnd.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ZV::Platform {

// What the window manager offers on a window's frame; by default what it offers any window. A window that is not
// resizable keeps the size the program gives it.
struct WindowFrame {
    // With the window menu.
    bool closeBox = true;
    bool minimiseBox = true;
    bool maximiseBox = true;
    bool resizable = true;

    bool operator==(const WindowFrame&) const = default;
};

struct DesktopWindowOptions {
    int width = 640;
    int height = 480;
    // The class the desktop groups and remembers the window by.
    std::string className = "ZVWindow";
    // The renderer that draws into the window; the OpenGL renderer needs a visual of its own.
    int rendererKind = 1;
    WindowFrame frame;
};

// The events of the desktop's windows, from the process's one connection to the desktop, opened on first use;
// null when there is no desktop. A connection that the server ends (another client killed it, the server ended) is
// lost for good: the windows on it go as if another client had destroyed them, and from then on there is no desktop.
IEventSource* GetDesktopEventSource();
// The desktop's connection was open and is lost.
bool IsDesktopLost();
// A new, hidden top-level window; null when there is no desktop or it refused the window.
std::unique_ptr<IWindowBackEnd> CreateDesktopWindow(const DesktopWindowOptions& options);
// The desktop's clipboard on that connection, made on first use; null when there is no desktop.
IClipboardService* GetDesktopClipboard();
// Whether the window's end waits in what the loop has not handled yet: the desktop asked to close it (its close box,
// or the window manager's close key), another client destroyed it, or the connection to the desktop is lost. What the
// server has sent is read first, without waiting for more; every event stays queued, in its order. False without a
// desktop. User-interface thread only.
bool IsWindowEndWaiting(const NativeWindow* window);

// --- The desktop as its server has it now, whatever window the pointer or the keyboard is in. Without a desktop
// keys are up, the pointer lies at (0, 0) and the work area is empty. ---

// Whether the key (or mouse button, by its virtual key) is down.
bool IsDesktopKeyDown(std::uint8_t virtualKey);
// Whether a lock key (Caps Lock 0x14, Num Lock 0x90, Scroll Lock 0x91) is on; false for any other key.
bool IsDesktopKeyToggled(std::uint8_t virtualKey);
WindowPoint GetDesktopPointerPosition();
// Puts the pointer at the point of the screen; false without a desktop.
bool MoveDesktopPointer(WindowPoint point);
WindowRect GetDesktopWorkArea();
// The pointer's show count, which starts at 0: showing adds one, hiding takes one away, and while the count is
// below 0 the pointer is hidden over the program's windows. Returns the new count. User-interface thread only.
int ShowDesktopPointer(bool show);

}  // namespace ZV::Platform
