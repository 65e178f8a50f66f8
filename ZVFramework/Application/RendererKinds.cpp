#include "Application/RendererKinds.h"

#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/OpenGL/GLRenderer.h"

namespace ZV {

void RegisterRendererKinds()
{
    LGLRenderer::Register();
    LGDIRenderer::Register();
}

}  // namespace ZV
