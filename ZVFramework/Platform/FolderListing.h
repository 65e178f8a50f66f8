#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

enum class FolderListingResult {
    ok,
    // The folder does not exist or is not a folder.
    folderMissing,
    failed,
};

// The names (not paths) of the files in a folder that match a wildcard pattern (MatchesFileNamePattern), sorted
// without regard to case, names that differ only in case by their bytes. Sub-folders are never listed. names is
// emptied first; it holds nothing but the result's names when the result is ok.
FolderListingResult ListMatchingFiles(const char* folder, std::string_view pattern, std::vector<std::string>& names);

// The files of a folder by name in any letter case, listed once when the index is made: files that come later are
// not in it. A folder that cannot be listed gives an empty index.
class FolderFileIndex {
public:
    explicit FolderFileIndex(const char* folder);

    // The name of the file called so, else the first in ListMatchingFiles's order of the files whose names differ
    // from it only in letter case; empty when there is none. The name is followed by a NUL and lives as long as the
    // index.
    std::string_view Find(std::string_view name) const;

private:
    // A file. Its folded key and its name lie in mText, each followed by a NUL.
    struct Entry {
        std::uint32_t keyOffset;
        std::uint32_t keyLength;
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::size_t hash;
        // The next file whose name differs from this one's in letter case only, after it in byte order; 0 for none,
        // else its index + 1.
        std::uint32_t nextOfSameKey;
    };

    // Keeps a file's name and key; Link puts it into the table once all are kept.
    void Add(std::string_view name);
    // The file of that index + 1 goes into its key's slot.
    void Link(std::uint32_t added);
    std::string_view KeyOf(const Entry& entry) const { return {mText.data() + entry.keyOffset, entry.keyLength}; }
    std::string_view NameOf(const Entry& entry) const { return {mText.data() + entry.nameOffset, entry.nameLength}; }
    // The slot of the key of that hash that isKey accepts: the one holding its first file, else the empty one where
    // it would go.
    template <class IsKey>
    std::size_t SlotOf(std::size_t hash, IsKey isKey) const
    {
        const std::size_t mask = mSlots.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Slot& found = mSlots[slot];
            if (found.first == 0 ||
                (found.hash == static_cast<std::uint32_t>(hash) && isKey(KeyOf(mEntries[found.first - 1])))) {
                return slot;
            }
        }
    }

    // Every name and key, one after the other: a listing of thousands of files takes a few blocks, not a block each.
    std::string mText;
    std::vector<Entry> mEntries;
    // A key's place in the table. Its hash is kept beside the file's index, so that a search passes other keys'
    // slots without reading their files.
    struct Slot {
        // 0 for an empty slot, else the index + 1 of the first file of the key.
        std::uint32_t first;
        std::uint32_t hash;
    };

    // Open addressing by the keys' hashes. A power of two, never more than half full.
    std::vector<Slot> mSlots;
};

}  // namespace ZV::Platform
