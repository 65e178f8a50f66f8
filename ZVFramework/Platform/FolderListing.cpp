#include "Platform/FolderListing.h"

#include "Platform/FileNamePattern.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
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

// Hands the name of every file of the folder, sub-folders left out, to accept, in the order the system lists them.
template <class Accept>
FolderListingResult ReadFileNames(const char* folder, Accept accept)
{
    if (GetPathKind(folder) != PathKind::folder) {
        return FolderListingResult::folderMissing;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(folder), &::closedir);
    if (!stream) {
        return FolderListingResult::failed;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream.get());
        if (entry == nullptr) {
            return errno != 0 ? FolderListingResult::failed : FolderListingResult::ok;
        }
        if (!IsFolderEntry(folder, *entry)) {
            accept(entry->d_name);
        }
    }
}

}  // namespace

FolderListingResult ListMatchingFiles(const char* folder, std::string_view pattern, std::vector<std::string>& names)
{
    names.clear();
    const FolderListingResult result = ReadFileNames(folder, [&](const char* name) {
        if (MatchesFileNamePattern(name, pattern)) {
            names.emplace_back(name);
        }
    });
    if (result != FolderListingResult::ok) {
        names.clear();
        return result;
    }
    SortByFoldedName(names);
    return FolderListingResult::ok;
}

FolderFileIndex::FolderFileIndex(const char* folder)
{
    const FolderListingResult result = ReadFileNames(folder, [&](const char* name) {
        std::vector<std::string>& sameName = mFiles[FoldFileNameCase(name)];
        sameName.insert(std::upper_bound(sameName.begin(), sameName.end(), std::string_view(name)), name);
    });
    if (result != FolderListingResult::ok) {
        mFiles.clear();
    }
}

const std::string* FolderFileIndex::Find(std::string_view name) const
{
    const auto found = mFiles.find(FoldFileNameCase(name));
    if (found == mFiles.end()) {
        return nullptr;
    }
    const std::vector<std::string>& sameName = found->second;
    const auto exact = std::lower_bound(sameName.begin(), sameName.end(), name);
    return exact != sameName.end() && *exact == name ? &*exact : &sameName.front();
}

}  // namespace ZV::Platform
