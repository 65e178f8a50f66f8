#include "Renderer/FontRenderer/SyntheticFontWriter.h"

namespace ZV::Testing {

namespace {

constexpr std::uint32_t kTrueTypeVersion = 0x00010000;
const std::string kDummyTable(8, '\x5A');

void AppendU16(std::string& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<char>(value >> 8));
    bytes.push_back(static_cast<char>(value & 0xFF));
}

void AppendU32(std::string& bytes, std::uint32_t value)
{
    AppendU16(bytes, static_cast<std::uint16_t>(value >> 16));
    AppendU16(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
}

std::string EncodedText(const SyntheticName& name)
{
    if (name.platform == 1) {
        return name.text;
    }
    std::string encoded;
    for (const char byte : name.text) {
        AppendU16(encoded, static_cast<unsigned char>(byte));
    }
    return encoded;
}

std::string NameTable(const std::vector<SyntheticName>& names)
{
    std::string records;
    std::string storage;
    for (const SyntheticName& name : names) {
        const std::string text = EncodedText(name);
        // Equal texts share their bytes, so that a table of many records keeps within 16-bit string offsets.
        std::size_t at = storage.find(text);
        if (at == std::string::npos || text.empty()) {
            at = storage.size();
            storage += text;
        }
        AppendU16(records, name.platform);
        AppendU16(records, name.platform == 1 ? 0 : 1);
        AppendU16(records, name.language);
        AppendU16(records, name.nameID);
        AppendU16(records, static_cast<std::uint16_t>(text.size()));
        AppendU16(records, static_cast<std::uint16_t>(at));
    }
    std::string table;
    AppendU16(table, 0);
    AppendU16(table, static_cast<std::uint16_t>(names.size()));
    AppendU16(table, static_cast<std::uint16_t>(6 + records.size()));
    return table + records + storage;
}

// Appends the face's offset table, table records and tables at the end of the file; table offsets count from the
// start of the file.
void AppendFace(std::string& file, const SyntheticFace& face)
{
    const std::size_t tableCount = face.hasNameTable ? 2 : 1;
    const std::string nameTable = NameTable(face.names);
    AppendU32(file, kTrueTypeVersion);
    AppendU16(file, static_cast<std::uint16_t>(tableCount));
    AppendU16(file, 16);
    AppendU16(file, 0);
    AppendU16(file, 0);
    const std::size_t dummyAt = file.size() + 16 * tableCount;
    file += "head";
    AppendU32(file, 0);
    AppendU32(file, static_cast<std::uint32_t>(dummyAt));
    AppendU32(file, static_cast<std::uint32_t>(kDummyTable.size()));
    if (face.hasNameTable) {
        file += "name";
        AppendU32(file, 0);
        AppendU32(file, static_cast<std::uint32_t>(dummyAt + kDummyTable.size()));
        AppendU32(file, static_cast<std::uint32_t>(nameTable.size()));
    }
    file += kDummyTable;
    if (face.hasNameTable) {
        file += nameTable;
    }
}

}  // namespace

SyntheticName MacName(std::uint16_t nameID, const std::string& text)
{
    return {1, 0, nameID, text};
}

SyntheticName WindowsName(std::uint16_t nameID, const std::string& text)
{
    return {3, 0x409, nameID, text};
}

std::vector<SyntheticName> LargestNameTable(const std::string& family, const std::string& subfamily)
{
    std::vector<SyntheticName> names;
    for (int pair = 0; pair < 0xFFFF / 2; ++pair) {
        names.push_back(WindowsName(1, family));
        names.push_back(WindowsName(2, subfamily));
    }
    return names;
}

SyntheticFace WindowsFace(const std::string& family, const std::string& subfamily)
{
    return {{WindowsName(1, family), WindowsName(2, subfamily)}, true};
}

std::string WriteFontFile(const SyntheticFace& face)
{
    std::string file;
    AppendFace(file, face);
    return file;
}

std::string WriteCollection(const std::vector<SyntheticFace>& faces, int version)
{
    std::string file = "ttcf";
    AppendU32(file, version == 2 ? 0x00020000 : 0x00010000);
    AppendU32(file, static_cast<std::uint32_t>(faces.size()));
    const std::size_t offsetsAt = file.size();
    file.append(4 * faces.size(), '\0');
    if (version == 2) {
        file.append(12, '\0');
    }
    for (std::size_t face = 0; face < faces.size(); ++face) {
        PutU32(file, offsetsAt + 4 * face, static_cast<std::uint32_t>(file.size()));
        AppendFace(file, faces[face]);
    }
    return file;
}

std::string WriteCollectionSharingOneNameTable(std::size_t faceCount, const std::vector<SyntheticName>& names)
{
    constexpr std::size_t kDirectorySize = 12 + 16;
    std::string file = "ttcf";
    AppendU32(file, 0x00010000);
    AppendU32(file, static_cast<std::uint32_t>(faceCount));
    const std::size_t firstDirectory = file.size() + 4 * faceCount;
    const std::size_t nameTableAt = firstDirectory + kDirectorySize * faceCount;
    const std::string nameTable = NameTable(names);
    for (std::size_t face = 0; face < faceCount; ++face) {
        AppendU32(file, static_cast<std::uint32_t>(firstDirectory + kDirectorySize * face));
    }
    for (std::size_t face = 0; face < faceCount; ++face) {
        AppendU32(file, kTrueTypeVersion);
        AppendU16(file, 1);
        AppendU16(file, 16);
        AppendU16(file, 0);
        AppendU16(file, 0);
        file += "name";
        AppendU32(file, 0);
        AppendU32(file, static_cast<std::uint32_t>(nameTableAt));
        AppendU32(file, static_cast<std::uint32_t>(nameTable.size()));
    }
    return file + nameTable;
}

std::size_t NameTableStart(const std::string& fontFile)
{
    std::size_t offset = 0;
    for (std::size_t at = kNameTableOffsetAt; at < kNameTableOffsetAt + 4; ++at) {
        offset = offset << 8 | static_cast<unsigned char>(fontFile[at]);
    }
    return offset;
}

void PutU16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value >> 8);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    PutU16(bytes, at, static_cast<std::uint16_t>(value >> 16));
    PutU16(bytes, at + 2, static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace ZV::Testing
