#include "Application/ApplicationFolders.h"

#include "ControlBase/DebugLine.h"
#include "Platform/CheckedFolder.h"
#include "Platform/FileSystem.h"
#include "Platform/SaidOnce.h"
#include "Platform/UserFolders.h"
#include "Platform/VersionInfo.h"
#include "Utilities/Storage/ZVFile.h"

#include <map>
#include <string>

namespace ZV {

namespace {

constexpr wchar_t kResourceMarker[] = L"::";

std::map<std::int32_t, WideString>& GetOverrides()
{
    static std::map<std::int32_t, WideString> overrides;
    return overrides;
}

// The folder as the framework's text, which gives back its very bytes whenever it is turned into UTF-8 again; else
// empty, and said once on the standard error: a name cut or changed by the conversion would lead to another folder.
WideString FolderAsText(const std::string& folder)
{
    WideString text;
    if (Succeeded(text.AssignFromUTF8(folder.c_str(), -1)) && folder == text.ToUTF8().GetData()) {
        return text;
    }
    Platform::WriteLineOnceToStandardError("The folder " + folder +
                                           " is not used, as its name is not UTF-8 text; nothing is read from or "
                                           "written to it.");
    return WideString();
}

// The folder when the system names one and it passes the check, made when missing (with the folders above it that are
// missing, each inside a checked one); else empty, and why said once: on the standard error when its name is not
// text or another user could change it, on the debug output when it cannot be made.
WideString Checked(const std::string& folder)
{
    if (folder.empty()) {
        return WideString();
    }
    WideString text = FolderAsText(folder);
    if (text.IsEmpty()) {
        return text;
    }
    using Platform::CheckedFolder;
    const CheckedFolder checked = CheckedFolder::Open(folder, CheckedFolder::Missing::make);
    if (checked.IsOpen()) {
        return text;
    }
    if (checked.IsUnsafe()) {
        Platform::WriteLineOnceToStandardError("The folder " + folder + " is not used, as " +
                                               checked.GetExposedPath() + " " + checked.GetExposure() +
                                               "; nothing is read from or written to it.");
    } else if (const std::string line = "The folder " + folder + " " + checked.GetRefusal() + ".";
               Platform::IsSaidForTheFirstTime(line)) {
        WriteDebugLine(line);
    }
    return WideString();
}

// The system's folder with a folder of the company and in it one of the product.
WideString CompanyProductFolder(const std::string& systemFolder, const WideString& companyName,
                                const WideString& productName)
{
    if (systemFolder.empty()) {
        return WideString();
    }
    const std::string separator(1, Platform::kPathSeparator);
    return Checked(systemFolder + separator + File::MakeValidFileName(companyName).ToUTF8().GetData() + separator +
                   File::MakeValidFileName(productName).ToUTF8().GetData());
}

WideString ProgramFolder()
{
    const std::string program = Platform::GetModuleFileName(Platform::kProgramModule);
    const std::size_t separator = program.rfind(Platform::kPathSeparator);
    if (separator == std::string::npos) {
        return WideString();
    }
    return FolderAsText(program.substr(0, separator == 0 ? 1 : separator));
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
        path = Checked(Platform::GetDocumentsFolder());
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
