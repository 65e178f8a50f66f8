#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace ZV {

// Lets assertions print wide strings readably.
inline void PrintTo(const NarrowString& text, std::ostream* out)
{
    *out << '"' << text.GetData() << '"';
}

inline void PrintTo(const WideString& text, std::ostream* out)
{
    *out << '"' << text.ToUTF8().GetData() << '"';
}

namespace {

TEST(StringLock, CopyOfALockedStringOwnsItsCharactersAndLaterWritesStayPrivate)
{
    WideString text(L"abc");
    wchar_t* data = text.Lock(16);
    ASSERT_NE(data, nullptr);
    WideString copied(text);
    WideString assigned;
    assigned = text;
    data[1] = L'X';
    EXPECT_EQ(copied, L"abc");
    EXPECT_EQ(assigned, L"abc");
    EXPECT_EQ(assigned.GetLength(), 3u) << "an assignment from a locked string copies only its characters";
    EXPECT_EQ(text.Lock(0), nullptr) << "a second Lock without Unlock";
    EXPECT_EQ(text.Unlock(), ZV_S_OK);
    EXPECT_EQ(text.Unlock(), ZV_S_FALSE);
    EXPECT_EQ(text, L"aXc");
    EXPECT_EQ(text.GetLength(), 3u);
}

TEST(StringLock, WritingThroughTheLockDoesNotReachStringsThatSharedTheBuffer)
{
    WideString original(L"shared");
    WideString sharer(original);
    wchar_t* data = original.Lock(0);
    data[0] = L'S';
    original.Unlock();
    EXPECT_EQ(sharer, L"shared");
    EXPECT_EQ(original, L"Shared");
}

TEST(StringLock, UnlockWithNothingWrittenGivesTheSharedEmptyString)
{
    WideString text(L"abc");
    wchar_t* data = text.Lock(8);
    data[0] = 0;
    text.Unlock();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text, WideString()) << "the same empty buffer as a new string";
}

TEST(StringLock, AssigningMoreThanTheLockedRoomCutsTheTextToFit)
{
    WideString text;
    wchar_t* data = text.Lock(4);
    text.Assign(L"firmware", WideString::kWholeText);
    EXPECT_EQ(text.Lock(0), nullptr);
    EXPECT_EQ(std::wstring(data), L"fir");
    text.Unlock();
    EXPECT_EQ(text, L"fir");
}

TEST(StringLock, AppendToALockedStringGrowsItInPlaceAndKeepsItLocked)
{
    WideString text(L"up");
    text.Lock(0);
    text += WideString(L"date");
    EXPECT_EQ(text.Lock(0), nullptr);
    text.Unlock();
    EXPECT_EQ(text, L"update");
    text += text;
    EXPECT_EQ(text, L"updateupdate");
}

TEST(StringMid, NegativeStartsCountFromTheEnd)
{
    const WideString abc(L"abc");
    EXPECT_EQ(abc.Mid(-2, 5), L"bc");
    EXPECT_EQ(abc.Mid(-5, 3), L"a");
    EXPECT_TRUE(abc.Mid(-10, 3).IsEmpty());
    EXPECT_TRUE(abc.Mid(3, 1).IsEmpty());
    EXPECT_EQ(abc.Left(2), L"ab");
    EXPECT_EQ(abc.MidToEnd(1), L"bc");
    EXPECT_TRUE(abc.MidToEnd(7).IsEmpty());
    EXPECT_EQ(NarrowString("abc").Mid(-2, 5), "bc");
}

TEST(StringInsert, RefusesIndexesPastTheEndAndAppendsAtTheEnd)
{
    WideString text(L"abc");
    EXPECT_EQ(text.Insert(4, WideString(L"x")), ZV_E_INVALIDARG);
    EXPECT_EQ(text, L"abc");
    EXPECT_EQ(text.Insert(3, WideString(L"x")), ZV_S_OK);
    EXPECT_EQ(text, L"abcx");
    EXPECT_EQ(text.Insert(0, WideString(L">")), ZV_S_OK);
    EXPECT_EQ(text.Insert(2, WideString(L"-")), ZV_S_OK);
    EXPECT_EQ(text, L">a-bcx");
    EXPECT_EQ(text.InsertChars(1, L"123456", 2), ZV_S_OK);
    EXPECT_EQ(text, L">12a-bcx");
    text.AppendChar(L'/');
    EXPECT_EQ(text, L">12a-bcx/");
}

TEST(StringNumbers, FixedPointAndDoubleTexts)
{
    EXPECT_EQ(WideString::FromFixedPointInt(5, 2), L".05");
    EXPECT_EQ(WideString::FromFixedPointInt(12345, 2), L"123.45");
    EXPECT_EQ(WideString::FromFixedPointInt(7, 0), L"7");
    EXPECT_EQ(WideString::FromFixedPointInt(-5, 2), L"-.05");
    EXPECT_EQ(WideString::FromFixedPointLong(-123456, 3), L"-123.456");
    EXPECT_EQ(WideString::FromDouble(1.5, -1), L"1.500000");
    EXPECT_EQ(WideString::FromDouble(2.345, 1), L"2.3");
}

TEST(StringTrim, LeftTrimOfOnlyBlanksKeepsThemWhileTrimEmptiesThem)
{
    const WideString blanks(L"  \t");
    EXPECT_EQ(blanks.TrimLeft(), L"  \t");
    EXPECT_TRUE(blanks.Trim().IsEmpty());
    EXPECT_EQ(WideString(L"a \r\n").TrimRight(), L"a");
    EXPECT_EQ(WideString(L"\t a b ").Trim(), L"a b");
    EXPECT_EQ(WideString(L"xxabxx").TrimLeftChars(L"x"), L"abxx");
    EXPECT_EQ(WideString(L"xxabxx").TrimRightChars(L"x"), L"xxab");
}

