#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

struct _XDisplay;
struct _XrmHashBucketRec;

namespace ZV::Platform {

// One connection to the X server, closed with the object. Xlib is made thread-safe before the first connection
// opens, since the splash has a thread and a connection of its own; a request the server refused is logged, not
// fatal. A connection the server ends (another client killed it, or the server itself ended) is marked lost instead
// of ending the process, also while it opens: from then on Xlib sends nothing on it, answers every question with
// nothing, counts every request as done and drops what the request would have sent, and its owner stops using it.
// Xlib keeps a lost connection to the thread that met the loss, the one thread that uses it; it is left open when the
// object goes. Xlib reads resources from the judged files alone (Platform/X11Resources.h).
class DisplayConnection {
public:
    // The display that $DISPLAY names; null when it is not set, the server cannot be reached, the server ends while
    // the connection opens, or it takes the connection and does not answer within kAnswerSeconds (a hung server, a
    // forwarded connection whose far end died): a display that did not answer is not asked again.
    static std::unique_ptr<DisplayConnection> Open();
    static constexpr int kAnswerSeconds = 10;

    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    ~DisplayConnection();

    _XDisplay* GetDisplay() const { return mDisplay; }
    // Set by the thread whose call met the end of the connection; any thread may look.
    bool IsLost() const { return mLost.load(); }

private:
    DisplayConnection(_XDisplay* display, _XrmHashBucketRec* resources) : mDisplay(display), mResources(resources) {}

    static void MarkLost(_XDisplay* display, void* connection);

    _XDisplay* mDisplay;
    // The connection's resources (Platform/X11Resources.h), kept with a lost connection.
    _XrmHashBucketRec* mResources;
    std::atomic<bool> mLost{false};
};

// Sets a property of 32-bit items (longs, as Xlib hands them over) in requests that each fit Xlib's smallest request
// buffer: one request larger than the buffer spins for ever in Xlib when the connection is lost while it is sent.
void ChangeLongProperty(_XDisplay* display, unsigned long window, unsigned long property, unsigned long type,
                        const unsigned long* items, std::size_t count);

}  // namespace ZV::Platform
