#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Platform/SplashWindow.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace ZV {

class LBitmap;

// The picture with a progress bar that shows while the program starts. Its window runs on a thread of its own, so
// that it keeps showing while the user-interface thread is busy; the user-interface thread only posts to it. A
// splash without a picture shows nothing and holds nothing up. User-interface thread only.
class LSplash {
public:
    // How long the start waits for the window to show.
    static constexpr std::uint32_t kStartWaitMilliseconds = 5000;

    // The bar steps by the clock (milliseconds, never going back), steady time unless one is given.
    explicit LSplash(Platform::SplashClock clock = {});
    LSplash(const LSplash&) = delete;
    LSplash& operator=(const LSplash&) = delete;
    // Stops the splash.
    ~LSplash();

    // The picture, copied: the first one given stays.
    void SetImage(const ConstRCPtr<LBitmap>& bitmap);
    // Shows the window, when it has a picture and does not show yet, and returns once it shows, or once it is clear
    // that it cannot (no display), or after kStartWaitMilliseconds.
    void SplashThread();
    // The bar starts at `from` and steps towards `to` over the seconds; with no seconds it stays at `from`.
    void StartProgress(std::int32_t from, std::int32_t to, std::int32_t seconds);
    // The bar stops stepping and shows the position (0..100).
    void SetProgress(std::int32_t position);
    // The window goes, and its thread has ended when this returns; the picture and the title go too.
    void Stop();
    // Whether the window shows.
    bool IsShowing() const { return static_cast<bool>(mWindow); }

private:
    Platform::SplashClock mClock;
    std::optional<Platform::SplashPicture> mPicture;
    // The window's title; empty in this program.
    WideString mTitle;
    std::unique_ptr<Platform::SplashWindow> mWindow;
};

}  // namespace ZV
