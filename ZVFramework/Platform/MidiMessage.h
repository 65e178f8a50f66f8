#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ZV::Platform {

inline constexpr std::uint8_t MidiSysExStart = 0xF0;
inline constexpr std::uint8_t MidiSysExEnd = 0xF7;

// Bytes in a short message that begins with this status byte: 8x, 9x, Ax, Bx, Ex and F2 take 3; Cx, Dx, F1, F3,
// F4 and F5 take 2; F6 and the real-time bytes F8 to FF take 1. 0 for F0, F7 and data bytes, which begin none.
constexpr std::size_t GetShortMessageLength(std::uint8_t status)
{
    if (status < 0x80 || status == MidiSysExStart || status == MidiSysExEnd) {
        return 0;
    }
    if (status < 0xF0) {
        const std::uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    }
    switch (status) {
    case 0xF2:
        return 3;
    case 0xF1:
    case 0xF3:
    case 0xF4:
    case 0xF5:
        return 2;
    default:
        return 1;
    }
}

// A short message packed in one word: the status byte lowest, then the data bytes.
constexpr std::uint32_t PackShortMessage(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t packed = 0;
    for (std::size_t index = 0; index < count && index < 4; ++index) {
        packed |= static_cast<std::uint32_t>(bytes[index]) << (8 * index);
    }
    return packed;
}

// The bytes of a packed short message; empty when its lowest byte begins no short message.
inline std::vector<std::uint8_t> UnpackShortMessage(std::uint32_t packed)
{
    std::vector<std::uint8_t> bytes(GetShortMessageLength(static_cast<std::uint8_t>(packed & 0xFF)));
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        bytes[index] = static_cast<std::uint8_t>(packed >> (8 * index));
    }
    return bytes;
}

}  // namespace ZV::Platform
