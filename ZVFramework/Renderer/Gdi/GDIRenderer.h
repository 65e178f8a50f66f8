#pragma once

#include "Renderer/Gdi/GDIFonts.h"
#include "Renderer/Gdi/PreScaledBitmapCache.h"
#include "Renderer/Polyline.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableObjectCache.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>

namespace ZV {

class LGDIRenderContextInfo;

// The renderer of kind 1, the one the application draws with: Cairo draws every frame into the back buffer of the
// current context (LGDIRenderContextInfo), and the end of the frame copies the dirty region to the window.
// Bitmaps drawn at another size are scaled, tiled or centred once and kept, within a budget of bytes; paths are
// built once per polyline until it changes. Geometry is drawn without anti-aliasing, images with nearest-neighbour
// sampling; the state's factor fades every colour and image drawn. Text is drawn by font family through fontconfig
// at 96 dpi. User-interface thread only.
class LGDIRenderer : public LRenderer {
public:
    // Each cache holds this many objects.
    static constexpr int kCacheSize = 256;
    // The pre-scaled bitmaps take at most this many bytes unless told otherwise; one larger is drawn and not kept.
    static constexpr std::size_t kDefaultPreScaledBudget = std::size_t{64} << 20;
    // At most this often the pre-scaled bitmaps not drawn since the last purge are dropped.
    static constexpr std::int32_t kPurgeIntervalMs = 300000;

    // Lets LRenderer::Create make this renderer for kGdi.
    static void Register();

    LGDIRenderer();
    ~LGDIRenderer() override;

    [[nodiscard]] ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                          zlong& bottom) override;
    // From the line's top-left corner: x 0, y the font's top, the width up to the pen's position after the last
    // character (blanks included) and the line height. Drawn at a point, the text's ink lies within this box placed
    // at the baseline, which is the font's top below the point, less one pixel.
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    // Each head exactly as MeasureText answers it, from one layout of the text; false for a text whose characters
    // do not each make one glyph (surrogate pairs), which is measured head by head.
    bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                      Array<RectT<float>>& heads) override;
    int GetRendererType() const override { return kGdi; }
    [[nodiscard]] ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                                 bool offscreen, RCPtr<LRenderContextInfo>& context) override;

    // A context of another kind leaves the frame without a current context: nothing is drawn until it ends.
    [[nodiscard]] ZVRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    // Presents the frame, then purges the pre-scaled bitmaps when the purge interval has passed.
    [[nodiscard]] ZVRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

    // Drawing outside a frame does nothing, except DrawBitmap, which throws a "Runtime Error".
    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                  const LColor& color) override;
    void FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth) override;
    // Without blend the pixels are set to the colour where the rectangle lies on the surface, origin and clip
    // aside.
    void FillRect(const RectT<zlong>& rect, const LColor& color, bool blend) override;
    void DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool cache) override;
    void DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width) override;
    void DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                          const PointT<float>& scale, bool cache) override;
    void DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                      const PointT<float>& scale, bool cache) override;
    void DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    // Even-odd: where the outline crosses itself the overlap stays empty.
    void FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    // A null bitmap throws a "Failed Result" (ZV_E_INVALIDARG), a resize type other than 0, 1 and 2 an "Invalid
    // Argument" unless the bitmap is drawn at its own size. Tiles start at the destination's corner; a centred
    // bitmap sits at half the difference of the sizes, in whole pixels. A destination the clip does not show costs
    // nothing, and one larger than a surface is fitted only where the clip shows it.
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType) override;
    // Both take an offscreen context of this kind, else answer ZV_E_INVALIDARG; ZV_E_FAIL outside a frame.
    [[nodiscard]] ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                            const RectT<zlong>& source) override;
    // Moves the offscreen context's image by the destination within its own surface; what moves in is
    // transparent.
    [[nodiscard]] ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen,
                                              const PointT<zlong>& destination) override;

    void SetClipRect(const RectT<double>& clip) override;

    // The bytes that the pre-scaled bitmaps take, and at most may take.
    std::size_t GetPreScaledBytes() const { return mPreScaled.GetBytes(); }
    void SetPreScaledBudget(std::size_t bytes) { mPreScaled.SetBudget(bytes); }

private:
    enum class PathShape { kSegments, kOpen, kClosed };

    // A polyline's path in its own coordinates, in the shape it was built for.
    class LGraphicsPath : public virtual LRefCountedObject {
    public:
        // Takes the path.
        LGraphicsPath(cairo_path_t* path, PathShape shape) : mPath(path), mShape(shape) {}
        ~LGraphicsPath() override { cairo_path_destroy(mPath); }

        const cairo_path_t* GetPath() const { return mPath; }
        PathShape GetShape() const { return mShape; }

    private:
        cairo_path_t* mPath;
        PathShape mShape;
    };

    const RenderState& State() const;
    // The current context's Cairo context, made anew first when a failed call left it unable to draw.
    cairo_t* Graphics();
    void PurgeWhenDue();
    void DrawPath(const PolylineT<float>& path, PathShape shape, bool fill, const LColor& color,
                  const PointT<float>& translation, const PointT<float>& scale, bool cache);
    RCPtr<LGraphicsPath> GetPath(const PolylineT<float>& path, PathShape shape, bool cache);
    // The bitmap fitted to the size, with a reference for the caller: the pre-scaled copy, made and kept when there
    // is none yet. Null when it cannot be made.
    cairo_surface_t* GetFittedBitmap(const LBitmap& bitmap, zlong width, zlong height, int resizeType);
    LGDIRenderContextInfo* GetOffscreenContext(const RCPtr<LRenderContextInfo>& context) const;

    LGDIRenderContextInfo* mCurrentContext = nullptr;
    PreScaledBitmapCache mPreScaled{kCacheSize, kDefaultPreScaledBudget};
    // Path identities are counted up from 1: their low bits spread them over the buckets.
    PurgableObjectCache<LGraphicsPath, PolylineT<float>, std::intptr_t, &PolylineT<float>::GetHandle, 8,
                        &GetBits<8, 0, std::intptr_t>>
        mPathCache{kCacheSize};
    zulong mLastPurgeTime;
    GDIFontCache mFonts;
    // Paths are built here, away from any surface.
    cairo_surface_t* mPathSurface;
    cairo_t* mPathBuilder;
};

}  // namespace ZV
