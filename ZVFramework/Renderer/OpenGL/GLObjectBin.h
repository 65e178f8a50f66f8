#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Array.h"

#include <GL/gl.h>

namespace ZV {

struct GLEntryPoints;

// The names of OpenGL objects whose owners are gone, kept until the renderer's context is current again and then
// deleted. Owners go when no context is current (a cache purged after a frame, a font's atlas dropped while text
// is measured), and a name means nothing to another context. User-interface thread only.
class LGLObjectBin : public virtual LRefCountedObject {
public:
    void AddTexture(GLuint name) { Keep(mTextures, name); }
    void AddList(GLuint name) { Keep(mLists, name); }
    void AddFramebuffer(GLuint name) { Keep(mFramebuffers, name); }

    // Deletes every object put in; the context they belong to must be current.
    void Empty(const GLEntryPoints& functions);
    // The context is gone and its objects with it: from now on nothing is kept.
    void Close();

private:
    void Keep(Array<GLuint>& names, GLuint name);
    void Forget();

    Array<GLuint> mTextures;
    Array<GLuint> mLists;
    Array<GLuint> mFramebuffers;
    bool mClosed = false;
};

}  // namespace ZV
