#include "Threading/ReuseAllocator.h"

#include "Threading/CountingPoolAllocator.h"
#include "Utilities/Storage/RefusingAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

namespace ZV {
namespace {

struct alignas(std::max_align_t) SampleRecord {
    long double value;
    std::int32_t owner;
};

using SamplePool = ReuseAllocator<SampleRecord, 4>;

bool IsAlignedForAnyType(const void* block)
{
    return reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t) == 0;
}

TEST(ReuseAllocator, FreedBlocksComeBackLastFreedFirstAndEveryBlockIsAlignedForAnyType)
{
    SamplePool pool(false);
    void* a = pool.Allocate(sizeof(SampleRecord));
    void* b = pool.Allocate(sizeof(SampleRecord));
    void* c = pool.Allocate(sizeof(SampleRecord));
    pool.Free(a);
    pool.Free(b);
    pool.Free(c);
    EXPECT_EQ(pool.Allocate(sizeof(SampleRecord)), c);
    EXPECT_EQ(pool.Allocate(sizeof(SampleRecord)), b);
    EXPECT_EQ(pool.Allocate(sizeof(SampleRecord)), a);
    EXPECT_EQ(pool.GetFreeBlockCount(), 0u);
    pool.Free(nullptr);
    EXPECT_EQ(pool.GetFreeBlockCount(), 0u);

    std::vector<void*> blocks;
    for (int i = 0; i < 100; ++i) {
        const std::size_t size = i % 3 == 0 ? sizeof(SampleRecord) + static_cast<std::size_t>(i) : sizeof(SampleRecord);
        void* block = pool.Allocate(size);
        EXPECT_TRUE(IsAlignedForAnyType(block)) << "block " << i;
        std::memset(block, 0xA5, size);
        blocks.push_back(block);
    }
    for (void* block : blocks) {
        pool.Free(block);
    }
}

TEST(ReuseAllocator, ForeignSizeGoesToTheHeapAndBackWithoutTouchingThePool)
{
    Testing::CountingPoolAllocator heap;
    SamplePool pool(true);
    pool.Free(pool.Allocate(sizeof(SampleRecord)));
    const std::uint32_t blocks = pool.GetBlockCount();
    const std::uint32_t freeBlocks = pool.GetFreeBlockCount();
    const int allocations = heap.allocations;
    const int frees = heap.frees;

    void* foreign = pool.Allocate(sizeof(SampleRecord) + 24);
    EXPECT_EQ(heap.allocations, allocations + 1);
    EXPECT_EQ(pool.GetBlockCount(), blocks);
    EXPECT_EQ(pool.GetFreeBlockCount(), freeBlocks);
    pool.Free(foreign);
    EXPECT_EQ(heap.frees, frees + 1) << "the foreign block went back to the heap";
    EXPECT_EQ(pool.GetBlockCount(), blocks);
    EXPECT_EQ(pool.GetFreeBlockCount(), freeBlocks) << "and not onto the free list";
    EXPECT_NE(pool.Allocate(sizeof(SampleRecord)), foreign);
}

TEST(ReuseAllocator, DestroyingThePoolFreesEveryBlockIncludingThoseStillInUse)
{
    Testing::CountingPoolAllocator heap;
    {
        SamplePool pool(false);
        for (int i = 0; i < 9; ++i) {
            pool.Allocate(sizeof(SampleRecord));
        }
        pool.Free(pool.Allocate(sizeof(SampleRecord)));
    }
    EXPECT_EQ(heap.frees, heap.allocations);
}

TEST(ReuseAllocator, HeapRefusalThrowsBadAllocAndLeavesThePoolAsItWas)
{
    ReuseAllocator<SampleRecord, 1, &Testing::GetRefusingAllocator> pool(true);
    void* kept = pool.Allocate(sizeof(SampleRecord));
    {
        Testing::RefusalScope refusal;
        EXPECT_THROW(pool.Allocate(sizeof(SampleRecord)), std::bad_alloc) << "no room for a new block";
        EXPECT_THROW(pool.Allocate(sizeof(SampleRecord) + 1), std::bad_alloc) << "no room for a foreign block";
        EXPECT_EQ(pool.GetBlockCount(), 1u);
        pool.Free(kept);
        EXPECT_EQ(pool.Allocate(sizeof(SampleRecord)), kept) << "a free block needs no heap";
    }
    EXPECT_EQ(pool.GetBlockCount(), 1u);
    pool.Free(kept);
}

TEST(ReuseAllocator, LockedPoolHandsEachBlockToOneThreadAtATime)
{
    SamplePool pool(true);
    constexpr int kThreads = 6;
    constexpr int kRounds = 2000;
    constexpr int kHeld = 5;
    std::atomic<int> corrupted{0};
    std::vector<std::thread> threads;
    for (int owner = 0; owner < kThreads; ++owner) {
        threads.emplace_back([&, owner] {
            for (int round = 0; round < kRounds; ++round) {
                SampleRecord* held[kHeld];
                for (SampleRecord*& record : held) {
                    record = new (pool.Allocate(sizeof(SampleRecord))) SampleRecord{0.0L, owner};
                }
                for (SampleRecord* record : held) {
                    if (record->owner != owner) {
                        ++corrupted;
                    }
                    pool.Free(record);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(corrupted, 0) << "a block was handed to two threads at once";
    EXPECT_LE(pool.GetBlockCount(), static_cast<std::uint32_t>(kThreads * kHeld));
    EXPECT_EQ(pool.GetFreeBlockCount(), pool.GetBlockCount());
}

}  // namespace
}  // namespace ZV
