#pragma once

#include <cstdint>

namespace ZV {

// A colour as four floats in 0..1, copied by value.
struct LColor {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;

    LColor() = default;
    LColor(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}

    LColor& SetFromARGB(std::uint32_t argb);
    // Hexadecimal text with an optional 0x: 2 digits set alpha, 6 set red, green and blue, 8 set all four; any other
    // length (or a null text) changes nothing.
    LColor& SetFromHexString(const char* text);
    std::uint32_t ToARGB() const;

    bool operator==(const LColor&) const = default;
};

}  // namespace ZV
