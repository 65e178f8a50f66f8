#pragma once

#include <GL/gl.h>

namespace ZV {

// Takes every error the driver has recorded, so that the next look sees only new ones; OpenGL errors of a frame are
// not acted on.
void DrainGLErrors();

// The OpenGL functions past version 1.1 that the renderer calls, looked up while its context is current; null where
// the driver lacks them.
struct GLEntryPoints {
    PFNGLBLENDFUNCSEPARATEPROC blendFuncSeparate = nullptr;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    // Those the current context's version or extensions offer.
    static GLEntryPoints Load();

    // Offscreen contexts draw into framebuffer objects.
    bool HasFramebuffers() const { return genFramebuffers != nullptr; }
    // Blends colour over the target and keeps its alpha as coverage: an image drawn into a transparent target ends
    // premultiplied, ready to be painted over another.
    void SetDefaultBlending() const;
    // The draw target is the window's (or pixel buffer's) framebuffer again.
    void BindWindowFramebuffer() const;
};

}  // namespace ZV
