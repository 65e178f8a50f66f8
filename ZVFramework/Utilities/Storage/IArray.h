#pragma once

#include "Utilities/Storage/IIterable.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

// An iterable container whose items lie contiguously from GetData(): item i lives at GetData() + i.
template <class T>
class IArray : public IIterable<T> {
public:
    using typename IIterable<T>::Iterator;
    using IIterable<T>::GetItemAt;
    using IIterable<T>::GetItemPointer;
    using IIterable<T>::GetCount;

    T* GetItemAt(T* position) override { return position; }
    T* GetItemPointer(std::uint32_t index) override { return GetData() + index; }
    const T* GetItemPointer(std::uint32_t index) const override { return GetData() + index; }

    T* AdvancePosition(T* position, int n) override
    {
        T* begin = GetBeginPointer();
        if (begin == nullptr) {
            return nullptr;
        }
        const std::int64_t from = position == nullptr ? 0 : position - begin;
        const std::int64_t target = from + n;
        if (target <= 0) {
            return begin;
        }
        const std::int64_t count = GetCount();
        return begin + (target < count ? target : count);
    }
    T* GetBeginPointer() override { return GetCount() == 0 ? nullptr : GetData(); }
    T* GetEndPointer() override { return GetCount() == 0 ? nullptr : GetData() + GetCount(); }

    virtual const T* GetData() const { return const_cast<IArray*>(this)->GetData(); }
    virtual T* GetData() = 0;

    // The index of the first item equal to the given one (for counted pointers: the same object), or -1.
    std::int32_t IndexOf(const T& item) const
    {
        const std::uint32_t count = GetCount();
        Iterator iterator;
        this->Begin(iterator);
        T* position = iterator.position;
        for (std::uint32_t index = 0; index < count; ++index) {
            if (*this->GetItemAt(position) == item) {
                return static_cast<std::int32_t>(index);
            }
            position = this->Mutable().AdvancePosition(position, 1);
        }
        return -1;
    }

protected:
    IArray() = default;
    IArray(const IArray&) = default;
    IArray& operator=(const IArray&) = default;
    ~IArray() = default;
};

}  // namespace ZV
