// The framework's formatter, with texts, flags, widths and precisions from the input and arguments of the types
// that each conversion takes: the result stays within the formatter's bound and is the same every time; texts come
// out whole, cut to the precision and padded to the width; integers read back as the value given.
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "Utf8Reference.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/WideFormatter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace {

using ZV::WideFormatter;
using ZV::WideString;

enum class Kind { kInt, kLongLong, kSize, kIntMax, kUnsigned, kUnsignedLongLong, kDouble, kLongDouble, kWideChar,
                  kNarrowChar, kWideText, kUtf8Text, kPointer, kWriteBack, kNone };

struct Conversion {
    const wchar_t* text;
    Kind kind;
    int base = 10;
    // The bits the integer is printed with, and whether they are signed.
    int bits = 32;
    bool isSigned = true;
};

const Conversion kConversions[] = {
    {L"d", Kind::kInt},
    {L"i", Kind::kInt},
    {L"ld", Kind::kInt},
    {L"I32d", Kind::kInt},
    {L"hd", Kind::kInt, 10, 16},
    {L"hhi", Kind::kInt, 10, 8},
    {L"lld", Kind::kLongLong, 10, 64},
    {L"I64d", Kind::kLongLong, 10, 64},
    {L"zd", Kind::kSize, 10, 64},
    {L"td", Kind::kSize, 10, 64},
    {L"jd", Kind::kIntMax, 10, 64},
    {L"u", Kind::kUnsigned, 10, 32, false},
    {L"lu", Kind::kUnsigned, 10, 32, false},
    {L"hu", Kind::kUnsigned, 10, 16, false},
    {L"hhx", Kind::kUnsigned, 16, 8, false},
    {L"x", Kind::kUnsigned, 16, 32, false},
    {L"X", Kind::kUnsigned, 16, 32, false},
    {L"o", Kind::kUnsigned, 8, 32, false},
    {L"llx", Kind::kUnsignedLongLong, 16, 64, false},
    {L"I64X", Kind::kUnsignedLongLong, 16, 64, false},
    {L"Iu", Kind::kSize, 10, 64, false},
    {L"zu", Kind::kSize, 10, 64, false},
    {L"f", Kind::kDouble},
    {L"F", Kind::kDouble},
    {L"lf", Kind::kDouble},
    {L"e", Kind::kDouble},
    {L"E", Kind::kDouble},
    {L"g", Kind::kDouble},
    {L"G", Kind::kDouble},
    {L"a", Kind::kDouble},
    {L"A", Kind::kDouble},
    {L"Lf", Kind::kLongDouble},
    {L"Lg", Kind::kLongDouble},
    {L"c", Kind::kWideChar},
    {L"lc", Kind::kWideChar},
    {L"wc", Kind::kWideChar},
    {L"lC", Kind::kWideChar},
    {L"hc", Kind::kNarrowChar},
    {L"C", Kind::kNarrowChar},
    {L"hC", Kind::kNarrowChar},
    {L"s", Kind::kWideText},
    {L"ls", Kind::kWideText},
    {L"ws", Kind::kWideText},
    {L"lS", Kind::kWideText},
    {L"hs", Kind::kUtf8Text},
    {L"S", Kind::kUtf8Text},
    {L"hS", Kind::kUtf8Text},
    {L"p", Kind::kPointer},
    {L"n", Kind::kWriteBack},
    {L"k", Kind::kNone},
};

// What the input asks for: the conversion and its spec, the texts around it, the argument's bits and text.
struct Case {
    const Conversion* conversion;
    bool leftAlign = false;
    bool zeroPad = false;
    std::wstring flags;
    // Written in the format as digits, or passed as an argument for '*'.
    std::optional<std::uint32_t> widthDigits;
    std::optional<int> widthArgument;
    std::optional<std::uint32_t> precisionDigits;
    std::optional<int> precisionArgument;
    std::uint64_t value = 0;
    std::wstring before;
    std::wstring after;
    std::wstring wideText;
    std::string utf8Text;
};

