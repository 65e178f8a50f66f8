#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

namespace ZV {

// Lets assertions print wide strings readably.
inline void PrintTo(const WideString& text, std::ostream* out)
{
    *out << '"' << text.ToUTF8().GetData() << '"';
}

namespace {

TEST(StringLock, CopyOrAssignmentFromALockedStringOwnsOnlyItsCharactersAndLaterWritesStayPrivate)
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

    text.Lock(8)[0] = 0;
    EXPECT_TRUE(Succeeded(text.Unlock()));
    EXPECT_TRUE(text.IsEmpty()) << "nothing written gives the empty string";

    WideString original(L"shared");
    const WideString sharer(original);
    original.Lock(0)[0] = L'S';
    EXPECT_TRUE(Succeeded(original.Unlock()));
    EXPECT_EQ(sharer, L"shared") << "writing through the lock does not reach strings that shared the buffer";
    EXPECT_EQ(original, L"Shared");
}

TEST(StringLock, AssigningMoreThanTheLockedRoomCutsTheTextAndAppendingGrowsItStillLocked)
{
    WideString text;
    wchar_t* data = text.Lock(4);
    text.Assign(L"firmware", WideString::kWholeText);
    EXPECT_EQ(text.Lock(0), nullptr);
    EXPECT_EQ(std::wstring(data), L"fir");
    EXPECT_TRUE(Succeeded(text.Unlock()));
    EXPECT_EQ(text, L"fir");

    text.Lock(0);
    text += WideString(L"mly");
    EXPECT_EQ(text.Lock(0), nullptr);
    EXPECT_TRUE(Succeeded(text.Unlock()));
    text += text;
    EXPECT_EQ(text, L"firmlyfirmly");
}

TEST(StringMove, MovesHandOverTheBufferLeaveUsableStringsAndCopyWhereALockIsHeld)
{
    WideString source(L"firmware");
    const std::int32_t sharers = source.GetBufferReferenceCount();
    WideString moved(std::move(source));
    EXPECT_EQ(moved, L"firmware");
    EXPECT_EQ(moved.GetBufferReferenceCount(), sharers) << "the buffer changes hands without another holder";
    EXPECT_TRUE(source.IsEmpty()) << "a moved-from string is empty";
    source += WideString(L"again");
    EXPECT_EQ(source, L"again") << "and usable";

    WideString target(L"old");
    target = std::move(moved);
    EXPECT_EQ(target, L"firmware");
    EXPECT_EQ(moved, L"old") << "a move assignment trades buffers";
    moved = L"new";
    EXPECT_EQ(moved, L"new");
    WideString& alias = target;
    target = std::move(alias);
    EXPECT_EQ(target, L"firmware") << "moved onto itself";

    WideString locked(L"abc");
    wchar_t* room = locked.Lock(16);
    WideString fromLocked(std::move(locked));
    WideString assignedFromLocked;
    assignedFromLocked = std::move(locked);
    room[0] = L'X';
    EXPECT_EQ(fromLocked, L"abc") << "a locked string is copied, its writer keeps its room";
    EXPECT_EQ(assignedFromLocked, L"abc");
    EXPECT_TRUE(Succeeded(locked.Unlock()));
    EXPECT_EQ(locked, L"Xbc");

    WideString lockedTarget(L"zz");
    room = lockedTarget.Lock(16);
    lockedTarget = std::move(fromLocked);
    EXPECT_EQ(room, lockedTarget.GetData()) << "a locked target keeps its room and takes a copy";
    EXPECT_EQ(fromLocked, L"abc");
    EXPECT_TRUE(Succeeded(lockedTarget.Unlock()));
    EXPECT_EQ(lockedTarget, L"abc");
}

// Appends grow a string's own block with room to spare; none of that may show in its text, its length, the
// strings that shared its buffer, or the room a Lock gives.
TEST(StringAppend, LongRunsOfAppendsGiveExactlyTheTextAndLeaveSharersAlone)
{
    WideString built;
    std::wstring expected;
    WideString halfway;
    for (int i = 0; i < 300; ++i) {
        built += WideString(L"block ");
        built.AppendChar(static_cast<wchar_t>(L'a' + i % 26));
        expected += L"block ";
        expected += static_cast<wchar_t>(L'a' + i % 26);
        if (i == 150) {
            halfway = built;
        }
    }
    EXPECT_EQ(built.GetLength(), expected.size());
    EXPECT_EQ(built, expected.c_str());
    EXPECT_EQ(halfway, expected.substr(0, 151 * 7).c_str()) << "a copy taken halfway keeps the text it had";

    WideString copy(built);
    copy.AppendChar(L'!');
    EXPECT_EQ(built.GetLength(), expected.size()) << "appending to a sharer leaves the original alone";
    EXPECT_EQ(copy.GetLength(), expected.size() + 1);
    built.AppendChar(0);
    EXPECT_EQ(built.GetLength(), expected.size()) << "a NUL appends nothing";

    WideString small;
    for (const wchar_t* piece : {L"fir", L"mw", L"are"}) {
        small += WideString(piece);
    }
    wchar_t* room = small.Lock(0);
    small.Assign(L"firmware image", WideString::kWholeText);
    EXPECT_EQ(std::wstring(room), L"firmware") << "the locked room is the length asked for, not the spare block";
    EXPECT_TRUE(Succeeded(small.Unlock()));
    EXPECT_EQ(small.GetLength(), 8u);
}

TEST(StringAppend, AStringAppendsItsOwnCharactersWhetherItsBlockHasRoomOrMoves)
{
    WideString text(L"ab");
    text += text;
    EXPECT_EQ(text, L"abab") << "appending into a new block";
    text += text;
    text += text;
    EXPECT_EQ(text, L"abababababababab");
    ASSERT_EQ(text.InsertChars(text.GetLength(), text.GetData() + 1, 3), ZV_S_OK);
    EXPECT_EQ(text, L"abababababababab" L"bab");
    EXPECT_EQ(text.GetLength(), 19u);

    WideString locked(L"xy");
    locked.Lock(0);
    locked += locked;
    locked.AppendChar(locked.GetData()[0]);
    EXPECT_TRUE(Succeeded(locked.Unlock()));
    EXPECT_EQ(locked, L"xyxyx") << "a locked buffer resized to exactly its new text, read from before it moved";
}

TEST(StringEditing, MidInsertTrimAndCompareHandleTheirEdges)
{
    const WideString abc(L"abc");
    EXPECT_EQ(abc.Mid(-2, 5), L"bc") << "a negative start counts from the end";
    EXPECT_EQ(abc.Mid(-5, 3), L"a");
    EXPECT_TRUE(abc.Mid(-10, 3).IsEmpty());
    EXPECT_TRUE(abc.MidToEnd(7).IsEmpty());

    WideString text(L"abc");
    EXPECT_EQ(text.Insert(4, WideString(L"x")), ZV_E_INVALIDARG);
    EXPECT_EQ(text.Insert(3, WideString(L"x")), ZV_S_OK);
    EXPECT_EQ(text.InsertChars(1, L"123456", 2), ZV_S_OK);
    EXPECT_EQ(text, L"a12bcx");

    EXPECT_EQ(WideString(L"  \t").TrimLeft(), L"  \t") << "left trim of only blanks keeps them";
    EXPECT_TRUE(WideString(L"  \t").Trim().IsEmpty());
    EXPECT_EQ(WideString(L"xxabxx").TrimRightChars(L"x"), L"xxab");

    EXPECT_TRUE(WideString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_FALSE(WideString(L"a") == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(WideString(L"Größe") == "Größe");
    EXPECT_TRUE(WideString(L"Z") < WideString(L"a"));
    EXPECT_TRUE(WideString(L"\u00FF") < WideString(L"\uFF00")) << "code units compare unsigned";
}

TEST(StringCase, UpperAndLowerMapLettersOfEveryScriptAndLeaveSurrogatesAndTheOriginalAlone)
{
    WideString text;
    EXPECT_TRUE(Succeeded(text.AssignFromUTF8("straße ωμέγα 🎹 x", -1)));
    WideString expected;
    EXPECT_TRUE(Succeeded(expected.AssignFromUTF8("STRAßE ΩΜΈΓΑ 🎹 X", -1)));
    EXPECT_EQ(text.ToUpper(), expected);
    EXPECT_EQ(NarrowString("abc-é").ToUpper(), "ABC-é") << "narrow text maps ASCII bytes only";
    const WideString mixed(L"Update FIRMWARE Ä");
    EXPECT_EQ(mixed.ToLower(), L"update firmware ä");
    EXPECT_EQ(mixed, L"Update FIRMWARE Ä");
    EXPECT_TRUE(WideString(L"Skin.XML").EqualsNoCase(WideString(L"skin.xml")));
    EXPECT_FALSE(WideString(L"Skin.XML").EqualsNoCase(WideString(L"skin.xm")));
}

TEST(StringNumbers, FixedPointAndDoubleTextsIncludingNegativeFractions)
{
    EXPECT_EQ(WideString::FromFixedPointInt(5, 2), L".05");
    EXPECT_EQ(WideString::FromFixedPointInt(12345, 2), L"123.45");
    EXPECT_EQ(WideString::FromFixedPointInt(7, 0), L"7");
    EXPECT_EQ(WideString::FromFixedPointInt(-5, 2), L"-.05");
    EXPECT_EQ(WideString::FromFixedPointLong(-123456, 3), L"-123.456");
    EXPECT_EQ(WideString::FromDouble(1.5, -1), L"1.500000");
    EXPECT_EQ(WideString::FromDouble(2.345, 1), L"2.3");
}

TEST(StringFormat, FollowsTheWideRulesAndProducesLongOutputWhole)
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

    std::wstring longText(20000, L'z');
    longText[19999] = L'!';
    const WideString formatted = WideString::Format(L"<%s>", longText.c_str());
    EXPECT_EQ(formatted.GetLength(), 20002u) << "beyond the stack buffer";
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

}  // namespace
}  // namespace ZV
