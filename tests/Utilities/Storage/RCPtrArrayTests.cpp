#include "Utilities/Storage/RCPtrArray.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace ZV {

// Named as the skin's looks are, for the exception texts.
class LLook : public virtual LRefCountedObject {};

// Counts its instances and logs its release by number; its copy is numbered 1000 higher.
class LTrackedItem : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    static inline std::vector<int> sDestroyed;

    explicit LTrackedItem(int number = 0) : mNumber(number) { ++sLiving; }
    ~LTrackedItem() override
    {
        --sLiving;
        sDestroyed.push_back(mNumber);
    }
    ConstRCPtr<LRefCountedObject> CreateCopy() const override
    {
        return RCPtr<LTrackedItem>(new LTrackedItem(mNumber + 1000));
    }
    int GetNumber() const { return mNumber; }

private:
    int mNumber;
};

namespace {

using Testing::ThrowsText;

using Items = RCPtrArray<LTrackedItem>;

class RCPtrArrayTest : public ::testing::Test {
protected:
    void SetUp() override { LTrackedItem::sDestroyed.clear(); }
    void TearDown() override { EXPECT_EQ(LTrackedItem::sLiving, 0); }

    // Objects held by the test alone (count 1) until an array takes them.
    static std::vector<RCPtr<LTrackedItem>> MakeObjects(int count)
    {
        std::vector<RCPtr<LTrackedItem>> objects;
        for (int i = 0; i < count; ++i) {
            objects.emplace_back(new LTrackedItem(i));
        }
        return objects;
    }
};

std::vector<int> Numbers(const ConstRCPtrArray<LTrackedItem>& array)
{
    std::vector<int> numbers;
    for (std::uint32_t i = 0; i < array.GetCount(); ++i) {
        const ConstRCPtr<LTrackedItem>& item = array.GetData()[i];
        numbers.push_back(item ? item->GetNumber() : -1);
    }
    return numbers;
}

TEST_F(RCPtrArrayTest, StoringTakesAReferenceTakingOutHandsItOverAndDestroyingReleasesInIndexOrder)
{
    auto objects = MakeObjects(3);
    {
        Items array;
        RCPtr<LTrackedItem> out(new LTrackedItem(99));
        EXPECT_EQ(array.RemoveLast(out), ZV_E_FAIL) << "an empty array has nothing to remove";
        EXPECT_TRUE(out.IsNull());
        EXPECT_EQ(array.InsertItem(0, objects[1]), 0);
        EXPECT_EQ(array.InsertItem(0, objects[0]), 0);
        EXPECT_EQ(array.AddItem(objects[2]), 2);
        EXPECT_EQ(array.InsertItem(4, objects[2]), ZV_E_INVALIDARG);
        EXPECT_EQ(Numbers(array), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(objects[0]->GetRefCount(), 2);

        EXPECT_EQ(array.RemoveItem(1, out), 2);
        EXPECT_EQ(out->GetNumber(), 1);
        EXPECT_EQ(objects[1]->GetRefCount(), 2) << "the out pointer holds the array's reference";
        out = nullptr;
        EXPECT_EQ(array.InsertItem(0, array.GetData()[1]), 0) << "an item of the array itself";
        EXPECT_EQ(Numbers(array), (std::vector<int>{2, 0, 2}));

        RCPtr<LTrackedItem> writer(new LTrackedItem(5));
        writer->SetUnshareable(true);
        EXPECT_TRUE(Succeeded(array.AddItem(writer)));
        writer->SetUnshareable(false);
        EXPECT_EQ(Numbers(array), (std::vector<int>{2, 0, 2, 1005})) << "an unshareable object is stored as a copy";
        EXPECT_EQ(writer->GetRefCount(), 1);
        objects.clear();
    }
    EXPECT_EQ(LTrackedItem::sDestroyed, (std::vector<int>{99, 1, 5, 0, 2, 1005})) << "the array lets go in index order";
}

TEST_F(RCPtrArrayTest, RangePastTheEndRemovesToTheEndThenThrowsNamingTheViewCalledThrough)
{
    Items array;
    for (auto& object : MakeObjects(3)) {
        EXPECT_TRUE(Succeeded(array.AddItem(object)));
    }
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { (void)array.RemoveRange(1, 5); },
                                              "Out of Range : ZV::ConstRCPtrArray<class ZV::LTrackedItem,1,0>"
                                              "::RemoveItem"));
    EXPECT_EQ(LTrackedItem::sDestroyed, (std::vector<int>{1, 2}));
    EXPECT_EQ(Numbers(array), std::vector<int>{0});

