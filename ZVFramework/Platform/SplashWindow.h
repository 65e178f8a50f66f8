#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Platform {

// The picture a splash shows: straight-alpha pixels 0xAARRGGBB, row after row, width times height of them.
struct SplashPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// What the user-interface thread posts to the splash's thread, and what the two share.
struct SplashCommand;
struct SplashState;

// Milliseconds on a clock that never goes back; the splash's progress steps by it. Called on the splash's thread.
using SplashClock = std::function<std::uint64_t()>;

// A borderless window of the picture's size, centred in the desktop's work area, that shows the picture and, once
// asked, a progress bar along its bottom (4 pixels in from the sides, 20 up from the bottom, 16 high, 0..100). It
// runs on a thread of its own with its own connection to the X server, so that it keeps painting while the
// user-interface thread is busy starting the program; that thread only posts to it. The window's class is
// kWindowClass.
class SplashWindow {
public:
    static constexpr char kWindowClass[] = "SplashWnd";
    static constexpr std::uint32_t kTickMilliseconds = 250;

    // The clock is steady time unless one is given.
    SplashWindow(SplashPicture picture, std::string title, SplashClock clock = {});
    SplashWindow(const SplashWindow&) = delete;
    SplashWindow& operator=(const SplashWindow&) = delete;
    // Closes the window and waits for its thread.
    ~SplashWindow();

    // Starts the thread and waits, at most the time-out, until the window shows or the thread gave up (no display,
    // a window that cannot be made); whether it shows. Once only.
    bool Open(std::uint32_t timeoutMilliseconds);

    // The bar goes to `from` and then steps by (to - from) / (seconds * 4), once every kTickMilliseconds, seconds
    // * 4 times. With no seconds it stays at `from`.
    void StartProgress(int from, int to, int seconds);
    // The bar stops stepping and shows the position (kept within 0..100).
    void SetPosition(int position);
    // The bar's colour, 0xRRGGBB.
    void SetBarColor(std::uint32_t rgb);
    // The window goes, and its thread ends; returns once it has. Again: nothing.
    void Close();

private:
    void Post(const SplashCommand& command);

    std::shared_ptr<SplashState> mShared;
    std::thread mThread;
};

}  // namespace ZV::Platform
