#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ZV::Platform {

enum class FolderListingResult {
    ok,
    // The folder does not exist or is not a folder.
    folderMissing,
    failed,
};

// The names (not paths) of the files in a folder that match a wildcard pattern (MatchesFileNamePattern), sorted
// without regard to case, names that differ only in case by their bytes. Sub-folders are never listed. names is
// emptied first; it holds nothing but the result's names when the result is ok.
FolderListingResult ListMatchingFiles(const char* folder, std::string_view pattern, std::vector<std::string>& names);

// The files of a folder by name in any letter case, listed once when the index is made: files that come later are
// not in it. A folder that cannot be listed gives an empty index.
class FolderFileIndex {
public:
    explicit FolderFileIndex(const char* folder);

    // The name of the file called so, else the first in ListMatchingFiles's order of the files whose names differ
    // from it only in letter case; null when there is none.
    const std::string* Find(std::string_view name) const;

private:
    // The files whose names differ in letter case only: the first in byte order, and the others.
    struct SameName {
        std::string first;
        std::vector<std::string> others;
    };

    // By the names' folded keys.
    std::unordered_map<std::string, SameName> mFiles;
};

}  // namespace ZV::Platform
