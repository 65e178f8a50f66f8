#pragma once

#include <cstdint>

namespace ZV::Platform {

// Turns X keysyms into the framework's virtual keys (the original platform's numbering).
//
// level0 and level1 are the key's symbols without and with Shift. Letters and digits come from the unshifted symbol,
// or the shifted one where that is the digit (the top row of a French keyboard); a numeric-pad key gives its digit
// with NumLock on and its navigation key with it off; punctuation gives the keys the original platform names OEM.
// 0 for a key without a virtual key.
std::uint8_t VirtualKeyFromKeysyms(unsigned long level0, unsigned long level1, bool numLock);

// The side-specific virtual key of a modifier key (left Shift 0xA0 ...), the same key for any other.
std::uint8_t SidedVirtualKey(unsigned long keysym, std::uint8_t virtualKey);

}  // namespace ZV::Platform
