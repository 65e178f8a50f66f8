// Bitmaps from cached textures, and the images of offscreen contexts.
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "Renderer/OpenGL/GLRenderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

// Resize types; the one between them tiles.
constexpr int kStretch = 0;
constexpr int kCenter = 2;

// Draws what of the image placed at the place (the source at its own size) lies within the bounds.
void DrawCut(const LGLTexture& texture, const QuadCorners& source, const QuadCorners& place, const QuadCorners& bounds)
{
    const QuadCorners cut{std::max(place.left, bounds.left), std::max(place.top, bounds.top),
                          std::min(place.right, bounds.right), std::min(place.bottom, bounds.bottom)};
    if (!(cut.right > cut.left && cut.bottom > cut.top)) {
        return;
    }
    texture.DrawQuad({source.left + (cut.left - place.left), source.top + (cut.top - place.top),
                      source.left + (cut.right - place.left), source.top + (cut.bottom - place.top)},
                     cut);
}

// The first and the end index of the tiles of the size, laid from the start, that meet [from, to).
void TileRange(double start, double size, double from, double to, double& first, double& end)
{
    first = std::max(0.0, std::floor((from - start) / size));
    end = std::max(first, std::ceil((to - start) / size));
}

}  // namespace

LGLTexture* LGLRenderer::GetTexture(const ConstRCPtr<LBitmap>& bitmap)
{
    const PixelImage* image = bitmap->GetBitmapData();
    if (image == nullptr) {
        return nullptr;
    }
    // Keyed by the image, so that the bitmaps of one sprite sheet share its texture. The texture holds a bitmap of
    // the image, so no other image can take its address while the entry holds the texture.
    RCPtr<LGLTexture>& slot = mTextures.Get(*image, false);
    if (slot.IsNull()) {
        slot = new LGLTexture(mBin);
    }
    if (!slot->IsValid() || slot->GetUploadedChangeCount() != image->GetChangeCount()) {
        slot->SetBitmap(bitmap);
        ++mTextureUploadCount;
    }
    return slot.Get();
}

void LGLRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType)
{
    if (bitmap.IsNull()) {
        ZV_THROW_IF_FAILED(ZV_E_INVALIDARG);
    }
    const RectT<zlong>& part = bitmap->GetPart();
    if (part.width == destination.width && part.height == destination.height) {
        resizeType = kStretch;
    }
    if (resizeType < kStretch || resizeType > kCenter) {
        ZV_THROW(std::logic_error, "Invalid ResizeType passed to DrawBitmap!");
    }
    if (mCurrent == nullptr || destination.width <= 0 || destination.height <= 0 || part.width <= 0 ||
        part.height <= 0) {
        return;
    }
    const LGLTexture* texture = GetTexture(bitmap);
    if (texture == nullptr) {
        return;
    }
    // An opaque image replaces what is below it: no blending to do.
    UsePaint(texture->IsOpaque() ? Paint::kOpaqueImage : Paint::kImage);
    glColor4f(1, 1, 1, 1);
    DrawTexture(*texture, part, destination, resizeType);
}

void LGLRenderer::DrawTexture(const LGLTexture& texture, const RectT<zlong>& part, const RectT<zlong>& destination,
                              int resizeType)
{
    const RectT<double> place = destination.ToDouble();
    const QuadCorners bounds{place.x, place.y, place.x + place.width, place.y + place.height};
    const double partWidth = part.width;
    const double partHeight = part.height;
    const QuadCorners source{static_cast<double>(part.x), static_cast<double>(part.y), part.x + partWidth,
                             part.y + partHeight};
    if (resizeType == kStretch) {
        texture.DrawQuad(source, bounds);
        return;
    }
    if (resizeType == kCenter) {
        const double left = place.x + static_cast<double>((destination.width - part.width) / 2);
        const double top = place.y + static_cast<double>((destination.height - part.height) / 2);
        DrawCut(texture, source, {left, top, left + partWidth, top + partHeight}, bounds);
        return;
    }
    // Tiles, only those that the clip shows: a huge destination costs no more than the window.
    const RectT<double> visible = GetVisibleArea();
    const PointT<double>& origin = mCurrent->GetState().origin;
    double firstColumn = 0;
    double endColumn = 0;
    double firstRow = 0;
    double endRow = 0;
    TileRange(place.x, partWidth, visible.x - origin.x, std::min(bounds.right, visible.x + visible.width - origin.x),
              firstColumn, endColumn);
    TileRange(place.y, partHeight, visible.y - origin.y,
              std::min(bounds.bottom, visible.y + visible.height - origin.y), firstRow, endRow);
    for (double row = firstRow; row < endRow; ++row) {
        const double top = place.y + row * partHeight;
        for (double column = firstColumn; column < endColumn; ++column) {
            const double left = place.x + column * partWidth;
            DrawCut(texture, source, {left, top, left + partWidth, top + partHeight}, bounds);
        }
    }
}

