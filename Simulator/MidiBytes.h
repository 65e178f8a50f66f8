#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZV::Simulator {

using MidiBytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t SysExStart = 0xF0;
inline constexpr std::uint8_t SysExEnd = 0xF7;

// "F0 47 00 F7": upper-case hex, separated by single spaces.
std::string FormatHexBytes(const MidiBytes& bytes);

}  // namespace ZV::Simulator
