#include "Renderer/OpenGL/GLEntryPoints.h"

#include "Platform/GlxContext.h"

#include <cstdlib>

namespace ZV {

namespace {

template <class Function>
void Find(Function& function, const char* name)
{
    function = reinterpret_cast<Function>(Platform::GlxContext::GetFunction(name));
}

// "major.minor..." of the current context, as one number (3.0 is 30).
int ContextVersion()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr) {
        return 0;
    }
    char* minor = nullptr;
    const long major = std::strtol(version, &minor, 10);
    return static_cast<int>(major * 10 + (*minor == '.' ? std::strtol(minor + 1, nullptr, 10) : 0));
}

bool HasExtension(const char* name)
{
    return Platform::GlxContext::ListsExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

}  // namespace

void DrainGLErrors()
{
    // Bounded: a driver that keeps reporting must not hold the frame.
    for (int count = 0; count < 64 && glGetError() != GL_NO_ERROR; ++count) {
    }
}

GLEntryPoints GLEntryPoints::Load()
{
    GLEntryPoints functions;
    const int version = ContextVersion();
    // The library answers any name with an entry point: only what the context offers may be called.
    if (version >= 14 || HasExtension("GL_EXT_blend_func_separate")) {
        Find(functions.blendFuncSeparate, version >= 14 ? "glBlendFuncSeparate" : "glBlendFuncSeparateEXT");
    }
    if (version >= 30 || HasExtension("GL_ARB_framebuffer_object")) {
        Find(functions.genFramebuffers, "glGenFramebuffers");
        Find(functions.deleteFramebuffers, "glDeleteFramebuffers");
        Find(functions.bindFramebuffer, "glBindFramebuffer");
        Find(functions.framebufferTexture2D, "glFramebufferTexture2D");
        Find(functions.checkFramebufferStatus, "glCheckFramebufferStatus");
        Find(functions.blitFramebuffer, "glBlitFramebuffer");
        if (functions.deleteFramebuffers == nullptr || functions.bindFramebuffer == nullptr ||
            functions.framebufferTexture2D == nullptr || functions.checkFramebufferStatus == nullptr) {
            functions.genFramebuffers = nullptr;
        }
    }
    return functions;
}

void GLEntryPoints::SetDefaultBlending() const
{
    if (blendFuncSeparate != nullptr) {
        blendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void GLEntryPoints::BindWindowFramebuffer() const
{
    if (bindFramebuffer != nullptr) {
        bindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

}  // namespace ZV
