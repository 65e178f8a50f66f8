#pragma once

#include "System/WindowOSServices.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class IRootWindowTarget;

// What OS windows ask of the application: the list of root windows (the first is the main one), its idle
// processing, and what a second instance hands over. User-interface thread only.
class IWindowHost {
public:
    virtual void AddRootWindow(IRootWindowTarget* rootWindow) = 0;
    virtual void RemoveRootWindow(IRootWindowTarget* rootWindow) = 0;
    virtual bool IsMainRootWindow(const IRootWindowTarget* rootWindow) const = 0;
    // The last added root window whose OS window is active; null when none is.
    virtual IRootWindowTarget* GetActiveRootWindow() = 0;
    // The first root window of the list; null while there is none.
    virtual IRootWindowTarget* GetFirstRootWindow() { return nullptr; }
    // True when more idle processing is wanted.
    virtual bool ProcessIdle(bool firstCall) = 0;
    // The command line of a second instance, given to an enabled main window.
    virtual void OnDataCopy(const WideString& text) = 0;
    // The name the main window is known by: its window class, and the folder of its saved placement.
    virtual WideString GetWindowClassName() const = 0;

    // --- What root windows ask of the desktop through the application; a host without a desktop answers as the
    // defaults do. ---

    // The part of the screen that windows may take, in screen coordinates; empty when unknown.
    virtual RectT<zlong> GetWorkArea() { return {}; }
    // Whether the key (or mouse button, by its virtual key) is down now.
    virtual bool IsKeyDown(std::uint8_t virtualKey)
    {
        (void)virtualKey;
        return false;
    }
    // The desktop's cursor for a cursor name ("UI_CURSOR_ARROW"); 0 when there is none.
    virtual CursorHandle GetNamedCursor(const wchar_t* name)
    {
        (void)name;
        return 0;
    }
    // Gives the keyboard focus to the root window after this one in the list (backward: before it), going round,
    // unless that one is active. False, doing nothing, while the list holds fewer than two root windows.
    virtual bool FocusNextRootWindow(const IRootWindowTarget* from, bool backward)
    {
        (void)from;
        (void)backward;
        return false;
    }

protected:
    ~IWindowHost() = default;
};

// The application that OS windows report to; null until the application sets itself.
IWindowHost* GetWindowHost();
void SetWindowHost(IWindowHost* host);

}  // namespace ZV
