#include "Platform/FolderListing.h"

#include "Platform/FileNamePattern.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace ZV::Platform {

namespace {

bool IsFolderEntry(const char* folder, unsigned char type, const char* name)
{
    if (type == DT_DIR) {
        return true;
    }
    if (type != DT_UNKNOWN && type != DT_LNK) {
        return false;
    }
    const std::string path = std::string(folder) + kPathSeparator + name;
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

char ToUpperASCII(char byte)
{
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
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
        byte = ToUpperASCII(byte);
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

// FNV-1a over the key's bytes: short keys hash in a few cycles a byte, inline.
constexpr std::uint64_t kHashBasis = 0xCBF29CE484222325u;

std::uint64_t HashStep(std::uint64_t hash, char byte)
{
    return (hash ^ static_cast<unsigned char>(byte)) * 0x100000001B3u;
}

// The hash of the key's bytes, each mapped first.
template <class Map>
std::size_t HashKey(std::string_view bytes, Map map)
{
    std::uint64_t hash = kHashBasis;
    for (const char byte : bytes) {
        hash = HashStep(hash, map(byte));
    }
    return static_cast<std::size_t>(hash);
}

std::size_t HashKey(std::string_view key)
{
    return HashKey(key, [](char byte) { return byte; });
}

// A folder opened for reading its records, closed however the reading ends.
struct OpenFolder {
    explicit OpenFolder(const char* folder) : descriptor(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~OpenFolder()
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    const int descriptor;
};

// Hands the name of every file of the folder, sub-folders left out, to accept, in the order the system lists them.
// The records are read straight, a large block at a time: a folder of thousands of files takes a call or two, and
// no stream lock is taken for each entry.
template <class Accept>
FolderListingResult ReadFileNames(const char* folder, Accept accept)
{
    if (GetPathKind(folder) != PathKind::folder) {
        return FolderListingResult::folderMissing;
    }
    const OpenFolder open(folder);
    if (open.descriptor < 0) {
        return FolderListingResult::failed;
    }
    constexpr std::size_t kRecordBlock = 64 * 1024;
    const std::unique_ptr<char[]> records(new char[kRecordBlock]);
    for (;;) {
        const ssize_t filled = ::getdents64(open.descriptor, records.get(), kRecordBlock);
        if (filled <= 0) {
            return filled == 0 ? FolderListingResult::ok : FolderListingResult::failed;
        }
        for (std::size_t offset = 0; offset < static_cast<std::size_t>(filled);) {
            const char* record = records.get() + offset;
            unsigned short length = 0;
            std::memcpy(&length, record + offsetof(dirent64, d_reclen), sizeof length);
            if (length == 0 || length > static_cast<std::size_t>(filled) - offset) {
                return FolderListingResult::failed;
            }
            const char* name = record + offsetof(dirent64, d_name);
            if (!IsFolderEntry(folder, static_cast<unsigned char>(record[offsetof(dirent64, d_type)]), name)) {
                accept(name);
            }
            offset += length;
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
    const FolderListingResult result = ReadFileNames(folder, [&](const char* name) { Add(name); });
    if (result != FolderListingResult::ok) {
        mText.clear();
        mEntries.clear();
        return;
    }
    // Made once the count is known: no table is outgrown and filled again.
    std::size_t slots = 64;
    while (slots < mEntries.size() * 2) {
        slots *= 2;
    }
    mSlots.assign(slots, Slot{0, 0});
    for (std::uint32_t added = 1; added <= mEntries.size(); ++added) {
        Link(added);
    }
}

void FolderFileIndex::Add(std::string_view name)
{
    if (mText.size() > UINT32_MAX / 2 || mEntries.size() >= UINT32_MAX / 4) {
        throw std::length_error("too many files in one folder");
    }
    Entry entry{static_cast<std::uint32_t>(mText.size()), 0, 0, static_cast<std::uint32_t>(name.size()), 0, 0};
    // The usual name, of ASCII characters: its key is its bytes in upper case, written and hashed in one pass with
    // room for the name behind it.
    mText.resize(entry.keyOffset + 2 * name.size() + 2);
    char* key = mText.data() + entry.keyOffset;
    std::uint64_t hash = kHashBasis;
    bool ascii = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        ascii = ascii && static_cast<unsigned char>(name[i]) < 0x80;
        key[i] = ToUpperASCII(name[i]);
        hash = HashStep(hash, key[i]);
    }
    if (ascii) {
        entry.hash = static_cast<std::size_t>(hash);
        entry.keyLength = entry.nameLength;
        entry.nameOffset = entry.keyOffset + entry.keyLength + 1;
        std::copy(name.begin(), name.end(), key + name.size() + 1);
        mEntries.push_back(entry);
        return;
    }
    mText.resize(entry.keyOffset);
    const std::string foldedKey = FoldedKey(name);
    entry.hash = HashKey(foldedKey);
    mText.append(foldedKey);
    entry.keyLength = static_cast<std::uint32_t>(mText.size() - entry.keyOffset);
    mText.push_back(0);
    entry.nameOffset = static_cast<std::uint32_t>(mText.size());
    mText.append(name).push_back(0);
    mEntries.push_back(entry);
}

void FolderFileIndex::Link(std::uint32_t added)
{
    Entry& entry = mEntries[added - 1];
    const std::string_view key = KeyOf(entry);
    Slot& slot = mSlots[SlotOf(entry.hash, [&](std::string_view other) { return other == key; })];
    slot.hash = static_cast<std::uint32_t>(entry.hash);
    // Kept in byte order, so that the first is the one a name in another case finds.
    std::uint32_t* link = &slot.first;
    while (*link != 0 && NameOf(mEntries[*link - 1]) < NameOf(entry)) {
        link = &mEntries[*link - 1].nextOfSameKey;
    }
    entry.nextOfSameKey = *link;
    *link = added;
}

std::string_view FolderFileIndex::Find(std::string_view name) const
{
    if (mEntries.empty()) {
        return {};
    }
    // The usual name, of ASCII characters: its key is its bytes in upper case, hashed and compared as they are
    // mapped, without a copy. A name with any other byte is looked up by its folded key instead.
    bool ascii = true;
    const std::size_t asciiHash = HashKey(name, [&](char byte) {
        ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
        return ToUpperASCII(byte);
    });
    std::uint32_t first = 0;
    if (ascii) {
        first = mSlots[SlotOf(asciiHash, [&](std::string_view key) {
            return key.size() == name.size() &&
                   std::equal(key.begin(), key.end(), name.begin(), [](char keyByte, char nameByte) {
                       return keyByte == ToUpperASCII(nameByte);
                   });
        })].first;
    } else {
        const std::string key = FoldedKey(name);
        first = mSlots[SlotOf(HashKey(key), [&](std::string_view other) { return other == key; })].first;
    }
    if (first == 0) {
        return {};
    }
    for (std::uint32_t same = first; same != 0; same = mEntries[same - 1].nextOfSameKey) {
        if (NameOf(mEntries[same - 1]) == name) {
            return NameOf(mEntries[same - 1]);
        }
    }
    return NameOf(mEntries[first - 1]);
}

}  // namespace ZV::Platform
