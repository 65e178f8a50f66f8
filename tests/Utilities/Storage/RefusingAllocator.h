#pragma once

#include "Utilities/Storage/Allocator.h"

#include <cstdlib>

namespace ZV::Testing {

// The C heap, until a test tells it to refuse every allocation.
class RefusingAllocator final : public IAllocator {
public:
    static RefusingAllocator& Instance()
    {
        static RefusingAllocator allocator;
        return allocator;
    }

    void* Alloc(std::size_t size) override { return refuse ? nullptr : std::malloc(size); }
    void* AllocZeroed(std::size_t count, std::size_t size) override
    {
        return refuse ? nullptr : std::calloc(count, size);
    }
    void* Realloc(void* block, std::size_t size) override { return refuse ? nullptr : std::realloc(block, size); }
    void Free(void* block) override { std::free(block); }

    bool refuse = false;
};

inline IAllocator& GetRefusingAllocator()
{
    return RefusingAllocator::Instance();
}

// Refuses allocations while it lives.
class RefusalScope {
public:
    RefusalScope() { RefusingAllocator::Instance().refuse = true; }
    ~RefusalScope() { RefusingAllocator::Instance().refuse = false; }
    RefusalScope(const RefusalScope&) = delete;
    RefusalScope& operator=(const RefusalScope&) = delete;
};

}  // namespace ZV::Testing
