#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"

namespace ZV {

// A mask that may ride along with a clip. The render state carries it; what a renderer does with it is its own
// affair.
class LStencil : public virtual LRefCountedObject {
public:
    LStencil(zlong width, zlong height) : mSize(width, height) {}
    // A fresh stencil of the same size, with no references of its own yet.
    LStencil(const LStencil& other) = default;

    ConstRCPtr<LRefCountedObject> CreateCopy() const override;

    // Width and height.
    const PointT<zlong>& GetSize() const { return mSize; }

private:
    PointT<zlong> mSize;
};

}  // namespace ZV
