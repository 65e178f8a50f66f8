#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// The base class of every control of a window's tree.
class LControl : public virtual LRefCountedObject {
public:
    // The skin description the control was built from; null until it is given one.
    const RCPtr<LControlDescriptor>& GetControlDescriptor() const { return mDescriptor; }

protected:
    void SetControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) { mDescriptor = descriptor; }

private:
    RCPtr<LControlDescriptor> mDescriptor;
};

}  // namespace ZV
