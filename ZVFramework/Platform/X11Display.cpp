#include "Platform/X11Display.h"

#include <X11/Xlib.h>

#include <mutex>

namespace ZV::Platform {

std::unique_ptr<DisplayConnection> DisplayConnection::Open()
{
    static std::once_flag threadsInitialized;
    std::call_once(threadsInitialized, [] { XInitThreads(); });
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<DisplayConnection>(new DisplayConnection(display));
}

DisplayConnection::~DisplayConnection()
{
    XCloseDisplay(mDisplay);
}

}  // namespace ZV::Platform
