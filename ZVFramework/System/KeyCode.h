#pragma once

#include <cstdint>

namespace ZV {

// The value of one key or character event and of every hot key; held and copied by value, field by field.
struct KeyCode {
    // A character in bits 0-15, or a virtual key in bits 16-23; modifier and key-down bits above.
    std::uint32_t code = 0;
    // Which side's Shift, Ctrl, Alt and Windows keys were down, one bit each.
    std::uint32_t sidedModifiers = 0;
    // 1 when the key was already down (auto-repeat) and for every key-up.
    std::uint8_t previousState = 0;
};

}  // namespace ZV
