#include "Utilities/Storage/WideFormatter.h"

#include "Platform/TextLocale.h"
#include "Utilities/Storage/UTFConversion.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace ZV {

namespace {

enum class LengthModifier { none, hh, h, l, ll, L, size, intmax, ptrdiff };

struct ConversionSpec {
    // At most kMaxFlags from the text, plus the '-' that a negative '*' width adds.
    static constexpr int kMaxFlags = 8;
    char flags[kMaxFlags + 1] = {};
    int flagCount = 0;
    bool leftAlign = false;
    bool zeroPad = false;
    int width = -1;
    int precision = -1;
    LengthModifier length = LengthModifier::none;
    wchar_t conversion = 0;
};

bool IsFlag(wchar_t unit)
{
    return unit == L'-' || unit == L'+' || unit == L' ' || unit == L'#' || unit == L'0';
}

// Reads a run of decimal digits, saturating instead of overflowing.
int ReadNumber(const wchar_t*& cursor)
{
    long long value = 0;
    while (*cursor >= L'0' && *cursor <= L'9') {
        value = std::min<long long>(value * 10 + (*cursor - L'0'), INT_MAX);
        ++cursor;
    }
    return static_cast<int>(value);
}

LengthModifier ReadLengthModifier(const wchar_t*& cursor)
{
    switch (*cursor) {
    case L'h':
        ++cursor;
        if (*cursor == L'h') {
            ++cursor;
            return LengthModifier::hh;
        }
        return LengthModifier::h;
    case L'l':
        ++cursor;
        if (*cursor == L'l') {
            ++cursor;
            return LengthModifier::ll;
        }
        return LengthModifier::l;
    case L'w':
        ++cursor;
        return LengthModifier::l;
    case L'L':
        ++cursor;
        return LengthModifier::L;
    case L'z':
        ++cursor;
        return LengthModifier::size;
    case L'j':
        ++cursor;
        return LengthModifier::intmax;
    case L't':
        ++cursor;
        return LengthModifier::ptrdiff;
    case L'I':
        if (cursor[1] == L'6' && cursor[2] == L'4') {
            cursor += 3;
            return LengthModifier::ll;
        }
        if (cursor[1] == L'3' && cursor[2] == L'2') {
            cursor += 3;
            return LengthModifier::none;
        }
        ++cursor;
        return LengthModifier::size;
    default:
        return LengthModifier::none;
    }
}

long long ReadSigned(LengthModifier length, va_list& arguments)
{
    switch (length) {
    case LengthModifier::hh:
        return static_cast<signed char>(va_arg(arguments, int));
    case LengthModifier::h:
        return static_cast<short>(va_arg(arguments, int));
    case LengthModifier::ll:
        return va_arg(arguments, long long);
    case LengthModifier::size:
    case LengthModifier::ptrdiff:
        return va_arg(arguments, std::ptrdiff_t);
    case LengthModifier::intmax:
        return va_arg(arguments, std::intmax_t);
    default:
        // Plain and l: the framework's long is 32 bits.
        return va_arg(arguments, int);
    }
}

unsigned long long ReadUnsigned(LengthModifier length, va_list& arguments)
{
    switch (length) {
    case LengthModifier::hh:
        return static_cast<unsigned char>(va_arg(arguments, unsigned));
    case LengthModifier::h:
        return static_cast<unsigned short>(va_arg(arguments, unsigned));
    case LengthModifier::ll:
        return va_arg(arguments, unsigned long long);
    case LengthModifier::size:
    case LengthModifier::ptrdiff:
        return va_arg(arguments, std::size_t);
    case LengthModifier::intmax:
        return va_arg(arguments, std::uintmax_t);
    default:
        return va_arg(arguments, unsigned);
    }
}

// The C spec for one number: flags, width and precision as given, then the C library's own length and conversion.
// Width and precision count up to the formatter's bound at most: the C library builds all they ask for in memory,
// up to 2 GB, and the formatter would cut it off at the bound anyway.
void BuildNumberSpec(const ConversionSpec& spec, const char* cLength, char conversion, char* out, std::size_t size)
{
    constexpr int kMaxField = static_cast<int>(WideFormatter::kMaxFormattedLength);
    std::size_t at = 0;
    out[at++] = '%';
    for (int i = 0; i < spec.flagCount; ++i) {
        out[at++] = spec.flags[i];
    }
    if (spec.width >= 0) {
        at += static_cast<std::size_t>(std::snprintf(out + at, size - at, "%d", std::min(spec.width, kMaxField)));
    }
    if (spec.precision >= 0) {
        at += static_cast<std::size_t>(std::snprintf(out + at, size - at, ".%d", std::min(spec.precision, kMaxField)));
    }
    at += static_cast<std::size_t>(std::snprintf(out + at, size - at, "%s%c", cLength, conversion));
}

}  // namespace

