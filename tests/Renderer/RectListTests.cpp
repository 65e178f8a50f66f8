#include "Renderer/RectList.h"
#include "Renderer/RectNodePool.h"

#include "Threading/CountingPoolAllocator.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RefusingAllocator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>
#include <ostream>
#include <vector>

namespace ZV {

void PrintTo(const RectEdges& rect, std::ostream* out)
{
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace {

using ::testing::UnorderedElementsAre;

constexpr zlong kLowest = std::numeric_limits<zlong>::min();
constexpr zlong kHighest = std::numeric_limits<zlong>::max();

std::vector<RectEdges> Nodes(const RectList& list)
{
    std::vector<RectEdges> nodes;
    for (const RectNode* node = list.GetHead(); node != nullptr; node = node->next) {
        nodes.push_back(*node);
    }
    return nodes;
}

TEST(RectList, AddCutsOnlyTheOverlapOutOfEarlierNodesAndLeavesNodesBesideItWhole)
{
    RectList list;
    list.Add({0, 0, 10, 10});
    list.Add({5, 5, 15, 15});
    EXPECT_THAT(Nodes(list),
                UnorderedElementsAre(RectEdges{5, 5, 15, 15}, RectEdges{0, 0, 10, 5}, RectEdges{0, 5, 5, 10}));
    RectList beside;
    beside.Add({0, 0, 10, 10});
    beside.SubtractRect({20, 0, 30, 10});
    beside.SubtractRect({10, 0, 20, 10});
    EXPECT_THAT(Nodes(beside), UnorderedElementsAre(RectEdges{0, 0, 10, 10})) << "neither grown nor cut";
}

TEST(RectList, ARectangleInsideADirtyNodeLeavesTheListAsItIsAndAWholeWindowSwallowsEveryNode)
{
    RectList list;
    list.Add({0, 0, 100, 100});
    list.Add({200, 0, 300, 100});
    const std::vector<RectEdges> before = Nodes(list);
    list.Add({210, 10, 290, 90});
    list.Add({0, 0, 100, 100});
    list.Add({99, 99, 100, 100});
    EXPECT_EQ(Nodes(list), before) << "no node cut";

    const std::uint32_t liveBefore = RectNodePool::GetLiveCount();
    list.Add({0, 0, 1000, 800});
    for (zlong x = 0; x + 15 <= 1000; x += 10) {
        list.Add({x, x * 7 % 785, x + 15, x * 7 % 785 + 15});
    }
    EXPECT_THAT(Nodes(list), UnorderedElementsAre(RectEdges{0, 0, 1000, 800}));
    EXPECT_EQ(RectNodePool::GetLiveCount(), liveBefore - 1);
}

TEST(RectList, IntersectsRectMovesRoundsAndClampsTheRectAndCountsNeitherTouchingNorZeroWidth)
{
    RectList list;
    list.Add({10, 10, 20, 20});
    list.Add({-20, -20, -10, -10});
    list.Add({kHighest - 5, kHighest - 5, kHighest, kHighest});
    EXPECT_FALSE(list.IntersectsRect({12, 12, 0, 5}, {0, 0})) << "zero width inside a node";
    EXPECT_FALSE(list.IntersectsRect({0, 0, 10, 10}, {0, 0})) << "touching";
    EXPECT_TRUE(list.IntersectsRect({0, 0, 10, 10}, {0.5, 0.5})) << "10.5 rounds away from zero";
    EXPECT_FALSE(list.IntersectsRect({0, 0, 10.4, 10.4}, {0, 0}));
    EXPECT_FALSE(list.IntersectsRect({-15, -15, 10, 10}, {0, 0})) << "left and top stop at 0";
    EXPECT_TRUE(list.IntersectsRect({2147483640.0, 2147483640.0, 1e300, 1e300}, {0, 0}));
    EXPECT_FALSE(list.IntersectsRect({12, 12, 5, std::numeric_limits<double>::quiet_NaN()}, {0, 0}));
}

TEST(RectList, ListsHandOutTheirNodesWithoutOverflowNearThe32BitLimits)
{
    RectList list;
    Array<RectT<zlong>> rects;
    EXPECT_TRUE(Succeeded(rects.AddItem({1, 2, 3, 4})));
    RectEdges bounds{1, 1, 1, 1};
    EXPECT_FALSE(list.GetBounds(bounds));
    EXPECT_EQ(bounds, RectEdges{});
    EXPECT_EQ(list.CopyToArray(rects), 0);

    list.Add({2, 3, 12, 23});
    list.Add({kLowest, 30, kHighest, 40});
    list.Add({kLowest, kLowest, 5, 0});
    ASSERT_EQ(list.CopyToArray(rects), 3);
    EXPECT_THAT(std::vector<RectT<zlong>>(rects.GetData(), rects.GetData() + 3),
                UnorderedElementsAre(RectT<zlong>(2, 3, 10, 20), RectT<zlong>(0, 30, kHighest, 10),
                                     RectT<zlong>(5 - kHighest, -kHighest, kHighest, kHighest)))
        << "spans past 32 bits keep their right and bottom parts";
    EXPECT_TRUE(list.GetBounds(bounds));
    EXPECT_EQ(bounds, (RectEdges{kLowest, kLowest, kHighest, 40}));

    list.AppendCopies(list);
    EXPECT_EQ(list.GetCount(), 6u) << "copies overlap freely, also of the list itself";

    RectList moved;
    moved.Add({kHighest - 10, 0, kHighest - 5, 10});
    moved.Add({kHighest - 5, 0, kHighest - 1, 10});
    moved.Add({kLowest, 20, kLowest + 5, 30});
    moved.Offset(7, -7);
    EXPECT_THAT(Nodes(moved),
                UnorderedElementsAre(RectEdges{kHighest - 3, -7, kHighest, 3},
                                     RectEdges{kLowest + 7, 13, kLowest + 12, 23}))
        << "edges stop at the limit; a node pushed wholly past it is gone";
    moved.Offset(kHighest, kHighest);
    EXPECT_EQ(moved.GetHead(), nullptr);
}

std::uintptr_t AddressOfNodeAt(const RectList& list, zlong left)
{
    for (const RectNode* node = list.GetHead(); node != nullptr; node = node->next) {
        if (node->left == left) {
            return reinterpret_cast<std::uintptr_t>(node);
        }
    }
    return 0;
}

TEST(RectNodePool, The513thLiveNodeComesFromTheHeapAndReleasedSlotsComeBackInTheOrderReleased)
{
    RectList().Add({0, 0, 1, 1});  // makes the block before the heap is watched
    Testing::CountingPoolAllocator heap;
    RectList list;
    for (zlong x = 0; x < 512; ++x) {
        list.Add({x, 0, x + 1, 1});
    }
    const std::uintptr_t releasedFirst = AddressOfNodeAt(list, 300);
    const std::uintptr_t releasedSecond = AddressOfNodeAt(list, 100);
    list.SubtractRect({300, 0, 301, 1});
    list.SubtractRect({100, 0, 101, 1});
    RectList reused;
    reused.Add({1000, 0, 1001, 1});
    reused.Add({2000, 0, 2001, 1});
    EXPECT_EQ(AddressOfNodeAt(reused, 1000), releasedFirst);
    EXPECT_EQ(AddressOfNodeAt(reused, 2000), releasedSecond);
    EXPECT_EQ(heap.GetCalls(), 0);

    reused.Add({3000, 0, 3001, 1});
    EXPECT_EQ(heap.allocations, 1) << "the 513th live node";
    IAllocator* counting = InstallReusePoolAllocator(&Testing::RefusingAllocator::Instance());
    {
        Testing::RefusalScope refusal;
        EXPECT_THROW(reused.Add({4000, 0, 4001, 1}), std::bad_alloc);
    }
    InstallReusePoolAllocator(counting);
    EXPECT_EQ(RectNodePool::GetLiveCount(), 513u);
    reused.Clear();
    EXPECT_EQ(heap.frees, 1) << "the heap's node goes back to the heap, the slots to the ring";
    list.Clear();
    EXPECT_EQ(RectNodePool::GetLiveCount(), 0u);
}

}  // namespace
}  // namespace ZV
