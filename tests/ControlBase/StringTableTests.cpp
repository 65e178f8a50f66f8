#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "LocaleEnvironment.h"
#include "Platform/LanguageId.h"
#include "StringTableTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ContentOf;
using Testing::EntriesOf;
using Testing::TemporaryFolder;
using Testing::TextOf;
using Testing::WriteContent;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kDemoFolder = ZV_TEST_DATA_DIR "/DemoSkin";

WideString Source(const std::string& path)
{
    return WideString(path.c_str());
}

// A control made from a descriptor, held before the descriptor is applied, as the create functions make them.
RCPtr<LControl> DescribedControl(const RCPtr<LControlDescriptor>& descriptor)
{
    const RCPtr<LControl> control(new LControl(nullptr, L""));
    (void)control->ApplyDescriptor(descriptor);
    return control;
}

// Every table of the demo documents, and the factory's application name and locale.
std::vector<Entries> DemoStore(const LControlFactory& factory)
{
    const RCPtr<LControl> panel =
        DescribedControl(RCPtr<LControlDescriptor>(new LControlDescriptor(L"Framework.Panel", L"", nullptr)));
    return {EntriesOf(factory.GetApplicationStringTable()),
            EntriesOf(factory.GetControlStringTable(nullptr, L"mainPanel")),
            EntriesOf(factory.GetControlStringTable(panel.Get(), L"toolbar")),
            EntriesOf(factory.GetFrameworkStringTable()),
            {{factory.GetApplicationName().ToUTF8().GetData(), std::to_string(factory.GetLocaleId())}}};
}

TEST(StringTable, KeysAreOrderedByCharacterCodeAndPrefixesMatchExactly)
{
    LStringTable table;
    for (const wchar_t* key : {L"b", L"B", L"ab", L"\u00E9", L"a"}) {
        EXPECT_EQ(table.SetString(key, L"1"), 0);
    }
    EXPECT_EQ(table.SetString(L"a", L"2"), 1) << "replaced";
    EXPECT_EQ(table.SetString(L"", L"3"), ZV_E_INVALIDARG);
    StringPairArray entries;
    table.GetAllEntries(entries);
    EXPECT_EQ(EntriesOf(entries), (Entries{{"B", "1"}, {"a", "2"}, {"ab", "1"}, {"b", "1"}, {"\u00E9", "1"}}));
    EXPECT_EQ(table.GetEntriesWithPrefix(L"a", entries), 0);
    EXPECT_EQ(EntriesOf(entries), (Entries{{"a", "2"}, {"ab", "1"}})) << "emptied first";
    WideString text(L"unchanged");
    EXPECT_FALSE(table.GetString(L"A", text));
    EXPECT_EQ(text, L"unchanged");
}

TEST(StringTableLocales, TheUsersLocaleFallsBackToItsLanguageOrTraditionalChineseThenToEnglish)
{
    const struct {
        const char* lang;
        const wchar_t* applicationSource;
        const char* applicationText;
        const char* frameworkText;
        std::uint32_t finalLocale;
    } cases[] = {
        {"de_DE.UTF-8", L"::APP_STRINGS", "Skin-Vorf\u00FChrung", "Ausschneiden", 0x0007},
        {"pt_BR.UTF-8", L"::APP_STRINGS", "Skin Demo", "Cut", 9},
        {"C", L"::APP_STRINGS", "Skin Demo", "Cut", 9},
        {"zh_HK.UTF-8", L"::FALLBACK_CHAIN_XML", "\u4F60\u597D", "\u526A\u4E0B", 0x7C04},
        {"zh_MO.UTF-8", L"::FALLBACK_CHAIN_XML", "\u4F60\u597D", "\u526A\u4E0B", 0x7C04},
        {"zh_TW.Big5", L"::FALLBACK_CHAIN_XML", "\u4F60\u597D", "\u526A\u4E0B", 0x7C04},
        {"zh_CN.UTF-8", L"::FALLBACK_CHAIN_XML", "Hello", "Cut", 9},
        // The framework's texts have no Swiss German and fall to English, taking the factory's locale along.
        {"de_CH.UTF-8", L"::FALLBACK_CHAIN_XML", "Gr\u00FCezi", "Cut", 9},
        {"de_DE.UTF-8", L"::FALLBACK_CHAIN_XML", "Hello", "Cut", 9},
    };
    Testing::LocaleEnvironment environment;
    for (const auto& each : cases) {
        Testing::LocaleEnvironment::Set("LANG", each.lang);
        const RCPtr<LControlFactory> factory(new LControlFactory(L"Test"));
        ASSERT_EQ(factory->LoadStringTables(each.applicationSource, L"::FRAMEWORK_STRINGS",
                                            Platform::GetUserDefaultLanguageId()),
                  0);
        const RCPtr<LStringTable> application = factory->GetApplicationStringTable();
        EXPECT_EQ(TextOf(application, each.applicationSource[2] == L'A' ? L"TITLE" : L"GREETING"),
                  each.applicationText)
            << each.lang;
        EXPECT_EQ(TextOf(factory->GetFrameworkStringTable(), L"EDIT_CUT"), each.frameworkText) << each.lang;
        EXPECT_EQ(factory->GetLocaleId(), each.finalLocale) << each.lang;
    }
}

