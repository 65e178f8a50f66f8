#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/ArrayBufferM.h"
#include "Utilities/Storage/RefusingAllocator.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::GetRefusingAllocator;
using Testing::RefusalScope;

using UIntBuffer = ArrayBuffer<unsigned int>;
using ByteArrayM = ArrayBufferM<signed char, 4>;
using FixedBytes = SimpleFixedArray<signed char, 8>;

template <class T>
std::vector<T> Items(const IArray<T>& array)
{
    std::vector<T> items;
    for (std::uint32_t i = 0; i < array.GetCount(); ++i) {
        items.push_back(*array.GetItemPointer(i));
    }
    return items;
}

template <class T>
void Fill(IArray<T>& array, std::initializer_list<T> items)
{
    EXPECT_TRUE(Succeeded(array.Clear()));
    for (const T& item : items) {
        ASSERT_GE(array.AddItem(item), 0);
    }
}

TEST(Array, ResultsAreIndicesAndElementAccessIsChecked)
{
    Array<int> array;
    EXPECT_EQ(array.IndexOf(1), -1);
    Fill(array, {1, 2, 3});
    EXPECT_EQ(array.InsertItem(3, 4), 3);
    EXPECT_EQ(array.InsertItem(5, 6), ZV_E_INVALIDARG);
    EXPECT_EQ(array.AddItem(5), 4);
    EXPECT_EQ(array.RemoveRange(5, 0), ZV_E_INVALIDARG);
    EXPECT_EQ(array.InsertSpace(1, 2), 7);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 0, 0, 2, 3, 4, 5}));
    EXPECT_EQ(array.SwapItems(0, 6), 0);
    EXPECT_EQ(array.SwapItems(0, 7), ZV_E_INVALIDARG);
    EXPECT_EQ(Items(array), (std::vector<int>{5, 0, 0, 2, 3, 4, 1}));

    EXPECT_EQ(Testing::ThrownText<std::out_of_range>([&] { array.GetItemPointer(7); }), "invalid vector<T> subscript");
    int out = 42;
    EXPECT_THROW((void)array.RemoveItem(7, out), std::out_of_range);
    EXPECT_EQ(out, 42);
    EXPECT_EQ(Testing::ThrownText<std::length_error>([&] { (void)array.SetCount(0x80000000u); }), "vector<T> too long");
    EXPECT_EQ(array.GetCount(), 7u);
}

TEST(Arrays, EveryKindClearsToNoItemsAndRefusesToRemovePastTheEnd)
{
    Array<signed char> array;
    ArrayBuffer<signed char> buffer;
    ByteArrayM small;
    FixedBytes fixed;
    for (IArray<signed char>* items : std::initializer_list<IArray<signed char>*>{&array, &buffer, &small, &fixed}) {
        signed char out = 77;
        EXPECT_EQ(items->RemoveLast(out), ZV_E_FAIL);
        Fill<signed char>(*items, {1, 2, 3, 4, 5});
        EXPECT_EQ(items->GetMaxCount(), items == &fixed ? 8u : 0x7FFFFFFFu);
        if (items != &array) {
            EXPECT_EQ(items->RemoveItem(5, out), ZV_E_INVALIDARG);
            EXPECT_EQ(items->RemoveItem(0xFFFFFFFFu, out), ZV_E_INVALIDARG);
        }
        EXPECT_EQ(out, 77);
        EXPECT_EQ(items->RemoveLast(out), 4);
        EXPECT_EQ(out, 5);
        EXPECT_EQ(items->Clear(), 0);
        EXPECT_EQ(items->GetBeginPointer(), nullptr);
        EXPECT_EQ(items->GetEndPointer(), nullptr);
    }
}

TEST(Arrays, AppendAllAndAssignCopyAnotherArrayOfAnyKind)
{
    UIntBuffer target;
    Array<unsigned> source;
    Fill<unsigned>(target, {1, 2, 3});
    EXPECT_EQ(target.AppendAll(source), 3);
    Fill<unsigned>(source, {4, 5});
    EXPECT_EQ(target.AppendAll(source), 5);
    EXPECT_EQ(Items(target), (std::vector<unsigned>{1, 2, 3, 4, 5}));
    EXPECT_EQ(target.Assign(source), 2);
    EXPECT_EQ(Items(target), (std::vector<unsigned>{4, 5}));

    EXPECT_EQ(target.AppendAll(target), 4);
    EXPECT_EQ(Items(target), (std::vector<unsigned>{4, 5, 4, 5}));
    EXPECT_EQ(target.Assign(target), 4);
    EXPECT_EQ(Items(target), (std::vector<unsigned>{4, 5, 4, 5}));

    FixedBytes fixed(7);
    ByteArrayM bytes;
    Fill<signed char>(bytes, {1, 2});
    EXPECT_EQ(fixed.AppendAll(bytes), ZV_E_FAIL);
}

