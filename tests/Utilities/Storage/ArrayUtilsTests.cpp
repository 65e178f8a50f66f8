#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/ArrayUtils.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RefusingAllocator.h"
#include "Utilities/Storage/SortPredicates.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace ZV {

// What sorting reads of a child's settings, with the same defaults as a control's.
struct SortableSettings {
    bool clipToParent = true;
    std::int32_t zOrder = 0;
    std::int32_t tabStop = 0;
    bool xIsDocked = false;
    bool yIsDocked = false;
    std::int32_t layoutOrder = 0;
};

// A child control or a sub-control descriptor: all that sorting reads of it is its settings.
class LSortableChild : public virtual LRefCountedObject {
public:
    explicit LSortableChild(const SortableSettings& settings = {}) : mSettings(settings) {}
    const SortableSettings* GetSubControlSettings() const { return &mSettings; }

private:
    SortableSettings mSettings;
};

namespace {

using Testing::ThrowsText;

using Children = RCPtrArray<LSortableChild>;
using Indices = ArrayBuffer<unsigned int>;

RCPtr<LSortableChild> Child(int tabStop, int zOrder = 0, bool clip = true, int docked = 0, int layoutOrder = 0)
{
    SortableSettings settings;
    settings.tabStop = tabStop;
    settings.zOrder = zOrder;
    settings.clipToParent = clip;
    settings.xIsDocked = docked >= 1;
    settings.yIsDocked = docked >= 2;
    settings.layoutOrder = layoutOrder;
    return RCPtr<LSortableChild>(new LSortableChild(settings));
}

std::vector<unsigned> Values(const Indices& indices)
{
    return std::vector<unsigned>(indices.GetData(), indices.GetData() + indices.GetCount());
}

TEST(Sort, EqualLayoutOrdersKeepTheSkinsOrderAndEveryReference)
{
    std::mt19937 random(4242);
    for (int round = 0; round < 50; ++round) {
        const int count = 1 + static_cast<int>(random() % 40);
        Children children;
        std::vector<RCPtr<LSortableChild>> skinOrder;
        for (int i = 0; i < count; ++i) {
            skinOrder.push_back(Child(0, 0, true, 0, static_cast<int>(random() % 4) - 1));
            EXPECT_TRUE(Succeeded(children.AddItem(skinOrder.back())));
        }
        std::vector<RCPtr<LSortableChild>> expected = skinOrder;
        std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
            return a->GetSubControlSettings()->layoutOrder < b->GetSubControlSettings()->layoutOrder;
        });
        ArrayUtils::Sort(children, 0, children.GetCount(), DescriptorLayoutOrderLess());
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(children.GetData()[i], expected[i]) << "round " << round << " item " << i;
        }
        for (const auto& child : skinOrder) {
            ASSERT_EQ(child->GetRefCount(), 3);
        }
    }
}

TEST(SortIndecies, DrawingOrderPutsClippedFirstThenFewerDockedAxesThenZOrder)
{
    Children children;
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0, -5, false))));
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0, 9, true, 2))));
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0, 9, true, 1))));
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0, 9, true, 0))));
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0, 1, true, 0))));
    EXPECT_TRUE(Succeeded(children.AddItem(nullptr)));
    Indices indices;
    ArrayUtils::SortIndecies(indices, children, 0, 6, ZOrderLess<LSortableChild>(children));
    EXPECT_EQ(Values(indices), (std::vector<unsigned>{5, 4, 3, 2, 1, 0}));
}

TEST(SortIndecies, ARangePastTheEndOrAnIndexArrayThatCannotHoldItThrowsBeforeWriting)
{
    Children children;
    EXPECT_TRUE(Succeeded(children.AddItem(Child(0))));
    const auto sort = [&](std::uint32_t first, std::uint32_t count) {
        ArrayUtils::Sort(children, first, count, DescriptorLayoutOrderLess());
    };
    Indices indices;
    EXPECT_TRUE(Succeeded(indices.AddItem(7u)));
    const auto sortIndices = [&](std::uint32_t first, std::uint32_t count) {
        ArrayUtils::SortIndecies(indices, children, first, count, TabStopLess<LSortableChild>(children));
    };
    // A range of fewer than two items has nothing to sort and is not checked.
    sort(100, 0);
    sort(100, 1);
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { sort(0, 2); }, "Out of Range : ZV::ArrayUtils::Sort"));
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { sort(0xFFFFFFFFu, 3); }, "Out of Range : ZV::ArrayUtils::Sort"));
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { sortIndices(2, 0); },
                                              "Out of Range : ZV::ArrayUtils::SortIndecies"));
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { sortIndices(0xFFFFFFFFu, 2); },
                                              "Out of Range : ZV::ArrayUtils::SortIndecies"));
    EXPECT_EQ(Values(indices), std::vector<unsigned>{7});
    sortIndices(1, 0);
    EXPECT_EQ(indices.GetCount(), 0u);

    ArrayBuffer<unsigned int, 1, 0, 1, 8, &Testing::GetRefusingAllocator> cannotGrow;
    Testing::RefusalScope refusal;
    EXPECT_THROW(ArrayUtils::SortIndecies(cannotGrow, children, 0, 1, TabStopLess<LSortableChild>(children)),
                 std::bad_alloc);
}

// Random children, sorted by both predicates, against a stable sort of the keys alone: the index breaks ties in
// the predicates exactly as stability does in the oracle.
TEST(SortIndecies, RandomChildSetsAgreeWithAStableSortOracle)
{
    std::mt19937 random(777);
    auto pick = [&](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
    for (int round = 0; round < 200; ++round) {
        const int count = pick(60);
        Children children;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(Succeeded(children.AddItem(Child(pick(6) - 1, pick(5) - 2, pick(3) != 0, pick(3)))));
        }
        const auto settings = [&](unsigned index) { return *children.GetData()[index]->GetSubControlSettings(); };
        const std::uint32_t first = count == 0 ? 0 : static_cast<std::uint32_t>(pick(count));
        const auto length = static_cast<std::uint32_t>(count) - first;
        std::vector<unsigned> oracle(length);
        std::iota(oracle.begin(), oracle.end(), first);

        Indices byTab;
        ArrayUtils::SortIndecies(byTab, children, first, length, TabStopLess<LSortableChild>(children));
        std::vector<unsigned> expectedByTab = oracle;
        std::stable_sort(expectedByTab.begin(), expectedByTab.end(),
                         [&](unsigned a, unsigned b) { return settings(a).tabStop < settings(b).tabStop; });
        ASSERT_EQ(Values(byTab), expectedByTab) << "round " << round;

        Indices byZ;
        ArrayUtils::SortIndecies(byZ, children, first, length, ZOrderLess<LSortableChild>(children));
        std::vector<unsigned> expectedByZ = oracle;
        auto drawingKey = [&](unsigned index) {
            const SortableSettings s = settings(index);
            return std::make_tuple(!s.clipToParent, s.xIsDocked + s.yIsDocked, s.zOrder);
        };
        std::stable_sort(expectedByZ.begin(), expectedByZ.end(),
                         [&](unsigned a, unsigned b) { return drawingKey(a) < drawingKey(b); });
        ASSERT_EQ(Values(byZ), expectedByZ) << "round " << round;
    }
}

}  // namespace
}  // namespace ZV
