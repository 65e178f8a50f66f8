#include "System/ShortcutText.h"

#include "ControlBase/SkinValueSyntax.h"
#include "System/KeyNames.h"

namespace ZV {

namespace {

constexpr std::uint32_t kLastCharacter = 0x10FFFF;

// The last UTF-16 unit of a character, the unit in which typed text arrives: a character beyond the basic plane ends
// in its low surrogate.
std::uint16_t LastUtf16Unit(std::uint32_t character)
{
    if (character >= 0x10000 && character <= kLastCharacter) {
        return static_cast<std::uint16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
    }
    return static_cast<std::uint16_t>(character);
}

}  // namespace

KeyCode ParseShortcutText(const WideString& text)
{
    KeyCode key;
    key.code = KeyCode::kKeyDown;
    const WideString upper = text.ToUpper();
    const bool ctrl = upper.Find(L"CTRL") >= 0;
    const bool alt = upper.Find(L"ALT") >= 0;
    const bool shift = upper.Find(L"SHIFT") >= 0;

    const int keyName = upper.Find(L"VKEY_");
    if (keyName >= 0) {
        const std::uint8_t virtualKey = LookupKeyName(upper.MidToEnd(keyName));
        key.code |= static_cast<std::uint32_t>(virtualKey) << KeyCode::kVirtualKeyShift |
                    (ctrl ? KeyCode::kCtrl : 0) | (shift ? KeyCode::kShift : 0) | (alt ? KeyCode::kAlt : 0);
        return key;
    }

    const std::uint32_t mask = alt ? kModifierAlt : 0;
    const int open = upper.Find(L"[");
    if (open < 0) {
        // A blank entry in a string table is no Space key.
        if (text.Trim().IsEmpty()) {
            return key;
        }
        // A wide literal holds a character beyond the basic plane whole.
        return KeyCode(LastUtf16Unit(static_cast<std::uint32_t>(text.GetData()[text.GetLength() - 1])), mask);
    }
    const int close = upper.Find(L"]");
    if (close < 0) {
        return key;
    }
    // A "]" before the "[" leaves no number: 0.
    const WideString number = close > open ? text.Mid(open + 1, static_cast<std::uint32_t>(close - open - 1))
                                           : WideString();
    const std::int32_t character = SkinValueSyntax::ParsePlainInteger(number.ToUTF8().GetData());
    // No key types a number past the last character.
    if (character > static_cast<std::int32_t>(kLastCharacter)) {
        return key;
    }
    return KeyCode(LastUtf16Unit(static_cast<std::uint32_t>(character)), mask);
}

WideString GetShortcutText(const KeyCode& key)
{
    WideString text;
    const auto prefix = [&](std::uint32_t bit, const wchar_t* name) {
        if ((key.code & bit) != 0) {
            text += WideString(name);
        }
    };
    prefix(KeyCode::kCtrl, L"Ctrl+");
    prefix(KeyCode::kAlt, L"Alt+");
    prefix(KeyCode::kShift, L"Shift+");
    prefix(KeyCode::kCmd, L"Cmd+");
    if ((key.code & KeyCode::kNoKey) != 0) {
        return text;
    }
    if (key.GetVirtualKey() != 0) {
        return text + LookupKeyDisplayName(key.GetVirtualKey());
    }
    const std::uint16_t character = key.GetCharacter();
    if (character >= 1 && character <= 26) {
        text += WideString(L"Ctrl+");
        text.AppendChar(static_cast<wchar_t>(character + 64));
    } else if (character >= 33 && character <= 126) {
        text.AppendChar(static_cast<wchar_t>(character));
    }
    return text;
}

}  // namespace ZV
