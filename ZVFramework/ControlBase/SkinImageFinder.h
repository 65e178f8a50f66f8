#pragma once

#include "ControlBase/NameMap.h"
#include "Utilities/Storage/StringT.h"

#include <map>

namespace ZV {

// Finds the image files that the parts of a skin name: the image prefix followed by the file name. A prefix of "::"
// names resources, whose names match in any letter case anyway, and an empty prefix leaves the name as it is. Any
// other prefix is a skin folder; when it holds no file of exactly that name, the first file by name that matches in
// another letter case is taken, if there is one, since skins are written for file systems that ignore letter case.
//
// A folder is listed once, the first time a name in it is missed, and its files are kept by their lower-cased names:
// one finder serves one load, and files that appear after the listing are not seen.
class SkinImageFinder {
public:
    WideString Find(const WideString& prefix, const WideString& fileName);

private:
    // The files of a folder by lower-cased name; the first by name of those that differ in letter case only.
    const NameMap<WideString>& ListFolder(const WideString& folder);

    std::map<WideString, NameMap<WideString>> mFolders;
};

}  // namespace ZV