// Literal text up to its first NUL (where the format ends), with '%' written as "%%".
std::wstring Literal(std::wstring text, std::wstring& shown)
{
    text = text.substr(0, text.find(L'\0'));
    shown = text;
    std::wstring escaped;
    for (const wchar_t unit : text) {
        escaped += unit;
        if (unit == L'%') {
            escaped += L'%';
        }
    }
    return escaped;
}

Case ReadCase(ZV::Fuzz::FuzzInput& input, std::wstring& format)
{
    Case c;
    c.conversion = &kConversions[input.TakeByte() % std::size(kConversions)];
    const std::uint8_t spec = input.TakeByte();
    const std::uint8_t stars = input.TakeByte();
    // Widths and precisions are below 256 unless the input asks for far ones: most runs stay quick, and some still
    // reach the formatter's bound.
    const bool farWidth = (stars & 4) != 0;
    const bool farPrecision = (stars & 8) != 0;
    const auto rawWidth = input.Take<std::uint32_t>();
    const auto rawPrecision = input.Take<std::uint32_t>();
    const std::uint32_t width = farWidth ? rawWidth : static_cast<std::uint8_t>(rawWidth);
    const std::uint32_t precision = farPrecision ? rawPrecision : static_cast<std::uint8_t>(rawPrecision);
    c.value = input.Take<std::uint64_t>();
    const std::wstring escapedBefore = Literal(ZV::Fuzz::WideTextOf(input.TakeUntil('\n')), c.before);
    const std::wstring escapedAfter = Literal(ZV::Fuzz::WideTextOf(input.TakeUntil('\n')), c.after);
    const std::string text = input.TakeRest();
    c.utf8Text = text.substr(0, text.find('\0'));
    c.wideText = ZV::Fuzz::WideTextOf(text);
    c.wideText = c.wideText.substr(0, c.wideText.find(L'\0'));

    const wchar_t kFlags[] = {L'-', L'+', L' ', L'#', L'0'};
    for (int bit = 0; bit < 5; ++bit) {
        if ((spec & (1 << bit)) != 0) {
            c.flags += kFlags[bit];
        }
    }
    c.leftAlign = (spec & 1) != 0;
    c.zeroPad = (spec & 16) != 0;
    format = escapedBefore + L"%" + c.flags;
    if ((stars & 1) != 0) {
        c.widthArgument = farWidth ? static_cast<int>(rawWidth) : static_cast<std::int8_t>(rawWidth);
        format += L"*";
    } else if ((spec & 32) != 0 && width != 0) {
        c.widthDigits = width;
        format += std::to_wstring(width);
    }
    if ((stars & 2) != 0) {
        c.precisionArgument = farPrecision ? static_cast<int>(rawPrecision) : static_cast<std::int8_t>(rawPrecision);
        format += L".*";
    } else if ((spec & 64) != 0) {
        c.precisionDigits = precision;
        format += L"." + std::to_wstring(precision);
    }
    format += c.conversion->text + escapedAfter;
    return c;
}

template <class... Values>
WideString FormatWith(const wchar_t* format, const Case& c, Values... values)
{
    if (c.widthArgument && c.precisionArgument) {
        return WideString::Format(format, *c.widthArgument, *c.precisionArgument, values...);
    }
    if (c.widthArgument) {
        return WideString::Format(format, *c.widthArgument, values...);
    }
    if (c.precisionArgument) {
        return WideString::Format(format, *c.precisionArgument, values...);
    }
    return WideString::Format(format, values...);
}

