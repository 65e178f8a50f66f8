#pragma once

#include <cstdint>

namespace ZV::Testing {

// Opaque colours as 0xAARRGGBB, the form in which the renderers' pixels are read back.
inline constexpr std::uint32_t kArgbRed = 0xFFFF0000u;
inline constexpr std::uint32_t kArgbGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kArgbBlue = 0xFF0000FFu;

}  // namespace ZV::Testing
