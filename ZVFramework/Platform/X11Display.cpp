#include "Platform/X11Display.h"

#include "Platform/DebuggerOutput.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <mutex>

namespace ZV::Platform {

namespace {

// A request the server refused (a window another client destroyed under us, a focus it would not give) is logged;
// the program goes on.
int LogRequestError(Display* display, XErrorEvent* error)
{
    char description[128] = {};
    XGetErrorText(display, error->error_code, description, sizeof description);
    char line[256];
    std::snprintf(line, sizeof line, "X11: %s (request %d.%d, resource 0x%lx)\n", description, error->request_code,
                  error->minor_code, error->resourceid);
    WriteDebuggerOutput(line);
    return 0;
}

}  // namespace

std::unique_ptr<DisplayConnection> DisplayConnection::Open()
{
    static std::once_flag threadsInitialized;
    std::call_once(threadsInitialized, [] {
        XInitThreads();
        XSetErrorHandler(LogRequestError);
    });
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