TEST(ArrayBufferM, ItemsMoveBetweenTheObjectAndTheHeapAtM)
{
    ByteArrayM array;
    Fill<signed char>(array, {1, 2, 3, 4});
    const auto* object = reinterpret_cast<const char*>(&array);
    auto isInsideObject = [&](const void* data) {
        return data >= object && data < object + sizeof(array);
    };
    EXPECT_TRUE(isInsideObject(array.GetData()));

    EXPECT_EQ(array.SetCount(5), 5);
    EXPECT_FALSE(isInsideObject(array.GetData()));
    EXPECT_EQ(Items(array), (std::vector<signed char>{1, 2, 3, 4, 0}));
    EXPECT_EQ(array.InsertSpace(0, 2), 7);
    EXPECT_EQ(Items(array), (std::vector<signed char>{0, 0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(array.RemoveRange(0, 2), 5);

    EXPECT_EQ(array.SetCount(3), 3);
    EXPECT_TRUE(isInsideObject(array.GetData()));
    EXPECT_EQ(Items(array), (std::vector<signed char>{1, 2, 3}));
    EXPECT_EQ(array.SetCount(4), 4);
    EXPECT_EQ(Items(array), (std::vector<signed char>{1, 2, 3, 0}));
    EXPECT_EQ(array.AddItem(9), 5);
    EXPECT_EQ(Items(array), (std::vector<signed char>{1, 2, 3, 0, 9}));
}

TEST(SimpleFixedArray, CountStopsAtNAndInsertingBeyondNIsRefused)
{
    FixedBytes array(6);
    EXPECT_EQ(array.GetCount(), 6u);
    for (signed char i = 0; i < 6; ++i) {
        array.GetData()[i] = static_cast<signed char>(i + 1);
    }
    EXPECT_EQ(array.InsertSpace(0, 3), ZV_E_INVALIDARG);
    EXPECT_EQ(array.InsertSpace(1, 2), 8);
    EXPECT_EQ(Items(array), (std::vector<signed char>{1, 2, 3, 2, 3, 4, 5, 6}));
    EXPECT_EQ(array.RemoveRange(1, 2), 6);
    EXPECT_EQ(array.RemoveRange(5, 2), ZV_E_INVALIDARG);
    EXPECT_EQ(array.SetCount(9), 8);
    EXPECT_EQ(array.GetCount(), 8u);
    EXPECT_EQ(FixedBytes(20).GetCount(), 8u);
}

TEST(Arrays, RangesWhoseEndWrapsAroundAreRefused)
{
    UIntBuffer buffer;
    Fill<unsigned>(buffer, {1, 2, 3});
    EXPECT_EQ(buffer.RemoveRange(1, 0xFFFFFFFFu), ZV_E_INVALIDARG);
    Array<int> array;
    Fill(array, {1, 2, 3});
    EXPECT_EQ(array.RemoveRange(1, 0xFFFFFFFFu), ZV_E_INVALIDARG);
    FixedBytes fixed(3);
    EXPECT_EQ(fixed.RemoveRange(1, 0xFFFFFFFFu), ZV_E_INVALIDARG);
    EXPECT_EQ(fixed.InsertSpace(1, 0xFFFFFFFFu), ZV_E_INVALIDARG);
    EXPECT_EQ(buffer.GetCount(), 3u);
    EXPECT_EQ(array.GetCount(), 3u);
    EXPECT_EQ(fixed.GetCount(), 3u);
}

TEST(ArrayBuffer, GrowthTheHeapRefusesFailsWithTheItemsUnchanged)
{
    ArrayBuffer<unsigned, 1, 0, 1, 8, &GetRefusingAllocator> array;
    // Filled to the end of its block, so that any growth needs the heap.
    std::vector<unsigned> items;
    do {
        items.push_back(static_cast<unsigned>(items.size()) + 1);
        ASSERT_GE(array.AddItem(items.back()), 0);
    } while (array.GetCount() < array.GetCapacity());
    Array<unsigned> more;
    Fill<unsigned>(more, {4});
    {
        RefusalScope refusal;
        EXPECT_EQ(array.SetCount(array.GetCount() + 10), ZV_E_FAIL);
        EXPECT_EQ(array.InsertSpace(1, 2), ZV_E_FAIL);
        EXPECT_EQ(array.InsertSpace(array.GetCount(), 2), ZV_E_FAIL);
        EXPECT_EQ(array.AddItem(5u), ZV_E_FAIL);
        EXPECT_EQ(array.AppendAll(more), ZV_E_FAIL);
    }
    EXPECT_EQ(Items(array), items);

    ArrayBufferM<signed char, 4, 1, 0, 1, 8, &GetRefusingAllocator> small;
    Fill<signed char>(small, {1, 2, 3, 4});
    {
        RefusalScope refusal;
        EXPECT_EQ(small.SetCount(5), ZV_E_FAIL);
        EXPECT_EQ(small.InsertSpace(0, 1), ZV_E_FAIL);
    }
    EXPECT_EQ(Items(small), (std::vector<signed char>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace ZV
