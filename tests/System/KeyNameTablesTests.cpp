#include "System/KeyNames.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

std::string DisplayName(std::uint8_t virtualKey)
{
    return LookupKeyDisplayName(virtualKey).ToUTF8().GetData();
}

TEST(KeyNameTables, EveryKeyNameHasItsKeysDisplayNameAndACodeOfSeveralNamesShowsTheFirst)
{
    EXPECT_EQ(GetKeyNameTables().GetVirtualKeysByName().size(), 149u);
    for (const auto& [name, virtualKey] : GetKeyNameTables().GetVirtualKeysByName()) {
        const std::string text = name.ToUTF8().GetData();
        EXPECT_EQ(text.rfind("VKEY_", 0), 0u) << text;
        EXPECT_EQ(DisplayName(virtualKey).empty(), virtualKey == 0x08 || virtualKey == 0x09) << text;
    }
    const std::pair<const wchar_t*, const char*> keys[] = {
        {L"VKEY_PAGEDN", "Page Down"}, {L"VKEY_9", "9"},          {L"VKEY_Z", "Z"},
        {L"VKEY_NUMPAD0", "Numpad 0"}, {L"VKEY_F24", "F24"},      {L"VKEY_HANGUL", "Kana"},
        {L"VKEY_KANJI", "Hanja"},      {L"VKEY_OEM_FJ_JISHO", "NEC Equal"},
    };
    for (const auto& [name, displayName] : keys) {
        EXPECT_EQ(DisplayName(LookupKeyName(name)), displayName);
    }
    EXPECT_EQ(LookupKeyName(L"VKEY_F24"), 0x87);
    EXPECT_EQ(LookupKeyName(L"VKEY_LAUNCH_APP2"), 0xB7);
    EXPECT_EQ(LookupKeyName(L"vkey_f1"), 0) << "names are compared exactly";
    EXPECT_EQ(DisplayName(0x5E), "");
}

}  // namespace
}  // namespace ZV
