#include "Renderer/OpenGL/GLDisplayList.h"

namespace ZV {

LGLDisplayList::LGLDisplayList(const RCPtr<LGLObjectBin>& bin) : mBin(bin), mName(glGenLists(1)) {}

LGLDisplayList::~LGLDisplayList()
{
    if (mName != 0) {
        mBin->AddList(mName);
    }
}

}  // namespace ZV
