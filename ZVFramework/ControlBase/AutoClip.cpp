#include "ControlBase/AutoClip.h"

#include "ObjectBase/Exception.h"

namespace ZV {

CAutoClip::CAutoClip(LRenderer& renderer, const ClipSpec& spec) : mRenderer(&renderer)
{
    switch (spec.kind) {
    case ClipSpec::kPushState:
        mRenderer->PushState();
        break;
    case ClipSpec::kClip:
        mRenderer->PushClip(spec.bounds, spec.clip, spec.stencil, spec.relative);
        break;
    case ClipSpec::kOffset:
        mRenderer->PushOffset(spec.offset);
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
