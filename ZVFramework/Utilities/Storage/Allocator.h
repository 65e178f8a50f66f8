#pragma once

#include <cstddef>

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

// The C heap, one call per operation; stateless.
class SystemAllocator final : public IAllocator {
public:
    void* Alloc(std::size_t size) override;
    void* AllocZeroed(std::size_t count, std::size_t size) override;
    void* Realloc(void* block, std::size_t size) override;
    void Free(void* block) override;
};

IAllocator& GetSystemAllocator();

}  // namespace ZV
