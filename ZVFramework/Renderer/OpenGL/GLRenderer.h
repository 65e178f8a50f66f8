#pragma once

#include "Renderer/ColorRectList.h"
#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/OpenGL/GLDisplayList.h"
#include "Renderer/OpenGL/GLEntryPoints.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLObjectBin.h"
#include "Renderer/OpenGL/GLTexture.h"
#include "Renderer/Polyline.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/PixelImage.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"

#include <cstdint>
#include <memory>
#include <type_traits>

namespace ZV {

namespace Platform {
class GlxContext;
class GlxSurface;
struct GlxFailure;
}  // namespace Platform

class LGLRenderContextInfo;

// The renderer of kind 0: OpenGL 1.x through one GLX context, with a projection of one unit per window pixel and y
// downwards, the clip as the scissor and the origin as the model-view translation. Paths, polygons and colour
// rectangle lists drawn with the cache flag are compiled into display lists once and replayed until they change;
// every image is uploaded once into a texture and drawn from it; text is laid out by the font renderer and drawn
// from its glyph processor's atlases. Geometry and images come out as the 2D renderer draws them: without
// smoothing, a line on the pixels that a one-pixel pen centred on its coordinates covers, a scaled image sampled at
// the nearest pixel. A window's back buffer keeps the previous frame, so a frame need only draw what changed.
// User-interface thread only.
class LGLRenderer : public LRenderer {
public:
    static constexpr int kListCacheSize = 256;
    static constexpr int kTextureCacheSize = 64;
    // At most this often the lists and textures not used since the last purge are dropped.
    static constexpr std::int32_t kPurgeIntervalMs = 300000;

    // Lets LRenderer::Create make this renderer for kOpenGL, with an OpenGL glyph renderer and a FreeType font
    // renderer that draws through it.
    static void Register();

    // Sets OpenGL up for the window: a framebuffer configuration of its visual and a rendering context. A failure
    // shows the framework's OpenGL error text in the platform's message box, then throws a "Runtime Error". The
    // window's display must outlive the renderer.
    LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, const Platform::NativeWindow* window);
    ~LGLRenderer() override;

    // Forwarded to the font renderer; without one a failure and an empty box.
    [[nodiscard]] ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                          zlong& bottom) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                      Array<RectT<float>>& heads) override;
    bool MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                               Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout) override;
    int GetRendererType() const override { return kOpenGL; }
    // A context for a window draws into it (a window of another visual gets a child window of the renderer's
    // visual); an offscreen one, or one without a window, into an image of its own. A window that is gone shows the
    // error text and throws a "Runtime Error"; ZV_E_NOTIMPL for an offscreen context when the driver has no
    // framebuffer objects.
    [[nodiscard]] ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                                 bool offscreen, RCPtr<LRenderContextInfo>& context) override;
    [[nodiscard]] ZVRESULT SetViewport(const RectT<zlong>& viewport) override;

    // Makes the context's target current: its window, or its own image. ZV_E_FAIL, with one line of debug output
    // until a frame of the context starts again, when it cannot be; the frame then draws nothing. A context of
    // another kind draws nothing either.
    [[nodiscard]] ZVRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    // Presents a window's frame (swapped, or copied from the back buffer); an offscreen frame is never presented.
    // The context started before it gets its target back; after the outermost frame the caches are purged when the
    // purge interval has passed. The OpenGL context stays current on the thread between frames.
    [[nodiscard]] ZVRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

    // Drawing outside a frame does nothing; text needs a font renderer whose processor is an OpenGL glyph renderer.
    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                  const LColor& color) override;
    void DrawLaidOutText(const WideString& text, const LLaidOutText* layout, const ConstRCPtr<LFont>& font,
                         const PointT<zlong>& position, const LColor& color) override;
    void FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth) override;
    // Without blend the rectangle is cleared to transparent black, whatever the colour and the clip.
    void FillRect(const RectT<zlong>& rect, const LColor& color, bool blend) override;
    // The first rectangle ends on top.
    void DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool cache) override;
    void DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width) override;
    void DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                          const PointT<float>& scale, bool cache) override;
    void DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                      const PointT<float>& scale, bool cache) override;
    // The outline is closed.
    void DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    // By the odd winding rule: where the outline crosses itself the overlap stays empty.
    void FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    // A null bitmap throws a "Failed Result" (ZV_E_INVALIDARG), a resize type other than 0, 1 and 2 a "Logic Error"
    // unless the bitmap is drawn at its own size. Nothing is drawn outside the destination: the last tiles are cut
    // at its edges, a centred bitmap larger than it is cut to it; tiles the clip does not show are not drawn.
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType) override;
    // Both take an offscreen context of this renderer's kind, else ZV_E_INVALIDARG; DrawBitmapPart draws the
    // source rectangle of its image at the destination (ZV_E_FAIL outside a frame).
    [[nodiscard]] ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                                          const RectT<zlong>& source) override;
    // Moves the offscreen context's image by the destination within its own image; what moves in is transparent.
    [[nodiscard]] ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen,
                                              const PointT<zlong>& destination) override;

    void SetClipRect(const RectT<double>& clip) override;
    void SetOrigin(const PointT<double>& delta) override;

    // Display lists compiled and bitmap textures uploaded since the renderer was made.
    std::uint32_t GetCompiledListCount() const { return mCompiledListCount; }
    std::uint32_t GetTextureUploadCount() const { return mTextureUploadCount; }

