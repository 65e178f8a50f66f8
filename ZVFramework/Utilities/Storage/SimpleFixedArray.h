#pragma once

#include "Utilities/Storage/IArray.h"

#include <cstring>
#include <type_traits>

namespace ZV {

// Room for N plain items inside the object; no heap. Items opened by a growing count keep the bytes that the
// room holds (zero until written).
template <class T, std::uint32_t N>
class SimpleFixedArray : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "items move as bytes");
    static_assert(N > 0 && N <= IIterable<T>::kMaxCount);

public:
    using IArray<T>::GetData;

    explicit SimpleFixedArray(std::uint32_t count = 0) : mCount(count < N ? count : N) {}

    std::uint32_t GetCount() const override { return mCount; }
    std::uint32_t GetMaxCount() const override { return N; }
    T* GetData() override { return mItems; }

    // More than N items leaves N and returns N.
    [[nodiscard]] ZVRESULT SetCount(std::uint32_t count) override
    {
        mCount = count < N ? count : N;
        return static_cast<ZVRESULT>(mCount);
    }

    [[nodiscard]] ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
    {
        if (count == 0) {
            return static_cast<ZVRESULT>(mCount);
        }
        if (index > mCount || static_cast<std::uint64_t>(mCount) + count > N) {
            return ZV_E_INVALIDARG;
        }
        const std::uint32_t oldCount = mCount;
        (void)SetCount(oldCount + count);
        std::memmove(static_cast<void*>(mItems + index + count), mItems + index, (oldCount - index) * sizeof(T));
        return static_cast<ZVRESULT>(mCount);
    }

    [[nodiscard]] ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        if (count == 0) {
            return static_cast<ZVRESULT>(mCount);
        }
        if (static_cast<std::uint64_t>(index) + count > mCount) {
            return ZV_E_INVALIDARG;
        }
        std::memmove(static_cast<void*>(mItems + index), mItems + index + count,
                     (mCount - index - count) * sizeof(T));
        return SetCount(mCount - count);
    }

private:
    std::uint32_t mCount;
    T mItems[N] = {};
};

}  // namespace ZV
