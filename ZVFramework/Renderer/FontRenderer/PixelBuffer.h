#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/PixelBuffer.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/Buffer.h"

#include <cstdint>
#include <cstring>

namespace ZV {

// Rows of pixels of type T in one counted block: a rasterised glyph, or a glyph atlas that grows downwards.
template <class T>
class LPixelBuffer : public IPixelBuffer<T>, public virtual LRefCountedObject {
public:
    // Zero pixels. A stride of 0 becomes the row's bytes rounded up to a multiple of 16. A stride too small for a
    // row, a negative side, or memory that cannot be had leaves the buffer empty.
    LPixelBuffer(zlong width, zlong height, zlong stride)
    {
        const std::int64_t rowBytes = static_cast<std::int64_t>(width) * static_cast<std::int64_t>(sizeof(T));
        const std::int64_t usedStride = stride != 0 ? stride : (rowBytes + 15) / 16 * 16;
        if (width < 0 || usedStride < rowBytes || usedStride > INT32_MAX) {
            return;
        }
        mWidth = width;
        mStride = static_cast<zlong>(usedStride);
        if (height > 0 && Failed(Resize(height))) {
            mWidth = 0;
        }
    }

    zlong GetWidth() const override { return mWidth; }
    zlong GetHeight() const override { return mHeight; }
    zlong GetStride() const override { return mStride; }
    T* GetPixelPointer(zlong x, zlong y) const override
    {
        return reinterpret_cast<T*>(mBytes.GetTypedData() + static_cast<std::size_t>(y) * mStride) + x;
    }

    // Keeps the rows that stay; new rows are zero. 0, or ZV_E_FAIL when the memory cannot be had.
    [[nodiscard]] ZVRESULT Resize(zlong height)
    {
        const std::uint64_t size = static_cast<std::uint64_t>(height < 0 ? 0 : height) * mStride;
        const std::uint32_t oldSize = mBytes.GetSize();
        if (size > UINT32_MAX || mBytes.Resize(static_cast<std::uint32_t>(size)) != size) {
            return ZV_E_FAIL;
        }
        if (size > oldSize) {
            std::memset(mBytes.GetTypedData() + oldSize, 0, size - oldSize);
        }
        mHeight = height < 0 ? 0 : height;
        return ZV_S_OK;
    }

private:
    zlong mWidth = 0;
    zlong mHeight = 0;
    zlong mStride = 0;
    BufferT<16, 0, 16, std::uint8_t*, GetSystemAllocator> mBytes;
};

}  // namespace ZV
