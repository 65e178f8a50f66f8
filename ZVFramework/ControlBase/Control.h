#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// The base class of every control of a window's tree.
class LControl : public virtual LRefCountedObject {
};

}  // namespace ZV
