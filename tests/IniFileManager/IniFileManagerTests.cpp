#include "IniTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace Ini::Testing {
namespace {

// Texts that a careless INI writer would lose or change: line breaks, backslashes, quotes, blanks at the ends,
// characters that mean something in the format, characters beyond ASCII, nothing at all.
const std::vector<std::string> kAwkwardTexts = {
    "two\nlines\r\nand a carriage return\r",
    "C:\\new\\table \\n is not a line break",
    "\"quoted\"",
    "\"",
    "  blanks around\t",
    "key=value ; not a comment # nor this",
    "[not a section]",
    "Gr\xC3\xBC\xC3\x9F" "e, \xE6\x9D\xB1\xE4\xBA\xAC, \xF0\x9F\x98\x80",
    "",
};

// 5,000 bytes of every printable ASCII character and every escape the format uses.
std::string LongText()
{
    std::string text;
    while (text.size() < 5000) {
        text += static_cast<char>(' ' + text.size() % 95);
        if (text.size() % 700 == 0) {
            text += "\\n\n\"";
        }
    }
    text.resize(5000);
    return text;
}

TEST(IniFileManager, NumbersTextsAndArraysComeBackWholeAfterWriteCloseAndReopen)
{
    TemporaryFolder folder;
    const std::string path = folder / "UserSettings.ini";
    const std::int32_t handle = Open(path);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(SetIniValueInt(handle, "CurrentSkinIndex", 2), kIniDone);
    EXPECT_EQ(SetIniValueInt(handle, "Window/Left", INT_MIN), kIniDone);
    EXPECT_EQ(SetIniValueInt(handle, "Window/Top", INT_MAX), kIniDone);
    EXPECT_EQ(SetIniValueStr(handle, "Long", LongText().c_str()), kIniDone);
    for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i) {
        EXPECT_EQ(SetIniValueStr(handle, ("Texts/" + std::to_string(i)).c_str(), kAwkwardTexts[i].c_str()), kIniDone);
    }
    const auto itemCount = static_cast<std::int32_t>(kAwkwardTexts.size());
    EXPECT_EQ(SetArrayCount(handle, "Files/Recent", itemCount), kIniDone);
    for (std::int32_t i = 0; i < itemCount; ++i) {
        EXPECT_EQ(SetArrayItemAt(handle, "Files/Recent", i, kAwkwardTexts[static_cast<std::size_t>(i)].c_str()),
                  kIniDone);
    }
    EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);

    const std::int32_t reopened = Open(path);
    ASSERT_GT(reopened, 0);
    EXPECT_EQ(GetInt(reopened, "CurrentSkinIndex", -1), 2);
    EXPECT_EQ(GetInt(reopened, "Window/Left", 0), INT_MIN);
    EXPECT_EQ(GetInt(reopened, "Window/Top", 0), INT_MAX);
    std::int32_t result = 0;
    EXPECT_EQ(GetText(reopened, "Long", "", &result), LongText());
    EXPECT_EQ(result, kIniDone);
    for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i) {
        EXPECT_EQ(GetText(reopened, ("Texts/" + std::to_string(i)).c_str(), "default"), kAwkwardTexts[i]) << i;
    }
    ASSERT_EQ(GetCount(reopened, "Files/Recent"), itemCount);
    for (std::int32_t i = 0; i < itemCount; ++i) {
        EXPECT_EQ(GetItem(reopened, "Files/Recent", i), kAwkwardTexts[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(CloseIniFile(reopened, 0), kIniDone);

    // A person can read and edit what was written.
    const std::string text = ContentOf(path);
    EXPECT_EQ(text.rfind("[File]\nVersion=1_0_0\n\n[Halvista]\nCurrentSkinIndex=2\nLong=", 0), 0u) << text;
    EXPECT_NE(text.find("\n[Window]\nLeft=-2147483648\nTop=2147483647\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n[Files/Recent]\nCount=9\n0=two\\nlines\\r\\nand a carriage return\\r\n"),
              std::string::npos)
        << text;
}

TEST(IniFileManager, KeyThatBeginsWithUFEFFAndLoneCarriageReturnsInValuesSurviveWriteAfterWrite)
{
    TemporaryFolder folder;
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    const std::string markedKey = "/" + byteOrderMark + "First";
    const std::string written = folder / "Written.ini";
    std::int32_t handle = Open(written);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(SetIniValueStr(handle, markedKey.c_str(), "1"), kIniDone);
    EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);

    // Hand-written with line feeds: a carriage return before the break, a value that ends the file with one.
    const std::string handWritten = folder / "HandWritten.ini";
    WriteContent(handWritten, "first=1\nkey=x\r\r\nmid=a\rb\nlast=y\r\r");

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        handle = Open(written);
        ASSERT_GT(handle, 0);
        EXPECT_EQ(GetText(handle, markedKey.c_str(), "absent"), "1");
        EXPECT_EQ(DoesNodeExist(handle, "/First"), 0) << "U+FEFF is part of the name, not a byte order mark";
        EXPECT_EQ(SetIniValueInt(handle, "Round", round), kIniDone);
        EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);

        handle = Open(handWritten);
        ASSERT_GT(handle, 0);
        EXPECT_EQ(GetText(handle, "/key"), "x\r");
        EXPECT_EQ(GetText(handle, "/mid"), "a\rb");
        EXPECT_EQ(GetText(handle, "/last"), "y\r");
        EXPECT_EQ(SetIniValueInt(handle, "Round", round), kIniDone);
        EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);
    }
    EXPECT_EQ(ContentOf(written).rfind(byteOrderMark + byteOrderMark + "First=1\n", 0), 0u);
    EXPECT_EQ(ContentOf(handWritten).rfind("first=1\nkey=x\r\r\nmid=a\rb\nlast=y\r\r\n", 0), 0u);
}

