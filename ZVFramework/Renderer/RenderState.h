#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Stencil.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

namespace ZV {

// The single-precision -5e15 and 1e16 widened to double: a clip that clips nothing.
inline constexpr double kUnboundedClipStart = static_cast<double>(-5e15f);
inline constexpr double kUnboundedClipExtent = static_cast<double>(1e16f);

// One drawing state of a render context. Copies share the stencil (an unshareable stencil is copied instead).
struct RenderState {
    // Added to every coordinate drawn.
    PointT<double> origin;
    // x, y, width, height relative to the origin: the device clip is origin + clip.
    RectT<double> clip{kUnboundedClipStart, kUnboundedClipStart, kUnboundedClipExtent, kUnboundedClipExtent};
    // Carried through saves and restores; controls multiply their opacity and look weights into it.
    float factor = 1.0f;
    // Set once a stencil has been installed in this state, so that a further one is installed as a fresh copy.
    bool stencilInstalled = false;
    ConstRCPtr<LStencil> stencil;

    // The clip where it lies on the device.
    RectT<double> GetDeviceClip() const { return {origin.x + clip.x, origin.y + clip.y, clip.width, clip.height}; }
};

}  // namespace ZV
