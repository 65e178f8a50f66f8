#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Language ids numbered as the original platform numbers them (0x0409 English (United States), 0x0407 German
// (Germany)): the primary language in the low 10 bits, the sub-language above.
namespace ZV::Platform {

inline constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;
inline constexpr std::uint16_t kLanguageEnglishUnitedStates = 0x0409;

// The id of a locale name such as "de_DE.UTF-8", "en_GB", "pt" or "sr_RS@latin". "C", "POSIX", empty names and
// languages the table does not know give English (United States).
std::uint16_t LanguageIdFromLocaleName(std::string_view localeName);

// The user's language: the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty.
std::uint16_t GetUserDefaultLanguageId();
// The machine's language: LANG in /etc/default/locale.
std::uint16_t GetSystemDefaultLanguageId();

// For tests: ids that the two queries above answer instead of reading the environment; nullopt reads it again.
void OverrideLanguageIds(std::optional<std::uint16_t> user, std::optional<std::uint16_t> system);

}  // namespace ZV::Platform
