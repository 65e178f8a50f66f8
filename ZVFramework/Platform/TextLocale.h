#pragma once

#include <cstddef>
#include <cstdint>

// Text services that must not follow the user's locale: results are the same under any LC_* setting.
namespace ZV::Platform {

// Case mapping of one UTF-16 code unit by the Unicode rules of C.UTF-8 (ASCII only when that locale is missing).
// Surrogate units and mappings that leave the basic plane come back unchanged.
wchar_t ToUpperUnit(wchar_t unit);
wchar_t ToLowerUnit(wchar_t unit);

// Character classes of one UTF-16 code unit by the Unicode rules of C.UTF-8 (ASCII only when that locale is missing).
// A surrogate unit is neither.
bool IsSpaceUnit(wchar_t unit);
bool IsPrintableUnit(wchar_t unit);

// snprintf of one value with a C printf conversion spec ("%08.3f", "%-5lld"), always with the C locale's
// decimal point. Returns what snprintf returns.
int FormatNumber(char* buffer, std::size_t size, const char* spec, long long value);
int FormatNumber(char* buffer, std::size_t size, const char* spec, unsigned long long value);
int FormatNumber(char* buffer, std::size_t size, const char* spec, double value);
int FormatNumber(char* buffer, std::size_t size, const char* spec, const void* value);

}  // namespace ZV::Platform
