#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// A menu, described independently of any control that shows it.
class LMenuDescriptor : public virtual LRefCountedObject {
};

}  // namespace ZV
