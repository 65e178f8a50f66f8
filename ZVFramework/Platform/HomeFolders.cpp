#include "Platform/HomeFolders.h"

#include "Platform/CheckedFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace ZV::Platform {

std::string GetFolderNamedBy(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] == '\0') {
        return std::string();
    }
    if (value[0] == '/') {
        return value;
    }
    const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    return current != nullptr ? std::string(current.get()) + "/" + value : std::string();
}

std::string GetAccountHome(const char* name)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    const int error = name != nullptr ? getpwnam_r(name, &entry, buffer.data(), buffer.size(), &found)
                                      : getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
    return error == 0 && found != nullptr ? found->pw_dir : std::string();
}

std::string GetLibraryHome()
{
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : GetAccountHome();
}

std::string GetXdgFolder(const char* variable, const char* underHome)
{
    std::string folder = GetFolderNamedBy(variable);
    if (folder.empty()) {
        const std::string home = GetFolderNamedBy("HOME");
        if (!home.empty()) {
            folder = home + underHome;
        }
    }
    return folder;
}

std::string DescribeRefusal(const std::string& file, const RefusedFolder& refused)
{
    return (refused.Path == file ? std::string("it") : refused.Path) + " " + refused.Exposure;
}

RefusedFolder FindRefusedFolder(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        if (folder.empty()) {
            continue;
        }
        const CheckedFolder checked = CheckedFolder::Open(folder, CheckedFolder::Missing::refuse);
        if (checked.IsUnsafe()) {
            return {checked.GetExposedPath(), checked.GetExposure()};
        }
    }
    return {};
}

}  // namespace ZV::Platform
