#include "Notification/NotificationTestSupport.h"
#include "System/GlobalHotKeyManager.h"
#include "System/KeyNames.h"
#include "System/ShortcutText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

std::string Narrow(const WideString& text)
{
    return text.ToUTF8().GetData();
}

std::uint32_t Parsed(const wchar_t* text)
{
    return ParseShortcutText(text).code;
}

std::string Printed(std::uint32_t code)
{
    KeyCode key;
    key.code = code;
    return Narrow(GetShortcutText(key));
}

TEST(ShortcutText, EveryKeyNameWithCtrlAndShiftPrintsBackAsItsDisplayNameInAnyLetterCase)
{
    for (const auto& [name, virtualKey] : GetKeyNameTables().GetVirtualKeysByName()) {
        const KeyCode key = ParseShortcutText(WideString(L"Ctrl+Shift+") + name);
        EXPECT_EQ(key.code, KeyCode(virtualKey, true, 0, kModifierCtrl | kModifierShift).code) << Narrow(name);
        EXPECT_EQ(Narrow(GetShortcutText(key)), "Ctrl+Shift+" + Narrow(LookupKeyDisplayName(virtualKey)));
        EXPECT_EQ(ParseShortcutText(WideString(L"ctrl+shift+") + name.ToLower()).code, key.code) << Narrow(name);
    }
    EXPECT_EQ(Narrow(GetShortcutText(ParseShortcutText(L"Shift+Ctrl+VKEY_F5"))), "Ctrl+Shift+F5");
    EXPECT_EQ(Narrow(GetShortcutText(ParseShortcutText(L"Ctrl+Shift+VKEY_BACK"))), "Ctrl+Shift+");
}

TEST(ShortcutText, KeyNamesRunToTheEndAndCharactersComeFromBracketsOrTheLastCharacterWithOnlyAlt)
{
    EXPECT_EQ(Parsed(L"VKEY_F4+Alt"), KeyCode::kAlt | KeyCode::kKeyDown) << "no key of that name";
    EXPECT_EQ(Parsed(L"VKEY_F5 "), KeyCode::kKeyDown) << "a trailing blank";
    EXPECT_EQ(Parsed(L"VKEY_SHIFT"), 0x00100000u | KeyCode::kShift | KeyCode::kKeyDown) << "the name says SHIFT";
    EXPECT_EQ(Parsed(L"[65]"), 0x41u);
    EXPECT_EQ(Parsed(L"Alt+Ctrl+[ 15 ]x"), 15u | KeyCode::kAlt);
    EXPECT_EQ(Parsed(L"[65535]"), 0xFFFFu);
    EXPECT_EQ(Parsed(L"Ctrl+Shift+s"), static_cast<std::uint32_t>(L's'));
    EXPECT_EQ(Parsed(L"]x[65]"), 0u) << "the first ']' ends the number, and comes before the '['";
    EXPECT_EQ(Parsed(L"][7"), 0u);
    EXPECT_EQ(Parsed(L"[7"), KeyCode::kKeyDown) << "no ']' at all";
}

TEST(ShortcutText, EmptyAndAllBlankTextsNameNoKey)
{
    for (const wchar_t* text : {L"", L" ", L"   ", L"\t", L" \r\n "}) {
        EXPECT_EQ(Parsed(text), KeyCode::kKeyDown) << Narrow(text);
    }
    EXPECT_EQ(Parsed(L"Alt+ "), static_cast<std::uint32_t>(L' ') | KeyCode::kAlt) << "a blank after a modifier";
}

TEST(ShortcutText, ACharacterBeyondTheBasicPlaneIsItsLastUtf16UnitAndItsHotKeyFiresOnTheTypedUnits)
{
    constexpr std::uint16_t kLowSurrogate = 0xDE00;
    const KeyCode wholeCharacter = ParseShortcutText(L"Alt+\U0001F600");
    EXPECT_EQ(wholeCharacter.code, kLowSurrogate | KeyCode::kAlt);
    EXPECT_EQ(ParseShortcutText(WideString("Alt+\xF0\x9F\x98\x80")).code, wholeCharacter.code) << "the same in UTF-16";
    EXPECT_EQ(Parsed(L"Alt+[128512]"), wholeCharacter.code) << "the same in brackets";
    EXPECT_EQ(Parsed(L"[1114111]"), 0xDFFFu) << "the last character";
    EXPECT_EQ(Parsed(L"Alt+[1114112]"), KeyCode::kKeyDown) << "past it: no key";

    std::vector<Delivery> log;
    const RCPtr<LGlobalHotKeyManager> manager = LGlobalHotKeyManager::Create(LRecordingClient::Create("receiver", log));
    ASSERT_EQ(manager->RegisterHotKey(wholeCharacter, L"NID_SMILE"), 0);
    EXPECT_EQ(manager->ProcessKey(KeyCode(std::uint16_t{0xD83D}, kModifierAlt)), 1) << "the high surrogate";
    EXPECT_EQ(manager->ProcessKey(KeyCode(kLowSurrogate, kModifierAlt)), 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(Narrow(log[0].id), "NID_SMILE");
}

TEST(ShortcutText, ModifiersPrintInTheirOrderAndCharactersByRange)
{
    EXPECT_EQ(Printed(KeyCode::kCmd | KeyCode::kShift | KeyCode::kAlt | KeyCode::kCtrl | 0x00700000u),
              "Ctrl+Alt+Shift+Cmd+F1");
    EXPECT_EQ(Printed(0x13), "Ctrl+S");
    EXPECT_EQ(Printed(0x01 | KeyCode::kAlt), "Alt+Ctrl+A");
    EXPECT_EQ(Printed(0x61), "a");
    EXPECT_EQ(Printed(0x20), "") << "the blank";
    EXPECT_EQ(Printed(0x7F), "");
    EXPECT_EQ(Printed(KeyCode::kNoKey | KeyCode::kCtrl | 0x00700041u), "Ctrl+");
}

}  // namespace
}  // namespace ZV
