// Lines, polylines and polygons from cached paths.
#include "Renderer/Gdi/CairoDrawing.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"

#include <algorithm>
#include <cmath>

namespace ZV {

using CairoDrawing::Limit;
using CairoDrawing::SetSourceColor;

namespace {

// A scale this close to 1 on both axes draws the path as it was built.
constexpr float kUnitScaleTolerance = 1.1920929e-6f;

bool IsUnitScale(const PointT<float>& scale)
{
    return std::fabs(scale.x - 1.0f) <= kUnitScaleTolerance && std::fabs(scale.y - 1.0f) <= kUnitScaleTolerance;
}

}  // namespace

void LGDIRenderer::DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                                    const PointT<float>& scale, bool cache)
{
    DrawPath(path, PathShape::kSegments, false, color, translation, scale, cache);
}

void LGDIRenderer::DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                                const PointT<float>& scale, bool cache)
{
    DrawPath(path, PathShape::kOpen, false, color, translation, scale, cache);
}

void LGDIRenderer::DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                               const PointT<float>& scale, bool cache)
{
    DrawPath(polygon, PathShape::kClosed, false, color, translation, scale, cache);
}

void LGDIRenderer::FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                               const PointT<float>& scale, bool cache)
{
    DrawPath(polygon, PathShape::kClosed, true, color, translation, scale, cache);
}

RCPtr<LGDIRenderer::LGraphicsPath> LGDIRenderer::GetPath(const PolylineT<float>& path, PathShape shape, bool cache)
{
    RCPtr<LGraphicsPath>& slot = mPathCache.Get(path, path.IsChanged());
    path.ClearChanged();
    // One path serves every operation on a polyline; drawn in another shape, it is built again.
    if (!slot.IsNull() && slot->GetShape() == shape) {
        RCPtr<LGraphicsPath> cached = slot;
        if (!cache) {
            slot = nullptr;
        }
        return cached;
    }
    const std::uint32_t count = shape == PathShape::kSegments ? path.GetCount() & ~1u : path.GetCount();
    cairo_new_path(mPathBuilder);
    for (std::uint32_t index = 0; index < count; ++index) {
        const PointT<float>& point = path.GetPoint(index);
        const bool startsFigure = index == 0 || (shape == PathShape::kSegments && index % 2 == 0);
        (startsFigure ? cairo_move_to : cairo_line_to)(mPathBuilder, point.x, point.y);
    }
    if (shape == PathShape::kClosed && count > 0) {
        cairo_close_path(mPathBuilder);
    }
    RCPtr<LGraphicsPath> built(new LGraphicsPath(cairo_copy_path(mPathBuilder), shape));
    cairo_new_path(mPathBuilder);
    slot = cache ? built : nullptr;
    return built;
}

void LGDIRenderer::DrawPath(const PolylineT<float>& path, PathShape shape, bool fill, const LColor& color,
                            const PointT<float>& translation, const PointT<float>& scale, bool cache)
{
    if (mCurrentContext == nullptr) {
        return;
    }
    const RCPtr<LGraphicsPath> built = GetPath(path, shape, cache);
    const RenderState& state = State();
    const PointT<double> scaleBy = IsUnitScale(scale) ? PointT<double>(1, 1) : PointT<double>(scale.x, scale.y);
    // A stroke's pixels are those a one-pixel pen covers when centred on the coordinate.
    const double penOffset = fill ? 0.0 : 0.5;
    const double originX = state.origin.x + ClampToExactDouble(translation.x) + penOffset;
    const double originY = state.origin.y + ClampToExactDouble(translation.y) + penOffset;

    // The scale moves the points only: the pen keeps its width.
    cairo_t* graphics = Graphics();
    const cairo_path_t* cairoPath = built->GetPath();
    for (int index = 0; index < cairoPath->num_data; index += cairoPath->data[index].header.length) {
        const cairo_path_data_t& element = cairoPath->data[index];
        if (element.header.type == CAIRO_PATH_CLOSE_PATH) {
            cairo_close_path(graphics);
            continue;
        }
        const cairo_path_data_t& point = cairoPath->data[index + 1];
        const double x = Limit(originX + point.point.x * scaleBy.x);
        const double y = Limit(originY + point.point.y * scaleBy.y);
        (element.header.type == CAIRO_PATH_MOVE_TO ? cairo_move_to : cairo_line_to)(graphics, x, y);
    }
    SetSourceColor(graphics, color, state.factor);
    if (fill) {
        cairo_set_fill_rule(graphics, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(graphics);
    } else {
        cairo_set_line_width(graphics, std::max(1.0f, path.GetLineWidth()));
        cairo_stroke(graphics);
    }
}

}  // namespace ZV
