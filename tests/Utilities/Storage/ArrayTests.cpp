#include "System/KeyCode.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/ArrayBufferM.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/RefusingAllocator.h"

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

// The update engine's device record: four words and five wide strings, copied and assigned field by field.
struct DeviceDefinition {
    std::int32_t words[4] = {};
    WideString strings[5];
};

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
    array.Clear();
    for (const T& item : items) {
        ASSERT_GE(array.AddItem(item), 0);
    }
}

// Reaches its items only through the iteration entries, as a queue does.
class IterationOnly : public IIterable<int> {
public:
    std::uint32_t GetCount() const override { return mItems.GetCount(); }
    int* GetItemAt(int* position) override { return position; }
    int* AdvancePosition(int* position, int n) override { return mItems.AdvancePosition(position, n); }
    int* GetBeginPointer() override { return mItems.GetBeginPointer(); }
    int* GetEndPointer() override { return mItems.GetEndPointer(); }
    ZVRESULT SetCount(std::uint32_t count) override { return mItems.SetCount(count); }
    ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override { return mItems.InsertSpace(index, count); }
    ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override { return mItems.RemoveRange(index, count); }

    Array<int> mItems;
};

TEST(Arrays, MaxCountIsTheInt32RangeExceptForTheFixedRoom)
{
    EXPECT_EQ(Array<int>().GetMaxCount(), 0x7FFFFFFFu);
    EXPECT_EQ(UIntBuffer().GetMaxCount(), 0x7FFFFFFFu);
    EXPECT_EQ(ByteArrayM().GetMaxCount(), 0x7FFFFFFFu);
    EXPECT_EQ(FixedBytes().GetMaxCount(), 8u);
}

