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
    const auto utf8Name = name.ToUTF8();
    const std::string* found = IndexFolder(folder).Find(utf8Name.GetData());
    if (found == nullptr || *found == utf8Name.GetData()) {
        return path;
    }
    WideString foundPath = folder;
    if (foundPath.IsEmpty() || foundPath.GetData()[foundPath.GetLength() - 1] != kPathSep) {
        foundPath.AppendChar(kPathSep);
    }
    return foundPath + WideString(found->c_str());
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
