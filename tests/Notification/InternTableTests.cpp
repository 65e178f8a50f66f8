#include "Notification/InternTable.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace ZV {
namespace {

std::wstring Numbered(const wchar_t* prefix, int number)
{
    return prefix + std::to_wstring(number);
}

TEST(InternString, EqualTextsShareOnePointerThatInternsToItselfCaseMakesAnotherIdAndEmptyNone)
{
    const std::wstring text = L"NID_INTERN_SAME";
    const std::wstring copy = text;
    const wchar_t* canonical = InternString(text.c_str());
    ASSERT_NE(canonical, nullptr);
    EXPECT_NE(canonical, text.c_str());
    EXPECT_EQ(std::wstring(canonical), text);
    EXPECT_EQ(InternString(copy.c_str()), canonical);
    EXPECT_EQ(InternString(canonical), canonical);

    const wchar_t* lower = InternString(L"nid_intern_same");
    ASSERT_NE(lower, nullptr);
    EXPECT_NE(lower, canonical);
    EXPECT_EQ(InternString(nullptr), nullptr);
    EXPECT_EQ(InternString(L""), nullptr);
}

TEST(InternString, ABufferAskedForAgainWithAnotherTextGetsThatTextsPointer)
{
    wchar_t buffer[32] = L"NID_INTERN_BUFFER_A";
    const wchar_t* first = InternString(buffer);
    EXPECT_EQ(InternString(buffer), first);
    std::wcscpy(buffer, L"NID_INTERN_BUFFER_B");
    const wchar_t* second = InternString(buffer);
    ASSERT_NE(second, first) << "the buffer's address is the same, its text is not";
    EXPECT_EQ(std::wstring(second), L"NID_INTERN_BUFFER_B");
    std::wcscpy(buffer, L"NID_INTERN_BUFFER_A");
    EXPECT_EQ(InternString(buffer), first);
}

TEST(InternString, CanonicalPointersStayValidWhileTheTableGrows)
{
    const wchar_t* first = InternString(L"NID_INTERN_GROWTH_FIRST");
    std::vector<const wchar_t*> later;
    for (int i = 0; i < 2000; ++i) {
        later.push_back(InternString(Numbered(L"NID_INTERN_GROWTH_", i).c_str()));
    }
    EXPECT_EQ(std::wstring(first), L"NID_INTERN_GROWTH_FIRST");
    EXPECT_EQ(InternString(L"NID_INTERN_GROWTH_FIRST"), first);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(std::wstring(later[static_cast<std::size_t>(i)]), Numbered(L"NID_INTERN_GROWTH_", i));
    }
}

TEST(InternString, ThreadsInterningTheSameTextsInAnyOrderGetTheSamePointers)
{
    constexpr int kTexts = 200;
    constexpr int kThreads = 4;
    std::vector<std::vector<const wchar_t*>> results(kThreads, std::vector<const wchar_t*>(kTexts));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &results] {
            for (int n = 0; n < kTexts; ++n) {
                // Every thread walks the texts from another starting point.
                const int i = (n + t * kTexts / kThreads) % kTexts;
                results[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)] =
                    InternString(Numbered(L"NID_INTERN_THREADS_", i).c_str());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 1; t < kThreads; ++t) {
        EXPECT_EQ(results[static_cast<std::size_t>(t)], results[0]);
    }
}

}  // namespace
}  // namespace ZV
