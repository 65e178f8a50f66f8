#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/IArray.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace ZV {

// An array of counted pointers seen read-only. Every non-null slot owns one reference: storing an item takes one,
// taking an item out hands its reference over, and cutting slots off or destroying the array releases them, in
// ascending index order. GrowBy and Slack count slots (the block grows in steps of GrowBy slots and is kept on
// shrinking while no more than Slack slots are unused).
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0>
class ConstRCPtrArray : public IArray<ConstRCPtr<T>> {
    using Interface = IArray<ConstRCPtr<T>>;
    static_assert(sizeof(RCPtr<T>) == sizeof(T*) && sizeof(ConstRCPtr<T>) == sizeof(T*),
                  "a slot is one object pointer, read by both views");
    static_assert(GrowBy > 0);

public:
    using Interface::GetData;

    // Reserves exactly capacity slots when that is more than the initial count, then holds initialCount null slots.
    explicit ConstRCPtrArray(std::uint32_t initialCount = 0, std::uint32_t capacity = 0)
        : mBuffer(SlotBytes(initialCount), capacity > initialCount ? SlotBytes(capacity) : 0, false)
    {
        if (mBuffer.GetSize() != SlotBytes(initialCount)) {
            throw Exception<std::bad_alloc>();
        }
        NullSlots(0, initialCount);
    }
    ConstRCPtrArray(const ConstRCPtrArray&) = delete;
    ConstRCPtrArray& operator=(const ConstRCPtrArray&) = delete;
    virtual ~ConstRCPtrArray() { ConstRCPtrArray::SetCount(0); }

    std::uint32_t GetCount() const override { return mBuffer.GetSize() / kSlotSize; }
    // How many slots the block holds.
    std::uint32_t GetCapacity() const { return mBuffer.GetCapacity() / kSlotSize; }
    ConstRCPtr<T>* GetData() override { return Slots(); }

    ZVRESULT SetCount(std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count < oldCount) {
            return ConstRCPtrArray::RemoveRange(count, oldCount - count);
        }
        if (count > oldCount) {
            if (!ResizeSlots(count)) {
                return ZV_E_FAIL;
            }
            NullSlots(oldCount, count - oldCount);
        }
        return static_cast<ZVRESULT>(count);
    }

    ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        if (index > oldCount) {
            return ZV_E_INVALIDARG;
        }
        const std::uint64_t total = static_cast<std::uint64_t>(oldCount) + count;
        if (total > this->GetMaxCount()) {
            return ZV_E_FAIL;
        }
        if (index == oldCount) {
            return ConstRCPtrArray::SetCount(static_cast<std::uint32_t>(total));
        }
        if (!ResizeSlots(static_cast<std::uint32_t>(total))) {
            return ZV_E_FAIL;
        }
        MoveSlots(index + count, index, oldCount - index);
        NullSlots(index, count);
        return static_cast<ZVRESULT>(total);
    }

    // Releases the items in ascending order, each after its slot was emptied. A range that runs past the end
    // removes the items up to the end and then throws "Out of Range".
    ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        if (index >= oldCount) {
            ThrowOutOfRange();
        }
        const std::uint64_t requestedEnd = static_cast<std::uint64_t>(index) + count;
        const std::uint32_t end = requestedEnd < oldCount ? static_cast<std::uint32_t>(requestedEnd) : oldCount;
        for (std::uint32_t i = index; i < end; ++i) {
            const ConstRCPtr<T> released(std::move(Slots()[i]));
        }
        CloseGap(index, end - index);
        if (requestedEnd > oldCount) {
            ThrowOutOfRange();
        }
        return static_cast<ZVRESULT>(GetCount());
    }

    // Stores a counted copy of the item (taking a reference) and returns the index.
    ZVRESULT InsertItem(std::uint32_t index, const ConstRCPtr<T>& item) override
    {
        const ConstRCPtr<T> held(item);
        const ZVRESULT result = ConstRCPtrArray::InsertSpace(index, 1);
        if (Failed(result)) {
            return result;
        }
        Slots()[index] = held;
        return static_cast<ZVRESULT>(index);
    }

    // Hands the item and its reference to the out pointer (whose old object is released first); returns the
    // new count. An index at or past the count throws "Out of Range" and changes nothing.
    ZVRESULT RemoveItem(std::uint32_t index, ConstRCPtr<T>& item) override
    {
        if (index >= GetCount()) {
            ThrowOutOfRange();
        }
        return TakeItem(index, item);
    }

    ZVRESULT RemoveLast(ConstRCPtr<T>& item) override
    {
        item = nullptr;
        const std::uint32_t count = GetCount();
        if (count == 0) {
            return ZV_E_FAIL;
        }
        item = std::move(Slots()[count - 1]);
        return ConstRCPtrArray::SetCount(count - 1);
    }

    // Exchanges the two stored pointers; no reference changes hands.
    ZVRESULT SwapItems(std::uint32_t first, std::uint32_t second) override
    {
        const std::uint32_t count = GetCount();
        if (first >= count || second >= count) {
            return ZV_E_INVALIDARG;
        }
        std::swap(Slots()[first], Slots()[second]);
        return ZV_S_OK;
    }

