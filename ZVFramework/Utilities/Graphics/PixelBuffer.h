#pragma once

#include "ObjectBase/ResultCodes.h"

namespace ZV {

// Direct access to rows of pixels of type T.
template <class T>
class IPixelBuffer {
public:
    virtual zlong GetWidth() const = 0;
    virtual zlong GetHeight() const = 0;
    // Bytes from one row to the next.
    virtual zlong GetStride() const = 0;
    virtual T* GetRow(zlong y) const { return GetPixelPointer(0, y); }
    virtual T* GetPixelPointer(zlong x, zlong y) const = 0;

protected:
    ~IPixelBuffer() = default;
};

}  // namespace ZV
