#pragma once

#include "Utilities/Storage/ArrayBuffer.h"

namespace ZV {

// An array buffer that keeps up to M items inside the object and takes a heap block only for more.
template <class T, std::uint32_t M, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0, std::uint32_t Flag = 1,
          std::uint32_t Align = 8, IAllocator& (*GetAllocator)() = &GetSystemAllocator>
class ArrayBufferM : public ArrayBuffer<T, GrowBy, Slack, Flag, Align, GetAllocator> {
    using Base = ArrayBuffer<T, GrowBy, Slack, Flag, Align, GetAllocator>;
    static_assert(M > 0);

public:
    using Base::GetData;

    std::uint32_t GetCount() const override
    {
        return mInlineCount != 0 ? mInlineCount : this->GetStorage().GetSize() / sizeof(T);
    }

    T* GetData() override { return GetCount() <= M ? mInline : Base::GetData(); }

    std::uint32_t ResizeStorage(std::uint32_t count) override
    {
        const std::uint32_t oldCount = GetCount();
        if (count <= M) {
            if (oldCount > M) {
                std::memcpy(static_cast<void*>(mInline), Base::GetData(), count * sizeof(T));
                this->GetStorage().Allocate(0);
            }
            mInlineCount = count;
            return count;
        }
        if (oldCount > M) {
            return Base::ResizeStorage(count);
        }
        const std::uint64_t bytes = static_cast<std::uint64_t>(count) * sizeof(T);
        if (count > this->GetMaxCount() || bytes > UINT32_MAX ||
            this->GetStorage().Allocate(static_cast<std::uint32_t>(bytes)) != bytes) {
            return oldCount;
        }
        std::memcpy(static_cast<void*>(Base::GetData()), mInline, oldCount * sizeof(T));
        mInlineCount = 0;
        return count;
    }

private:
    // 0: the items live in the heap block, whose size gives the count.
    std::uint32_t mInlineCount = 0;
    T mInline[M] = {};
};

}  // namespace ZV
