#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>
#include <string>
#include <utility>

namespace ZV {

// A first-in first-out ring of counted pointers that never refuses an item: it starts with N slots and, once full,
// doubles them, so that a post costs the same however large the ring has grown and wherever it wrapped. One slot
// always stays empty. Every operation runs under the given mutex, which several rings may share; a null mutex means
// no locking.
template <class T, std::uint32_t N>
class RCPtrQueue {
public:
    static_assert(N >= 2, "a ring keeps one slot empty");

    explicit RCPtrQueue(Mutex* mutex) : mSlots(N, N), mMutex(mutex) {}
    RCPtrQueue(const RCPtrQueue&) = delete;
    RCPtrQueue& operator=(const RCPtrQueue&) = delete;

    // Appends the item (taking a reference); 0. Throws only when memory runs out.
    [[nodiscard]] ZVRESULT Enqueue(const RCPtr<T>& item)
    {
        MutexLock lock(mMutex);
        if (CountLocked() == mSlots.GetCount() - 1) {
            Grow();
        }
        const std::uint32_t slot = mWriteIndex;
        mWriteIndex = After(slot);
        *mSlots.GetItemPointer(slot) = item;
        return ZV_S_OK;
    }

    // Removes and returns the oldest item; throws "Runtime Error" when there is none.
    RCPtr<T> Dequeue()
    {
        RCPtr<T> item;
        if (!TryDequeue(item)) {
            ZV_THROW_IN(JoinTemplateName("ZV::RCPtrQueue", TypeName<T>() + "," + std::to_string(N)) + "::Dequeue",
                        std::runtime_error, "");
        }
        return item;
    }

    // Hands the oldest item over; false, with the item unchanged, when there is none.
    bool TryDequeue(RCPtr<T>& item)
    {
        MutexLock lock(mMutex);
        if (CountLocked() == 0) {
            return false;
        }
        item = std::move(*mSlots.GetItemPointer(mReadIndex));
        mReadIndex = After(mReadIndex);
        return true;
    }

    // Puts the item in the place of the one at that position (0: the oldest) and hands the one it replaced back in
    // item; false, with nothing changed, when fewer items are queued.
    bool Replace(std::uint32_t position, RCPtr<T>& item)
    {
        MutexLock lock(mMutex);
        if (position >= CountLocked()) {
            return false;
        }
        std::swap(*mSlots.GetItemPointer((mReadIndex + position) % mSlots.GetCount()), item);
        return true;
    }

    std::uint32_t GetCount() const
    {
        MutexLock lock(mMutex);
        return CountLocked();
    }

    // How many slots the ring has.
    std::uint32_t GetCapacity() const
    {
        MutexLock lock(mMutex);
        return mSlots.GetCount();
    }

private:
    // Doubles the slots. The items stay in order: of the two runs of a wrapped ring, the shorter one moves into the
    // new slots, so a doubling never moves more than half the ring.
    void Grow()
    {
        const std::uint32_t capacity = mSlots.GetCount();
        if (Failed(mSlots.SetCount(capacity * 2))) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        if (mWriteIndex >= mReadIndex) {
            return;
        }
        if (mWriteIndex <= capacity - mReadIndex) {
            for (std::uint32_t slot = 0; slot < mWriteIndex; ++slot) {
                *mSlots.GetItemPointer(capacity + slot) = std::move(*mSlots.GetItemPointer(slot));
            }
            mWriteIndex += capacity;
        } else {
            for (std::uint32_t slot = capacity; slot-- > mReadIndex;) {
                *mSlots.GetItemPointer(capacity + slot) = std::move(*mSlots.GetItemPointer(slot));
            }
            mReadIndex += capacity;
        }
    }

    // The slot after this one, round the ring.
    std::uint32_t After(std::uint32_t slot) const { return slot + 1 == mSlots.GetCount() ? 0 : slot + 1; }

    std::uint32_t CountLocked() const
    {
        return mWriteIndex >= mReadIndex ? mWriteIndex - mReadIndex : mWriteIndex + mSlots.GetCount() - mReadIndex;
    }

    RCPtrArray<T, N, N> mSlots;
    std::uint32_t mWriteIndex = 0;
    std::uint32_t mReadIndex = 0;
    Mutex* mMutex;
};

}  // namespace ZV
