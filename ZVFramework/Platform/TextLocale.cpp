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

wchar_t ToUpperUnit(wchar_t unit)
{
    if (unit < 0 || unit > 0xFFFF || IsSurrogate(unit)) {
        return unit;
    }
    if (locale_t locale = CaseMappingLocale()) {
        return KeepInBasicPlane(unit, towupper_l(static_cast<wint_t>(unit), locale));
    }
    return unit >= L'a' && unit <= L'z' ? static_cast<wchar_t>(unit - L'a' + L'A') : unit;
}

wchar_t ToLowerUnit(wchar_t unit)
{
    if (unit < 0 || unit > 0xFFFF || IsSurrogate(unit)) {
        return unit;
    }
    if (locale_t locale = CaseMappingLocale()) {
        return KeepInBasicPlane(unit, towlower_l(static_cast<wint_t>(unit), locale));
    }
    return unit >= L'A' && unit <= L'Z' ? static_cast<wchar_t>(unit - L'A' + L'a') : unit;
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
