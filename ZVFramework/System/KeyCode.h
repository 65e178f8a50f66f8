#pragma once

#include <cstdint>

namespace ZV {

// The modifier mask from which the window builds key codes: generic and side-specific bits of each modifier.
inline constexpr std::uint32_t kModifierCtrl = 0x1;
inline constexpr std::uint32_t kModifierLeftCtrl = 0x2;
inline constexpr std::uint32_t kModifierRightCtrl = 0x4;
inline constexpr std::uint32_t kModifierShift = 0x8;
inline constexpr std::uint32_t kModifierLeftShift = 0x10;
inline constexpr std::uint32_t kModifierRightShift = 0x20;
inline constexpr std::uint32_t kModifierAlt = 0x40;
inline constexpr std::uint32_t kModifierLeftAlt = 0x80;
inline constexpr std::uint32_t kModifierRightAlt = 0x100;
inline constexpr std::uint32_t kModifierCmd = 0x200;
inline constexpr std::uint32_t kModifierLeftCmd = 0x400;
inline constexpr std::uint32_t kModifierRightCmd = 0x800;
// No event source sets it; it still reaches the code.
inline constexpr std::uint32_t kModifierExtra = 0x1000;

// The side-specific byte of a mask: a side's bit only when the generic bit of its modifier is set too. Bits: 0x01
// left Shift, 0x02 right Shift, 0x04 left Ctrl, 0x08 right Ctrl, 0x10 left Alt, 0x20 right Alt, 0x40 left and 0x80
// right Windows key.
constexpr std::uint32_t GetSidedModifiers(std::uint32_t mask)
{
    struct Side {
        std::uint32_t generic;
        std::uint32_t side;
        std::uint32_t bit;
    };
    constexpr Side kSides[] = {
        {kModifierShift, kModifierLeftShift, 0x01}, {kModifierShift, kModifierRightShift, 0x02},
        {kModifierCtrl, kModifierLeftCtrl, 0x04},   {kModifierCtrl, kModifierRightCtrl, 0x08},
        {kModifierAlt, kModifierLeftAlt, 0x10},     {kModifierAlt, kModifierRightAlt, 0x20},
        {kModifierCmd, kModifierLeftCmd, 0x40},     {kModifierCmd, kModifierRightCmd, 0x80},
    };
    std::uint32_t sided = 0;
    for (const Side& side : kSides) {
        if ((mask & side.generic) != 0 && (mask & side.side) != 0) {
            sided |= side.bit;
        }
    }
    return sided;
}

// The value of one key or character event and of every hot key; held and copied by value, field by field. Virtual
// keys keep the original platform's numbering (0x70 is F1, 0x41 the A key).
struct KeyCode {
    static constexpr std::uint32_t kCharacterMask = 0xFFFF;
    static constexpr int kVirtualKeyShift = 16;
    static constexpr std::uint32_t kVirtualKeyMask = 0xFF0000;
    static constexpr std::uint32_t kCtrl = 1u << 24;
    static constexpr std::uint32_t kShift = 1u << 25;
    static constexpr std::uint32_t kAlt = 1u << 26;
    static constexpr std::uint32_t kCmd = 1u << 27;
    static constexpr std::uint32_t kExtra = 1u << 28;
    static constexpr std::uint32_t kKeyDown = 1u << 29;
    // Marks a value that names no key.
    static constexpr std::uint32_t kNoKey = 1u << 31;

    constexpr KeyCode() = default;

    // A key event: previous is 1 for an auto-repeated key-down and for every key-up.
    constexpr KeyCode(std::uint8_t virtualKey, bool down, std::uint8_t previous, std::uint32_t mask)
        : code(static_cast<std::uint32_t>(virtualKey) << kVirtualKeyShift | (down ? kKeyDown : 0) | ModifierBits(mask)),
          sidedModifiers(GetSidedModifiers(mask)),
          previousState(previous)
    {
    }

    // A character event: one UTF-16 unit.
    constexpr KeyCode(std::uint16_t character, std::uint32_t mask)
        : code(character | ModifierBits(mask)), sidedModifiers(GetSidedModifiers(mask))
    {
    }

    constexpr std::uint8_t GetVirtualKey() const
    {
        return static_cast<std::uint8_t>((code & kVirtualKeyMask) >> kVirtualKeyShift);
    }
    constexpr std::uint16_t GetCharacter() const { return static_cast<std::uint16_t>(code & kCharacterMask); }

    // How hot keys match events: key codes (and values that name no key) only when equal; characters also when
    // they differ in Ctrl and Shift only, because typing a character may need Shift, and Ctrl changes its unit.
    constexpr bool Matches(const KeyCode& other) const { return GetMatchValue() == other.GetMatchValue(); }

    // What Matches compares: the code, without Ctrl and Shift for a character. Hot keys are found by it.
    constexpr std::uint32_t GetMatchValue() const
    {
        constexpr std::uint32_t kKeyOrNoKey = kNoKey | kVirtualKeyMask;
        constexpr std::uint32_t kIgnoredForCharacters = kCtrl | kShift;
        return (code & kKeyOrNoKey) != 0 ? code : code & ~kIgnoredForCharacters;
    }

    // A character in bits 0-15, or a virtual key in bits 16-23; modifier and key-down bits above.
    std::uint32_t code = 0;
    // Which side's Shift, Ctrl, Alt and Windows keys were down, one bit each (GetSidedModifiers).
    std::uint32_t sidedModifiers = 0;
    // 1 when the key was already down (auto-repeat) and for every key-up.
    std::uint8_t previousState = 0;

private:
    static constexpr std::uint32_t ModifierBits(std::uint32_t mask)
    {
        return ((mask & kModifierCtrl) != 0 ? kCtrl : 0) | ((mask & kModifierShift) != 0 ? kShift : 0) |
               ((mask & kModifierAlt) != 0 ? kAlt : 0) | ((mask & kModifierCmd) != 0 ? kCmd : 0) |
               ((mask & kModifierExtra) != 0 ? kExtra : 0);
    }
};

}  // namespace ZV
