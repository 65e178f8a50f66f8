#include "Renderer/FontRenderer/FontNameTable.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/ArrayBuffer.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr std::uint32_t kCollectionTag = 0x74746366;  // "ttcf"
constexpr std::uint32_t kFileHeaderSize = 12;
constexpr std::uint32_t kOffsetTableSize = 12;
constexpr std::uint32_t kTableRecordSize = 16;
constexpr std::uint32_t kNameHeaderSize = 6;
constexpr std::uint32_t kNameRecordSize = 12;
// A name's text lies within this many bytes of the start of its table's string storage (16-bit offset and length).
constexpr std::uint64_t kStringStorageReach = 0xFFFF + 0xFFFF;

constexpr std::uint16_t kMacintoshPlatform = 1;
constexpr std::uint16_t kWindowsPlatform = 3;
constexpr std::uint16_t kWindowsUSEnglish = 0x409;
constexpr std::uint16_t kFamilyName = 1;
constexpr std::uint16_t kSubfamilyName = 2;

using Bytes = ArrayBuffer<std::uint8_t>;

std::uint16_t ReadU16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

std::uint32_t ReadU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(ReadU16(bytes)) << 16 | ReadU16(bytes + 2);
}

// Whether the count bytes at offset lie inside the file and were read into out.
bool ReadRange(IFontBytes& bytes, std::uint64_t offset, std::uint64_t count, Bytes& out)
{
    if (offset > bytes.GetLength() || count > bytes.GetLength() - offset || Failed(out.SetCount(0)) ||
        Failed(out.SetCount(static_cast<std::uint32_t>(count)))) {
        return false;
    }
    return count == 0 || bytes.Read(offset, static_cast<std::uint32_t>(count), out.GetData());
}

// A table tag compared in small letters, as the name table's tag is looked for.
bool IsNameTag(const std::uint8_t* tag)
{
    const char name[] = "name";
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t small = tag[i] >= 'A' && tag[i] <= 'Z' ? tag[i] + ('a' - 'A') : tag[i];
        if (small != static_cast<std::uint8_t>(name[i])) {
            return false;
        }
    }
    return true;
}

// The text of a name record from its bytes; false when it is not valid text.
bool DecodeName(std::uint16_t platform, const std::uint8_t* raw, std::uint16_t length, WideString& text)
{
    if (platform == kMacintoshPlatform) {
        return length == 0 || Succeeded(text.AssignFromUTF8(reinterpret_cast<const char*>(raw), length));
    }
    const std::uint32_t unitCount = length / 2u;
    Array<wchar_t> units;
    ZV_THROW_IF_FAILED(units.SetCount(unitCount + 1));
    for (std::uint32_t unit = 0; unit < unitCount; ++unit) {
        *units.GetItemPointer(unit) = static_cast<wchar_t>(ReadU16(raw + 2 * unit));
    }
    text.Assign(units.GetData(), unitCount);
    return true;
}

bool IsAcceptedRecord(std::uint16_t platform, std::uint16_t language, std::uint16_t nameID)
{
    const bool acceptedText = (platform == kMacintoshPlatform && language == 0) ||
                              (platform == kWindowsPlatform && language == kWindowsUSEnglish);
    return acceptedText && (nameID == kFamilyName || nameID == kSubfamilyName);
}

// Where the name table of the face at an offset lies, read once per file.
struct FaceTables {
    std::uint64_t offset;
    bool hasNameTable;
    std::uint64_t nameOffset;
};

// The pairs of names of the name table at an offset, read once per file: first and count in the file's list of
// table names.
struct TableNames {
    std::uint64_t offset;
    std::uint32_t first;
    std::uint32_t count;
};

template <class Read>
const Read* FindRead(const Array<Read>& reads, std::uint64_t offset)
{
    for (std::uint32_t index = 0; index < reads.GetCount(); ++index) {
        if (reads.GetItemPointer(index)->offset == offset) {
            return reads.GetItemPointer(index);
        }
    }
    return nullptr;
}

