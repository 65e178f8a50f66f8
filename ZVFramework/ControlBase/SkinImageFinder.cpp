#include "ControlBase/SkinImageFinder.h"

#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/ZVFile.h"

namespace ZV {

WideString SkinImageFinder::Find(const WideString& prefix, const WideString& fileName)
{
    const WideString path = prefix + fileName;
    const bool isFolder = !prefix.IsEmpty() && prefix.Find(WideString(L"::")) != 0;
    if (!isFolder || File::FileExists(path)) {
        return path;
    }
    const WideString* found = ListFolder(File::GetParentFolder(path)).Find(File::GetFileName(path).ToLower());
    return found != nullptr ? *found : path;
}

const NameMap<WideString>& SkinImageFinder::ListFolder(const WideString& folder)
{
    const auto [entry, isNew] = mFolders.try_emplace(folder);
    if (isNew) {
        WideStringArray files;
        if (File::ListFiles(folder, WideString(L"*"), files) > 0) {
            // The listing is sorted by name, so the first of each lower-cased name stays.
            for (std::uint32_t i = 0; i < files.GetCount(); ++i) {
                const WideString& file = files.GetData()[i];
                entry->second.Add(File::GetFileName(file).ToLower(), file);
            }
        }
    }
    return entry->second;
}

}  // namespace ZV
