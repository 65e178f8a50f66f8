// The bitmaps that colorizers make and tint.
#include "Utilities/Graphics/Bitmap.h"

#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Graphics/PixelImage.h"

#include <algorithm>

namespace ZV {

namespace {

// One colour channel tinted: the old value scaled by (1 - f) plus the tint, rounded; the result is kept inside the
// byte, since f (an alpha times an amount) may exceed 1.
zulong TintChannel(zulong old, float keep, float tint)
{
    const float value = ((static_cast<float>(old) / 255.0f) * keep + tint) * 255.0f + 0.5f;
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= 255.0f ? 255u : static_cast<zulong>(value);
}

// Gradients are not drawn: a colorizer that is no single colour is refused with the gradient's error.
void RefuseGradient(const LColorizer& colorizer, const PointT<zlong>& size)
{
    if (colorizer.IsGradient()) {
        LBitmap::CreateGradientFilledBitmap(size, colorizer.GetColor(), colorizer.GetEndColor(),
                                            colorizer.GetColorType() == LColorizer::kRadialGradient);
    }
}

}  // namespace

RCPtr<LBitmap> LBitmap::CreateFilledBitmap(const PointT<zlong>& size, const LColor& color)
{
    std::unique_ptr<PixelImage> image = PixelImage::Create(size.x, size.y);
    if (!image) {
        ZV_THROW(std::runtime_error, "");
    }
    const zulong argb = color.ToARGB();
    for (zlong y = 0; y < size.y; ++y) {
        std::fill_n(image->GetRow(y), size.x, argb);
    }
    return RCPtr<LBitmap>(new LBitmap(std::move(image)));
}

RCPtr<LBitmap> LBitmap::CreateColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount,
                                              const PointT<zlong>& size)
{
    if (size.x < 1 || size.y < 1 || colorizer.IsNull()) {
        ZV_THROW(std::runtime_error, "");
    }
    RefuseGradient(*colorizer, size);
    LColor color = colorizer->GetColor();
    color.a *= amount;
    return CreateFilledBitmap(size, color);
}

RCPtr<LBitmap> LBitmap::CreateGradientFilledBitmap(const PointT<zlong>&, const LColor&, const LColor&, bool)
{
    ZV_THROW(std::domain_error, "");
}

RCPtr<LBitmap> LBitmap::CreatePartBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount,
                                         const PointT<zlong>& size, const ConstRCPtr<LBitmap>& bitmap,
                                         const ConstRCPtr<LBitmap>& mask)
{
    if (bitmap.IsNull() && mask.IsNull()) {
        return CreateColorizedBitmap(colorizer, amount, size);
    }
    if (!bitmap.IsNull() && !mask.IsNull()) {
        // Tinting through a mask is not provided; the refusal names the tinting step it would need.
        ZV_THROW_IN("ZV::LBitmap::ApplyColorizer", std::domain_error, "");
    }
    RCPtr<LBitmap> copy = (bitmap.IsNull() ? mask : bitmap)->Clone();
    ApplyColorizer(copy, colorizer, amount);
    return copy;
}

void LBitmap::ApplyColorizer(const ConstRCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer,
                             float amount)
{
    if (bitmap.IsNull() || colorizer.IsNull()) {
        ZV_THROW(std::runtime_error, "");
    }
    const RectT<zlong>& part = bitmap->GetPart();
    RefuseGradient(*colorizer, PointT<zlong>(part.width, part.height));
    PixelImage* image = bitmap->GetBitmapData();
    if (image == nullptr || !image->Contains(part)) {
        return;
    }
    const LColor& color = colorizer->GetColor();
    const float strength = color.a * amount;
    const float keep = 1.0f - strength;
    const float red = color.r * strength;
    const float green = color.g * strength;
    const float blue = color.b * strength;
    for (zlong y = part.y; y < part.y + part.height; ++y) {
        zulong* pixel = image->GetRow(y) + part.x;
        for (zlong x = 0; x < part.width; ++x, ++pixel) {
            const zulong argb = *pixel;
            *pixel = (argb & 0xFF000000u) | TintChannel(argb >> 16 & 0xFF, keep, red) << 16 |
                     TintChannel(argb >> 8 & 0xFF, keep, green) << 8 | TintChannel(argb & 0xFF, keep, blue);
        }
    }
    image->MarkChanged();
}

}  // namespace ZV
