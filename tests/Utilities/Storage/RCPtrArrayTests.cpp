#include "TestSupport.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/LRCPtrArray.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace ZV {

// Named as the skin's looks are, for the exception texts.
class LLook : public virtual LRefCountedObject {};

// Counts its instances and logs its release by number, so that tests see which object went when.
class LTrackedItem : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    static inline std::vector<int> sDestroyed;

    explicit LTrackedItem(int number = 0) : mNumber(number) { ++sLiving; }
    LTrackedItem(const LTrackedItem& other) : LRefCountedObject(), mNumber(other.mNumber + 1000) { ++sLiving; }
    ~LTrackedItem() override
    {
        --sLiving;
        sDestroyed.push_back(mNumber);
    }

    ConstRCPtr<LRefCountedObject> CreateCopy() const override { return RCPtr<LTrackedItem>(new LTrackedItem(*this)); }

    int GetNumber() const { return mNumber; }

private:
    int mNumber;
};

namespace {

using Testing::TextMatchesThrow;
using Items = RCPtrArray<LTrackedItem>;

class RCPtrArrayTest : public ::testing::Test {
protected:
    void SetUp() override { LTrackedItem::sDestroyed.clear(); }
    void TearDown() override { EXPECT_EQ(LTrackedItem::sLiving, 0); }

