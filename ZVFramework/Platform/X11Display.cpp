#include "Platform/X11Display.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/X11Resources.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <xcb/xcb.h>
// The request counters and the request buffer of a connection, which no public call sets. Last: it defines min and
// max.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace ZV::Platform {

namespace {

constexpr std::chrono::seconds kAnswerWait{DisplayConnection::kAnswerSeconds};

// Taken by every connection while it opens, for its authorisation: libXau reads the user's authority file into a
// buffer of its own, which two opens at once would share. A connection that gets no answer keeps its turn, and an open
// that waits for a turn longer than a display may take to answer gives up.
class OpeningTurn {
public:
    bool Take()
    {
        std::unique_lock<std::mutex> guard(mLock);
        if (!mGiven.wait_for(guard, kAnswerWait, [this] { return !mTaken; })) {
            return false;
        }
        mTaken = true;
        return true;
    }
    void Give()
    {
        {
            const std::lock_guard<std::mutex> guard(mLock);
            mTaken = false;
        }
        mGiven.notify_one();
    }

private:
    std::mutex mLock;
    std::condition_variable mGiven;
    bool mTaken = false;
};

OpeningTurn gOpening;

// Set while this thread opens a connection: where a loss in the open returns to.
thread_local std::jmp_buf* tOpening = nullptr;

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

// Lost connections are never closed: the close runs the extensions' and Cairo's hooks, which talk to a server that
// is gone, and one of them crashes. Kept here to the process's end, the connection is no leak.
void KeepLostDisplay(Display* display)
{
    static std::mutex lock;
    static auto* const kept = new std::vector<Display*>;
    const std::lock_guard<std::mutex> guard(lock);
    kept->push_back(display);
}

// Xlib's own handler would end the process here; returning hands the loss to the connection's exit handler, which
// marks it. The connection is not touched: it is gone. A connection still opening has no exit handler of its own
// yet, and Xlib's would end the process: the open is left instead, with nothing of it used again.
int LogLostConnection(Display* display)
{
    WriteDebuggerOutput("X11: the connection to the display was lost\n");
    if (tOpening != nullptr) {
        KeepLostDisplay(display);
        std::longjmp(*tOpening, 1);
    }
    return 0;
}

Display* OpenUnlessLost()
{
    if (!gOpening.Take()) {
        return nullptr;
    }
    std::jmp_buf lost;
    if (setjmp(lost) != 0) {
        tOpening = nullptr;
        gOpening.Give();
        return nullptr;
    }
    tOpening = &lost;
    Display* display = XOpenDisplay(nullptr);
    tOpening = nullptr;
    gOpening.Give();
    return display;
}

// Matches no request, so that nothing is merged into a request that was dropped.
xReq gNoRequest{};

// Every request on a lost connection counts as done as soon as it is made, and what it would have sent is dropped:
// code that waits until the server has processed a request (Cairo does, for its shared-memory images) would otherwise
// wait for ever, and Xlib, which sends nothing more, would fill its request buffer and then spin in the first request
// whose data no longer fits.
int ForgetRequests(Display* display)
{
    X_DPY_SET_LAST_REQUEST_READ(display, X_DPY_GET_REQUEST(display));
    display->bufptr = display->buffer;
    display->last_req = reinterpret_cast<char*>(&gNoRequest);
    return 0;
}

enum class Answer { kAnswered, kRefused, kSilent };

// What the display said to a connection of XCB's own, and that connection once it answered. It stays open until the
// program's own connection is: a server whose last client leaves resets, and refuses the connections that come while
// it does. Closed by whichever of the asking thread and the caller lets go last.
struct DisplayProbe {
    ~DisplayProbe()
    {
        if (connection != nullptr) {
            xcb_disconnect(connection);
        }
    }

