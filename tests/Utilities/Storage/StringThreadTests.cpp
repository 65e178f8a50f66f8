#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace ZV {
namespace {

// Strings are copied across threads all the time (notification texts, port names); the shared buffer's count
// must come back exactly and no writer may see another's characters.
TEST(StringCopyOnWrite, ThreadsCopyingAndLockingSharedStringsLeaveEveryCountWhereItStarted)
{
    const WideString shared(L"Halvista Left");
    const WideString other(L"VT5 Display Left");
    const std::int32_t sharedCount = shared.GetBufferReferenceCount();
    const std::int32_t otherCount = other.GetBufferReferenceCount();

    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::vector<std::thread> threads;
    std::vector<int> mismatches(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                WideString copy(round % 2 == 0 ? shared : other);
                WideString second = copy;
                wchar_t* data = copy.Lock(0);
                data[0] = static_cast<wchar_t>(L'a' + t);
                EXPECT_TRUE(Succeeded(copy.Unlock()));
                copy += WideString(L"!");
                if (second != (round % 2 == 0 ? shared : other) || copy.GetData()[0] != L'a' + t) {
                    ++mismatches[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
    }
    EXPECT_EQ(shared.GetBufferReferenceCount(), sharedCount);
    EXPECT_EQ(other.GetBufferReferenceCount(), otherCount);
    EXPECT_TRUE(shared == L"Halvista Left");
    EXPECT_TRUE(other == L"VT5 Display Left");
}

}  // namespace
}  // namespace ZV
