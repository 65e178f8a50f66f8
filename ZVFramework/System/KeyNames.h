#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>

namespace ZV {

// The names of keys: the "VKEY_" names that shortcut texts in string tables use, and the names that shortcut texts
// shown to the user print.
//
// The process's one pair of tables is a start-up global (Application/Globals.cpp), built by the foundation library
// below the one that reads shortcuts; so everything here is written in this header and needs nothing above strings.
// Built before main, the tables are only read afterwards, from any thread.
class KeyNameTables {
public:
    KeyNameTables()
    {
        // Codes with several names show the first: Kana, Hanja, NEC Equal.
        for (const Name& name : kNames) {
            mVirtualKeys.try_emplace(WideString(name.text), name.virtualKey);
        }
        for (const Name& name : kDisplayNames) {
            mDisplayNames.try_emplace(name.virtualKey, WideString(name.text));
        }
        for (int digit = 0; digit < 10; ++digit) {
            AddKey(WideString(L"VKEY_") + Number(digit), 0x30 + digit, Number(digit));
            AddKey(WideString(L"VKEY_NUMPAD") + Number(digit), 0x60 + digit, WideString(L"Numpad ") + Number(digit));
        }
        for (int letter = 0; letter < 26; ++letter) {
            const WideString text(static_cast<wchar_t>(L'A' + letter));
            AddKey(WideString(L"VKEY_") + text, 0x41 + letter, text);
        }
        for (int number = 1; number <= 24; ++number) {
            AddKey(WideString(L"VKEY_F") + Number(number), 0x6F + number, WideString(L"F") + Number(number));
        }
    }
    KeyNameTables(const KeyNameTables&) = delete;
    KeyNameTables& operator=(const KeyNameTables&) = delete;

    // The virtual key of a "VKEY_" name (exact, case-sensitive); 0 for a name the table does not hold.
    std::uint8_t FindVirtualKey(const WideString& name) const
    {
        const auto found = mVirtualKeys.find(name);
        return found == mVirtualKeys.end() ? 0 : found->second;
    }

    // The name a shortcut text shows for the virtual key; empty for a key without one (Backspace and Tab have none).
    WideString FindDisplayName(std::uint8_t virtualKey) const
    {
        const auto found = mDisplayNames.find(virtualKey);
        return found == mDisplayNames.end() ? WideString() : found->second;
    }

    const std::map<WideString, std::uint8_t>& GetVirtualKeysByName() const { return mVirtualKeys; }

private:
    struct Name {
        const wchar_t* text;
        std::uint8_t virtualKey;
    };

    static WideString Number(int number)
    {
        WideString text;
        if (number >= 10) {
            text.AppendChar(static_cast<wchar_t>('0' + number / 10));
        }
        text.AppendChar(static_cast<wchar_t>('0' + number % 10));
        return text;
    }

    void AddKey(const WideString& name, int virtualKey, const WideString& displayName)
    {
        mVirtualKeys.try_emplace(name, static_cast<std::uint8_t>(virtualKey));
        mDisplayNames.try_emplace(static_cast<std::uint8_t>(virtualKey), displayName);
    }