TEST(IniFileManager, TextReadsAskForTheSizeTheyNeedAndAbsentValuesGiveTheDefault)
{
    TemporaryFolder folder;
    const std::int32_t handle = Open(folder / "Settings.ini");
    ASSERT_EQ(SetIniValueStr(handle, "Long", LongText().c_str()), kIniDone);

    char buffer[1024];
    std::int32_t needed = 0;
    EXPECT_EQ(GetIniValueStr(handle, "Long", "", buffer, sizeof buffer, &needed), kIniBufferTooSmall);
    EXPECT_EQ(needed, 5001);
    EXPECT_EQ(buffer[0], '\0');
    std::string exact(5001, 'x');
    EXPECT_EQ(GetIniValueStr(handle, "Long", "", exact.data(), 5001, nullptr), kIniDone);
    EXPECT_EQ(exact.c_str(), LongText());
    EXPECT_EQ(GetIniValueStr(handle, "Long", "", nullptr, 0, &needed), kIniBufferTooSmall);

    std::int32_t result = 0;
    EXPECT_EQ(GetText(handle, "Missing", "the default", &result), "the default");
    EXPECT_EQ(result, kIniDefaultUsed);
    EXPECT_EQ(GetIniValueStr(handle, "Missing", "too long for it", buffer, 4, &needed), kIniBufferTooSmall);
    EXPECT_EQ(needed, 16);
    EXPECT_EQ(GetText(handle, "Missing", nullptr, &result), "");

    EXPECT_EQ(GetInt(handle, "Missing", 77, &result), 77);
    EXPECT_EQ(result, kIniDefaultUsed);
    for (const char* notANumber : {"abc", "12abc", "", "99999999999", "+-3", "0x10"}) {
        ASSERT_EQ(SetIniValueStr(handle, "Number", notANumber), kIniDone);
        EXPECT_EQ(GetInt(handle, "Number", 5, &result), 5) << notANumber;
        EXPECT_EQ(result, kIniDefaultUsed) << notANumber;
    }
    ASSERT_EQ(SetIniValueStr(handle, "Number", " +42\t"), kIniDone);
    EXPECT_EQ(GetInt(handle, "Number", 5, &result), 42);
    EXPECT_EQ(result, kIniDone);
    EXPECT_EQ(CloseIniFile(handle, 0), kIniDone);
}

