#include "ControlBase/ControlFactory.h"
#include "ControlBase/MenuDescriptorBuilder.h"
#include "DebuggerOutputCapture.h"
#include "DocumentDamage.h"
#include "Notification/NotificationTestSupport.h"
#include "StringTableTestSupport.h"
#include "System/GlobalHotKeyManager.h"
#include "System/ShortcutText.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ContentOf;
using Testing::DebuggerOutputCapture;
using Testing::EntriesOf;
using Testing::TemporaryFolder;
using Testing::TextOf;
using Testing::WriteContent;

const std::string kDemoStrings = ZV_TEST_DATA_DIR "/DemoSkin/StringTables.xml";

// Whether every entry of before is in after with the same text.
template <class Entries>
bool KeepsTexts(const Entries& before, const Entries& after)
{
    return std::ranges::all_of(before, [&](const auto& entry) { return std::ranges::count(after, entry) == 1; });
}

bool LoggedNotWellFormed()
{
    const std::vector<std::string> lines = DebuggerOutputCapture::Texts();
    return std::ranges::any_of(
        lines, [](const std::string& line) { return line.find("not well-formed") != std::string::npos; });
}

TEST(StringTableBadInput, TruncatedTableAnswersZeroLogsExpatsErrorAndKeepsTheTextsBeforeTheCut)
{
    const std::string demo = ContentOf(kDemoStrings);
    const std::size_t cut = demo.find("CONTEXT_MENU0.02");
    TemporaryFolder temporary;
    WriteContent(temporary / "cut.xml", demo.substr(0, cut));
    DebuggerOutputCapture capture;
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Test"));
    EXPECT_EQ(factory->LoadStringTables(WideString((temporary / "cut.xml").c_str()), L"::FRAMEWORK_STRINGS", 0x0407),
              0);
    const XMLParseError& error = factory->GetLastParseError();
    EXPECT_EQ(error.line, static_cast<std::uint32_t>(std::count(demo.begin(), demo.begin() + cut, '\n') + 1));
    EXPECT_EQ(std::ranges::count(DebuggerOutputCapture::Texts(),
                                 "XML document not well-formed: " + std::string(error.text.ToUTF8().GetData()) +
                                     " at line " + std::to_string(error.line) + "\n"),
              2)
        << "once for the locale asked for, once for its language";
    const RCPtr<LStringTable> panel = factory->GetControlStringTable(nullptr, L"mainPanel");
    EXPECT_EQ(TextOf(panel, L"CONTEXT_MENU0.00.NID_FILE_OPEN_REQ"), "\u00D6ffnen|Eine Skin-Datei \u00F6ffnen");
    EXPECT_EQ(TextOf(panel, L"CONTEXT_MENU0.02.NID_APP_EXIT_REQ"), "<absent>");
    EXPECT_EQ(TextOf(factory->GetFrameworkStringTable(), L"EDIT_CUT"), "Ausschneiden") << "the next source loads";
}

TEST(StringTableBadInput, HugeTextsAndIdsLoadWholeAndBadEncodingsStopWithoutTouchingEarlierTexts)
{
    const RCPtr<LControlFactory> factory = Testing::FactoryWithDemoStrings(0x0407);
    const auto before = EntriesOf(factory->GetApplicationStringTable());
    const auto table = [](const std::string& strings) {
        return R"(<Root><StringTable ID="|SkinDemo">)" + strings + "</StringTable></Root>";
    };
    std::string megabyte;
    while (megabyte.size() < 1u << 20) {
        megabyte += "line &amp; \xE2\x98\xBA\n";
    }
    const std::string longId(10000, 'K');
    std::string loneSurrogate =
        Testing::Utf16Document(table(R"(<String ID="TITLE"><Locale LCID="7">x </Locale></String>)"), false);
    loneSurrogate.replace(loneSurrogate.find(std::string(" \0<", 3)), 2, "\x00\xD8", 2);
    const struct {
        const char* what;
        std::string document;
        bool wellFormed;
    } documents[] = {
        {"1 MB text", table(R"(<String ID="HUGE"><Locale LCID="7">)" + megabyte + "</Locale></String>"), true},
        {"long id", table(R"(<String ID=")" + longId + R"("><Locale LCID="7">long</Locale></String>)"), true},
        {"invalid UTF-8", table("<String ID=\"NEW\"><Locale LCID=\"7\">bad \xC3( byte</Locale></String>"), false},
        {"lone surrogate", loneSurrogate, false},
    };
    TemporaryFolder temporary;
    DebuggerOutputCapture capture;
    for (const auto& each : documents) {
        WriteContent(temporary / "bad.xml", each.document);
        DebuggerOutputCapture::Clear();
        EXPECT_EQ(factory->LoadStringTables(WideString((temporary / "bad.xml").c_str()), L"::NONE", 0x0407), 0);
        EXPECT_EQ(LoggedNotWellFormed(), !each.wellFormed) << each.what;
        EXPECT_TRUE(KeepsTexts(before, EntriesOf(factory->GetApplicationStringTable()))) << each.what;
    }
    const std::string huge = TextOf(factory->GetApplicationStringTable(), L"HUGE");
    EXPECT_EQ(huge.size(), megabyte.size() / 15 * 11) << "every run of the text, entities decoded";
    EXPECT_EQ(TextOf(factory->GetApplicationStringTable(), WideString(longId.c_str()).GetData()), "long");
}