    std::mutex lock;
    std::condition_variable given;
    std::optional<bool> answered;
    xcb_connection_t* connection = nullptr;
};

// Whether the display that $DISPLAY names answers a connection and one request, asked on a connection of XCB's own:
// XOpenDisplay would wait for an answer for ever, holding Xlib's global lock, which every later open needs. A
// connection that gets no answer is left to its thread, which ends when the server answers or goes.
Answer AskDisplay(std::shared_ptr<DisplayProbe>& probe)
{
    probe = std::make_shared<DisplayProbe>();
    try {
        std::thread([probe] {
            if (!gOpening.Take()) {
                return;
            }
            xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
            gOpening.Give();
            if (xcb_connection_has_error(connection) == 0) {
                std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            }
            const bool answered = xcb_connection_has_error(connection) == 0;
            {
                const std::lock_guard<std::mutex> guard(probe->lock);
                probe->answered = answered;
                probe->connection = connection;
            }
            probe->given.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread to ask on, XOpenDisplay asks.
        return Answer::kAnswered;
    }
    std::unique_lock<std::mutex> guard(probe->lock);
    if (!probe->given.wait_for(guard, kAnswerWait, [&probe] { return probe->answered.has_value(); })) {
        return Answer::kSilent;
    }
    return *probe->answered ? Answer::kAnswered : Answer::kRefused;
}

// Whether a connection may be opened: the display answers, and did not leave an earlier one unanswered. The probe
// that answered is to be kept until the connection is open.
bool DisplayAnswers(std::shared_ptr<DisplayProbe>& probe)
{
    static std::mutex lock;
    static std::optional<std::string> silentDisplay;
    const char* name = std::getenv("DISPLAY");
    const std::string display = name != nullptr ? name : "";
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (silentDisplay == display) {
            return false;
        }
    }
    const Answer answer = AskDisplay(probe);
    if (answer == Answer::kSilent) {
        WriteDebuggerOutput("X11: the display took the connection and did not answer\n");
        const std::lock_guard<std::mutex> guard(lock);
        silentDisplay = display;
    }
    return answer == Answer::kAnswered;
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
    std::shared_ptr<DisplayProbe> probe;
    Display* display = DisplayAnswers(probe) ? OpenUnlessLost() : nullptr;
    if (display == nullptr) {
        return nullptr;
    }
    // Before anyone asks the connection for a resource, which would have Xlib read the files unjudged.
    XrmDatabase resources = MakeJudgedResourceDatabase(display);
    XrmSetDatabase(display, resources);
    std::unique_ptr<DisplayConnection> connection(new DisplayConnection(display, resources));
    XSetIOErrorExitHandler(display, &DisplayConnection::MarkLost, connection.get());
    return connection;
}

void DisplayConnection::MarkLost(Display* display, void* connection)
{
    (void)ForgetRequests(display);
    XSetAfterFunction(display, &ForgetRequests);
    static_cast<DisplayConnection*>(connection)->mLost.store(true);
}

DisplayConnection::~DisplayConnection()
{
    if (IsLost()) {
        KeepLostDisplay(mDisplay);
        return;
    }
    XCloseDisplay(mDisplay);
    XrmDestroyDatabase(mResources);
}

void ChangeLongProperty(Display* display, Window window, Atom property, Atom type, const unsigned long* items,
                        std::size_t count)
{
    // Once the connection is lost Xlib empties its buffer no more, and a piece that does not fit spins: each fits
    // the smallest buffer with room to spare.
    constexpr std::size_t kItemsPerRequest = (BUFSIZE / 2 - sz_xChangePropertyReq) / 4;
    std::size_t done = 0;
    do {
        const std::size_t piece = std::min(kItemsPerRequest, count - done);
        XChangeProperty(display, window, property, type, 32, done == 0 ? PropModeReplace : PropModeAppend,
                        reinterpret_cast<const unsigned char*>(items + done), static_cast<int>(piece));
        done += piece;
    } while (done < count);
}

}  // namespace ZV::Platform