    // Objects held by the test alone (count 1) until an array takes them.
    std::vector<RCPtr<LTrackedItem>> MakeObjects(int count)
    {
        std::vector<RCPtr<LTrackedItem>> objects;
        for (int i = 0; i < count; ++i) {
            objects.emplace_back(new LTrackedItem(i));
        }
        return objects;
    }
};

template <class Operation>
void ExpectOutOfRange(Operation operation, const std::string& expectedPrefix)
{
    try {
        operation();
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_TRUE(TextMatchesThrow(error.what(), expectedPrefix));
    }
}

std::vector<int> Numbers(const ConstRCPtrArray<LTrackedItem>& array)
{
    std::vector<int> numbers;
    for (std::uint32_t i = 0; i < array.GetCount(); ++i) {
        const ConstRCPtr<LTrackedItem>& item = array.GetData()[i];
        numbers.push_back(item ? item->GetNumber() : -1);
    }
    return numbers;
}

TEST_F(RCPtrArrayTest, AnEmptyArrayHasNothingToRemove)
{
    Items array;
    RCPtr<LTrackedItem> out(new LTrackedItem(9));
    EXPECT_EQ(array.GetCount(), 0u);
    EXPECT_EQ(array.RemoveLast(out), ZV_E_FAIL);
    EXPECT_TRUE(out.IsNull());
    EXPECT_THROW(array.RemoveItem(0, out), std::out_of_range);
    EXPECT_EQ(array.Clear(), 0);
    EXPECT_EQ(array.IndexOf(out), -1);
    EXPECT_EQ(array.GetData(), nullptr);
}

TEST_F(RCPtrArrayTest, StoringTakesAReferenceAndTakingOutHandsItOver)
{
    auto objects = MakeObjects(3);
    Items array;
    EXPECT_EQ(array.InsertItem(0, objects[1]), 0);
    EXPECT_EQ(array.InsertItem(0, objects[0]), 0);
    EXPECT_EQ(array.AddItem(objects[2]), 2);
    EXPECT_EQ(array.InsertItem(4, objects[2]), ZV_E_INVALIDARG);
    EXPECT_EQ(Numbers(array), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(objects[0]->GetRefCount(), 2);
    EXPECT_EQ(array.IndexOf(objects[2]), 2);

    RCPtr<LTrackedItem> out(new LTrackedItem(99));
    EXPECT_EQ(array.RemoveItem(1, out), 2);
    EXPECT_EQ(LTrackedItem::sDestroyed, std::vector<int>{99});
    EXPECT_EQ(out->GetNumber(), 1);
    EXPECT_EQ(objects[1]->GetRefCount(), 2);
    out = nullptr;

    EXPECT_EQ(array.Clear(), 0);
    for (const auto& object : objects) {
        EXPECT_EQ(object->GetRefCount(), 1);
    }
}

TEST_F(RCPtrArrayTest, StoringAnUnshareableObjectStoresACopy)
{
    RCPtr<LTrackedItem> writer(new LTrackedItem(5));
    writer->SetUnshareable(true);
    Items array;
    array.AddItem(writer);
    EXPECT_EQ(writer->GetRefCount(), 1);
    EXPECT_EQ(array.GetData()[0]->GetNumber(), 1005);
    writer->SetUnshareable(false);
}

TEST_F(RCPtrArrayTest, SetCountAddsNullSlotsAndReleasesCutItemsInIndexOrder)
{
    auto objects = MakeObjects(3);
    Items array;
    for (auto& object : objects) {
        array.AddItem(object);
    }
    EXPECT_EQ(array.SetCount(6), 6);
    EXPECT_EQ(Numbers(array), (std::vector<int>{0, 1, 2, -1, -1, -1}));
    objects.clear();
    EXPECT_EQ(array.SetCount(1), 1);
    EXPECT_EQ(LTrackedItem::sDestroyed, (std::vector<int>{1, 2}));
    EXPECT_EQ(Numbers(array), std::vector<int>{0});
}

TEST_F(RCPtrArrayTest, RangePastTheEndRemovesToTheEndThenThrowsTheConstText)
{
    Items array;
    for (auto& object : MakeObjects(3)) {
        array.AddItem(object);
    }
    ExpectOutOfRange([&] { array.RemoveRange(1, 5); },
                     "Out of Range : ZV::ConstRCPtrArray<class ZV::LTrackedItem,1,0>::RemoveItem");
    EXPECT_EQ(LTrackedItem::sDestroyed, (std::vector<int>{1, 2}));
    EXPECT_EQ(Numbers(array), std::vector<int>{0});
}

TEST_F(RCPtrArrayTest, RemoveItemNamesTheViewItWasCalledThrough)
{
    RCPtrArray<LLook> looks;
    RCPtr<LLook> out;
    ConstRCPtr<LLook> constOut;
    ExpectOutOfRange([&] { looks.RemoveItem(0, out); }, "Out of Range : ZV::RCPtrArray<class ZV::LLook,1,0>::RemoveItem");
    ExpectOutOfRange([&] { static_cast<ConstRCPtrArray<LLook>&>(looks).RemoveItem(0, constOut); },
                     "Out of Range : ZV::ConstRCPtrArray<class ZV::LLook,1,0>::RemoveItem");

    RCPtrArray<LTrackedItem, 16, 16> workItems;
    RCPtr<LTrackedItem> item;
    ExpectOutOfRange([&] { workItems.RemoveItem(3, item); },
                     "Out of Range : ZV::RCPtrArray<class ZV::LTrackedItem,16,16>::RemoveItem");
}

TEST_F(RCPtrArrayTest, DestroyingReleasesInIndexOrder)
{
    {
        Items array;
        for (auto& object : MakeObjects(3)) {
            array.AddItem(object);
        }
    }
    EXPECT_EQ(LTrackedItem::sDestroyed, (std::vector<int>{0, 1, 2}));
}

TEST_F(RCPtrArrayTest, SwapThroughTheMutableViewIsCheckedAndCounted)
{
    auto objects = MakeObjects(3);
    Items array;
    for (auto& object : objects) {
        array.AddItem(object);
    }
    EXPECT_EQ(array.SwapItems(0, 5), ZV_E_INVALIDARG);
    EXPECT_EQ(array.SwapItems(0, 2), 0);
    EXPECT_EQ(array.SwapItems(1, 1), 0);
    ConstRCPtrArray<LTrackedItem>& constView = array;
    EXPECT_EQ(constView.SwapItems(0, 1), 0);
    EXPECT_EQ(constView.SwapItems(3, 1), ZV_E_INVALIDARG);
    EXPECT_EQ(Numbers(array), (std::vector<int>{1, 2, 0}));
    for (const auto& object : objects) {
        EXPECT_EQ(object->GetRefCount(), 2);
    }
}

TEST_F(RCPtrArrayTest, AppendAllAddsCountedCopiesBehindTheOldItems)
{
    auto objects = MakeObjects(5);
    Items array;
    Items other;
    for (int i = 0; i < 5; ++i) {
        (i < 3 ? array : other).AddItem(objects[i]);
    }
    EXPECT_EQ(array.AppendAll(other), 5);
    EXPECT_EQ(Numbers(array), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(objects[4]->GetRefCount(), 3);
    EXPECT_EQ(array.Assign(other), 2);
    EXPECT_EQ(Numbers(array), (std::vector<int>{3, 4}));
    EXPECT_EQ(objects[0]->GetRefCount(), 1);
}

TEST_F(RCPtrArrayTest, BlockSizeFollowsGrowByAndSlackInSlots)
{
    RCPtr<LTrackedItem> object(new LTrackedItem);
    RCPtr<LTrackedItem> out;
    Items exact;
    for (int i = 0; i < 5; ++i) {
        exact.AddItem(object);
        EXPECT_EQ(exact.GetCapacity(), exact.GetCount());
    }
    exact.RemoveItem(1, out);
    EXPECT_EQ(exact.GetCapacity(), 4u);
    exact.Clear();
    EXPECT_EQ(exact.GetCapacity(), 0u);

    RCPtrArray<LTrackedItem, 256, 256> queue;
    EXPECT_EQ(queue.GetCapacity(), 0u);
    queue.AddItem(object);
    EXPECT_EQ(queue.GetCapacity(), 256u);
    while (queue.GetCount() < 256) {
        queue.AddItem(object);
    }
    EXPECT_EQ(queue.GetCapacity(), 256u);
    queue.AddItem(object);
    EXPECT_EQ(queue.GetCapacity(), 512u);
    queue.RemoveLast(out);
    EXPECT_EQ(queue.GetCapacity(), 512u);
    queue.RemoveLast(out);
    EXPECT_EQ(queue.GetCount(), 255u);
    EXPECT_EQ(queue.GetCapacity(), 256u);
    while (queue.GetCount() > 0) {
        queue.RemoveLast(out);
    }
    EXPECT_EQ(queue.GetCapacity(), 256u);

    RCPtrArray<LTrackedItem, 256, 256> ring(256, 256);
    EXPECT_EQ(ring.GetCount(), 256u);
    EXPECT_EQ(ring.GetCapacity(), 256u);
    EXPECT_TRUE(ring.GetData()[255].IsNull());
    RCPtrArray<LTrackedItem> reserved(1, 300);
    EXPECT_EQ(reserved.GetCapacity(), 1u);
}

TEST_F(RCPtrArrayTest, ASharedListLivesAsLongAsItsPointers)
{
    auto objects = MakeObjects(1);
    RCPtr<LRCPtrArray<LTrackedItem>> list(new LRCPtrArray<LTrackedItem>(2));
    EXPECT_EQ(list->GetCount(), 2u);
    list->AddItem(objects[0]);
    list->SetTag(objects[0]);
    ConstRCPtr<LRCPtrArray<LTrackedItem>> reader(list);
    EXPECT_EQ(list->GetRefCount(), 2);
    list = nullptr;
    EXPECT_EQ(reader->GetCount(), 3u);
    EXPECT_EQ(objects[0]->GetRefCount(), 3);
    reader = nullptr;
    EXPECT_EQ(objects[0]->GetRefCount(), 1);
}

// Drives both views with random operations and checks, after each one, the slots and every object's count against
// a plain model: each object is held once by the test plus once per slot and out pointer that holds it.
TEST_F(RCPtrArrayTest, RandomOperationsKeepEveryReferenceCountWhereTheModelSaysIt)
{
    constexpr int kObjects = 24;
    constexpr int kOperations = 40000;
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
                if (number >= 0) {
                    ++expected[number];
                }
            }
        }
        if (out) {
            ++expected[out->GetNumber()];
        }
        if (constOut) {
            ++expected[constOut->GetNumber()];
        }
        for (int a = 0; a < 2; ++a) {
            ASSERT_EQ(Numbers(arrays[a]), models[a]) << "array " << a << " at step " << step;
        }
        for (int i = 0; i < kObjects; ++i) {
            ASSERT_EQ(objects[i]->GetRefCount(), expected[i]) << "object " << i << " at step " << step;
        }
    };

