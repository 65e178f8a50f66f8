#pragma once

#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace ZV {

// An array of counted pointers that is itself a counted, taggable object, so that one list can be shared through
// counted pointers. Destroying it releases the items first, then the tag.
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0>
class LRCPtrArray : public RCPtrArray<T, GrowBy, Slack>, public virtual LTaggableObject {
public:
    explicit LRCPtrArray(std::uint32_t initialCount = 0, std::uint32_t capacity = 0)
        : RCPtrArray<T, GrowBy, Slack>(initialCount, capacity)
    {
    }
};

}  // namespace ZV
