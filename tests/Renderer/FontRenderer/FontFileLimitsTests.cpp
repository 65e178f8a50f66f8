#include "Renderer/FontRenderer/FontNameTable.h"
#include "Renderer/FontRenderer/MemoryFontBytes.h"
#include "Renderer/FontRenderer/SyntheticFontWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::MemoryFontBytes;
using Testing::SyntheticName;
using Testing::WindowsName;

TEST(FontFileLimits, FacesSharingOneNameTableReadItOnceAndAFileOfTooManyNamesIsRefused)
{
    const std::vector<SyntheticName> small = {WindowsName(1, "Shared"), WindowsName(2, "Bold")};
    const std::string one = Testing::WriteCollectionSharingOneNameTable(1, small);
    const std::string many = Testing::WriteCollectionSharingOneNameTable(256, small);
    MemoryFontBytes oneBytes(one);
    MemoryFontBytes manyBytes(many);
    Array<FontFaceName> names;
    EXPECT_TRUE(ReadFontFaceNames(oneBytes, names));
    EXPECT_TRUE(ReadFontFaceNames(manyBytes, names));
    ASSERT_EQ(names.GetCount(), 256u) << "every face is named, each with its own index";
    EXPECT_EQ(names.GetItemPointer(255)->faceIndex, 255);
    EXPECT_EQ(names.GetItemPointer(255)->subfamily, WideString(L"bold"));
    // Beyond the table, each face costs its header's offset and its own small table directory.
    EXPECT_LT(manyBytes.BytesRead(), oneBytes.BytesRead() + 256 * (4 + 12 + 16));

    // The crafted file: 256 faces, each of whose name tables is the one table of 65,534 records; 787 KB on disk.
    const std::vector<SyntheticName> huge = Testing::LargestNameTable("F", "Bold");
    const std::string hugeOne = Testing::WriteCollectionSharingOneNameTable(1, huge);
    const std::string hugeMany = Testing::WriteCollectionSharingOneNameTable(256, huge);
    MemoryFontBytes hugeOneBytes(hugeOne);
    MemoryFontBytes hugeManyBytes(hugeMany);
    ReadFontFaceNames(hugeOneBytes, names);
    EXPECT_FALSE(ReadFontFaceNames(hugeManyBytes, names)) << "more names than any font file has";
    EXPECT_EQ(names.GetCount(), 0u);
    EXPECT_LT(hugeManyBytes.BytesRead(), hugeOneBytes.BytesRead() + 256 * (4 + 12 + 16)) << "the work of one face";
    EXPECT_LT(hugeManyBytes.Reads(), hugeOneBytes.Reads() + 2 * 256);

    // Face offsets that repeat share what was read at them.
    std::string repeated = Testing::WriteCollectionSharingOneNameTable(256, small);
    for (std::size_t face = 1; face < 256; ++face) {
        Testing::PutU32(repeated, 12 + 4 * face, 12 + 4 * 256);
    }
    MemoryFontBytes repeatedBytes(repeated);
    EXPECT_TRUE(ReadFontFaceNames(repeatedBytes, names));
    EXPECT_EQ(names.GetCount(), 256u);
    EXPECT_LT(repeatedBytes.BytesRead(), oneBytes.BytesRead() + 4 * 256);
}

TEST(FontFileLimits, ACollectionOfMoreFacesThanAnyFontHasIsRefusedUnread)
{
    const std::string tooMany = Testing::WriteCollectionSharingOneNameTable(
        FontFileLimits::kMaxFaces + 1, {WindowsName(1, "Shared"), WindowsName(2, "Bold")});
    MemoryFontBytes bytes(tooMany);
    Array<FontFaceName> names;
    EXPECT_FALSE(ReadFontFaceNames(bytes, names));
    EXPECT_EQ(names.GetCount(), 0u);
    EXPECT_EQ(bytes.Reads(), 1u) << "only the collection's header";
}

}  // namespace
}  // namespace ZV
