#include "Renderer/OpenGL/GLPolygon.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <deque>

namespace ZV {

namespace {

using Vertex = std::array<GLdouble, 3>;

// GLU keeps pointers to the vertices until the polygon ends, so they live in a store whose elements never move:
// the path's points and the crossings that the tessellator makes.
class Tessellator {
public:
    Tessellator() : mTessellator(gluNewTess())
    {
        if (mTessellator == nullptr) {
            return;
        }
        gluTessNormal(mTessellator, 0, 0, 1);
        gluTessProperty(mTessellator, GLU_TESS_TOLERANCE, 1.0);
        gluTessProperty(mTessellator, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
        gluTessCallback(mTessellator, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&glBegin));
        gluTessCallback(mTessellator, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&glVertex3dv));
        gluTessCallback(mTessellator, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&glEnd));
        gluTessCallback(mTessellator, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&Combine));
    }
    Tessellator(const Tessellator&) = delete;
    Tessellator& operator=(const Tessellator&) = delete;
    ~Tessellator()
    {
        if (mTessellator != nullptr) {
            gluDeleteTess(mTessellator);
        }
    }

    void Fill(const PolylineT<float>& polygon)
    {
        if (mTessellator == nullptr || polygon.GetCount() < 3) {
            return;
        }
        mVertices.clear();
        gluTessBeginPolygon(mTessellator, this);
        gluTessBeginContour(mTessellator);
        for (std::uint32_t index = 0; index < polygon.GetCount(); ++index) {
            const PointT<float>& point = polygon.GetPoint(index);
            Vertex& vertex = mVertices.emplace_back(Vertex{point.x, point.y, 0.0});
            gluTessVertex(mTessellator, vertex.data(), vertex.data());
        }
        gluTessEndContour(mTessellator);
        gluTessEndPolygon(mTessellator);
    }

private:
    // A crossing of the outline becomes a vertex of its own; nothing else is carried per vertex.
    static void Combine(GLdouble coordinates[3], void*[4], GLfloat[4], void** result, void* polygon)
    {
        auto& store = static_cast<Tessellator*>(polygon)->mVertices;
        *result = store.emplace_back(Vertex{coordinates[0], coordinates[1], coordinates[2]}).data();
    }

    GLUtesselator* mTessellator;
    std::deque<Vertex> mVertices;
};

}  // namespace

void CGLPolygon::Tessellate(const PolylineT<float>& polygon)
{
    static Tessellator tessellator;
    tessellator.Fill(polygon);
}

}  // namespace ZV
