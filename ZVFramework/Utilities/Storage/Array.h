#pragma once

#include "Utilities/Storage/IArray.h"

#include <stdexcept>
#include <type_traits>
#include <vector>

namespace ZV {

// Items of any copyable type, held by value in a standard vector. Element access by index is checked.
template <class T>
class Array : public IArray<T> {
    static_assert(!std::is_same_v<T, bool>, "a vector of bool has no item addresses; use ArrayBuffer<bool>");

public:
    using IArray<T>::GetData;

    Array() = default;
    Array(const Array&) = default;
    Array& operator=(const Array&) = default;
    virtual ~Array() = default;

    std::uint32_t GetCount() const override { return static_cast<std::uint32_t>(mItems.size()); }

    T* GetItemPointer(std::uint32_t index) override { return &mItems[CheckedIndex(index)]; }
    const T* GetItemPointer(std::uint32_t index) const override { return &mItems[CheckedIndex(index)]; }

    // New items are value-initialised: zero for numbers, default-constructed for classes.
    [[nodiscard]] ZVRESULT SetCount(std::uint32_t count) override
    {
        CheckLength(count);
        mItems.resize(count);
        return Count();
    }

    [[nodiscard]] ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
    {
        if (index > GetCount()) {
            return ZV_E_INVALIDARG;
        }
        CheckLength(static_cast<std::uint64_t>(GetCount()) + count);
        mItems.insert(mItems.begin() + index, count, T());
        return Count();
    }

    [[nodiscard]] ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        if (index >= GetCount() || static_cast<std::uint64_t>(index) + count > GetCount()) {
            return ZV_E_INVALIDARG;
        }
        mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
        return Count();
    }

    // Returns the index of the new item.
    [[nodiscard]] ZVRESULT InsertItem(std::uint32_t index, const T& item) override
    {
        if (index > GetCount()) {
            return ZV_E_INVALIDARG;
        }
        CheckLength(static_cast<std::uint64_t>(GetCount()) + 1);
        mItems.insert(mItems.begin() + index, item);
        return static_cast<ZVRESULT>(index);
    }

    // Returns the index of the new item, as an insertion at the end does.
    [[nodiscard]] ZVRESULT AddItem(const T& item) override
    {
        CheckLength(static_cast<std::uint64_t>(GetCount()) + 1);
        mItems.push_back(item);
        return static_cast<ZVRESULT>(mItems.size() - 1);
    }

    [[nodiscard]] ZVRESULT RemoveItem(std::uint32_t index, T& item) override
    {
        item = mItems[CheckedIndex(index)];
        return RemoveRange(index, 1);
    }

    T* GetData() override { return mItems.empty() ? nullptr : mItems.data(); }

private:
    [[nodiscard]] ZVRESULT Count() const { return static_cast<ZVRESULT>(mItems.size()); }

    // The vector's own exceptions with their texts, as its checked access and growth throw them, not the
    // framework's: callers catch them as the vector's.
    std::size_t CheckedIndex(std::uint32_t index) const
    {
        if (index >= mItems.size()) {
            throw std::out_of_range("invalid vector<T> subscript");
        }
        return index;
    }

    void CheckLength(std::uint64_t count) const
    {
        if (count > this->GetMaxCount()) {
            throw std::length_error("vector<T> too long");
        }
    }

    std::vector<T> mItems;
};

}  // namespace ZV
