#include "Platform/DesktopWindows.h"

#include "Platform/NativeWindow.h"
#include "Platform/X11Clipboard.h"
#include "Platform/X11EventDispatcher.h"
#include "Platform/X11Painting.h"
#include "Platform/X11TopLevelWindow.h"

#include <map>

namespace ZV::Platform {

namespace {

std::map<int, VisualChooser>& GetVisualChoosers()
{
    static std::map<int, VisualChooser> choosers;
    return choosers;
}

// Also once its connection is lost.
X11EventDispatcher* GetDesktopConnection()
{
    static const std::unique_ptr<X11EventDispatcher> desktop = X11EventDispatcher::Open();
    return desktop.get();
}

// Null once the connection is lost: a lost desktop is no desktop.
X11EventDispatcher* GetDesktop()
{
    X11EventDispatcher* desktop = GetDesktopConnection();
    return desktop != nullptr && !desktop->IsConnectionLost() ? desktop : nullptr;
}

int gPointerShowCount = 0;

struct WindowEndSearch {
    const X11Atoms& atoms;
    Window window;
    bool found = false;
};

// Takes no event, so that the queue stays as it is: it only notes a close request of the window searched for, or the
// window's destruction.
Bool NoteWindowEnd(Display*, XEvent* event, XPointer argument)
{
    auto& search = *reinterpret_cast<WindowEndSearch*>(argument);
    const XClientMessageEvent& message = event->xclient;
    if (event->type == ClientMessage && message.window == search.window &&
        message.message_type == search.atoms.wmProtocols && message.format == 32 &&
        static_cast<Atom>(message.data.l[0]) == search.atoms.wmDeleteWindow) {
        search.found = true;
    }
    if (event->type == DestroyNotify && event->xdestroywindow.window == search.window) {
        search.found = true;
    }
    return False;
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

bool IsDesktopLost()
{
    const X11EventDispatcher* desktop = GetDesktopConnection();
    return desktop != nullptr && desktop->IsConnectionLost();
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
    windowOptions.frame = options.frame;
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

bool IsWindowEndWaiting(const NativeWindow* window)
{
    X11EventDispatcher* desktop = GetDesktopConnection();
    if (desktop == nullptr || window == nullptr || window->window == None) {
        return false;
    }
    if (desktop->IsConnectionLost()) {
        return true;
    }
    WindowEndSearch search{desktop->GetAtoms(), window->window};
    XEvent unused;
    (void)XCheckIfEvent(desktop->GetDisplay(), &unused, &NoteWindowEnd, reinterpret_cast<XPointer>(&search));
    // Reading may be what finds the connection lost.
    return search.found || desktop->IsConnectionLost();
}

bool IsDesktopKeyDown(std::uint8_t virtualKey)
{
    const X11EventDispatcher* desktop = GetDesktop();
    return desktop != nullptr && desktop->QueryKeyDown(virtualKey);
}

bool IsDesktopKeyToggled(std::uint8_t virtualKey)
{
    const X11EventDispatcher* desktop = GetDesktop();
    return desktop != nullptr && desktop->QueryLockKeyOn(virtualKey);
}

WindowPoint GetDesktopPointerPosition()
{
    const X11EventDispatcher* desktop = GetDesktop();
    if (desktop == nullptr) {
        return {};
    }
    Display* display = desktop->GetDisplay();
    Window root = None;
    Window child = None;
    WindowPoint point;
    int x = 0;
    int y = 0;
    unsigned int state = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &point.x, &point.y, &x, &y, &state);
    return point;
}

bool MoveDesktopPointer(WindowPoint point)
{
    const X11EventDispatcher* desktop = GetDesktop();
    if (desktop == nullptr) {
        return false;
    }
    Display* display = desktop->GetDisplay();
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, point.x, point.y);
    XFlush(display);
    return true;
}

WindowRect GetDesktopWorkArea()
{
    const X11EventDispatcher* desktop = GetDesktop();
    return desktop != nullptr ? ReadDesktopWorkArea(desktop->GetDisplay()) : WindowRect{};
}

int ShowDesktopPointer(bool show)
{
    gPointerShowCount += show ? 1 : -1;
    if (X11EventDispatcher* desktop = GetDesktop()) {
        desktop->SetPointerHidden(gPointerShowCount < 0);
    }
    return gPointerShowCount;
}

}  // namespace ZV::Platform
