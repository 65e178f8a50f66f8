#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>
#include <memory>

namespace ZV {

// An image in memory: straight (not premultiplied) 32-bit pixels 0xAARRGGBB, rows from the top, packed. Surfaces
// that need premultiplied pixels are made from it when drawn.
class PixelImage {
public:
    // The largest image made: a side of 16384 pixels and 2^25 pixels (128 MiB) in all.
    static constexpr zlong kMaxSide = 16384;
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 25;

    // Both sides above 0 and within the limits.
    static bool IsAcceptableSize(zlong width, zlong height);
    // A transparent black image; null for a size that is not acceptable or memory that cannot be had.
    static std::unique_ptr<PixelImage> Create(zlong width, zlong height);

    zlong GetWidth() const { return mWidth; }
    zlong GetHeight() const { return mHeight; }
    // Bytes from one row to the next.
    std::uint32_t GetStride() const { return static_cast<std::uint32_t>(mWidth) * 4; }
    std::uint32_t* GetRow(zlong y) const { return static_cast<std::uint32_t*>(mPixels->GetData()) + y * mWidth; }
    // Whether the rectangle (x, y, width, height) lies inside the image.
    bool Contains(const RectT<zlong>& rect) const;

    // Counts the changes of the pixels, so that what was made from them can tell that it is out of date. Pixels open
    // for writing are taken as changed at every look: nobody can say when they are written.
    std::uint64_t GetChangeCount() const;
    // Whoever writes the rows directly says so afterwards.
    void MarkChanged() { ++mChangeCount; }
    // Pixel access that may write (LBitmapData) opens the pixels while it lives; closing counts as a change.
    void OpenForWriting() { ++mOpenWriters; }
    void CloseForWriting();

private:
    PixelImage(zlong width, zlong height, RCPtr<LIBuffer> pixels);

    zlong mWidth;
    zlong mHeight;
    RCPtr<LIBuffer> mPixels;
    mutable std::uint64_t mChangeCount = 0;
    std::uint32_t mOpenWriters = 0;
};

}  // namespace ZV
