// Text, rectangles, lines, paths and polygons, with the display lists of cached objects.
#include "Renderer/Font.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLPolygon.h"
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "Renderer/OpenGL/GLRenderer.h"

#include <algorithm>

namespace ZV {

namespace {

// A line's coordinates name the centre of the pixels a one-pixel pen covers, as in the 2D renderer.
constexpr double kPenOffset = 0.5;

constexpr std::uint32_t kDrawFlags =
    LGLGlyphRenderer::kAccumulateBounds | LGLGlyphRenderer::kUpload | LGLGlyphRenderer::kDraw;

void SetColor(const LColor& color)
{
    glColor4f(color.r, color.g, color.b, color.a);
}

// One quad between glBegin (GL_QUADS) and glEnd.
void FillBand(double left, double top, double right, double bottom)
{
    glVertex2d(left, top);
    glVertex2d(right, top);
    glVertex2d(right, bottom);
    glVertex2d(left, bottom);
}

}  // namespace

template <class Key, class Draw>
void LGLRenderer::DrawCached(ListCache<Key>& lists, std::type_identity_t<ListCache<Key>>* companion, const Key& object,
                             bool useCache, Draw draw)
{
    if (!useCache) {
        lists.Remove(object);
        if (companion != nullptr) {
            companion->Remove(object);
        }
        draw();
        return;
    }
    const bool changed = object.IsChanged();
    object.ClearChanged();
    if (changed && companion != nullptr) {
        companion->Remove(object);
    }
    RCPtr<LGLDisplayList>& slot = lists.Get(object, changed);
    if (slot.IsNull()) {
        const RCPtr<LGLDisplayList> list(new LGLDisplayList(mBin));
        if (!list->IsValid()) {
            // The driver has no list to give: drawn directly, and tried again next time.
            draw();
            return;
        }
        glNewList(list->GetName(), GL_COMPILE);
        DrainGLErrors();
        draw();
        glEndList();
        DrainGLErrors();
        ++mCompiledListCount;
        slot = list;
    }
    glCallList(slot->GetName());
}

void LGLRenderer::DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                           const LColor& color)
{
    DrawLaidOutText(text, nullptr, font, position, color);
}

void LGLRenderer::DrawLaidOutText(const WideString& text, const LLaidOutText* layout, const ConstRCPtr<LFont>& font,
                                  const PointT<zlong>& position, const LColor& color)
{
    zlong lineHeight = 0;
    zlong top = 0;
    zlong bottom = 0;
    if (mCurrent == nullptr || mGlyphs.IsNull() || text.IsEmpty() ||
        Failed(GetFontMetrics(font, lineHeight, top, bottom))) {
        return;
    }
    UsePaint(Paint::kGlyphs);
    SetColor(color);
    // The glyphs are drawn from the baseline, which lies the font's ascent below the position less one pixel, as
    // the 2D renderer places it. Placed by the glyph renderer, not by a move of the origin: texts one after another
    // then reach the driver as one batch.
    mGlyphs->SetOrigin(PointT<double>(position.x, static_cast<double>(position.y) - 1.0 - static_cast<double>(top)));
    if (layout == nullptr || !mFontRenderer->RenderLayout(*layout, text.GetLength(), font, mGlyphs, kDrawFlags)) {
        mFontRenderer->RenderText(text, font, mGlyphs, 0, 0.0f, kDrawFlags);
    }
}

void LGLRenderer::FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth)
{
    if (mCurrent == nullptr) {
        return;
    }
    // The pen's band around the edges, filled: a rasteriser's line corners would fall either way.
    RectT<double> edges = rect.ToDouble();
    edges.SnapToPixels();
    const double half = std::max(1.0f, lineWidth) / 2.0;
    const double outerLeft = edges.x + kPenOffset - half;
    const double outerTop = edges.y + kPenOffset - half;
    const double outerRight = edges.x + edges.width + kPenOffset + half;
    const double outerBottom = edges.y + edges.height + kPenOffset + half;
    const double innerLeft = std::min(outerLeft + 2 * half, outerRight);
    const double innerTop = std::min(outerTop + 2 * half, outerBottom);
    const double innerRight = std::max(outerRight - 2 * half, innerLeft);
    const double innerBottom = std::max(outerBottom - 2 * half, innerTop);
    UsePaint(Paint::kColor);
    SetColor(color);
    glBegin(GL_QUADS);
    FillBand(outerLeft, outerTop, outerRight, innerTop);
    FillBand(outerLeft, innerBottom, outerRight, outerBottom);
    FillBand(outerLeft, innerTop, innerLeft, innerBottom);
    FillBand(innerRight, innerTop, outerRight, innerBottom);
    glEnd();
}

