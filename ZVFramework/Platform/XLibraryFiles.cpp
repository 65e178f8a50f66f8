#include "Platform/XLibraryFiles.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/JudgedIncludes.h"
#include "Platform/JudgedPaths.h"
#include "Platform/StandardError.h"
#include "Platform/XLibraryIncludes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace ZV::Platform {

namespace {

// libXcursor's own list (1.2, as Debian builds it) when XCURSOR_PATH is not set.
constexpr char kCursorFoldersOfTheLibrary[] = "~/.icons:/usr/share/icons:/usr/share/pixmaps";

void Say(const std::string& line)
{
    WriteDebuggerOutput((EscapeForLine(line) + "\n").c_str());
}

std::vector<std::string> SplitList(std::string_view list)
{
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        entries.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

void DropRefusedLocaleFolders()
{
    const char* value = std::getenv("XLOCALEDIR");
    if (value == nullptr) {
        return;
    }
    for (const std::string& folder : SplitList(value)) {
        if (const RefusedFolder refused = JudgeLibraryPath(folder).Refused; refused.IsRefused()) {
            Say("The X libraries read nothing that XLOCALEDIR names, as " + DescribeRefusal(folder, refused) + ".");
            unsetenv("XLOCALEDIR");
            return;
        }
    }
}

// A table that includes the locale's own and nothing else, for as long as the process runs; an empty one when the
// system cannot make it.
std::string MakeLocalesOwnComposeTable()
{
    constexpr std::string_view kTable = "include \"%L\"\n";
    const int table = memfd_create("compose table", MFD_CLOEXEC);
    if (table < 0) {
        return "/dev/null";
    }
    if (write(table, kTable.data(), kTable.size()) != static_cast<ssize_t>(kTable.size())) {
        close(table);
        return "/dev/null";
    }
    return "/proc/self/fd/" + std::to_string(table);
}

// libX11 reads XCOMPOSEFILE when it is set; else the home's table when it is there, else the locale's own.
void KeepComposeTableJudged()
{
    const char* named = std::getenv("XCOMPOSEFILE");
    const char* home = std::getenv("HOME");
    if (named == nullptr && home == nullptr) {
        return;
    }
    const std::string file = named != nullptr ? std::string(named) : std::string(home) + "/.XCompose";
    const RefusedFolder refused = JudgeFileAndIncludes(
        file, [](std::string_view text, const std::string&) { return FindComposeIncludes(text); });
    if (!refused.IsRefused()) {
        return;
    }
    Say("The X libraries read no compose table from " + file + ", as " + DescribeRefusal(file, refused) +
        "; the locale's own is used.");
    setenv("XCOMPOSEFILE", MakeLocalesOwnComposeTable().c_str(), 1);
}

// The folder that libXcursor reads themes from for an entry of its list: "~" is $HOME (without it the entry is
// skipped), any other entry is taken from "/".
std::optional<std::string> GetCursorFolder(const std::string& entry, const char* home)
{
    if (!entry.starts_with('~')) {
        return entry.starts_with('/') ? entry : "/" + entry;
    }
    if (home == nullptr) {
        return std::nullopt;
    }
    return std::string(home) + "/" + entry.substr(std::min(entry.find_first_not_of('/', 1), entry.size()));
}

void KeepCursorThemesJudged()
{
    const char* named = std::getenv("XCURSOR_PATH");
    const char* home = std::getenv("HOME");
    std::string kept;
    bool dropped = false;
    for (const std::string& entry : SplitList(named != nullptr ? named : kCursorFoldersOfTheLibrary)) {
        const std::optional<std::string> folder = GetCursorFolder(entry, home);
        RefusedFolder refused;
        // Of the library's own list, the system's folders are the system's.
        if (folder && (named != nullptr || entry.starts_with('~'))) {
            refused = folder->find_first_not_of('/') == std::string::npos
                          ? RefusedFolder{"/", "is the whole system's folder"}
                          : JudgeLibraryPath(*folder).Refused;
        }
        if (refused.IsRefused()) {
            Say("The X libraries read no cursor themes from " + *folder + ", as " + DescribeRefusal(*folder, refused) +
                ".");
        }
        if (!folder || refused.IsRefused()) {
            dropped = true;
            continue;
        }
        kept += (kept.empty() ? "" : ":") + entry;
    }
    if (dropped) {
        setenv("XCURSOR_PATH", kept.c_str(), 1);
    }
    const char* theme = std::getenv("XCURSOR_THEME");
    if (theme != nullptr && std::string_view(theme).find('/') != std::string_view::npos) {
        Say(std::string("The X libraries take XCURSOR_THEME as unset, as ") + theme + " names a folder.");
        unsetenv("XCURSOR_THEME");
    }
}

}  // namespace

void KeepXLibrariesToJudgedFiles()
{
    // First: the compose table's "%S" and "%L" name the locales' folders.
    DropRefusedLocaleFolders();
    KeepComposeTableJudged();
    KeepCursorThemesJudged();
}

}  // namespace ZV::Platform
