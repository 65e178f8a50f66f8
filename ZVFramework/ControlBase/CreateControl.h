#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/ControlCreateFunction.h"

namespace ZV {

// The create function of a control class T, registered with the control factory under a class name of the skin:
// constructs a T as a child of the parent (null for a top-level control) under the descriptor's name and drives it
// through its creation, so that the children come first, depth first. Puts the control in control (null for a null
// descriptor) and answers control. An exception passes on.
template <class T>
RCPtr<LControl>& CreateControl(RCPtr<LControl>& control, const RCPtr<LControl>& parent,
                               const RCPtr<LControlDescriptor>& descriptor)
{
    control = descriptor ? LControl::CompleteCreation(RCPtr<LControl>(new T(parent, descriptor->GetName())), descriptor)
                         : nullptr;
    return control;
}

}  // namespace ZV
