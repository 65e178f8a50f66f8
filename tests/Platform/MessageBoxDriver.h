#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZV::Platform {
class DisplayConnection;
}  // namespace ZV::Platform

namespace ZV::Testing {

// What a user does to a message box, done through a test's own X connection (events sent as the server would
// deliver them); kept apart from the tests so that they need no X header.
class MessageBoxDriver {
public:
    explicit MessageBoxDriver(Platform::DisplayConnection& connection) : mConnection(connection) {}

    // The window's _NET_WM_NAME.
    std::string Title(unsigned long window) const;
    // 0xRRGGBB, rows from the top.
    std::vector<std::uint32_t> Pixels(unsigned long window, int width, int height) const;
    // The key of the keysym's name ("Return", "Escape") pressed over the window.
    void PressKey(unsigned long window, const char* keysym) const;
    void PressButton(unsigned long window, int x, int y) const;
    void ReleaseButton(unsigned long window, int x, int y) const;
    // The window manager's close.
    void Close(unsigned long window) const;
    // A top-level window of this connection's own, mapped: one that a message box can stand in front of.
    unsigned long CreateWindow() const;
    void DestroyWindow(unsigned long window) const;
    // Input events of the window still queued on the connection; taken from the queue.
    int TakePendingInput(unsigned long window) const;

    // Starts watching for new top-level windows, then waits up to the time-out for one to be mapped; 0 when none
    // was.
    void WatchTopLevelWindows() const;
    unsigned long WaitForMappedTopLevelWindow(int timeoutMs) const;

private:
    Platform::DisplayConnection& mConnection;
};

}  // namespace ZV::Testing
