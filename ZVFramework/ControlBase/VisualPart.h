#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LRenderer;
class LVisualPartDescriptor;

// The drawable piece of a skin that every look naming it shares: a rectangle of an image, or a plain colour, drawn
// into a box stretched, tiled or centred. A colorizer tints it once, when it is made; afterwards it never changes.
// The part holds the descriptor that made it, and the descriptor keeps the part as one of the part's internal
// references: when the last look lets the part go, the descriptor forgets it. User-interface thread only.
class LVisualPart : public virtual LRefCountedObject {
public:
    // White, fully transparent: what a part answers where it has no colour.
    static constexpr std::uint32_t kNoColor = 0x00FFFFFF;

    // A part showing the bitmap, tinted through the mask when there is a colorizer; null without a bitmap.
    static RCPtr<LVisualPart> Create(const WideString& name, const ConstRCPtr<LBitmap>& bitmap,
                                     std::uint32_t resizeType, const RCPtr<LColorizer>& colorizer, float alphaModifier,
                                     const ConstRCPtr<LBitmap>& mask);
    // A part without an image: the colorizer's colour, at the size given.
    static RCPtr<LVisualPart> CreateColorPart(const WideString& name, std::uint32_t resizeType,
                                              const RCPtr<LColorizer>& colorizer, const PointT<zlong>& size,
                                              float alphaModifier, const ConstRCPtr<LBitmap>& mask);

    // Draws into the box (0, 0, width, height) of the renderer's current origin. 0. A colour part without a colorizer
    // throws a "Runtime Error".
    virtual ZVRESULT Draw(LRenderer& renderer, float width, float height) const;

    // 0xAARRGGBB at a point of the box (width, height) the part is drawn into, as Draw places its pixels there; the
    // shrunk stretch answers the first opaque pixel among those the point covers. Transparent outside the box and
    // for a part without extent. A gradient colorizer, or an unknown resize type, throws a "Runtime Error".
    std::uint32_t GetColorAtPoint(const PointT<float>& point, const PointT<float>& box) const;
    // 0xAARRGGBB of the part's own pixel; transparent outside the part.
    std::uint32_t GetColorAtPoint(const PointT<zlong>& pixel) const;
    // What a colour part fills with: the colorizer's colour, its alpha times the alpha modifier; transparent without
    // a colorizer.
    LColor GetFillColor() const;

    const WideString& GetName() const { return mName; }
    // Null for a colour part.
    const ConstRCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
    const PointT<zlong>& GetSize() const { return mSize; }
    std::uint32_t GetResizeType() const { return mResizeType; }
    const RCPtr<LColorizer>& GetColorizer() const { return mColorizer; }

    // Done by the descriptor that keeps the part, once: the part holds it from now on.
    void SetDescriptor(const RCPtr<LVisualPartDescriptor>& descriptor);
    // With only the descriptor's hold left: the descriptor forgets the part, which goes.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    LVisualPart(const WideString& name, const ConstRCPtr<LBitmap>& bitmap, std::uint32_t resizeType,
                const RCPtr<LColorizer>& colorizer, const PointT<zlong>& size, float alphaModifier,
                const ConstRCPtr<LBitmap>& mask);

    WideString mName;
    ConstRCPtr<LBitmap> mBitmap;
    PointT<zlong> mSize;
    std::uint32_t mResizeType;
    RCPtr<LColorizer> mColorizer;
    float mAlphaModifier;
    ConstRCPtr<LBitmap> mMask;
    RCPtr<LVisualPartDescriptor> mDescriptor;
};

}  // namespace ZV
