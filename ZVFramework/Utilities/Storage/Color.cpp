#include "Utilities/Storage/Color.h"

#include <cstring>

namespace ZV {

namespace {

constexpr float kChannelScale = 0.003921569f;

float Channel(std::uint32_t value, int shift)
{
    return static_cast<float>((value >> shift) & 255u) * kChannelScale;
}

std::uint32_t ChannelByte(float value)
{
    const float scaled = value * 255.0f;
    const float rounded = scaled < 0 ? scaled - 0.5f : scaled + 0.5f;
    if (!(rounded > 0.0f)) {
        return 0;
    }
    return rounded >= 255.0f ? 255u : static_cast<std::uint32_t>(rounded);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Up to eight hexadecimal digits; the first other character ends the number.
std::uint32_t ReadHex(const char* text)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 8; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            break;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

}  // namespace

LColor& LColor::SetFromARGB(std::uint32_t argb)
{
    a = Channel(argb, 24);
    r = Channel(argb, 16);
    g = Channel(argb, 8);
    b = Channel(argb, 0);
    return *this;
}

LColor& LColor::SetFromHexString(const char* text)
{
    if (text == nullptr) {
        return *this;
    }
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
    }
    const std::size_t length = std::strlen(text);
    const std::uint32_t value = ReadHex(text);
    if (length == 2) {
        a = Channel(value, 0);
    } else if (length == 6) {
        r = Channel(value, 16);
        g = Channel(value, 8);
        b = Channel(value, 0);
    } else if (length == 8) {
        SetFromARGB(value);
    }
    return *this;
}

std::uint32_t LColor::ToARGB() const
{
    return ChannelByte(a) << 24 | ChannelByte(r) << 16 | ChannelByte(g) << 8 | ChannelByte(b);
}

}  // namespace ZV