WideString Format(const wchar_t* format, const Case& c)
{
    static int writeBackTarget = 0;
    switch (c.conversion->kind) {
    case Kind::kInt:
    case Kind::kWideChar:
    case Kind::kNarrowChar:
        return FormatWith(format, c, static_cast<int>(c.value));
    case Kind::kLongLong:
        return FormatWith(format, c, static_cast<long long>(c.value));
    case Kind::kSize:
        return c.conversion->isSigned ? FormatWith(format, c, static_cast<std::ptrdiff_t>(c.value))
                                      : FormatWith(format, c, static_cast<std::size_t>(c.value));
    case Kind::kIntMax:
        return FormatWith(format, c, static_cast<std::intmax_t>(c.value));
    case Kind::kUnsigned:
        return FormatWith(format, c, static_cast<unsigned>(c.value));
    case Kind::kUnsignedLongLong:
        return FormatWith(format, c, static_cast<unsigned long long>(c.value));
    case Kind::kDouble:
        return FormatWith(format, c, std::bit_cast<double>(c.value));
    case Kind::kLongDouble:
        return FormatWith(format, c, static_cast<long double>(std::bit_cast<double>(c.value)));
    case Kind::kWideText:
        return FormatWith(format, c, c.wideText.c_str());
    case Kind::kUtf8Text:
        return FormatWith(format, c, c.utf8Text.c_str());
    case Kind::kPointer:
        return FormatWith(format, c, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(c.value)));
    case Kind::kWriteBack:
        return FormatWith(format, c, &writeBackTarget);
    case Kind::kNone:
        return FormatWith(format, c);
    }
    return WideString();
}

int WidthOf(const Case& c, bool& leftAlign)
{
    leftAlign = c.leftAlign;
    if (c.widthDigits) {
        return static_cast<int>(std::min<std::uint32_t>(*c.widthDigits, INT_MAX));
    }
    if (c.widthArgument && *c.widthArgument < 0) {
        leftAlign = true;
        return *c.widthArgument == INT_MIN ? INT_MAX : -*c.widthArgument;
    }
    return c.widthArgument.value_or(0);
}

int PrecisionOf(const Case& c)
{
    if (c.precisionDigits) {
        return static_cast<int>(std::min<std::uint32_t>(*c.precisionDigits, INT_MAX));
    }
    return c.precisionArgument.value_or(-1);
}

// The field of a text or character: the content cut to the precision and padded to the width. A width far past the
// formatter's bound is shortened to one that is cut off the same way.
std::wstring PaddedField(std::wstring content, const Case& c, bool cutToPrecision)
{
    const int precision = PrecisionOf(c);
    if (cutToPrecision && precision >= 0 && content.size() > static_cast<std::size_t>(precision)) {
        content.resize(static_cast<std::size_t>(precision));
    }
    bool leftAlign = false;
    const std::size_t width = std::min<std::size_t>(static_cast<std::size_t>(WidthOf(c, leftAlign)),
                                                    WideFormatter::kMaxFormattedLength + content.size() + 1);
    const std::size_t padding = width > content.size() ? width - content.size() : 0;
    const std::wstring pad(padding, c.zeroPad && !leftAlign ? L'0' : L' ');
    return leftAlign ? content + pad : pad + content;
}

std::optional<std::wstring> ExpectedField(const Case& c)
{
    switch (c.conversion->kind) {
    case Kind::kWideText:
        return PaddedField(c.wideText, c, true);
    case Kind::kUtf8Text:
        // A text that is not UTF-8 throughout gives what comes before the fault.
        return PaddedField(ZV::Fuzz::ReadUtf8(c.utf8Text).units, c, true);
    case Kind::kWideChar:
        return PaddedField(std::wstring(1, static_cast<wchar_t>(static_cast<int>(c.value))), c, false);
    case Kind::kNarrowChar:
        return PaddedField(std::wstring(1, static_cast<wchar_t>(static_cast<unsigned char>(c.value))), c, false);
    case Kind::kWriteBack:
        return std::wstring();
    case Kind::kNone:
        return std::wstring(c.conversion->text);
    default:
        return std::nullopt;
    }
}

