#pragma once

#include <string>
#include <string_view>
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

}  // namespace ZV::Platform
