#include "Renderer/OpenGL/GLOffscreenTarget.h"

#include <utility>

namespace ZV {

namespace {

// A transparent texture of the size, bound.
GLuint NewColorTexture(const PointT<zlong>& size)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(size.x), static_cast<GLsizei>(size.y), 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, nullptr);
    return texture;
}

void AttachColor(const GLEntryPoints& functions, GLuint texture)
{
    functions.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

// Everything transparent, whatever the scissor.
void ClearAll()
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
}

}  // namespace

GLOffscreenTarget::GLOffscreenTarget(const RCPtr<LGLObjectBin>& bin) : mBin(bin) {}

GLOffscreenTarget::~GLOffscreenTarget()
{
    Release();
}

void GLOffscreenTarget::Release()
{
    for (GLuint& texture : mTextures) {
        if (texture != 0) {
            mBin->AddTexture(std::exchange(texture, 0));
        }
    }
    if (mFramebuffer != 0) {
        mBin->AddFramebuffer(std::exchange(mFramebuffer, 0));
    }
}

bool GLOffscreenTarget::Bind(const GLEntryPoints& functions, const PointT<zlong>& size)
{
    if (!functions.HasFramebuffers() || size.x <= 0 || size.y <= 0) {
        return false;
    }
    if (mFramebuffer != 0 && size == mSize && glIsTexture(mTextures[0]) && glIsTexture(mTextures[1])) {
        functions.bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
        return true;
    }
    Release();
    mSize = size;
    functions.genFramebuffers(1, &mFramebuffer);
    functions.bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    for (GLuint& texture : mTextures) {
        texture = NewColorTexture(size);
        AttachColor(functions, texture);
        ClearAll();
    }
    AttachColor(functions, mTextures[0]);
    glBindTexture(GL_TEXTURE_2D, 0);
    return functions.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

GLuint GLOffscreenTarget::SwapTextures(const GLEntryPoints& functions)
{
    std::swap(mTextures[0], mTextures[1]);
    AttachColor(functions, mTextures[0]);
    return mTextures[1];
}

}  // namespace ZV