// Reads the names of one file's faces. Faces that repeat an offset, or whose tables share a name table, share
// what was read for the first of them, and the file's work is bounded: a file that passes a limit is refused.
class FileNameReader {
public:
    explicit FileNameReader(IFontBytes& bytes) : mBytes(bytes) {}

    // Appends the names of the face whose offset table lies at the offset; false when the file passed a limit.
    bool ReadFace(std::uint64_t faceOffset, std::int32_t faceIndex, Array<FontFaceName>& names)
    {
        const FaceTables* face = FindRead(mFaces, faceOffset);
        if (face == nullptr) {
            FaceTables read{faceOffset, false, 0};
            if (!FindNameTable(faceOffset, read.hasNameTable, read.nameOffset)) {
                return false;
            }
            if (Failed(mFaces.AddItem(read))) {
                return false;
            }
            face = mFaces.GetItemPointer(mFaces.GetCount() - 1);
        }
        if (!face->hasNameTable) {
            return true;
        }
        const std::uint32_t room = FontFileLimits::kMaxNames - names.GetCount();
        const TableNames* table = FindRead(mTables, face->nameOffset);
        if (table == nullptr) {
            TableNames read{face->nameOffset, mTableNames.GetCount(), 0};
            if (!ReadNameTable(face->nameOffset, room)) {
                return false;
            }
            read.count = mTableNames.GetCount() - read.first;
            if (Failed(mTables.AddItem(read))) {
                return false;
            }
            table = mTables.GetItemPointer(mTables.GetCount() - 1);
        }
        if (table->count > room) {
            return false;
        }
        for (std::uint32_t index = table->first; index < table->first + table->count; ++index) {
            FontFaceName name = *mTableNames.GetItemPointer(index);
            name.faceIndex = faceIndex;
            if (Failed(names.AddItem(name))) {
                return false;
            }
        }
        return true;
    }

private:
    enum class Reading { kRead, kNotInFile, kPastLimit };

    // Reads the header of headerSize bytes at the offset, whose 16-bit count at countAt says how many records of
    // recordSize follow it, and those records, charging them to the file's allowance.
    Reading ReadRecords(std::uint64_t offset, std::uint32_t headerSize, std::uint32_t countAt,
                        std::uint32_t recordSize, Bytes& header, Bytes& records, std::uint32_t& count)
    {
        if (!ReadRange(mBytes, offset, headerSize, header)) {
            return Reading::kNotInFile;
        }
        count = ReadU16(header.GetData() + countAt);
        if (count > mRecordsLeft) {
            return Reading::kPastLimit;
        }
        mRecordsLeft -= count;
        return ReadRange(mBytes, offset + headerSize, std::uint64_t{count} * recordSize, records) ? Reading::kRead
                                                                                               : Reading::kNotInFile;
    }

    // The offset of the face's name table in nameOffset, with found false when it has none or its table records
    // leave the file; false when the file passed a limit. A record with an empty tag ends the table directory.
    bool FindNameTable(std::uint64_t faceOffset, bool& found, std::uint64_t& nameOffset)
    {
        found = false;
        Bytes offsetTable;
        Bytes records;
        std::uint32_t tableCount = 0;
        const Reading reading =
            ReadRecords(faceOffset, kOffsetTableSize, 4, kTableRecordSize, offsetTable, records, tableCount);
        if (reading != Reading::kRead) {
            return reading != Reading::kPastLimit;
        }
        for (std::uint32_t table = 0; table < tableCount; ++table) {
            const std::uint8_t* record = records.GetData() + table * kTableRecordSize;
            if (record[0] == 0) {
                return true;
            }
            if (IsNameTag(record)) {
                nameOffset = ReadU32(record + 8);
                found = true;
                return true;
            }
        }
        return true;
    }

