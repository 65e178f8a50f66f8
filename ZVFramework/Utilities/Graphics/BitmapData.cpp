#include "Utilities/Graphics/BitmapData.h"

#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

namespace ZV {

LBitmapData::LBitmapData(const ConstRCPtr<LBitmap>& bitmap) : mBitmap(bitmap)
{
    PixelImage* image = bitmap->GetBitmapData();
    const RectT<zlong>& part = bitmap->GetPart();
    if (image != nullptr && image->Contains(part)) {
        mImage = image;
        mImage->OpenForWriting();
        mWidth = part.width;
        mHeight = part.height;
        mStride = static_cast<zlong>(image->GetStride());
        mFirstRow = image->GetRow(part.y) + part.x;
    }
}

LBitmapData::~LBitmapData()
{
    if (mImage != nullptr) {
        mImage->CloseForWriting();
    }
}

zulong* LBitmapData::GetPixelPointer(zlong x, zlong y) const
{
    if (mFirstRow == nullptr) {
        return nullptr;
    }
    return mFirstRow + static_cast<std::ptrdiff_t>(y) * (mStride / 4) + x;
}

}  // namespace ZV
