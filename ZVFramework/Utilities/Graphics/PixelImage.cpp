#include "Utilities/Graphics/PixelImage.h"

namespace ZV {

PixelImage::PixelImage(zlong width, zlong height, RCPtr<LIBuffer> pixels)
    : mWidth(width), mHeight(height), mPixels(std::move(pixels))
{
}

bool PixelImage::IsAcceptableSize(zlong width, zlong height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           static_cast<std::int64_t>(width) * height <= kMaxPixels;
}

std::unique_ptr<PixelImage> PixelImage::Create(zlong width, zlong height)
{
    if (!IsAcceptableSize(width, height)) {
        return nullptr;
    }
    const auto size = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 4;
    RCPtr<LIBuffer> pixels = PixelStorageBuffer::Create(size, 0, true);
    if (pixels->GetSize() != size) {
        return nullptr;
    }
    return std::unique_ptr<PixelImage>(new PixelImage(width, height, std::move(pixels)));
}

bool PixelImage::Contains(const RectT<zlong>& rect) const
{
    const std::int64_t right = static_cast<std::int64_t>(rect.x) + rect.width;
    const std::int64_t bottom = static_cast<std::int64_t>(rect.y) + rect.height;
    return rect.x >= 0 && rect.y >= 0 && rect.width >= 0 && rect.height >= 0 && right <= mWidth && bottom <= mHeight;
}

std::uint64_t PixelImage::GetChangeCount() const
{
    if (mOpenWriters != 0) {
        ++mChangeCount;
    }
    return mChangeCount;
}

void PixelImage::CloseForWriting()
{
    --mOpenWriters;
    ++mChangeCount;
}

}  // namespace ZV