    // One operation on a random array; the item it stores is released again when it returns.
    auto operate = [&] {
        const int a = pick(2);
        Items& array = arrays[a];
        ConstRCPtrArray<LTrackedItem>& constView = array;
        std::vector<int>& model = models[a];
        const auto count = static_cast<int>(model.size());
        const int number = pick(kObjects + 2) - 2;
        const RCPtr<LTrackedItem> item = number >= 0 ? objects[number] : nullptr;
        const int storedNumber = number >= 0 ? number : -1;
        // Long arrays only shrink, so that the run stays small and visits the empty array often.
        switch (count > 48 ? 5 : pick(11)) {
        case 0: {
            const int index = pick(count + 2);
            const ZVRESULT result = pick(2) == 0 ? array.InsertItem(index, item) : constView.InsertItem(index, item);
            if (index <= count) {
                ASSERT_EQ(result, index);
                model.insert(model.begin() + index, storedNumber);
            } else {
                ASSERT_EQ(result, ZV_E_INVALIDARG);
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
            } catch (const std::out_of_range&) {
                ASSERT_EQ(index, count);
                break;
            }
            model.erase(model.begin() + index);
            break;
        }
        case 2: {
            const int index = pick(count + 1);
            const int length = pick(4);
            try {
                const ZVRESULT result = array.RemoveRange(index, length);
                ASSERT_TRUE(length == 0 || index + length <= count);
                ASSERT_EQ(result, length == 0 ? count : count - length);
            } catch (const std::out_of_range&) {
                ASSERT_TRUE(length != 0 && index + length > count);
            }
            if (length != 0 && index < count) {
                model.erase(model.begin() + index, model.begin() + std::min(index + length, count));
            }
            break;
        }
        case 3: {
            const int first = pick(count + 1);
            const int second = pick(count + 1);
            const bool throughConst = pick(2) == 0;
            const ZVRESULT result = throughConst ? constView.SwapItems(first, second) : array.SwapItems(first, second);
            if (first < count && second < count) {
                ASSERT_EQ(result, 0);
                std::swap(model[first], model[second]);
            } else {
                ASSERT_EQ(result, ZV_E_INVALIDARG);
            }
            break;
        }
        case 4: {
            const int source = pick(2);
            const std::vector<int> added = models[source];
            if (count + added.size() > 64) {
                break;
            }
            ASSERT_EQ(array.AppendAll(arrays[source]), count + static_cast<int>(added.size()));
            model.insert(model.end(), added.begin(), added.end());
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
            if (count == 0) {
                ASSERT_EQ(result, ZV_E_FAIL);
            } else {
                ASSERT_EQ(result, count - 1);
                model.pop_back();
            }
            break;
        }
        case 7: {
            const int index = pick(count + 2);
            const int length = pick(3);
            const ZVRESULT result = array.InsertSpace(index, length);
            if (length == 0) {
                ASSERT_EQ(result, count);
            } else if (index <= count) {
                ASSERT_EQ(result, count + length);
                model.insert(model.begin() + index, length, -1);
            } else {
                ASSERT_EQ(result, ZV_E_INVALIDARG);
            }
            break;
        }
        case 8:
            out = nullptr;
            constOut = nullptr;
            break;
        case 9:
            if (pick(8) == 0) {
                ASSERT_EQ(array.Assign(arrays[1 - a]), static_cast<int>(models[1 - a].size()));
                model = models[1 - a];
            }
            break;
        default:
            if (pick(20) == 0) {
                ASSERT_EQ(array.Clear(), 0);
                model.clear();
            }
            break;
        }
    };

    for (int step = 0; step < kOperations; ++step) {
        operate();
        if (step % 16 == 0 || step == kOperations - 1) {
            expectMatchesModel(step);
        }
        if (HasFatalFailure()) {
            return;
        }
    }
    out = nullptr;
    constOut = nullptr;
    arrays[0].Clear();
    arrays[1].Clear();
    for (const auto& object : objects) {
        EXPECT_EQ(object->GetRefCount(), 1);
    }
}

}  // namespace
}  // namespace ZV