    // Appends the pairs of names of the name table at the offset to the table names; a table that does not lie
    // inside the file gives none. False when the file passed a limit: room is what is left of the names allowed.
    bool ReadNameTable(std::uint64_t nameOffset, std::uint32_t room)
    {
        const std::uint32_t first = mTableNames.GetCount();
        Bytes header;
        Bytes records;
        std::uint32_t recordCount = 0;
        const Reading reading =
            ReadRecords(nameOffset, kNameHeaderSize, 2, kNameRecordSize, header, records, recordCount);
        if (reading != Reading::kRead) {
            return reading != Reading::kPastLimit;
        }
        // Every text lies within reach of the storage's start: read at once, as far as the file goes.
        const std::uint64_t storageOffset = nameOffset + ReadU16(header.GetData() + 4);
        const std::uint64_t length = mBytes.GetLength();
        Bytes storage;
        if (storageOffset < length &&
            !ReadRange(mBytes, storageOffset, std::min(kStringStorageReach, length - storageOffset), storage)) {
            return true;
        }
        FontFaceName found;
        bool familyFound = false;
        bool subfamilyFound = false;
        for (std::uint32_t index = 0; index < recordCount; ++index) {
            const std::uint8_t* record = records.GetData() + index * kNameRecordSize;
            const std::uint16_t platform = ReadU16(record);
            const std::uint16_t nameID = ReadU16(record + 6);
            const bool wanted = nameID == kFamilyName ? !familyFound : !subfamilyFound;
            if (!wanted || !IsAcceptedRecord(platform, ReadU16(record + 4), nameID)) {
                continue;
            }
            const std::uint32_t textLength = ReadU16(record + 8);
            const std::uint32_t textOffset = ReadU16(record + 10);
            if (textOffset + textLength > storage.GetCount()) {
                continue;
            }
            if (textLength > mTextBytesLeft) {
                return false;
            }
            mTextBytesLeft -= textLength;
            WideString text;
            if (!DecodeName(platform, storage.GetData() + textOffset, static_cast<std::uint16_t>(textLength), text) ||
                text.IsEmpty()) {
                continue;
            }
            if (nameID == kFamilyName) {
                found.family = text;
                familyFound = true;
            } else {
                found.subfamily = text.ToLower();
                subfamilyFound = true;
            }
            if (familyFound && subfamilyFound) {
                if (mTableNames.GetCount() - first >= room) {
                    return false;
                }
                if (Failed(mTableNames.AddItem(found))) {
                    return false;
                }
                familyFound = false;
                subfamilyFound = false;
            }
        }
        return true;
    }

    IFontBytes& mBytes;
    std::uint64_t mRecordsLeft = FontFileLimits::kMaxRecords;
    std::uint64_t mTextBytesLeft = FontFileLimits::kMaxTextBytes;
    Array<FaceTables> mFaces;
    Array<TableNames> mTables;
    Array<FontFaceName> mTableNames;
};

}  // namespace

bool ReadFontFaceNames(IFontBytes& bytes, Array<FontFaceName>& names)
{
    (void)names.Clear();
    Bytes header;
    if (!ReadRange(bytes, 0, kFileHeaderSize, header)) {
        return true;
    }
    FileNameReader reader(bytes);
    bool withinLimits = true;
    if (ReadU32(header.GetData()) != kCollectionTag) {
        withinLimits = reader.ReadFace(0, 0, names);
    } else {
        const std::uint32_t faceCount = ReadU32(header.GetData() + 8);
        Bytes faceOffsets;
        withinLimits = faceCount <= FontFileLimits::kMaxFaces;
        if (withinLimits && ReadRange(bytes, kFileHeaderSize, std::uint64_t{faceCount} * 4, faceOffsets)) {
            for (std::uint32_t face = 0; face < faceCount && withinLimits; ++face) {
                withinLimits = reader.ReadFace(ReadU32(faceOffsets.GetData() + 4 * face),
                                               static_cast<std::int32_t>(face), names);
            }
        }
    }
    if (!withinLimits) {
        (void)names.Clear();
    }
    return withinLimits;
}

}  // namespace ZV