TEST(IniFileManager, ArrayCountsTruncateAndPadAndRemovingAnItemMovesTheLaterOnesDown)
{
    TemporaryFolder folder;
    const std::int32_t handle = Open(folder / "Settings.ini");
    std::int32_t result = 0;
    EXPECT_EQ(GetArrayCount(handle, "Recent", &result), kIniDefaultUsed);
    EXPECT_EQ(SetArrayItemAt(handle, "Recent", 0, "beyond the count"), kIniBadArgument);

    ASSERT_EQ(SetArrayCount(handle, "Recent", 3), kIniDone);
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(SetArrayItemAt(handle, "Recent", i, ("item " + std::to_string(i)).c_str()), kIniDone);
    }
    ASSERT_EQ(SetArrayCount(handle, "Recent", 5), kIniDone);
    EXPECT_EQ(GetItem(handle, "Recent", 2), "item 2");
    EXPECT_EQ(GetItem(handle, "Recent", 4, &result), "");
    EXPECT_EQ(result, kIniDone);

    ASSERT_EQ(RemoveArrayItemAt(handle, "Recent", 1), kIniDone);
    EXPECT_EQ(GetCount(handle, "Recent"), 4);
    EXPECT_EQ(GetItem(handle, "Recent", 0), "item 0");
    EXPECT_EQ(GetItem(handle, "Recent", 1), "item 2");
    EXPECT_EQ(GetItem(handle, "Recent", 3), "");
    EXPECT_EQ(GetItem(handle, "Recent", 4, &result), "");
    EXPECT_EQ(result, kIniBadArgument);

    ASSERT_EQ(SetArrayCount(handle, "Recent", 1), kIniDone);
    ASSERT_EQ(SetArrayCount(handle, "Recent", 2), kIniDone);
    EXPECT_EQ(GetItem(handle, "Recent", 0), "item 0");
    EXPECT_EQ(GetItem(handle, "Recent", 1), "") << "a dropped item must not come back";

    EXPECT_EQ(SetArrayCount(handle, "Recent", -1), kIniBadArgument);
    EXPECT_EQ(SetArrayCount(handle, "Recent", kIniMaxArrayCount + 1), kIniBadArgument);
    EXPECT_EQ(RemoveArrayItemAt(handle, "Recent", 2), kIniBadArgument);
    EXPECT_EQ(RemoveArrayItemAt(handle, "Recent", -1), kIniBadArgument);
    EXPECT_EQ(GetCount(handle, "Recent"), 2);

    // A count in the file that no array may have reads as no array.
    for (const char* count : {"-3", "many", "4097", "2147483648"}) {
        ASSERT_EQ(SetIniValueStr(handle, "Halvista/Recent/Count", count), kIniDone);
        EXPECT_EQ(GetArrayCount(handle, "Recent", &result), kIniDefaultUsed) << count;
        EXPECT_EQ(result, 0) << count;
    }
    EXPECT_EQ(CloseIniFile(handle, 0), kIniDone);
}

TEST(IniFileManager, KeysAreListedOnceInFileOrderAndNodesAreSectionsOrKeys)
{
    TemporaryFolder folder;
    const std::string path = folder / "Settings.ini";
    WriteContent(path, "top=1\n[Halvista]\nb=1\na=2\n[Other]\nx=1\n[Halvista]\nb=3\nc=4\n");
    const std::int32_t handle = Open(path);
    ASSERT_GT(handle, 0);
    std::int32_t count = 0;
    EXPECT_EQ(GetKeyCount(handle, "", &count), kIniDone);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(GetKeyName(handle, "", 0), "b");
    EXPECT_EQ(GetKeyName(handle, "Halvista", 1), "a");
    EXPECT_EQ(GetKeyName(handle, "", 2), "c");
    std::int32_t result = 0;
    EXPECT_EQ(GetKeyName(handle, "", 3, &result), "");
    EXPECT_EQ(result, kIniBadArgument);
    EXPECT_EQ(GetInt(handle, "b", 0), 1) << "the first of a key written twice counts";
    EXPECT_EQ(GetInt(handle, "/top", 0), 1);
    EXPECT_EQ(GetKeyCount(handle, "Missing", &count), kIniDefaultUsed);
    EXPECT_EQ(count, 0);

    EXPECT_EQ(DoesNodeExist(handle, "Other"), 1);
    EXPECT_EQ(DoesNodeExist(handle, "Other/x"), 1);
    EXPECT_EQ(DoesNodeExist(handle, "c"), 1);
    EXPECT_EQ(DoesNodeExist(handle, ""), 1);
    EXPECT_EQ(DoesNodeExist(handle, "Other/y"), 0);
    EXPECT_EQ(DoesNodeExist(handle, "Nowhere"), 0);
    EXPECT_EQ(DoesNodeExist(handle, nullptr), 0);
    EXPECT_EQ(DoesNodeExist(0, "Other"), 0);
    EXPECT_EQ(CloseIniFile(handle, 0), kIniDone);
}

