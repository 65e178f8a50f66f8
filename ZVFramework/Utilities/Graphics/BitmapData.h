#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/PixelBuffer.h"

namespace ZV {

class LBitmap;
class PixelImage;

// The pixels of a bitmap's part rectangle, straight 0xAARRGGBB, read and written in place. Holds the bitmap while
// it lives. A part that does not lie inside the image gives an empty buffer (0 x 0, no rows). Renderers draw the
// pixels as written from their next draw on, while this lives and after.
class LBitmapData : public IPixelBuffer<zulong>, public virtual LRefCountedObject {
public:
    explicit LBitmapData(const ConstRCPtr<LBitmap>& bitmap);
    ~LBitmapData() override;

    zlong GetWidth() const override { return mWidth; }
    zlong GetHeight() const override { return mHeight; }
    zlong GetStride() const override { return mStride; }
    zulong* GetPixelPointer(zlong x, zlong y) const override;

private:
    ConstRCPtr<LBitmap> mBitmap;
    // Open for writing while this lives; null for an empty buffer.
    PixelImage* mImage = nullptr;
    zlong mWidth = 0;
    zlong mHeight = 0;
    zlong mStride = 0;
    zulong* mFirstRow = nullptr;
};

}  // namespace ZV
