#include "Platform/FolderListing.h"

#include "Platform/FileNamePattern.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <utility>

namespace ZV::Platform {

namespace {

bool IsFolderEntry(const char* folder, const dirent& entry)
{
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return false;
    }
    const std::string path = std::string(folder) + kPathSeparator + entry.d_name;
    return GetPathKind(path.c_str()) == PathKind::folder;
}

void SortByFoldedName(std::vector<std::string>& names)
{
    std::vector<std::pair<std::u32string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        keyed.emplace_back(FoldFileNameCase(name), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        names[i] = std::move(keyed[i].second);
    }
}

}  // namespace

FolderListingResult ListMatchingFiles(const char* folder, std::string_view pattern, std::vector<std::string>& names)
{
    names.clear();
    if (GetPathKind(folder) != PathKind::folder) {
        return FolderListingResult::folderMissing;
    }
    DIR* stream = ::opendir(folder);
    if (stream == nullptr) {
        return FolderListingResult::failed;
    }
    bool failed = false;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream);
        if (entry == nullptr) {
            failed = errno != 0;
            break;
        }
        if (!IsFolderEntry(folder, *entry) && MatchesFileNamePattern(entry->d_name, pattern)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(stream);
    if (failed) {
        names.clear();
        return FolderListingResult::failed;
    }
    SortByFoldedName(names);
    return FolderListingResult::ok;
}

}  // namespace ZV::Platform
