#pragma once

namespace ZV {

// Lets LRenderer::Create make the renderers a window may ask for: OpenGL (kind 0) and the 2D one (kind 1) beside the
// placeholder that is always there. The program calls it once at start.
void RegisterRendererKinds();

}  // namespace ZV
