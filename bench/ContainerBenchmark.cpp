#include "SideBySide.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace ZV {
class LBenchItem : public virtual LRefCountedObject {};
}  // namespace ZV

namespace {

struct Handle {
    std::intptr_t key;
    int value;
    static std::intptr_t GetKey(const Handle& handle) { return handle.key; }
};
using HandleList = ZV::HashedList<Handle, std::intptr_t, &Handle::GetKey, 8, &ZV::GetBits<8, 4, std::intptr_t>>;
using ItemPointer = ZV::RCPtr<ZV::LBenchItem>;

// Keys spaced like heap addresses of small objects.
std::intptr_t KeyAt(std::int64_t i)
{
    return 0x5555'0000'0000 + i * 48;
}

void ArrayAppendAndRead(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    bench::RunSideBySide(
        state,
        [count] {
            ZV::Array<int> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                (void)array.AddItem(static_cast<int>(i));
            }
            long long sum = 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                sum += *array.GetItemPointer(i);
            }
            benchmark::DoNotOptimize(sum);
        },
        [count] {
            std::vector<int> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                array.push_back(static_cast<int>(i));
            }
            long long sum = 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                sum += array.at(i);
            }
            benchmark::DoNotOptimize(sum);
        });
}
BENCHMARK(ArrayAppendAndRead)->Arg(64)->Arg(4096);

// Fills an array of counted pointers, walks it, and lets it go (releasing every item).
void RCPtrArrayFillWalkRelease(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const ItemPointer item(new ZV::LBenchItem);
    bench::RunSideBySide(
        state,
        [&] {
            ZV::RCPtrArray<ZV::LBenchItem> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                (void)array.AddItem(item);
            }
            int held = 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                held += array.GetData()[i] ? 1 : 0;
            }
            benchmark::DoNotOptimize(held);
        },
        [&] {
            std::vector<ItemPointer> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                array.push_back(item);
            }
            int held = 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                held += array[i] ? 1 : 0;
            }
            benchmark::DoNotOptimize(held);
        });
}
BENCHMARK(RCPtrArrayFillWalkRelease)->Arg(64)->Arg(4096);

// Uses an array of counted pointers as a stack, as the pool of spare notifications does: push all, pop all.
void RCPtrArrayPushPop(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const ItemPointer item(new ZV::LBenchItem);
    bench::RunSideBySide(
        state,
        [&] {
            ZV::RCPtrArray<ZV::LBenchItem> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                (void)array.AddItem(item);
            }
            ItemPointer taken;
            while (array.RemoveLast(taken) > 0) {
            }
            benchmark::DoNotOptimize(taken.Get());
        },
        [&] {
            std::vector<ItemPointer> array;
            for (std::uint32_t i = 0; i < count; ++i) {
                array.push_back(item);
            }
            ItemPointer taken;
            while (!array.empty()) {
                taken = std::move(array.back());
                array.pop_back();
            }
            benchmark::DoNotOptimize(taken.Get());
        });
}
BENCHMARK(RCPtrArrayPushPop)->Arg(64)->Arg(4096);

// A cache index's work: insert every key, look each up, remove them all.
void HashedListInsertFindRemove(benchmark::State& state)
{
    const auto count = state.range(0);
    bench::RunSideBySide(
        state,
        [count] {
            HandleList list;
            for (std::int64_t i = 0; i < count; ++i) {
                list.Add({KeyAt(i), static_cast<int>(i)});
            }
            Handle notFound{0, -1};
            long long sum = 0;
            for (std::int64_t i = 0; i < count; ++i) {
                sum += list.GetEntry(KeyAt(i), notFound).value;
            }
            for (std::int64_t i = 0; i < count; ++i) {
                list.Remove(KeyAt(i));
            }
            benchmark::DoNotOptimize(sum);
        },
        [count] {
            std::unordered_map<std::intptr_t, Handle> map;
            for (std::int64_t i = 0; i < count; ++i) {
                map[KeyAt(i)] = {KeyAt(i), static_cast<int>(i)};
            }
            long long sum = 0;
            for (std::int64_t i = 0; i < count; ++i) {
                auto found = map.find(KeyAt(i));
                sum += found != map.end() ? found->second.value : -1;
            }
            for (std::int64_t i = 0; i < count; ++i) {
                map.erase(KeyAt(i));
            }
            benchmark::DoNotOptimize(sum);
        });
}
BENCHMARK(HashedListInsertFindRemove)->Arg(64)->Arg(256)->Arg(4096);

// A renderer cache's index as the program keeps it: 256 entries, living as long as the cache. Each run looks up
// the four newest keys, then evicts the oldest key and adds a new one.
void HashedListCacheIndexChurn(benchmark::State& state)
{
    constexpr std::int64_t kEntries = 256;
    HandleList list;
    std::unordered_map<std::intptr_t, Handle> map;
    for (std::int64_t i = 0; i < kEntries; ++i) {
        list.Add({KeyAt(i), static_cast<int>(i)});
        map[KeyAt(i)] = {KeyAt(i), static_cast<int>(i)};
    }
    std::int64_t oursNext = kEntries;
    std::int64_t standardNext = kEntries;
    bench::RunSideBySide(
        state,
        [&] {
            Handle notFound{0, -1};
            long long sum = 0;
            for (std::int64_t back = 1; back <= 4; ++back) {
                sum += list.GetEntry(KeyAt(oursNext - back), notFound).value;
            }
            list.Remove(KeyAt(oursNext - kEntries));
            list.Add({KeyAt(oursNext), static_cast<int>(oursNext)});
            ++oursNext;
            benchmark::DoNotOptimize(sum);
        },
        [&] {
            long long sum = 0;
            for (std::int64_t back = 1; back <= 4; ++back) {
                auto found = map.find(KeyAt(standardNext - back));
                sum += found != map.end() ? found->second.value : -1;
            }
            map.erase(KeyAt(standardNext - kEntries));
            map[KeyAt(standardNext)] = {KeyAt(standardNext), static_cast<int>(standardNext)};
            ++standardNext;
            benchmark::DoNotOptimize(sum);
        });
}
BENCHMARK(HashedListCacheIndexChurn);

}  // namespace
