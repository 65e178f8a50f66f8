#include "Platform/Utf8Sequence.h"

namespace ZV::Platform {

std::size_t GetUtf8SequenceLength(std::string_view text, std::size_t index)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(index);
    std::size_t length = 0;
    // The range the byte after the lead byte must lie in: it rules out overlong forms, surrogates and values beyond
    // U+10FFFF.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - index < length || byte(index + 1) < secondLow || byte(index + 1) > secondHigh) {
        return 0;
    }
    for (std::size_t next = index + 2; next < index + length; ++next) {
        if (byte(next) < 0x80 || byte(next) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace ZV::Platform