TEST(ArrayBuffer, NewItemsReadZeroAndResultsAreCounts)
{
    UIntBuffer array;
    EXPECT_EQ(array.SetCount(5), 5);
    EXPECT_EQ(Items(array), std::vector<unsigned>(5, 0));

    Fill<unsigned>(array, {7, 8, 9});
    EXPECT_EQ(array.InsertSpace(1, 2), 5);
    EXPECT_EQ(Items(array), (std::vector<unsigned>{7, 0, 0, 8, 9}));
    EXPECT_EQ(array.InsertItem(5, 10u), 6);
    EXPECT_EQ(array.AddItem(11u), 7);
    EXPECT_EQ(array.InsertItem(8, 12u), ZV_E_INVALIDARG);
    EXPECT_EQ(array.RemoveRange(1000, 0), 7);
    EXPECT_EQ(array.InsertSpace(1000, 0), 7);
    EXPECT_EQ(array.RemoveRange(1, 2), 5);
    EXPECT_EQ(Items(array), (std::vector<unsigned>{7, 8, 9, 10, 11}));
    EXPECT_EQ(array.IndexOf(9u), 2);
    EXPECT_EQ(array.IndexOf(99u), -1);
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

    try {
        array.GetItemPointer(7);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
    int out = 42;
    EXPECT_THROW(array.RemoveItem(7, out), std::out_of_range);
    EXPECT_EQ(out, 42);
    try {
        array.SetCount(0x80000000u);
        FAIL() << "no exception";
    } catch (const std::length_error& error) {
        EXPECT_STREQ(error.what(), "vector<T> too long");
    }
    EXPECT_EQ(array.GetCount(), 7u);
}

TEST(Arrays, ClearLeavesNoBeginOrEndPointer)
{
    Array<int> array;
    UIntBuffer buffer;
    ByteArrayM small;
    FixedBytes fixed(6);
    Fill(array, {1, 2});
    Fill<unsigned>(buffer, {1, 2});
    Fill<signed char>(small, {1, 2, 3, 4, 5});
    EXPECT_EQ(array.Clear(), 0);
    EXPECT_EQ(buffer.Clear(), 0);
    EXPECT_EQ(small.Clear(), 0);
    EXPECT_EQ(fixed.Clear(), 0);
    EXPECT_EQ(array.GetBeginPointer(), nullptr);
    EXPECT_EQ(array.GetEndPointer(), nullptr);
    EXPECT_EQ(array.GetData(), nullptr);
    EXPECT_EQ(buffer.GetBeginPointer(), nullptr);
    EXPECT_EQ(buffer.GetEndPointer(), nullptr);
    EXPECT_EQ(small.GetBeginPointer(), nullptr);
    EXPECT_EQ(small.GetEndPointer(), nullptr);
    EXPECT_EQ(fixed.GetBeginPointer(), nullptr);
    EXPECT_EQ(fixed.GetEndPointer(), nullptr);
    EXPECT_NE(fixed.GetData(), nullptr);
}

TEST(Arrays, AdvancePositionStopsAtTheFirstItemAndAtTheEnd)
{
    Array<int> array;
    Fill(array, {1, 2, 3});
    IIterable<int>::Iterator iterator;
    array.Begin(iterator);
    EXPECT_EQ(iterator.container, &array);
    int* second = array.AdvancePosition(iterator.position, 1);
    EXPECT_EQ(*array.GetItemAt(second), 2);
    EXPECT_EQ(array.AdvancePosition(second, 1000), array.GetEndPointer());
    EXPECT_EQ(array.AdvancePosition(second, -1000), array.GetBeginPointer());
    array.End(iterator);
    EXPECT_EQ(iterator.position, array.GetData() + 3);
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

TEST(Arrays, SwapItemsRefusesAnIndexAtTheCount)
{
    Array<int> array;
    Fill(array, {1, 2, 3});
    EXPECT_EQ(array.SwapItems(0, 2), 0);
    EXPECT_EQ(array.SwapItems(1, 1), 0);
    EXPECT_EQ(array.SwapItems(0, 3), ZV_E_INVALIDARG);
    EXPECT_EQ(array.SwapItems(3, 0), ZV_E_INVALIDARG);
    EXPECT_EQ(Items(array), (std::vector<int>{3, 2, 1}));
}

TEST(Arrays, OperationsOfAnIterationOnlyContainerWalkItsItems)
{
    IterationOnly container;
    EXPECT_EQ(container.AddItem(1), 1);
    EXPECT_EQ(container.AddItem(3), 2);
    EXPECT_EQ(container.InsertItem(1, 2), 3);
    EXPECT_EQ(*container.GetItemPointer(2), 3);
    const IterationOnly& constContainer = container;
    EXPECT_EQ(*constContainer.GetItemPointer(1), 2);
    EXPECT_EQ(container.SwapItems(0, 2), 0);

    Array<int> more;
    Fill(more, {4, 5});
    EXPECT_EQ(container.AppendAll(more), 5);
    EXPECT_EQ(Items(container.mItems), (std::vector<int>{3, 2, 1, 4, 5}));

    int out = 0;
    EXPECT_EQ(container.RemoveItem(1, out), 4);
    EXPECT_EQ(out, 2);
    EXPECT_EQ(container.RemoveItem(4, out), ZV_E_INVALIDARG);
    EXPECT_EQ(container.RemoveLast(out), 3);
    EXPECT_EQ(out, 5);
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

TEST(Arrays, RemovingAtOrPastTheCountReadsNothingAndKeepsTheOutItem)
{
    UIntBuffer buffer;
    ByteArrayM small;
    FixedBytes fixed;
    Array<int> array;
    unsigned outUnsigned = 77;
    signed char outByte = 77;
    int outInt = 77;

    EXPECT_EQ(buffer.RemoveLast(outUnsigned), ZV_E_FAIL);
    EXPECT_EQ(small.RemoveLast(outByte), ZV_E_FAIL);
    EXPECT_EQ(fixed.RemoveLast(outByte), ZV_E_FAIL);
    EXPECT_EQ(array.RemoveLast(outInt), ZV_E_FAIL);

    Fill<unsigned>(buffer, {1, 2});
    Fill<signed char>(small, {1, 2});
    fixed.SetCount(2);
    EXPECT_EQ(buffer.RemoveItem(2, outUnsigned), ZV_E_INVALIDARG);
    EXPECT_EQ(small.RemoveItem(0xFFFFFFFFu, outByte), ZV_E_INVALIDARG);
    EXPECT_EQ(fixed.RemoveItem(2, outByte), ZV_E_INVALIDARG);
    EXPECT_EQ(outUnsigned, 77u);
    EXPECT_EQ(outByte, 77);
    EXPECT_EQ(buffer.GetCount(), 2u);

    EXPECT_EQ(buffer.RemoveLast(outUnsigned), 1);
    EXPECT_EQ(outUnsigned, 2u);
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
    Fill<unsigned>(array, {1, 2, 3});
    Array<unsigned> more;
    Fill<unsigned>(more, {4});
    {
        RefusalScope refusal;
        EXPECT_EQ(array.SetCount(10), ZV_E_FAIL);
        EXPECT_EQ(array.InsertSpace(1, 2), ZV_E_FAIL);
        EXPECT_EQ(array.InsertSpace(3, 2), ZV_E_FAIL);
        EXPECT_EQ(array.AddItem(4u), ZV_E_FAIL);
        EXPECT_EQ(array.AppendAll(more), ZV_E_FAIL);
    }
    EXPECT_EQ(Items(array), (std::vector<unsigned>{1, 2, 3}));

    ArrayBufferM<signed char, 4, 1, 0, 1, 8, &GetRefusingAllocator> small;
    Fill<signed char>(small, {1, 2, 3, 4});
    {
        RefusalScope refusal;
        EXPECT_EQ(small.SetCount(5), ZV_E_FAIL);
        EXPECT_EQ(small.InsertSpace(0, 1), ZV_E_FAIL);
    }
    EXPECT_EQ(Items(small), (std::vector<signed char>{1, 2, 3, 4}));
}

TEST(Array, HoldsRecordsByValueWithTheirOwnCopies)
{
    Array<DeviceDefinition> devices;
    EXPECT_EQ(devices.SetCount(2), 2);
    EXPECT_EQ(devices.GetItemPointer(1)->words[3], 0);
    EXPECT_TRUE(devices.GetItemPointer(1)->strings[4].IsEmpty());

    DeviceDefinition device;
    device.words[0] = 7;
    device.strings[2] = WideString(L"Halvista Left");
    EXPECT_EQ(devices.InsertItem(0, device), 0);
    device.strings[2] = WideString(L"changed");
    EXPECT_EQ(devices.GetItemPointer(0)->strings[2], L"Halvista Left");

    DeviceDefinition taken;
    EXPECT_EQ(devices.RemoveItem(0, taken), 2);
    EXPECT_EQ(taken.words[0], 7);
    EXPECT_EQ(taken.strings[2], L"Halvista Left");

    Array<KeyCode> keys;
    KeyCode key;
    key.code = 0x200D0000;
    key.sidedModifiers = 0x04;
    key.previousState = 1;
    keys.AddItem(key);
    const KeyCode& stored = *keys.GetItemPointer(0);
    EXPECT_EQ(stored.code, 0x200D0000u);
    EXPECT_EQ(stored.sidedModifiers, 0x04u);
    EXPECT_EQ(stored.previousState, 1);
}

}  // namespace
}  // namespace ZV
