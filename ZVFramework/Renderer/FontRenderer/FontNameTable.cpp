#include "Renderer/FontRenderer/FontNameTable.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/ArrayBuffer.h"

namespace ZV {

namespace {

constexpr std::uint32_t kCollectionTag = 0x74746366;  // "ttcf"
// FreeType numbers the faces of a collection in 16 bits.
constexpr std::uint32_t kMaxFaceCount = 0x10000;
constexpr std::uint32_t kFileHeaderSize = 12;
constexpr std::uint32_t kOffsetTableSize = 12;
constexpr std::uint32_t kTableRecordSize = 16;
constexpr std::uint32_t kNameHeaderSize = 6;
constexpr std::uint32_t kNameRecordSize = 12;

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

// The offset of the face's name table; false when it has none or its table records leave the file. A record with
// an empty tag ends the table directory.
bool FindNameTable(IFontBytes& bytes, std::uint64_t faceOffset, std::uint64_t& nameOffset)
{
    Bytes offsetTable;
    if (!ReadRange(bytes, faceOffset, kOffsetTableSize, offsetTable)) {
        return false;
    }
    const std::uint32_t tableCount = ReadU16(offsetTable.GetData() + 4);
    Bytes records;
    if (!ReadRange(bytes, faceOffset + kOffsetTableSize, std::uint64_t{tableCount} * kTableRecordSize, records)) {
        return false;
    }
    for (std::uint32_t table = 0; table < tableCount; ++table) {
        const std::uint8_t* record = records.GetData() + table * kTableRecordSize;
        if (record[0] == 0) {
            return false;
        }
        if (IsNameTag(record)) {
            nameOffset = ReadU32(record + 8);
            return true;
        }
    }
    return false;
}

// The text of a name record; false when it leaves the file or is not valid text.
bool DecodeName(IFontBytes& bytes, std::uint16_t platform, std::uint64_t offset, std::uint16_t length,
                WideString& text)
{
    Bytes raw;
    if (!ReadRange(bytes, offset, length, raw)) {
        return false;
    }
    if (platform == kMacintoshPlatform) {
        return length == 0 || Succeeded(text.AssignFromUTF8(reinterpret_cast<const char*>(raw.GetData()), length));
    }
    const std::uint32_t unitCount = length / 2u;
    Array<wchar_t> units;
    ZV_THROW_IF_FAILED(units.SetCount(unitCount + 1));
    for (std::uint32_t unit = 0; unit < unitCount; ++unit) {
        *units.GetItemPointer(unit) = static_cast<wchar_t>(ReadU16(raw.GetData() + 2 * unit));
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

void ReadFaceNames(IFontBytes& bytes, std::uint64_t faceOffset, std::int32_t faceIndex, Array<FontFaceName>& names)
{
    std::uint64_t nameOffset = 0;
    Bytes header;
    if (!FindNameTable(bytes, faceOffset, nameOffset) || !ReadRange(bytes, nameOffset, kNameHeaderSize, header)) {
        return;
    }
    const std::uint32_t recordCount = ReadU16(header.GetData() + 2);
    const std::uint64_t storageOffset = nameOffset + ReadU16(header.GetData() + 4);
    Bytes records;
    if (!ReadRange(bytes, nameOffset + kNameHeaderSize, std::uint64_t{recordCount} * kNameRecordSize, records)) {
        return;
    }
    FontFaceName found;
    found.faceIndex = faceIndex;
    bool familyFound = false;
    bool subfamilyFound = false;
    for (std::uint32_t index = 0; index < recordCount; ++index) {
        const std::uint8_t* record = records.GetData() + index * kNameRecordSize;
        const std::uint16_t platform = ReadU16(record);
        const std::uint16_t nameID = ReadU16(record + 6);
        const bool wanted = nameID == kFamilyName ? !familyFound : !subfamilyFound;
        WideString text;
        if (!wanted || !IsAcceptedRecord(platform, ReadU16(record + 4), nameID) ||
            !DecodeName(bytes, platform, storageOffset + ReadU16(record + 10), ReadU16(record + 8), text) ||
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
            names.AddItem(found);
            familyFound = false;
            subfamilyFound = false;
        }
    }
}

}  // namespace

void ReadFontFaceNames(IFontBytes& bytes, Array<FontFaceName>& names)
{
    names.Clear();
    Bytes header;
    if (!ReadRange(bytes, 0, kFileHeaderSize, header)) {
        return;
    }
    if (ReadU32(header.GetData()) != kCollectionTag) {
        ReadFaceNames(bytes, 0, 0, names);
        return;
    }
    const std::uint32_t faceCount = ReadU32(header.GetData() + 8);
    Bytes faceOffsets;
    if (faceCount > kMaxFaceCount ||
        !ReadRange(bytes, kFileHeaderSize, std::uint64_t{faceCount} * 4, faceOffsets)) {
        return;
    }
    for (std::uint32_t face = 0; face < faceCount; ++face) {
        ReadFaceNames(bytes, ReadU32(faceOffsets.GetData() + 4 * face), static_cast<std::int32_t>(face), names);
    }
}

}  // namespace ZV
