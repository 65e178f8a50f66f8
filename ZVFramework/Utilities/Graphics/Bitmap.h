#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace ZV {

class LBitmapData;
class LColorizer;
class PixelImage;

// An image of the user interface: one that owns its pixels (loaded from a PNG resource or file, or made in memory)
// or a rectangle of another bitmap's pixels (a sub-bitmap). The part rectangle says which pixels it shows: all of
// an image it owns, its rectangle of its source's. User-interface thread only.
class LBitmap : public virtual LRefCountedObject {
public:
    // The bitmap of an image name, loaded once and shared while anybody holds it. A name beginning "::" names an
    // embedded resource of type "GDIPLUS" ("::QD.png" is QD_PNG) and matches in any letter case; any other name is
    // a file path, taken as it is. Null, with one line of debug output, when the image cannot be loaded; the next
    // request tries again.
    static ConstRCPtr<LBitmap> GetCachedBitmap(const WideString& name);

    // Images made in memory. A width or height not above 0 (or past PixelImage's limits) throws a "Runtime Error".
    static RCPtr<LBitmap> CreateFilledBitmap(const PointT<zlong>& size, const LColor& color);
    // The colorizer's colour, its alpha times amount. A gradient colorizer is refused (CreateGradientFilledBitmap).
    static RCPtr<LBitmap> CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount,
                                                const PointT<zlong>& size);
    // Gradients are not drawn: always throws a "Domain Error".
    [[noreturn]] static RCPtr<LBitmap> CreateGradientFilledBitmap(const PointT<zlong>& size, const LColor& startColor,
                                                                  const LColor& endColor, bool vertical);
    // With no bitmap a colorized fill; with one a tinted copy of it; with both (a bitmap and a mask) a "Domain
    // Error".
    static RCPtr<LBitmap> CreatePartBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount,
                                           const PointT<zlong>& size, const ConstRCPtr<LBitmap>& bitmap,
                                           const ConstRCPtr<LBitmap>& mask);
    // Tints the bitmap's part rectangle in place towards the colorizer's colour by its alpha times amount; alpha
    // stays. A sub-bitmap tints its source's pixels. A null bitmap or colorizer throws a "Runtime Error".
    static void ApplyColorizer(const ConstRCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer,
                               float amount);

    ~LBitmap() override;

    // A bitmap showing the rectangle (x, y relative to this bitmap's part) of the same pixels, none copied; a
    // width or height not above 0 takes this bitmap's whole part. A rectangle whose edges pass the 32-bit range
    // throws a "Failed Result" (ZV_E_INVALIDARG).
    RCPtr<LBitmap> CreateSubBitmap(zlong x, zlong y, zlong width, zlong height) const;
    // A bitmap that owns a copy of this bitmap's part rectangle of pixels.
    RCPtr<LBitmap> Clone() const;

    // The image that holds this bitmap's pixels: its own, or its source's.
    PixelImage* GetBitmapData() const;
    // The pixels of the part rectangle; a sub-bitmap answers with its source's.
    ConstRCPtr<LBitmapData> GetPixelData() const;
    // The colour of the pixel at (x, y) relative to the part rectangle, straight; (0, 0, 0, 0) outside the image.
    LColor GetPixelColor(zlong x, zlong y) const;

    // x, y, width, height of the pixels shown, inside the image that holds them.
    const RectT<zlong>& GetPart() const { return mPart; }
    // A number no other bitmap of the process has: what caches know a bitmap by without holding it.
    std::uint64_t GetIdentity() const { return mIdentity; }

    // Takes the bitmap out of the cache, which holds it as an internal reference.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    // Loads the named image; without success the bitmap is not valid.
    LBitmap(const WideString& name, const WideString& cacheKey);
    explicit LBitmap(std::unique_ptr<PixelImage> image);
    LBitmap(const ConstRCPtr<LBitmap>& source, const RectT<zlong>& part);

    // Whether the bitmap has pixels to show: an image or a source.
    bool IsValid() const;
    void TakeImage(std::unique_ptr<PixelImage> image);

    const std::uint64_t mIdentity;
    RectT<zlong> mPart;
    ConstRCPtr<LBitmap> mSource;
    WideString mName;
    WideString mCacheKey;
    std::unique_ptr<PixelImage> mImage;
};

}  // namespace ZV
