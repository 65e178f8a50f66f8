#pragma once

#include "Platform/ClipboardService.h"
#include "Platform/EventSource.h"
#include "Platform/WindowBackEnd.h"

#include <memory>
#include <string>

namespace ZV::Platform {

struct DesktopWindowOptions {
    int width = 640;
    int height = 480;
    // The class the desktop groups and remembers the window by.
    std::string className = "ZVWindow";
    // The renderer that draws into the window; the OpenGL renderer needs a visual of its own.
    int rendererKind = 1;
};

// The events of the desktop's windows, from the process's one connection to the desktop, opened on first use;
// null when there is no desktop.
IEventSource* GetDesktopEventSource();
// A new, hidden top-level window; null when there is no desktop or it refused the window.
std::unique_ptr<IWindowBackEnd> CreateDesktopWindow(const DesktopWindowOptions& options);
// The desktop's clipboard on that connection, made on first use; null when there is no desktop.
IClipboardService* GetDesktopClipboard();

}  // namespace ZV::Platform
