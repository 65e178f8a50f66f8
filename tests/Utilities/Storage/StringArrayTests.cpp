#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

std::vector<std::wstring> Texts(const WideStringArray& array)
{
    std::vector<std::wstring> texts;
    for (std::uint32_t i = 0; i < array.GetCount(); ++i) {
        texts.emplace_back(array.GetData()[i].GetData());
    }
    return texts;
}

WideStringArray ArrayOf(std::initializer_list<const wchar_t*> texts)
{
    WideStringArray array;
    for (const wchar_t* text : texts) {
        EXPECT_TRUE(Succeeded(array.AddItem(WideString(text))));
    }
    return array;
}

TEST(StringArray, FindIgnoresLetterCaseOnlyWhenAsked)
{
    EXPECT_EQ(WideStringArray().Find(WideString(L"x"), true), -1);
    const WideStringArray ids = ArrayOf({L"NID_LEFT_CLICK", L"nid_app_exit_req", L"NID_APP_EXIT_REQ", L"Ärger"});
    EXPECT_EQ(ids.Find(WideString(L"NID_APP_EXIT_REQ"), true), 2);
    EXPECT_EQ(ids.Find(WideString(L"NID_APP_EXIT_REQ"), false), 1);
    EXPECT_EQ(ids.Find(WideString(L"nid_left_click"), true), -1);
    EXPECT_EQ(ids.Find(WideString(L"nid_left_click"), false), 0);
    EXPECT_EQ(ids.Find(WideString(L"äRGER"), false), 3);
    EXPECT_EQ(ids.Find(WideString(L"NID_LEFT_CLICKS"), false), -1);
}

TEST(StringSplit, EmptyPartsStayATrailingSeparatorAddsNoneAndAMaximumLeavesTheRestInTheLastPart)
{
    EXPECT_EQ(Texts(WideString(L"first\n\nthird").Split(L"\n")), (std::vector<std::wstring>{L"first", L"", L"third"}));
    EXPECT_EQ(Texts(WideString(L"MENU.00.").Split(L".")), (std::vector<std::wstring>{L"MENU", L"00"}));
    EXPECT_EQ(Texts(WideString(L".a").Split(L".")), (std::vector<std::wstring>{L"", L"a"}));
    EXPECT_EQ(Texts(WideString(L"").Split(L".")), std::vector<std::wstring>{L""});
    EXPECT_EQ(Texts(WideString(L",").Split(L",")), std::vector<std::wstring>{L""});
    EXPECT_EQ(Texts(WideString(L"a,b;c").Split(L",;")), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(Texts(WideString(L"a,b").Split(nullptr)), std::vector<std::wstring>{L"a,b"});
    EXPECT_EQ(Texts(WideString(L"a.b.c").Split(L".", 2)), (std::vector<std::wstring>{L"a", L"b.c"}));
    EXPECT_EQ(Texts(WideString(L"a.b.").Split(L".", 2)), (std::vector<std::wstring>{L"a", L"b."}));
    EXPECT_EQ(Texts(WideString(L"a.b.c").Split(L".", -1)), (std::vector<std::wstring>{L"a", L"b", L"c"}));
}

TEST(StringSearch, FindFromAPositionAndReverseFind)
{
    const WideString path(L"skins/default/skin.xml");
    EXPECT_EQ(path.Find(WideString(L"s")), 0);
    EXPECT_EQ(path.Find(WideString(L"s"), 1), 4);
    EXPECT_EQ(path.Find(WideString(L"s"), 5), 14);
    EXPECT_EQ(path.Find(WideString(L"s"), 100), -1);
    EXPECT_EQ(path.Find(WideString(L"s"), -3), 0);
    EXPECT_EQ(path.Find(WideString(L""), 3), 3);
    EXPECT_EQ(path.ReverseFind(L'/'), 13);
    EXPECT_EQ(path.ReverseFind(L'\\'), -1);
    EXPECT_EQ(WideString().ReverseFind(L'/'), -1);
}

}  // namespace
}  // namespace ZV
