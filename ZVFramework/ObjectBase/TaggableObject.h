#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// A counted object that carries a tag: any counted object its owner attaches to it.
class LTaggableObject : public virtual LRefCountedObject {
public:
    void SetTag(const ConstRCPtr<LRefCountedObject>& tag) { mTag = tag; }
    const ConstRCPtr<LRefCountedObject>& GetTag() const { return mTag; }

private:
    ConstRCPtr<LRefCountedObject> mTag;
};

}  // namespace ZV