// The integer that the field shows: padding, sign, the '#' prefix and leading zeros taken off. The magnitude and
// whether it is negative, or nothing when the field is not a number.
std::optional<std::pair<unsigned long long, bool>> ReadInteger(std::wstring field, int base)
{
    const auto first = field.find_first_not_of(L' ');
    const auto last = field.find_last_not_of(L' ');
    field = first == std::wstring::npos ? std::wstring() : field.substr(first, last - first + 1);
    bool negative = false;
    if (!field.empty() && (field[0] == L'-' || field[0] == L'+')) {
        negative = field[0] == L'-';
        field.erase(0, 1);
    }
    if (base == 16 && field.size() >= 2 && field[0] == L'0' && (field[1] == L'x' || field[1] == L'X')) {
        field.erase(0, 2);
    }
    std::string digits;
    for (const wchar_t unit : field) {
        if (unit > 0x7F) {
            return std::nullopt;
        }
        digits += static_cast<char>(unit);
    }
    unsigned long long magnitude = 0;
    if (digits.empty()) {
        return std::make_pair(magnitude, negative);
    }
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return std::make_pair(magnitude, negative);
}

void CheckInteger(const std::wstring& field, const Case& c)
{
    const Conversion& conversion = *c.conversion;
    const unsigned long long mask = conversion.bits == 64 ? ~0ull : (1ull << conversion.bits) - 1;
    const unsigned long long bits = c.value & mask;
    const bool negative = conversion.isSigned && conversion.bits < 64 ? (bits >> (conversion.bits - 1)) != 0
                                                                      : conversion.isSigned && (bits >> 63) != 0;
    const unsigned long long magnitude = negative ? ((~bits + 1) & mask) : bits;
    const auto shown = ReadInteger(field, conversion.base);
    ZV_FUZZ_CHECK(shown.has_value());
    ZV_FUZZ_CHECK(shown->first == magnitude && (shown->second == negative || magnitude == 0));
}

}  // namespace

// The input: conversion, flags, '*' and far choices, width, precision, the argument's 8 bytes, the text before, a line
// feed, the text after, a line feed, the argument's text (FuzzInput.h).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZV::Fuzz::FuzzInput input(data, size);
    std::wstring format;
    const Case c = ReadCase(input, format);
    const WideString result = Format(format.c_str(), c);
    const std::wstring text(result.GetData(), result.GetLength());
    ZV_FUZZ_CHECK(text.size() <= WideFormatter::kMaxFormattedLength);
    // Formatting again is cheap below the bound, where nearly all runs are.
    ZV_FUZZ_CHECK(text.size() == WideFormatter::kMaxFormattedLength || Format(format.c_str(), c) == result);

    ZV_FUZZ_CHECK(text.starts_with(c.before.substr(0, WideFormatter::kMaxFormattedLength)));
    if (const std::optional<std::wstring> field = ExpectedField(c)) {
        // A NUL that the formatter writes (a character of 0) ends the string there.
        std::wstring whole = c.before + *field + c.after;
        whole = whole.substr(0, std::min(whole.find(L'\0'), WideFormatter::kMaxFormattedLength));
        ZV_FUZZ_CHECK(text == whole);
        return 0;
    }
    if (text.size() == WideFormatter::kMaxFormattedLength || !text.ends_with(c.after)) {
        ZV_FUZZ_CHECK(text.size() == WideFormatter::kMaxFormattedLength);
        return 0;
    }
    const std::wstring field = text.substr(c.before.size(), text.size() - c.before.size() - c.after.size());
    bool leftAlign = false;
    const auto width = static_cast<std::size_t>(WidthOf(c, leftAlign));
    if (c.conversion->kind == Kind::kPointer) {
        ZV_FUZZ_CHECK(field.size() == std::max<std::size_t>(width, 2 * sizeof(void*)));
    } else if (c.conversion->kind != Kind::kDouble && c.conversion->kind != Kind::kLongDouble) {
        ZV_FUZZ_CHECK(field.size() >= width);
        CheckInteger(field, c);
    }
    return 0;
}
