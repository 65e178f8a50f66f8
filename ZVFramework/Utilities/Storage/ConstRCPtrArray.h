#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/IArray.h"

#include <functional>
#include <new>
#include <string>
#include <utility>

namespace ZV {

// An array of counted pointers seen read-only. Every non-null slot owns one reference: storing an item takes one,
// taking an item out hands its reference over, and cutting slots off or destroying the array releases them, in
// ascending index order. The slots are object pointers in an array buffer (a null slot is zero), so GrowBy and
// Slack count slots, and the block grows and shrinks as the array buffer's does.
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0>
class ConstRCPtrArray : public IArray<ConstRCPtr<T>> {
    static_assert(sizeof(RCPtr<T>) == sizeof(T*) && sizeof(ConstRCPtr<T>) == sizeof(T*),
                  "a slot is one object pointer, read by both views");

public:
    using IArray<ConstRCPtr<T>>::GetData;

    // Holds initialCount null slots; a block of exactly capacity slots is reserved first when that is more.
    explicit ConstRCPtrArray(std::uint32_t initialCount = 0, std::uint32_t capacity = 0)
        : mSlots(initialCount, capacity)
    {
    }
    ConstRCPtrArray(const ConstRCPtrArray&) = delete;
    ConstRCPtrArray& operator=(const ConstRCPtrArray&) = delete;
    virtual ~ConstRCPtrArray()
    {
        if (SlotCount() != 0) {
            (void)ConstRCPtrArray::SetCount(0);
        }
    }

    std::uint32_t GetCount() const override { return mSlots.GetCount(); }
    // How many slots the block holds.
    std::uint32_t GetCapacity() const { return mSlots.GetCapacity(); }
    ConstRCPtr<T>* GetData() override { return MutableSlots(); }

    [[nodiscard]] ZVRESULT SetCount(std::uint32_t count) override
    {
        const std::uint32_t oldCount = SlotCount();
        return count < oldCount ? ConstRCPtrArray::RemoveRange(count, oldCount - count) : mSlots.SetCount(count);
    }

    [[nodiscard]] ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
    {
        return count == 1 ? OpenSlot(index) : mSlots.InsertSpace(index, count);
    }

    // Releases the items in ascending order, each after its slot was emptied. A range that runs past the end
    // removes the items up to the end and then throws "Out of Range".
    [[nodiscard]] ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        const std::uint32_t oldCount = SlotCount();
        if (count == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        if (index >= oldCount) {
            ThrowOutOfRange();
        }
        if (count == 1) {
            ConstRCPtr<T> released;
            return TakeItem(index, released);
        }
        const std::uint64_t requestedEnd = static_cast<std::uint64_t>(index) + count;
        const std::uint32_t end = requestedEnd < oldCount ? static_cast<std::uint32_t>(requestedEnd) : oldCount;
        for (std::uint32_t i = index; i < end; ++i) {
            const ConstRCPtr<T> released(std::move(MutableSlots()[i]));
        }
        (void)mSlots.RemoveRange(index, end - index);
        if (requestedEnd > oldCount) {
            ThrowOutOfRange();
        }
        return static_cast<ZVRESULT>(SlotCount());
    }

    // Stores the item (taking a reference) and returns the index.
    [[nodiscard]] ZVRESULT InsertItem(std::uint32_t index, const ConstRCPtr<T>& item) override
    {
        if (HoldsSlot(item)) {
            // Making room may move the slot that holds the item.
            const ConstRCPtr<T> held(item);
            return ConstRCPtrArray::InsertItem(index, held);
        }
        const ZVRESULT result = OpenSlot(index);
        if (Failed(result)) {
            return result;
        }
        ConstRCPtrArray::GetData()[index] = item;
        return static_cast<ZVRESULT>(index);
    }

    [[nodiscard]] ZVRESULT AddItem(const ConstRCPtr<T>& item) override
    {
        return ConstRCPtrArray::InsertItem(SlotCount(), item);
    }

    // Hands the item and its reference to the out pointer (whose old object is released first); returns the
    // new count. An index at or past the count throws "Out of Range" and changes nothing.
    [[nodiscard]] ZVRESULT RemoveItem(std::uint32_t index, ConstRCPtr<T>& item) override
    {
        if (index >= SlotCount()) {
            ThrowOutOfRange();
        }
        return TakeItem(index, item);
    }

    [[nodiscard]] ZVRESULT RemoveLast(ConstRCPtr<T>& item) override
    {
        item = nullptr;
        const std::uint32_t count = SlotCount();
        if (count == 0) {
            return ZV_E_FAIL;
        }
        return TakeItem(count - 1, item);
    }

    // Exchanges the two stored pointers; no reference changes hands.
    [[nodiscard]] ZVRESULT SwapItems(std::uint32_t first, std::uint32_t second) override
    {
        const std::uint32_t count = SlotCount();
        if (first >= count || second >= count) {
            return ZV_E_INVALIDARG;
        }
        std::swap(mSlots.GetData()[first], mSlots.GetData()[second]);
        return ZV_S_OK;
    }

protected:
    // The slots seen as RCPtr objects; the read-only view sees their ConstRCPtr part.
    RCPtr<T>* MutableSlots() const
    {
        return reinterpret_cast<RCPtr<T>*>(const_cast<ConstRCPtrArray*>(this)->mSlots.GetData());
    }

    // Makes an empty array start in slots that the derived class keeps (see ArrayBuffer::StartInRoom).
    void StartInRoom(T** room, std::uint32_t count) { mSlots.StartInRoom(room, count); }

    // The qualified name of RemoveItem as the instantiation spells it, for the "Out of Range" text of a view.
    static std::string RemoveItemName(const char* arrayName)
    {
        const std::string arguments = TypeName<T>() + "," + std::to_string(GrowBy) + "," + std::to_string(Slack);
        return JoinTemplateName(arrayName, arguments) + "::RemoveItem";
    }

    // The index must be below the count.
    [[nodiscard]] ZVRESULT TakeItem(std::uint32_t index, ConstRCPtr<T>& item)
    {
        item = nullptr;
        item = std::move(MutableSlots()[index]);
        const std::uint32_t last = SlotCount() - 1;
        if (index == last) {
            mSlots.ResizeStorage(last);
        } else {
            (void)mSlots.RemoveRange(index, 1);
        }
        return static_cast<ZVRESULT>(SlotCount());
    }

    // Reached on the slot storage itself, not through the views' virtual operations: the last slot is added and
    // taken away most often, and that must cost next to nothing.
    std::uint32_t SlotCount() const { return mSlots.GetCount(); }

private:
    // One null slot at the index; the new count, or a result code.
    [[nodiscard]] ZVRESULT OpenSlot(std::uint32_t index)
    {
        const std::uint32_t count = SlotCount();
        if (index != count) {
            return mSlots.InsertSpace(index, 1);
        }
        if (count >= ConstRCPtrArray::GetMaxCount() || mSlots.ResizeStorage(count + 1) != count + 1) {
            return ZV_E_FAIL;
        }
        mSlots.GetData()[count] = nullptr;
        return static_cast<ZVRESULT>(count + 1);
    }

    bool HoldsSlot(const ConstRCPtr<T>& item) const
    {
        const std::less<const void*> before;
        const void* slots = MutableSlots();
        return !before(&item, slots) && before(&item, MutableSlots() + SlotCount());
    }

    [[noreturn]] static void ThrowOutOfRange()
    {
        ZV_THROW_IN(RemoveItemName("ZV::ConstRCPtrArray"), std::out_of_range, "");
    }

    ArrayBuffer<T*, GrowBy, Slack> mSlots;
};

}  // namespace ZV
