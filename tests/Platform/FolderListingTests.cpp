#include "Platform/FolderListing.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV::Platform {
namespace {

TEST(FolderFileIndex, FindsTheFileOfThatNameElseTheFirstByBytesOfThoseInAnotherCase)
{
    Testing::TemporaryFolder folder;
    // Enough files that the index outgrows its smallest table.
    for (int i = 0; i < 100; ++i) {
        folder.Write("file" + std::to_string(i) + ".png", "");
    }
    for (const char* name : {"File7.PNG", "FILE7.png", "\xC3\xA4rger.PNG", "\xC3\x84rger.png", "dir.png/inside.png"}) {
        folder.Write(name, "");
    }
    const FolderFileIndex index(folder.Path().c_str());

    EXPECT_EQ(index.Find("file42.png"), "file42.png");
    EXPECT_EQ(index.Find("FILE42.PNG"), "file42.png");
    EXPECT_EQ(index.Find("file99.png"), "file99.png");
    EXPECT_EQ(index.Find("file7.png"), "file7.png") << "the exact name among three of one key";
    EXPECT_EQ(index.Find("File7.PNG"), "File7.PNG");
    EXPECT_EQ(index.Find("fILE7.PNG"), "FILE7.png") << "else the first of them by bytes";
    EXPECT_EQ(index.Find("\xC3\xA4RGER.png"), "\xC3\x84rger.png") << "letters beyond ASCII fold too";
    EXPECT_EQ(index.Find("\xC3\xA4rger.PNG"), "\xC3\xA4rger.PNG");
    EXPECT_TRUE(index.Find("dir.png").empty()) << "a folder is no file";
    EXPECT_TRUE(index.Find("file100.png").empty());
    EXPECT_TRUE(index.Find("").empty());
    const std::string_view found = index.Find("FILE1.PNG");
    EXPECT_EQ(found.data()[found.size()], 0) << "a found name ends in a NUL";

    folder.Write("late.png", "");
    EXPECT_TRUE(index.Find("late.png").empty()) << "files that come after the listing are not in it";
    EXPECT_TRUE(FolderFileIndex((folder / "absent").c_str()).Find("file1.png").empty());
}

TEST(FolderFileIndex, AFolderOfManyLongNamesIsListedWholeAcrossTheSystemsRecordBlocks)
{
    Testing::TemporaryFolder folder;
    // Records of over 200 bytes: several blocks of the system's records.
    constexpr int kFiles = 700;
    const std::string stem(200, 'n');
    for (int i = 0; i < kFiles; ++i) {
        folder.Write(stem + std::to_string(10000 + i), "");
    }
    folder.Write("sub/inside", "");

    std::vector<std::string> names;
    ASSERT_EQ(ListMatchingFiles(folder.Path().c_str(), "*", names), FolderListingResult::ok);
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kFiles)) << "every file once, the sub-folder left out";
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_EQ(names[i], stem + std::to_string(10000 + i));
    }
    const FolderFileIndex index(folder.Path().c_str());
    for (int i = 0; i < kFiles; ++i) {
        std::string upper(stem.size(), 'N');
        ASSERT_EQ(index.Find(upper + std::to_string(10000 + i)), names[i]);
    }
    EXPECT_TRUE(index.Find("sub").empty());
}

}  // namespace
}  // namespace ZV::Platform
