#include "Platform/FolderListing.h"

#include "Platform/FileNamePattern.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <utility>

namespace ZV::Platform {

namespace {

bool IsFolderEntry(const char* folder, const dirent& entry)
{
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) {
        return false;
    }
    const std::string path = std::string(folder) + kPathSeparator + entry.d_name;
    return GetPathKind(path.c_str()) == PathKind::folder;
}

void SortByFoldedName(std::vector<std::string>& names)
{
    std::vector<std::pair<std::u32string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        keyed.emplace_back(FoldFileNameCase(name), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        names[i] = std::move(keyed[i].second);
    }
}

// The name with letters in one case, as FoldFileNameCase folds them, in bytes that compare equal exactly when the
// folded names do: a character below 0x80 as its byte, another as 0xFF and three bytes of its value. A name of ASCII
// characters alone, the usual file name, is folded without the case-mapping locale and fits a short string.
std::string FoldedKey(std::string_view name)
{
    std::string key(name);
    bool ascii = true;
    for (char& byte : key) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            ascii = false;
            break;
        }
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 'a' + 'A');
        }
    }
    if (ascii) {
        return key;
    }
    key.clear();
    for (const char32_t character : FoldFileNameCase(name)) {
        if (character < 0x80) {
            key.push_back(static_cast<char>(character));
        } else {
            key.push_back(static_cast<char>(0xFF));
            key.push_back(static_cast<char>((character >> 16) & 0xFF));
            key.push_back(static_cast<char>((character >> 8) & 0xFF));
            key.push_back(static_cast<char>(character & 0xFF));
        }
    }
    return key;
}

// Hands the name of every file of the folder, sub-folders left out, to accept, in the order the system lists them.
template <class Accept>
FolderListingResult ReadFileNames(const char* folder, Accept accept)
{
    if (GetPathKind(folder) != PathKind::folder) {
        return FolderListingResult::folderMissing;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(folder), &::closedir);
    if (!stream) {
        return FolderListingResult::failed;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream.get());
        if (entry == nullptr) {
            return errno != 0 ? FolderListingResult::failed : FolderListingResult::ok;
        }
        if (!IsFolderEntry(folder, *entry)) {
            accept(entry->d_name);
        }
    }
}

}  // namespace

FolderListingResult ListMatchingFiles(const char* folder, std::string_view pattern, std::vector<std::string>& names)
{
    names.clear();
    const FolderListingResult result = ReadFileNames(folder, [&](const char* name) {
        if (MatchesFileNamePattern(name, pattern)) {
            names.emplace_back(name);
        }
    });
    if (result != FolderListingResult::ok) {
        names.clear();
        return result;
    }
    SortByFoldedName(names);
    return FolderListingResult::ok;
}

FolderFileIndex::FolderFileIndex(const char* folder)
{
    const FolderListingResult result = ReadFileNames(folder, [&](const char* name) {
        SameName& sameName = mFiles[FoldedKey(name)];
        if (sameName.first.empty()) {
            sameName.first = name;
        } else if (sameName.first > name) {
            sameName.others.push_back(std::exchange(sameName.first, name));
        } else {
            sameName.others.emplace_back(name);
        }
    });
    if (result != FolderListingResult::ok) {
        mFiles.clear();
    }
}

const std::string* FolderFileIndex::Find(std::string_view name) const
{
    const auto found = mFiles.find(FoldedKey(name));
    if (found == mFiles.end()) {
        return nullptr;
    }
    const SameName& sameName = found->second;
    const auto exact = std::find(sameName.others.begin(), sameName.others.end(), name);
    return exact != sameName.others.end() ? &*exact : &sameName.first;
}

}  // namespace ZV::Platform
