#include "Platform/X11KeyTranslation.h"

#include "Platform/WindowBackEnd.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>

namespace ZV::Platform {

namespace {

struct KeyPair {
    unsigned long keysym;
    std::uint8_t virtualKey;
};

// Every key besides letters, digits, numeric-pad digits and function keys.
constexpr KeyPair kKeys[] = {
    {XK_space, 0x20},
    {XK_apostrophe, 0xDE},
    {XK_comma, 0xBC},
    {XK_minus, 0xBD},
    {XK_period, 0xBE},
    {XK_slash, 0xBF},
    {XK_semicolon, 0xBA},
    {XK_less, 0xE2},
    {XK_equal, 0xBB},
    {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_grave, 0xC0},
    {XK_ISO_Left_Tab, 0x09},
    {XK_BackSpace, 0x08},
    {XK_Tab, 0x09},
    {XK_Clear, 0x0C},
    {XK_Return, 0x0D},
    {XK_Pause, 0x13},
    {XK_Scroll_Lock, 0x91},
    {XK_Escape, 0x1B},
    {XK_Home, 0x24},
    {XK_Left, 0x25},
    {XK_Up, 0x26},
    {XK_Right, 0x27},
    {XK_Down, 0x28},
    {XK_Prior, 0x21},
    {XK_Next, 0x22},
    {XK_End, 0x23},
    {XK_Select, 0x29},
    {XK_Print, 0x2C},
    {XK_Execute, 0x2B},
    {XK_Insert, 0x2D},
    {XK_Menu, 0x5D},
    {XK_Help, 0x2F},
    {XK_Num_Lock, 0x90},
    {XK_KP_Enter, 0x0D},
    {XK_KP_Home, 0x24},
    {XK_KP_Left, 0x25},
    {XK_KP_Up, 0x26},
    {XK_KP_Right, 0x27},
    {XK_KP_Down, 0x28},
    {XK_KP_Prior, 0x21},
    {XK_KP_Next, 0x22},
    {XK_KP_End, 0x23},
    {XK_KP_Begin, 0x0C},
    {XK_KP_Insert, 0x2D},
    {XK_KP_Delete, 0x2E},
    {XK_KP_Multiply, 0x6A},
    {XK_KP_Add, 0x6B},
    {XK_KP_Separator, 0x6C},
    {XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, 0x6E},
    {XK_KP_Divide, 0x6F},
    {XK_Shift_L, VirtualKey::kShift},
    {XK_Shift_R, VirtualKey::kShift},
    {XK_Control_L, VirtualKey::kControl},
    {XK_Control_R, VirtualKey::kControl},
    {XK_Caps_Lock, 0x14},
    {XK_Meta_L, VirtualKey::kMenu},
    {XK_Meta_R, VirtualKey::kMenu},
    {XK_Alt_L, VirtualKey::kMenu},
    {XK_Alt_R, VirtualKey::kMenu},
    {XK_Super_L, VirtualKey::kLeftWindows},
    {XK_Super_R, VirtualKey::kRightWindows},
    {XK_Delete, 0x2E},
    {XF86XK_Sleep, 0x5F},
    {XF86XK_AudioLowerVolume, 0xAE},
    {XF86XK_AudioMute, 0xAD},
    {XF86XK_AudioRaiseVolume, 0xAF},
    {XF86XK_AudioPlay, 0xB3},
    {XF86XK_AudioStop, 0xB2},
    {XF86XK_AudioPrev, 0xB1},
    {XF86XK_AudioNext, 0xB0},
    {XF86XK_HomePage, 0xAC},
    {XF86XK_Mail, 0xB4},
    {XF86XK_Search, 0xAA},
    {XF86XK_Back, 0xA6},
    {XF86XK_Forward, 0xA7},
    {XF86XK_Stop, 0xA9},
    {XF86XK_Refresh, 0xA8},
    {XF86XK_Favorites, 0xAB},
};

bool IsLetter(unsigned long keysym)
{
    return (keysym >= XK_a && keysym <= XK_z) || (keysym >= XK_A && keysym <= XK_Z);
}

bool IsDigit(unsigned long keysym)
{
    return keysym >= XK_0 && keysym <= XK_9;
}

bool IsKeypadDigit(unsigned long keysym)
{
    return keysym >= XK_KP_0 && keysym <= XK_KP_9;
}

std::uint8_t FromTable(unsigned long keysym)
{
    const auto found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                    [keysym](const KeyPair& pair) { return pair.keysym == keysym; });
    return found == std::end(kKeys) ? 0 : found->virtualKey;
}

}  // namespace

std::uint8_t VirtualKeyFromKeysyms(unsigned long level0, unsigned long level1, bool numLock)
{
    if (IsLetter(level0)) {
        return static_cast<std::uint8_t>(0x41 + ((level0 | 0x20) - XK_a));
    }
    if (IsDigit(level0)) {
        return static_cast<std::uint8_t>(0x30 + (level0 - XK_0));
    }
    if (IsKeypadDigit(level1) || level1 == XK_KP_Decimal || level1 == XK_KP_Separator) {
        if (numLock) {
            return IsKeypadDigit(level1) ? static_cast<std::uint8_t>(0x60 + (level1 - XK_KP_0)) : FromTable(level1);
        }
        return FromTable(level0);
    }
    if (IsKeypadDigit(level0)) {
        return static_cast<std::uint8_t>(0x60 + (level0 - XK_KP_0));
    }
    if (level0 >= XK_F1 && level0 <= XK_F24) {
        return static_cast<std::uint8_t>(0x70 + (level0 - XK_F1));
    }
    if (const std::uint8_t key = FromTable(level0); key != 0) {
        return key;
    }
    if (IsDigit(level1)) {
        return static_cast<std::uint8_t>(0x30 + (level1 - XK_0));
    }
    return 0;
}

std::uint8_t SidedVirtualKey(unsigned long keysym, std::uint8_t virtualKey)
{
    switch (keysym) {
    case XK_Shift_L:
        return VirtualKey::kLeftShift;
    case XK_Shift_R:
        return VirtualKey::kRightShift;
    case XK_Control_L:
        return VirtualKey::kLeftControl;
    case XK_Control_R:
        return VirtualKey::kRightControl;
    case XK_Alt_L:
    case XK_Meta_L:
        return VirtualKey::kLeftMenu;
    case XK_Alt_R:
    case XK_Meta_R:
        return VirtualKey::kRightMenu;
    default:
        return virtualKey;
    }
}

}  // namespace ZV::Platform
