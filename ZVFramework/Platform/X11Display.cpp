#include "Platform/X11Display.h"

#include "Platform/DebuggerOutput.h"

#include <cstdio>
#include <mutex>
#include <vector>

#include <X11/Xlib.h>
// The request counters of a connection, which no public call sets. Last: it defines min and max.
#include <X11/Xlibint.h>
#undef min
#undef max

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

// Xlib's own handler would end the process here; returning hands the loss to the connection's exit handler, which
// marks it. The connection is not touched: it is gone.
int LogLostConnection(Display*)
{
    WriteDebuggerOutput("X11: the connection to the display was lost\n");
    return 0;
}

// Every request on a lost connection counts as done, as soon as it is made: code that waits until the server has
// processed a request (Cairo does, for its shared-memory images) would otherwise wait for ever.
int CountRequestsDone(Display* display)
{
    X_DPY_SET_LAST_REQUEST_READ(display, X_DPY_GET_REQUEST(display));
    return 0;
}

// Lost connections are never closed: the close runs the extensions' and Cairo's hooks, which talk to a server that
// is gone, and one of them crashes. Kept here to the process's end, the connection is no leak.
void KeepLostDisplay(Display* display)
{
    static std::mutex lock;
    static auto* const kept = new std::vector<Display*>;
    const std::lock_guard<std::mutex> guard(lock);
    kept->push_back(display);
}

}  // namespace

std::unique_ptr<DisplayConnection> DisplayConnection::Open()
{
    static std::once_flag threadsInitialized;
    std::call_once(threadsInitialized, [] {
        XInitThreads();
        XSetErrorHandler(LogRequestError);
        XSetIOErrorHandler(LogLostConnection);
    });
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    std::unique_ptr<DisplayConnection> connection(new DisplayConnection(display));
    XSetIOErrorExitHandler(display, &DisplayConnection::MarkLost, connection.get());
    return connection;
}

void DisplayConnection::MarkLost(Display* display, void* connection)
{
    (void)CountRequestsDone(display);
    XSetAfterFunction(display, &CountRequestsDone);
    static_cast<DisplayConnection*>(connection)->mLost.store(true);
}

DisplayConnection::~DisplayConnection()
{
    if (IsLost()) {
        KeepLostDisplay(mDisplay);
        return;
    }
    XCloseDisplay(mDisplay);
}

}  // namespace ZV::Platform
