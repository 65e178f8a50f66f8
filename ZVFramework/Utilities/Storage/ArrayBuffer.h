#pragma once

#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/IArray.h"

#include <cstring>
#include <type_traits>

namespace ZV {

// Plain items (numbers, rectangles, raw pointers) kept as bytes in one growable block: new items read as zero and
// items move as bytes. GrowBy and Slack count items: the block grows in steps of GrowBy items and is kept on
// shrinking while no more than Slack items are unused. Flag has no role.
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0, std::uint32_t Flag = 1, std::uint32_t Align = 8,
          IAllocator& (*GetAllocator)() = &GetSystemAllocator>
class ArrayBuffer : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "items move as bytes");
    static_assert(GrowBy > 0);

public:
    using IArray<T>::GetData;
    using IArray<T>::GetCount;

    ArrayBuffer() = default;
    ArrayBuffer(const ArrayBuffer&) = delete;
    ArrayBuffer& operator=(const ArrayBuffer&) = delete;
    virtual ~ArrayBuffer() = default;

    std::uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T); }
    T* GetData() override { return mBuffer.GetTypedData(); }

    // The count the storage then holds: the one asked for, or the old one when the block could not change.
    virtual std::uint32_t ResizeStorage(std::uint32_t count)
    {
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * sizeof(T);
        if (count > this->GetMaxCount() || bytes > UINT32_MAX) {
            return GetCount();
        }
        return mBuffer.Resize(static_cast<std::uint32_t>(bytes)) / sizeof(T);
    }

    // A count the storage cannot reach gives 0x80004005 with the items unchanged.
    ZVRESULT SetCount(std::uint32_t count) override
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
            return SetCount(static_cast<std::uint32_t>(total));
        }
        if (ResizeStorage(static_cast<std::uint32_t>(total)) != total) {
            return ZV_E_FAIL;
        }
        MoveItems(index + count, index, oldCount - index);
        ZeroItems(index, count);
        return static_cast<ZVRESULT>(total);
    }

    ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        if (static_cast<std::uint64_t>(index) + count > oldCount) {
            return ZV_E_INVALIDARG;
        }
        MoveItems(index, index + count, oldCount - index - count);
        const std::uint32_t newCount = oldCount - count;
        return ResizeStorage(newCount) == newCount ? static_cast<ZVRESULT>(newCount) : ZV_E_FAIL;
    }

    // Returns the new count.
    ZVRESULT InsertItem(std::uint32_t index, const T& item) override
    {
        const T copy = item;
        const ZVRESULT result = InsertSpace(index, 1);
        if (Succeeded(result)) {
            std::memcpy(static_cast<void*>(GetData() + index), &copy, sizeof(T));
        }
        return result;
    }

protected:
    using Storage = BufferT<GrowBy * sizeof(T), Slack * sizeof(T), Align, T*, GetAllocator>;

    Storage& GetStorage() { return mBuffer; }
    const Storage& GetStorage() const { return mBuffer; }

private:
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
