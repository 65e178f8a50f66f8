#pragma once

#include "System/KeyCode.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// The key of a shortcut text as string tables write hot keys, letter case ignored:
// - with a key name, "Ctrl+Shift+VKEY_F5": the key down with the modifiers that the text names anywhere ("CTRL",
//   "ALT", "SHIFT"); an unknown name gives virtual key 0, which no event matches;
// - without one, a character: the number between the first "[" and the first "]" ("[65]" is 'A', and a "]" before
//   the "[" leaves 0), else the text's last character as written; a character beyond the basic plane gives its low
//   surrogate, the UTF-16 unit that typing it delivers last. Of the modifiers only Alt counts, since hot-key
//   characters match with any Ctrl and Shift.
// An empty or all-blank text, a "[" without any "]", and a number past U+10FFFF give the key-down code of no key.
KeyCode ParseShortcutText(const WideString& text);

// The text that menus show for a key: "Ctrl+", "Alt+", "Shift+", "Cmd+" as set, then the key's display name, or a
// character: 1 to 26 as "Ctrl+" and the letter, 33 to 126 as itself, any other as nothing.
WideString GetShortcutText(const KeyCode& key);

}  // namespace ZV