// Replaces one to four attribute values (after '"') or texts (after '>') with ones that the readers of string tables
// find hard; the document stays well-formed unless a replacement makes a bad character reference.
std::string ReplaceValues(std::string text, std::mt19937& random)
{
    static const char* const kAwkward[] = {
        "", "0x", "0x7C04", "7", "-1", "99999999999", "GHK.", "LHK..", "CONTEXT_MENU0.", "00.-", "A..", ".", "[",
        "[]", "[-5]", "]5[", "Ctrl+", "VKEY_", "vkey_f24 ", "||x|", "Alt+Ctrl+Shift+VKEY_F24", "\xF0\x9F\x98\x80",
        "&#xD800;", "&amp;&lt;"};
    for (int round = static_cast<int>(random() % 4); round >= 0; --round) {
        const std::size_t start = text.find(random() % 2 == 0 ? '"' : '>', Testing::RandomPlace(text, random));
        if (start != std::string::npos) {
            const std::size_t end = std::min(text.find_first_of("\"<", start + 1), text.size());
            text.replace(start + 1, end - start - 1, kAwkward[random() % std::size(kAwkward)]);
        }
    }
    return text;
}

std::string Damage(std::string text, std::mt19937& random)
{
    for (int round = static_cast<int>(random() % 3); round >= 0; --round) {
        switch (random() % 4) {
        case 0:
            Testing::CutShort(text, random);
            break;
        case 1:
            Testing::ChangeBytes(text, random);
            break;
        case 2:
            Testing::SwapTags(text, Testing::RandomPlace(text, random), Testing::RandomPlace(text, random));
            break;
        default:
            Testing::RepeatPiece(text, random);
            break;
        }
    }
    return text;
}

// What the program does with loaded tables: hot keys, menus, shortcut texts.
void UseTables(const LControlFactory& factory)
{
    std::vector<Delivery> log;
    const RCPtr<LGlobalHotKeyManager> hotKeys = LGlobalHotKeyManager::Create(LRecordingClient::Create("keys", log));
    for (const RCPtr<LStringTable>& table :
         {factory.GetApplicationStringTable(), factory.GetControlStringTable(nullptr, L"mainPanel")}) {
        StringPairArray entries;
        if (table) {
            table->GetAllEntries(entries);
            ASSERT_EQ(hotKeys->LoadHotKeys(table, L"GHK"), 0);
            ASSERT_TRUE(CreateMenuDescriptor(Testing::EntriesAfterPrefix(*table, L"CONTEXT_MENU0.")));
        }
        ASSERT_TRUE(CreateMenuDescriptor(entries));
        for (std::uint32_t i = 0; i < entries.GetCount(); ++i) {
            static_cast<void>(hotKeys->ProcessKey(ParseShortcutText(entries.GetData()[i].second)));
            static_cast<void>(GetShortcutText(ParseShortcutText(entries.GetData()[i].second)));
        }
    }
}

TEST(StringTableFuzz, MutatedTablesInUTF8AndUTF16LoadOrFailAndNeverChangeTheTextsLoadedBefore)
{
    const std::string demo = ContentOf(kDemoStrings);
    // One factory takes every document after the demo tables, whose texts must stay as they were.
    const RCPtr<LControlFactory> shared = Testing::FactoryWithDemoStrings(0x0407);
    const auto application = EntriesOf(shared->GetApplicationStringTable());
    const auto panel = EntriesOf(shared->GetControlStringTable(nullptr, L"mainPanel"));
    std::mt19937 random(20240616);
    int failures = 0;
    constexpr int kRounds = 2500;
    for (int round = 0; round < kRounds; ++round) {
        const bool damaged = round % 2 == 1;
        std::string document = damaged ? Damage(demo, random) : ReplaceValues(demo, random);
        if (round % 3 == 0) {
            document = Testing::Utf16Document(document, round % 4 == 0);
            if (damaged) {
                document[random() % document.size()] = static_cast<char>(random());
            }
        }
        // String-table mode lasts from a string-table load to the next skin load.
        const RCPtr<LControlFactory> fresh(new LControlFactory(L"Test"));
        ASSERT_EQ(fresh->LoadStringTables(L"::NONE", L"::NONE", 0x0007), 0);
        const ZVRESULT result = fresh->ParseXML(document.data(), document.size());
        ASSERT_TRUE(result == 0 || result == ZV_E_FAIL) << "round " << round << ": " << result;
        UseTables(*fresh);
        const ZVRESULT again = shared->ParseXML(document.data(), document.size());
        ASSERT_TRUE(again == 0 || again == ZV_E_FAIL) << "round " << round << ": " << again;
        failures += result == ZV_E_FAIL ? 1 : 0;
    }
    EXPECT_GT(failures, kRounds / 4);
    EXPECT_LT(failures, kRounds * 3 / 4) << "a good part of the documents stays well-formed";
    EXPECT_TRUE(KeepsTexts(application, EntriesOf(shared->GetApplicationStringTable())));
    EXPECT_TRUE(KeepsTexts(panel, EntriesOf(shared->GetControlStringTable(nullptr, L"mainPanel"))));
}

}  // namespace
}  // namespace ZV
