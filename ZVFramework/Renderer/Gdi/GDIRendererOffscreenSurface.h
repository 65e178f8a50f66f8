#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <cairo.h>

namespace ZV {

// Premultiplied 32-bit pixels in memory with a Cairo context that draws on them, drawn without anti-aliasing.
// Needs no window or display.
class LGDIRendererOffscreenSurface : public virtual LRefCountedObject {
public:
    // The largest side a surface takes; larger sizes are cut to it, smaller than 1 raised to 1.
    static constexpr zlong kMaxSide = 4096;

    static RCPtr<LGDIRendererOffscreenSurface> Create(const PointT<zlong>& size);
    ~LGDIRendererOffscreenSurface() override;

    // The size a surface asked for that size gets.
    static PointT<zlong> FitSize(const PointT<zlong>& size);
    // New transparent pixels of the size; the old ones are gone. ZV_E_FAIL when Cairo could not make them, and the
    // surface then has a 1 x 1 size.
    [[nodiscard]] ZVRESULT Resize(const PointT<zlong>& size);
    PointT<zlong> GetSize() const;

    // Paints the source rectangle of this surface at the destination through the target with the target's
    // operator and clip; alpha below 1 fades it.
    void DrawTo(cairo_t* target, const PointT<double>& destination, const RectT<zlong>& source,
                double alpha = 1.0) const;

    // A Cairo context in its error state draws nothing ever again. When the context is in one, it is made anew on
    // the same pixels, which keep what was drawn, and the error is answered; CAIRO_STATUS_SUCCESS when it was not.
    // The new context has no clip.
    cairo_status_t RenewGraphicsAfterError();

    cairo_t* GetGraphics() const { return mGraphics; }
    cairo_surface_t* GetBitmap() const { return mBitmap; }

private:
    LGDIRendererOffscreenSurface() = default;
    void Destroy();
    void CreateGraphics();

    cairo_surface_t* mBitmap = nullptr;
    cairo_t* mGraphics = nullptr;
};

}  // namespace ZV
