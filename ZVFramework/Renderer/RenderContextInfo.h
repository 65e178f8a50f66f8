#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/RectList.h"
#include "Renderer/RenderState.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

namespace ZV {

namespace Platform {
// The window a context draws into, as the platform's window services describe it; opaque to rendering.
struct NativeWindow;
}  // namespace Platform

// What one window (or one offscreen surface) draws with: its viewport, the current drawing state and the states
// saved under it. Each renderer makes its own kind of context (LRenderer::InitRenderContextInfo).
class LRenderContextInfo : public LRefCountedObject {
public:
    // A null window makes a context that draws into no window.
    LRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window, bool offscreen);

    // The largest surface, width and height, that the context can draw.
    virtual PointT<zlong> GetMaxSurfaceSize() const = 0;

    const Platform::NativeWindow* GetWindow() const { return mWindow; }
    // An offscreen context's frames are never presented.
    bool IsOffscreen() const { return mOffscreen; }

    // x, y, width, height.
    const RectT<zlong>& GetViewport() const { return mViewport; }
    void SetViewport(const RectT<zlong>& viewport) { mViewport = viewport; }

    // What the window still has to repaint; the 2D renderer's context presents only this.
    RectList& GetDirtyRegion() { return mDirtyRegion; }
    const RectList& GetDirtyRegion() const { return mDirtyRegion; }

    RenderState& GetState() { return mState; }
    const RenderState& GetState() const { return mState; }

    // The saved states form a stack: SaveState pushes a copy of the current state, TakeSavedState pops the last
    // one (false when none is saved).
    void SaveState();
    bool TakeSavedState(RenderState& state);
    std::uint32_t GetSavedStateCount() const { return mSavedStates.GetCount(); }

private:
    const Platform::NativeWindow* mWindow;
    bool mOffscreen;
    RectList mDirtyRegion;
    RectT<zlong> mViewport;
    RenderState mState;
    Array<RenderState> mSavedStates;
};

}  // namespace ZV