TEST(StringTableLocales, ResourcesTheirFolderAndUTF16CopiesGiveOneStoreAndControlsFindTablesThroughTheirParent)
{
    Testing::LocaleEnvironment environment;
    Testing::LocaleEnvironment::Set("LC_MESSAGES", "de_AT.UTF-8");
    const RCPtr<LControlFactory> resources(new LControlFactory(L"Test"));
    ASSERT_EQ(resources->LoadResources(L"::", 0), 0);
    const RCPtr<LControlFactory> folder(new LControlFactory(L"Test"));
    ASSERT_EQ(folder->LoadResources(Source(kDemoFolder), 0x0407), 0);
    EXPECT_EQ(DemoStore(*folder), DemoStore(*resources));
    EXPECT_EQ(DemoStore(*folder).back(), (Entries{{"SkinDemo", "7"}}));

    TemporaryFolder temporary;
    for (const bool bigEndian : {false, true}) {
        for (const char* name : {"StringTables.xml", "FrameworkStrings.xml"}) {
            WriteContent(temporary / name, Testing::Utf16Document(ContentOf(kDemoFolder + "/" + name), bigEndian));
        }
        const RCPtr<LControlFactory> utf16(new LControlFactory(L"Test"));
        ASSERT_EQ(utf16->LoadStringTables(Source(temporary / "StringTables.xml"),
                                          Source(temporary / "FrameworkStrings.xml"), 0x0407),
                  0);
        EXPECT_EQ(DemoStore(*utf16), DemoStore(*folder)) << (bigEndian ? "big-endian" : "little-endian");
    }

    const RCPtr<LControlDescriptor> mainPanel = folder->FindControlDescriptor(L"mainPanel");
    ASSERT_TRUE(mainPanel) << "the skin followed the string tables";
    const RCPtr<LControl> panel = DescribedControl(mainPanel);
    EXPECT_EQ(TextOf(folder->GetControlStringTable(panel.Get(), L"toolbar"), L"TOOLTIP"), "Werkzeuge");
    EXPECT_EQ(folder->GetControlStringTable(panel.Get(), L"statusLabel"), nullptr);
    const RCPtr<LControl> undescribed = DescribedControl(nullptr);
    EXPECT_EQ(folder->GetControlStringTable(undescribed.Get(), L"toolbar"), nullptr);
    EXPECT_TRUE(Succeeded(folder->GetFrameworkStringTable()->SetString(L"EDIT_CUT", L"changed")));
    EXPECT_EQ(TextOf(folder->GetFrameworkStringTable(), L"EDIT_CUT"), "Ausschneiden") << "tables are copies";
}

