#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"
#include "Notification/ValueParam.h"

#include "Threading/CountingPoolAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace ZV {
namespace {

// A larger record derived from a pooled one, as list items derive the conditions record.
class LItemConditionsStandIn : public LConditionsParam {
public:
    static RCPtr<LItemConditionsStandIn> Create(std::int32_t row)
    {
        return RCPtr<LItemConditionsStandIn>(new LItemConditionsStandIn(row));
    }

    std::int32_t GetRow() const { return mRow; }

private:
    explicit LItemConditionsStandIn(std::int32_t row) : LConditionsParam(1, 2, {3.0, 4.0}), mRow(row) {}

    std::int32_t mRow;
    [[maybe_unused]] double mPadding[4] = {};
};

bool IsAlignedForAnyType(const void* address)
{
    return reinterpret_cast<std::uintptr_t>(address) % alignof(std::max_align_t) == 0;
}

TEST(PooledParams, ReleasingTheLastReferenceGivesTheBlockToTheNextRecordOfThatClassLastFreedFirst)
{
    const void* released = LValueParam::Create(0.0, 0.0).Get();
    const RCPtr<LValueParam> next = LValueParam::Create(1.0, 1.0);
    EXPECT_EQ(next.Get(), released);
    EXPECT_NE(static_cast<const void*>(LConditionsParam::Create(0, 0, {}).Get()), released)
        << "each class has its own pool";

    RCPtr<LMouseButtonParam> a = LMouseButtonParam::Create(1, {}, 0, false, 1);
    RCPtr<LMouseButtonParam> b = LMouseButtonParam::Create(1, {}, 0, false, 1);
    RCPtr<LMouseButtonParam> c = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const std::vector<const void*> made{a.Get(), b.Get(), c.Get()};
    a = nullptr;
    b = nullptr;
    c = nullptr;
    EXPECT_EQ(LMouseButtonParam::Create(1, {}, 0, false, 1).Get(), made[2]);
    const RCPtr<LMouseButtonParam> keptC = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const RCPtr<LMouseButtonParam> keptB = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const RCPtr<LMouseButtonParam> keptA = LMouseButtonParam::Create(1, {}, 0, false, 1);
    EXPECT_EQ(keptC.Get(), made[2]);
    EXPECT_EQ(keptB.Get(), made[1]);
    EXPECT_EQ(keptA.Get(), made[0]);
}

TEST(PooledParams, DerivedRecordOfAnotherSizeTakesAMarkedHeapBlockAndGivesItBackToTheHeap)
{
    GetConditionsParamPool().Free(GetConditionsParamPool().Allocate(sizeof(LConditionsParam)));
    Testing::CountingPoolAllocator heap;
    const std::uint32_t blocks = GetConditionsParamPool().GetBlockCount();
    const std::uint32_t freeBlocks = GetConditionsParamPool().GetFreeBlockCount();
    {
        const RCPtr<LItemConditionsStandIn> item = LItemConditionsStandIn::Create(7);
        EXPECT_TRUE(IsAlignedForAnyType(item.Get()));
        EXPECT_EQ(item->GetRow(), 7);
        EXPECT_EQ(item->GetCurrentConditions(), 2u);
        EXPECT_EQ(heap.allocations, 1);
        EXPECT_EQ(GetConditionsParamPool().GetBlockCount(), blocks);
    }
    EXPECT_EQ(heap.frees, 1);
    EXPECT_EQ(GetConditionsParamPool().GetBlockCount(), blocks);
    EXPECT_EQ(GetConditionsParamPool().GetFreeBlockCount(), freeBlocks);
}

// Mouse moves come in streams: after the pool has reached its peak, making and letting go of records takes nothing
// from the heap, and every block handed out is one made during the warm-up.
TEST(PooledParams, AfterWarmUpAMillionRecordCyclesMakeNoHeapCallsReuseWarmBlocksAndStayAligned)
{
    constexpr int kPeak = 8;
    std::vector<RCPtr<LPointWithModifiersParam>> live;
    std::set<const void*> warmBlocks;
    for (int i = 0; i < kPeak; ++i) {
        live.push_back(LPointWithModifiersParam::Create({i, i}, 0));
        warmBlocks.insert(live.back().Get());
    }
    live.clear();

    Testing::CountingPoolAllocator heap;
    int misaligned = 0;
    int unknown = 0;
    for (int cycle = 0; cycle < 1000000; ++cycle) {
        const RCPtr<LPointWithModifiersParam> record = LPointWithModifiersParam::Create({cycle, -cycle}, 1);
        misaligned += IsAlignedForAnyType(record.Get()) ? 0 : 1;
        if (cycle % 997 == 0) {
            unknown += warmBlocks.count(record.Get()) == 0 ? 1 : 0;
            for (int held = 0; held < kPeak - 1; ++held) {
                live.push_back(LPointWithModifiersParam::Create({held, cycle}, 0));
            }
            live.clear();
        }
    }
    EXPECT_EQ(heap.GetCalls(), 0);
    EXPECT_EQ(misaligned, 0);
    EXPECT_EQ(unknown, 0);
}

}  // namespace
}  // namespace ZV
