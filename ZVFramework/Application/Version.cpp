#include "Application/Version.h"

#include "Application/ExceptionMessage.h"
#include "ObjectBase/Exception.h"
#include "Platform/LanguageId.h"
#include "Platform/FileSystem.h"

#include <new>
#include <string>
#include <vector>

namespace ZV {

namespace {

constexpr int kNoModuleFileName = 903;
constexpr int kNoVersionInformation = 902;
constexpr int kUnreadableVersionInformation = 901;
constexpr int kNoTranslation = 900;

std::string MessageFor(int exceptionNumber)
{
    return GetExceptionMessage(exceptionNumber).ToUTF8().GetData();
}

const Platform::VersionTranslation* FirstWithPrimaryLanguage(
    const std::vector<Platform::VersionTranslation>& translations, std::uint16_t languageId)
{
    for (const Platform::VersionTranslation& translation : translations) {
        if ((translation.languageId & Platform::kPrimaryLanguageMask) ==
            (languageId & Platform::kPrimaryLanguageMask)) {
            return &translation;
        }
    }
    return nullptr;
}

Platform::VersionTranslation ChooseTranslation(const std::vector<Platform::VersionTranslation>& translations)
{
    for (const std::uint16_t languageId : {Platform::GetUserDefaultLanguageId(), Platform::GetSystemDefaultLanguageId(),
                                           Platform::kLanguageEnglishUnitedStates}) {
        if (const Platform::VersionTranslation* found = FirstWithPrimaryLanguage(translations, languageId)) {
            return *found;
        }
    }
    return translations.front();
}

void AppendHexWord(std::string& text, std::uint16_t word)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(word >> shift) & 0xF];
    }
}

}  // namespace

Version::Version(Platform::ModuleHandle module)
{
    const std::string modulePath = Platform::GetModuleFileName(module);
    if (modulePath.empty()) {
        ZV_THROW(std::runtime_error, MessageFor(kNoModuleFileName));
    }
    // Taken from the bytes: a folder whose name is not UTF-8 would cut a conversion to text short.
    const std::string moduleName = modulePath.substr(modulePath.rfind(Platform::kPathSeparator) + 1);
    mVersionSize = Platform::GetFileVersionInfoSize(moduleName);
    if (mVersionSize == 0) {
        ZV_THROW(std::runtime_error, MessageFor(kNoVersionInformation));
    }
    mVersionData.reset(new (std::nothrow) unsigned char[mVersionSize]);
    if (mVersionData == nullptr) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    if (!Platform::GetFileVersionInfo(moduleName, mVersionSize, mVersionData.get())) {
        ZV_THROW(std::runtime_error, MessageFor(kUnreadableVersionInformation));
    }
    std::vector<Platform::VersionTranslation> translations;
    // An empty table is as useless as a missing one: there is no entry to read.
    if (!Platform::QueryVersionTranslations(mVersionData.get(), mVersionSize, translations) || translations.empty()) {
        ZV_THROW(std::runtime_error, MessageFor(kNoTranslation));
    }
    mTranslation = ChooseTranslation(translations);
}

WideString Version::GetString(const char* key) const
{
    if (mVersionData == nullptr) {
        return WideString();
    }
    std::string path = "\\StringFileInfo\\";
    AppendHexWord(path, mTranslation.languageId);
    AppendHexWord(path, mTranslation.codePage);
    path += '\\';
    path += key;
    std::string value;
    if (!Platform::QueryVersionValue(mVersionData.get(), mVersionSize, path, value)) {
        return WideString();
    }
    return WideString(value.c_str());
}

}  // namespace ZV
