#include "Threading/ReuseAllocator.h"

#include <atomic>

namespace ZV {

namespace {
std::atomic<IAllocator*> gInstalledPoolAllocator{nullptr};
}  // namespace

IAllocator& GetReusePoolAllocator()
{
    IAllocator* installed = gInstalledPoolAllocator.load(std::memory_order_acquire);
    return installed != nullptr ? *installed : GetSystemAllocator();
}

IAllocator* InstallReusePoolAllocator(IAllocator* allocator)
{
    IAllocator* previous = gInstalledPoolAllocator.exchange(allocator, std::memory_order_acq_rel);
    return previous != nullptr ? previous : &GetSystemAllocator();
}

}  // namespace ZV
