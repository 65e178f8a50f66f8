#include "Platform/LibraryVariables.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/FontLibraryFiles.h"
#include "Platform/JudgedPaths.h"
#include "Platform/StandardError.h"
#include "Platform/XLibraryFiles.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace ZV::Platform {

namespace {

void Say(const std::string& line)
{
    WriteDebuggerOutput((EscapeForLine(line) + "\n").c_str());
}

std::string Why(const RefusedFolder& refused)
{
    return refused.Path + " " + refused.Exposure;
}

void DropRelativeXdgFolders()
{
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || value[0] == '/') {
            continue;
        }
        if (value[0] != '\0') {
            Say(std::string("The font and sound libraries take ") + variable + " as unset, as " + value +
                " is not an absolute path.");
        }
        unsetenv(variable);
    }
}

// The library would read the fonts folder of each entry, and cannot take an empty one.
void DropRefusedXdgDataFolders()
{
    const char* value = std::getenv("XDG_DATA_DIRS");
    if (value == nullptr) {
        return;
    }
    const std::string_view list = value;
    std::string kept;
    bool dropped = false;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string folder(list.substr(start, end - start));
        start = end + 1;
        if (folder.empty()) {
            dropped = true;
            continue;
        }
        std::string why;
        if (!folder.starts_with('/')) {
            why = folder + " is not an absolute path";
        } else if (const RefusedFolder refused = JudgeLibraryPath(folder + "/fonts").Refused; refused.IsRefused()) {
            why = Why(refused);
        }
        if (!why.empty()) {
            Say("XDG_DATA_DIRS is taken without " + folder + ", as " + why + ".");
            dropped = true;
            continue;
        }
        kept += (kept.empty() ? "" : ":") + folder;
    }
    if (!dropped) {
        return;
    }
    if (kept.empty()) {
        unsetenv("XDG_DATA_DIRS");
    } else {
        setenv("XDG_DATA_DIRS", kept.c_str(), 1);
    }
}

void DropRefusedFontLibraryVariables()
{
    constexpr const char* kVariables[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"};
    if (std::getenv(kVariables[0]) == nullptr && std::getenv(kVariables[1]) == nullptr &&
        std::getenv(kVariables[2]) == nullptr) {
        return;
    }
    // The home's own reaches are judged when the library starts (Platform/FontLibrary.h), where it can be left out.
    const RefusedFolder refused = FindRefusedFontLibraryPath(FontLibraryReach::variables, true);
    if (!refused.IsRefused()) {
        return;
    }
    Say("The font library reads nothing that FONTCONFIG_FILE, FONTCONFIG_PATH or FONTCONFIG_SYSROOT names, as " +
        Why(refused) + ".");
    for (const char* variable : kVariables) {
        unsetenv(variable);
    }
}

void DropRefusedSoundLibraryFolders()
{
    for (const char* variable : {"ALSA_CONFIG_DIR", "ALSA_PLUGIN_DIR"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr) {
            continue;
        }
        const RefusedFolder refused = JudgeLibraryPath(value).Refused;
        if (refused.IsRefused()) {
            Say(std::string("The sound library reads nothing that ") + variable + " names, as " + Why(refused) + ".");
            unsetenv(variable);
        }
    }
}

}  // namespace

void DropRefusedLibraryVariables()
{
    DropRelativeXdgFolders();
    DropRefusedXdgDataFolders();
    DropRefusedFontLibraryVariables();
    DropRefusedSoundLibraryFolders();
    KeepXLibrariesToJudgedFiles();
}

}  // namespace ZV::Platform
