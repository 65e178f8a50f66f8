#include "System/Gui/DesktopInput.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>

#include <chrono>

namespace ZV::Testing {

namespace {

constexpr std::chrono::seconds kServerWait{5};

// Waits for an event of the window that the predicate accepts, reading the connection until the wait ends.
template <class Predicate>
bool WaitForEvent(Display* display, Window window, long mask, Predicate accepts)
{
    const auto deadline = std::chrono::steady_clock::now() + kServerWait;
    for (;;) {
        XEvent event;
        while (XCheckWindowEvent(display, window, mask, &event)) {
            if (accepts(event)) {
                return true;
            }
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left.count()));
    }
}

}  // namespace

DesktopInput::DesktopInput(const char* displayName) : mDisplay(XOpenDisplay(displayName)) {}

DesktopInput::~DesktopInput()
{
    if (mDisplay != nullptr) {
        XCloseDisplay(mDisplay);
    }
}

void DesktopInput::Sync()
{
    XSync(mDisplay, False);
}

void DesktopInput::MoveTo(int x, int y)
{
    XTestFakeMotionEvent(mDisplay, -1, x, y, CurrentTime);
    Sync();
}

CursorImage DesktopInput::CursorAt(int x, int y)
{
    MoveTo(x, y);
    CursorImage image;
    if (XFixesCursorImage* shown = XFixesGetCursorImage(mDisplay)) {
        image = {shown->width, shown->height, shown->xhot, shown->yhot,
                 std::vector<unsigned long>(shown->pixels,
                                            shown->pixels + static_cast<std::size_t>(shown->width) * shown->height)};
        XFree(shown);
    }
    return image;
}

CursorImage DesktopInput::FontCursor(unsigned int shape)
{
    const int screen = DefaultScreen(mDisplay);
    const int x = DisplayWidth(mDisplay, screen) - 20;
    const int y = DisplayHeight(mDisplay, screen) - 20;
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.cursor = XCreateFontCursor(mDisplay, shape);
    const Window window = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, 20, 20, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWOverrideRedirect | CWCursor, &attributes);
    XMapRaised(mDisplay, window);
    XSync(mDisplay, False);
    const CursorImage image = CursorAt(x + 10, y + 10);
    XDestroyWindow(mDisplay, window);
    XFreeCursor(mDisplay, attributes.cursor);
    XSync(mDisplay, False);
    return image;
}

void DesktopInput::Button(unsigned int button, bool press)
{
    XTestFakeButtonEvent(mDisplay, button, press ? True : False, CurrentTime);
    Sync();
}

void DesktopInput::Click(unsigned int button)
{
    Button(button, true);
    Button(button, false);
}

void DesktopInput::Key(const char* keysymName, bool press)
{
    const KeyCode code = XKeysymToKeycode(mDisplay, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(mDisplay, code, press ? True : False, CurrentTime);
    Sync();
}

void DesktopInput::Tap(const char* keysymName)
{
    Key(keysymName, true);
    Key(keysymName, false);
}

void DesktopInput::RepeatKeysSoon()
{
    XAutoRepeatOn(mDisplay);
    XkbSetAutoRepeatRate(mDisplay, XkbUseCoreKbd, 50, 20);
    Sync();
}

void DesktopInput::RequestClose(unsigned long window)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(mDisplay, window, False, NoEventMask, &message);
    Sync();
}

void DesktopInput::DestroyWindow(unsigned long window)
{
    XDestroyWindow(mDisplay, window);
    Sync();
}

std::string DesktopInput::ReadTitle(unsigned long window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(mDisplay, window, XInternAtom(mDisplay, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(mDisplay, "UTF8_STRING", False), &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

std::vector<std::uint32_t> DesktopInput::ReadIcon(unsigned long window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<std::uint32_t> icon;
    if (XGetWindowProperty(mDisplay, window, XInternAtom(mDisplay, "_NET_WM_ICON", False), 0, 1 << 20, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        // Xlib hands format 32 items over as longs.
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        icon.assign(items, items + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return icon;
}

DesktopInput::SizeHints DesktopInput::ReadSizeHints(unsigned long window)
{
    XSizeHints hints{};
    long supplied = 0;
    SizeHints read;
    if (XGetWMNormalHints(mDisplay, window, &hints, &supplied) == 0) {
        return read;
    }
    if ((hints.flags & PMinSize) != 0) {
        read.minimumWidth = hints.min_width;
        read.minimumHeight = hints.min_height;
    }
    if ((hints.flags & PMaxSize) != 0) {
        read.maximumWidth = hints.max_width;
        read.maximumHeight = hints.max_height;
    }
    read.staticGravity = (hints.flags & PWinGravity) != 0 && hints.win_gravity == StaticGravity;
    return read;
}

bool DesktopInput::TakeFocusToOwnWindow()
{
    if (mOwnWindow == 0) {
        mOwnWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 600, 600, 50, 50, 0, 0, 0);
        XSelectInput(mDisplay, mOwnWindow, StructureNotifyMask | FocusChangeMask | KeyPressMask);
        XMapWindow(mDisplay, mOwnWindow);
        if (!WaitForEvent(mDisplay, mOwnWindow, StructureNotifyMask,
                          [](const XEvent& event) { return event.type == MapNotify; })) {
            return false;
        }
    }
    XSetInputFocus(mDisplay, mOwnWindow, RevertToPointerRoot, CurrentTime);
    Sync();
    return WaitForEvent(mDisplay, mOwnWindow, FocusChangeMask,
                        [](const XEvent& event) { return event.type == FocusIn; });
}

void DesktopInput::GiveFocusTo(unsigned long window)
{
    XSetInputFocus(mDisplay, window, RevertToPointerRoot, CurrentTime);
    Sync();
}

bool DesktopInput::WaitForOwnKeyPress()
{
    return WaitForEvent(mDisplay, mOwnWindow, KeyPressMask, [](const XEvent& event) { return event.type == KeyPress; });
}

}  // namespace ZV::Testing
