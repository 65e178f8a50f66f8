#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/OpenGL/GLObjectBin.h"

#include <GL/gl.h>

namespace ZV {

// One display list of the renderer's context, compiled from a drawn object and replayed while the object stays as
// it was. Its name goes to the bin when it is released.
class LGLDisplayList : public virtual LRefCountedObject {
public:
    // Generates the list; the context must be current. It has none when the driver has none left.
    explicit LGLDisplayList(const RCPtr<LGLObjectBin>& bin);
    ~LGLDisplayList() override;

    bool IsValid() const { return mName != 0; }
    GLuint GetName() const { return mName; }

private:
    RCPtr<LGLObjectBin> mBin;
    GLuint mName;
};

}  // namespace ZV
