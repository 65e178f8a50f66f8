#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace ZV {

// One place of a purgable object cache: the key id it is assigned to, the cached object (null until the caller
// builds it), the cache's clock at its latest use and how often it was used since it was last assigned or reset.
template <class T, class KeyId>
class PurgableCacheEntry {
public:
    virtual ~PurgableCacheEntry() = default;

    virtual bool IsEmpty() const { return mObject.IsNull(); }

    const KeyId& GetKeyId() const { return mKeyId; }
    std::uint32_t GetLastUse() const { return mLastUse; }
    std::uint32_t GetUseCount() const { return mUseCount; }
    RCPtr<T>& GetObjectSlot() { return mObject; }

    // Drops the object and the use history; the key id stays.
    void Reset()
    {
        mUseCount = 0;
        mLastUse = 0;
        mObject = nullptr;
    }

    // A reset always comes first, so that an object is never handed out under another key.
    void Reassign(const KeyId& keyId)
    {
        Reset();
        mKeyId = keyId;
    }

    void MarkUsed(std::uint32_t clock)
    {
        if (mUseCount != UINT32_MAX) {
            ++mUseCount;
        }
        mLastUse = clock;
    }

private:
    KeyId mKeyId{};
    RCPtr<T> mObject;
    std::uint32_t mLastUse = 0;
    std::uint32_t mUseCount = 0;
};

}  // namespace ZV
