#pragma once

#include <cstdint>

namespace ZV {

// The virtual keys that text editing and stepping react to, in the key codes' numbering.
enum EditingKey : std::uint8_t {
    kKeyBackspace = 0x08,
    kKeyReturn = 0x0D,
    kKeySpace = 0x20,
    kKeyEnd = 0x23,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyDelete = 0x2E,
};

}  // namespace ZV
