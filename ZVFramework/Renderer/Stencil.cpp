#include "Renderer/Stencil.h"

namespace ZV {

ConstRCPtr<LRefCountedObject> LStencil::CreateCopy() const
{
    return ConstRCPtr<LRefCountedObject>(new LStencil(*this));
}

}  // namespace ZV
