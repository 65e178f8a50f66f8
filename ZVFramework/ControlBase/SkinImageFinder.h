#pragma once

#include "Platform/FolderListing.h"
#include "Utilities/Storage/StringT.h"

#include <map>
#include <string>
#include <string_view>

namespace ZV {

// Finds the image files that the parts of a skin name: the image prefix followed by the file name. A prefix of "::"
// names resources, whose names match in any letter case anyway, and an empty prefix leaves the name as it is. Any
// other prefix is a skin folder; when it holds no file of exactly that name, the first file by name that matches in
// another letter case is taken, if there is one, since skins are written for file systems that ignore letter case.
//
// A folder is listed once, the first time a name in it is asked for, and every later name in it is found in that
// listing: one finder serves one load, and files that appear after the listing are not seen.
class SkinImageFinder {
public:
    WideString Find(const WideString& prefix, const WideString& fileName);
    // The same for a name as the skin document gives it, in UTF-8, lower-cased first when lowerCase is set.
    WideString Find(const WideString& prefix, const char* fileName, bool lowerCase);

private:
    const Platform::FolderFileIndex& IndexFolder(const WideString& folder);
    // The index of the folder that a prefix ending in a separator names, kept for the prefix asked for last.
    const Platform::FolderFileIndex& IndexPrefixFolder(const WideString& prefix);

    // Copies a name of ASCII characters without separators, the usual image name, into mName, lower-cased when
    // lowerCase is set; false for any other name.
    bool CopyPlainName(const char* fileName, bool lowerCase);

    std::map<WideString, Platform::FolderFileIndex> mFolders;
    WideString mLastPrefix;
    const Platform::FolderFileIndex* mLastPrefixIndex = nullptr;
    // Reused from name to name.
    std::string mName;
};

}  // namespace ZV
