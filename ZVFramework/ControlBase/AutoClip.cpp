#include "ControlBase/AutoClip.h"

#include "ObjectBase/Exception.h"

namespace ZV {

CAutoClip::CAutoClip(LRenderer& renderer, const ClipRequest& request) : mRenderer(&renderer)
{
    switch (request.kind) {
    case ClipRequest::kPushState:
        mRenderer->PushState();
        break;
    case ClipRequest::kClip:
        mRenderer->PushClip(request.bounds, request.clip, request.stencil, request.relative);
        break;
    case ClipRequest::kOffset:
        mRenderer->PushOffset(request.offset);
        break;
    default:
        ZV_THROW(std::runtime_error, "Unknown PushClip flavor");
    }
}

CAutoClip::~CAutoClip()
{
    mRenderer->PopState();
}

}  // namespace ZV
