#pragma once

#include <memory>

namespace ZV::Platform {

class DisplayConnection;
struct NativeWindow;

// A plain top-level window on the connection's default screen and visual, placed at the screen's corner and left
// alone by window managers: the least a renderer needs to draw into a real window.
class X11Window {
public:
    // Mapped and viewable when it returns; null when the server refused it or did not show it within a few seconds.
    static std::unique_ptr<X11Window> Create(DisplayConnection& connection, int width, int height);

    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;
    ~X11Window();

    // The record that render contexts of this window point to; it lives as long as the window object.
    const NativeWindow& GetNativeWindow() const { return *mWindow; }

    // Whether the server took the new size within a few seconds.
    bool Resize(int width, int height);

private:
    explicit X11Window(std::unique_ptr<NativeWindow> window);

    std::unique_ptr<NativeWindow> mWindow;
};

}  // namespace ZV::Platform
