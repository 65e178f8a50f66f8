#include "ControlBase/VisualPart.h"

#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

// Sizes reach the renderer within the range that a float holds to the pixel.
constexpr float kSizeLimit = 8388608.0f;
// How near a box must be to the part's own size to count as that size.
constexpr float kSameSize = 1.19e-6f;

zlong ToPixels(float value)
{
    return RoundToLong(std::fmax(-kSizeLimit, std::fmin(kSizeLimit, value)));
}

bool HasAlpha(std::uint32_t argb)
{
    return (argb >> 24) != 0;
}

// How far a part of that extent is moved to sit in the middle of the box, as the renderers place it.
zlong CentreOffset(zlong box, zlong extent)
{
    return (box - extent) / 2;
}

}  // namespace

LVisualPart::LVisualPart(const WideString& name, const ConstRCPtr<LBitmap>& bitmap, std::uint32_t resizeType,
                         const RCPtr<LColorizer>& colorizer, const PointT<zlong>& size, float alphaModifier,
                         const ConstRCPtr<LBitmap>& mask)
    : mName(name),
      mBitmap(bitmap),
      mSize(bitmap.IsNull() ? size : PointT<zlong>(bitmap->GetPart().width, bitmap->GetPart().height)),
      mResizeType(resizeType),
      mColorizer(colorizer),
      mAlphaModifier(alphaModifier),
      mMask(mask)
{
    const bool needsPixels = !mBitmap.IsNull() || !mMask.IsNull() ||
                             (mColorizer && mColorizer->GetColorType() != LColorizer::kSolidFill);
    // Tinted once, here: drawing is then a plain copy. A part without extent has no pixels to tint.
    if (mColorizer && needsPixels && mSize.x > 0 && mSize.y > 0) {
        mBitmap = LBitmap::CreatePartBitmap(mColorizer, mAlphaModifier, mSize, mBitmap, mMask);
    }
}

RCPtr<LVisualPart> LVisualPart::Create(const WideString& name, const ConstRCPtr<LBitmap>& bitmap,
                                       std::uint32_t resizeType, const RCPtr<LColorizer>& colorizer,
                                       float alphaModifier, const ConstRCPtr<LBitmap>& mask)
{
    if (bitmap.IsNull()) {
        return nullptr;
    }
    return RCPtr<LVisualPart>(new LVisualPart(name, bitmap, resizeType, colorizer, {}, alphaModifier, mask),
                              kNewObject);
}

RCPtr<LVisualPart> LVisualPart::CreateColorPart(const WideString& name, std::uint32_t resizeType,
                                                const RCPtr<LColorizer>& colorizer, const PointT<zlong>& size,
                                                float alphaModifier, const ConstRCPtr<LBitmap>& mask)
{
    return RCPtr<LVisualPart>(new LVisualPart(name, nullptr, resizeType, colorizer, size, alphaModifier, mask),
                              kNewObject);
}

ZVRESULT LVisualPart::Draw(LRenderer& renderer, float width, float height) const
{
    const zlong boxWidth = ToPixels(width);
    const zlong boxHeight = ToPixels(height);
    if (!mBitmap.IsNull()) {
        renderer.DrawBitmap(mBitmap, RectT<zlong>(0, 0, boxWidth, boxHeight), static_cast<int>(mResizeType));
        return ZV_S_OK;
    }
    if (!mColorizer) {
        ZV_THROW(std::runtime_error, "");
    }
    const LColor color = GetFillColor();
    if (!(color.a > 0)) {
        return ZV_S_OK;
    }
    const RectT<zlong> rect = mResizeType == kResizeCenter
                                  ? RectT<zlong>(CentreOffset(boxWidth, mSize.x), CentreOffset(boxHeight, mSize.y),
                                                 mSize.x, mSize.y)
                                  : RectT<zlong>(0, 0, boxWidth, boxHeight);
    // Painted over what lies below: a translucent part lets it show.
    renderer.FillRect(rect, color, true);
    return ZV_S_OK;
}

