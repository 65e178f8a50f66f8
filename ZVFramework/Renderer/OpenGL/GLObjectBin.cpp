#include "Renderer/OpenGL/GLObjectBin.h"

#include "Renderer/OpenGL/GLEntryPoints.h"

namespace ZV {

void LGLObjectBin::Keep(Array<GLuint>& names, GLuint name)
{
    // Owners call this from their destructors, which cannot throw: a name that finds no room is freed with the
    // context.
    if (!mClosed) {
        (void)names.AddItem(name);
    }
}

void LGLObjectBin::Empty(const GLEntryPoints& functions)
{
    if (mTextures.GetCount() > 0) {
        glDeleteTextures(static_cast<GLsizei>(mTextures.GetCount()), mTextures.GetData());
    }
    for (std::uint32_t index = 0; index < mLists.GetCount(); ++index) {
        glDeleteLists(*mLists.GetItemPointer(index), 1);
    }
    if (mFramebuffers.GetCount() > 0 && functions.deleteFramebuffers != nullptr) {
        functions.deleteFramebuffers(static_cast<GLsizei>(mFramebuffers.GetCount()), mFramebuffers.GetData());
    }
    Forget();
}

void LGLObjectBin::Close()
{
    mClosed = true;
    Forget();
}

void LGLObjectBin::Forget()
{
    (void)mTextures.SetCount(0);
    (void)mLists.SetCount(0);
    (void)mFramebuffers.SetCount(0);
}

}  // namespace ZV
