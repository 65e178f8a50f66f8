#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZV::Fuzz {

// UTF-8 read strictly by the table of well-formed byte sequences of the Unicode Standard (no overlong forms, no
// surrogates, nothing above 10FFFF), written apart from the framework's converter so that each checks the other.
struct Utf8Reading {
    // The UTF-16 units of the longest well-formed prefix.
    std::wstring units;
    // How many bytes that prefix holds.
    std::size_t validBytes = 0;
    bool IsWhole(std::size_t size) const { return validBytes == size; }
};

inline void AppendUtf16(std::wstring& units, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        units += static_cast<wchar_t>(codePoint);
        return;
    }
    units += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
    units += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
}

inline Utf8Reading ReadUtf8(const std::uint8_t* bytes, std::size_t size)
{
    Utf8Reading reading;
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t lead = bytes[at];
        std::size_t length = 1;
        char32_t codePoint = lead;
        std::uint8_t secondLow = 0x80;
        std::uint8_t secondHigh = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
            secondLow = lead == 0xE0 ? 0xA0 : 0x80;
            secondHigh = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
            secondLow = lead == 0xF0 ? 0x90 : 0x80;
            secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
        } else if (lead >= 0x80) {
            break;
        }
        if (size - at < length) {
            break;
        }
        bool wellFormed = true;
        for (std::size_t index = 1; index < length && wellFormed; ++index) {
            const std::uint8_t next = bytes[at + index];
            wellFormed = index == 1 ? next >= secondLow && next <= secondHigh : next >= 0x80 && next <= 0xBF;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        if (!wellFormed) {
            break;
        }
        AppendUtf16(reading.units, codePoint);
        at += length;
    }
    reading.validBytes = at;
    return reading;
}

inline Utf8Reading ReadUtf8(const std::string& text)
{
    return ReadUtf8(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace ZV::Fuzz
