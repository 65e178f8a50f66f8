#include "Renderer/OpenGL/GLRenderContextInfo.h"

#include "Platform/GlxContext.h"

namespace ZV {

LGLRenderContextInfo::LGLRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                           bool offscreen, const PointT<zlong>& maxSurfaceSize,
                                           std::unique_ptr<Platform::GlxSurface> surface,
                                           const RCPtr<LGLObjectBin>& bin)
    : LRenderContextInfo(viewport, window, offscreen), mMaxSurfaceSize(maxSurfaceSize), mSurface(std::move(surface)),
      mImage(bin)
{
}

LGLRenderContextInfo::~LGLRenderContextInfo() = default;

}  // namespace ZV
