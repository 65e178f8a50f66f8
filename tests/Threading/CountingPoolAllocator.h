#pragma once

#include "Threading/ReuseAllocator.h"
#include "Utilities/Storage/Allocator.h"

#include <atomic>
#include <cstddef>

namespace ZV::Testing {

// Forwards to the C heap and counts the calls, while it is installed for the free-list pools.
class CountingPoolAllocator final : public IAllocator {
public:
    CountingPoolAllocator() : mHeap(GetSystemAllocator()), mPrevious(InstallReusePoolAllocator(this)) {}
    ~CountingPoolAllocator() { InstallReusePoolAllocator(mPrevious); }
    CountingPoolAllocator(const CountingPoolAllocator&) = delete;
    CountingPoolAllocator& operator=(const CountingPoolAllocator&) = delete;

    void* Alloc(std::size_t size) override
    {
        ++allocations;
        return mHeap.Alloc(size);
    }
    void* AllocZeroed(std::size_t count, std::size_t size) override
    {
        ++allocations;
        return mHeap.AllocZeroed(count, size);
    }
    void* Realloc(void* block, std::size_t size) override
    {
        ++reallocations;
        return mHeap.Realloc(block, size);
    }
    void Free(void* block) override
    {
        ++frees;
        mHeap.Free(block);
    }

    int GetCalls() const { return allocations + reallocations + frees; }

    std::atomic<int> allocations{0};
    std::atomic<int> reallocations{0};
    std::atomic<int> frees{0};

private:
    IAllocator& mHeap;
    IAllocator* mPrevious;
};

}  // namespace ZV::Testing
