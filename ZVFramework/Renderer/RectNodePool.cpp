#include "Renderer/RectNodePool.h"

#include "ObjectBase/Exception.h"
#include "Threading/ReuseAllocator.h"

#include <cassert>
#include <new>

namespace ZV {

namespace {

// A node followed by one word of the ring of free slot numbers: ring position p is the word of slot p.
struct Slot {
    RectNode node;
    std::uint32_t ringEntry;
};

struct PoolState {
    Slot* block = nullptr;
    std::uint32_t freeCount = 0;
    std::uint32_t ringHead = 0;
    std::uint32_t liveCount = 0;
    std::uint32_t peakCount = 0;
};

// Constant-initialised, so regions built by other globals' constructors find it ready.
constinit PoolState gPool;

constexpr std::uint32_t kCapacity = RectNodePool::kCapacity;

// Without room for the block every node comes from the heap, and the next allocation tries again.
void BuildBlock()
{
    void* memory = GetReusePoolAllocator().Alloc(sizeof(Slot) * kCapacity);
    if (memory == nullptr) {
        return;
    }
    gPool.block = static_cast<Slot*>(memory);
    for (std::uint32_t index = 0; index < kCapacity; ++index) {
        new (&gPool.block[index]) Slot{RectNode{}, index};
    }
    gPool.freeCount = kCapacity;
    gPool.ringHead = 0;
}

// The slot number of a node of the block, or kCapacity for a node from the heap. Addresses are compared as integers:
// a heap node lies outside the block, where pointer arithmetic would be undefined.
std::uint32_t SlotIndexOf(const RectNode* node)
{
    if (gPool.block == nullptr) {
        return kCapacity;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(node);
    const auto start = reinterpret_cast<std::uintptr_t>(&gPool.block[0].node);
    if (address < start || (address - start) / sizeof(Slot) >= kCapacity) {
        return kCapacity;
    }
    assert((address - start) % sizeof(Slot) == 0 && "a node inside a slot");
    return static_cast<std::uint32_t>((address - start) / sizeof(Slot));
}

}  // namespace

RectNode* RectNodePool::Allocate()
{
    if (gPool.block == nullptr) {
        BuildBlock();
    }
    RectNode* node = nullptr;
    if (gPool.freeCount > 0) {
        const std::uint32_t index = gPool.block[gPool.ringHead].ringEntry;
        gPool.ringHead = (gPool.ringHead + 1) % kCapacity;
        --gPool.freeCount;
        node = &gPool.block[index].node;
        *node = RectNode{};
    } else {
        void* memory = GetReusePoolAllocator().Alloc(sizeof(RectNode));
        if (memory == nullptr) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        node = new (memory) RectNode{};
    }
    ++gPool.liveCount;
    if (gPool.liveCount > gPool.peakCount) {
        gPool.peakCount = gPool.liveCount;
    }
    return node;
}

void RectNodePool::Release(RectNode* node)
{
    if (node == nullptr) {
        return;
    }
    const std::uint32_t index = SlotIndexOf(node);
    if (index < kCapacity) {
        assert(gPool.freeCount < kCapacity && "a slot released twice");
        gPool.block[(gPool.ringHead + gPool.freeCount) % kCapacity].ringEntry = index;
        ++gPool.freeCount;
    } else {
        GetReusePoolAllocator().Free(node);
    }
    --gPool.liveCount;
}

std::uint32_t RectNodePool::GetLiveCount()
{
    return gPool.liveCount;
}

std::uint32_t RectNodePool::GetPeakCount()
{
    return gPool.peakCount;
}

}  // namespace ZV
