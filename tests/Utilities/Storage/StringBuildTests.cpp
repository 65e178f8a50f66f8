#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ZV {
namespace {

TEST(StringBuild, ABuiltStringHoldsExactlyItsCharactersAndBehavesAsAnyOther)
{
    const WideString built = WideString::Build(5, [](wchar_t* room) { std::copy_n(L"skins", 5, room); });
    EXPECT_EQ(built, L"skins");
    EXPECT_EQ(built.GetLength(), 5u);
    EXPECT_EQ(built.GetData()[5], 0) << "the NUL is there without the writer";

    WideString copy(built);
    EXPECT_EQ(copy.GetData(), built.GetData()) << "shareable at once";
    copy.AppendChar(L'!');
    EXPECT_EQ(copy, L"skins!");
    EXPECT_EQ(built, L"skins") << "a sharer's append leaves it alone";

    bool written = false;
    const WideString empty = WideString::Build(0, [&](wchar_t*) { written = true; });
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(written) << "no room to write for no characters";

    const NarrowString narrow = NarrowString::Build(3, [](char* room) { std::copy_n("abc", 3, room); });
    EXPECT_EQ(narrow, "abc");
    EXPECT_EQ(narrow.GetLength(), 3u);
}

}  // namespace
}  // namespace ZV
