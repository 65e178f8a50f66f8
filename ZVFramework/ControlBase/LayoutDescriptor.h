#pragma once

#include "ControlBase/SubControlSettings.h"
#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// The placement and size rules of one control, as its SubControl element sets them; a new one holds the defaults.
// Descriptors derived from one another share it.
class LLayoutDescriptor : public virtual LRefCountedObject, public SubControlSettings {
};

}  // namespace ZV
