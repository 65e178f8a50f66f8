#include "MessageBoxDriver.h"

#include "Platform/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>

namespace ZV::Testing {

namespace {

void Send(Display* display, unsigned long window, XEvent& event)
{
    event.xany.window = window;
    event.xany.display = display;
    XSendEvent(display, window, False, 0, &event);
    XFlush(display);
}

XEvent Button(Display* display, int type, int x, int y)
{
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    return event;
}

}  // namespace

std::string MessageBoxDriver::Title(unsigned long window) const
{
    Display* display = mConnection.GetDisplay();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024, False,
                       XInternAtom(display, "UTF8_STRING", False), &type, &format, &count, &left, &data);
    const std::string title = data == nullptr ? std::string() : std::string(reinterpret_cast<char*>(data), count);
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

std::vector<std::uint32_t> MessageBoxDriver::Pixels(unsigned long window, int width, int height) const
{
    Display* display = mConnection.GetDisplay();
    XSync(display, False);
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
        }
    }
    XDestroyImage(image);
    return pixels;
}

void MessageBoxDriver::PressKey(unsigned long window, const char* keysym) const
{
    Display* display = mConnection.GetDisplay();
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.keycode = XKeysymToKeycode(display, XStringToKeysym(keysym));
    event.xkey.same_screen = True;
    Send(display, window, event);
}

void MessageBoxDriver::PressButton(unsigned long window, int x, int y) const
{
    XEvent event = Button(mConnection.GetDisplay(), ButtonPress, x, y);
    Send(mConnection.GetDisplay(), window, event);
}

void MessageBoxDriver::ReleaseButton(unsigned long window, int x, int y) const
{
    XEvent event = Button(mConnection.GetDisplay(), ButtonRelease, x, y);
    Send(mConnection.GetDisplay(), window, event);
}

void MessageBoxDriver::Close(unsigned long window) const
{
    Display* display = mConnection.GetDisplay();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    Send(display, window, event);
}

unsigned long MessageBoxDriver::CreateWindow() const
{
    Display* display = mConnection.GetDisplay();
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 100, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

void MessageBoxDriver::DestroyWindow(unsigned long window) const
{
    Display* display = mConnection.GetDisplay();
    XDestroyWindow(display, window);
    XSync(display, False);
}

int MessageBoxDriver::TakePendingInput(unsigned long window) const
{
    Display* display = mConnection.GetDisplay();
    XSync(display, False);
    int count = 0;
    XEvent event;
    while (XCheckWindowEvent(display, window, KeyPressMask | ButtonPressMask | ButtonReleaseMask, &event)) {
        ++count;
    }
    return count;
}

void MessageBoxDriver::WatchTopLevelWindows() const
{
    Display* display = mConnection.GetDisplay();
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
}

unsigned long MessageBoxDriver::WaitForMappedTopLevelWindow(int timeoutMs) const
{
    Display* display = mConnection.GetDisplay();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        XEvent event;
        if (XCheckTypedEvent(display, MapNotify, &event)) {
            return event.xmap.window;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return 0;
        }
        pollfd server{ConnectionNumber(display), POLLIN, 0};
        poll(&server, 1, static_cast<int>(left.count()));
    }
}

}  // namespace ZV::Testing
