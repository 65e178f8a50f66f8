#pragma once

#include "Renderer/OpenGL/GLOffscreenTarget.h"
#include "Renderer/RenderContextInfo.h"

#include <memory>

namespace ZV {

namespace Platform {
class GlxSurface;
}  // namespace Platform

// The OpenGL renderer's context: frames go to a window through its GLX surface, or, for an offscreen context or
// one without a window, into an image of its own (a framebuffer object of the viewport's size) that DrawBitmapPart
// and DrawOffscreenImage draw from.
class LGLRenderContextInfo : public LRenderContextInfo {
public:
    // Without a surface the context draws into its own image.
    LGLRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window, bool offscreen,
                         const PointT<zlong>& maxSurfaceSize, std::unique_ptr<Platform::GlxSurface> surface,
                         const RCPtr<LGLObjectBin>& bin);
    ~LGLRenderContextInfo() override;

    // The largest viewport the renderer's context takes.
    PointT<zlong> GetMaxSurfaceSize() const override { return mMaxSurfaceSize; }

    bool DrawsIntoWindow() const { return mSurface != nullptr; }
    Platform::GlxSurface* GetSurface() const { return mSurface.get(); }
    GLOffscreenTarget& GetImage() { return mImage; }
    const GLOffscreenTarget& GetImage() const { return mImage; }

    // Whether the last failure to start a frame was reported; a failure is reported once until a frame starts.
    bool IsFailureReported() const { return mFailureReported; }
    void SetFailureReported(bool reported) { mFailureReported = reported; }

private:
    PointT<zlong> mMaxSurfaceSize;
    std::unique_ptr<Platform::GlxSurface> mSurface;
    GLOffscreenTarget mImage;
    bool mFailureReported = false;
};

}  // namespace ZV