void LGLRenderer::FillRect(const RectT<zlong>& rect, const LColor& color, bool blend)
{
    if (mCurrent == nullptr) {
        return;
    }
    const PointT<double>& origin = mCurrent->GetState().origin;
    if (!blend) {
        const RectT<double> area = rect.ToDouble();
        ScissorTo(RectT<double>(origin.x + area.x, origin.y + area.y, area.width, area.height));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ScissorTo(mCurrent->GetState().GetDeviceClip());
        return;
    }
    UsePaint(Paint::kColor);
    SetColor(color);
    RectT<double> corners = rect.ToDouble();
    corners.SnapToPixels();
    glBegin(GL_QUADS);
    FillBand(corners.x, corners.y, corners.x + corners.width, corners.y + corners.height);
    glEnd();
}

void LGLRenderer::DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool cache)
{
    if (mCurrent == nullptr) {
        return;
    }
    glPushMatrix();
    glTranslated(offset.x, offset.y, 0);
    DrawCached(mColorRectLists, nullptr, list, cache, [&] {
        // From the last to the first, so the first ends on top.
        for (std::uint32_t index = list.GetCount(); index-- > 0;) {
            FillRect(list.GetScaledRect(index).ToLong(), LColor().SetFromARGB(list.GetColor(index)), true);
        }
    });
    glPopMatrix();
}

void LGLRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width)
{
    if (mCurrent == nullptr) {
        return;
    }
    UsePaint(Paint::kColor);
    SetColor(color);
    glLineWidth(std::max(1.0f, width));
    glBegin(GL_LINES);
    glVertex2d(from.x + kPenOffset, from.y + kPenOffset);
    glVertex2d(to.x + kPenOffset, to.y + kPenOffset);
    glEnd();
}

void LGLRenderer::DrawPath(const PolylineT<float>& path, GLenum mode, ListCache<PolylineT<float>>& lists,
                           ListCache<PolylineT<float>>* companion, const LColor& color,
                           const PointT<float>& translation, const PointT<float>& scale, bool cache)
{
    if (mCurrent == nullptr) {
        return;
    }
    glPushMatrix();
    glTranslated(translation.x + kPenOffset, translation.y + kPenOffset, 0);
    glScalef(scale.x, scale.y, 1);
    UsePaint(Paint::kColor);
    SetColor(color);
    DrawCached(lists, companion, path, cache, [&] {
        glLineWidth(std::max(1.0f, path.GetLineWidth()));
        if (path.GetCount() > 0) {
            glVertexPointer(2, GL_FLOAT, sizeof(PointT<float>), &path.GetPoint(0).x);
            glDrawArrays(mode, 0, static_cast<GLsizei>(path.GetCount()));
        }
    });
    glPopMatrix();
}

void LGLRenderer::DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                                   const PointT<float>& scale, bool cache)
{
    DrawPath(path, GL_LINES, mSegmentLists, nullptr, color, translation, scale, cache);
}

void LGLRenderer::DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                               const PointT<float>& scale, bool cache)
{
    DrawPath(path, GL_LINE_STRIP, mPolylineLists, nullptr, color, translation, scale, cache);
}

void LGLRenderer::DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                              const PointT<float>& scale, bool cache)
{
    DrawPath(polygon, GL_LINE_LOOP, mOutlineLists, &mFillLists, color, translation, scale, cache);
}

void LGLRenderer::FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                              const PointT<float>& scale, bool cache)
{
    if (mCurrent == nullptr) {
        return;
    }
    glPushMatrix();
    glTranslated(translation.x, translation.y, 0);
    glScalef(scale.x, scale.y, 1);
    UsePaint(Paint::kColor);
    SetColor(color);
    DrawCached(mFillLists, &mOutlineLists, polygon, cache, [&] { CGLPolygon::Tessellate(polygon); });
    glPopMatrix();
}

}  // namespace ZV
