#pragma once

#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"
#include "Renderer/RenderContextInfo.h"

#include <memory>

namespace ZV {

namespace Platform {
class WindowSurface;
}  // namespace Platform

// The 2D renderer's context for a window or an offscreen target: a frame is drawn into the back buffer, and only
// the dirty region is copied to the window when it ends. A spare buffer of the same size takes the image when an
// offscreen image is moved. An offscreen context, or one without a window, never reaches a display.
class LGDIRenderContextInfo : public LRenderContextInfo {
public:
    LGDIRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window, bool offscreen);
    ~LGDIRenderContextInfo() override;

    PointT<zlong> GetMaxSurfaceSize() const override;

    LGDIRendererOffscreenSurface& GetBackBuffer() const { return *mBackBuffer; }
    cairo_t* GetGraphics() const { return mBackBuffer->GetGraphics(); }
    void SwapSurfaces();

    // Before a frame: both surfaces are made anew, transparent, when the viewport's size changed or the dirty
    // region is exactly the whole viewport; otherwise the back buffer keeps the previous frame.
    void PrepareSurfaces();
    // After a frame: copies each rectangle of the dirty region from the back buffer to the same place on the window.
    // The region stays as it is.
    void PresentDirtyRegion();
    // Sets the back buffer's clip to the current state's clip where it lies on the device.
    void ClipToState();
    // The whole pixels of the back buffer whose centres lie inside both the rectangle (device coordinates, any size
    // and place) and the current state's clip; empty when there are none.
    RectT<zlong> GetVisiblePixels(const RectT<double>& device) const;
    // When a Cairo call left the back buffer's context in its error state, makes it anew with the state's clip, and
    // says so in one line of debug output.
    void RecoverFromError();

private:
    bool PresentsToWindow() const { return !IsOffscreen() && GetWindow() != nullptr; }
    // The state's device clip cut to the back buffer.
    RectT<double> GetSurfaceClip() const;

    RCPtr<LGDIRendererOffscreenSurface> mBackBuffer;
    RCPtr<LGDIRendererOffscreenSurface> mSpareBuffer;
    // Made at the first present.
    std::unique_ptr<Platform::WindowSurface> mWindowSurface;
};

}  // namespace ZV
