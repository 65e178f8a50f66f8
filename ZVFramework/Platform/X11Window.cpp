#include "Platform/X11Window.h"

#include "Platform/NativeWindow.h"
#include "Platform/X11Display.h"

#include <poll.h>

#include <chrono>

namespace ZV::Platform {

namespace {

// How long the server may take to map or resize a window before we give up on it.
constexpr std::chrono::milliseconds kServerWait{5000};

// Waits for the window's structure event that the predicate accepts, reading the connection until the wait ends.
template <class Predicate>
bool WaitForStructureEvent(Display* display, Window window, Predicate accepts)
{
    const auto deadline = std::chrono::steady_clock::now() + kServerWait;
    for (;;) {
        XEvent event;
        while (XCheckWindowEvent(display, window, StructureNotifyMask, &event)) {
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

X11Window::X11Window(std::unique_ptr<NativeWindow> window) : mWindow(std::move(window)) {}

std::unique_ptr<X11Window> X11Window::Create(DisplayConnection& connection, int width, int height)
{
    Display* display = connection.GetDisplay();
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True;
    attributes.backing_store = Always;
    attributes.event_mask = StructureNotifyMask;
    auto record = std::make_unique<NativeWindow>();
    record->display = display;
    record->visual = DefaultVisual(display, screen);
    record->depth = DefaultDepth(display, screen);
    record->window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, record->depth, InputOutput, record->visual,
                                   CWBackPixel | CWOverrideRedirect | CWBackingStore | CWEventMask, &attributes);
    std::unique_ptr<X11Window> window(new X11Window(std::move(record)));
    XMapRaised(display, window->mWindow->window);
    if (!WaitForStructureEvent(display, window->mWindow->window,
                               [](const XEvent& event) { return event.type == MapNotify; })) {
        return nullptr;
    }
    return window;
}

X11Window::~X11Window()
{
    XDestroyWindow(mWindow->display, mWindow->window);
    XFlush(mWindow->display);
}

bool X11Window::Resize(int width, int height)
{
    XResizeWindow(mWindow->display, mWindow->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    return WaitForStructureEvent(mWindow->display, mWindow->window, [&](const XEvent& event) {
        return event.type == ConfigureNotify && event.xconfigure.width == width && event.xconfigure.height == height;
    });
}

}  // namespace ZV::Platform