TEST(StringTableLoading, LoadingAgainOrInAnotherLocaleKeepsEveryTextAndAMissingResourceKeepsTheUsersLocale)
{
    const RCPtr<LControlFactory> factory = Testing::FactoryWithDemoStrings(0x0407);
    const std::vector<Entries> german = DemoStore(*factory);
    ASSERT_EQ(factory->LoadStringTables(L"::APP_STRINGS", L"::FRAMEWORK_STRINGS", 0x0407), 0);
    EXPECT_EQ(DemoStore(*factory), german) << "no text doubled";
    ASSERT_EQ(factory->LoadStringTables(L"::APP_STRINGS", L"::FRAMEWORK_STRINGS", 0x0809), 0);
    std::vector<Entries> afterEnglish = DemoStore(*factory);
    EXPECT_EQ(afterEnglish.back(), (Entries{{"SkinDemo", "9"}}));
    afterEnglish.back() = german.back();
    EXPECT_EQ(afterEnglish, german) << "every key had its German text already";

    const RCPtr<LControlFactory> noApplication(new LControlFactory(L"Test"));
    ASSERT_EQ(noApplication->LoadStringTables(L"::NO_SUCH_STRINGS", L"::FRAMEWORK_STRINGS", 0x0007), 0);
    EXPECT_EQ(TextOf(noApplication->GetFrameworkStringTable(), L"EDIT_CUT"), "Ausschneiden");
    EXPECT_TRUE(noApplication->GetLastParseError().text.IsEmpty());

    TemporaryFolder temporary;
    EXPECT_THROW(static_cast<void>(factory->LoadResources(Source(temporary.Path().string()), 0x0407)),
                 std::runtime_error)
        << "a folder without string tables";
}

TEST(StringTableLoading, TextsAreTakenExactlyJoinedAcrossRunsLocalesAndStringsWithoutIdAndOutOfPlaceElementsIgnored)
{
    TemporaryFolder temporary;
    WriteContent(temporary / "strings.xml", R"(<Root>
<String ID="early"><Locale LCID="7">before any table</Locale></String>
<StringTable ID="|Test">
  <Locale LCID="7">before any String</Locale>
  <String><Locale LCID="7">before any String with an ID</Locale></String>
  <String ID="spaced"><Locale LCID="7">  two
lines &amp; &#x263A; </Locale></String>
  <String ID="joined"><Locale LCID="0x0007">first</Locale><Locale LCID="0x0409">other</Locale><Locale
          LCID="0x00070">, second</Locale></String>
  <String><Locale LCID="7">, third: a String without ID adds to the key before it</Locale></String>
  <String ID="noLcid"><Locale>no LCID</Locale><Locale LCID="7">kept</Locale></String>
  <String ID="nested"><Locale LCID="7">in<b>side</b> out</Locale></String>
</StringTable>
<StringTable ID="|Test">
  <String ID="joined"><Locale LCID="7">a second table of the ID adds only new keys</Locale></String>
  <String><Locale LCID="7">, nor to the texts of old keys</Locale></String>
  <String ID="new"><Locale LCID="7">n</Locale></String><String><Locale LCID="7">ew</Locale></String>
  <String ID="new"><Locale LCID="7"> again</Locale></String>
</StringTable>
<StringTable>
  <String ID="other"><Locale LCID="7">a table without ID is a table of its own</Locale></String>
</StringTable>
<StringTable ID="Test|other"><String ID="carried"><Locale LCID="7">one</Locale></String></StringTable>
<StringTable ID="|Test"><String><Locale LCID="7">the key of the table before</Locale></String></StringTable>
</Root>)");
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Test"));
    ASSERT_EQ(factory->LoadStringTables(Source(temporary / "strings.xml"), L"::NONE", 0x0007), 0);
    EXPECT_EQ(EntriesOf(factory->GetApplicationStringTable()),
              (Entries{{"carried", "the key of the table before"},
                       {"joined", "first, second, third: a String without ID adds to the key before it"},
                       {"nested", "inside"},
                       {"new", "new"},
                       {"noLcid", "kept"},
                       {"spaced", "  two\nlines & \u263A "}}));
}

}  // namespace
}  // namespace ZV
