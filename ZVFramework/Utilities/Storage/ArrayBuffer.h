#pragma once

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/IArray.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace ZV {

// Plain items (numbers, rectangles, raw pointers) kept as bytes in one growable block: new items read as zero and
// items move as bytes. GrowBy and Slack count items: the block's capacity is a multiple of GrowBy items and it is
// kept on shrinking while no more than Slack items are unused. Beyond that, the block at least doubles when it must
// grow and is kept while half of it is in use, so adding or removing items one at a time does not reallocate each
// time. Flag has no role.
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0, std::uint32_t Flag = 1, std::uint32_t Align = 8,
          IAllocator& (*GetAllocator)() = &GetSystemAllocator>
class ArrayBuffer : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "items move as bytes");
    static_assert(GrowBy > 0);

public:
    using IArray<T>::GetData;
    using IArray<T>::GetCount;

    ArrayBuffer() = default;
    // Holds count zeroed items; a block for capacity items is reserved first when that is more, and kept while it
    // is within the slack.
    ArrayBuffer(std::uint32_t count, std::uint32_t capacity)
        : mBuffer(ItemBytes(count), capacity > count ? ItemBytes(capacity) : 0, true)
    {
        if (mBuffer.GetSize() != ItemBytes(count)) {
            ZV_THROW_OUT_OF_MEMORY();
        }
    }
    ArrayBuffer(const ArrayBuffer&) = delete;
    ArrayBuffer& operator=(const ArrayBuffer&) = delete;
    virtual ~ArrayBuffer() = default;

    std::uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T); }
    // How many items the block holds.
    std::uint32_t GetCapacity() const { return mBuffer.GetCapacity() / sizeof(T); }
    T* GetData() override { return mBuffer.GetTypedData(); }

    // Makes an empty array start in room for count items that its owner keeps and outlives it: its first items then
    // cost no heap block. More items move to a heap block; the room is never freed.
    void StartInRoom(T* room, std::uint32_t count) { mBuffer.StartIn(room, ItemBytes(count)); }

    // The count the storage then holds: the one asked for, or the old one when the block could not grow.
    virtual std::uint32_t ResizeStorage(std::uint32_t count)
    {
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * sizeof(T);
        if (count > this->GetMaxCount() || bytes > UINT32_MAX) {
            return GetCount();
        }
        return mBuffer.ResizeAmortised(static_cast<std::uint32_t>(bytes)) / sizeof(T);
    }

    // A count the storage cannot reach gives 0x80004005 with the items unchanged.
    [[nodiscard]] ZVRESULT SetCount(std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (ResizeStorage(count) != count) {
            return ZV_E_FAIL;
        }
        if (count > oldCount) {
            ZeroItems(oldCount, count - oldCount);
        }
        return static_cast<ZVRESULT>(count);
    }

    [[nodiscard]] ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
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
            return SetCount(static_cast<std::uint32_t>(total));
        }
        if (ResizeStorage(static_cast<std::uint32_t>(total)) != total) {
            return ZV_E_FAIL;
        }
        MoveItems(index + count, index, oldCount - index);
        ZeroItems(index, count);
        return static_cast<ZVRESULT>(total);
    }

    [[nodiscard]] ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        if (static_cast<std::uint64_t>(index) + count > oldCount) {
            return ZV_E_INVALIDARG;
        }
        MoveItems(index, index + count, oldCount - index - count);
        // Storage never fails to shrink.
        return static_cast<ZVRESULT>(ResizeStorage(oldCount - count));
    }

    // Returns the new count.
    [[nodiscard]] ZVRESULT InsertItem(std::uint32_t index, const T& item) override
    {
        const T copy = item;
        const ZVRESULT result = InsertSpace(index, 1);
        if (Succeeded(result)) {
            std::memcpy(static_cast<void*>(GetData() + index), &copy, sizeof(T));
        }
        return result;
    }

protected:
    // The block storage, which may start in room that the array's owner keeps (see StartInRoom).
    class Storage final : public BufferT<GrowBy * sizeof(T), Slack * sizeof(T), Align, T*, GetAllocator> {
    public:
        Storage() = default;
        Storage(std::uint32_t size, std::uint32_t reserve, bool zeroFill)
            : BufferT<GrowBy * sizeof(T), Slack * sizeof(T), Align, T*, GetAllocator>(size, reserve, zeroFill)
        {
        }
        ~Storage() override { this->LeaveEmbeddedBlock(); }

        void StartIn(void* room, std::uint32_t bytes)
        {
            mRoom = room;
            this->StartInEmbeddedBlock(room, bytes);
        }

    private:
        const void* GetEmbeddedBlock() const override { return mRoom; }

        void* mRoom = nullptr;
    };

    Storage& GetStorage() { return mBuffer; }
    const Storage& GetStorage() const { return mBuffer; }

private:
    static std::uint32_t ItemBytes(std::uint32_t count)
    {
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * sizeof(T);
        if (count > IIterable<T>::kMaxCount || bytes > UINT32_MAX) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        return static_cast<std::uint32_t>(bytes);
    }

    void MoveItems(std::uint32_t to, std::uint32_t from, std::uint32_t count)
    {
        if (count != 0) {
            std::memmove(static_cast<void*>(GetData() + to), GetData() + from, count * sizeof(T));
        }
    }

    void ZeroItems(std::uint32_t index, std::uint32_t count)
    {
        std::memset(static_cast<void*>(GetData() + index), 0, static_cast<std::size_t>(count) * sizeof(T));
    }

    Storage mBuffer;
};

}  // namespace ZV
