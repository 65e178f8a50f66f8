#include "Platform/TextLocale.h"

#include <cstdio>
#include <locale.h>
#include <wctype.h>

namespace ZV::Platform {

namespace {

locale_t CaseMappingLocale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

locale_t NumberLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool IsSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

wchar_t KeepInBasicPlane(wchar_t unit, wint_t mapped)
{
    return mapped <= 0xFFFF && !IsSurrogate(static_cast<wchar_t>(mapped)) ? static_cast<wchar_t>(mapped) : unit;
}

// Switches the calling thread to the C locale for the lifetime of the object.
class CNumberScope {
public:
    CNumberScope() : mPrevious(NumberLocale() ? uselocale(NumberLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CNumberScope()
    {
        if (mPrevious) {
            uselocale(mPrevious);
        }
    }
    CNumberScope(const CNumberScope&) = delete;
    CNumberScope& operator=(const CNumberScope&) = delete;

private:
    locale_t mPrevious;
};

template <class Value>
int FormatWithCLocale(char* buffer, std::size_t size, const char* spec, Value value)
{
    CNumberScope scope;
    return std::snprintf(buffer, size, spec, value);
}

}  // namespace

namespace {

template <class LocaleMapping>
wchar_t MapCase(wchar_t unit, LocaleMapping mapInLocale, wchar_t asciiFrom, wchar_t asciiTo)
{
    if (unit < 0 || unit > 0xFFFF || IsSurrogate(unit)) {
        return unit;
    }
    if (locale_t locale = CaseMappingLocale()) {
        return KeepInBasicPlane(unit, mapInLocale(static_cast<wint_t>(unit), locale));
    }
    return unit >= asciiFrom && unit <= asciiFrom + 25 ? static_cast<wchar_t>(unit - asciiFrom + asciiTo) : unit;
}

}  // namespace

wchar_t ToUpperUnit(wchar_t unit)
{
    return MapCase(unit, [](wint_t c, locale_t locale) { return towupper_l(c, locale); }, L'a', L'A');
}

wchar_t ToLowerUnit(wchar_t unit)
{
    return MapCase(unit, [](wint_t c, locale_t locale) { return towlower_l(c, locale); }, L'A', L'a');
}

namespace {

template <class LocaleClass, class AsciiClass>
bool IsOfClass(wchar_t unit, LocaleClass isInLocale, AsciiClass isAscii)
{
    if (unit < 0 || unit > 0xFFFF || IsSurrogate(unit)) {
        return false;
    }
    if (locale_t locale = CaseMappingLocale()) {
        return isInLocale(static_cast<wint_t>(unit), locale) != 0;
    }
    return unit < 0x80 && isAscii(static_cast<int>(unit));
}

}  // namespace

bool IsSpaceUnit(wchar_t unit)
{
    return IsOfClass(unit, [](wint_t c, locale_t locale) { return iswspace_l(c, locale); },
                     [](int c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

bool IsPrintableUnit(wchar_t unit)
{
    return IsOfClass(unit, [](wint_t c, locale_t locale) { return iswprint_l(c, locale); },
                     [](int c) { return c >= ' ' && c < 0x7F; });
}

int FormatNumber(char* buffer, std::size_t size, const char* spec, long long value)
{
    return FormatWithCLocale(buffer, size, spec, value);
}

int FormatNumber(char* buffer, std::size_t size, const char* spec, unsigned long long value)
{
    return FormatWithCLocale(buffer, size, spec, value);
}

int FormatNumber(char* buffer, std::size_t size, const char* spec, double value)
{
    return FormatWithCLocale(buffer, size, spec, value);
}

int FormatNumber(char* buffer, std::size_t size, const char* spec, const void* value)
{
    return FormatWithCLocale(buffer, size, spec, value);
}

}  // namespace ZV::Platform