TEST(StringCompare, NullAndEmptyEqualOnlyEachOtherAndCaseMatters)
{
    EXPECT_TRUE(WideString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(WideString() == L"");
    EXPECT_FALSE(WideString(L"a") == static_cast<const wchar_t*>(nullptr));
    EXPECT_FALSE(WideString(L"abc") == WideString(L"ABC"));
    EXPECT_TRUE(WideString(L"Größe") == "Größe");
    EXPECT_TRUE(WideString(L"abc") != "abd");
    EXPECT_TRUE(WideString(L"ab") < WideString(L"abc"));
    EXPECT_TRUE(WideString(L"Z") < WideString(L"a"));
    EXPECT_TRUE(WideString(L"\u00FF") < WideString(L"\uFF00")) << "code units compare unsigned";
    const WideString same(L"x");
    EXPECT_FALSE(same < same);
}

TEST(StringFind, EmptyNeedleIsFoundAtZeroAndMissingTextAtMinusOne)
{
    const WideString text(L"Halvista Left");
    EXPECT_EQ(text.Find(WideString()), 0);
    EXPECT_EQ(text.Find(WideString(L"Left")), 9);
    EXPECT_EQ(text.Find(WideString(L"Right")), -1);
}

TEST(StringCase, ToUpperMapsLettersOfEveryScriptAndLeavesSurrogatesAlone)
{
    WideString text;
    text.AssignFromUTF8("straße ωμέγα 🎹 x", -1);
    WideString expected;
    expected.AssignFromUTF8("STRAßE ΩΜΈΓΑ 🎹 X", -1);
    EXPECT_EQ(text.ToUpper(), expected);
    EXPECT_EQ(NarrowString("abc-é").ToUpper(), "ABC-é") << "narrow text maps ASCII bytes only";
}

TEST(StringReplace, ReplacesEveryCharacterOfTheSetAndZeroLeavesTheString)
{
    WideString name(L"skin.file name.xml");
    name.ReplaceAnyOf(L". ", L'_');
    EXPECT_EQ(name, L"skin_file_name_xml");
    name.ReplaceAnyOf(L"_", 0);
    EXPECT_EQ(name, L"skin_file_name_xml");
}

TEST(StringFormat, FollowsTheWideRulesForStringsAndCharacters)
{
    const wchar_t* version = L"Update Firmware Version: 1.2.3";
    EXPECT_EQ(WideString::Format(L"%s", version), version);
    EXPECT_EQ(WideString::Format(L"[%ls|%S|%hs]", L"wide", "nârrow", "utf8"), L"[wide|nârrow|utf8]");
    EXPECT_EQ(WideString::Format(L"%c%C%lc", L'Ω', 'a', L'b'), L"Ωab");
    EXPECT_EQ(WideString::Format(L"%5s|%-4s|%.2s", L"ab", L"c", L"xyz"), L"   ab|c   |xy");
    EXPECT_EQ(WideString::Format(L"%d %ld %u %08X %x %lld", -7, static_cast<zlong>(-8), 9u, 0xBEEFu, 255u,
                                 -(1LL << 40)),
              L"-7 -8 9 0000BEEF ff -1099511627776");
    EXPECT_EQ(WideString::Format(L"%*d|%-*d|%.3f|%0.0f|%%", 4, 1, 3, 2, 3.14159, 2.5), L"   1|2  |3.142|2|%");
    EXPECT_EQ(WideString::Format(L"(Error code = %d)", 903), L"(Error code = 903)");
}

TEST(StringFormat, LongOutputIsProducedWholeBeyondTheStackBuffer)
{
    std::wstring longText(20000, L'z');
    longText[19999] = L'!';
    const WideString formatted = WideString::Format(L"<%s>", longText.c_str());
    EXPECT_EQ(formatted.GetLength(), 20002u);
    EXPECT_EQ(formatted.Mid(-2, 2), L"!>");
}

TEST(StringLocale, ResultsDoNotFollowTheUsersLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps generates de_DE.UTF-8";
    const WideString decimals = WideString::FromDouble(1.5, 2);
    const WideString defaultDecimals = WideString::FromDouble(1.5, -1);
    std::wstring longText(300, L'ä');
    const WideString whole = WideString::Format(L"%s", longText.c_str());
    const WideString upper = WideString(L"istanbul").ToUpper();
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_EQ(decimals, L"1.50");
    EXPECT_EQ(defaultDecimals, L"1.500000");
    EXPECT_EQ(whole.GetLength(), 300u);
    EXPECT_EQ(upper, L"ISTANBUL");
}

TEST(StringWrapper, IsAStringAndACountedTaggableObject)
{
    RCPtr<LStringWrapper> wrapper = LStringWrapper::Create(WideString(L"clipboard text"));
    ConstRCPtr<LRefCountedObject> asObject(wrapper);
    EXPECT_EQ(asObject->ToString(), L"clipboard text");
    EXPECT_EQ(static_cast<const WideString&>(*wrapper).GetLength(), 14u);
    wrapper->SetTag(asObject);
    wrapper->SetTag(nullptr);
}

TEST(StringCharacter, ZeroGivesAnEmptyStringOfItsOwn)
{
    const WideString zero(L'\0');
    EXPECT_TRUE(zero.IsEmpty());
    EXPECT_EQ(zero.GetLength(), 0u);
    const NarrowString letter('q');
    EXPECT_EQ(letter.GetLength(), 1u);
}

}  // namespace
}  // namespace ZV
