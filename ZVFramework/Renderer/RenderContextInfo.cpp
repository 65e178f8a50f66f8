#include "Renderer/RenderContextInfo.h"

#include "ObjectBase/Exception.h"

namespace ZV {

LRenderContextInfo::LRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                       bool offscreen)
    : mWindow(window), mOffscreen(offscreen), mViewport(viewport)
{
}

void LRenderContextInfo::SaveState()
{
    ZV_THROW_IF_FAILED(mSavedStates.AddItem(mState));
}

bool LRenderContextInfo::TakeSavedState(RenderState& state)
{
    return Succeeded(mSavedStates.RemoveLast(state));
}

}  // namespace ZV
