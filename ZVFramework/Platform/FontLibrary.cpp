#include "Platform/FontLibrary.h"

#include "Platform/CheckedFolder.h"
#include "Platform/DebuggerOutput.h"
#include "Platform/StandardError.h"

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZV::Platform {

namespace {

// The folder the variable names, as the font library takes it: a relative one from the current folder. Empty when the
// variable is unset or empty.
std::string FolderNamedBy(const char* variable)
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

// The home and the folders the font library finds through it: where it reads its configuration, keeps its caches and
// looks for the user's fonts.
std::vector<std::string> FoldersOfTheHome()
{
    struct XdgFolder {
        const char* variable;
        const char* underHome;
    };
    static constexpr XdgFolder kXdgFolders[] = {
        {"XDG_CONFIG_HOME", "/.config"}, {"XDG_CACHE_HOME", "/.cache"}, {"XDG_DATA_HOME", "/.local/share"}};
    const std::string home = FolderNamedBy("HOME");
    std::vector<std::string> folders;
    if (!home.empty()) {
        folders.push_back(home);
    }
    for (const XdgFolder& xdg : kXdgFolders) {
        std::string folder = FolderNamedBy(xdg.variable);
        if (folder.empty() && !home.empty()) {
            folder = home + xdg.underHome;
        }
        if (!folder.empty()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

void KeepOutOfARefusedHome()
{
    for (const std::string& folder : FoldersOfTheHome()) {
        const CheckedFolder checked = CheckedFolder::Open(folder, CheckedFolder::Missing::refuse);
        if (checked.IsUnsafe()) {
            FcConfigEnableHome(FcFalse);
            const std::string line = EscapeForLine("The font library reads no fonts or settings from the home and "
                                                   "keeps no cache there, as " +
                                                   checked.GetExposedPath() + " " + checked.GetExposure() + ".") +
                                     "\n";
            WriteDebuggerOutput(line.c_str());
            return;
        }
    }
}

}  // namespace

void StartFontLibrary()
{
    static std::once_flag started;
    std::call_once(started, KeepOutOfARefusedHome);
}

}  // namespace ZV::Platform
