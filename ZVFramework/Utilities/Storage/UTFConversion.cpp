#include "Utilities/Storage/UTFConversion.h"

#include <cstdint>

namespace ZV::UTF {

namespace {

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;
constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;
constexpr std::uint32_t kHighSurrogateStart = 0xD800;
constexpr std::uint32_t kHighSurrogateEnd = 0xDBFF;
constexpr std::uint32_t kLowSurrogateStart = 0xDC00;
constexpr std::uint32_t kLowSurrogateEnd = 0xDFFF;

// How many continuation bytes follow a lead byte (the 5- and 6-byte forms are counted so they can be rejected whole).
int TrailingByteCount(unsigned char lead)
{
    if (lead < 0xC0) {
        return 0;
    }
    if (lead < 0xE0) {
        return 1;
    }
    if (lead < 0xF0) {
        return 2;
    }
    if (lead < 0xF8) {
        return 3;
    }
    return lead < 0xFC ? 4 : 5;
}

bool IsLegalSequence(const unsigned char* sequence, int length)
{
    if (length > 4) {
        return false;
    }
    for (int i = length - 1; i >= 2; --i) {
        if (sequence[i] < 0x80 || sequence[i] > 0xBF) {
            return false;
        }
    }
    if (length >= 2) {
        const unsigned char second = sequence[1];
        if (second > 0xBF) {
            return false;
        }
        switch (sequence[0]) {
        case 0xE0:
            if (second < 0xA0) {
                return false;
            }
            break;
        case 0xED:
            if (second < 0x80 || second > 0x9F) {
                return false;
            }
            break;
        case 0xF0:
            if (second < 0x90) {
                return false;
            }
            break;
        case 0xF4:
            if (second < 0x80 || second > 0x8F) {
                return false;
            }
            break;
        default:
            if (second < 0x80) {
                return false;
            }
        }
    }
    const unsigned char lead = sequence[0];
    return !(lead >= 0x80 && lead < 0xC2) && lead <= 0xF4;
}

}  // namespace

ConversionResult ConvertUTF8ToUTF16(const unsigned char*& source, const unsigned char* sourceEnd, wchar_t*& target,
                                    wchar_t* targetEnd)
{
    static constexpr std::uint32_t kOffsets[] = {0x00000000, 0x00003080, 0x000E2080, 0x03C82080};
    while (source < sourceEnd) {
        const int trailing = TrailingByteCount(*source);
        if (trailing >= sourceEnd - source) {
            return ConversionResult::sourceExhausted;
        }
        if (!IsLegalSequence(source, trailing + 1)) {
            return ConversionResult::sourceIllegal;
        }
        std::uint32_t codePoint = 0;
        for (int i = 0; i <= trailing; ++i) {
            codePoint = (codePoint << 6) + source[i];
        }
        codePoint -= kOffsets[trailing];
        const int unitsNeeded = codePoint > 0xFFFF && codePoint <= kMaxCodePoint ? 2 : 1;
        if (targetEnd - target < unitsNeeded) {
            return ConversionResult::targetExhausted;
        }
        source += trailing + 1;
        if (codePoint > kMaxCodePoint) {
            *target++ = static_cast<wchar_t>(kReplacementCharacter);
        } else if (unitsNeeded == 1) {
            *target++ = static_cast<wchar_t>(codePoint);
        } else {
            codePoint -= 0x10000;
            *target++ = static_cast<wchar_t>((codePoint >> 10) + kHighSurrogateStart);
            *target++ = static_cast<wchar_t>((codePoint & 0x3FF) + kLowSurrogateStart);
        }
    }
    return ConversionResult::ok;
}

ConversionResult ConvertUTF16ToUTF8(const wchar_t*& source, const wchar_t* sourceEnd, unsigned char*& target,
                                    unsigned char* targetEnd)
{
    while (source < sourceEnd) {
        const wchar_t* const sequenceStart = source;
        std::uint32_t codePoint = static_cast<std::uint32_t>(*source++);
        if (codePoint >= kHighSurrogateStart && codePoint <= kHighSurrogateEnd) {
            if (source == sourceEnd) {
                source = sequenceStart;
                return ConversionResult::sourceExhausted;
            }
            const std::uint32_t next = static_cast<std::uint32_t>(*source);
            if (next >= kLowSurrogateStart && next <= kLowSurrogateEnd) {
                codePoint = ((codePoint - kHighSurrogateStart) << 10) + (next - kLowSurrogateStart) + 0x10000;
                ++source;
            }
        }
        if (codePoint > kMaxCodePoint) {
            codePoint = kReplacementCharacter;
        }
        const int length = codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
        if (targetEnd - target < length) {
            source = sequenceStart;
            return ConversionResult::targetExhausted;
        }
        static constexpr unsigned char kFirstByteMarks[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
        for (int i = length - 1; i > 0; --i) {
            target[i] = static_cast<unsigned char>((codePoint | 0x80) & 0xBF);
            codePoint >>= 6;
        }
        target[0] = static_cast<unsigned char>(codePoint | kFirstByteMarks[length]);
        target += length;
    }
    return ConversionResult::ok;
}

}  // namespace ZV::UTF