LGLRenderContextInfo* LGLRenderer::GetOffscreenContext(const RCPtr<LRenderContextInfo>& context) const
{
    auto* offscreen = dynamic_cast<LGLRenderContextInfo*>(context.Get());
    return offscreen != nullptr && !offscreen->DrawsIntoWindow() ? offscreen : nullptr;
}

ZVRESULT LGLRenderer::DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                                     const RectT<zlong>& source)
{
    const LGLRenderContextInfo* from = GetOffscreenContext(offscreen);
    if (from == nullptr || from == mCurrent) {
        return ZV_E_INVALIDARG;
    }
    if (mCurrent == nullptr) {
        return ZV_E_FAIL;
    }
    const GLuint texture = from->GetImage().GetTexture();
    const PointT<zlong>& size = from->GetImage().GetSize();
    if (texture == 0 || source.width <= 0 || source.height <= 0) {
        return ZV_S_OK;
    }
    // The image's rows run upwards: v is 1 at its top.
    const double width = static_cast<double>(size.x);
    const double height = static_cast<double>(size.y);
    const double left = source.x / width;
    const double right = (source.x + static_cast<double>(source.width)) / width;
    const double top = (height - source.y) / height;
    const double bottom = (height - (source.y + static_cast<double>(source.height))) / height;
    const RectT<double> place(destination.x, destination.y, source.width, source.height);

    UsePaint(Paint::kPremultipliedImage);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2d(left, top);
    glVertex2d(place.x, place.y);
    glTexCoord2d(left, bottom);
    glVertex2d(place.x, place.y + place.height);
    glTexCoord2d(right, bottom);
    glVertex2d(place.x + place.width, place.y + place.height);
    glTexCoord2d(right, top);
    glVertex2d(place.x + place.width, place.y);
    glEnd();
    return ZV_S_OK;
}

ZVRESULT LGLRenderer::DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination)
{
    LGLRenderContextInfo* context = GetOffscreenContext(offscreen);
    if (context == nullptr) {
        return ZV_E_INVALIDARG;
    }
    const bool ownFrame = mCurrent == context;
    if (!ownFrame && Failed(RenderStart(offscreen))) {
        (void)RenderFinish(offscreen);
        return ZV_E_FAIL;
    }
    const PointT<zlong> size = context->GetImage().GetSize();
    const GLuint previous = context->GetImage().SwapTextures(mFunctions);
    // The move ignores the state: the whole image moves within the whole target.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_ALPHA_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, previous);
    glColor4f(1, 1, 1, 1);
    glBlendFunc(GL_ONE, GL_ZERO);
    const double left = destination.x;
    const double top = destination.y;
    const double right = left + static_cast<double>(size.x);
    const double bottom = top + static_cast<double>(size.y);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 1);
    glVertex2d(left, top);
    glTexCoord2d(0, 0);
    glVertex2d(left, bottom);
    glTexCoord2d(1, 0);
    glVertex2d(right, bottom);
    glTexCoord2d(1, 1);
    glVertex2d(right, top);
    glEnd();
    glPopMatrix();
    glPopAttrib();
    if (!ownFrame) {
        (void)RenderFinish(offscreen);
    }
    return ZV_S_OK;
}

}  // namespace ZV
