#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes font files that hold nothing but what the font catalogue reads: a table directory with a dummy table and a
// 'name' table, alone or as the faces of a collection. Integers are big-endian, as in real font files.
namespace ZV::Testing {

struct SyntheticName {
    std::uint16_t platform = 3;
    std::uint16_t language = 0x409;
    std::uint16_t nameID = 1;
    // Macintosh names are written as these bytes; Windows names as UTF-16BE, one unit per byte (ASCII text).
    std::string text;
};

SyntheticName MacName(std::uint16_t nameID, const std::string& text);
SyntheticName WindowsName(std::uint16_t nameID, const std::string& text);

struct SyntheticFace {
    std::vector<SyntheticName> names;
    // Without it the face has only its dummy table.
    bool hasNameTable = true;
};

// The largest name table a 16-bit count allows: 32,767 pairs of the family and the subfamily in Windows records.
std::vector<SyntheticName> LargestNameTable(const std::string& family, const std::string& subfamily);

// A family name and a subfamily name in the Windows records.
SyntheticFace WindowsFace(const std::string& family, const std::string& subfamily);

// A plain font file: the offset table at 0, the dummy table's record first, then the name table's.
std::string WriteFontFile(const SyntheticFace& face);
// A collection of version 1 or 2 ("ttcf"), its faces in order.
std::string WriteCollection(const std::vector<SyntheticFace>& faces, int version);

// A collection of faceCount faces, each with a table directory of its own, whose name records all point at one
// name table holding the names: the name table is written once, whatever the number of faces.
std::string WriteCollectionSharingOneNameTable(std::size_t faceCount, const std::vector<SyntheticName>& names);

// Where parts of a plain font file lie, for tests that corrupt them.
inline constexpr std::size_t kTableCountAt = 4;
inline constexpr std::size_t kNameTableOffsetAt = 12 + 16 + 8;
// The offset of the name table of a plain font file, as its table record gives it.
std::size_t NameTableStart(const std::string& fontFile);

void PutU16(std::string& bytes, std::size_t at, std::uint16_t value);
void PutU32(std::string& bytes, std::size_t at, std::uint32_t value);

}  // namespace ZV::Testing
