#include "Platform/LanguageId.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

namespace ZV::Platform {

namespace {

constexpr std::uint16_t kSubLanguageDefault = 1;

struct PrimaryLanguage {
    const char* code;
    std::uint16_t primary;
};

// ISO 639-1 codes to primary language numbers.
constexpr PrimaryLanguage kPrimaryLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08},
    {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10},
    {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18},
    {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F},
    {"id", 0x21}, {"uk", 0x22}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27}, {"vi", 0x2A}, {"hi", 0x39},
};

struct RegionalLanguage {
    const char* locale;
    std::uint16_t id;
};

// Regions whose sub-language is not the default one.
constexpr RegionalLanguage kRegionalLanguages[] = {
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C}, {"es_MX", 0x080A}, {"it_CH", 0x0810}, {"nl_BE", 0x0813}, {"pt_PT", 0x0816},
    {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"sv_FI", 0x081D},
    {"nn_NO", 0x0814},
};

struct Overrides {
    std::mutex lock;
    std::optional<std::uint16_t> user;
    std::optional<std::uint16_t> system;
};

Overrides& TheOverrides()
{
    static Overrides overrides;
    return overrides;
}

std::optional<std::uint16_t> OverriddenId(bool user)
{
    Overrides& overrides = TheOverrides();
    std::lock_guard guard(overrides.lock);
    return user ? overrides.user : overrides.system;
}

char ToLowerAscii(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

char ToUpperAscii(char character)
{
    return character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character;
}

}  // namespace

std::uint16_t LanguageIdFromLocaleName(std::string_view localeName)
{
    const std::string_view withoutSuffix = localeName.substr(0, localeName.find_first_of(".@"));
    const std::size_t underscore = withoutSuffix.find('_');
    std::string language;
    for (char character : withoutSuffix.substr(0, underscore)) {
        language += ToLowerAscii(character);
    }
    if (underscore != std::string_view::npos) {
        std::string locale = language + '_';
        for (char character : withoutSuffix.substr(underscore + 1)) {
            locale += ToUpperAscii(character);
        }
        for (const RegionalLanguage& regional : kRegionalLanguages) {
            if (locale == regional.locale) {
                return regional.id;
            }
        }
    }
    for (const PrimaryLanguage& entry : kPrimaryLanguages) {
        if (language == entry.code) {
            return static_cast<std::uint16_t>(kSubLanguageDefault << 10 | entry.primary);
        }
    }
    return kLanguageEnglishUnitedStates;
}

std::uint16_t GetUserDefaultLanguageId()
{
    if (const std::optional<std::uint16_t> overridden = OverriddenId(true)) {
        return *overridden;
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != 0) {
            return LanguageIdFromLocaleName(value);
        }
    }
    return kLanguageEnglishUnitedStates;
}

std::uint16_t GetSystemDefaultLanguageId()
{
    if (const std::optional<std::uint16_t> overridden = OverriddenId(false)) {
        return *overridden;
    }
    std::ifstream settings("/etc/default/locale");
    std::string line;
    while (std::getline(settings, line)) {
        if (!line.starts_with("LANG=")) {
            continue;
        }
        std::string value = line.substr(5);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return LanguageIdFromLocaleName(value);
    }
    return kLanguageEnglishUnitedStates;
}

void OverrideLanguageIds(std::optional<std::uint16_t> user, std::optional<std::uint16_t> system)
{
    Overrides& overrides = TheOverrides();
    std::lock_guard guard(overrides.lock);
    overrides.user = user;
    overrides.system = system;
}

}  // namespace ZV::Platform
