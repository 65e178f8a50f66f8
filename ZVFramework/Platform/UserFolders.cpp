#include "Platform/UserFolders.h"

#include "Platform/FileSystem.h"

#include <cstdlib>

namespace ZV::Platform {

std::string GetUserDataFolder()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return data;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share";
    }
    return {};
}

bool CreateFolderPath(const std::string& path)
{
    for (std::size_t end = path.find(kPathSeparator, 1);; end = path.find(kPathSeparator, end + 1)) {
        const std::string part = path.substr(0, end);
        if (!part.empty() && GetPathKind(part.c_str()) != PathKind::folder) {
            (void)CreateFolder(part.c_str());
        }
        if (end == std::string::npos) {
            return GetPathKind(path.c_str()) == PathKind::folder;
        }
    }
}

}  // namespace ZV::Platform
