#include "ControlBase/SkinImageFinder.h"

#include "Utilities/Storage/ZVFile.h"

#include <algorithm>

namespace ZV {

namespace {

// "::" names resources and nothing names the path as it is.
bool IsFolderPrefix(const WideString& prefix)
{
    const wchar_t* text = prefix.GetData();
    return text[0] != 0 && !(text[0] == L':' && text[1] == L':');
}

// A name of ASCII characters without separators: the usual image name, which needs no wide conversion to look up.
bool IsPlainName(std::string_view name)
{
    return std::none_of(name.begin(), name.end(), [](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80 || byte == '/' || byte == '\\';
    });
}

}  // namespace

WideString SkinImageFinder::Find(const WideString& prefix, const WideString& fileName)
{
    const WideString path = prefix + fileName;
    if (!IsFolderPrefix(prefix)) {
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

WideString SkinImageFinder::Find(const WideString& prefix, const char* fileName, bool lowerCase)
{
    mName.assign(fileName);
    const bool endsInSeparator = !prefix.IsEmpty() && prefix.GetData()[prefix.GetLength() - 1] == kPathSep;
    if (!IsFolderPrefix(prefix) || !endsInSeparator || !IsPlainName(mName)) {
        const WideString name(fileName);
        return Find(prefix, lowerCase ? name.ToLower() : name);
    }
    if (lowerCase) {
        for (char& byte : mName) {
            if (byte >= 'A' && byte <= 'Z') {
                byte = static_cast<char>(byte - 'A' + 'a');
            }
        }
    }
    const std::string* found = IndexPrefixFolder(prefix).Find(mName);
    if (found == nullptr || *found == mName) {
        return JoinPrefix(prefix, mName);
    }
    return IsPlainName(*found) ? JoinPrefix(prefix, *found) : prefix + WideString(found->c_str());
}

WideString SkinImageFinder::JoinPrefix(const WideString& prefix, std::string_view asciiName)
{
    mPath.assign(prefix.GetData(), prefix.GetLength());
    mPath.append(asciiName.begin(), asciiName.end());
    WideString path;
    path.Assign(mPath.c_str(), static_cast<std::uint32_t>(mPath.size()));
    return path;
}

const Platform::FolderFileIndex& SkinImageFinder::IndexFolder(const WideString& folder)
{
    auto entry = mFolders.find(folder);
    if (entry == mFolders.end()) {
        entry = mFolders.try_emplace(folder, folder.ToUTF8().GetData()).first;
    }
    return entry->second;
}

const Platform::FolderFileIndex& SkinImageFinder::IndexPrefixFolder(const WideString& prefix)
{
    if (mLastPrefixIndex == nullptr || mLastPrefix != prefix) {
        mLastPrefixIndex = &IndexFolder(File::GetParentFolder(prefix));
        mLastPrefix = prefix;
    }
    return *mLastPrefixIndex;
}

}  // namespace ZV