    RCPtrArray<LLook> looks;
    RCPtr<LLook> out;
    ConstRCPtr<LLook> constOut;
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { (void)looks.RemoveItem(0, out); },
                                              "Out of Range : ZV::RCPtrArray<class ZV::LLook,1,0>::RemoveItem"));
    ConstRCPtrArray<LLook>& constLooks = looks;
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { (void)constLooks.RemoveItem(0, constOut); },
                                              "Out of Range : ZV::ConstRCPtrArray<class ZV::LLook,1,0>::RemoveItem"));
    RCPtrArray<LTrackedItem, 16, 16> workItems;
    RCPtr<LTrackedItem> item;
    EXPECT_TRUE(ThrowsText<std::out_of_range>([&] { (void)workItems.RemoveItem(3, item); },
                                              "Out of Range : ZV::RCPtrArray<class ZV::LTrackedItem,16,16>"
                                              "::RemoveItem"));
}

// Adding or removing one item at a time must not reallocate each time: the block moves only as the count doubles
// or halves, and an item coming and going at the edge of a full block moves it once. The notification queue's
// (256, 256) array moves in whole steps of 256 slots and keeps its first step down to no items.
TEST_F(RCPtrArrayTest, OneItemAtATimeTheBlockMovesOnlyAsTheCountDoublesOrHalves)
{
    const RCPtr<LTrackedItem> object(new LTrackedItem(1));
    Items array;
    std::uint32_t capacity = 0;
    int moves = 0;
    auto countMove = [&](auto& items) {
        if (items.GetCapacity() != capacity) {
            ++moves;
            capacity = items.GetCapacity();
        }
        EXPECT_GE(capacity, items.GetCount());
    };
    while (array.GetCount() < 1024) {
        EXPECT_TRUE(Succeeded(array.AddItem(object)));
        countMove(array);
    }
    EXPECT_LE(moves, 12);
    ASSERT_EQ(array.GetCapacity(), 1024u) << "a full block";
    const int movesWhenFull = moves;
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(Succeeded(array.AddItem(object)));
        countMove(array);
        ASSERT_EQ(array.RemoveRange(1024, 1), 1024);
        countMove(array);
    }
    EXPECT_EQ(moves, movesWhenFull + 1) << "back and forth across the edge of a full block";
    moves = 0;
    RCPtr<LTrackedItem> out;
    while (array.RemoveLast(out) > 0) {
        countMove(array);
    }
    EXPECT_LE(moves, 12);
    out = nullptr;
    EXPECT_EQ(object->GetRefCount(), 1);

    RCPtrArray<LTrackedItem, 256, 256> ring;
    EXPECT_TRUE(Succeeded(ring.AddItem(object)));
    EXPECT_EQ(ring.GetCapacity(), 256u);
    while (ring.GetCount() < 257) {
        EXPECT_TRUE(Succeeded(ring.AddItem(object)));
    }
    EXPECT_EQ(ring.GetCapacity(), 512u);
    EXPECT_TRUE(Succeeded(ring.RemoveLast(out)));
    EXPECT_EQ(ring.GetCapacity(), 512u);
    EXPECT_TRUE(Succeeded(ring.RemoveLast(out)));
    EXPECT_EQ(ring.GetCapacity(), 256u) << "back to one step at 255 items";
    EXPECT_TRUE(Succeeded(ring.Clear()));
    EXPECT_EQ(ring.GetCapacity(), 256u);
}

