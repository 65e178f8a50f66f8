#pragma once

#include "ObjectBase/ResultCodes.h"

#include <cstdint>

namespace ZV {

// The one interface of every indexed container. Counts and indices are unsigned 32-bit; operations that can fail
// return a count or an index (0 or more) on success and a negative result code otherwise. A container that
// implements only the iteration entries still gets element access, insertion and removal through them.
template <class T>
class IIterable {
public:
    static constexpr std::uint32_t kMaxCount = 0x7FFFFFFF;

    // Where a walk stands: the container and the address of the current item (null in an empty container).
    struct Iterator {
        IIterable* container = nullptr;
        T* position = nullptr;
    };

    virtual std::uint32_t GetCount() const = 0;
    virtual std::uint32_t GetMaxCount() const { return kMaxCount; }

    virtual Iterator& Begin(Iterator& iterator) const { return Mutable().Begin(iterator); }
    virtual Iterator& Begin(Iterator& iterator)
    {
        iterator.container = this;
        iterator.position = GetBeginPointer();
        return iterator;
    }
    virtual Iterator& End(Iterator& iterator) const { return Mutable().End(iterator); }
    virtual Iterator& End(Iterator& iterator)
    {
        iterator.container = this;
        iterator.position = GetEndPointer();
        return iterator;
    }

    virtual T* GetItemAt(T* position) const { return Mutable().GetItemAt(position); }
    virtual T* GetItemAt(T* position) = 0;

    virtual T* GetItemPointer(std::uint32_t index)
    {
        Iterator iterator;
        Begin(iterator);
        return GetItemAt(AdvancePosition(iterator.position, static_cast<int>(index)));
    }
    virtual const T* GetItemPointer(std::uint32_t index) const
    {
        Iterator iterator;
        Begin(iterator);
        return GetItemAt(Mutable().AdvancePosition(iterator.position, static_cast<int>(index)));
    }

    // The position n items on, clamped to the first item and to the end; the given position does not change.
    virtual T* AdvancePosition(T* position, int n) = 0;
    virtual T* GetBeginPointer() = 0;
    virtual T* GetEndPointer() = 0;

    [[nodiscard]] virtual ZVRESULT SetCount(std::uint32_t count) = 0;
    [[nodiscard]] virtual ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) = 0;
    [[nodiscard]] virtual ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) = 0;

    [[nodiscard]] virtual ZVRESULT Clear() { return SetCount(0) == 0 ? ZV_S_OK : ZV_E_FAIL; }

    [[nodiscard]] virtual ZVRESULT InsertItem(std::uint32_t index, const T& item)
    {
        // The item may live in this container, where making room could move it.
        const T copy(item);
        const ZVRESULT result = InsertSpace(index, 1);
        if (Failed(result)) {
            return result;
        }
        *GetItemPointer(index) = copy;
        return result;
    }

    // An index at or past the count is refused before anything is read; the out item is then unchanged.
    [[nodiscard]] virtual ZVRESULT RemoveItem(std::uint32_t index, T& item)
    {
        if (index >= GetCount()) {
            return ZV_E_INVALIDARG;
        }
        item = *GetItemPointer(index);
        return RemoveRange(index, 1);
    }

    [[nodiscard]] virtual ZVRESULT AppendAll(const IIterable& other)
    {
        const std::uint32_t oldCount = GetCount();
        const std::uint32_t added = other.GetCount();
        if (added == 0) {
            return static_cast<ZVRESULT>(oldCount);
        }
        const std::uint64_t total = static_cast<std::uint64_t>(oldCount) + added;
        if (total > GetMaxCount() || SetCount(static_cast<std::uint32_t>(total)) != static_cast<ZVRESULT>(total)) {
            return ZV_E_FAIL;
        }
        Iterator source;
        other.Begin(source);
        Iterator target;
        Begin(target);
        T* targetPosition = AdvancePosition(target.position, static_cast<int>(oldCount));
        T* sourcePosition = source.position;
        for (std::uint32_t i = 0; i < added; ++i) {
            *GetItemAt(targetPosition) = *other.GetItemAt(sourcePosition);
            targetPosition = AdvancePosition(targetPosition, 1);
            sourcePosition = other.Mutable().AdvancePosition(sourcePosition, 1);
        }
        return static_cast<ZVRESULT>(total);
    }

    [[nodiscard]] virtual ZVRESULT AddItem(const T& item) { return InsertItem(GetCount(), item); }

    // An empty container has no last item: 0x80004005.
    [[nodiscard]] virtual ZVRESULT RemoveLast(T& item)
    {
        const std::uint32_t count = GetCount();
        return count == 0 ? ZV_E_FAIL : RemoveItem(count - 1, item);
    }

    [[nodiscard]] virtual ZVRESULT Assign(const IIterable& other)
    {
        if (&other == this) {
            return static_cast<ZVRESULT>(GetCount());
        }
        (void)SetCount(0);
        return AppendAll(other);
    }

    [[nodiscard]] virtual ZVRESULT SwapItems(std::uint32_t first, std::uint32_t second)
    {
        const std::uint32_t count = GetCount();
        if (first >= count || second >= count) {
            return ZV_E_INVALIDARG;
        }
        const T held(*GetItemPointer(first));
        *GetItemPointer(first) = *GetItemPointer(second);
        *GetItemPointer(second) = held;
        return ZV_S_OK;
    }

protected:
    IIterable() = default;
    IIterable(const IIterable&) = default;
    IIterable& operator=(const IIterable&) = default;
    ~IIterable() = default;

    // The const entries reach the same implementation as the others.
    IIterable& Mutable() const { return const_cast<IIterable&>(*this); }
};

}  // namespace ZV
