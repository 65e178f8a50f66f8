#include "Application/ApplicationFolders.h"

#include "Platform/FileSystem.h"
#include "Platform/UserFolders.h"
#include "Platform/VersionInfo.h"
#include "Utilities/Storage/ZVFile.h"

#include <map>

namespace ZV {

namespace {

constexpr wchar_t kResourceMarker[] = L"::";

std::map<std::int32_t, WideString>& GetOverrides()
{
    static std::map<std::int32_t, WideString> overrides;
    return overrides;
}

// The folder when it exists or could be made; else empty.
WideString Ensured(const WideString& folder)
{
    return !folder.IsEmpty() && Succeeded(File::EnsureFolderExists(folder)) ? folder : WideString();
}

// The system's folder with a folder of the company and in it one of the product; each level is made when missing.
WideString CompanyProductFolder(const std::string& systemFolder, const WideString& companyName,
                                const WideString& productName)
{
    const WideString system = Ensured(WideString(systemFolder.c_str()));
    if (system.IsEmpty()) {
        return system;
    }
    const WideString separator(static_cast<wchar_t>(Platform::kPathSeparator));
    const WideString company = Ensured(system + separator + File::MakeValidFileName(companyName));
    if (company.IsEmpty()) {
        return company;
    }
    return Ensured(company + separator + File::MakeValidFileName(productName));
}

WideString ProgramFolder()
{
    return File::GetParentFolder(WideString(Platform::GetModuleFileName(Platform::kProgramModule).c_str()));
}

}  // namespace

bool FindApplicationFolder(std::int32_t id, const WideString& companyName, const WideString& productName,
                           WideString& path)
{
    if (const auto found = GetOverrides().find(id); found != GetOverrides().end()) {
        path = found->second;
        return true;
    }
    switch (id) {
    case kProgramFolder:
        path = ProgramFolder();
        return true;
    case kResourceFolder:
        path = kResourceMarker;
        return true;
    case kSharedDataFolder:
        path = CompanyProductFolder(Platform::GetUserConfigFolder(), companyName, productName);
        return true;
    case kUserDataFolder:
        path = CompanyProductFolder(Platform::GetUserDataFolder(), companyName, productName);
        return true;
    case kDocumentsFolder:
        path = Ensured(WideString(Platform::GetDocumentsFolder().c_str()));
        return true;
    default:
        return false;
    }
}

void SetApplicationFolderOverride(std::int32_t id, const WideString& path)
{
    if (path.IsEmpty()) {
        GetOverrides().erase(id);
    } else {
        GetOverrides()[id] = path;
    }
}

}  // namespace ZV
