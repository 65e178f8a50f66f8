#pragma once

#include "Renderer/OpenGL/GLEntryPoints.h"
#include "Renderer/OpenGL/GLObjectBin.h"
#include "Utilities/Storage/PointT.h"

#include <GL/gl.h>

namespace ZV {

// What an offscreen context draws into: a framebuffer object whose colour is a texture of the context's size, and
// a spare texture of the same size that takes the image when the image is moved. Made at the first frame; its
// names go to the bin with it.
class GLOffscreenTarget {
public:
    explicit GLOffscreenTarget(const RCPtr<LGLObjectBin>& bin);
    GLOffscreenTarget(const GLOffscreenTarget&) = delete;
    GLOffscreenTarget& operator=(const GLOffscreenTarget&) = delete;
    ~GLOffscreenTarget();

    // Makes the framebuffer the draw target, with textures of the size: new transparent ones when the size changed.
    // False when the driver has no framebuffer objects or cannot complete this one.
    bool Bind(const GLEntryPoints& functions, const PointT<zlong>& size);
    // The spare texture becomes the framebuffer's colour, and the texture that held the image is answered for
    // drawing from. The framebuffer must be bound.
    GLuint SwapTextures(const GLEntryPoints& functions);

    // The texture that holds the image; 0 before the first frame.
    GLuint GetTexture() const { return mTextures[0]; }
    const PointT<zlong>& GetSize() const { return mSize; }

private:
    void Release();

    RCPtr<LGLObjectBin> mBin;
    GLuint mFramebuffer = 0;
    // The image's texture first, the spare one second.
    GLuint mTextures[2] = {0, 0};
    PointT<zlong> mSize;
};

}  // namespace ZV
