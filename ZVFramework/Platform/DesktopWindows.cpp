#include "Platform/DesktopWindows.h"

#include "Platform/X11Clipboard.h"
#include "Platform/X11EventDispatcher.h"
#include "Platform/X11TopLevelWindow.h"

#include <map>

namespace ZV::Platform {

namespace {

std::map<int, VisualChooser>& GetVisualChoosers()
{
    static std::map<int, VisualChooser> choosers;
    return choosers;
}

X11EventDispatcher* GetDesktop()
{
    static const std::unique_ptr<X11EventDispatcher> desktop = X11EventDispatcher::Open();
    return desktop.get();
}

}  // namespace

void SetVisualChooser(int rendererKind, VisualChooser chooser)
{
    GetVisualChoosers()[rendererKind] = chooser;
}

IEventSource* GetDesktopEventSource()
{
    return GetDesktop();
}

std::unique_ptr<IWindowBackEnd> CreateDesktopWindow(const DesktopWindowOptions& options)
{
    X11EventDispatcher* desktop = GetDesktop();
    if (desktop == nullptr) {
        return nullptr;
    }
    TopLevelWindowOptions windowOptions;
    windowOptions.width = options.width;
    windowOptions.height = options.height;
    windowOptions.className = options.className;
    const auto chooser = GetVisualChoosers().find(options.rendererKind);
    if (chooser != GetVisualChoosers().end()) {
        Display* display = desktop->GetDisplay();
        if (!chooser->second(display, DefaultScreen(display), windowOptions.visual, windowOptions.depth)) {
            windowOptions.visual = nullptr;
        }
    }
    return X11TopLevelWindow::Create(*desktop, windowOptions);
}

IClipboardService* GetDesktopClipboard()
{
    // Made after the connection, so it goes before the connection closes.
    static const std::unique_ptr<X11Clipboard> clipboard =
        GetDesktop() != nullptr ? X11Clipboard::Create(*GetDesktop()) : nullptr;
    return clipboard.get();
}

}  // namespace ZV::Platform
