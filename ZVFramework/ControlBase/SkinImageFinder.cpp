#include "ControlBase/SkinImageFinder.h"

#include "Utilities/Storage/ZVFile.h"

#include <string>

namespace ZV {

WideString SkinImageFinder::Find(const WideString& prefix, const WideString& fileName)
{
    const WideString path = prefix + fileName;
    const bool isFolder = !prefix.IsEmpty() && prefix.Find(WideString(L"::")) != 0;
    if (!isFolder) {
        return path;
    }
    const WideString folder = File::GetParentFolder(path);
    const WideString name = File::GetFileName(path);
    const std::string* found = IndexFolder(folder).Find(name.ToUTF8().GetData());
    if (found == nullptr) {
        return path;
    }
    const WideString foundName(found->c_str());
    if (foundName == name) {
        return path;
    }
    WideString foundPath = folder;
    if (foundPath.IsEmpty() || foundPath.GetData()[foundPath.GetLength() - 1] != kPathSep) {
        foundPath.AppendChar(kPathSep);
    }
    return foundPath + foundName;
}

const Platform::FolderFileIndex& SkinImageFinder::IndexFolder(const WideString& folder)
{
    auto entry = mFolders.find(folder);
    if (entry == mFolders.end()) {
        entry = mFolders.try_emplace(folder, folder.ToUTF8().GetData()).first;
    }
    return entry->second;
}

}  // namespace ZV
