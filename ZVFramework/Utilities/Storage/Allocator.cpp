#include "Utilities/Storage/Allocator.h"

#include <cstdlib>

namespace ZV {

void* SystemAllocator::Alloc(std::size_t size)
{
    return std::malloc(size);
}

void* SystemAllocator::AllocZeroed(std::size_t count, std::size_t size)
{
    return std::calloc(count, size);
}

void* SystemAllocator::Realloc(void* block, std::size_t size)
{
    return std::realloc(block, size);
}

void SystemAllocator::Free(void* block)
{
    std::free(block);
}

IAllocator& GetSystemAllocator()
{
    static SystemAllocator allocator;
    return allocator;
}

}  // namespace ZV
