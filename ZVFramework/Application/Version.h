#pragma once

#include "Platform/VersionInfo.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

namespace ZV {

// The version information of a module (in practice the program), read in the translation that suits the user: the
// user's language, else the machine's, else English, else the first one listed. Languages match by their primary
// language only, so a British user reads the American English strings.
class Version {
public:
    // Throws a runtime error whose message is the application's text for 903 (no module file name), 902 (no version
    // information), 901 (unreadable) or 900 (no translation).
    explicit Version(Platform::ModuleHandle module);
    Version(const Version&) = delete;
    Version& operator=(const Version&) = delete;

    WideString GetCompanyName() const { return GetString("CompanyName"); }
    WideString GetProductName() const { return GetString("ProductName"); }
    WideString GetProductVersion() const { return GetString("ProductVersion"); }
    // The value of key in the chosen translation's strings; empty when it has none.
    WideString GetString(const char* key) const;

private:
    std::unique_ptr<unsigned char[]> mVersionData;
    std::uint32_t mVersionSize = 0;
    Platform::VersionTranslation mTranslation{};
};

}  // namespace ZV
