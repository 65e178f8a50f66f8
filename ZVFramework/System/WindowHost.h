#pragma once

#include "Utilities/Storage/StringT.h"

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
    // True when more idle processing is wanted.
    virtual bool ProcessIdle(bool firstCall) = 0;
    // The command line of a second instance, given to an enabled main window.
    virtual void OnDataCopy(const WideString& text) = 0;
    // The name the main window is known by: its window class, and the folder of its saved placement.
    virtual WideString GetWindowClassName() const = 0;

protected:
    ~IWindowHost() = default;
};

// The application that OS windows report to; null until the application sets itself.
IWindowHost* GetWindowHost();
void SetWindowHost(IWindowHost* host);

}  // namespace ZV
