#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Renderer.h"
#include "Renderer/Stencil.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// What a CAutoClip pushes on the renderer's state stack: the state alone, a clip, or a move of the origin.
struct ClipRequest {
    enum Kind : std::int32_t { kPushState = 0, kClip = 1, kOffset = 2 };

    std::int32_t kind = kPushState;
    // Of a clip: the new origin's corner (bounds x, y) and the area drawing stays in, relative to the current
    // origin when relative is set.
    RectT<double> bounds;
    RectT<double> clip;
    ConstRCPtr<LStencil> stencil;
    bool relative = false;
    // Of a move of the origin.
    PointT<double> offset;

    ClipRequest() = default;
    // A relative clip.
    ClipRequest(const RectT<double>& clipBounds, const RectT<double>& clipArea, const ConstRCPtr<LStencil>& clipStencil)
        : kind(kClip), bounds(clipBounds), clip(clipArea), stencil(clipStencil), relative(true)
    {
    }

    static ClipRequest Offset(const PointT<double>& by)
    {
        ClipRequest request;
        request.kind = kOffset;
        request.offset = by;
        return request;
    }
};

// Pushes renderer state for a scope and pops it when the scope ends, also when an exception leaves it, so that
// the renderer's state stack stays balanced. A request of any other kind throws a "Runtime Error". The renderer is held
// for the scope.
class CAutoClip {
public:
    CAutoClip(LRenderer& renderer, const ClipRequest& request);
    CAutoClip(const CAutoClip&) = delete;
    CAutoClip& operator=(const CAutoClip&) = delete;
    ~CAutoClip();

private:
    RCPtr<LRenderer> mRenderer;
};

}  // namespace ZV