private:
    // What a drawing operation paints with. Each operation sets it before it draws, so that none depends on what the
    // one before left: texturing only for images (none for geometry), images as they are except glyphs, which take
    // the current colour, blending unless the image is opaque, and for an offscreen image, colour that is already
    // premultiplied.
    enum class Paint { kColor, kImage, kOpaqueImage, kPremultipliedImage, kGlyphs };

    static std::intptr_t GetImageKey(const PixelImage& image);
    template <class Key>
    using ListCache =
        PurgableObjectCache<LGLDisplayList, Key, std::intptr_t, &Key::GetHandle, 8, &GetBits<8, 0, std::intptr_t>>;
    using TextureCache =
        PurgableObjectCache<LGLTexture, PixelImage, std::intptr_t, &GetImageKey, 8, &GetBits<8, 4, std::intptr_t>>;

    // Makes the context's target current and sets its viewport, clip and origin; false, reported, when it cannot.
    bool BindTarget(LGLRenderContextInfo& context);
    void Present(LGLRenderContextInfo& context);
    void ShowBackBuffer(const LGLRenderContextInfo& context, const Platform::GlxSurface& surface);
    // One line of debug output for a context whose frames fail, until one succeeds.
    void ReportFrameFailure(LGLRenderContextInfo& context, const Platform::GlxFailure& failure);
    // The area (window pixels, rows from the bottom) of the back buffer copied to the front buffer.
    void CopyBackBufferToFront(const RectT<zlong>& viewport, const RectT<zlong>& area);
    void ApplyDefaultState();
    void UsePaint(Paint paint);
    void PurgeWhenDue();
    // The scissor of the rectangle in device coordinates, cut to the viewport.
    void ScissorTo(const RectT<double>& device);
    // The model-view matrix: a translation by the current origin.
    void LoadOrigin();

    // Replays the object's list from the cache, compiling it first when there is none or the object changed; the
    // companion cache holds a list of the same object in another shape, dropped when the object changed. Without
    // the cache flag the object's lists are dropped and it is drawn directly.
    template <class Key, class Draw>
    void DrawCached(ListCache<Key>& lists, std::type_identity_t<ListCache<Key>>* companion, const Key& object,
                    bool useCache, Draw draw);
    // Segments, polylines and outlines: the path's points as a vertex array in the mode.
    void DrawPath(const PolylineT<float>& path, GLenum mode, ListCache<PolylineT<float>>& lists,
                  ListCache<PolylineT<float>>* companion, const LColor& color, const PointT<float>& translation,
                  const PointT<float>& scale, bool cache);
    // The part of the texture's image drawn at the destination: stretched, tiled or centred.
    void DrawTexture(const LGLTexture& texture, const RectT<zlong>& part, const RectT<zlong>& destination,
                     int resizeType);
    // The bitmap's texture, uploaded again when its pixels changed; null when the bitmap has no pixels.
    LGLTexture* GetTexture(const ConstRCPtr<LBitmap>& bitmap);
    LGLRenderContextInfo* GetOffscreenContext(const RCPtr<LRenderContextInfo>& context) const;
    // The device area the current clip shows, cut to the viewport: x, y, width, height.
    RectT<double> GetVisibleArea() const;

    RCPtr<LFontRenderer> mFontRenderer;
    // The font renderer's processor that draws; without one no text is drawn.
    RCPtr<LGLGlyphRenderer> mGlyphs;
    RCPtr<LGLObjectBin> mBin{new LGLObjectBin()};
    std::unique_ptr<Platform::GlxContext> mGlx;
    GLEntryPoints mFunctions;
    PointT<zlong> mMaxSurfaceSize;
    zulong mLastPurgeTime;
    ListCache<PolylineT<float>> mFillLists{kListCacheSize};
    ListCache<PolylineT<float>> mOutlineLists{kListCacheSize};
    ListCache<PolylineT<float>> mSegmentLists{kListCacheSize};
    ListCache<PolylineT<float>> mPolylineLists{kListCacheSize};
    ListCache<ColorRectListT<float>> mColorRectLists{kListCacheSize};
    TextureCache mTextures{kTextureCacheSize};
    // The context drawn into, while a frame of this renderer's kind runs and its target could be made current.
    LGLRenderContextInfo* mCurrent = nullptr;
    std::uint32_t mCompiledListCount = 0;
    std::uint32_t mTextureUploadCount = 0;
};

}  // namespace ZV
