#include "ControlBase/SkinImageFinder.h"

#include "Utilities/Storage/ZVFile.h"

#include <algorithm>
#include <cstring>

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

// The prefix followed by a name of ASCII characters, which widens unit for unit, made in the path's own buffer.
WideString JoinPrefix(const WideString& prefix, std::string_view asciiName)
{
    const std::uint32_t prefixLength = prefix.GetLength();
    return WideString::Build(prefixLength + asciiName.size(), [&](wchar_t* path) {
        std::copy_n(prefix.GetData(), prefixLength, path);
        std::copy(asciiName.begin(), asciiName.end(), path + prefixLength);
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
    const std::string_view found = IndexFolder(folder).Find(utf8Name.GetData());
    if (found.empty() || found == utf8Name.GetData()) {
        return path;
    }
    WideString foundPath = folder;
    if (foundPath.IsEmpty() || foundPath.GetData()[foundPath.GetLength() - 1] != kPathSep) {
        foundPath.AppendChar(kPathSep);
    }
    return foundPath + WideString(found.data());
}

WideString SkinImageFinder::Find(const WideString& prefix, const char* fileName, bool lowerCase)
{
    const bool endsInSeparator = !prefix.IsEmpty() && prefix.GetData()[prefix.GetLength() - 1] == kPathSep;
    if (!IsFolderPrefix(prefix) || !endsInSeparator || !CopyPlainName(fileName, lowerCase)) {
        const WideString name(fileName);
        return Find(prefix, lowerCase ? name.ToLower() : name);
    }
    const std::string_view found = IndexPrefixFolder(prefix).Find(mName);
    if (found.empty() || found == mName) {
        return JoinPrefix(prefix, mName);
    }
    return IsPlainName(found) ? JoinPrefix(prefix, found) : prefix + WideString(found.data());
}

bool SkinImageFinder::CopyPlainName(const char* fileName, bool lowerCase)
{
    mName.resize(std::strlen(fileName));
    for (char& copied : mName) {
        char character = *fileName++;
        if (static_cast<unsigned char>(character) >= 0x80 || character == '/' || character == '\\') {
            return false;
        }
        if (lowerCase && character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
        copied = character;
    }
    return true;
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