WideFormatter::~WideFormatter()
{
    if (mText != mStackText) {
        std::free(mText);
    }
}

bool WideFormatter::Reserve(std::size_t extra)
{
    if (mLength + extra <= mCapacity) {
        return true;
    }
    if (mCapacity >= kMaxFormattedLength) {
        return false;
    }
    const std::size_t capacity = std::min(std::max(mCapacity * 2, mLength + extra), kMaxFormattedLength);
    auto* grown = static_cast<wchar_t*>(std::malloc(capacity * sizeof(wchar_t)));
    if (grown == nullptr) {
        return false;
    }
    std::memcpy(grown, mText, mLength * sizeof(wchar_t));
    if (mText != mStackText) {
        std::free(mText);
    }
    mText = grown;
    mCapacity = capacity;
    return mLength + extra <= mCapacity;
}

void WideFormatter::Append(wchar_t unit)
{
    if (Reserve(1)) {
        mText[mLength++] = unit;
    }
}

void WideFormatter::AppendRepeated(wchar_t unit, std::size_t count)
{
    for (std::size_t i = 0; i < count && (mLength < mCapacity || Reserve(1)); ++i) {
        mText[mLength++] = unit;
    }
}

void WideFormatter::AppendAscii(const char* text, std::size_t length)
{
    for (std::size_t i = 0; i < length && (mLength < mCapacity || Reserve(1)); ++i) {
        mText[mLength++] = static_cast<unsigned char>(text[i]);
    }
}

