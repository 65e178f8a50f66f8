#pragma once

#include "Renderer/Polyline.h"

namespace ZV {

// Fills polygons through GLU's tessellator by the odd winding rule: where the outline crosses itself the overlap
// stays empty, and the crossings become new vertices. One tessellator serves the process; user-interface thread
// only, with a context current (or a display list being compiled).
class CGLPolygon {
public:
    // Sends the triangles of the polygon's inside to OpenGL, in the path's coordinates.
    static void Tessellate(const PolylineT<float>& polygon);
};

}  // namespace ZV
