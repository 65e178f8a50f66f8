#pragma once

#include <memory>

struct _XDisplay;

namespace ZV::Platform {

// One connection to the X server, closed with the object. Xlib is made thread-safe before the first connection
// opens, since the splash has a thread and a connection of its own; a request the server refuses is logged, not
// fatal.
class DisplayConnection {
public:
    // The display that $DISPLAY names; null when it is not set or the server cannot be reached.
    static std::unique_ptr<DisplayConnection> Open();

    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    ~DisplayConnection();

    _XDisplay* GetDisplay() const { return mDisplay; }

private:
    explicit DisplayConnection(_XDisplay* display) : mDisplay(display) {}

    _XDisplay* mDisplay;
};

}  // namespace ZV::Platform
