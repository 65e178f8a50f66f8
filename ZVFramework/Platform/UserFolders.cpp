#include "Platform/UserFolders.h"

#include "Platform/JudgedPaths.h"

#include <cstdlib>
#include <sstream>

namespace ZV::Platform {

namespace {

// The variable's value when it names an absolute path; the XDG rules ignore relative ones.
std::string AbsolutePathVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] != '\0' ? std::string(home) : std::string();
}

// The folder the variable names, else its default under the home folder; empty without either.
std::string XdgFolder(const char* variable, const char* underHome)
{
    if (std::string folder = AbsolutePathVariable(variable); !folder.empty()) {
        return folder;
    }
    const std::string home = HomeFolder();
    return home.empty() ? home : home + underHome;
}

// The folder of one line of user-dirs.dirs, 'XDG_DOCUMENTS_DIR="$HOME/Documents"', or empty: the value is quoted
// and either absolute or under $HOME.
std::string ParseUserDirsLine(const std::string& line, const std::string& key, const std::string& home)
{
    const std::string prefix = key + "=\"";
    if (line.compare(0, prefix.size(), prefix) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
        return {};
    }
    const std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    static const std::string kHomeReference = "$HOME";
    if (value.compare(0, kHomeReference.size(), kHomeReference) == 0) {
        return home + value.substr(kHomeReference.size());
    }
    return value.starts_with('/') ? value : std::string();
}

}  // namespace

std::string GetUserDataFolder()
{
    return XdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string GetUserConfigFolder()
{
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string GetUserStateFolder()
{
    return XdgFolder("XDG_STATE_HOME", "/.local/state");
}

std::string GetDocumentsFolder()
{
    const std::string home = HomeFolder();
    if (home.empty()) {
        return home;
    }
    // Never a list that another user could write or swap: it would name the folder the program makes.
    const std::string listPath = GetUserConfigFolder() + "/user-dirs.dirs";
    const PathJudgement judged = JudgeLibraryPath(listPath);
    std::string list;
    if (judged.Exists && !judged.Refused.IsRefused() && ReadJudgedFile(listPath, list)) {
        std::istringstream lines(list);
        for (std::string line; std::getline(lines, line);) {
            if (std::string documents = ParseUserDirsLine(line, "XDG_DOCUMENTS_DIR", home); !documents.empty()) {
                return documents;
            }
        }
    }
    return home + "/Documents";
}

}  // namespace ZV::Platform
