#pragma once

#include "Platform/DesktopWindows.h"
#include "Platform/WindowSurface.h"
#include "QuietWindowSink.h"

#include <cairo.h>

#include <memory>

namespace ZV::Tools {

// A desktop window with no framework above it, shown at the desktop's top left corner, that draws itself with Cairo
// whenever it is exposed: the baseline the tools measure the framework's windows against.
class BareDesktopWindow : public QuietWindowSink {
public:
    BareDesktopWindow(int width, int height, const char* className);
    BareDesktopWindow(const BareDesktopWindow&) = delete;
    BareDesktopWindow& operator=(const BareDesktopWindow&) = delete;
    ~BareDesktopWindow();

    bool IsOpen() const { return mWindow != nullptr; }
    const Platform::NativeWindow& GetNative() const { return *mWindow->GetNativeWindow(); }
    cairo_t* GetContext() const { return mSurface->GetContext(); }
    void Flush() const { mSurface->Flush(); }

    void OnExposed(Platform::WindowRect) override;

protected:
    // Draws the whole window.
    virtual void Paint(cairo_t* context) = 0;

private:
    std::unique_ptr<Platform::IWindowBackEnd> mWindow;
    std::unique_ptr<Platform::WindowSurface> mSurface;
};

}  // namespace ZV::Tools
