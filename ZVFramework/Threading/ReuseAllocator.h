#pragma once

#include "ObjectBase/Exception.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/Allocator.h"
#include "Utilities/Storage/ArrayBuffer.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace ZV {

// Where every free-list pool takes its blocks and its bookkeeping from: the C heap, unless a test has installed an
// allocator that watches the calls. An installed allocator must hand out and take back blocks of the C heap itself,
// since blocks made before it was installed are given back through it.
IAllocator& GetReusePoolAllocator();
// Installs the allocator to use from now on (null: the C heap again) and returns the one used until now.
IAllocator* InstallReusePoolAllocator(IAllocator* allocator);

// A recycling allocator for one class T of small, often made records. The class routes its operator new and delete
// here; a freed block is handed out again by the next allocation (the last freed first), and no block goes back to
// the heap before the pool is destroyed.
//
// Every block starts with a header as large as the strictest fundamental alignment, so the record behind it is
// aligned for any type. The header holds the block's slot number, or kForeignSlot for a block of another size
// (a derived class that does not route its own allocation), which goes straight back to the heap when freed.
//
// The layout does not depend on T, so a pool may be defined where T is only declared; Allocate and Free are used
// where it is complete.
template <class T, std::uint32_t N, IAllocator& (*GetAllocator)() = &GetReusePoolAllocator>
class ReuseAllocator {
public:
    static constexpr std::size_t kHeaderSize = alignof(std::max_align_t);
    static constexpr std::uint32_t kForeignSlot = 0xFFFFFFFF;

    // A pool that several threads use needs its lock; one used by a single thread does without.
    explicit ReuseAllocator(bool withLock) : mLock(withLock ? std::make_unique<Mutex>() : nullptr)
    {
        // Each array holds its first storage block from the start.
        (void)mBlocks.SetCount(1);
        (void)mBlocks.SetCount(0);
        (void)mFreeSlots.SetCount(1);
        (void)mFreeSlots.SetCount(0);
    }
    ReuseAllocator(const ReuseAllocator&) = delete;
    ReuseAllocator& operator=(const ReuseAllocator&) = delete;
    // Frees every block the pool ever made, in use or not: no record of the pool may outlive it.
    virtual ~ReuseAllocator()
    {
        for (std::uint32_t slot = mBlocks.GetCount(); slot > 0; --slot) {
            GetAllocator().Free(mBlocks.GetData()[slot - 1]);
        }
        (void)mBlocks.SetCount(0);
        (void)mFreeSlots.SetCount(0);
    }

    // Room for one record of the given size; throws std::bad_alloc when the heap has none.
    void* Allocate(std::size_t size)
    {
        static_assert(alignof(T) <= kHeaderSize, "a record is placed right behind its block's header");
        if (size != sizeof(T)) {
            return AllocateForeign(size);
        }
        MutexLock lock(mLock.get());
        const std::uint32_t freeCount = mFreeSlots.GetCount();
        if (freeCount != 0) {
            const std::uint32_t slot = mFreeSlots.GetData()[freeCount - 1];
            if (mFreeSlots.SetCount(freeCount - 1) != static_cast<ZVRESULT>(freeCount - 1)) {
                ZV_THROW_OUT_OF_MEMORY();
            }
            return mBlocks.GetData()[slot] + kHeaderSize;
        }
        const std::uint32_t slot = mBlocks.GetCount();
        std::byte* block = static_cast<std::byte*>(GetAllocator().Alloc(kHeaderSize + sizeof(T)));
        if (block == nullptr) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        assert(IsAlignedForAnyType(block));
        if (Failed(mBlocks.AddItem(block))) {
            GetAllocator().Free(block);
            ZV_THROW_OUT_OF_MEMORY();
        }
        WriteSlot(block, slot);
        return block + kHeaderSize;
    }

    // Takes back a record's room; null is ignored.
    void Free(void* record)
    {
        if (record == nullptr) {
            return;
        }
        std::byte* block = static_cast<std::byte*>(record) - kHeaderSize;
        if (ReadSlot(block) == kForeignSlot) {
            GetAllocator().Free(block);
            return;
        }
        MutexLock lock(mLock.get());
        const std::uint32_t slot = ReadSlot(block);
        assert(slot < mBlocks.GetCount() && mBlocks.GetData()[slot] == block && "a block this pool never made");
        // Without room for the slot number the block stays unused until the pool goes.
        // A slot that cannot be recorded is lost to the pool only.
        (void)mFreeSlots.AddItem(slot);
    }

    // Every block made so far, in use or free.
    std::uint32_t GetBlockCount() const
    {
        MutexLock lock(mLock.get());
        return mBlocks.GetCount();
    }
    std::uint32_t GetFreeBlockCount() const
    {
        MutexLock lock(mLock.get());
        return mFreeSlots.GetCount();
    }

private:
    static_assert(sizeof(std::uint32_t) <= kHeaderSize);

    static bool IsAlignedForAnyType(const std::byte* block)
    {
        return reinterpret_cast<std::uintptr_t>(block) % kHeaderSize == 0;
    }
    static void WriteSlot(std::byte* block, std::uint32_t slot) { std::memcpy(block, &slot, sizeof(slot)); }
    static std::uint32_t ReadSlot(const std::byte* block)
    {
        std::uint32_t slot = 0;
        std::memcpy(&slot, block, sizeof(slot));
        return slot;
    }

    static void* AllocateForeign(std::size_t size)
    {
        std::byte* block = size <= SIZE_MAX - kHeaderSize
                               ? static_cast<std::byte*>(GetAllocator().Alloc(kHeaderSize + size))
                               : nullptr;
        if (block == nullptr) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        assert(IsAlignedForAnyType(block));
        WriteSlot(block, kForeignSlot);
        return block + kHeaderSize;
    }

    ArrayBuffer<std::byte*, N, 1600, 1, 8, GetAllocator> mBlocks;
    ArrayBuffer<std::uint32_t, N, 1600, 1, 8, GetAllocator> mFreeSlots;
    // Only read after construction; MutexLock on a null lock locks nothing.
    const std::unique_ptr<Mutex> mLock;
};

// The pool of one record class, made on first use (safe from any thread) and never destroyed: a thread that outlived
// its stop time-out may still let a pooled record go while the program exits. WithLock: records are made and let go
// on several threads.
template <class T, std::uint32_t N, bool WithLock>
ReuseAllocator<T, N>& LastingReusePool()
{
    static auto* const pool = new ReuseAllocator<T, N>(WithLock);
    return *pool;
}

}  // namespace ZV