std::uint32_t LVisualPart::GetColorAtPoint(const PointT<float>& point, const PointT<float>& box) const
{
    // Without extent there is no pixel to answer with, nor a repeat to wrap at.
    if (mSize.x <= 0 || mSize.y <= 0) {
        return kNoColor;
    }
    const float width = static_cast<float>(mSize.x);
    const float height = static_cast<float>(mSize.y);
    if (std::fabs(box.x - width) <= kSameSize && std::fabs(box.y - height) <= kSameSize) {
        return GetColorAtPoint(PointT<zlong>(RoundToLong(point.x), RoundToLong(point.y)));
    }
    if (!(point.x >= 0 && point.y >= 0 && point.x < box.x && point.y < box.y)) {
        return kNoColor;
    }
    switch (mResizeType) {
    case kResizeTile:
        return GetColorAtPoint(PointT<zlong>(static_cast<zlong>(point.x + 0.5f) % mSize.x,
                                             static_cast<zlong>(point.y + 0.5f) % mSize.y));
    case kResizeCenter:
        return GetColorAtPoint(
            PointT<zlong>(RoundToLong(point.x - static_cast<float>(CentreOffset(ToPixels(box.x), mSize.x))),
                          RoundToLong(point.y - static_cast<float>(CentreOffset(ToPixels(box.y), mSize.y)))));
    case kResizeStretch:
        break;
    default:
        ZV_THROW(std::runtime_error, "");
    }
    const float scaleX = width / box.x;
    const float scaleY = height / box.y;
    if (box.x >= width && box.y >= height) {
        return GetColorAtPoint(
            PointT<zlong>(static_cast<zlong>(scaleX * point.x), static_cast<zlong>(scaleY * point.y)));
    }
    // Shrunk: the point covers several source pixels; any of them that shows counts.
    const zlong left = static_cast<zlong>(std::floor(scaleX * point.x));
    const zlong top = static_cast<zlong>(std::floor(scaleY * point.y));
    const zlong right = std::max(left + 1, static_cast<zlong>(std::floor(scaleX * (point.x + 1))));
    const zlong bottom = std::max(top + 1, static_cast<zlong>(std::floor(scaleY * (point.y + 1))));
    for (zlong y = top; y < bottom; ++y) {
        for (zlong x = left; x < right; ++x) {
            const std::uint32_t color = GetColorAtPoint(PointT<zlong>(x, y));
            if (HasAlpha(color)) {
                return color;
            }
        }
    }
    return kNoColor;
}

std::uint32_t LVisualPart::GetColorAtPoint(const PointT<zlong>& pixel) const
{
    if (pixel.x < 0 || pixel.y < 0 || pixel.x >= mSize.x || pixel.y >= mSize.y) {
        return kNoColor;
    }
    if (!mBitmap.IsNull()) {
        return mBitmap->GetPixelColor(pixel.x, pixel.y).ToARGB();
    }
    // Without an image only a solid colour has pixels: a gradient part got its image when it was made.
    if (!mColorizer || mColorizer->GetColorType() != LColorizer::kSolidFill) {
        ZV_THROW(std::runtime_error, "");
    }
    return GetFillColor().ToARGB();
}

LColor LVisualPart::GetFillColor() const
{
    if (!mColorizer) {
        return LColor();
    }
    LColor color = mColorizer->GetColor();
    color.a *= mAlphaModifier;
    return color;
}

void LVisualPart::SetDescriptor(const RCPtr<LVisualPartDescriptor>& descriptor)
{
    mDescriptor = descriptor;
}

ZVRESULT LVisualPart::ReleaseInternalReferences()
{
    if (const RCPtr<LVisualPartDescriptor> descriptor = mDescriptor) {
        AddInternalReferences(-1);
        descriptor->ForgetVisualPart(this);
    }
    return LRefCountedObject::ReleaseInternalReferences();
}

LVisualPartDescriptor::~LVisualPartDescriptor() = default;

RCPtr<LVisualPart> LVisualPartDescriptor::GetVisualPart()
{
    if (mVisualPart) {
        return mVisualPart;
    }
    ConstRCPtr<LBitmap> mask;
    if (!mMask.fileName.IsEmpty()) {
        if (const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(mMask.fileName)) {
            mask = sheet->CreateSubBitmap(mMask.x, mMask.y, mMask.width, mMask.height);
        }
    }
    RCPtr<LVisualPart> part;
    if (!mImage.fileName.IsEmpty()) {
        if (const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(mImage.fileName)) {
            part = LVisualPart::Create(mName, sheet->CreateSubBitmap(mImage.x, mImage.y, mImage.width, mImage.height),
                                       mResizeType, mColorizer, mColorizerAlphaMod, mask);
        }
    } else if (mColorizer) {
        part = LVisualPart::CreateColorPart(mName, mResizeType, mColorizer, mSize.ToLongPoint(), mColorizerAlphaMod,
                                            mask);
    }
    if (part) {
        // The part holds this descriptor; this descriptor's hold on the part is the part's internal reference.
        mVisualPart = part;
        part->AddInternalReferences(1);
        part->SetDescriptor(this);
    }
    return part;
}

void LVisualPartDescriptor::ForgetVisualPart(const LVisualPart* part)
{
    if (mVisualPart.Get() == part) {
        mVisualPart = nullptr;
    }
}

}  // namespace ZV