void WideFormatter::FormatV(const wchar_t* format, va_list argumentList)
{
    mLength = 0;
    if (format == nullptr) {
        return;
    }
    va_list arguments;
    va_copy(arguments, argumentList);

    // Pads a field of `length` units to the conversion's width around the writer that emits it.
    auto padded = [this](const ConversionSpec& spec, std::size_t length, auto&& write) {
        const std::size_t width = spec.width > 0 ? static_cast<std::size_t>(spec.width) : 0;
        const std::size_t padding = width > length ? width - length : 0;
        if (!spec.leftAlign) {
            AppendRepeated(spec.zeroPad ? L'0' : L' ', padding);
        }
        write();
        if (spec.leftAlign) {
            AppendRepeated(L' ', padding);
        }
    };

    auto appendWide = [&](const ConversionSpec& spec, const wchar_t* text) {
        if (text == nullptr) {
            text = L"(null)";
        }
        std::size_t length = std::wcslen(text);
        if (spec.precision >= 0) {
            length = std::min(length, static_cast<std::size_t>(spec.precision));
        }
        padded(spec, length, [&] {
            for (std::size_t i = 0; i < length; ++i) {
                Append(text[i]);
            }
        });
    };

    auto appendUtf8 = [&](const ConversionSpec& spec, const char* text) {
        if (text == nullptr) {
            text = "(null)";
        }
        const std::size_t byteLength = std::strlen(text);
        // At most one UTF-16 unit per byte.
        auto* converted = static_cast<wchar_t*>(std::malloc((byteLength + 1) * sizeof(wchar_t)));
        if (converted == nullptr) {
            return;
        }
        const auto* source = reinterpret_cast<const unsigned char*>(text);
        wchar_t* target = converted;
        UTF::ConvertUTF8ToUTF16(source, source + byteLength, target, converted + byteLength);
        *target = 0;
        appendWide(spec, converted);
        std::free(converted);
    };

    auto appendNumber = [&](const ConversionSpec& spec, const char* cLength, char conversion, auto value) {
        char numberSpec[64];
        BuildNumberSpec(spec, cLength, conversion, numberSpec, sizeof numberSpec);
        char local[128];
        const int needed = Platform::FormatNumber(local, sizeof local, numberSpec, value);
        if (needed < 0) {
            return;
        }
        if (static_cast<std::size_t>(needed) < sizeof local) {
            AppendAscii(local, static_cast<std::size_t>(needed));
            return;
        }
        auto* large = static_cast<char*>(std::malloc(static_cast<std::size_t>(needed) + 1));
        if (large != nullptr) {
            Platform::FormatNumber(large, static_cast<std::size_t>(needed) + 1, numberSpec, value);
            AppendAscii(large, static_cast<std::size_t>(needed));
            std::free(large);
        }
    };

    for (const wchar_t* cursor = format; *cursor != 0;) {
        if (*cursor != L'%') {
            Append(*cursor++);
            continue;
        }
        ++cursor;
        if (*cursor == L'%') {
            Append(*cursor++);
            continue;
        }
        ConversionSpec spec;
        while (IsFlag(*cursor)) {
            if (spec.flagCount < ConversionSpec::kMaxFlags) {
                spec.flags[spec.flagCount++] = static_cast<char>(*cursor);
            }
            spec.leftAlign |= *cursor == L'-';
            spec.zeroPad |= *cursor == L'0';
            ++cursor;
        }
        if (*cursor == L'*') {
            spec.width = va_arg(arguments, int);
            if (spec.width < 0) {
                spec.leftAlign = true;
                spec.flags[spec.flagCount++] = '-';
                spec.width = spec.width == INT_MIN ? INT_MAX : -spec.width;
            }
            ++cursor;
        } else if (*cursor >= L'0' && *cursor <= L'9') {
            spec.width = ReadNumber(cursor);
        }
        if (*cursor == L'.') {
            ++cursor;
            if (*cursor == L'*') {
                spec.precision = va_arg(arguments, int);
                ++cursor;
            } else {
                spec.precision = ReadNumber(cursor);
            }
        }
        spec.length = ReadLengthModifier(cursor);
        spec.conversion = *cursor;
        if (spec.conversion == 0) {
            break;
        }
        ++cursor;
        spec.zeroPad = spec.zeroPad && !spec.leftAlign;

        switch (spec.conversion) {
        case L'd':
        case L'i':
            appendNumber(spec, "ll", 'd', ReadSigned(spec.length, arguments));
            break;
        case L'u':
        case L'o':
        case L'x':
        case L'X':
            appendNumber(spec, "ll", static_cast<char>(spec.conversion), ReadUnsigned(spec.length, arguments));
            break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A': {
            const double value = spec.length == LengthModifier::L ? static_cast<double>(va_arg(arguments, long double))
                                                                  : va_arg(arguments, double);
            appendNumber(spec, "", static_cast<char>(spec.conversion), value);
            break;
        }
        case L'p': {
            ConversionSpec pointerSpec;
            pointerSpec.width = static_cast<int>(2 * sizeof(void*));
            pointerSpec.flags[pointerSpec.flagCount++] = '0';
            const auto address = reinterpret_cast<std::uintptr_t>(va_arg(arguments, void*));
            padded(spec, 2 * sizeof(void*), [&] {
                appendNumber(pointerSpec, "ll", 'X', static_cast<unsigned long long>(address));
            });
            break;
        }
        case L'c':
        case L'C': {
            const int value = va_arg(arguments, int);
            const bool narrow = spec.conversion == L'C' ? spec.length != LengthModifier::l
                                                        : spec.length == LengthModifier::h;
            const wchar_t unit = narrow ? static_cast<wchar_t>(static_cast<unsigned char>(value))
                                        : static_cast<wchar_t>(value);
            padded(spec, 1, [&] { Append(unit); });
            break;
        }
        case L's':
            if (spec.length == LengthModifier::h) {
                appendUtf8(spec, va_arg(arguments, const char*));
            } else {
                appendWide(spec, va_arg(arguments, const wchar_t*));
            }
            break;
        case L'S':
            if (spec.length == LengthModifier::l) {
                appendWide(spec, va_arg(arguments, const wchar_t*));
            } else {
                appendUtf8(spec, va_arg(arguments, const char*));
            }
            break;
        case L'n':
            // Writing through an argument pointer is refused, as the original's runtime does.
            va_arg(arguments, void*);
            break;
        default:
            Append(spec.conversion);
            break;
        }
    }
    va_end(arguments);
}

}  // namespace ZV
