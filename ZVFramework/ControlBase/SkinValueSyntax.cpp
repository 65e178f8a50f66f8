#include "ControlBase/SkinValueSyntax.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace ZV::SkinValueSyntax {

namespace {

// Counts and exponents stop growing here; no text comes near it.
constexpr long long kCountLimit = 1LL << 40;

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipBlanks(const char* text)
{
    while (IsBlank(*text)) {
        ++text;
    }
    return text;
}

// Reads an optional sign; true for a minus.
bool ReadSign(const char*& text)
{
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    return negative;
}

// The extent of the unsigned decimal number at the start of a text, and roughly its power of ten, which tells an
// overflow from an underflow when the number is out of range. False when no digit starts it.
struct DecimalNumber {
    const char* end = nullptr;
    long long powerOfTen = 0;
};

bool ScanDecimal(const char* text, DecimalNumber& number)
{
    bool anyDigit = false;
    bool significant = false;
    long long integerDigits = 0;
    long long fractionZeros = 0;
    for (; IsDigit(*text); ++text) {
        anyDigit = true;
        significant = significant || *text != '0';
        integerDigits += significant ? 1 : 0;
    }
    if (*text == '.') {
        for (++text; IsDigit(*text); ++text) {
            anyDigit = true;
            significant = significant || *text != '0';
            fractionZeros += significant ? 0 : 1;
        }
    }
    if (!anyDigit) {
        return false;
    }
    long long exponent = 0;
    if (*text == 'e' || *text == 'E') {
        const char* power = text + 1;
        const bool negative = ReadSign(power);
        if (IsDigit(*power)) {
            for (; IsDigit(*power); ++power) {
                exponent = std::min(exponent * 10 + (*power - '0'), kCountLimit);
            }
            exponent = negative ? -exponent : exponent;
            text = power;
        }
    }
    number.end = text;
    number.powerOfTen = (integerDigits > 0 ? integerDigits : -fractionZeros) + exponent;
    return true;
}

}  // namespace

bool ParseFlag(const char* value)
{
    return std::strcmp(value, "True") == 0;
}

float ParseFloat(const char* value)
{
    const char* text = SkipBlanks(value);
    const bool negative = ReadSign(text);
    DecimalNumber decimal;
    if (!ScanDecimal(text, decimal)) {
        return 0;
    }
    double number = 0;
    if (std::from_chars(text, decimal.end, number).ec == std::errc::result_out_of_range) {
        number = decimal.powerOfTen > 0 ? HUGE_VAL : 0.0;
    }
    number = negative ? -number : number;
    if (std::fabs(number) > std::numeric_limits<float>::max()) {
        return negative ? -HUGE_VALF : HUGE_VALF;
    }
    return static_cast<float>(number);
}

std::int32_t ParsePlainInteger(const char* value)
{
    const char* text = SkipBlanks(value);
    const bool negative = ReadSign(text);
    long long number = 0;
    for (; IsDigit(*text); ++text) {
        number = std::min(number * 10 + (*text - '0'), kCountLimit);
    }
    constexpr long long kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr long long kHighest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(negative ? -number : number, kLowest, kHighest));
}

std::int32_t ParseInteger(const char* value)
{
    if (value[0] != '0' || value[1] != 'x') {
        return ParsePlainInteger(value);
    }
    const char* digits = value + 2;
    const char* end = digits;
    while (end < digits + 4 && *end != 0) {
        ++end;
    }
    // Unsigned, so that no sign is read; no digit at all leaves 0.
    std::uint32_t number = 0;
    std::from_chars(digits, end, number, 16);
    return static_cast<std::int32_t>(number);
}

LColor ParseColor(const char* value)
{
    LColor color;
    color.SetFromHexString(value);
    return color;
}

}  // namespace ZV::SkinValueSyntax