protected:
    // The slots are RCPtr objects; the read-only view sees their ConstRCPtr part.
    RCPtr<T>* MutableSlots() const { return static_cast<RCPtr<T>*>(mBuffer.GetData()); }

    // The qualified name of RemoveItem as the instantiation spells it, for the "Out of Range" text of a view.
    static std::string RemoveItemName(const char* arrayName)
    {
        const std::string arguments = TypeName<T>() + "," + std::to_string(GrowBy) + "," + std::to_string(Slack);
        return JoinTemplateName(arrayName, arguments) + "::RemoveItem";
    }

    // The index must be below the count.
    ZVRESULT TakeItem(std::uint32_t index, ConstRCPtr<T>& item)
    {
        item = nullptr;
        item = std::move(Slots()[index]);
        CloseGap(index, 1);
        return static_cast<ZVRESULT>(GetCount());
    }

private:
    static constexpr std::uint32_t kSlotSize = sizeof(void*);

    static std::uint32_t SlotBytes(std::uint32_t count)
    {
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * kSlotSize;
        if (bytes > UINT32_MAX) {
            throw Exception<std::bad_alloc>();
        }
        return static_cast<std::uint32_t>(bytes);
    }

    [[noreturn]] static void ThrowOutOfRange()
    {
        ZV_THROW_IN(RemoveItemName("ZV::ConstRCPtrArray"), std::out_of_range, "");
    }

    ConstRCPtr<T>* Slots() const { return MutableSlots(); }

    bool ResizeSlots(std::uint32_t count)
    {
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * kSlotSize;
        return bytes <= UINT32_MAX && mBuffer.Resize(static_cast<std::uint32_t>(bytes)) == bytes;
    }

    void NullSlots(std::uint32_t index, std::uint32_t count)
    {
        for (std::uint32_t i = index; i < index + count; ++i) {
            new (static_cast<void*>(MutableSlots() + i)) RCPtr<T>();
        }
    }

    void MoveSlots(std::uint32_t to, std::uint32_t from, std::uint32_t count)
    {
        if (count != 0) {
            std::memmove(static_cast<void*>(MutableSlots() + to), MutableSlots() + from, count * kSlotSize);
        }
    }

    // Removes count emptied slots at the index. The slots freed at the end hold no reference, so a block that
    // cannot shrink keeps them as nulls.
    void CloseGap(std::uint32_t index, std::uint32_t count)
    {
        const std::uint32_t oldCount = GetCount();
        MoveSlots(index, index + count, oldCount - index - count);
        NullSlots(oldCount - count, count);
        mBuffer.Resize(SlotBytes(oldCount - count));
    }

    BufferT<GrowBy * kSlotSize, Slack * kSlotSize, 8, RCPtr<T>*, &GetSystemAllocator> mBuffer;
};

}  // namespace ZV
