#include "Controls/LeadingNumber.h"

#include "Platform/TextLocale.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ZV {

namespace {

bool IsDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

// The digits from the position on, copied; the position moves past them.
void TakeDigits(const wchar_t* text, std::size_t& position, std::string& number)
{
    while (IsDigit(text[position])) {
        number += static_cast<char>(text[position++]);
    }
}

}  // namespace

double ReadLeadingNumber(const WideString& text)
{
    const wchar_t* characters = text.GetData();
    std::size_t position = 0;
    while (Platform::IsSpaceUnit(characters[position])) {
        ++position;
    }
    const bool negative = characters[position] == L'-';
    if (characters[position] == L'-' || characters[position] == L'+') {
        ++position;
    }
    std::string number;
    TakeDigits(characters, position, number);
    if (characters[position] == L'.') {
        number += '.';
        ++position;
        TakeDigits(characters, position, number);
    }
    if (number.find_first_of("0123456789") == std::string::npos) {
        return 0;
    }
    bool negativeExponent = false;
    if (characters[position] == L'e' || characters[position] == L'E') {
        std::size_t exponent = position + 1;
        negativeExponent = characters[exponent] == L'-';
        exponent += characters[exponent] == L'-' || characters[exponent] == L'+' ? 1 : 0;
        if (IsDigit(characters[exponent])) {
            number += negativeExponent ? "e-" : "e";
            TakeDigits(characters, exponent, number);
        }
    }
    double value = 0;
    const std::from_chars_result read = std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range) {
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

}  // namespace ZV