TEST(IniFileManager, BadHandlesNullsAndNamesTheFormatCannotHoldAreRefusedWithoutHarm)
{
    TemporaryFolder folder;
    const std::string path = folder / "Settings.ini";
    std::int32_t handle = -5;
    EXPECT_EQ(OpenIniFile(nullptr, kVersion, kDefaultSection, &handle), kIniBadArgument);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(OpenIniFile("", kVersion, kDefaultSection, &handle), kIniBadArgument);
    EXPECT_EQ(OpenIniFile(path.c_str(), kVersion, kDefaultSection, nullptr), kIniBadArgument);
    EXPECT_EQ(OpenIniFile(path.c_str(), kVersion, " padded", &handle), kIniBadArgument);

    handle = Open(path);
    ASSERT_GT(handle, 0);
    const std::int32_t other = Open(path);
    EXPECT_GT(other, 0);
    EXPECT_NE(other, handle);
    EXPECT_EQ(CloseIniFile(other, 0), kIniDone);

    for (const std::int32_t bad : {0, -1, other, INT_MAX}) {
        std::int32_t value = 0;
        EXPECT_EQ(GetIniValueInt(bad, "a", 9, &value), kIniBadHandle);
        EXPECT_EQ(value, 9);
        EXPECT_EQ(SetIniValueStr(bad, "a", "b"), kIniBadHandle);
        EXPECT_EQ(WriteIniFile(bad), kIniBadHandle);
        EXPECT_EQ(CloseIniFile(bad, 1), kIniBadHandle);
    }

    for (const char* key : {"", "a=b", "line\nbreak", " padded", "padded ", "[bracket", ";comment", "#comment",
                            "Section/", "bad\nsection/key", "/ padded"}) {
        EXPECT_EQ(SetIniValueInt(handle, key, 1), kIniBadArgument) << key;
        EXPECT_EQ(SetIniValueStr(handle, key, "x"), kIniBadArgument) << key;
        EXPECT_EQ(SetArrayCount(handle, key, 1), kIniBadArgument) << key;
    }
    EXPECT_EQ(SetIniValueInt(handle, nullptr, 1), kIniBadArgument);
    EXPECT_EQ(SetIniValueStr(handle, "a", nullptr), kIniBadArgument);
    EXPECT_EQ(GetIniValueInt(handle, "a", 0, nullptr), kIniBadArgument);
    EXPECT_EQ(GetKeyCount(handle, "", nullptr), kIniBadArgument);
    EXPECT_EQ(GetArrayCount(handle, "a", nullptr), kIniBadArgument);
    char buffer[16];
    EXPECT_EQ(GetIniValueStr(handle, "a", "", buffer, -1, nullptr), kIniBadArgument);
    EXPECT_EQ(GetIniValueStr(handle, "a", "", nullptr, 16, nullptr), kIniBadArgument);
    EXPECT_EQ(GetKeyNameAt(handle, "bad\nnode", 0, buffer, 16, nullptr), kIniBadArgument);

    const std::string tooLarge(static_cast<std::size_t>(kIniMaxFileSize) + 1, 'x');
    EXPECT_EQ(SetIniValueStr(handle, "a", tooLarge.c_str()), kIniTooLarge);
    EXPECT_EQ(CloseIniFile(handle, 1), kIniUnchanged);
    EXPECT_EQ(ContentOf(path), "") << "nothing was set, so nothing was written";
}

}  // namespace
}  // namespace Ini::Testing
