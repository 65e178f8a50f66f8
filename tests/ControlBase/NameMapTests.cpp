#include "ControlBase/NameMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

WideString NumberedName(int i)
{
    return WideString(("name" + std::to_string(i)).c_str());
}

TEST(NameMap, KeepsTheFirstValueOfANameFindsThousandsExactlyAndValuesStayPutAsItGrows)
{
    NameMap<WideString> map;
    EXPECT_EQ(map.Find(L"absent"), nullptr) << "an empty map";
    ASSERT_TRUE(map.Add(WideString(), WideString(L"unnamed")));
    const WideString* first = map.Find(WideString());
    ASSERT_NE(first, nullptr);

    constexpr int kNames = 5000;
    std::vector<const WideString*> found;
    for (int i = 0; i < kNames; ++i) {
        ASSERT_TRUE(map.Add(NumberedName(i), NumberedName(i + 1)));
        found.push_back(map.Find(NumberedName(i)));
    }
    EXPECT_FALSE(map.Add(L"name7", WideString(L"second"))) << "the first value of a name stays";
    EXPECT_FALSE(map.Add(WideString(), WideString(L"second")));
    EXPECT_TRUE(map.Add(L"NAME7", WideString(L"upper"))) << "names differ in letter case";
    EXPECT_EQ(map.GetCount(), kNames + 2u);

    EXPECT_EQ(map.Find(WideString()), first) << "a value stays where it was found";
    EXPECT_EQ(*first, L"unnamed");
    for (int i = 0; i < kNames; ++i) {
        ASSERT_EQ(map.Find(NumberedName(i)), found[i]) << i;
        ASSERT_EQ(*found[i], NumberedName(i + 1)) << i;
    }
    EXPECT_EQ(*map.Find(L"NAME7"), L"upper");
    EXPECT_EQ(map.Find(NumberedName(kNames)), nullptr);
    EXPECT_EQ(map.Find(L"name"), nullptr);

    map.Clear();
    EXPECT_EQ(map.GetCount(), 0u);
    EXPECT_EQ(map.Find(L"name7"), nullptr);
    EXPECT_TRUE(map.Add(L"name7", WideString(L"again")));
    EXPECT_EQ(*map.Find(L"name7"), L"again");
}

}  // namespace
}  // namespace ZV