    // The names besides the ranges of digits, letters, numeric-pad digits and function keys.
    static constexpr Name kNames[] = {
        {L"VKEY_BACK", 0x08},
        {L"VKEY_TAB", 0x09},
        {L"VKEY_CLEAR", 0x0C},
        {L"VKEY_RETURN", 0x0D},
        {L"VKEY_SHIFT", 0x10},
        {L"VKEY_CONTROL", 0x11},
        {L"VKEY_MENU", 0x12},
        {L"VKEY_PAUSE", 0x13},
        {L"VKEY_CAPITAL", 0x14},
        {L"VKEY_KANA", 0x15},
        {L"VKEY_HANGEUL", 0x15},
        {L"VKEY_HANGUL", 0x15},
        {L"VKEY_JUNJA", 0x17},
        {L"VKEY_FINAL", 0x18},
        {L"VKEY_HANJA", 0x19},
        {L"VKEY_KANJI", 0x19},
        {L"VKEY_ESCAPE", 0x1B},
        {L"VKEY_CONVERT", 0x1C},
        {L"VKEY_NONCONVERT", 0x1D},
        {L"VKEY_ACCEPT", 0x1E},
        {L"VKEY_MODECHANGE", 0x1F},
        {L"VKEY_SPACE", 0x20},
        {L"VKEY_PAGEUP", 0x21},
        {L"VKEY_PAGEDN", 0x22},
        {L"VKEY_END", 0x23},
        {L"VKEY_HOME", 0x24},
        {L"VKEY_LEFT", 0x25},
        {L"VKEY_UP", 0x26},
        {L"VKEY_RIGHT", 0x27},
        {L"VKEY_DOWN", 0x28},
        {L"VKEY_SELECT", 0x29},
        {L"VKEY_PRINT", 0x2A},
        {L"VKEY_EXECUTE", 0x2B},
        {L"VKEY_SNAPSHOT", 0x2C},
        {L"VKEY_INSERT", 0x2D},
        {L"VKEY_DELETE", 0x2E},
        {L"VKEY_HELP", 0x2F},
        {L"VKEY_LWIN", 0x5B},
        {L"VKEY_RWIN", 0x5C},
        {L"VKEY_APPS", 0x5D},
        {L"VKEY_SLEEP", 0x5F},
        {L"VKEY_MULTIPLY", 0x6A},
        {L"VKEY_ADD", 0x6B},
        {L"VKEY_SEPARATOR", 0x6C},
        {L"VKEY_SUBTRACT", 0x6D},
        {L"VKEY_DECIMAL", 0x6E},
        {L"VKEY_DIVIDE", 0x6F},
        {L"VKEY_NUMLOCK", 0x90},
        {L"VKEY_SCROLL", 0x91},
        {L"VKEY_OEM_NEC_EQUAL", 0x92},
        {L"VKEY_OEM_FJ_JISHO", 0x92},
        {L"VKEY_OEM_FJ_MASSHOU", 0x93},
        {L"VKEY_OEM_FJ_TOUROKU", 0x94},
        {L"VKEY_OEM_FJ_LOYA", 0x95},
        {L"VKEY_OEM_FJ_ROYA", 0x96},
        {L"VKEY_LSHIFT", 0xA0},
        {L"VKEY_RSHIFT", 0xA1},
        {L"VKEY_LCONTROL", 0xA2},
        {L"VKEY_RCONTROL", 0xA3},
        {L"VKEY_LMENU", 0xA4},
        {L"VKEY_RMENU", 0xA5},
        {L"VKEY_BROWSER_BACK", 0xA6},
        {L"VKEY_BROWSER_FORWARD", 0xA7},
        {L"VKEY_BROWSER_REFRESH", 0xA8},
        {L"VKEY_BROWSER_STOP", 0xA9},
        {L"VKEY_BROWSER_SEARCH", 0xAA},
        {L"VKEY_BROWSER_FAVORITES", 0xAB},
        {L"VKEY_BROWSER_HOME", 0xAC},
        {L"VKEY_VOLUME_MUTE", 0xAD},
        {L"VKEY_VOLUME_DOWN", 0xAE},
        {L"VKEY_VOLUME_UP", 0xAF},
        {L"VKEY_MEDIA_NEXT_TRACK", 0xB0},
        {L"VKEY_MEDIA_PREV_TRACK", 0xB1},
        {L"VKEY_MEDIA_STOP", 0xB2},
        {L"VKEY_MEDIA_PLAY_PAUSE", 0xB3},
        {L"VKEY_LAUNCH_MAIL", 0xB4},
        {L"VKEY_LAUNCH_MEDIA_SELECT", 0xB5},
        {L"VKEY_LAUNCH_APP1", 0xB6},
        {L"VKEY_LAUNCH_APP2", 0xB7},
    };

