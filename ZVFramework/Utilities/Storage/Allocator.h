#pragma once

#include <cstddef>
#include <cstdlib>

namespace ZV {

class IAllocator {
public:
    virtual void* Alloc(std::size_t size) = 0;
    virtual void* AllocZeroed(std::size_t count, std::size_t size) = 0;
    virtual void* Realloc(void* block, std::size_t size) = 0;
    virtual void Free(void* block) = 0;

protected:
    ~IAllocator() = default;
};

// The C heap, one call per operation; stateless. Defined here so that the buffers' calls, which know this
// allocator's type, go straight to the heap.
class SystemAllocator final : public IAllocator {
public:
    void* Alloc(std::size_t size) override { return std::malloc(size); }
    void* AllocZeroed(std::size_t count, std::size_t size) override { return std::calloc(count, size); }
    void* Realloc(void* block, std::size_t size) override { return std::realloc(block, size); }
    void Free(void* block) override { std::free(block); }
};

inline IAllocator& GetSystemAllocator()
{
    // Constant-initialised: made before any code runs and never destroyed in effect (it has nothing to destroy).
    static constinit SystemAllocator allocator;
    return allocator;
}

}  // namespace ZV
