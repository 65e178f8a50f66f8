#include "ControlBase/SkinImagePath.h"

#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/ZVFile.h"

namespace ZV {

WideString ResolveSkinImagePath(const WideString& prefix, const WideString& fileName)
{
    const WideString path = prefix + fileName;
    const bool isFolder = !prefix.IsEmpty() && prefix.Find(WideString(L"::")) != 0;
    if (!isFolder || File::FileExists(path)) {
        return path;
    }
    const WideString wanted = File::GetFileName(path);
    WideStringArray files;
    if (File::ListFiles(File::GetParentFolder(path), WideString(L"*"), files) > 0) {
        for (std::uint32_t i = 0; i < files.GetCount(); ++i) {
            const WideString& candidate = files.GetData()[i];
            if (File::GetFileName(candidate).EqualsNoCase(wanted)) {
                return candidate;
            }
        }
    }
    return path;
}

}  // namespace ZV