    // In the order they are inserted, before the ranges.
    static constexpr Name kDisplayNames[] = {
        {L"Clear", 0x0C},
        {L"Return", 0x0D},
        {L"Shift", 0x10},
        {L"Control", 0x11},
        {L"Menu", 0x12},
        {L"Pause", 0x13},
        {L"Capital", 0x14},
        {L"Kana", 0x15},
        {L"Hangeul", 0x15},
        {L"Hangul", 0x15},
        {L"Junja", 0x17},
        {L"Final", 0x18},
        {L"Hanja", 0x19},
        {L"Kanji", 0x19},
        {L"Escape", 0x1B},
        {L"Convert", 0x1C},
        {L"Non-convert", 0x1D},
        {L"Accept", 0x1E},
        {L"Mode Change", 0x1F},
        {L"Space", 0x20},
        {L"Page Up", 0x21},
        {L"Page Down", 0x22},
        {L"End", 0x23},
        {L"Home", 0x24},
        {L"Left Arrow", 0x25},
        {L"Up Arrow", 0x26},
        {L"Right Arrow", 0x27},
        {L"Down Arrow", 0x28},
        {L"Select", 0x29},
        {L"Print", 0x2A},
        {L"Execute", 0x2B},
        {L"Snapshot", 0x2C},
        {L"Insert", 0x2D},
        {L"Del", 0x2E},
        {L"Help", 0x2F},
        {L"Left Win", 0x5B},
        {L"Right Win", 0x5C},
        {L"Apps", 0x5D},
        {L"Sleep", 0x5F},
        {L"*", 0x6A},
        {L"+", 0x6B},
        {L"Separator", 0x6C},
        {L"-", 0x6D},
        {L".", 0x6E},
        {L"/", 0x6F},
        {L"Numlock", 0x90},
        {L"Scroll", 0x91},
        {L"NEC Equal", 0x92},
        {L"Jisho", 0x92},
        {L"Masshou", 0x93},
        {L"Touroku", 0x94},
        {L"Loya", 0x95},
        {L"Roya", 0x96},
        {L"Left Shift", 0xA0},
        {L"Right Shift", 0xA1},
        {L"Left Control", 0xA2},
        {L"Right Control", 0xA3},
        {L"Left Menu", 0xA4},
        {L"Right Menu", 0xA5},
        {L"Browser Back", 0xA6},
        {L"Browser Forward", 0xA7},
        {L"Browser Refresh", 0xA8},
        {L"Browser Stop", 0xA9},
        {L"Browser Search", 0xAA},
        {L"Browser Favorites", 0xAB},
        {L"Browser Home", 0xAC},
        {L"Volume Mute", 0xAD},
        {L"Volume Down", 0xAE},
        {L"Volume Up", 0xAF},
        {L"Media Next Track", 0xB0},
        {L"Media Prev Track", 0xB1},
        {L"Media Stop", 0xB2},
        {L"Media Play Pause", 0xB3},
        {L"Launch Mail", 0xB4},
        {L"Launch Media Select", 0xB5},
        {L"Launch App 1", 0xB6},
        {L"Launch App 2", 0xB7},
    };

    std::map<WideString, std::uint8_t> mVirtualKeys;
    std::map<std::uint8_t, WideString> mDisplayNames;
};

// Made on first use and destroyed at exit.
const KeyNameTables& GetKeyNameTables();

// The virtual key of a key name; 0 when the name is not in the table.
inline std::uint8_t LookupKeyName(const WideString& name)
{
    return GetKeyNameTables().FindVirtualKey(name);
}

// The display name of a virtual key; empty when the key has none.
inline WideString LookupKeyDisplayName(std::uint8_t virtualKey)
{
    return GetKeyNameTables().FindDisplayName(virtualKey);
}

}  // namespace ZV
