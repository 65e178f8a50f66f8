#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

class LControl;
class LControlDescriptor;

// Makes a control of one class from its descriptor as a child of the parent (null for a top-level control), puts
// it in control and answers control.
using ControlCreateFunction = RCPtr<LControl>& (*)(RCPtr<LControl>& control, const RCPtr<LControl>& parent,
                                                   const RCPtr<LControlDescriptor>& descriptor);

}  // namespace ZV