// Drives both views with random operations and checks the slots and every object's count against a plain model:
// each object is held once by the test plus once per slot and out pointer that holds it.
TEST_F(RCPtrArrayTest, RandomOperationsKeepEveryReferenceCountWhereTheModelSaysIt)
{
    constexpr int kObjects = 24;
    constexpr int kOperations = 20000;
    auto objects = MakeObjects(kObjects);
    Items arrays[2];
    std::vector<int> models[2];
    RCPtr<LTrackedItem> out;
    ConstRCPtr<LTrackedItem> constOut;
    std::mt19937 random(20240611);
    auto pick = [&](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };

    auto expectMatchesModel = [&](int step) {
        std::map<int, int> expected;
        for (int i = 0; i < kObjects; ++i) {
            expected[i] = 1;
        }
        for (const auto& model : models) {
            for (int number : model) {
                expected[number] += number >= 0 ? 1 : 0;
            }
        }
        expected[out ? out->GetNumber() : -1] += 1;
        expected[constOut ? constOut->GetNumber() : -1] += 1;
        for (int a = 0; a < 2; ++a) {
            ASSERT_EQ(Numbers(arrays[a]), models[a]) << "array " << a << " at step " << step;
        }
        for (int i = 0; i < kObjects; ++i) {
            ASSERT_EQ(objects[i]->GetRefCount(), expected[i]) << "object " << i << " at step " << step;
        }
    };

    // One operation on a random array, through either view; the item it stores is let go when it returns.
    auto operate = [&] {
        const int a = pick(2);
        Items& array = arrays[a];
        ConstRCPtrArray<LTrackedItem>& constView = array;
        std::vector<int>& model = models[a];
        const auto count = static_cast<int>(model.size());
        const int number = pick(kObjects + 2) - 2;
        const RCPtr<LTrackedItem> item = number >= 0 ? objects[number] : nullptr;
        // Long arrays only shrink, so that the run stays small and visits the empty array often.
        switch (count > 48 ? 5 : pick(8)) {
        case 0: {
            const int index = pick(count + 2);
            const ZVRESULT result = pick(2) == 0 ? array.InsertItem(index, item) : constView.InsertItem(index, item);
            ASSERT_EQ(result, index <= count ? index : ZV_E_INVALIDARG);
            if (index <= count) {
                model.insert(model.begin() + index, number >= 0 ? number : -1);
            }
            break;
        }
        case 1: {
            const int index = pick(count + 1);
            const bool throughConst = pick(2) == 0;
            try {
                const ZVRESULT result =
                    throughConst ? constView.RemoveItem(index, constOut) : array.RemoveItem(index, out);
                ASSERT_LT(index, count);
                ASSERT_EQ(result, count - 1);
                model.erase(model.begin() + index);
            } catch (const std::out_of_range&) {
                ASSERT_EQ(index, count);
            }
            break;
        }
        case 2: {
            const int index = pick(count + 1);
            const int length = pick(4);
            const bool fits = length == 0 || index + length <= count;
            try {
                ASSERT_EQ(array.RemoveRange(index, length), count - length);
                ASSERT_TRUE(fits);
            } catch (const std::out_of_range&) {
                ASSERT_FALSE(fits);
            }
            if (length != 0 && index < count) {
                model.erase(model.begin() + index, model.begin() + std::min(index + length, count));
            }
            break;
        }
        case 3: {
            const int first = pick(count + 1);
            const int second = pick(count + 1);
            const ZVRESULT result =
                pick(2) == 0 ? constView.SwapItems(first, second) : array.SwapItems(first, second);
            const bool inside = first < count && second < count;
            ASSERT_EQ(result, inside ? 0 : ZV_E_INVALIDARG);
            if (inside) {
                std::swap(model[first], model[second]);
            }
            break;
        }
        case 4: {
            const int source = pick(2);
            const std::vector<int> added = models[source];
            if (count + added.size() <= 64) {
                ASSERT_EQ(array.AppendAll(arrays[source]), count + static_cast<int>(added.size()));
                model.insert(model.end(), added.begin(), added.end());
            }
            break;
        }
        case 5: {
            const int newCount = pick(count + 3);
            ASSERT_EQ(array.SetCount(newCount), newCount);
            model.resize(newCount, -1);
            break;
        }
        case 6: {
            const ZVRESULT result = pick(2) == 0 ? array.RemoveLast(out) : constView.RemoveLast(constOut);
            ASSERT_EQ(result, count == 0 ? ZV_E_FAIL : count - 1);
            if (count != 0) {
                model.pop_back();
            }
            break;
        }
        default:
            out = nullptr;
            constOut = nullptr;
            break;
        }
    };

    for (int step = 0; step < kOperations && !HasFatalFailure(); ++step) {
        operate();
        if (step % 16 == 0 || step == kOperations - 1) {
            expectMatchesModel(step);
        }
    }
    out = nullptr;
    constOut = nullptr;
    EXPECT_TRUE(Succeeded(arrays[0].Clear()));
    EXPECT_TRUE(Succeeded(arrays[1].Clear()));
    for (const auto& object : objects) {
        EXPECT_EQ(object->GetRefCount(), 1);
    }
}

}  // namespace
}  // namespace ZV
